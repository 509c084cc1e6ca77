// The PLA lexer: one token per digit, separators and the flag they set, comments,
// identifiers and the exact directive table, the identifier limit, line counting
// (also over CRLF) and the lexical messages.
#include "formats/pla_lexer.h"

#include <sstream>
#include <string>

#include "tests/unit/formats/pla_test_support.h"

namespace {

// Every token up to the end of input or the first error, written compactly: a
// token preceded by a separator gets a leading "_"; D<digit>, "-", "~",
// I<text>, the directive's own text, X for an error, E for the end.
std::string describeTokens(PlaLexer& lexer) {
    std::string described;
    for (;;) {
        lexer.separatorSeen = false;
        nextPlaToken(lexer);
        if (!described.empty()) described += ' ';
        if (lexer.separatorSeen) described += '_';
        switch (lexer.token) {
            case PlaToken::Digit:
                described += "D" + std::to_string(lexer.digit);
                break;
            case PlaToken::Dash:
                described += "-";
                break;
            case PlaToken::Tilde:
                described += "~";
                break;
            case PlaToken::Identifier:
                described += "I" + lexer.text;
                break;
            case PlaToken::Inputs:
            case PlaToken::Outputs:
            case PlaToken::InputLabels:
            case PlaToken::OutputLabels:
            case PlaToken::Products:
            case PlaToken::End:
            case PlaToken::Type:
                described += lexer.text;
                break;
            case PlaToken::Error:
                return described + "X";
            case PlaToken::EndOfInput:
                return described + "E";
        }
    }
}

struct LexCase {
    const char* title;
    std::string input;
    std::string tokens;
    std::string console;
    int64_t lastLine;
};

void PrintTo(const LexCase& c, std::ostream* out) {
    *out << c.title;
}

class PlaLexerTest : public PlaFixture, public ::testing::WithParamInterface<LexCase> {};

TEST_P(PlaLexerTest, ReadsTokens) {
    const LexCase& c = GetParam();
    std::istringstream in(c.input);
    PlaLexer lexer(in);
    EXPECT_EQ(describeTokens(lexer), c.tokens);
    EXPECT_EQ(console(), c.console);
    EXPECT_EQ(lexer.line, c.lastLine);
    EXPECT_EQ(lexer.error, !c.console.empty());
}

const std::string name100(100, 'v');
const std::string name101(101, 'v');
const std::string name150(150, 'v');

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaLexerTest,
    ::testing::Values(
        LexCase{"DigitPerToken", "012", "D0 D1 D2 E", "", 1},
        LexCase{"AllDigits", "3456789", "D3 D4 D5 D6 D7 D8 D9 E", "", 1},
        LexCase{"DashAndTilde", "1-~0", "D1 - ~ D0 E", "", 1},
        LexCase{"Separators", "1 2\t3|4\n5", "D1 _D2 _D3 _D4 _D5 E", "", 2},
        LexCase{"SeparatorBeforeEnd", "1 \n", "D1 _E", "", 2},
        LexCase{"Directives", ".i .o .ilb .ob .p .e .type", ".i _.o _.ilb _.ob _.p _.e _.type E",
                "", 1},
        LexCase{"DirectivesAreExact", ".I .Type .ilbx .phase .end .",
                "I.I _I.Type _I.ilbx _I.phase _I.end _I. E", "", 1},
        LexCase{"DirectiveEndsAtNonIdentifierCharacter", ".i|3", ".i _D3 E", "", 1},
        LexCase{"DotOnlyFirst", "a.b", "Ia I.b E", "", 1},
        LexCase{"IdentifierCharacters", "_a1_B2 x", "I_a1_B2 _Ix E", "", 1},
        LexCase{"IdentifierEndsAtDash", "ab-1", "Iab - D1 E", "", 1},
        LexCase{"DigitsStartNoIdentifier", "1a", "D1 Ia E", "", 1},
        LexCase{"CommentLine", "# a comment 5\n6", "D6 E", "", 2},
        LexCase{"CommentLineEndIsNoSeparator", "1# note\n2", "D1 D2 E", "", 2},
        LexCase{"CommentAtEnd", "1 # no line end", "D1 _E", "", 1},
        LexCase{"CommentEndsIdentifier", "ab#c\nd", "Iab Id E", "", 2},
        LexCase{"CrLfIsOneLineEnd", "1\r\n2\r\n", "D1 _D2 _E", "", 3},
        LexCase{"CrLfAfterIdentifier", ".e\r\n", ".e _E", "", 2},
        LexCase{"LoneCarriageReturn", "1\r2", "D1 X", "Invalid lexical element at line:1\n", 1},
        LexCase{"Identifier100", name100 + " 1", "I" + name100 + " _D1 E", "", 1},
        LexCase{"Identifier101", "\n" + name101 + " 1", "_X", "Too long identifier at line:2\n", 2},
        LexCase{"Identifier150", name150, "X", "Too long identifier at line:1\n", 1},
        LexCase{"InvalidCharacter", "1\n\n0 <", "D1 _D0 _X", "Invalid lexical element at line:3\n",
                3},
        LexCase{"HighByte", "\xc3\xa4", "X", "Invalid lexical element at line:1\n", 1},
        LexCase{"Empty", "", "E", "", 1}),
    [](const ::testing::TestParamInfo<LexCase>& param) { return std::string(param.param.title); });

// A digit token's value is forgotten by the next token, and the text of an
// identifier by the next token of any kind.
TEST_F(PlaFixture, TokenValuesAreClearedByTheNextToken) {
    std::istringstream in("7 abc -");
    PlaLexer lexer(in);
    nextPlaToken(lexer);
    EXPECT_EQ(lexer.digit, 7);
    nextPlaToken(lexer);
    EXPECT_EQ(lexer.digit, 0);
    EXPECT_EQ(lexer.text, "abc");
    nextPlaToken(lexer);
    EXPECT_EQ(lexer.token, PlaToken::Dash);
    EXPECT_EQ(lexer.text, "");
}

// The character that ends an identifier is read again by the next call, and a
// line feed there is counted only once.
TEST_F(PlaFixture, CharacterAfterIdentifierIsReadAgain) {
    std::istringstream in("abc\n\ndef");
    PlaLexer lexer(in);
    nextPlaToken(lexer);
    EXPECT_EQ(lexer.line, 1);
    nextPlaToken(lexer);
    EXPECT_EQ(lexer.text, "def");
    EXPECT_EQ(lexer.line, 3);
}

}  // namespace
