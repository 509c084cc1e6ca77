// The history file: when the environment variable BOOLFN_HISTORY is set (to 1; an
// empty value or 0 leaves it off, as is the default), the answers typed with line
// editing are kept from one session to the next in $XDG_STATE_HOME/boolfn/history,
// or ~/.local/state/boolfn/history when XDG_STATE_HOME is unset or not an absolute
// path. It holds at most the editor's history size, the latest lines. The file is
// written after every line typed rather than at the end, because Ctrl-C at a prompt
// ends the run by the signal, and it replaces the old one only when complete, so
// that two sessions at once leave one whole file (the later one's).
#pragma once

#include <histedit.h>

#include <string>

// The history file's path, or the empty path when no history file is kept.
std::string historyFilePath();

// Enters the lines of the history file, if there is one, into `history`.
void loadHistoryFile(History* history);

// Writes `history` to the history file, making its folder when it is missing.
void saveHistoryFile(History* history);
