// The console conversation: every message is one line, flushed at once; a prompt
// that waits for an answer is printed without a line end. An answer that cannot be
// read leaves the asker's default in place, and the console stream is never reset,
// so after one failed read every later read fails too. Messages go to standard
// output unless the program-wide settings (base/program_state.h) send them to
// standard error or silence them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Prints a message line and flushes.
void printLine(std::string_view text);
// Prints a prompt (no line end) and flushes.
void printPrompt(std::string_view text);
// A reader's message: the text immediately followed by the line number; when a
// reader source name is set, "NAME:LINE: " comes first.
void printAtLine(std::string_view text, int64_t line);

// Reads a decimal integer; answers `fallback` when none can be read.
int readInteger(int fallback);
// Reads a truth value written 0 or 1; any other answer gives false.
bool readTruthValue();
// Reads one whitespace-delimited word into `word`; leaves it untouched on failure.
bool readWord(std::string& word);
// Skips one character, then reads the rest of the line (empty on failure).
std::string readRestOfLine();
