// The steps of the DIMACS reader, which `loadDimacs` (formats/dimacs.h) drives.
#pragma once

#include <cstdint>
#include <iosfwd>

#include "formats/dimacs_lexer.h"

class Node;

struct DimacsReader {
    DimacsLexer lexer;
    // The problem line's variable count: literals above it name no variable. Zero
    // until the problem line, so that a literal before it is out of range too.
    int64_t variableCount = 0;

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
    Node* clause;  // its literals as a left-deep or-chain, owned by the caller; null if none
    ClauseEnd end;
};

// Reads literals from the look-ahead token on until the clause ends; on "0" the
// token after it becomes the look-ahead.
ClauseOutcome readClause(DimacsReader& reader);

// One step of the reader: the problem line, or one clause, which a closing "0" moves
// into the function (the first entry of the table) as the right operand of an and.
void readDimacsStep(DimacsReader& reader);
