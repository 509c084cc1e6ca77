// The two ways differ as their menus do: a typed statement gets a variable list of
// its own names only, while a script is read as a VHDL file continuing the table.
#include "actions/added_functions.h"

#include <sstream>

#include "expr/function_table.h"
#include "formats/vhdl.h"

bool addStatement(const std::string& command) {
    std::istringstream commandStream(command);
    Node* tree = readVhdlStatement(commandStream);
    if (tree == nullptr) return false;
    VariableList* statementList = workspace.currentList;
    adoptStatementNames(*statementList);
    delete statementList;
    auto* list = new VariableList;
    workspace.currentList = list;
    tree->collectVariables();
    workspace.table->appendEntry(tree, list, vhdlTargetName());
    workspace.table->addedCount += 1;
    return true;
}

void addScript(std::istream& script) {
    const int64_t entriesBefore = workspace.table->entryCount();
    loadVhdl(script);
    workspace.table->addedCount = workspace.table->entryCount() - entriesBefore;
}
