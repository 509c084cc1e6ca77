// See line_editing.h. The editor feeds std::cin through a stream buffer that shows
// the readers one character at a time, so that every read, even one that the line
// typed ahead satisfies, passes here and can print a held prompt first.
#include "base/line_editing.h"

#include <dirent.h>
#include <histedit.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <streambuf>

#include "base/history_file.h"

namespace {

constexpr int historySize = 500;

// Everything the editor keeps for the session.
struct Editor {
    EditLine* line = nullptr;
    History* history = nullptr;
    std::string heldPrompt;   // printed by the next read, or by the next message
    std::string shownPrompt;  // what libedit draws during the current read
    std::map<std::string, Completer, std::less<>> completers;  // by prompt text
};

Editor* editor = nullptr;

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

// Reads one edited line, with its line end; false at the end of input.
bool readEditedLine(std::string& text) {
    editor->shownPrompt = std::move(editor->heldPrompt);
    editor->heldPrompt.clear();
    int count = 0;
    const char* read = el_gets(editor->line, &count);
    if (read == nullptr || count <= 0) return false;
    text.assign(read, static_cast<std::size_t>(count));
    if (!onlyBlanks(text)) {
        std::string entry = text;
        if (entry.back() == '\n') entry.pop_back();
        HistEvent event;
        history(editor->history, &event, H_ENTER, entry.c_str());
        saveHistoryFile(editor->history);
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
    loadHistoryFile(editor->history);
    el_set(editor->line, EL_EDITOR, "emacs");
    // The terminal is given back in its own mode when a signal ends the run.
    el_set(editor->line, EL_SIGNAL, 1);
    el_set(editor->line, EL_HIST, history, editor->history);
    el_set(editor->line, EL_PROMPT, promptOfRead);
    el_set(editor->line, EL_ADDFN, "boolfn-complete", "complete a path or a name", complete);
    el_set(editor->line, EL_BIND, "^I", "boolfn-complete", nullptr);
    static EditedInput input;
    std::cin.rdbuf(&input);
    return true;
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

bool holdPrompt(std::string_view prompt) {
    if (editor == nullptr) return false;
    releaseHeldPrompt();
    editor->heldPrompt = prompt;
    return true;
}

void releaseHeldPrompt() {
    if (editor == nullptr || editor->heldPrompt.empty()) return;
    std::cout << editor->heldPrompt << std::flush;
    editor->heldPrompt.clear();
}
