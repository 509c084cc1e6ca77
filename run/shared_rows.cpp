#include "run/shared_rows.h"

#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"

namespace {

struct SharedRow {
    std::string inputs;
    std::string outputs;
    int64_t literals = 0;
};

// Gathers the rows by input part; the first term of a part makes its row.
class SharingSink final : public TermSink {
  public:
    SharingSink(std::vector<SharedRow>& into, int64_t outputColumns)
        : rows(into), columns(outputColumns) {}
    int64_t column = 0;  // of the function whose terms are coming

    void acceptTerm(const VariableList& list) override {
        part.clear();
        int64_t literals = 0;
        for (const VariableEntry& entry : list.entries) {
            part += entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : '-';
            literals += entry.assigned ? 1 : 0;
        }
        auto [found, added] = placeOf.try_emplace(part, rows.size());
        if (added) {
            rows.push_back({part, std::string(static_cast<size_t>(columns), '0'), literals});
        }
        rows[found->second].outputs[static_cast<size_t>(column)] = '1';
    }

  private:
    std::vector<SharedRow>& rows;
    int64_t columns;
    std::unordered_map<std::string, size_t> placeOf;
    std::string part;
};

}  // namespace

void writeSharedRowsPla(std::ostream& out, int64_t firstSaved) {
    FunctionTable& table = *workspace.table;
    const int64_t columns = table.entryCount() - firstSaved;
    std::vector<SharedRow> rows;
    SharingSink sink(rows, columns);
    forEachSavedEntry(firstSaved, [&](FunctionEntry& entry, int64_t position) {
        sink.column = position - firstSaved;
        entry.reportTerms(table.variableList, sink);
    });

    writePlaSizesAndLabels(out, firstSaved);
    int64_t literals = 0;
    for (const SharedRow& row : rows) literals += row.literals;
    out << ".p " << rows.size() << '\n';
    out << "# literals: " << literals << '\n';
    for (const SharedRow& row : rows) out << row.inputs << ' ' << row.outputs << '\n';
}
