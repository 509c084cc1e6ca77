// DIMACS CNF notation: the reader (input type 3) and the writer of "Save as DIMACS".
#pragma once

#include <cstdint>
#include <iosfwd>

// Reads the problem line and the clauses into one function "y0", then completes it.
void loadDimacs(std::istream& in);

// Writes one clause per term of the complement's sum of products, which the
// dispatcher has computed for every saved function, after the save dialogue.
void saveDimacs(std::ostream& out);
// The file itself, of the entries from position `first` on, without questions or
// messages.
void writeDimacs(std::ostream& out, int64_t first);
