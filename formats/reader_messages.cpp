#include "formats/reader_messages.h"

#include <array>

#include "base/console.h"
#include "base/program_state.h"

namespace {

constexpr std::array<std::string_view, 5> messageTexts{
    "Invalid lexical element at line:",
    "Too long identifier at line:",
    "Syntax error at line:",
    "Warning: Different vector lengths at line:",
    "Warning: Invalid output index at line:",
};

}  // namespace

std::string_view readerMessageText(ReaderMessage message) {
    return messageTexts[static_cast<std::size_t>(message)];
}

void printReaderMessage(ReaderMessage message, int64_t line) {
    if (!isWarning(message)) program.readerErrorCount += 1;
    printAtLine(readerMessageText(message), line);
}
