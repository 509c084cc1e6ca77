// DIMACS CNF notation: the reader (input type 3) and the writer of "Save as DIMACS".
#pragma once

#include <iosfwd>

// Reads the problem line and the clauses into one function "y0", then completes it.
void loadDimacs(std::istream& in);

// Writes one clause per term of the complement's sum of products, which the
// dispatcher has computed for every saved function.
void saveDimacs(std::ostream& out);
