#include "formats/reader_messages.h"

#include <array>

#include "base/console.h"

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

void printReaderMessage(ReaderReport& report, ReaderMessage message, int64_t line) {
    if (!isWarning(message)) report.errorCount += 1;
    const std::string number = std::to_string(line);
    std::string text;
    if (!report.sourceName.empty()) text = report.sourceName + ':' + number + ": ";
    text += readerMessageText(message);
    text += number;
    printLine(text);
}
