// The reader settings and counters that the front ends set and the readers read.
//
//   readerSourceName      run/ sets it; read by base/console.cpp (message prefix)
//   readerErrorCount      raised by formats/reader_messages.cpp; read by run/
//   benchmarkDialects     run/ (--lenient); read by the PLA and DIMACS lexers and
//                         the PLA reader
//   plaDontCares          run/ (--dont-cares); read by the PLA reader
#pragma once

#include <cstdint>
#include <string>

struct ProgramState {
    std::string readerSourceName;  // set: reader messages begin "NAME:LINE: "
    int64_t readerErrorCount = 0;  // reader messages that were not warnings

    // Read the dialects of the classic benchmark files that the readers otherwise
    // refuse: "<>[]" in PLA labels, "2" for an unused PLA input, ".end", and the
    // SATLIB "%" trailer of DIMACS files.
    bool benchmarkDialects = false;
    // Keep the don't-care (and, for .type fr and fdr, the OFF-set) rows of a PLA
    // file beside each output's ON-set, for the minimizer.
    bool plaDontCares = false;
};

extern ProgramState program;
