// See statistics.h. A function is a sum of products when it holds a cover (a PLA
// load) or its tree is in disjunctive form; its terms are then the ones the term
// walk reports, which are what a PLA save would write. The tree is walked with an
// explicit stack, since trees from real files are very deep. Depth counts operator
// levels, a not included; a leaf has depth 0.
#include "run/statistics.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "expr/function_table.h"
#include "expr/term_sink.h"

namespace {

struct FunctionStatistics {
    int64_t inputs = 0;
    int64_t terms = -1;  // -1: no sum of products
    int64_t literals = -1;
    int64_t nodes = 0;
    int64_t depth = 0;
};

class TermCounter final : public TermSink {
  public:
    int64_t terms = 0;
    int64_t literals = 0;
    void acceptTerm(const VariableList& list) override {
        ++terms;
        literals += static_cast<int64_t>(list.assignedPositions().size());
    }
};

FunctionStatistics measure(FunctionEntry& entry, VariableList& marks) {
    FunctionStatistics statistics;
    if (entry.pendingSum() != nullptr || (entry.hasTree() && entry.tree()->isDnf(true))) {
        TermCounter counter;
        marks.clearAssignments();
        entry.reportTerms(marks, counter);
        marks.clearAssignments();
        statistics.terms = counter.terms;
        statistics.literals = counter.literals;
    }
    if (!entry.hasTree()) return statistics;
    std::unordered_set<Symbol> names;
    std::vector<std::pair<const Node*, int64_t>> open{{entry.tree(), 0}};
    while (!open.empty()) {
        const auto [node, depth] = open.back();
        open.pop_back();
        ++statistics.nodes;
        statistics.depth = std::max(statistics.depth, depth);
        if (node->opCode() == opNot) {
            open.push_back({static_cast<const UNode*>(node)->operand, depth + 1});
        } else if (!node->isLeaf()) {
            const auto* binary = static_cast<const BNode*>(node);
            open.push_back({binary->left, depth + 1});
            open.push_back({binary->right, depth + 1});
        } else if (const auto* identifier = dynamic_cast<const IdentNode*>(node)) {
            names.insert(identifier->name);
        }
    }
    statistics.inputs = static_cast<int64_t>(names.size());
    return statistics;
}

std::string count(int64_t value) {
    return value < 0 ? "-" : std::to_string(value);
}

void writeLine(std::ostream& out, StatisticsLayout layout, const std::string& name,
               const FunctionStatistics& s) {
    if (layout == StatisticsLayout::tabSeparated) {
        out << name << '\t' << s.inputs << '\t' << count(s.terms) << '\t' << count(s.literals)
            << '\t' << s.nodes << '\t' << s.depth << '\n';
        return;
    }
    out << name << ": inputs " << s.inputs << ", terms " << count(s.terms) << ", literals "
        << count(s.literals) << ", nodes " << s.nodes << ", depth " << s.depth << '\n';
}

}  // namespace

void writeStatistics(std::ostream& out, int64_t firstSaved, StatisticsLayout layout) {
    FunctionTable& table = *workspace.table;
    if (layout == StatisticsLayout::tabSeparated) {
        out << "function\tinputs\tterms\tliterals\tnodes\tdepth\n";
    }
    FunctionStatistics total;
    total.terms = total.literals = 0;
    bool allSums = true;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        const FunctionStatistics statistics = measure(entry, table.variableList);
        writeLine(out, layout, entry.name, statistics);
        allSums = allSums && statistics.terms >= 0;
        total.terms += std::max<int64_t>(statistics.terms, 0);
        total.literals += std::max<int64_t>(statistics.literals, 0);
        total.nodes += statistics.nodes;
        total.depth = std::max(total.depth, statistics.depth);
    }
    total.inputs = table.variableList.count();
    if (!allSums) total.terms = total.literals = -1;
    writeLine(out, layout, "total", total);
}
