// PLA notation: the reader (input type 1, and batch mode's input) and the writer of
// "Save as PLA".
#pragma once

#include <cstdint>
#include <iosfwd>

#include "formats/reader_settings.h"

// Reads a whole PLA description into the (empty) function table, one entry per
// output, then completes every entry. Answers the number of errors reported.
int64_t loadPla(std::istream& in, const ReaderSettings& settings = {});

// Writes the saved functions, which the dispatcher has brought into DNF, as rows,
// after the save dialogue (formats/save_dialogue.h).
void savePla(std::ostream& out);
// The file itself, of the entries from position `firstSaved` on, without questions
// or messages.
void writePla(std::ostream& out, int64_t firstSaved);
// The head's ".i", ".o" and, where the file named them, ".ilb" and ".ob" lines for
// the entries from `firstSaved` on.
void writePlaSizesAndLabels(std::ostream& out, int64_t firstSaved);
