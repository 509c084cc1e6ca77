// Reads go into temporaries and are assigned only on success: the stream's own
// extraction stores 0 for a word and INT_MAX for an out-of-range number, and takes
// "2" for true, none of which may replace the asker's default.
#include "base/console.h"

#include <iostream>

#include "base/action_watch.h"
#include "base/line_editing.h"
#include "base/program_state.h"

namespace {

std::ostream& messages() {
    return program.messagesToStandardError ? std::cerr : std::cout;
}

}  // namespace

void printLine(std::string_view text) {
    if (program.messagesSilenced) return;
    eraseProgressLine();
    releaseHeldPrompt();
    messages() << text << '\n' << std::flush;
}

void printPrompt(std::string_view text) {
    if (program.messagesSilenced) return;
    eraseProgressLine();
    if (holdPrompt(text)) return;  // the line editor draws it at the read
    messages() << text << std::flush;
}

int readInteger(int fallback) {
    const QuestionWait wait;
    int value = 0;
    if (std::cin >> value) return value;
    return fallback;
}

bool readTruthValue() {
    const QuestionWait wait;
    bool value = false;
    if (std::cin >> value) return value;
    return false;
}

bool readWord(std::string& word) {
    const QuestionWait wait;
    std::string read;
    if (!(std::cin >> read)) return false;
    word = read;
    return true;
}

std::string readPath() {
    std::string path;
    readWord(path);
    return path;
}

std::string readRestOfLine() {
    const QuestionWait wait;
    if (std::cin.get() == '\r' && std::cin.peek() == '\n') std::cin.get();
    std::string line;
    const bool ended = std::getline(std::cin, line) && !std::cin.eof();
    if (ended && !line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

bool consoleReadFailed() {
    return std::cin.fail();
}
