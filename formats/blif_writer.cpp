// "Save as BLIF": one model named "blif" whose inputs are every name of the table's
// variable list and whose outputs are the saved functions, each driven by the gates
// that `emitBlif` writes for its tree in post-order. The functions are written as
// they stand; no normal form is computed first.
//
// Internal signals are numbered by the program-wide counter, which is never reset,
// so a second save of the same table names its internal signals anew.
//
// The sum-of-products layout has no internal signal: a function's terms are
// collected first, since the gate's header lists only the inputs they use.
#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "base/action_watch.h"
#include "base/text_sink.h"
#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "formats/blif.h"
#include "formats/save_dialogue.h"

namespace {

// The terms of one function, each as its (input position, value) pairs.
class TermCollector final : public TermSink {
  public:
    std::vector<std::vector<std::pair<int32_t, bool>>> terms;

    void acceptTerm(const VariableList& list) override {
        actionCheckpoint(-1);
        auto& term = terms.emplace_back();
        for (const int32_t position : list.assignedPositions()) {
            const VariableEntry& entry = list.entries[static_cast<std::size_t>(position)];
            if (entry.assigned) term.emplace_back(position, (entry.value & 1) != 0);
        }
    }
};

void writeSopGate(std::ostream& out, const VariableList& inputs, const TermCollector& collector,
                  const std::string& name) {
    std::vector<int32_t> support;
    for (const auto& term : collector.terms) {
        for (const auto& literal : term) support.push_back(literal.first);
    }
    std::sort(support.begin(), support.end());
    support.erase(std::unique(support.begin(), support.end()), support.end());
    out << ".names";
    for (const int32_t position : support) {
        out << ' ' << symbolName(inputs.entries[static_cast<std::size_t>(position)].name);
    }
    out << ' ' << name << '\n';
    std::string row;
    for (const auto& term : collector.terms) {
        row.assign(support.size(), '-');
        for (const auto& [position, value] : term) {
            const auto column = std::lower_bound(support.begin(), support.end(), position);
            row[static_cast<std::size_t>(column - support.begin())] = value ? '1' : '0';
        }
        out << row << (row.empty() ? "1\n" : " 1\n");
    }
}

void writeModelHeader(std::ostream& out, const FunctionTable& table, int64_t first) {
    out << ".model blif\n.inputs";
    for (const VariableEntry& variable : table.variableList.entries) {
        out << ' ' << symbolName(variable.name);
    }
    out << "\n.outputs";
    for (int64_t i = first; i < table.entryCount(); ++i) out << ' ' << table.entryAt(i)->name;
    out << '\n';
}

}  // namespace

void saveBlif(std::ostream& out) {
    if (!outputReady(out)) return;
    const int64_t firstSaved = askWhatToSave(true, true);
    writeBlif(out, firstSaved);
    reportSaved(out, firstSaved);
}

void writeBlif(std::ostream& out, int64_t first) {
    FunctionTable& table = *workspace.table;
    writeModelHeader(out, table, first);

    TextSink sink(out);
    forEachSavedEntry(first,
                      [&](FunctionEntry& entry, int64_t /*position*/) { entry.emitBlif(sink); });
    sink << ".end\n";
    sink.flush();
}

void writeSopBlif(std::ostream& out, int64_t first) {
    FunctionTable& table = *workspace.table;
    writeModelHeader(out, table, first);
    forEachSavedEntry(first, [&](FunctionEntry& entry, int64_t /*position*/) {
        TermCollector collector;
        entry.reportTerms(table.variableList, collector);
        writeSopGate(out, table.variableList, collector, entry.name);
    });
    out << ".end\n";
}
