// The messages of the three readers, in one table: each is printed directly
// followed by the number of the line where the reader stands, after the source
// name when the reader settings give one. The PLA and DIMACS readers use the first
// three; the two warnings are the VHDL reader's, and only they leave the reader's
// error flag alone.
#pragma once

#include <cstdint>
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

// Where one reader's messages go, and how many of them were errors; every lexer
// holds one, and the loaders return its count.
struct ReaderReport {
    std::string sourceName;  // set: messages begin "NAME:LINE: "
    int64_t errorCount = 0;  // messages printed that were not warnings

    explicit ReaderReport(const ReaderSettings& settings) : sourceName(settings.sourceName) {}
};

// Prints the message with the line number on the console, and counts it in the
// report unless it is a warning.
void printReaderMessage(ReaderReport& report, ReaderMessage message, int64_t line);
