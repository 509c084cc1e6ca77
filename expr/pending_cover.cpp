#include "expr/pending_cover.h"

#include "expr/node.h"
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
