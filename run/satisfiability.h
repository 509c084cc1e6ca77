// Whether an expression tree can be 1, decided by CaDiCaL, with a model over the
// table's inputs. --sat asks it for every function and --verify for every miter.
// The front end asks only through `decideTree`, so that the engine's own bridge can
// take its place without touching the callers.
#pragma once

#include <vector>

class Node;

struct SatisfiabilityAnswer {
    bool satisfiable = false;
    // When satisfiable: one value per name of the table's variable list, in its order.
    std::vector<bool> model;
};

// Decides the tree over the inputs of program.table. A constant is 1 when its value
// is 1; a name outside the table's list is a free input of its own.
SatisfiabilityAnswer decideTree(const Node& tree);
