// BLIF output of "Save as BLIF": one gate per operator node of every saved function.
#pragma once

#include <cstdint>
#include <iosfwd>

// The save with its dialogue (formats/save_dialogue.h).
void saveBlif(std::ostream& out);
// The netlist itself, of the entries from position `first` on, without questions or
// messages.
void writeBlif(std::ostream& out, int64_t first);
