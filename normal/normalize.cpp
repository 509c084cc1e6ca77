// The normal-form engine: a sum of products in, a simplified sum of products out.
//
// The satisfiable terms of the input enter a term trie (the term walk reports them
// to the trie's sink), the sweep merges terms that differ in one variable, and the
// result tree is rebuilt from the trie: at each trie node the results of its
// children, in the order complemented, absent, uncomplemented, are combined as
// OR(OR(zero, dash), one). With absorption enabled, a term covered by a smaller one
// becomes the constant 0 in place, and one redundant literal per term is dropped.
// Each call takes what the previous one exposed, which is why the normal forms run
// the engine several times.
#include "normal/normalize.h"

#include <memory>
#include <vector>

#include "base/stack_guard.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/term_walk.h"
#include "normal/term_trie.h"

namespace {

constexpr uint32_t keepAll = UINT32_MAX;

// A left-deep AND of the term's literals in variable-list order, leaving out the one
// at `skipPosition`; the constant 1 for a term without literals.
Node* buildTerm(const Literal* begin, const Literal* end, uint32_t skipPosition) {
    const VariableList& inputs = program.table->variableList;
    Node* term = nullptr;
    for (const Literal* at = begin; at != end; ++at) {
        uint32_t position = literalPosition(*at);
        if (position == skipPosition) continue;
        Node* literal = new IdentNode(inputs.entries[position].name);
        if (!literalPositive(*at)) literal = new UNode(literal);
        term = term == nullptr ? literal : new BNode(opAnd, term, literal);
    }
    return term == nullptr ? new VectNode(valueTrue, 1) : term;
}

// What the rebuild makes of one term: absorbed (it becomes the constant 0 in place),
// or kept with one literal left out (`skipPosition`), or kept whole.
struct LeafOutcome {
    bool absorbed = false;
    uint32_t skipPosition = keepAll;
};

LeafOutcome leafOutcome(const TermTrie& trie, uint32_t index) {
    LeafOutcome outcome;
    if (!program.absorptionEnabled) return outcome;
    if (trie.isStrictlyCovered(index)) {
        outcome.absorbed = true;
    } else if (uint32_t level = trie.findResolvableLevel(index)) {
        outcome.skipPosition = level - 1;
    }
    return outcome;
}

Node* rebuildLeaf(const TermTrie& trie, uint32_t index) {
    LeafOutcome outcome = leafOutcome(trie, index);
    if (outcome.absorbed) return new VectNode(valueFalse, 1);
    ++program.table->termCount;
    return buildTerm(trie.termBegin(index), trie.termEnd(index), outcome.skipPosition);
}

// The terms the rebuilt tree would hold, entered straight into the next pass's trie:
// an absorbed term is the constant 0, which the term walk never reports, and a kept
// term is exactly its remaining literals.
void carryTermsOver(const TermTrie& trie, TermTrie& next) {
    std::vector<Literal> literals;
    for (uint32_t index = 0; index < trie.termCount(); ++index) {
        LeafOutcome outcome = leafOutcome(trie, index);
        if (outcome.absorbed) continue;
        literals.clear();
        for (const Literal* at = trie.termBegin(index); at != trie.termEnd(index); ++at) {
            if (literalPosition(*at) != outcome.skipPosition) literals.push_back(*at);
        }
        next.insert(literals);
    }
}

// The subtree of a trie node: OR(OR(zero, dash), one) over the children it has.
Node* rebuildTerms(const TermTrie& trie, int32_t node) {
    guardStackDepth();
    if (trie.isLeafNode(node)) return rebuildLeaf(trie, trie.leafTerm(node));
    Node* result = nullptr;
    for (uint8_t rank : {rankZero, rankDash, rankOne}) {
        int32_t kid = trie.childNode(node, rank);
        if (kid == TermTrie::noNode) continue;
        Node* built = rebuildTerms(trie, kid);
        result = result == nullptr ? built : new BNode(opOr, result, built);
    }
    return result;
}

}  // namespace

Node* normalizeTerms(Node* tree) {
    return normalizeTermsRepeatedly(tree, 1);
}

Node* normalizeTermsRepeatedly(Node* tree, int passes) {
    FunctionTable& table = *program.table;
    const auto levels = static_cast<uint32_t>(table.variableList.count());
    auto trie = std::make_unique<TermTrie>(levels);

    std::unique_ptr<VariableList> marks(table.variableList.copyNames());
    TrieSink sink(*trie);
    bool satisfiable = reportAllTerms(tree, *marks, sink);
    delete tree;

    table.termCount = 0;
    if (!satisfiable) return new VectNode(valueFalse, 1);
    for (int pass = 1;; ++pass) {
        trie->sweep();
        trie->freeze();
        if (pass >= passes) break;
        auto next = std::make_unique<TermTrie>(levels);
        carryTermsOver(*trie, *next);
        trie = std::move(next);
    }
    return rebuildTerms(*trie, trie->rootNode());
}
