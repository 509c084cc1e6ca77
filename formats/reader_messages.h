// The messages of the three readers, in one table: each is printed directly
// followed by the number of the line where the reader stands. The PLA and DIMACS
// readers use the first three; the two warnings are the VHDL reader's, and only
// they leave the reader's error flag alone.
#pragma once

#include <cstdint>
#include <string_view>

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

// Prints the message with the line number on the console, and counts it in
// program.readerErrorCount unless it is a warning.
void printReaderMessage(ReaderMessage message, int64_t line);
