// The PLA writer behind "Save as PLA". The dispatcher has brought every function
// into disjunctive form, so the rows are simply the terms the term walk finds: its
// sink here writes each satisfiable term as a row of its own, with a "1"
// only in the column of the function being written. Rows are never shared between
// outputs, which keeps the writer a single pass over the table.
//
// The ".i" line gives the length of the table's variable list, which is the width
// of every row written, so that the file always reads back; after a VHDL load or a
// repeated ".i" the declared input count may differ from it.
#include <cstdint>
#include <ostream>
#include <string>

#include "base/action_watch.h"
#include "base/console.h"
#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"

void writePlaSizesAndLabels(std::ostream& out, int64_t firstSaved) {
    const FunctionTable& table = *workspace.table;
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
}

namespace {

// Writes each term as a row: the input columns in variable-list order, then a "1"
// in the column of the function being written and "0" in the other saved ones.
class PlaRowSink final : public TermSink {
  public:
    PlaRowSink(std::ostream& stream, int64_t firstSaved, int64_t entryCount)
        : out(stream), first(firstSaved), end(entryCount) {}
    int64_t written = 0;  // position of the function whose rows are being written

    void acceptTerm(const VariableList& list) override {
        actionCheckpoint(-1);
        row.clear();
        for (const VariableEntry& entry : list.entries) {
            row += entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : '-';
        }
        row += ' ';
        for (int64_t index = first; index < end; ++index) row += index == written ? '1' : '0';
        row += '\n';
        out << row;
    }

  private:
    std::ostream& out;
    int64_t first;
    int64_t end;
    std::string row;
};

void writeHeader(std::ostream& out, int64_t firstSaved) {
    FunctionTable& table = *workspace.table;
    writePlaSizesAndLabels(out, firstSaved);
    int64_t terms = 0;
    int64_t literals = 0;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        terms += entry.termCount;
        literals += entry.literalCount();
    }
    table.termCount = terms;
    out << ".p " << terms << '\n';
    out << "# literals: " << literals << '\n';
}

}  // namespace

void savePla(std::ostream& out) {
    if (!outputReady(out)) return;
    const int64_t firstSaved = askWhatToSave(true, true);
    writePla(out, firstSaved);
    reportSaved(out, firstSaved);
}

void writePla(std::ostream& out, int64_t firstSaved) {
    writeHeader(out, firstSaved);

    FunctionTable& table = *workspace.table;
    PlaRowSink rows(out, firstSaved, table.entryCount());
    forEachSavedEntry(firstSaved, [&](FunctionEntry& entry, int64_t position) {
        rows.written = position;
        entry.reportTerms(table.variableList, rows);
    });
}
