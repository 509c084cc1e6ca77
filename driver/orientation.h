// Orientation for a person at a terminal: short notes on standard error, only when
// standard error is a terminal, that say what the conversation on standard output
// leaves unsaid — the numbers of the functions and inputs after loading (those the
// cofactor asks for), the inputs an added statement created, what a save wrote, the
// verdicts of a satisfiability test, that a cancelled action changed nothing and
// where a recovery file kept unsaved work. Every note starts with "boolfn: ".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The functions and inputs of the table with their numbers; long lists are cut.
void orientAfterLoad();

// The inputs from number `inputsBefore` on, which an added statement created.
void orientAfterAdd(int32_t inputsBefore);

// What the save of `action` wrote to `path`, read back from the file.
void orientAfterSave(int action, const std::string& path);

// At Exit: which functions hold work no save wrote (Exit keeps no recovery file).
void orientAtExit();

// That the action was cancelled by Ctrl-C and nothing changed (a save names `path`).
void orientAfterCancel(int action, const std::string& path);

// Satisfiable or unsatisfiable, per function, after a satisfiability test.
void orientAfterSatisfiability();

// The end of a session that slipped with `unsaved` functions not saved: all
// `written` functions went to the recovery file `path`, or none could (empty path).
// After a signal the note starts a line of its own, as the cursor may stand after
// a prompt.
void orientAfterRecovery(int64_t unsaved, int64_t written, const std::string& path,
                         bool afterSignal);

// The names of the functions and inputs, for completion at "Input command string:".
std::vector<std::string> tableNames();
