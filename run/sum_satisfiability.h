// --sat on a function held as a sum of products (a PLA output, a normal form): it
// can be 1 exactly when one of its terms can, and the first such term, its other
// inputs 0, is a model. That is decided in one pass over the terms, where the
// solver would first need the tree and an encoding tens of times the sum's size.
#pragma once

#include "normal/satisfiability.h"

class PendingSum;
class VariableList;

// The verdict and, when satisfiable, the model over the positions of `inputs` (the
// table's list, which the sum's terms are numbered by).
SatAnswer decideSum(const PendingSum& sum, const VariableList& inputs);
