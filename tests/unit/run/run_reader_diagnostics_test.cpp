// The readers' messages as boolfn-run words them: the token quoted (control and
// non-ASCII bytes escaped, long tokens cut), the end of the input named, and every
// message kind with its own text.
#include <gtest/gtest.h>

#include <string>

#include "run/reader_diagnostics.h"

namespace {

struct DiagnosticCase {
    const char* title;
    ReaderMessage message;
    std::string token;
    std::string text;
};

class RunDiagnosticText : public ::testing::TestWithParam<DiagnosticCase> {};

TEST_P(RunDiagnosticText, SaysWhat) {
    const DiagnosticCase& c = GetParam();
    EXPECT_EQ(diagnosticText(ReaderDiagnostic{"in.pla", c.message, {3, 7, c.token}}), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunDiagnosticText,
    ::testing::Values(
        DiagnosticCase{"SyntaxAtToken", ReaderMessage::SyntaxError, "x", "syntax error at 'x'"},
        DiagnosticCase{"SyntaxAtEnd", ReaderMessage::SyntaxError, "",
                       "syntax error at the end of the input"},
        DiagnosticCase{"InvalidCharacter", ReaderMessage::InvalidLexicalElement, "@",
                       "invalid character '@'"},
        DiagnosticCase{"ControlCharacterEscaped", ReaderMessage::InvalidLexicalElement, "\x1b",
                       "invalid character '\\x1b'"},
        DiagnosticCase{"NonAsciiByteEscaped", ReaderMessage::InvalidLexicalElement, "\xc3",
                       "invalid character '\\xc3'"},
        DiagnosticCase{"TabAndReturn", ReaderMessage::InvalidLexicalElement, "\r",
                       "invalid character '\\r'"},
        DiagnosticCase{"LongIdentifierCut", ReaderMessage::TooLongIdentifier, std::string(101, 'a'),
                       "identifier longer than 100 characters: '" + std::string(40, 'a') + "...'"},
        DiagnosticCase{"Widths", ReaderMessage::DifferentVectorLengths, ";",
                       "warning: different vector lengths in the statement"},
        DiagnosticCase{"Index", ReaderMessage::InvalidOutputIndex, "7",
                       "warning: no function '7' (read as 0)"}),
    [](const ::testing::TestParamInfo<DiagnosticCase>& param) {
        return std::string(param.param.title);
    });

TEST(RunQuotedToken, KeepsPrintableBytesAndEscapesBackslash) {
    EXPECT_EQ(quotedToken("a[3]<2>"), "'a[3]<2>'");
    EXPECT_EQ(quotedToken("a\\b\tc"), "'a\\x5cb\\tc'");
    EXPECT_EQ(quotedToken(std::string(40, 'b')), "'" + std::string(40, 'b') + "'");
}

}  // namespace
