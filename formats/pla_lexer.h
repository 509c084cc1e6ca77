// The PLA lexer: tokens, the directive table and the lexer state, which lives in
// one struct that the loader creates for its read.
//
// A PLA row is read column by column and may run across lines, so the lexer hands
// out one token per column character (one digit per token) and leaves line
// structure to a single flag: whether a separator (blank, tab, line feed, "|") was
// skipped, which is all that number reading needs to tell ".i 12" from ".i 1 2".
// Line numbers and columns are counted in the one function that consumes a
// character; where each token begins is kept for the messages.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "formats/reader_messages.h"
#include "formats/reader_settings.h"

enum class PlaToken {
    EndOfInput,
    Error,
    Digit,
    Dash,
    Tilde,
    Identifier,
    Inputs,        // ".i"
    Outputs,       // ".o"
    InputLabels,   // ".ilb"
    OutputLabels,  // ".ob"
    Products,      // ".p"
    End,           // ".e"
    Type,          // ".type"
};

struct PlaLexer {
    std::istream* source;
    int pending = 0;  // a character looked at but not yet consumed
    bool hasPending = false;
    PlaToken token = PlaToken::EndOfInput;  // one token of look-ahead
    std::string text;                       // the last identifier or directive
    int digit = 0;                          // value of the last digit token, else 0
    bool separatorSeen = false;             // a separator was skipped since the last clear
    int64_t line = 1;                       // line feeds consumed, plus one
    SourcePosition position;                // the same line, and the column in it
    SourcePosition tokenStart;              // after the first character of the token
    bool tokenAtEnd = false;                // the token is the end of the input
    char tokenFirst = 0;                    // the token's first character
    bool error = false;                     // a message was written: the load ends
    bool benchmarkDialects;                 // "<>[]" in labels, ".end", "2" as unused
    ReaderReport report;

    explicit PlaLexer(std::istream& in, const ReaderSettings& settings = {});
};

// Reads the next token into lexer.token (with its text or digit value).
void nextPlaToken(PlaLexer& lexer);

// Reports a message about the current token, with the current line number, and
// sets the error flag.
void reportPla(PlaLexer& lexer, ReaderMessage message);
