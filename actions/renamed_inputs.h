// Renaming the inputs of a tree in place, for a file read with other names than the
// table's: DIMACS names from comments, the second input of --equiv.
#pragma once

#include <unordered_map>

#include "expr/symbol.h"

class Node;

// Gives every identifier that `renamed` maps its new name; the walk keeps its own
// stack, since trees from real files are very deep.
void renameInputs(Node* root, const std::unordered_map<Symbol, Symbol>& renamed);
