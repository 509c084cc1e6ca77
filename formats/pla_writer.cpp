// The PLA writer behind "Save as PLA". The dispatcher has brought every function
// into disjunctive form, so the rows are simply the terms the term walk finds: in
// PLA output mode it writes each satisfiable term as a row of its own, with a "1"
// only in the column of the function being written. Rows are never shared between
// outputs, which keeps the writer a single pass over the table.
//
// The ".i" line gives the length of the table's variable list, which is the width
// of every row written, so that the file always reads back; after a VHDL load or a
// repeated ".i" the declared input count may differ from it.
#include <cstdint>
#include <ostream>

#include "driver/console.h"
#include "driver/function_table.h"
#include "expr/term_walk.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"

namespace {

void writeHeader(std::ostream& out, int64_t firstSaved) {
    FunctionTable& table = *program.table;
    out << ".i " << table.variableList.count() << '\n';
    out << ".o " << table.entryCount() - firstSaved << '\n';
    if (table.hasInputLabels) {
        out << ".ilb";
        for (const VariableEntry& input : table.variableList.entries) {
            out << ' ' << symbolName(input.name);
        }
        out << '\n';
    }
    if (table.hasOutputLabels) {
        out << ".ob";
        for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
            out << ' ' << table.entryAt(position)->name;
        }
        out << '\n';
    }
    int64_t terms = 0;
    int64_t literals = 0;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        terms += entry.termCount;
        if (entry.hasTree()) literals += entry.tree()->literalCount();
    }
    table.termCount = terms;
    out << ".p " << terms << '\n';
    out << "# literals: " << literals << '\n';
}

}  // namespace

void savePla(std::ostream& out) {
    program.outputMode = OutputMode::PlaRow;
    if (!out.good()) {
        printLine("Cannot open output file");
        return;
    }
    int64_t firstSaved = askWhatToSave(true, true);
    writeHeader(out, firstSaved);

    FunctionTable& table = *program.table;
    program.outputStream = &out;
    program.firstSavedIndex = firstSaved;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        if (!entry.hasTree()) continue;
        program.currentEntry = &entry;
        program.currentNode = entry.tree();
        program.writtenIndex = position;
        table.variableList.clearAssignments();
        program.currentList = &table.variableList;
        reportAllTerms(entry.tree());
    }
    reportSaved(out);
}
