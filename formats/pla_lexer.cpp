// The PLA lexer. Bytes above 127 are neither letters nor digits
// (formats/characters.h), so they are simply invalid elements.
//
// An identifier ends at the first character that cannot continue it; that
// character is only looked at (`peekCharacter`), never consumed, so the next call
// reads it again. Consuming happens in `readCharacter` alone, which is therefore
// the one place where line feeds are counted.
#include "formats/pla_lexer.h"

#include <array>
#include <istream>
#include <string_view>
#include <utility>

#include "formats/characters.h"

namespace {

constexpr int endOfFile = std::char_traits<char>::eof();

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
int fetchCharacter(PlaLexer& lexer) {
    std::istream& in = *lexer.source;
    int character = in.get();
    if (character == '\r' && in.peek() == '\n') character = in.get();
    return character;
}

int peekCharacter(PlaLexer& lexer) {
    if (!lexer.hasPending) {
        lexer.pending = fetchCharacter(lexer);
        lexer.hasPending = true;
    }
    return lexer.pending;
}

int readCharacter(PlaLexer& lexer) {
    int character = peekCharacter(lexer);
    lexer.hasPending = false;
    if (character == endOfFile) return character;
    if (character == '\n') ++lexer.line;
    lexer.position.advance(character);
    return character;
}

// The token that begins with `character`, just consumed (or the end of the input).
void markTokenStart(PlaLexer& lexer, int character) {
    lexer.tokenStart = lexer.position;
    lexer.tokenAtEnd = character == endOfFile;
    lexer.tokenFirst = lexer.tokenAtEnd ? '\0' : static_cast<char>(character);
}

// The current token as it stands in the file; empty at the end of the input.
std::string spellingOf(const PlaLexer& lexer) {
    switch (lexer.token) {
        case PlaToken::EndOfInput:
            return {};
        case PlaToken::Digit:
            return std::string(1, static_cast<char>('0' + lexer.digit));
        case PlaToken::Dash:
        case PlaToken::Tilde:
            return std::string(1, lexer.tokenFirst);
        case PlaToken::Error:
            return lexer.text.empty() ? std::string(1, lexer.tokenFirst) : lexer.text;
        default:
            return lexer.text;
    }
}

// A message about the token being lexed, whose characters are `spelling`.
PlaToken lexicalError(PlaLexer& lexer, ReaderMessage message, std::string spelling) {
    ReaderPlace place = tokenPlace(lexer.tokenStart, false);
    place.token = std::move(spelling);
    reportReaderMessage(lexer.report, message, lexer.line, std::move(place));
    lexer.error = true;
    return PlaToken::Error;
}

bool isSeparator(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '|';
}
// Benchmark files name bus bits "di<11>" or "a[3]".
bool isBenchmarkLabelCharacter(const PlaLexer& lexer, int c) {
    return lexer.benchmarkDialects && (c == '<' || c == '>' || c == '[' || c == ']');
}
bool continuesIdentifier(const PlaLexer& lexer, int c) {
    return isLetter(c) || isDigit(c) || c == '_' || isBenchmarkLabelCharacter(lexer, c);
}

// Reads the rest of an identifier whose first character is already in the text.
// Characters past the limit are consumed but dropped; one more than the limit is
// kept so that an over-long text can be recognised.
PlaToken finishIdentifier(PlaLexer& lexer) {
    while (continuesIdentifier(lexer, peekCharacter(lexer))) {
        char character = static_cast<char>(readCharacter(lexer));
        if (lexer.text.size() <= identifierLimit) lexer.text += character;
    }
    if (lexer.text.size() > identifierLimit) {
        return lexicalError(lexer, ReaderMessage::TooLongIdentifier, lexer.text);
    }
    for (const Directive& directive : directives) {
        if (lexer.text == directive.text) return directive.token;
    }
    if (lexer.benchmarkDialects && lexer.text == ".end") return PlaToken::End;
    return PlaToken::Identifier;
}

PlaToken lexToken(PlaLexer& lexer) {
    for (;;) {
        int character = readCharacter(lexer);
        if (isSeparator(character)) {
            lexer.separatorSeen = true;
            continue;
        }
        if (character == '#') {
            do character = readCharacter(lexer);
            while (character != '\n' && character != endOfFile);
            if (character != endOfFile) continue;
        }
        markTokenStart(lexer, character);
        if (isDigit(character)) {
            lexer.digit = character - '0';
            return PlaToken::Digit;
        }
        if (character == '-') return PlaToken::Dash;
        if (character == '~') return PlaToken::Tilde;
        if (isLetter(character) || character == '_' || character == '.') {
            lexer.text += static_cast<char>(character);
            return finishIdentifier(lexer);
        }
        if (character == endOfFile) return PlaToken::EndOfInput;
        return lexicalError(lexer, ReaderMessage::InvalidLexicalElement,
                            std::string(1, static_cast<char>(character)));
    }
}

}  // namespace

PlaLexer::PlaLexer(std::istream& in, const ReaderSettings& settings)
    : source(&in), benchmarkDialects(settings.benchmarkDialects), report(settings) {}

void nextPlaToken(PlaLexer& lexer) {
    lexer.text.clear();
    lexer.digit = 0;
    lexer.token = lexToken(lexer);
}

void reportPla(PlaLexer& lexer, ReaderMessage message) {
    ReaderPlace place = tokenPlace(lexer.tokenStart, lexer.tokenAtEnd);
    place.token = spellingOf(lexer);
    reportReaderMessage(lexer.report, message, lexer.line, std::move(place));
    lexer.error = true;
}
