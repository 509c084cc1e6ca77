#include "formats/save_dialogue.h"

#include <ostream>
#include <vector>

#include "base/action_watch.h"
#include "base/console.h"
#include "base/safe_output.h"
#include "expr/function_table.h"

SaveRecord saveRecord;

bool outputReady(const std::ostream& out) {
    if (out.good()) return true;
    printLine("Cannot open output file");
    return false;
}

int64_t askWhatToSave(bool batchAnswers, bool endLine) {
    printLine("What to save:");
    printLine("1. Save all");
    printLine("2. Save added only");
    printPrompt("Choice:");
    int selection = 1;
    if (batchAnswers && saveRecord.batchMode) {
        selection = 2;
        printPrompt("2");
    } else {
        selection = readInteger(1);
    }
    if (endLine) printLine("");
    return firstSavedEntry(selection == 2);
}

int64_t firstSavedEntry(bool addedOnly) {
    if (!addedOnly) return 0;
    return workspace.table->entryCount() - workspace.table->addedCount;
}

void forEachSavedEntry(int64_t firstSaved,
                       const std::function<void(FunctionEntry&, int64_t position)>& write) {
    FunctionTable& table = *workspace.table;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        if (!entry.hasTree()) continue;
        noteProgressFunction(position - firstSaved + 1, table.entryCount() - firstSaved,
                             entry.name);
        noteProgressStep("writing");
        actionCheckpoint(-1);
        workspace.currentEntry = &entry;
        table.variableList.clearAssignments();
        workspace.currentList = &table.variableList;
        write(entry, position);
    }
}

void reportSaved(std::ostream& out, int64_t firstSaved) {
    actionCheckpoint(-1);  // a Ctrl-C up to here leaves the old file in place
    if (finishOutput(out)) {
        std::vector<bool>& unsaved = saveRecord.unsavedEntries;
        for (auto position = static_cast<std::size_t>(firstSaved); position < unsaved.size();
             ++position) {
            unsaved[position] = false;
        }
        printLine("Data saved");
    } else {
        reportNotSaved();
    }
}

void reportNotSaved() {
    ++saveRecord.lostSaves;
    printLine("Data NOT saved");
}
