// Where the term walk delivers the terms it finds.
//
// The walk over a sum of products finds each satisfiable product term as an
// assignment: the variables the term names are marked assigned in a variable list,
// with 1 for an uncomplemented and -2 for a complemented literal. What happens to
// the term is the sink's business: the engine enters it in its term trie, the PLA,
// VHDL, DIMACS and sum-of-products BLIF writers write it as a row, a note, a clause
// or a cover row, and others count or collect it. Anything that can produce terms
// this way (a tree, or a sum a function holds in place of its tree: expr/pending_sum.h)
// can feed any of them.
#pragma once

class VariableList;

class TermSink {
  public:
    virtual ~TermSink() = default;
    // One satisfied term: the assigned entries of `assignment`, whose positions are
    // those of the table's variable list, in the order they were assigned
    // (`assignedPositions`). The list is only lent for the call.
    virtual void acceptTerm(const VariableList& assignment) = 0;
};
