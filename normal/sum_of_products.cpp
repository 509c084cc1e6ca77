// Multiplying a tree out into a simplified sum of products.
//
// This is the one tree operation that needs the engine, so it lives beside the
// engine as a function over the node classes rather than as one of their virtual
// operations: the expression model then never reaches up into the engine. It works
// bottom-up: each binary node multiplies out its (already simplified) operands by
// distributing and over or (expr/distribution.cpp), hands the result to the engine
// and balances the engine's or-tree with an AVL rule; a not over a non-leaf (the
// rewrites leave none, but a tree may come in so) has its operand multiplied out
// and distributed before the engine sees it.
#include "normal/sum_of_products.h"

#include "base/stack_guard.h"
#include "expr/node.h"
#include "normal/normalize.h"

Node* toSumOfProducts(Node* tree) {
    guardStackDepth();
    if (tree->isLeaf()) return tree;
    if (tree->opCode() == opNot) {
        auto* negation = static_cast<UNode*>(tree);
        if (negation->operand->isLeaf()) return tree;
        negation->operand = toSumOfProducts(negation->operand);
        negation->operand = negation->operand->distribute(opAnd);
        return normalizeTerms(tree);
    }
    auto* binary = static_cast<BNode*>(tree);
    Node* expanded = tree;
    if (!binary->isDnf(true)) {
        binary->left = toSumOfProducts(binary->left);
        binary->right = toSumOfProducts(binary->right);
        expanded = binary->distribute(opAnd);
    }
    return normalizeTerms(expanded)->rebalance();
}
