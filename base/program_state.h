// Every piece of program-wide state, in one place.
//
// The tree operations, the engine and the writers do not take the function being
// worked on as an argument: they read the current references below, which the
// dispatcher and the writers set before each step. The flags are the program's
// settings and the small facts one action leaves for a later one. The types are
// only named here; the table and the trees belong to the expression model.
//
// Who sets and who reads what:
//   table, addedCount     expr/function_table.cpp (creation), the loaders in formats/,
//                         "Add function" and the script loads in actions/
//   currentEntry          actions/dispatcher.cpp and the writers; read by the BLIF gates
//                         (expr/blif_gates.cpp) to name a function's root signal
//   currentList           set around every walk that resolves names (the term
//                         walk callers, collectVariables)
//   absorptionEnabled     actions/dispatcher.cpp (menu 13), run/ (--do absorption=);
//                         read by normal/normalize.cpp
//   batchMode             driver/program.cpp; read by formats/save_dialogue.cpp
//   lostSaves             formats/save_dialogue.cpp ("Data NOT saved"); read by
//                         driver/program.cpp for the exit status and the save note
//   unsavedEntries        driver/unsaved_changes.cpp marks, formats/save_dialogue.cpp
//                         clears ("Data saved"); read by driver/recovery.cpp
//   satisfiabilityFlag    actions/dispatcher.cpp; read by formats/vhdl_writer.cpp
//   signalCounter         expr/blif_gates.cpp
//   operation*Time        actions/dispatcher.cpp (the timed part of an action)
//   watchdogArmed         nothing arms it, so the watchdog question is never asked
//   messages*             run/ sets them once; read by base/console.cpp and
//                         base/stops.cpp
//   running               base/action_watch.cpp (its signal handlers, the
//                         dispatcher's watch over an action) and base/console.cpp
//                         (a question is asked); read by every checkpoint
// The line editor's session (libedit, the history, a held prompt) is private to
// base/line_editing.cpp: driver/program.cpp starts it, base/console.cpp uses it;
// base/history_file.cpp names the history file it may load and save.
// What the progress line shows (function, phase, pass) is private to
// base/action_watch.cpp: the dispatcher, the writers and the engine report it.
#pragma once

#include <csignal>
#include <cstdint>
#include <ctime>
#include <vector>

class FunctionTable;
struct FunctionEntry;
class VariableList;

// An action running for a person at a terminal. The signal handlers raise the
// flags; the checkpoints in the long loops (base/action_watch.h) act on them.
struct RunningAction {
    volatile std::sig_atomic_t attention = 0;        // some flag below waits for a checkpoint
    volatile std::sig_atomic_t cancelRequested = 0;  // Ctrl-C asked to cancel the action
    volatile std::sig_atomic_t progressDue = 0;      // time to redraw the progress line
    volatile std::sig_atomic_t watched = 0;          // an action runs that Ctrl-C may cancel
    volatile std::sig_atomic_t atPrompt = 0;         // the console waits for an answer
};

struct ProgramState {
    FunctionTable* table = nullptr;         // the one table, from start-up to shut-down
    FunctionEntry* currentEntry = nullptr;  // the entry being processed (borrowed)
    VariableList* currentList = nullptr;    // identifiers resolve against it (borrowed)

    bool absorptionEnabled = true;    // the engine's absorption and literal elimination
    bool batchMode = false;           // a script path was given: no questions asked
    int64_t addedCount = 0;           // functions added after loading
    bool satisfiabilityFlag = false;  // set by the satisfiability test, read by the VHDL writer
    int64_t lostSaves = 0;            // saves of the run that said "Data NOT saved"
    // Per entry, in table order: changed or added by the menu since it was last
    // saved (or loaded); shorter than the table until the next mark catches up.
    std::vector<bool> unsavedEntries;

    int64_t signalCounter = 0;  // numbers the internal BLIF signals; never reset

    std::clock_t operationStartTime = 0;  // clock at "Operation started"
    std::clock_t operationEndTime = 0;    // clock at the end of the timed part
    bool watchdogArmed = false;           // the watchdog question's switch; never set

    // The console as the command-line front end uses it; the menu program keeps the
    // defaults, and talks on standard output.
    bool messagesToStandardError = false;  // messages go to standard error
    bool messagesSilenced = false;         // no messages at all (but the fatal stop)

    RunningAction running;  // all zero unless standard input or error is a terminal
};

extern ProgramState program;
