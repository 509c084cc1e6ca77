// The lexer of the VHDL-like notation: characters to tokens, with the reader's
// messages.
//
// Characters are classified as the C library does in the "C" locale (bytes above
// 127 are neither letters nor digits), spelled out here so that no locale can
// change the answer. Numbers and bit strings are accumulated in unsigned 32-bit
// arithmetic: long digit strings wrap modulo 2^32 instead of overflowing. Malformed
// bit strings and bit literals, a lone "<" and a lone "-" give the error token
// without a message of their own; the parser then reports where the token stands.
#include "formats/vhdl_lexer.h"

#include <array>
#include <istream>
#include <string_view>

VhdlReaderState vhdlReader;

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

bool isLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
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
int peekChar() {
    return vhdlReader.source->peek();
}

// Consumes one character: the one place where lines are counted. A carriage
// return directly before a line feed is read as that line feed.
int takeChar() {
    int c = vhdlReader.source->get();
    if (c == '\r' && peekChar() == '\n') c = vhdlReader.source->get();
    if (c == '\n') ++vhdlReader.line;
    return c;
}

// Skips a comment up to and including its line feed; false at end of input.
bool skipComment() {
    for (;;) {
        int c = takeChar();
        if (c == '\n') return true;
        if (c == endOfInput) return false;
    }
}

VhdlToken lexNumber(int first) {
    uint32_t value = digitValue(first);
    while (isDigit(peekChar())) value = value * 10u + digitValue(takeChar());
    vhdlReader.number = value;
    return VhdlToken::Number;
}

// After the opening double quote. Every digit lexed widens the width in force,
// also in a literal that turns out malformed; the character that ends a malformed
// literal is consumed with it.
VhdlToken lexBitString() {
    int c = takeChar();
    if (!isBit(c)) return VhdlToken::Error;
    uint32_t value = digitValue(c);
    vhdlReader.widthInForce = 1;
    for (c = takeChar(); isBit(c); c = takeChar()) {
        value = value * 2u + digitValue(c);
        vhdlReader.widthInForce += 1u;
    }
    vhdlReader.number = value;
    return c == '"' ? VhdlToken::BitString : VhdlToken::Error;
}

// After the opening single quote: '0', '1', or '' (which stands for 0).
VhdlToken lexBit() {
    int c = takeChar();
    if (c == '\'') return VhdlToken::Bit;
    if (!isBit(c)) return VhdlToken::Error;
    vhdlReader.number = digitValue(c);
    return takeChar() == '\'' ? VhdlToken::Bit : VhdlToken::Error;
}

// Keeps one character beyond the limit, which is enough to know the name is too
// long, and drops the rest.
VhdlToken lexIdentifier(int first) {
    std::string& text = vhdlReader.text;
    text.push_back(static_cast<char>(first));
    while (isIdentifierPart(peekChar())) {
        int c = takeChar();
        if (text.size() <= vhdlIdentifierLimit) text.push_back(static_cast<char>(c));
    }
    if (text.size() > vhdlIdentifierLimit) {
        reportVhdl(ReaderMessage::TooLongIdentifier);
        return VhdlToken::Error;
    }
    for (const Keyword& keyword : keywords) {
        if (keyword.text == text) return keyword.token;
    }
    return VhdlToken::Identifier;
}

VhdlToken lexToken() {
    for (;;) {
        int c = takeChar();
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
                return lexBitString();
            case '\'':
                return lexBit();
            case '=':
                if (peekChar() != '>') return VhdlToken::Equal;
                takeChar();
                return VhdlToken::Arrow;
            case '<':
                if (peekChar() != '=') return VhdlToken::Error;
                takeChar();
                return VhdlToken::LessEqual;
            case '-':
                if (peekChar() != '-') return VhdlToken::Error;
                takeChar();
                if (!skipComment()) return VhdlToken::EndOfInput;
                continue;
            case endOfInput:
                return VhdlToken::EndOfInput;
            default:
                if (isDigit(c)) return lexNumber(c);
                if (isLetter(c) || c == '_') return lexIdentifier(c);
                reportVhdl(ReaderMessage::InvalidLexicalElement);
                return VhdlToken::Error;
        }
    }
}

}  // namespace

void resetVhdlReader() {
    vhdlReader = VhdlReaderState{};
}

void advanceVhdlToken() {
    vhdlReader.text.clear();
    vhdlReader.number = 0;
    vhdlReader.token = lexToken();
}

void reportVhdl(ReaderMessage message) {
    printReaderMessage(message, vhdlReader.line);
    if (!isWarning(message)) vhdlReader.error = true;
}
