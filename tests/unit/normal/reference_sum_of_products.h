// Multiplying out by the tree path, kept for the tests as the reference the cover
// product is checked against: every binary node distributes its simplified
// operands as a tree and hands the whole tree to the engine. The last engine call's
// term count goes to `termCount` when one is given.
#pragma once

#include "expr/node.h"
#include "normal/normalize.h"

inline Node* referenceSumOfProducts(Node* tree, const EngineParams& params,
                                    int64_t* termCount = nullptr) {
    if (tree->isLeaf()) return tree;
    if (auto* negation = dynamic_cast<UNode*>(tree)) {
        if (negation->operand->isLeaf()) return tree;
        negation->operand = referenceSumOfProducts(negation->operand, params);
        negation->operand = negation->operand->distribute(opAnd);
        return normalizeTerms(tree, params, termCount);
    }
    auto* binary = static_cast<BNode*>(tree);
    Node* expanded = tree;
    if (!binary->isDnf(true)) {
        binary->left = referenceSumOfProducts(binary->left, params);
        binary->right = referenceSumOfProducts(binary->right, params);
        expanded = binary->distribute(opAnd);
    }
    return normalizeTerms(expanded, params, termCount)->rebalance();
}
