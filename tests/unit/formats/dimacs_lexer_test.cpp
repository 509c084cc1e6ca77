// The DIMACS lexer: token sequences, comments, the minus flag, identifier lengths,
// line counting (also over CRLF) and the lexical messages.
#include "formats/dimacs_lexer.h"

#include <sstream>
#include <string>

#include "tests/unit/formats/dimacs_test_support.h"

namespace {

using DimacsLexerState = DimacsFixture;

// Every token up to the end of input or the first error, written compactly:
// P, F, N<number> (N-<number> with the minus flag), I<text>, X for error, E for end.
std::string describeTokens(DimacsLexer& lexer) {
    std::string described;
    for (;;) {
        DimacsToken token = nextDimacsToken(lexer);
        if (!described.empty()) described += ' ';
        switch (token) {
            case DimacsToken::Problem:
                described += "P";
                break;
            case DimacsToken::Format:
                described += "F";
                break;
            case DimacsToken::Number:
                described += lexer.minus ? "N-" : "N";
                described += std::to_string(lexer.number);
                break;
            case DimacsToken::Identifier:
                described += "I" + lexer.text;
                break;
            case DimacsToken::Error:
                return described + "X";
            case DimacsToken::EndOfInput:
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

// Failures name the case by its title.
void PrintTo(const LexCase& c, std::ostream* out) {
    *out << c.title;
}

class DimacsLexerTest : public DimacsFixture, public ::testing::WithParamInterface<LexCase> {};

TEST_P(DimacsLexerTest, ReadsTokens) {
    const LexCase& c = GetParam();
    std::istringstream in(c.input);
    DimacsLexer lexer(in);
    EXPECT_EQ(describeTokens(lexer), c.tokens);
    EXPECT_EQ(console(), c.console);
    EXPECT_EQ(lexer.line, c.lastLine);
    EXPECT_EQ(lexer.error, !c.console.empty());
}

const std::string name100(100, 'v');
const std::string name101(101, 'v');

INSTANTIATE_TEST_SUITE_P(
    Cases, DimacsLexerTest,
    ::testing::Values(
        LexCase{"ProblemLine", "p cnf 3 2\n", "P F N3 N2 E", "", 2},
        LexCase{"Literals", "1 -2 0\n", "N1 N-2 N0 E", "", 2},
        LexCase{"MinusAcrossBlanks", "-  7", "N-7 E", "", 1},
        LexCase{"MinusBeforeWordIsLost", "-ab 4", "Iab N4 E", "", 1},
        LexCase{"MinusZero", "-0", "N-0 E", "", 1},
        LexCase{"Separators", "1\t2|3 \n\n4", "N1 N2 N3 N4 E", "", 3},
        LexCase{"CommentLine", "c a comment 5\n6", "N6 E", "", 2},
        LexCase{"CommentAfterLiterals", "1 2 c note\n0\n", "N1 N2 N0 E", "", 3},
        LexCase{"CommentAtEnd", "c no line end", "E", "", 1}, LexCase{"LoneC", "c", "E", "", 1},
        LexCase{"CnStartsIdentifier", "cnf cnx c", "F Icnx E", "", 1},
        LexCase{"CommentOfC", "cc 1\n2", "N2 E", "", 2},
        LexCase{"KeywordsAreCaseSensitive", "P CNF pcnf", "IP ICNF Ipcnf E", "", 1},
        LexCase{"IdentifierCharacters", "a_1b2 x", "Ia_1b2 Ix E", "", 1},
        LexCase{"NumberEndsAtLetter", "12ab", "N12 Iab E", "", 1},
        LexCase{"NumberWraps", "4294967297", "N1 E", "", 1},
        LexCase{"Identifier100", name100 + " 1", "I" + name100 + " N1 E", "", 1},
        LexCase{"Identifier101", "\n" + name101 + " 1", "X", "Too long identifier at line:2\n", 2},
        LexCase{"InvalidCharacter", "1\n2 # 3", "N1 N2 X", "Invalid lexical element at line:2\n",
                2},
        LexCase{"PercentTrailer", "1 0\n%\n0\n", "N1 N0 X", "Invalid lexical element at line:2\n",
                2},
        LexCase{"CrLfIsALineEnd", "p cnf 1 1\r\n1 0\r\n", "P F N1 N1 N1 N0 E", "", 3},
        LexCase{"CrLfEndsAComment", "c x\r\n1\r\n", "N1 E", "", 3},
        LexCase{"LoneCrIsInvalid", "1\r2", "N1 X", "Invalid lexical element at line:1\n", 1},
        LexCase{"CrAtEndIsInvalid", "1\r", "N1 X", "Invalid lexical element at line:1\n", 1},
        LexCase{"Empty", "", "E", "", 1}),
    [](const ::testing::TestParamInfo<LexCase>& param) { return std::string(param.param.title); });

TEST_F(DimacsLexerState, ClearsTheTokenStateBeforeEachToken) {
    std::istringstream in("-abc 5 x");
    DimacsLexer lexer(in);
    EXPECT_EQ(nextDimacsToken(lexer), DimacsToken::Identifier);
    EXPECT_TRUE(lexer.minus);
    EXPECT_EQ(nextDimacsToken(lexer), DimacsToken::Number);
    EXPECT_FALSE(lexer.minus);
    EXPECT_EQ(lexer.number, 5u);
    EXPECT_EQ(nextDimacsToken(lexer), DimacsToken::Identifier);
    EXPECT_EQ(lexer.text, "x");
    EXPECT_EQ(lexer.number, 0u);
}

TEST_F(DimacsLexerState, ReportsWithTheCurrentLineAndSetsTheFlag) {
    std::istringstream in("\n\n\n");
    DimacsLexer lexer(in);
    EXPECT_EQ(nextDimacsToken(lexer), DimacsToken::EndOfInput);
    reportDimacs(lexer, ReaderMessage::SyntaxError);
    EXPECT_EQ(console(), "Syntax error at line:4\n");
    EXPECT_TRUE(lexer.error);
}

}  // namespace
