// The normal-form engine.
#pragma once

class Node;

// Takes over a tree in sum-of-products shape and returns a new, simplified sum of
// products: its satisfiable terms enter a term trie, the simplification sweep merges
// terms that differ in one variable, and the rebuild applies absorption and drops
// one redundant literal per term when absorption is enabled. Leaves the number of
// terms of the result in the table's termCount (0 for the constant 0).
Node* normalizeTerms(Node* tree);

// The same as `passes` calls of normalizeTerms in a row, each on the previous
// result; the intermediate results are handed on as term sets, never built as trees.
Node* normalizeTermsRepeatedly(Node* tree, int passes);
