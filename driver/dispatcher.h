// The action dispatcher: carries out one choice of the action menu on every
// function of the table.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

// Carries out action 1 to 14 (anything else does nothing). The save actions 9 to 12
// write to `out`, which the entry routine has opened; the other actions ignore it.
void runAction(int action, std::ostream* out);

// The duration report of a timed action: "Operation took " + seconds + " seconds",
// the seconds in the stream's default form (0, 0.016, 2.5).
std::string durationText(int64_t milliseconds);
