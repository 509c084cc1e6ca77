// The VHDL lexer on its own: the token sequence, the line count and the messages
// for every lexical rule, including the malformed literals that give the error
// token silently and the numbers that wrap modulo 2^32.
#include <sstream>
#include <string>

#include "tests/unit/formats/vhdl_test_support.h"

namespace {

std::string tokenWord(const VhdlLexer& lexer) {
    switch (lexer.token) {
        case VhdlToken::EndOfInput:
            return "end";
        case VhdlToken::Error:
            return "error";
        case VhdlToken::LeftParen:
            return "(";
        case VhdlToken::RightParen:
            return ")";
        case VhdlToken::LeftBracket:
            return "[";
        case VhdlToken::RightBracket:
            return "]";
        case VhdlToken::LeftBrace:
            return "{";
        case VhdlToken::RightBrace:
            return "}";
        case VhdlToken::Semicolon:
            return ";";
        case VhdlToken::Comma:
            return ",";
        case VhdlToken::Equal:
            return "=";
        case VhdlToken::LessEqual:
            return "<=";
        case VhdlToken::Arrow:
            return "=>";
        case VhdlToken::Identifier:
            return "id:" + lexer.text;
        case VhdlToken::Number:
            return "num:" + std::to_string(lexer.number);
        case VhdlToken::BitString:
            return "bits:" + std::to_string(lexer.number) + "/" +
                   std::to_string(lexer.widthInForce);
        case VhdlToken::Bit:
            return "bit:" + std::to_string(lexer.number);
        case VhdlToken::And:
            return "AND";
        case VhdlToken::Or:
            return "OR";
        case VhdlToken::Not:
            return "NOT";
        case VhdlToken::Xor:
            return "XOR";
        case VhdlToken::Nand:
            return "NAND";
        case VhdlToken::Nor:
            return "NOR";
        case VhdlToken::Xnor:
            return "XNOR";
        case VhdlToken::Variable:
            return "VARIABLE";
    }
    return "?";
}

// Every token up to the end of the lexer's input, separated by blanks.
std::string lexAll(VhdlLexer& lexer) {
    std::string tokens;
    do {
        advanceVhdlToken(lexer);
        if (!tokens.empty()) tokens += ' ';
        tokens += tokenWord(lexer);
    } while (lexer.token != VhdlToken::EndOfInput);
    return tokens;
}

struct LexCase {
    const char* title;
    std::string input;
    std::string tokens;
    int64_t lineAfter;
    std::string console;
};

class VhdlLexerTest : public VhdlFixture, public ::testing::WithParamInterface<LexCase> {};

TEST_P(VhdlLexerTest, Tokens) {
    const LexCase& c = GetParam();
    std::istringstream in(c.input);
    VhdlLexer lexer(in);
    EXPECT_EQ(lexAll(lexer), c.tokens);
    EXPECT_EQ(lexer.line, c.lineAfter);
    EXPECT_EQ(console(), c.console);
}

const std::string name100(100, 'n');
const std::string name101 = std::string(100, 'n') + "x";

INSTANTIATE_TEST_SUITE_P(
    Cases, VhdlLexerTest,
    ::testing::Values(
        LexCase{"Punctuation", "( ) [ ] { } ; , = <= =>", "( ) [ ] { } ; , = <= => end", 1, ""},
        LexCase{"EqualPutsBack", "=a=", "= id:a = end", 1, ""},
        LexCase{"LessWithoutEqual", "<a", "error id:a end", 1, ""},
        LexCase{"SingleDash", "-a", "error id:a end", 1, ""},
        LexCase{"DashAtEnd", "a-", "id:a error end", 1, ""},
        LexCase{"Comment", "a -- b $ c\nd", "id:a id:d end", 2, ""},
        LexCase{"CommentAtEnd", "a --", "id:a end", 1, ""},
        LexCase{"OnlyComments", "-- one\n\n  -- two\n", "end", 4, ""},
        LexCase{"Number", "42 007", "num:42 num:7 end", 1, ""},
        LexCase{"NumberWraps", "4294967295 4294967296 4294967298", "num:4294967295 num:0 num:2 end",
                1, ""},
        LexCase{"NumberStopsAtLetter", "12ab", "num:12 id:ab end", 1, ""},
        LexCase{"BitString", "\"0101\" \"1\"", "bits:5/4 bits:1/1 end", 1, ""},
        LexCase{"BitStringKeepsLast32Bits", "\"1" + std::string(32, '0') + "1\"", "bits:1/34 end",
                1, ""},
        LexCase{"EmptyBitString", "\"\"a", "error id:a end", 1, ""},
        LexCase{"BitStringBadDigitConsumed", "\"012a", "error id:a end", 1, ""},
        LexCase{"BitStringBadStart", "\"x\"", "error error end", 1, ""},
        LexCase{"BitStringLineFeedConsumed", "\"1\na", "error id:a end", 2, ""},
        LexCase{"Bits", "'0' '1' ''", "bit:0 bit:1 bit:0 end", 1, ""},
        LexCase{"BitBadDigit", "'2'", "error error end", 1, ""},
        LexCase{"BitUnclosed", "'1a", "error end", 1, ""},
        LexCase{"Keywords", "and or not xor nand nor xnor variable",
                "AND OR NOT XOR NAND NOR XNOR VARIABLE end", 1, ""},
        LexCase{"UppercaseKeywords", "AND OR NOT XOR NAND NOR XNOR VARIABLE",
                "AND OR NOT XOR NAND NOR XNOR VARIABLE end", 1, ""},
        LexCase{"MixedCaseIsIdentifier", "And aNd Variable NoT",
                "id:And id:aNd id:Variable id:NoT end", 1, ""},
        LexCase{"KeywordPrefixIsIdentifier", "andx nots _or", "id:andx id:nots id:_or end", 1, ""},
        LexCase{"IdentifierCharacters", "_a1 b_2c", "id:_a1 id:b_2c end", 1, ""},
        LexCase{"Identifier100", name100, "id:" + name100 + " end", 1, ""},
        LexCase{"Identifier101", "\n" + name101 + " a", "error id:a end", 2,
                "Too long identifier at line:2\n"},
        LexCase{"InvalidCharacter", "a $ b", "id:a error id:b end", 1,
                "Invalid lexical element at line:1\n"},
        LexCase{"HighByteIsInvalid", "\n\n\xc3", "error end", 3,
                "Invalid lexical element at line:3\n"},
        LexCase{"FormFeedIsInvalid", "\f", "error end", 1, "Invalid lexical element at line:1\n"},
        LexCase{"CarriageReturnLineFeed", "a\r\nb\r\n", "id:a id:b end", 3, ""},
        LexCase{"LoneCarriageReturn", "a\rb", "id:a error id:b end", 1,
                "Invalid lexical element at line:1\n"},
        LexCase{"CarriageReturnInComment", "-- x\r\na", "id:a end", 2, ""}),
    VhdlCaseTitle());

class VhdlLexerStateTest : public VhdlFixture {};

// Token text and value are reset for every token, so a keyword or punctuation
// carries neither the text nor the value of the token before it.
TEST_F(VhdlLexerStateTest, TextAndValueResetPerToken) {
    std::istringstream in("abc 17 ;");
    VhdlLexer lexer(in);
    advanceVhdlToken(lexer);
    EXPECT_EQ(lexer.text, "abc");
    advanceVhdlToken(lexer);
    EXPECT_EQ(lexer.text, "");
    EXPECT_EQ(lexer.number, 17u);
    advanceVhdlToken(lexer);
    EXPECT_EQ(lexer.token, VhdlToken::Semicolon);
    EXPECT_EQ(lexer.number, 0u);
}

// The width in force starts from what the earlier reads carried, changes only with
// a bit string (also a malformed one) and survives every other token.
TEST_F(VhdlLexerStateTest, WidthInForceChangesOnlyWithBitStrings) {
    std::istringstream in("b '1' 77 \"101\" a 5 \"11x");
    VhdlLexer lexer(in, {}, VhdlCarry{4, 1});
    for (uint32_t expected : {4u, 4u, 4u, 3u, 3u, 3u}) {
        advanceVhdlToken(lexer);
        EXPECT_EQ(lexer.widthInForce, expected);
    }
    advanceVhdlToken(lexer);
    EXPECT_EQ(lexer.token, VhdlToken::Error);
    EXPECT_EQ(lexer.widthInForce, 2u);
}

// Warnings leave the error flag and the error count alone; the other messages set
// the flag and are counted.
TEST_F(VhdlLexerStateTest, MessagesSetTheErrorFlagUnlessWarnings) {
    std::istringstream in;
    VhdlLexer lexer(in);
    lexer.line = 7;
    reportVhdl(lexer, ReaderMessage::DifferentVectorLengths);
    reportVhdl(lexer, ReaderMessage::InvalidOutputIndex);
    EXPECT_FALSE(lexer.error);
    EXPECT_EQ(lexer.report.errorCount, 0);
    reportVhdl(lexer, ReaderMessage::SyntaxError);
    EXPECT_TRUE(lexer.error);
    EXPECT_EQ(lexer.report.errorCount, 1);
    EXPECT_EQ(console(),
              "Warning: Different vector lengths at line:7\n"
              "Warning: Invalid output index at line:7\n"
              "Syntax error at line:7\n");
}

}  // namespace
