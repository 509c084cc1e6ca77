#include "expr/pending_cover.h"

#include "expr/node.h"
#include "expr/term_sink.h"
#include "expr/variable_list.h"

namespace {

Node* termOfRow(const RowStore& rows, uint32_t row) {
    uint32_t first = rows.rowStarts[row];
    uint32_t end = rows.rowStarts[row + 1];
    if (first == end) return new VectNode(valueTrue, 1);
    Node* term = nullptr;
    for (uint32_t i = first; i < end; ++i) {
        uint32_t literal = rows.literals[i];
        Node* node = new IdentNode(static_cast<Symbol>(literal & ~RowStore::negatedBit));
        if ((literal & RowStore::negatedBit) != 0) node = new UNode(node);
        term = term == nullptr ? node : new BNode(opAnd, term, node);
    }
    return term;
}

}  // namespace

Node* PendingCover::buildTree() const {
    Node* tree = nullptr;
    for (uint32_t row : taken) {
        Node* term = termOfRow(*rows, row);
        tree = tree == nullptr ? term : new BNode(opOr, tree, term);
    }
    return tree;
}

void PendingCover::collectVariables(VariableList& list) const {
    for (uint32_t row : taken) {
        for (uint32_t i = rows->rowStarts[row]; i < rows->rowStarts[row + 1]; ++i) {
            list.add(static_cast<Symbol>(rows->literals[i] & ~RowStore::negatedBit));
        }
    }
}

// Each row is one term of the or-chain, tried from an empty assignment as the walk
// tries it: a name the list lacks, or a name met again with the other polarity,
// makes the row unsatisfiable.
bool PendingCover::reportTerms(VariableList& marks, TermSink& sink) const {
    bool any = false;
    for (uint32_t row : taken) {
        marks.clearAssignments();
        bool holds = true;
        for (uint32_t i = rows->rowStarts[row]; holds && i < rows->rowStarts[row + 1]; ++i) {
            uint32_t literal = rows->literals[i];
            int32_t position =
                marks.positionOf(static_cast<Symbol>(literal & ~RowStore::negatedBit));
            int32_t value = (literal & RowStore::negatedBit) != 0 ? valueFalse : valueTrue;
            if (position < 0) {
                holds = false;
            } else if (marks.entries[static_cast<size_t>(position)].assigned) {
                holds = marks.entries[static_cast<size_t>(position)].value == value;
            } else {
                marks.assign(position, value);
            }
        }
        if (!holds) continue;
        sink.acceptTerm(marks);
        any = true;
    }
    return any;
}

int64_t PendingCover::literalCount() const {
    int64_t count = 0;
    for (uint32_t row : taken) count += rows->rowStarts[row + 1] - rows->rowStarts[row];
    return count;
}

bool PendingCover::buildsLeaf() const {
    return taken.size() == 1 && rows->rowStarts[taken[0] + 1] - rows->rowStarts[taken[0]] <= 1;
}
