// The term walk: `tryValue` runs over a sum of products and, for every product term,
// tries to build an assignment (in `program.currentList`) under which the term takes
// the target value. Each or-node tries its operands from an empty assignment and
// reports those that succeed and are not themselves or-nodes, so every term is
// reported exactly once, by the or-node directly above it. What a report does is
// chosen by `program.outputMode`: enter the term in the engine's trie, or write it
// as a PLA row, a VHDL satisfiability note or a DIMACS clause.
#include <algorithm>
#include <ostream>
#include <vector>

#include "driver/function_table.h"
#include "expr/node.h"
#include "expr/term_walk.h"
#include "normal/term_trie.h"

namespace {

void writePlaRow(std::ostream& out, const VariableList& list) {
    std::string row;
    row.reserve(list.entries.size() + 2 + static_cast<size_t>(program.table->entryCount()));
    for (const VariableEntry& entry : list.entries) {
        row += entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : '-';
    }
    row += ' ';
    for (int64_t index = program.firstSavedIndex; index < program.table->entryCount(); ++index) {
        row += index == program.writtenIndex ? '1' : '0';
    }
    row += '\n';
    out << row;
}

void writeVhdlNote(std::ostream& out, const VariableList& list) {
    out << " |";
    for (const VariableEntry& entry : list.entries) {
        out << ' ' << symbolName(entry.name) << '='
            << (entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : 'x');
    }
}

// Only the assigned entries matter, so they are taken in list order from the
// assignment record rather than by a walk along the whole list.
void writeDimacsClause(std::ostream& out, const VariableList& list) {
    std::vector<int32_t> positions = list.assignedPositions();
    std::sort(positions.begin(), positions.end());
    std::string clause;
    for (int32_t position : positions) {
        int64_t number = int64_t{position} + 1;
        bool positive = (list.entries[static_cast<size_t>(position)].value & 1) != 0;
        clause += std::to_string(positive ? -number : number);
        clause += ' ';
    }
    clause += "0\n";
    out << clause;
}

}  // namespace

void reportTerm() {
    const VariableList& list = *program.currentList;
    switch (program.outputMode) {
        case OutputMode::Engine: insertMarkedTerm(); break;
        case OutputMode::PlaRow: writePlaRow(*program.outputStream, list); break;
        case OutputMode::VhdlNote: writeVhdlNote(*program.outputStream, list); break;
        case OutputMode::DimacsClause: writeDimacsClause(*program.outputStream, list); break;
    }
}

bool reportAllTerms(Node* tree) {
    bool satisfiable = tree->tryValue(valueTrue);
    if (satisfiable && !tree->containsOperator(opOr)) reportTerm();
    return satisfiable;
}

bool VectNode::tryValue(int32_t target) { return value == target; }

bool IdentNode::tryValue(int32_t target) {
    VariableList* list = program.currentList;
    int32_t position = list->positionOf(name);
    if (position < 0) return false;
    VariableEntry& entry = list->entries[static_cast<size_t>(position)];
    if (entry.assigned) return entry.value == target;
    list->assign(position, target);
    return true;
}

bool UNode::tryValue(int32_t target) { return operand->tryValue(~target); }

bool BNode::tryValue(int32_t target) {
    if (op == opAnd) return left->tryValue(target) && right->tryValue(target);
    if (op != opOr) return false;
    VariableList* list = program.currentList;
    list->clearAssignments();
    bool leftHolds = left->tryValue(target);
    if (leftHolds && left->opCode() != opOr) reportTerm();
    list->clearAssignments();
    bool rightHolds = right->tryValue(target);
    if (rightHolds && right->opCode() != opOr) reportTerm();
    return leftHolds || rightHolds;
}
