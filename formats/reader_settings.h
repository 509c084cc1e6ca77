// How a load reads beyond its notation, as the command-line front end asks; the
// menu program reads with the defaults.
#pragma once

#include <string>

struct ReaderSettings {
    // Set: every reader message begins "NAME:LINE: ", so that a message names the
    // file (or the added statement) it is about.
    std::string sourceName;
    // Read the dialects of the classic benchmark files that the readers otherwise
    // refuse: "<>[]" in PLA labels, "2" for an unused PLA input, ".end", and the
    // SATLIB "%" trailer of DIMACS files.
    bool benchmarkDialects = false;
    // Keep the don't-care (and, for .type fr and fdr, the OFF-set) rows of a PLA
    // file beside each output's ON-set, for the minimizer.
    bool plaDontCares = false;
};
