// The DIMACS CNF lexer: turns the characters of a CNF file into the tokens of the
// reader (problem keyword "p", format keyword "cnf", numbers, identifiers), skips
// separators and comments, and reports the lexical errors with their line number
// (and, for the front end, their place and token).
//
// Its whole state lives in one struct that the loader creates for the one read of a
// run; no other part of the program keeps any of it. Lines are counted in exactly one
// place, the function that consumes a character.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "formats/reader_messages.h"
#include "formats/reader_settings.h"

enum class DimacsToken { EndOfInput, Error, Identifier, Number, Problem, Format };

struct DimacsLexer {
    // The characters come straight from the stream buffer: a file of a million
    // clauses is tens of megabytes, and a sentry per character would dominate.
    std::streambuf* source;
    std::string text;         // the identifier, or the digits of the number, just read
    uint32_t number = 0;      // the number just read, wrapping modulo 2^32 like the field it fills
    bool minus = false;       // a "-" came before the token
    int64_t line = 1;         // raised at every line end consumed; never reset
    SourcePosition position;  // the same line, and the column in it
    SourcePosition tokenStart;  // after the first character of the token (a "-" before it)
    bool tokenAtEnd = false;    // the token is the end of the input
    bool error = false;         // set by every message, never cleared
    DimacsToken token = DimacsToken::EndOfInput;  // one token of look-ahead
    bool benchmarkDialects;                       // the SATLIB "%" trailer ends the input
    ReaderReport report;

    explicit DimacsLexer(std::istream& in, const ReaderSettings& settings = {});
};

// Reads the next token. Clears the text, the number and the minus flag first.
DimacsToken nextDimacsToken(DimacsLexer& lexer);

// Reports a message about the current token, with the current line number, and
// sets the error flag.
void reportDimacs(DimacsLexer& lexer, ReaderMessage message);
