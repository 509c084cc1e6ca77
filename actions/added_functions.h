// Functions added after loading, from statements in the VHDL-like notation: one
// statement as "Add function" reads it, or a whole script as batch mode reads it.
// The menu program and the command-line front end add through these two.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "formats/reader_settings.h"

struct AddedStatement {
    bool added = false;        // a function was appended
    int64_t readerErrors = 0;  // errors the reader reported
};

// Reads one statement from `command` and appends it as a new function; its variable
// list is collected from the tree afresh, in order of first appearance, as the
// loaders do.
AddedStatement addStatement(const std::string& command, const ReaderSettings& settings = {});

// Reads statements from `script` until one yields no tree, appending each as a new
// function, and counts them all as added. Answers the number of reader errors.
int64_t addScript(std::istream& script, const ReaderSettings& settings = {});
