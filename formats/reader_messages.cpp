#include "formats/reader_messages.h"

#include <array>
#include <utility>

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

void reportReaderMessage(ReaderReport& report, ReaderMessage message, int64_t line,
                         ReaderPlace place) {
    if (!isWarning(message)) report.errorCount += 1;
    if (report.diagnostics) {
        report.diagnostics(ReaderDiagnostic{report.sourceName, message, std::move(place)});
        return;
    }
    std::string text(readerMessageText(message));
    text += std::to_string(line);
    printLine(text);
}
