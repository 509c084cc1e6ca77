// What --sat prints, in the output format of SAT solvers: an "s" line with the
// verdict and "v" lines with the model as signed variable numbers ended by 0, any
// other line a "c" comment, so that scripts written for a solver's output read it.
#pragma once

#include <string>
#include <vector>

// "v" lines of at most about 78 characters holding the model's literals over the
// variables 1 to n, the last ended by 0.
std::string modelLines(const std::vector<bool>& model);

// "s SATISFIABLE" with the model lines, or "s UNSATISFIABLE".
std::string solverVerdict(bool satisfiable, const std::vector<bool>& model);
