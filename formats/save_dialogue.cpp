#include "formats/save_dialogue.h"

#include <iostream>

#include "driver/console.h"
#include "driver/function_table.h"

int64_t askWhatToSave(bool batchAnswers, bool endLine) {
    printLine("What to save:");
    printLine("1. Save all");
    printLine("2. Save added only");
    printPrompt("Choice:");
    int selection = 1;
    if (batchAnswers && program.batchMode) {
        selection = 2;
        printPrompt("2");
    } else {
        selection = readInteger(1);
    }
    if (endLine) printLine("");
    if (selection != 2) return 0;
    return program.table->entryCount() - program.addedCount;
}

void reportSaved(std::ostream& out) {
    out.flush();
    printLine(out.good() ? "Data saved" : "Data NOT saved");
}
