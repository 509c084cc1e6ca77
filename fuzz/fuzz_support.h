// What the fuzz targets share: a quiet console for one input, a fresh program state,
// the sanity check of what a reader printed, and the screens that keep one input
// from asking for more memory or time than a fuzzing run can give it.
//
// The readers are allowed to take whatever the input declares: ".i 4000000000"
// really asks for four billion inputs, and the program answers it with its
// out-of-memory stop. That is correct behaviour, but a fuzzer would report it as a
// fault and spend its time on it, so the targets skip such inputs before running
// them. Everything else runs exactly as the program runs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

// For the life of one input, what the code prints collects in a string (the
// console is never written) and what it reads comes from `typed`. The console
// streams and their states are restored afterwards.
class QuietConsole {
  public:
    explicit QuietConsole(const std::string& typed = std::string());
    ~QuietConsole();
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

    std::string printedText() const { return printed.str(); }

  private:
    std::ostringstream printed;
    std::istringstream typedInput;
    std::streambuf* savedOut;
    std::streambuf* savedIn;
};

// A clean slate for the next input: a new empty table, fresh reader states.
void resetProgramState();
// Releases what the input left behind, so that the leak check sees only real leaks.
void releaseProgramState();

// Stops the run (a fuzzer finding) when `printed` holds a line that is not one of
// the readers' messages followed by a line number. Answers how many of them are
// errors (not warnings), which is what the loaders count.
int64_t checkReaderMessages(std::string_view printed);

// Stops the run with `what` on the error stream: the target's own sanity check
// failed, which the fuzzer records as a crash with this input.
[[noreturn]] void failCheck(std::string_view what);

// True when a number written in `text` after one of the PLA count directives
// (".i", ".o") declares more than `limit`; the number runs on across comments, as
// the PLA lexer reads it.
bool plaDeclaresMoreThan(std::string_view text, uint64_t limit);
// True when some run of digits in `text`, taken as the DIMACS reader takes it
// (modulo 2^32, as a signed 32-bit count), is larger than `limit`.
bool dimacsDeclaresMoreThan(std::string_view text, int64_t limit);
