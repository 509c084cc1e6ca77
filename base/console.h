// The console conversation: every message is one line, flushed at once; a prompt
// that waits for an answer is printed without a line end. An answer that cannot be
// read leaves the asker's default in place (a path prompt's default is the empty
// path), and the console stream is never reset, so after one failed read every
// later read fails too. Line ends may be LF or CR LF. Messages go to standard
// output unless the console settings below send them to standard error or silence
// them.
#pragma once

#include <string>
#include <string_view>

// The console as the command-line front end sets it once; the menu program keeps the
// defaults, and talks on standard output.
struct ConsoleSettings {
    bool toStandardError = false;  // messages go to standard error
    bool silenced = false;         // no messages at all (but the fatal stop)
};

extern ConsoleSettings consoleSettings;

// Prints a message line and flushes.
void printLine(std::string_view text);
// Prints a prompt (no line end) and flushes.
void printPrompt(std::string_view text);

// Reads a decimal integer; answers `fallback` when none can be read.
int readInteger(int fallback);
// Reads a truth value written 0 or 1; any other answer gives false.
bool readTruthValue();
// Reads one whitespace-delimited word into `word`; leaves it untouched on failure.
bool readWord(std::string& word);
// Reads a path typed at a path prompt: one word, or the empty path (which no open
// accepts) when none can be read, so that a failed read never names the file of
// an earlier answer.
std::string readPath();
// Skips the line end after the menu number (a carriage return before its line feed
// included), then reads the rest of the line without its line end (empty on
// failure).
std::string readRestOfLine();
// Whether a read of the console has failed (nothing could be read, or a word stood
// where a number was asked); every later read then fails too.
bool consoleReadFailed();

// A line editor draws the prompt itself, so that it can redraw the line being
// edited. While one is installed (the menu program's, driver/line_editing.h), a
// prompt goes to it for the next read instead of being printed, and a prompt that
// no read took is printed by it before the next message.
struct PromptHook {
    void (*hold)(std::string_view prompt);  // keeps the prompt for the next read
    void (*release)();                      // prints a held prompt that no read took
};
// Installs `hook` for the rest of the run; called once, before the first read.
void installPromptHook(const PromptHook& hook);
