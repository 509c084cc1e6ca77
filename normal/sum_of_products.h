// Multiplying a tree out into a simplified sum of products (see sum_of_products.cpp).
#pragma once

class Node;

// Takes over a tree in and-or-not form with negations on the leaves only (the
// rewrites' toAndOrNotForm and removeDoubleNegations make it so) and returns the
// simplified sum of products that replaces it; the engine's term count of the last
// call is left in the table. A leaf, or a not over a leaf, is returned as it is.
Node* toSumOfProducts(Node* tree);
