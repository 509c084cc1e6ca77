// See line_editing.h. The editor feeds std::cin through a stream buffer that shows
// the readers one character at a time, so that every read, even one that the line
// typed ahead satisfies, passes here and can print a held prompt first.
//
// The editor reads its keys through `readKey` rather than by itself, and handles no
// signal of its own (its handler would pass every signal on to the whole process
// group, ending the shell that started the program): the wait for a key is a safe
// point for the ending signals (base/action_watch.h), and while a line is edited
// Ctrl-Z gives the terminal its own mode back before the stop and the raw mode after
// it, and a resized window is told to the editor.
#include "driver/line_editing.h"

#include <dirent.h>
#include <histedit.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cwchar>
#include <iostream>
#include <map>
#include <streambuf>

#include "base/action_watch.h"
#include "base/console.h"
#include "driver/history_file.h"

namespace {

constexpr int historySize = 500;

// Everything the editor keeps for the session.
struct Editor {
    EditLine* line = nullptr;
    History* history = nullptr;
    std::string heldPrompt;   // printed by the next read, or by the next message
    std::string shownPrompt;  // what libedit draws during the current read
    std::map<std::string, Completer, std::less<>> completers;  // by prompt text
    std::string lastEntered;  // the history file skips a line entered twice in a row
    std::mbstate_t keyState{};
};

Editor* editor = nullptr;

// The terminal's modes around the line being edited, for the stop handler.
termios ownMode{};  // the terminal's mode outside the editor
termios rawMode{};  // the editor's mode, taken at the first key of the line
bool rawModeTaken = false;
std::atomic<bool> editing{false};
volatile std::sig_atomic_t resized = 0;
volatile std::sig_atomic_t continued = 0;

// Waits until standard input has something to read (or its end, or an error, which
// the read then reports); false when an ending signal waits to be served.
bool waitForInput() {
    for (;;) {
        if (endingSignalPending()) return false;
        pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeDescriptor(), POLLIN, 0}};
        const int ready = ::poll(watched, watched[1].fd >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno != EINTR) return true;
        drainWakes();
        if (endingSignalPending()) return false;
        if (editor != nullptr && resized != 0) {
            resized = 0;
            el_resize(editor->line);
        }
        if (editor != nullptr && continued != 0) {
            continued = 0;
            if (rawModeTaken) ::tcsetattr(STDIN_FILENO, TCSADRAIN, &rawMode);
            el_set(editor->line, EL_REFRESH);
        }
        if (ready > 0 && watched[0].revents != 0) return true;
    }
}

// The editor's key reader: one character, 1; the end of input, 0; an error or an
// ending signal, -1 (the editor then gives the line up).
int readKey(EditLine*, wchar_t* key) {
    if (!rawModeTaken) rawModeTaken = ::tcgetattr(STDIN_FILENO, &rawMode) == 0;
    for (;;) {
        if (!waitForInput()) return -1;
        char byte = 0;
        const ssize_t count = ::read(STDIN_FILENO, &byte, 1);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (count <= 0) return static_cast<int>(count);
        const std::size_t decoded = std::mbrtowc(key, &byte, 1, &editor->keyState);
        if (decoded == static_cast<std::size_t>(-2)) continue;  // more bytes to come
        if (decoded == static_cast<std::size_t>(-1)) {
            editor->keyState = std::mbstate_t{};
            *key = static_cast<unsigned char>(byte);
        }
        return 1;
    }
}

// Ctrl-Z while a line is edited: the terminal's own mode, the stop, the raw mode
// again (the handler is reset to the default as it starts, so the stop is the
// default one).
void onStop(int signal) {
    const int savedErrno = errno;
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &ownMode);
    std::raise(signal);
    if (editing.load()) {
        struct sigaction again {};
        again.sa_handler = onStop;
        again.sa_flags = SA_RESETHAND | SA_NODEFER | SA_RESTART;
        sigemptyset(&again.sa_mask);
        ::sigaction(SIGTSTP, &again, nullptr);
    }
    continued = 1;
    wakeWaitingRead();
    errno = savedErrno;
}

