// The two ways differ as their menus do: a typed statement gets a variable list of
// its own names only, while a script is read as a VHDL file continuing the table.
#include "actions/added_functions.h"

#include <sstream>

#include "expr/function_table.h"
#include "formats/vhdl.h"

AddedStatement addStatement(const std::string& command, const ReaderSettings& settings) {
    std::istringstream commandStream(command);
    VhdlStatement statement = readVhdlStatement(commandStream, settings);
    if (!statement.tree) return {false, statement.errorCount};
    adoptStatementNames(*statement.names);
    auto* list = new VariableList;
    workspace.currentList = list;
    statement.tree->collectVariables();
    workspace.table->appendEntry(statement.tree.release(), list, statement.target);
    workspace.table->addedCount += 1;
    return {true, statement.errorCount};
}

int64_t addScript(std::istream& script, const ReaderSettings& settings) {
    const int64_t entriesBefore = workspace.table->entryCount();
    const int64_t errors = loadVhdl(script, settings);
    workspace.table->addedCount = workspace.table->entryCount() - entriesBefore;
    return errors;
}
