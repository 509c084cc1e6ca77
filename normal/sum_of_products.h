// Multiplying a tree out into a simplified sum of products (see sum_of_products.cpp).
#pragma once

#include "normal/normalize.h"

class Node;

// Takes over a tree in and-or form with negations on leaves only (as the rewrites'
// toAndOrNotForm and removeDoubleNegations leave it) and returns the simplified sum
// of products that replaces it, as a tree. A leaf, or a not over a leaf, is returned
// as it is.
Node* toSumOfProducts(Node* tree, const EngineParams& params);

// What toSumOfProducts followed by `passes` calls of the engine would give, without
// building the tree in between. Before multiplying out a tree that is not yet a sum
// of products, a SAT solver is asked, under a small budget, whether it can be 1 at
// all: an unsatisfiable function is the constant 0 whatever path computes it.
SimplifiedSum simplifiedSumOfProducts(Node* tree, int passes, const EngineParams& params);

// What the same chain gives for a function that holds a sum instead of a tree: the
// sum's terms go to the engine as the term walk would read them from its tree.
SimplifiedSum simplifiedSumOfHeld(const PendingSum& sum, int passes, const EngineParams& params);
