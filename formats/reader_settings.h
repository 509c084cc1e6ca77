// How a load reads beyond its notation, as the command-line front end asks; the
// menu program reads with the defaults.
#pragma once

#include <functional>
#include <string>

struct ReaderDiagnostic;

struct ReaderSettings {
    // The name of what is read (a path, "<stdin>", "<add 1>"), which every
    // diagnostic carries.
    std::string sourceName;
    // Set: every reader message goes to it, with the place and the token it is
    // about, and nothing is printed, so that the front end formats the messages
    // itself. Empty (the menu program): the messages are printed as they always were.
    std::function<void(const ReaderDiagnostic&)> diagnostics;
    // Read the dialects of the classic benchmark files that the readers otherwise
    // refuse: "<>[]" in PLA labels, "2" for an unused PLA input, ".end", and the
    // SATLIB "%" trailer of DIMACS files.
    bool benchmarkDialects = false;
    // Keep the don't-care (and, for .type fr and fdr, the OFF-set) rows of a PLA
    // file beside each output's ON-set, for the minimizer.
    bool plaDontCares = false;
};
