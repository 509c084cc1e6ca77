// --verify: what the job should give from the loaded functions, recorded as the job
// runs, and the proof after the write that the written result is exactly that.
//
// The expected functions are the loaded ones (after the additions) with the job's
// meaning applied: the same function for conversions and form changes, the
// complement after a negation, the restriction after a cofactor. Each is compared
// by SAT with a miter (expected xor written) with the function the table holds
// after the write, and for PLA, pseudo-VHDL and DIMACS also with the bytes written,
// read back by the project's own readers. The meaning is applied by substitution here, not by
// the rewrites whose results are being checked.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "expr/symbol.h"
#include "formats/reader_settings.h"
#include "run/options.h"

class Node;

class Expectation {
  public:
    Expectation();
    ~Expectation();
    Expectation(const Expectation&) = delete;
    Expectation& operator=(const Expectation&) = delete;

    // Copies every function of the table as it stands now.
    void takeLoadedFunctions();
    // Records a negation of every function.
    void complementAll();
    // Records the restriction of the function at `position` to `input` = `value`.
    void restrict(int64_t position, Symbol input, bool value);

    // The differences between the expectation and the table's functions from
    // `firstSaved` on, one message each; empty when every function is as expected.
    std::vector<std::string> checkTable(int64_t firstSaved) const;
    // The differences between the expectation and the file `written` (the bytes
    // written, never the target) read back in `notation` (PLA, pseudo-VHDL or
    // DIMACS; nothing to check for the others), compared as far as the notation
    // holds the functions: DIMACS holds only their conjunction. The file is read with
    // `settings`, as the job's input was.
    std::vector<std::string> checkReadBack(OutputNotation notation, std::istream& written,
                                           int64_t firstSaved,
                                           const ReaderSettings& settings = {}) const;

    // The same for a DIMACS file written with --tseitin, whose variables after the
    // table's inputs are auxiliary: every model of the file, read on the inputs, is a
    // point where all functions from `firstSaved` on are 1, and the file is
    // satisfiable exactly when they are.
    std::vector<std::string> checkEncoding(std::istream& written, int64_t firstSaved,
                                           const ReaderSettings& settings = {}) const;

  private:
    struct Expected;
    std::vector<std::unique_ptr<Expected>> functions;
    Node* expectedTree(int64_t position) const;
};

// Whether the notation's files can be read back by the project's readers.
bool readsBack(OutputNotation notation);
