// See vhdl_entity.h. The unit is scanned word by word with the comments blanked
// out; what is looked for is fixed by the layout the writer uses: the `port ( ... )`
// list of `names : mode type` groups, and the text between the architecture's
// `begin` and the last `end`.
#include "formats/vhdl_entity.h"

#include <algorithm>
#include <cctype>

namespace {

char lowered(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool isWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The text with every comment replaced by blanks, line ends kept.
std::string withoutComments(std::string_view text) {
    std::string plain(text);
    for (std::size_t at = 0; at + 1 < plain.size(); ++at) {
        if (plain[at] != '-' || plain[at + 1] != '-') continue;
        while (at < plain.size() && plain[at] != '\n') plain[at++] = ' ';
    }
    return plain;
}

// The position of the first whole word `word` (any case) at or after `from`.
std::size_t findWord(const std::string& text, std::string_view word, std::size_t from) {
    for (std::size_t at = from; at + word.size() <= text.size(); ++at) {
        if (at > 0 && isWordCharacter(text[at - 1])) continue;
        const std::size_t end = at + word.size();
        if (end < text.size() && isWordCharacter(text[end])) continue;
        if (std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                       [](char a, char b) { return a == lowered(b); })) {
            return at;
        }
    }
    return std::string::npos;
}

std::string firstWord(const std::string& text) {
    const auto start = std::find_if(text.begin(), text.end(), isWordCharacter);
    const auto end = std::find_if_not(start, text.end(), isWordCharacter);
    std::string word(start, end);
    std::transform(word.begin(), word.end(), word.begin(), lowered);
    return word;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// The input names of the port list between its parentheses, comma-separated.
std::string inputsOfPort(std::string_view port) {
    std::string inputs;
    std::size_t start = 0;
    while (start <= port.size()) {
        std::size_t end = port.find(';', start);
        if (end == std::string_view::npos) end = port.size();
        const std::string_view group = port.substr(start, end - start);
        const std::size_t colon = group.find(':');
        if (colon != std::string_view::npos &&
            firstWord(std::string(group.substr(colon + 1))) == "in") {
            const std::string names = trimmed(group.substr(0, colon));
            if (!names.empty()) inputs += (inputs.empty() ? "" : ", ") + names;
        }
        start = end + 1;
    }
    return inputs;
}

void blank(std::string& text, std::size_t from, std::size_t to) {
    for (std::size_t at = from; at < to && at < text.size(); ++at) {
        if (text[at] != '\n') text[at] = ' ';
    }
}

}  // namespace

std::optional<std::string> designUnitAsAssignments(std::string_view text) {
    std::string unit = withoutComments(text);
    const std::string first = firstWord(unit);
    if (first != "library" && first != "use" && first != "entity") return std::nullopt;

    const std::size_t architecture = findWord(unit, "architecture", 0);
    const std::size_t begin = architecture == std::string::npos
                                  ? std::string::npos
                                  : findWord(unit, "begin", architecture);
    std::size_t end = std::string::npos;
    for (std::size_t at = begin; at != std::string::npos;) {
        at = findWord(unit, "end", at + 1);
        if (at != std::string::npos) end = at;
    }
    if (end == begin) end = std::string::npos;
    // Without its architecture the unit is read as it is, and the reader reports it.
    if (begin == std::string::npos || end == std::string::npos) return std::nullopt;

    std::string inputs;
    const std::size_t port = findWord(unit, "port", 0);
    std::size_t declarationAt = begin;
    if (port != std::string::npos && port < architecture) {
        const std::size_t open = unit.find('(', port);
        const std::size_t close = unit.rfind(')', architecture);
        if (open != std::string::npos && close != std::string::npos && open < close) {
            inputs = inputsOfPort(std::string_view(unit).substr(open + 1, close - open - 1));
            declarationAt = port;
        }
    }
    blank(unit, 0, begin + 5);
    blank(unit, end, unit.size());
    // A declaration must be followed by an assignment; without one the inputs go.
    const bool hasAssignments = unit.find_first_not_of(" \t\r\n") != std::string::npos;
    if (inputs.empty() || !hasAssignments) return unit;
    // The declaration takes the port's place, followed by the line ends the text
    // from the port to `begin` had, so that the assignments stay on their lines.
    const std::size_t bodyStart = begin + 5;
    const auto lineEnds = std::count(unit.begin() + static_cast<std::ptrdiff_t>(declarationAt),
                                     unit.begin() + static_cast<std::ptrdiff_t>(bodyStart), '\n');
    return unit.substr(0, declarationAt) + "variable " + inputs + ";" +
           std::string(static_cast<std::size_t>(lineEnds), '\n') + unit.substr(bodyStart);
}
