// The history file: when the environment variable BOOLFN_HISTORY is set (to 1; an
// empty value or 0 leaves it off, as is the default), the answers typed with line
// editing are kept from one session to the next in $XDG_STATE_HOME/boolfn/history,
// or ~/.local/state/boolfn/history when XDG_STATE_HOME is unset or not an absolute
// path. Each line typed is appended to the file (mode 0600) as it is entered,
// because Ctrl-C at a prompt ends the run by the signal; one write per line, so two
// sessions at once interleave whole lines. The file is bounded: a line whose entry
// in the file would be longer than 16 KiB is kept for the session only, and when a
// session starts with more than twice the editor's history size in the file, the
// file is rewritten once with the latest lines (under a temporary name, renamed
// over it when complete).
#pragma once

#include <histedit.h>

#include <string>

// The history file's path, or the empty path when no history file is kept.
std::string historyFilePath();

// Bounds the history file, if there is one, to the latest `size` lines (when it has
// grown past twice that), then enters its lines into `history`.
void loadHistoryFile(History* history, int size);

// Appends `line`, as entered into the editor's history, to the history file, making
// the file and its folder when they are missing.
void appendToHistoryFile(const std::string& line);
