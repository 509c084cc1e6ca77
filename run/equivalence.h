// --equiv OTHER: the functions of INPUT (after the job's additions and steps) and
// of OTHER (as loaded), paired and each pair proven equal by SAT or given an input
// point where the two differ.
//
// Functions are paired by name when both files hold the same names, each once;
// otherwise by position, and a function without a partner is a difference. Inputs
// are matched by name when both files name the same inputs, otherwise by position
// (the k-th input of OTHER is the k-th of INPUT), since a DIMACS file names its
// variables x0, x1, ... whatever they stood for. The first line says which.
#pragma once

#include <iosfwd>
#include <string>

#include "run/input_file.h"
#include "run/options.h"

struct EquivalenceOutcome {
    bool opened = false;        // false: OTHER could not be opened (reported)
    bool readerErrors = false;  // OTHER had reader errors
    bool different = false;     // some pair differs, or a function has no partner
};

// Compares the table's functions, read from `inputPath`, with those of the file at
// `otherPath` and writes one line per pair to `out`.
EquivalenceOutcome compareWithFile(std::ostream& out, const std::string& inputPath,
                                   const std::string& otherPath, InputNotation otherNotation,
                                   const LoadSettings& settings = {});
