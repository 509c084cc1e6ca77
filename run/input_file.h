// Loading an input file of any notation into the program's function table, for
// the job's INPUT and for the second input of --equiv.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "actions/table_load.h"
#include "run/options.h"

struct LoadOutcome {
    bool opened = false;        // false: the file could not be opened (reported)
    bool readerErrors = false;  // the reader reported errors (the functions read are kept)
};

// Reads the file at `path` ("-": standard input) in `notation` into the (empty)
// table, with reader messages naming the path; a VHDL file may be a complete
// design unit.
LoadOutcome loadInputFile(const std::string& path, InputNotation notation,
                          const LoadSettings& settings = {});

// Whether the file at `path` reads without a reader error with `settings`: read
// into a table of its own, the program's put aside and back, and without a word
// (the settings' diagnostics take the reader messages). False when it cannot be
// opened.
bool readsWithoutErrors(const std::string& path, InputNotation notation,
                        const LoadSettings& settings);

// Opens the file at `path` for reading into `in`; false, reported with the system's
// reason, when it cannot be opened. A folder opens as a stream that reads nothing,
// so it is refused first.
bool openInputFile(const std::string& path, std::ifstream& in);
