// The one load function of both programs: a text of any input notation read into
// the table.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "actions/vocabulary.h"
#include "formats/reader_settings.h"

// How a text is read beyond its notation.
struct LoadSettings {
    ReaderSettings reader;
    // VHDL: a complete design unit is read as its assignments (the menu program
    // reads the assignment notation only).
    bool designUnits = false;
    // DIMACS: the comment lines "c NUMBER NAME" before the problem line, as
    // --keep-names writes them, name the variables.
    bool dimacsNames = false;
};

// Reads a text of `notation` from an open stream into the (empty) table; answers
// the number of errors the reader reported.
int64_t loadTable(std::istream& in, InputNotation notation, const LoadSettings& settings);
