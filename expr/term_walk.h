// Reporting the satisfied terms of a sum of products (see term_walk.cpp).
#pragma once

class Node;

// Reports the term held by the assignment marks of `program.currentList`, in the
// way `program.outputMode` selects.
void reportTerm();

// Walks a whole tree with target 1: its or-nodes report their terms; a tree without
// an or is one term, reported here. Answers whether any term could be satisfied.
// The caller sets the output mode and a clean `program.currentList` first.
bool reportAllTerms(Node* tree);
