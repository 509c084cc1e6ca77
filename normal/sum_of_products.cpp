// Multiplying a tree out into a simplified sum of products.
//
// This is the one tree operation that needs the engine, so it lives beside the
// engine as a function over the node classes rather than as one of their virtual
// operations: the expression model then never reaches up into the engine. It works
// bottom-up, as distributing and over or at every binary node would: each binary
// node's operands are brought into simplified sums of products first, and the
// node's own terms go to the engine, which simplifies them. The terms of an or are
// those of its operands; the terms of an and are the products of its operands'
// terms, which covers (cover.h) enter into the engine's trie directly instead of
// building the distributed tree. A node that already is a sum of products has its
// terms read by the term walk. The engine's results are handed upwards as covers;
// a tree is built only at the top.
//
// A checkpoint may end the multiplication by an exception (base/action_watch.h);
// every function here owns the tree it takes over through a unique_ptr until it
// hands it on, so that nothing is lost on the way out.
#include "normal/sum_of_products.h"

#include <memory>
#include <utility>

#include "base/action_watch.h"
#include "base/stack_guard.h"
#include "expr/node.h"
#include "expr/variable_list.h"
#include "normal/cover.h"
#include "normal/normalize.h"
#include "normal/satisfiability.h"

namespace {

// Conflicts the solver may spend before the multiplication goes ahead anyway, about
// a second at most. The unsatisfiable benchmark formulas are refuted in fewer (the
// pigeonhole of 8 takes some 37,000), and a function that is hard for the solver is
// far harder to multiply out, so the second is never what such a run waits for.
constexpr int64_t refutationBudget = 100000;

// The term the walk reads from a leaf or a not over a leaf, if it can be 1.
Cover leafCover(const Node* node, const EngineParams& params) {
    bool positive = node->isLeaf();
    const Node* leaf = positive ? node : static_cast<const UNode*>(node)->operand;
    Cover cover;
    if (const auto* constant = dynamic_cast<const VectNode*>(leaf)) {
        if (constant->value == (positive ? valueTrue : valueFalse)) cover.addTerm(nullptr, nullptr);
        return cover;
    }
    int32_t position = params.inputs.positionOf(static_cast<const IdentNode*>(leaf)->name);
    if (position >= 0) {
        Literal literal = makeLiteral(static_cast<uint32_t>(position), positive);
        cover.addTerm(&literal, &literal + 1);
    }
    return cover;
}

SimplifiedSum simplifiedSumOf(Node* tree, int passes, const EngineParams& params);

// The terms of a subtree's simplified sum of products. Takes over the subtree.
Cover coverOf(Node* tree, const EngineParams& params) {
    guardStackDepth();
    if (isLeafOrNegatedLeaf(*tree)) {
        const std::unique_ptr<Node> owned(tree);
        return leafCover(tree, params);
    }
    return Cover::ofSum(simplifiedSumOf(tree, 1, params));
}

// The engine's input for a binary node: the terms its distributed tree would hold.
// Takes over the node.
bool enterTermsOfNode(BNode* node, TermTrie& trie, const EngineParams& params) {
    std::unique_ptr<Node> owned(node);
    if (node->isDnf(true)) return enterTermsOf(node, trie, params);
    // Each operand leaves the node as it is handed on.
    Cover left = coverOf(std::exchange(node->left, nullptr), params);
    Cover right = coverOf(std::exchange(node->right, nullptr), params);
    bool isAnd = node->op == opAnd;
    owned.reset();
    return isAnd ? Cover::enterProduct(left, right, trie) : Cover::enterUnion(left, right, trie);
}

// A binary node's simplified sum of products after `passes` engine passes (a
// not over anything but a leaf takes the tree path, as the rewrites leave none).
SimplifiedSum simplifiedSumOf(Node* tree, int passes, const EngineParams& params) {
    std::unique_ptr<TermTrie> trie = emptyTermTrie(params);
    bool any;
    if (tree->opCode() == opNot) {
        const std::unique_ptr<Node> owned(tree);
        auto* negation = static_cast<UNode*>(tree);
        negation->operand = toSumOfProducts(std::exchange(negation->operand, nullptr), params);
        negation->operand = negation->operand->distribute(opAnd);
        any = enterTermsOf(tree, *trie, params);
    } else {
        any = enterTermsOfNode(static_cast<BNode*>(tree), *trie, params);
    }
    return simplifyTerms(params, std::move(trie), any, passes);
}

}  // namespace

Node* toSumOfProducts(Node* tree, const EngineParams& params) {
    if (isLeafOrNegatedLeaf(*tree)) return tree;
    return simplifiedSumOf(tree, 1, params).buildTree()->rebalance();
}

SimplifiedSum simplifiedSumOfProducts(Node* tree, int passes, const EngineParams& params) {
    std::unique_ptr<Node> owned(tree);
    if (!tree->isDnf(true)) {
        if (params.reportsProgress) noteProgressStep("satisfiability check");
        SatAnswer answer =
            decideSatisfiable(*tree, params.inputs, LeafReading::TermWalk, refutationBudget);
        if (answer.verdict == SatVerdict::Unsatisfiable) return SimplifiedSum();
    }
    if (params.reportsProgress) noteProgressStep("multiplying out");
    if (isLeafOrNegatedLeaf(*tree)) {
        std::unique_ptr<TermTrie> trie = emptyTermTrie(params);
        bool any = enterTermsOf(tree, *trie, params);
        owned.reset();
        return simplifyTerms(params, std::move(trie), any, passes);
    }
    return simplifiedSumOf(owned.release(), 1 + passes, params);
}

// A held sum is already a sum of products: its tree would be walked as it is, by
// one engine pass more than the chain asks for unless the tree is a leaf.
SimplifiedSum simplifiedSumOfHeld(const PendingSum& sum, int passes, const EngineParams& params) {
    std::unique_ptr<TermTrie> trie = emptyTermTrie(params);
    std::unique_ptr<VariableList> marks(params.inputs.copyNames());
    TrieSink sink(*trie);
    bool any = sum.reportTerms(*marks, sink);
    return simplifyTerms(params, std::move(trie), any, sum.buildsLeaf() ? passes : 1 + passes);
}
