// "Save as DIMACS": the dispatcher has left every function as the sum of products
// of its complement, so each term that the term walk reports is one clause of the
// function. All saved functions go under one
// header, whose clause count is the sum of their term counts.
//
// The variable count of the header is the number of names in the table's variable
// list, since the clause literals number exactly those names.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "base/action_watch.h"
#include "base/console.h"
#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "formats/dimacs.h"
#include "formats/save_dialogue.h"

namespace {

// Writes each term as the clause of its negated literals, numbered from 1 in
// variable-list order. Only the assigned entries matter, so they are taken from the
// assignment record rather than by a walk along the whole list.
class DimacsClauseSink final : public TermSink {
  public:
    explicit DimacsClauseSink(std::ostream& stream) : out(stream) {}

    void acceptTerm(const VariableList& list) override {
        actionCheckpoint(-1);
        positions = list.assignedPositions();
        std::sort(positions.begin(), positions.end());
        clause.clear();
        for (int32_t position : positions) {
            int64_t number = int64_t{position} + 1;
            bool positive = (list.entries[static_cast<size_t>(position)].value & 1) != 0;
            clause += std::to_string(positive ? -number : number);
            clause += ' ';
        }
        clause += "0\n";
        out << clause;
    }

  private:
    std::ostream& out;
    std::vector<int32_t> positions;
    std::string clause;
};

}  // namespace

void saveDimacs(std::ostream& out) {
    if (!outputReady(out)) return;
    const int64_t firstSaved = askWhatToSave(true, true);
    writeDimacs(out, firstSaved);
    reportSaved(out, firstSaved);
}

void writeDimacs(std::ostream& out, int64_t first) {
    FunctionTable& table = *workspace.table;

    table.termCount = 0;
    for (int64_t i = first; i < table.entryCount(); ++i)
        table.termCount += table.entryAt(i)->termCount;
    out << "p cnf " << table.variableList.count() << ' ' << table.termCount << '\n';

    DimacsClauseSink clauses(out);
    forEachSavedEntry(first, [&](FunctionEntry& entry, int64_t /*position*/) {
        entry.reportTerms(table.variableList, clauses);
    });
}
