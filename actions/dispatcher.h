// The action dispatcher: carries out one choice of the action menu on every
// function of the table. The menu program asks the action's questions and reports
// its duration (`runAction`); the command-line front end gives the answers itself
// and reports nothing (`transformTable`, `writeTable`). Both run the same chains.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "actions/vocabulary.h"

// What the dispatcher keeps from one action to the next.
struct DispatcherState {
    bool absorptionEnabled = true;    // the engine's absorption; toggled by action 13
    bool satisfiabilityFlag = false;  // from action 5 until the next action but 10
    int64_t operationStartTime = 0;   // steady clock's milliseconds at "Operation started"
    int64_t operationEndTime = 0;     // and at the end of the timed part
};

extern DispatcherState dispatcherState;

// What the cofactor questions answered.
struct CofactorRequest {
    int64_t outputNumber = -1;  // no function is changed unless an answer is read
    int64_t inputNumber = 0;
    bool value = false;
};

// Carries out action 1 to 14 (anything else does nothing). The save actions 9 to 12
// write to `out`, which the entry routine has opened; the other actions ignore it.
// Answers false when a Ctrl-C cancelled the action: the table is then as it was
// before, and a save wrote nothing that the caller may keep.
bool runAction(int action, std::ostream* out);

// Applies the chain of a transformation to every function, without questions, timing
// or messages (the cofactor's answers given in `cofactor`).
void transformTable(Transform transform, const CofactorRequest& cofactor = {});

// Writes the table in `notation` without questions or messages: the normal form the
// notation needs first (DNF for PLA and the sum-of-products BLIF, CNF for DIMACS, as
// the menu's saves compute them), then the writer into `out` for the entries from
// `firstSaved` on.
void writeTable(OutputNotation notation, std::ostream& out, int64_t firstSaved);

// The duration report of a timed action: "Operation took " + seconds + " seconds",
// the seconds in the stream's default form (0, 0.016, 2.5).
std::string durationText(int64_t milliseconds);
