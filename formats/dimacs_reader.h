// The steps of the DIMACS reader, which `loadDimacs` (formats/dimacs.h) drives.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "expr/pending_clauses.h"
#include "formats/dimacs_lexer.h"

struct DimacsReader {
    DimacsLexer lexer;
    // The problem line's variable count: literals above it name no variable. Zero
    // until the problem line, so that a literal before it is out of range too.
    int64_t variableCount = 0;
    // The clauses read so far, with the one being read open at the end; the loader
    // hands them to the function once the file is read.
    std::unique_ptr<PendingClauses> clauses = std::make_unique<PendingClauses>();

    explicit DimacsReader(std::istream& in, const ReaderSettings& settings = {})
        : lexer(in, settings) {}
};

// How a clause ended.
enum class ClauseEnd {
    Closed,    // by its "0"
    Open,      // by a token that is no number; the clause is dropped
    Rejected,  // by a literal out of range, already reported
};

struct ClauseOutcome {
    int64_t literals;  // how many; they wait as the open row of the reader's clauses
    ClauseEnd end;
};

// Reads literals from the look-ahead token on until the clause ends, adding them to
// the open row of the reader's clauses (which a rejected clause leaves empty); on
// "0" the token after it becomes the look-ahead.
ClauseOutcome readClause(DimacsReader& reader);

// One step of the reader: the problem line, or one clause, which a closing "0" and-s
// to the clauses of the function (the first entry of the table) read before it.
void readDimacsStep(DimacsReader& reader);
