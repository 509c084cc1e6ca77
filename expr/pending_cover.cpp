#include "expr/pending_cover.h"

#include "expr/node.h"
#include "expr/term_sink.h"
#include "expr/variable_list.h"

Node* PendingCover::buildTree() const {
    return buildChains(chains());
}

bool PendingCover::collectVariablesWithoutTree(VariableList& list) const {
    collectChainVariables(chains(), list);
    return true;
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
            int32_t position = marks.positionOf(literalSymbol(literal));
            int32_t value = literalNegated(literal) ? valueFalse : valueTrue;
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
    return chainLiteralCount(chains());
}

bool PendingCover::buildsLeaf() const {
    return taken.size() == 1 && rows->rowSize(taken[0]) <= 1;
}

bool PendingCover::printWithoutTree(std::ostream& out) const {
    if (taken.empty()) return false;
    printChains(chains(), out);
    return true;
}

bool PendingCover::emitBlifWithoutTree(TextSink& out, const std::string& rootName) const {
    if (taken.empty()) return false;
    emitChainsBlif(chains(), out, rootName);
    return true;
}
