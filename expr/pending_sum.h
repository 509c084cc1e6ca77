// A sum of products that a function holds in place of its tree until the tree is
// needed.
//
// Sums of products are what the notations load (a PLA output) and what the normal
// forms leave; as trees they take one node per literal and operator, and most of
// what is done with them next (the next normal form, a PLA or DIMACS save) only
// reads their terms. So a function may hold such a sum instead; printing, the
// rewrites, the cofactor and the VHDL and BLIF writers ask for the tree, which is
// then built node for node as it would have been built at once.
#pragma once

#include <cstdint>

class Node;
class TermSink;
class VariableList;

class PendingSum {
  public:
    virtual ~PendingSum() = default;

    // The tree this sum stands for; the caller owns it.
    virtual Node* buildTree() const = 0;

    // Reports to the sink exactly the terms the term walk reports from the built
    // tree, in the same order, with the same assignments in `marks` (a list with
    // the table's names and no assignment on entry); answers whether there was any.
    virtual bool reportTerms(VariableList& marks, TermSink& sink) const = 0;

    // The built tree's literal count.
    virtual int64_t literalCount() const = 0;

    // Whether the built tree is a leaf or a not over a leaf (a sum of one term of
    // at most one literal), which the normal forms take without an engine call.
    virtual bool buildsLeaf() const = 0;
};
