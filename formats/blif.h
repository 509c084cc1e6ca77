// BLIF, the netlist notation: the writer of "Save as BLIF" (one gate per operator
// node of every saved function), the sum-of-products layout of boolfn-run (one gate
// per function) and boolfn-run's reader (formats/blif_reader.h).
#pragma once

#include <cstdint>
#include <iosfwd>

// The save with its dialogue (formats/save_dialogue.h).
void saveBlif(std::ostream& out);
// The netlist itself, of the entries from position `first` on, without questions or
// messages.
void writeBlif(std::ostream& out, int64_t first);
// The sum-of-products layout: each saved function, which the caller has brought
// into DNF, as one `.names` gate over the inputs its terms use, one cover row per
// term; a function without a term is a gate without rows (constant 0), a term
// without literals a row of the output column alone.
void writeSopBlif(std::ostream& out, int64_t first);
