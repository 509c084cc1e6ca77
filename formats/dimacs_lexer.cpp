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
    return c;
}

DimacsToken lexIdentifier(DimacsLexer& lexer) {
    for (int c = peekChar(lexer); isLetter(c) || isDigit(c) || c == '_'; c = peekChar(lexer)) {
        takeChar(lexer);
        // One character past the limit is kept so that the length check can see it.
        if (lexer.text.size() <= identifierLimit) lexer.text += static_cast<char>(c);
    }
    if (lexer.text.size() > identifierLimit) {
        reportDimacs(lexer, ReaderMessage::TooLongIdentifier);
        return DimacsToken::Error;
    }
    for (const Keyword& keyword : keywords) {
        if (lexer.text == keyword.text) return keyword.token;
    }
    return DimacsToken::Identifier;
}

DimacsToken lexNumber(DimacsLexer& lexer, int firstDigit) {
    lexer.number = static_cast<uint32_t>(firstDigit - '0');
    for (int c = peekChar(lexer); isDigit(c); c = peekChar(lexer)) {
        takeChar(lexer);
        lexer.number = lexer.number * 10u + static_cast<uint32_t>(c - '0');
    }
    return DimacsToken::Number;
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
        if (c == endOfFile) return DimacsToken::EndOfInput;
        if (c == ' ' || c == '\t' || c == '\n' || c == '|') continue;
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
                if (next == endOfFile) return DimacsToken::EndOfInput;
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
        reportDimacs(lexer, ReaderMessage::InvalidLexicalElement);
        return DimacsToken::Error;
    }
}

void reportDimacs(DimacsLexer& lexer, ReaderMessage message) {
    printReaderMessage(lexer.report, message, lexer.line);
    lexer.error = true;
}
