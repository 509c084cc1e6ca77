// The messages of the three readers, in one table. The menu program prints each
// directly followed by the number of the line where the reader stands; the
// command-line front end takes them as diagnostics (the message, the place and the
// token it is about) and formats them itself. The PLA and DIMACS readers use the
// first three; the two warnings are the VHDL reader's, and only they leave the
// reader's error flag alone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "formats/reader_settings.h"

enum class ReaderMessage {
    InvalidLexicalElement,
    TooLongIdentifier,
    SyntaxError,
    DifferentVectorLengths,  // a warning
    InvalidOutputIndex,      // a warning
};

// The message's text, without the line number.
std::string_view readerMessageText(ReaderMessage message);

constexpr bool isWarning(ReaderMessage message) {
    return message == ReaderMessage::DifferentVectorLengths ||
           message == ReaderMessage::InvalidOutputIndex;
}

// Where a lexer stands in what it reads: the line (from 1) and the bytes of that
// line consumed so far. Counted from the start of each read, so that a VHDL
// statement whose message line goes on from an earlier statement still has its
// own place.
struct SourcePosition {
    int64_t line = 1;
    int64_t column = 0;

    // Counts one consumed character (a line end as one, however it was written).
    void advance(int character) {
        if (character == '\n') {
            ++line;
            column = 0;
        } else {
            ++column;
        }
    }
};

// What a message is about: the line and column (from 1, in bytes) where the
// offending token begins, and the token as it was read (at most one character past
// the identifier limit); an empty token at the end of the input.
struct ReaderPlace {
    int64_t line = 1;
    int64_t column = 1;
    std::string token;
};

// Where a token begins: the first character consumed, or for the end of the input
// the place after the last one.
inline ReaderPlace tokenPlace(const SourcePosition& afterFirst, bool endOfInput) {
    return {afterFirst.line, endOfInput ? afterFirst.column + 1 : afterFirst.column, {}};
}

struct ReaderDiagnostic {
    std::string source;  // the settings' source name
    ReaderMessage message;
    ReaderPlace place;
};

// Where one reader's messages go, and how many of them were errors; every lexer
// holds one, and the loaders return its count.
struct ReaderReport {
    std::string sourceName;
    std::function<void(const ReaderDiagnostic&)> diagnostics;  // empty: print them
    int64_t errorCount = 0;                                    // messages that were not warnings

    explicit ReaderReport(const ReaderSettings& settings)
        : sourceName(settings.sourceName), diagnostics(settings.diagnostics) {}
};

// Counts the message in the report unless it is a warning, and hands it with its
// place to the report's diagnostics, or, without them, prints it with the line
// number on the console.
void reportReaderMessage(ReaderReport& report, ReaderMessage message, int64_t line,
                         ReaderPlace place);