void onResize(int) {
    resized = 1;
    wakeWaitingRead();
}

void onContinue(int) {
    continued = 1;
    wakeWaitingRead();
}

// The handlers of one edited line, and the ones they replace.
class LineSignals {
  public:
    LineSignals() {
        ::tcgetattr(STDIN_FILENO, &ownMode);
        rawModeTaken = false;
        editing.store(true);
        install(0, SIGTSTP, onStop, SA_RESETHAND | SA_NODEFER);
        install(1, SIGWINCH, onResize, 0);
        install(2, SIGCONT, onContinue, 0);
    }
    ~LineSignals() {
        editing.store(false);
        for (int index = 0; index < 3; ++index)
            ::sigaction(signals[index], &replaced[index], nullptr);
    }
    LineSignals(const LineSignals&) = delete;
    LineSignals& operator=(const LineSignals&) = delete;

  private:
    void install(int index, int signal, void (*handler)(int), int flags) {
        signals[index] = signal;
        struct sigaction action {};
        action.sa_handler = handler;
        action.sa_flags = flags | SA_RESTART;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, &replaced[index]);
        // A stop ignored at start-up (an orphaned group) stays ignored.
        if (signal == SIGTSTP && replaced[index].sa_handler == SIG_IGN) {
            ::sigaction(signal, &replaced[index], nullptr);
        }
    }

    int signals[3] = {};
    struct sigaction replaced[3] = {};
};

char* promptOfRead(EditLine*) {
    return editor->shownPrompt.data();
}

bool onlyBlanks(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

// The characters that end a word to complete: blanks for paths, and the
// punctuation of a statement for names.
bool endsWord(char c) {
    return c == ' ' || c == '\t' || c == '(' || c == ')' || c == ';' || c == ',';
}

std::string commonPrefix(const std::vector<std::string>& words) {
    std::string prefix = words.front();
    for (const std::string& word : words) {
        std::size_t length = 0;
        while (length < prefix.size() && length < word.size() && prefix[length] == word[length]) {
            ++length;
        }
        prefix.resize(length);
    }
    return prefix;
}

// Tab: the common part of the candidates is inserted; when that adds nothing and
// there are several, they are listed on standard error when it is the terminal,
// away from the conversation.
unsigned char complete(EditLine* line, int) {
    const auto found = editor->completers.find(editor->shownPrompt);
    if (found == editor->completers.end()) return CC_ERROR;
    const LineInfo* info = el_line(line);
    const char* start = info->cursor;
    while (start > info->buffer && !endsWord(start[-1])) --start;
    const std::string word(start, info->cursor);
    std::vector<std::string> candidates = found->second(word);
    if (candidates.empty()) return CC_ERROR;
    std::string prefix = commonPrefix(candidates);
    if (candidates.size() == 1 && prefix.back() != '/') prefix += ' ';
    if (prefix.size() > word.size()) {
        el_insertstr(line, prefix.substr(word.size()).c_str());
        return CC_REFRESH;
    }
    if (isatty(STDERR_FILENO) == 0) return CC_ERROR;
    std::sort(candidates.begin(), candidates.end());
    std::string listing = "\n";
    for (const std::string& candidate : candidates) listing += candidate + "  ";
    listing += '\n';
    std::fputs(listing.c_str(), stderr);
    std::fflush(stderr);
    return CC_REDISPLAY;
}

// The console's prompt hook while editing is on (base/console.h).
void releaseHeldPrompt() {
    if (editor == nullptr || editor->heldPrompt.empty()) return;
    std::cout << editor->heldPrompt << std::flush;
    editor->heldPrompt.clear();
}

void holdPrompt(std::string_view prompt) {
    releaseHeldPrompt();
    editor->heldPrompt = prompt;
}

// Reads one edited line, with its line end; false at the end of input.
bool readEditedLine(std::string& text) {
    editor->shownPrompt = std::move(editor->heldPrompt);
    editor->heldPrompt.clear();
    int count = 0;
    const char* read = nullptr;
    {
        const LineSignals signals;
        read = el_gets(editor->line, &count);
    }
    if (read == nullptr || count <= 0) {
        serveEndingSignal();
        return false;
    }
    text.assign(read, static_cast<std::size_t>(count));
    if (!onlyBlanks(text)) {
        std::string entry = text;
        if (entry.back() == '\n') entry.pop_back();
        HistEvent event;
        history(editor->history, &event, H_ENTER, entry.c_str());
        if (entry != editor->lastEntered) appendToHistoryFile(entry);
        editor->lastEntered = entry;
    }
    return true;
}

class EditedInput : public std::streambuf {
  protected:
    int_type underflow() override {
        if (next >= text.size()) {
            if (!readEditedLine(text)) return traits_type::eof();
            next = 0;
        } else if (!onlyBlanks(std::string_view(text).substr(next))) {
            releaseHeldPrompt();
        }
        char* at = text.data() + next;
        setg(at, at, at + 1);
        ++next;
        return traits_type::to_int_type(*at);
    }

  private:
    std::string text;
    std::size_t next = 0;
};

// Standard input at a terminal without the editor: read as the standard stream
// would (a line at a time, as the terminal hands it over), with the wait before
// each read a safe point for the ending signals.
class TerminalInput : public std::streambuf {
  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        for (;;) {
            if (!waitForInput()) {
                serveEndingSignal();
                return traits_type::eof();
            }
            const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (count < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (count <= 0) return traits_type::eof();
            setg(buffer, buffer, buffer + count);
            return traits_type::to_int_type(*gptr());
        }
    }

  private:
    char buffer[4096];
};

// An action undone at a question (base/action_watch.h) leaves the read by
// ActionCancelled, which the stream passes on only when its bad state is an
// exception.
void readThrough(std::streambuf* input) {
    std::cin.rdbuf(input);
    std::cin.exceptions(std::ios::badbit);
}

}  // namespace

