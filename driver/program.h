// The program's entry routine: start-up, the arguments, the input and script files,
// the input-type menu, the action loop (or batch mode's fixed sequence) and
// shut-down.
#pragma once

#include <string>
#include <vector>

// Installs the out-of-memory stop, resets the program-wide flags and creates the
// empty function table.
void initProgram();

// How a session reads a person at a terminal, started once the arguments are taken
// and before the first read when the run is not in batch mode: the menu program
// hands in startTerminalReading (driver/terminal_reading.h), and only it links the
// terminal libraries; without it the console is read as a stream.
using TerminalStart = void (*)();

// Runs the whole conversation for the command line `arguments` (the invocation path
// first, then input path, output path and script path, each optional) and answers
// the exit status: 0 after input type 0, 1 when the action loop ends, 2 when a file
// cannot be opened. The function table is left in place: at process exit the
// operating system takes it back at once, where freeing millions of nodes one by
// one would cost a noticeable part of a large file's run.
int runProgram(const std::vector<std::string>& arguments, TerminalStart startTerminal = nullptr);
