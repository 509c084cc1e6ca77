// "Save as DIMACS": the dispatcher has left every function as the sum of products
// of its complement, so each term that the term walk reports is one clause of the
// function (term walk, output mode DimacsClause). All saved functions go under one
// header, whose clause count is the sum of their term counts.
//
// The variable count of the header is the number of names in the table's variable
// list, since the clause literals number exactly those names.
#include <ostream>

#include "driver/console.h"
#include "driver/function_table.h"
#include "expr/term_walk.h"
#include "formats/dimacs.h"
#include "formats/save_dialogue.h"

void saveDimacs(std::ostream& out) {
    program.outputMode = OutputMode::DimacsClause;
    program.outputStream = &out;
    program.firstSavedIndex = 0;
    if (!out.good()) {
        printLine("Cannot open output file");
        return;
    }
    FunctionTable& table = *program.table;
    int64_t first = askWhatToSave(true, true);
    program.firstSavedIndex = first;

    table.termCount = 0;
    for (int64_t i = first; i < table.entryCount(); ++i)
        table.termCount += table.entryAt(i)->termCount;
    out << "p cnf " << table.variableList.count() << ' ' << table.termCount << '\n';

    for (int64_t i = first; i < table.entryCount(); ++i) {
        FunctionEntry* entry = table.entryAt(i);
        if (!entry->hasTree()) continue;
        table.variableList.clearAssignments();
        program.currentList = &table.variableList;
        program.currentEntry = entry;
        reportAllTerms(entry->tree());
    }
    reportSaved(out);
}
