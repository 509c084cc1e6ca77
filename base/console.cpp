// Reads go into temporaries and are assigned only on success: the stream's own
// extraction stores 0 for a word and INT_MAX for an out-of-range number, and takes
// "2" for true, none of which may replace the asker's default.
#include "base/console.h"

#include <iostream>

#include "base/action_watch.h"

ConsoleSettings consoleSettings;

namespace {

PromptHook promptHook{};  // none until a line editor installs its own

std::ostream& messages() {
    return consoleSettings.toStandardError ? std::cerr : std::cout;
}

void releaseHeldPrompt() {
    if (promptHook.release != nullptr) promptHook.release();
}

}  // namespace

void printLine(std::string_view text) {
    if (consoleSettings.silenced) return;
    eraseProgressLine();
    releaseHeldPrompt();
    messages() << text << '\n' << std::flush;
}

void printPrompt(std::string_view text) {
    if (consoleSettings.silenced) return;
    eraseProgressLine();
    if (promptHook.hold != nullptr) {
        promptHook.hold(text);  // the line editor draws it at the read
        return;
    }
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

void installPromptHook(const PromptHook& hook) {
    promptHook = hook;
}
