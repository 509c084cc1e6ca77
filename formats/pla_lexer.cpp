// The PLA lexer. Characters are classified by hand in ASCII, which is the "C"
// locale's classification, so bytes above 127 are simply invalid elements and no
// signed char ever reaches a <cctype> function.
//
// An identifier ends at the first character that cannot continue it; that
// character is only looked at (`peekCharacter`), never consumed, so the next call
// reads it again. Consuming happens in `readCharacter` alone, which is therefore
// the one place where line feeds are counted.
#include "formats/pla_lexer.h"

#include <array>
#include <istream>
#include <string_view>

#include "base/program_state.h"

PlaReaderState plaReader;

namespace {

constexpr int endOfFile = std::char_traits<char>::eof();
constexpr size_t longestIdentifier = 100;

struct Directive {
    std::string_view text;
    PlaToken token;
};

constexpr std::array<Directive, 7> directives{{
    {".i", PlaToken::Inputs},
    {".o", PlaToken::Outputs},
    {".ilb", PlaToken::InputLabels},
    {".ob", PlaToken::OutputLabels},
    {".p", PlaToken::Products},
    {".e", PlaToken::End},
    {".type", PlaToken::Type},
}};

// Takes a character from the stream; a carriage return directly before a line feed
// is part of that line end.
int fetchCharacter() {
    std::istream& in = *plaReader.source;
    int character = in.get();
    if (character == '\r' && in.peek() == '\n') character = in.get();
    return character;
}

int peekCharacter() {
    if (!plaReader.hasPending) {
        plaReader.pending = fetchCharacter();
        plaReader.hasPending = true;
    }
    return plaReader.pending;
}

int readCharacter() {
    int character = peekCharacter();
    plaReader.hasPending = false;
    if (character == '\n') ++plaReader.line;
    return character;
}

bool isLetter(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
bool isSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '|';
}
// Benchmark files name bus bits "di<11>" or "a[3]".
bool isBenchmarkLabelCharacter(int c) {
    return program.benchmarkDialects && (c == '<' || c == '>' || c == '[' || c == ']');
}
bool continuesIdentifier(int c) {
    return isLetter(c) || isDigit(c) || c == '_' || isBenchmarkLabelCharacter(c);
}

// Reads the rest of an identifier whose first character is already in the text.
// Characters past the limit are consumed but dropped; one more than the limit is
// kept so that an over-long text can be recognised.
PlaToken finishIdentifier() {
    while (continuesIdentifier(peekCharacter())) {
        char character = static_cast<char>(readCharacter());
        if (plaReader.text.size() <= longestIdentifier) plaReader.text += character;
    }
    if (plaReader.text.size() > longestIdentifier) {
        reportPla(ReaderMessage::TooLongIdentifier);
        return PlaToken::Error;
    }
    for (const Directive& directive : directives) {
        if (plaReader.text == directive.text) return directive.token;
    }
    if (program.benchmarkDialects && plaReader.text == ".end") return PlaToken::End;
    return PlaToken::Identifier;
}

PlaToken lexToken() {
    for (;;) {
        int character = readCharacter();
        if (isSeparator(character)) {
            plaReader.separatorSeen = true;
            continue;
        }
        if (character == '#') {
            do character = readCharacter();
            while (character != '\n' && character != endOfFile);
            if (character == endOfFile) return PlaToken::EndOfInput;
            continue;
        }
        if (isDigit(character)) {
            plaReader.digit = character - '0';
            return PlaToken::Digit;
        }
        if (character == '-') return PlaToken::Dash;
        if (character == '~') return PlaToken::Tilde;
        if (isLetter(character) || character == '_' || character == '.') {
            plaReader.text += static_cast<char>(character);
            return finishIdentifier();
        }
        if (character == endOfFile) return PlaToken::EndOfInput;
        reportPla(ReaderMessage::InvalidLexicalElement);
        return PlaToken::Error;
    }
}

}  // namespace

void resetPlaReader(std::istream& in) {
    plaReader = PlaReaderState{};
    plaReader.source = &in;
}

void nextPlaToken() {
    plaReader.text.clear();
    plaReader.digit = 0;
    plaReader.token = lexToken();
}

void reportPla(ReaderMessage message) {
    printReaderMessage(message, plaReader.line);
    plaReader.error = true;
}
