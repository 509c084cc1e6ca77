// See unsaved_changes.h. The marks follow the table lazily: an entry beyond the
// marks is new since the last note, and it was added (marked) when it lies among
// the last addedCount entries, loaded (unmarked) otherwise, so the loaders need no
// hook. A cofactor marks every function although it changes one: the dispatcher
// keeps the answers to itself, and a mark too many costs at most a recovery file
// with nothing new in it.
#include "driver/unsaved_changes.h"

#include <algorithm>
#include <vector>

#include "actions/actions.h"
#include "expr/function_table.h"
#include "formats/save_dialogue.h"

namespace {

// The actions that rewrite the functions themselves. The saves to PLA and DIMACS
// bring them into a normal form too, but of the same functions, so they are left
// out.
bool rewritesFunctions(int action) {
    return (action >= actionNegation && action <= actionNor) || action == actionCofactor;
}

}  // namespace

void noteCompletedAction(int action) {
    std::vector<bool>& unsaved = saveRecord.unsavedEntries;
    const int64_t count = workspace.table->entryCount();
    const int64_t firstAdded = count - workspace.table->addedCount;
    for (auto position = static_cast<int64_t>(unsaved.size()); position < count; ++position) {
        unsaved.push_back(position >= firstAdded);
    }
    if (rewritesFunctions(action)) std::fill(unsaved.begin(), unsaved.end(), true);
}

int64_t unsavedFunctionCount() {
    const std::vector<bool>& unsaved = saveRecord.unsavedEntries;
    return std::count(unsaved.begin(), unsaved.end(), true);
}

std::vector<std::string> unsavedFunctionNames() {
    std::vector<std::string> names;
    const std::vector<bool>& unsaved = saveRecord.unsavedEntries;
    for (std::size_t position = 0; position < unsaved.size(); ++position) {
        const FunctionEntry* entry = workspace.table->entryAt(static_cast<int64_t>(position));
        if (unsaved[position] && entry != nullptr) names.push_back(entry->name);
    }
    return names;
}
