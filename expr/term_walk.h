// Finding the satisfied terms of a sum of products (see term_walk.cpp).
#pragma once

class Node;
class TermSink;
class VariableList;

// What one walk works with: the list that names resolve against and that holds the
// assignment being built, and the sink that receives every satisfied term.
struct TermWalk {
    VariableList& marks;
    TermSink& sink;
};

// Walks a whole tree with target 1: its or-nodes report their terms; a tree without
// an or is one term, reported here. Answers whether any term could be satisfied.
// `marks` must hold no assignment on entry (clearAssignments) and keeps the last
// term's marks afterwards.
bool reportAllTerms(Node* tree, VariableList& marks, TermSink& sink);
