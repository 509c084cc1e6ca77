// The shared parts of the fuzz targets. The screens read the raw bytes the way the
// lexers do only as far as they must: a screen that skips a harmless input now and
// then costs a little coverage, one that lets a huge count through costs the run.
#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "actions/dispatcher.h"
#include "expr/function_table.h"
#include "formats/reader_messages.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"

QuietConsole::QuietConsole(const std::string& typed)
    : typedInput(typed),
      savedOut(std::cout.rdbuf(printed.rdbuf())),
      savedIn(std::cin.rdbuf(typedInput.rdbuf())) {
    std::cin.clear();
    std::cout.clear();
}

QuietConsole::~QuietConsole() {
    std::cout.rdbuf(savedOut);
    std::cin.rdbuf(savedIn);
    std::cin.clear();
    std::cout.clear();
}

void resetProgramState() {
    releaseProgramState();
    createTable();
    dispatcherState = DispatcherState{};
    saveRecord = SaveRecord{};
    resetVhdlReader();
}

void releaseProgramState() {
    releaseTable();
}

void failCheck(std::string_view what) {
    std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

namespace {

bool isLineNumber(std::string_view text) {
    if (text.empty() || text.front() == '0') return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// The reader message the line is, with its line number, or none.
std::optional<ReaderMessage> readerMessageOf(std::string_view line) {
    for (ReaderMessage kind :
         {ReaderMessage::InvalidLexicalElement, ReaderMessage::TooLongIdentifier,
          ReaderMessage::SyntaxError, ReaderMessage::DifferentVectorLengths,
          ReaderMessage::InvalidOutputIndex}) {
        std::string_view message = readerMessageText(kind);
        if (line.substr(0, message.size()) == message) {
            if (!isLineNumber(line.substr(message.size()))) return std::nullopt;
            return kind;
        }
    }
    return std::nullopt;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What may stand between a PLA directive and its number.
bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '|';
}

}  // namespace

int64_t checkReaderMessages(std::string_view printed) {
    int64_t errors = 0;
    while (!printed.empty()) {
        const std::size_t end = printed.find('\n');
        if (end == std::string_view::npos) failCheck("reader output without line end");
        const std::optional<ReaderMessage> message = readerMessageOf(printed.substr(0, end));
        if (!message) failCheck("unexpected reader output");
        if (!isWarning(*message)) ++errors;
        printed.remove_prefix(end + 1);
    }
    return errors;
}

bool plaDeclaresMoreThan(std::string_view text, uint64_t limit) {
    for (std::size_t at = text.find('.'); at != std::string_view::npos;
         at = text.find('.', at + 1)) {
        if (at + 1 >= text.size()) break;
        const char directive =
            static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1])));
        if (directive != 'i' && directive != 'o') continue;
        std::size_t position = at + 2;
        // Separators and comments come before the number in any mix: a comment
        // line may be followed by blank lines before the digits.
        for (;;) {
            while (position < text.size() && isSeparator(text[position])) ++position;
            if (position >= text.size() || text[position] != '#') break;
            position = std::min(text.find('\n', position), text.size());
        }
        uint64_t value = 0;
        for (; position < text.size(); ++position) {
            // A comment is no separator: the number goes on after its line end.
            if (text[position] == '#') {
                position = text.find('\n', position);
                if (position == std::string_view::npos) break;
                continue;
            }
            if (!isDigit(text[position])) break;
            value = value * 10u + static_cast<uint64_t>(text[position] - '0');
            if (value > limit) return true;
        }
    }
    return false;
}

bool dimacsDeclaresMoreThan(std::string_view text, int64_t limit) {
    std::size_t position = 0;
    while (position < text.size()) {
        if (!isDigit(text[position])) {
            ++position;
            continue;
        }
        uint32_t value = 0;
        for (; position < text.size() && isDigit(text[position]); ++position) {
            value = value * 10u + static_cast<uint32_t>(text[position] - '0');
        }
        if (static_cast<int32_t>(value) > limit) return true;
    }
    return false;
}
