// DIMACS CNF notation: the reader (input type 3) and the writer of "Save as DIMACS".
#pragma once

#include <cstdint>
#include <iosfwd>

#include "formats/reader_settings.h"

// Reads the problem line and the clauses into one function "y0", then completes it.
// Answers the number of errors reported.
int64_t loadDimacs(std::istream& in, const ReaderSettings& settings = {});

// Writes one clause per term of the complement's sum of products, which the
// dispatcher has computed for every saved function, after the save dialogue.
void saveDimacs(std::ostream& out);
// The file itself, of the entries from position `first` on, without questions or
// messages.
void writeDimacs(std::ostream& out, int64_t first);

// A formula of linear size instead of the product of sums (boolfn-run --tseitin):
// the saved functions as they stand, each operator node defined by an auxiliary
// variable (Tseitin's encoding: and and or over any number of operands, xor and
// xnor over two; not, nand, nor and xnor are negated literals), and the conjunction
// of the functions asserted. Variables 1 to n are the table's inputs in order, the
// auxiliary variables follow, and a comment line before the problem line says so.
// The models of the clauses, read on the inputs, are exactly the points where every
// saved function is 1, since each auxiliary variable is fixed by the inputs.
void writeDimacsEncoding(std::ostream& out, int64_t first);
