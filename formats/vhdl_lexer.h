// The lexer of the VHDL-like notation, and the lexer state it shares with the
// parser.
//
// The state of one read sits in one struct that the reader creates. Two values
// outlive a read, as the notation asks: the vector width in force carries over
// from statement to statement and from one input to the next, and the line number
// goes on after an accepted statement; the reader hands them from one lexer to the
// next (`VhdlCarry`). The lexer reads one character at a time and never looks
// further than the character after the token; "putting back" a character is done
// by peeking at it without consuming it, so line feeds are counted in exactly one
// place, where a character is consumed. There the lexer also keeps its own place in
// what it reads and the characters of the token, for the messages.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "formats/reader_messages.h"
#include "formats/reader_settings.h"

enum class VhdlToken {
    EndOfInput,
    Error,
    LeftParen,
    RightParen,
    LeftBracket,
    RightBracket,
    LeftBrace,
    RightBrace,
    Semicolon,
    Comma,
    Equal,
    LessEqual,  // "<=", the assignment arrow
    Arrow,      // "=>"
    Identifier,
    Number,
    BitString,
    Bit,
    And,
    Or,
    Not,
    Xor,
    Nand,
    Nor,
    Xnor,
    Variable,
};

// What one read leaves to the next.
struct VhdlCarry {
    uint32_t widthInForce = 1;  // digits of the last bit string lexed, in any input
    int64_t line = 1;           // back to 1 after every read that yields no tree
};

struct VhdlLexer {
    std::istream* source;
    VhdlToken token = VhdlToken::EndOfInput;  // the one token of look-ahead
    std::string text;                         // text of the last identifier or keyword
    uint32_t number = 0;        // value of the last number, bit string or bit (mod 2^32)
    uint32_t widthInForce;      // from the carry; set by every bit string lexed
    int64_t line;               // from the carry; raised at every line feed consumed
    SourcePosition position;    // from 1 in this read, whatever the carry says
    SourcePosition tokenStart;  // after the first character of the token
    bool tokenAtEnd = false;    // the token is the end of the input
    std::string spelling;       // the token's characters (cut after the identifier limit)
    bool error = false;         // cleared when a statement read begins
    ReaderReport report;

    explicit VhdlLexer(std::istream& in, const ReaderSettings& settings = {},
                       const VhdlCarry& carry = {});
};

// Reads the next token of `lexer.source` into `lexer.token`.
void advanceVhdlToken(VhdlLexer& lexer);

// Reports a message about the current token, with the current line number; every
// message that is not a warning sets the error flag.
void reportVhdl(VhdlLexer& lexer, ReaderMessage message);
