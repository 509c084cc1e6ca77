// The reader messages: without diagnostics the text directly followed by the line
// number on the console, as the menu program prints them; with diagnostics nothing
// printed and the message handed over with its source and place. Either way the
// report counts the errors that the loaders return (warnings are not counted).
#include "formats/reader_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/base/console_redirect.h"

namespace {

struct MessageCase {
    const char* title;
    bool diagnostics;
    ReaderMessage message;
    int64_t line;
    std::string printed;
    int64_t counted;
};

class ReaderMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ReaderMessageTest, PrintsOrHandsOverAndCounts) {
    const MessageCase& c = GetParam();
    ConsoleRedirect console;
    std::vector<ReaderDiagnostic> handed;
    ReaderSettings settings;
    settings.sourceName = "in.pla";
    if (c.diagnostics) {
        settings.diagnostics = [&](const ReaderDiagnostic& diagnostic) {
            handed.push_back(diagnostic);
        };
    }
    ReaderReport report(settings);
    reportReaderMessage(report, c.message, c.line, {c.line, 4, "x"});
    reportReaderMessage(report, c.message, c.line + 1, {c.line + 1, 1, ""});
    EXPECT_EQ(console.printedText(), c.printed);
    EXPECT_EQ(report.errorCount, c.counted);
    if (!c.diagnostics) {
        EXPECT_TRUE(handed.empty());
        return;
    }
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0].source, "in.pla");
    EXPECT_EQ(handed[0].message, c.message);
    EXPECT_EQ(handed[0].place.line, c.line);
    EXPECT_EQ(handed[0].place.column, 4);
    EXPECT_EQ(handed[0].place.token, "x");
    EXPECT_EQ(handed[1].place.line, c.line + 1);
    EXPECT_EQ(handed[1].place.token, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderMessageTest,
    ::testing::Values(MessageCase{"Printed", false, ReaderMessage::SyntaxError, 12,
                                  "Syntax error at line:12\nSyntax error at line:13\n", 2},
                      MessageCase{"PrintedLexical", false, ReaderMessage::InvalidLexicalElement, 3,
                                  "Invalid lexical element at line:3\n"
                                  "Invalid lexical element at line:4\n",
                                  2},
                      MessageCase{"PrintedWarningNotCounted", false,
                                  ReaderMessage::DifferentVectorLengths, 5,
                                  "Warning: Different vector lengths at line:5\n"
                                  "Warning: Different vector lengths at line:6\n",
                                  0},
                      MessageCase{"HandedOver", true, ReaderMessage::TooLongIdentifier, 1, "", 2},
                      MessageCase{"HandedOverWarningNotCounted", true,
                                  ReaderMessage::InvalidOutputIndex, 9, "", 0}),
    [](const ::testing::TestParamInfo<MessageCase>& param) {
        return std::string(param.param.title);
    });

}  // namespace
