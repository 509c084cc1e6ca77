#include "run/reader_diagnostics.h"

#include <cstdio>

#include "formats/characters.h"
#include "run/messages.h"

namespace {

constexpr std::size_t quotedBytes = 40;

std::string at(const ReaderPlace& place) {
    return place.token.empty() ? " at the end of the input" : " at " + quotedToken(place.token);
}

}  // namespace

std::string quotedToken(const std::string& token) {
    std::string quoted = "'";
    for (std::size_t index = 0; index < token.size() && index < quotedBytes; ++index) {
        const auto byte = static_cast<unsigned char>(token[index]);
        if (byte == '\t') {
            quoted += "\\t";
        } else if (byte == '\r') {
            quoted += "\\r";
        } else if (byte < 0x20 || byte > 0x7e || byte == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            quoted += escaped;
        } else {
            quoted += static_cast<char>(byte);
        }
    }
    if (token.size() > quotedBytes) quoted += "...";
    return quoted + "'";
}

std::string diagnosticText(const ReaderDiagnostic& diagnostic) {
    const ReaderPlace& place = diagnostic.place;
    switch (diagnostic.message) {
        case ReaderMessage::InvalidLexicalElement:
            return "invalid character " + quotedToken(place.token);
        case ReaderMessage::TooLongIdentifier:
            return "identifier longer than " + std::to_string(identifierLimit) +
                   " characters: " + quotedToken(place.token);
        case ReaderMessage::SyntaxError:
            return "syntax error" + at(place);
        case ReaderMessage::DifferentVectorLengths:
            return "warning: different vector lengths in the statement";
        case ReaderMessage::InvalidOutputIndex:
            return "warning: no function " + quotedToken(place.token) + " (read as 0)";
    }
    return "syntax error" + at(place);
}

std::function<void(const ReaderDiagnostic&)> printedDiagnostics() {
    return [](const ReaderDiagnostic& diagnostic) {
        reportAtPlace(diagnostic.source, diagnostic.place.line, diagnostic.place.column,
                      diagnosticText(diagnostic));
    };
}
