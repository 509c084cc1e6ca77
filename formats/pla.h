// PLA notation: the reader (input type 1, and batch mode's input) and the writer of
// "Save as PLA".
#pragma once

#include <iosfwd>

// Reads a whole PLA description into the (empty) function table, one entry per
// output, then completes every entry.
void loadPla(std::istream& in);

// Writes the saved functions, which the dispatcher has brought into DNF, as rows.
void savePla(std::ostream& out);
