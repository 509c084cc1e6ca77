#include "run/table_counts.h"

#include "expr/function_table.h"
#include "expr/term_sink.h"

namespace {

class TermCounter final : public TermSink {
  public:
    int64_t terms = 0;
    void acceptTerm(const VariableList& /*list*/) override { ++terms; }
};

std::string counted(int64_t count, const char* what) {
    return std::to_string(count) + ' ' + what + (count == 1 ? "" : "s");
}

// The terms of every function, or -1 when one is no sum of products. A held sum is
// read as it is, never built into a tree.
int64_t termsOf(FunctionTable& table, int64_t first) {
    TermCounter counter;
    VariableList& marks = table.variableList;
    for (int64_t position = first; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        if (!entry.hasTree()) continue;
        if (entry.pendingSum() == nullptr && !entry.tree()->isDnf(true)) return -1;
        marks.clearAssignments();
        entry.reportTerms(marks, counter);
        marks.clearAssignments();
    }
    return counter.terms;
}

}  // namespace

std::string tableCounts(int64_t first, CountedSize size) {
    FunctionTable& table = *workspace.table;
    const int64_t functions = first < table.entryCount() ? table.entryCount() - first : 0;
    std::string text =
        counted(functions, "function") + ", " + counted(table.variableList.count(), "input");
    if (size == CountedSize::clauses) {
        int64_t clauses = 0;
        for (int64_t position = first; position < table.entryCount(); ++position) {
            clauses += table.entryAt(position)->termCount;
        }
        return text + ", " + counted(clauses, "clause");
    }
    const int64_t terms = termsOf(table, first);
    return terms < 0 ? text : text + ", " + counted(terms, "term");
}
