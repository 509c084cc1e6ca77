// The lexer of the VHDL-like notation: characters to tokens, with the reader's
// messages.
//
// Characters are classified as formats/characters.h does. Numbers and bit strings are accumulated
// in unsigned 32-bit arithmetic: long digit strings wrap modulo 2^32 instead of overflowing.
// Malformed bit strings and bit literals, a lone "<" and a lone "-" give the error token without a
// message of their own; the parser then reports where the token stands.
#include "formats/vhdl_lexer.h"

#include <array>
#include <istream>
#include <string_view>
#include <utility>

#include "formats/characters.h"

namespace {

constexpr int endOfInput = std::char_traits<char>::eof();

struct Keyword {
    std::string_view text;
    VhdlToken token;
};

// Only the all-lowercase and all-uppercase spellings are keywords: "And" or
// "Variable" stay ordinary identifiers.
constexpr std::array<Keyword, 16> keywords{{
    {"and", VhdlToken::And},
    {"AND", VhdlToken::And},
    {"or", VhdlToken::Or},
    {"OR", VhdlToken::Or},
    {"not", VhdlToken::Not},
    {"NOT", VhdlToken::Not},
    {"xor", VhdlToken::Xor},
    {"XOR", VhdlToken::Xor},
    {"nand", VhdlToken::Nand},
    {"NAND", VhdlToken::Nand},
    {"nor", VhdlToken::Nor},
    {"NOR", VhdlToken::Nor},
    {"xnor", VhdlToken::Xnor},
    {"XNOR", VhdlToken::Xnor},
    {"variable", VhdlToken::Variable},
    {"VARIABLE", VhdlToken::Variable},
}};

bool isIdentifierPart(int c) {
    return isLetter(c) || isDigit(c) || c == '_';
}
bool isBit(int c) {
    return c == '0' || c == '1';
}
uint32_t digitValue(int c) {
    return static_cast<uint32_t>(c - '0');
}

// The character the next takeChar will consume; looking is how a character is
// "put back".
int peekChar(VhdlLexer& lexer) {
    return lexer.source->peek();
}

// Consumes one character: the one place where lines are counted. A carriage
// return directly before a line feed is read as that line feed.
int takeChar(VhdlLexer& lexer) {
    int c = lexer.source->get();
    if (c == '\r' && peekChar(lexer) == '\n') c = lexer.source->get();
    if (c == endOfInput) return c;
    if (c == '\n') ++lexer.line;
    lexer.position.advance(c);
    if (lexer.spelling.size() <= identifierLimit) lexer.spelling.push_back(static_cast<char>(c));
    return c;
}

// The token that begins with `c`, just consumed (or the end of the input).
void markTokenStart(VhdlLexer& lexer, int c) {
    lexer.tokenStart = lexer.position;
    lexer.tokenAtEnd = c == endOfInput;
    lexer.spelling.clear();
    if (!lexer.tokenAtEnd) lexer.spelling.push_back(static_cast<char>(c));
}

// Skips a comment up to and including its line feed; false at end of input.
bool skipComment(VhdlLexer& lexer) {
    for (;;) {
        int c = takeChar(lexer);
        if (c == '\n') return true;
        if (c == endOfInput) return false;
    }
}

VhdlToken lexNumber(VhdlLexer& lexer, int first) {
    uint32_t value = digitValue(first);
    while (isDigit(peekChar(lexer))) value = value * 10u + digitValue(takeChar(lexer));
    lexer.number = value;
    return VhdlToken::Number;
}

// After the opening double quote. Every digit lexed widens the width in force,
// also in a literal that turns out malformed; the character that ends a malformed
// literal is consumed with it.
VhdlToken lexBitString(VhdlLexer& lexer) {
    int c = takeChar(lexer);
    if (!isBit(c)) return VhdlToken::Error;
    uint32_t value = digitValue(c);
    lexer.widthInForce = 1;
    for (c = takeChar(lexer); isBit(c); c = takeChar(lexer)) {
        value = value * 2u + digitValue(c);
        lexer.widthInForce += 1u;
    }
    lexer.number = value;
    return c == '"' ? VhdlToken::BitString : VhdlToken::Error;
}

// After the opening single quote: '0', '1', or '' (which stands for 0).
VhdlToken lexBit(VhdlLexer& lexer) {
    int c = takeChar(lexer);
    if (c == '\'') return VhdlToken::Bit;
    if (!isBit(c)) return VhdlToken::Error;
    lexer.number = digitValue(c);
    return takeChar(lexer) == '\'' ? VhdlToken::Bit : VhdlToken::Error;
}

// Keeps one character beyond the limit, which is enough to know the name is too
// long, and drops the rest.
VhdlToken lexIdentifier(VhdlLexer& lexer, int first) {
    std::string& text = lexer.text;
    text.push_back(static_cast<char>(first));
    while (isIdentifierPart(peekChar(lexer))) {
        int c = takeChar(lexer);
        if (text.size() <= identifierLimit) text.push_back(static_cast<char>(c));
    }
    if (text.size() > identifierLimit) {
        reportVhdl(lexer, ReaderMessage::TooLongIdentifier);
        return VhdlToken::Error;
    }
    for (const Keyword& keyword : keywords) {
        if (keyword.text == text) return keyword.token;
    }
    return VhdlToken::Identifier;
}

VhdlToken lexToken(VhdlLexer& lexer) {
    for (;;) {
        int c = takeChar(lexer);
        if (c != ' ' && c != '\t' && c != '\n') markTokenStart(lexer, c);
        switch (c) {
            case ' ':
            case '\t':
            case '\n':
                continue;
            case '(':
                return VhdlToken::LeftParen;
            case ')':
                return VhdlToken::RightParen;
            case '[':
                return VhdlToken::LeftBracket;
            case ']':
                return VhdlToken::RightBracket;
            case '{':
                return VhdlToken::LeftBrace;
            case '}':
                return VhdlToken::RightBrace;
            case ';':
                return VhdlToken::Semicolon;
            case ',':
                return VhdlToken::Comma;
            case '"':
                return lexBitString(lexer);
            case '\'':
                return lexBit(lexer);
            case '=':
                if (peekChar(lexer) != '>') return VhdlToken::Equal;
                takeChar(lexer);
                return VhdlToken::Arrow;
            case '<':
                if (peekChar(lexer) != '=') return VhdlToken::Error;
                takeChar(lexer);
                return VhdlToken::LessEqual;
            case '-':
                if (peekChar(lexer) != '-') return VhdlToken::Error;
                takeChar(lexer);
                if (skipComment(lexer)) continue;
                markTokenStart(lexer, endOfInput);
                return VhdlToken::EndOfInput;
            case endOfInput:
                return VhdlToken::EndOfInput;
            default:
                if (isDigit(c)) return lexNumber(lexer, c);
                if (isLetter(c) || c == '_') return lexIdentifier(lexer, c);
                reportVhdl(lexer, ReaderMessage::InvalidLexicalElement);
                return VhdlToken::Error;
        }
    }
}

}  // namespace

VhdlLexer::VhdlLexer(std::istream& in, const ReaderSettings& settings, const VhdlCarry& carry)
    : source(&in), widthInForce(carry.widthInForce), line(carry.line), report(settings) {}

void advanceVhdlToken(VhdlLexer& lexer) {
    lexer.text.clear();
    lexer.number = 0;
    lexer.token = lexToken(lexer);
}

void reportVhdl(VhdlLexer& lexer, ReaderMessage message) {
    ReaderPlace place = tokenPlace(lexer.tokenStart, lexer.tokenAtEnd);
    place.token = lexer.spelling;
    reportReaderMessage(lexer.report, message, lexer.line, std::move(place));
    if (!isWarning(message)) lexer.error = true;
}
