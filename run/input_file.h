// Loading an input file of any notation into the program's function table, for
// the job's INPUT and for the second input of --equiv.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "formats/reader_settings.h"
#include "run/options.h"

struct LoadOutcome {
    bool opened = false;        // false: the file could not be opened (reported)
    bool readerErrors = false;  // the reader reported errors (the functions read are kept)
};

// How inputs are read beyond their notation.
struct InputSettings {
    // DIMACS: the comment lines "c NUMBER NAME" before the problem line, as
    // --keep-names writes them, name the variables.
    bool dimacsNames = false;
    ReaderSettings reader;  // its source name is the path's, when a path is read
};

// Reads the file at `path` ("-": standard input) in `notation` into the (empty)
// table, with reader messages naming the path.
LoadOutcome loadInputFile(const std::string& path, InputNotation notation,
                          const InputSettings& settings = {});

// Opens the file at `path` for reading into `in`; false, reported with the system's
// reason, when it cannot be opened. A folder opens as a stream that reads nothing,
// so it is refused first.
bool openInputFile(const std::string& path, std::ifstream& in);

// Reads a text of `notation` from an open stream into the (empty) table; answers
// the number of errors the reader reported.
int64_t loadNotation(std::istream& in, InputNotation notation, const InputSettings& settings = {});
