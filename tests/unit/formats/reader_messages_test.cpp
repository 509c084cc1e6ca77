// The reader messages: text directly followed by the line number, after
// "NAME:LINE: " when the settings name a source, and the count of errors that the
// loaders return (warnings are not counted).
#include "formats/reader_messages.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/unit/base/console_redirect.h"

namespace {

struct MessageCase {
    const char* title;
    std::string sourceName;
    ReaderMessage message;
    int64_t line;
    std::string printed;
    int64_t counted;
};

class ReaderMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ReaderMessageTest, PrintsAndCounts) {
    const MessageCase& c = GetParam();
    ConsoleRedirect console;
    ReaderSettings settings;
    settings.sourceName = c.sourceName;
    ReaderReport report(settings);
    printReaderMessage(report, c.message, c.line);
    printReaderMessage(report, c.message, c.line + 1);
    EXPECT_EQ(console.printedText(), c.printed);
    EXPECT_EQ(report.errorCount, c.counted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderMessageTest,
    ::testing::Values(MessageCase{"Plain", "", ReaderMessage::SyntaxError, 12,
                                  "Syntax error at line:12\nSyntax error at line:13\n", 2},
                      MessageCase{"Named", "in.pla", ReaderMessage::InvalidLexicalElement, 3,
                                  "in.pla:3: Invalid lexical element at line:3\n"
                                  "in.pla:4: Invalid lexical element at line:4\n",
                                  2},
                      MessageCase{"NamedStatement", "<add 2>", ReaderMessage::TooLongIdentifier, 1,
                                  "<add 2>:1: Too long identifier at line:1\n"
                                  "<add 2>:2: Too long identifier at line:2\n",
                                  2},
                      MessageCase{"WarningNotCounted", "", ReaderMessage::DifferentVectorLengths, 5,
                                  "Warning: Different vector lengths at line:5\n"
                                  "Warning: Different vector lengths at line:6\n",
                                  0},
                      MessageCase{"NamedWarning", "f.vhd", ReaderMessage::InvalidOutputIndex, 9,
                                  "f.vhd:9: Warning: Invalid output index at line:9\n"
                                  "f.vhd:10: Warning: Invalid output index at line:10\n",
                                  0}),
    [](const ::testing::TestParamInfo<MessageCase>& param) {
        return std::string(param.param.title);
    });

}  // namespace