bool startLineEditing() {
    if (editor != nullptr) return true;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return false;
    editor = new Editor;  // lives as long as the process reads
    editor->line = el_init("boolfn", stdin, stdout, stderr);
    editor->history = history_init();
    if (editor->line == nullptr || editor->history == nullptr) {
        delete editor;
        editor = nullptr;
        return false;
    }
    HistEvent event;
    history(editor->history, &event, H_SETSIZE, historySize);
    history(editor->history, &event, H_SETUNIQUE, 1);
    loadHistoryFile(editor->history, historySize);
    el_set(editor->line, EL_EDITOR, "emacs");
    el_set(editor->line, EL_SIGNAL, 0);
    el_set(editor->line, EL_GETCFN, readKey);
    el_set(editor->line, EL_HIST, history, editor->history);
    el_set(editor->line, EL_PROMPT, promptOfRead);
    el_set(editor->line, EL_ADDFN, "boolfn-complete", "complete a path or a name", complete);
    el_set(editor->line, EL_BIND, "^I", "boolfn-complete", nullptr);
    static EditedInput input;
    readThrough(&input);
    installPromptHook({holdPrompt, releaseHeldPrompt});
    return true;
}

void readTerminalAtSafePoints() {
    if (editor != nullptr || !isatty(STDIN_FILENO)) return;
    static TerminalInput input;
    readThrough(&input);
}

void setCompletion(std::string_view prompt, Completer completer) {
    if (editor == nullptr) return;
    editor->completers.insert_or_assign(std::string(prompt), std::move(completer));
}

std::vector<std::string> completePath(const std::string& word) {
    const std::size_t slash = word.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : word.substr(0, slash + 1);
    const std::string part = slash == std::string::npos ? word : word.substr(slash + 1);
    std::vector<std::string> names;
    DIR* listing = opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) return names;
    while (const dirent* item = readdir(listing)) {
        const std::string name = item->d_name;
        if (name == "." || name == ".." || name.compare(0, part.size(), part) != 0) continue;
        if (name[0] == '.' && part.empty()) continue;
        std::string path = folder + name;
        DIR* inner = opendir(path.c_str());
        if (inner != nullptr) {
            closedir(inner);
            path += '/';
        }
        names.push_back(path);
    }
    closedir(listing);
    return names;
}
