// The four states of the DIMACS lexer (start, identifier, number, comment) are the
// four branches below; the identifier and number states look at a character before
// taking it, which is how they put back the character that ends their token.
//
// A comment opens with "c" wherever a token may start and runs to the line end,
// except that "c" directly followed by "n" starts an identifier instead, so that
// "cnf" reaches the reader as the format keyword. Only those two characters decide,
// so the comment text itself is never kept.
#include "formats/dimacs_lexer.h"

#include <exception>
#include <istream>
#include <streambuf>
#include <string_view>
#include <utility>

#include "formats/characters.h"

namespace {

constexpr int endOfFile = std::char_traits<char>::eof();

struct Keyword {
    std::string_view text;
    DimacsToken token;
};

// Compared exactly and case-sensitively.
constexpr Keyword keywords[] = {
    {"p", DimacsToken::Problem},
    {"cnf", DimacsToken::Format},
};

// The file stream buffer reports a read error (a folder, a failing device) by an
// exception, which the lexer's direct access would let through; the error ends the
// input like the end of the file.
int peekChar(DimacsLexer& lexer) {
    try {
        return lexer.source->sgetc();
    } catch (const std::exception&) {
        return endOfFile;
    }
}

int bumpChar(DimacsLexer& lexer) {
    try {
        return lexer.source->sbumpc();
    } catch (const std::exception&) {
        return endOfFile;
    }
}

// Consumes one character and counts the line it ends. A carriage return directly
// before a line feed belongs to the line end, so CRLF files read like LF files; a
// carriage return anywhere else is an ordinary (and invalid) character.
int takeChar(DimacsLexer& lexer) {
    int c = bumpChar(lexer);
    if (c == '\r' && peekChar(lexer) == '\n') c = bumpChar(lexer);
    if (c == '\n') ++lexer.line;
    if (c != endOfFile) lexer.position.advance(c);
    return c;
}

// A message about the token whose characters are `spelling`.
void report(DimacsLexer& lexer, ReaderMessage message, std::string spelling) {
    ReaderPlace place = tokenPlace(lexer.tokenStart, lexer.tokenAtEnd);
    place.token = std::move(spelling);
    reportReaderMessage(lexer.report, message, lexer.line, std::move(place));
    lexer.error = true;
}

DimacsToken lexIdentifier(DimacsLexer& lexer) {
    for (int c = peekChar(lexer); isLetter(c) || isDigit(c) || c == '_'; c = peekChar(lexer)) {
        takeChar(lexer);
        // One character past the limit is kept so that the length check can see it.
        if (lexer.text.size() <= identifierLimit) lexer.text += static_cast<char>(c);
    }
    if (lexer.text.size() > identifierLimit) {
        report(lexer, ReaderMessage::TooLongIdentifier, lexer.text);
        return DimacsToken::Error;
    }
    for (const Keyword& keyword : keywords) {
        if (lexer.text == keyword.text) return keyword.token;
    }
    return DimacsToken::Identifier;
}

// The digits are kept as text too: a number past 2^32 is quoted as written.
DimacsToken lexNumber(DimacsLexer& lexer, int firstDigit) {
    lexer.number = static_cast<uint32_t>(firstDigit - '0');
    lexer.text.push_back(static_cast<char>(firstDigit));
    for (int c = peekChar(lexer); isDigit(c); c = peekChar(lexer)) {
        takeChar(lexer);
        lexer.number = lexer.number * 10u + static_cast<uint32_t>(c - '0');
        if (lexer.text.size() <= identifierLimit) lexer.text.push_back(static_cast<char>(c));
    }
    return DimacsToken::Number;
}

// The current token as it stands in the file; empty at the end of the input.
std::string spellingOf(const DimacsLexer& lexer) {
    if (lexer.token == DimacsToken::EndOfInput) return {};
    return lexer.minus && lexer.token == DimacsToken::Number ? "-" + lexer.text : lexer.text;
}

}  // namespace

DimacsLexer::DimacsLexer(std::istream& in, const ReaderSettings& settings)
    : source(in.rdbuf()), benchmarkDialects(settings.benchmarkDialects), report(settings) {}

DimacsToken nextDimacsToken(DimacsLexer& lexer) {
    lexer.text.clear();
    lexer.number = 0;
    lexer.minus = false;
    for (;;) {
        int c = takeChar(lexer);
        if (c == ' ' || c == '\t' || c == '\n' || c == '|') continue;
        if (!lexer.minus) {
            lexer.tokenStart = lexer.position;
            lexer.tokenAtEnd = c == endOfFile;
        }
        if (c == endOfFile) return DimacsToken::EndOfInput;
        // A "-" only marks the next number, even across blanks; before a word it is lost.
        if (c == '-') {
            lexer.minus = true;
            continue;
        }
        if (isDigit(c)) return lexNumber(lexer, c);
        if (c == 'c') {
            int next = takeChar(lexer);
            if (next == 'n') {
                lexer.text = "cn";
                return lexIdentifier(lexer);
            }
            while (next != '\n') {
                if (next == endOfFile) {
                    lexer.tokenStart = lexer.position;
                    lexer.tokenAtEnd = true;
                    return DimacsToken::EndOfInput;
                }
                next = takeChar(lexer);
            }
            continue;
        }
        if (isLetter(c)) {
            lexer.text = static_cast<char>(c);
            return lexIdentifier(lexer);
        }
        // SATLIB files end with a "%" line (and a "0" after it): the formula ends there.
        if (c == '%' && lexer.benchmarkDialects) return DimacsToken::EndOfInput;
        lexer.text = static_cast<char>(c);
        report(lexer, ReaderMessage::InvalidLexicalElement, lexer.text);
        return DimacsToken::Error;
    }
}

void reportDimacs(DimacsLexer& lexer, ReaderMessage message) {
    report(lexer, message, spellingOf(lexer));
}
