// The lexer of the VHDL-like notation and the reader state it shares with the
// parser.
//
// The reader is one process-wide machine: the line number, the vector width in
// force and the error flag outlive a single statement (the width even outlives an
// input), so all of it sits in one struct rather than in scattered statics. The
// lexer reads one character at a time and never looks further than the character
// after the token; "putting back" a character is done by peeking at it without
// consuming it, so line feeds are counted in exactly one place, where a character
// is consumed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <unordered_map>

#include "formats/reader_messages.h"

class VariableList;

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

struct VhdlReaderState {
    std::istream* source = nullptr;           // set by every statement read
    VhdlToken token = VhdlToken::EndOfInput;  // the one token of look-ahead
    std::string text;                         // text of the last identifier or keyword
    uint32_t number = 0;        // value of the last number, bit string or bit (mod 2^32)
    uint32_t widthInForce = 1;  // digits of the last bit string lexed, in any input
    int64_t line = 1;           // back to 1 after every read that yields no tree
    bool error = false;         // cleared when a statement read begins
    std::string targetName;     // left-hand name of the statement read last
    VariableList* statementList = nullptr;  // names of the statement being read
    // Function name -> position of its latest definition in the table, kept by
    // loadVhdl while it runs; without it a name is looked up by walking the table.
    std::unordered_map<std::string, int64_t>* functionIndex = nullptr;
};

extern VhdlReaderState vhdlReader;

// Back to the state at start-up (for tests; the program never needs it).
void resetVhdlReader();

// Reads the next token of `vhdlReader.source` into `vhdlReader.token`.
void advanceVhdlToken();

// Writes a message with the current line number; every message that is not a
// warning sets the error flag.
void reportVhdl(ReaderMessage message);

// Identifiers keep at most this many characters; one more makes them too long.
constexpr std::size_t vhdlIdentifierLimit = 100;
