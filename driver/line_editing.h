// Line editing for a person at a terminal: when standard input and standard output
// are both terminals, the console's answers are read through libedit (cursor keys,
// the usual editing keys, the answers of this session (and, when asked for, of
// earlier ones: driver/history_file.h) on the Up and Down arrows, Tab completion), and
// every finished line is handed to the console's readers exactly
// as if it had been typed cleanly, line end included. Nothing changes otherwise.
// The wait for a key is a safe point for the signals that end the run (see
// base/action_watch.h), and the editor never passes a signal on to other processes.
//
// libedit draws the prompt itself so that it can redraw the line; while editing is
// on, the console therefore hands each prompt to the editor (base/console.h:
// PromptHook), which holds it back for the next read. A held prompt that no read
// takes (the answer was typed ahead on an earlier line) is printed before the next
// message or the next character served, so standard output carries every prompt
// exactly once, in its place.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Answers the words that may complete `word` at a prompt.
using Completer = std::function<std::vector<std::string>(const std::string& word)>;

// Switches line editing on when standard input and standard output are terminals,
// with the console's prompts handed to the editor; answers whether it is on. Called
// once, before the first read.
bool startLineEditing();

// When standard input is a terminal and line editing is off, reads it through a
// stream that makes each wait for an answer a safe point for the ending signals
// (base/action_watch.h); what is read is the same. Called once, before the first
// read.
void readTerminalAtSafePoints();

// Tab at `prompt` completes the word before the cursor from `completer`.
void setCompletion(std::string_view prompt, Completer completer);

// The file and folder names that complete a path (folders end in '/').
std::vector<std::string> completePath(const std::string& word);
