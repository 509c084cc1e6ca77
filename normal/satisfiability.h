// Deciding by a SAT solver whether a function can be 1.
//
// Multiplying a function out into a sum of products is the only way the menu's
// normal forms know to find that it is constant 0, and for an unsatisfiable
// function that product is the largest there is. A SAT solver (CaDiCaL) proves
// the same in milliseconds, so the normal forms ask it first, under a budget, and
// the front ends use it to decide satisfiability and equivalence outright.
#pragma once

#include <cstdint>
#include <vector>

class Node;
class VariableList;
struct RowStore;

enum class SatVerdict { Satisfiable, Unsatisfiable, Unknown };

// How leaves are read. The term walk takes a constant as true only when it holds
// the value 1 and as false only when it holds the complement of 1 (-2), and a name
// outside the list as neither; evaluation takes bit 0 of a constant and 0 for an
// unknown name. The two differ only on wide constants and unknown names.
enum class LeafReading { TermWalk, Evaluation };

struct SatAnswer {
    SatVerdict verdict = SatVerdict::Unknown;
    // When satisfiable: a value per position of the inputs list that makes it 1.
    std::vector<bool> model;
};

// Decides whether the tree can be 1 for some values of `inputs` (identifiers are
// matched by name against the list). Under the TermWalk reading the tree must be in
// and-or form with negations on leaves only, as the normal forms prepare it; then
// "unsatisfiable" means exactly that the term walk finds no term in its expansion.
// A `conflictLimit` of 0 or more bounds the search; Unknown when it runs out. The
// tree is only read.
SatAnswer decideSatisfiable(const Node& tree, const VariableList& inputs, LeafReading reading,
                            int64_t conflictLimit = -1);

// One operand of a conjunction: a tree, or a product of clauses still held as rows
// (expr/pending_clauses.h), which is never built.
struct ConjunctionPart {
    const Node* tree = nullptr;
    const RowStore* clauses = nullptr;
};

// Decides the and of `parts`, left to right, as decideSatisfiable decides the
// and-chain of their trees: the solver is given the same clauses in the same order,
// so it answers with the same model. A DIMACS file of a million clauses is decided
// without the twenty nodes a literal its tree would take.
SatAnswer decideConjunction(const std::vector<ConjunctionPart>& parts, const VariableList& inputs,
                            LeafReading reading, int64_t conflictLimit = -1);
