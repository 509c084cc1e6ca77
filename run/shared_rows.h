// --shared-rows: a minimized table written as PLA with each distinct input part on
// one row and a "1" in the column of every function whose cover holds that cube,
// as minimized multi-output PLAs are written in the field.
#pragma once

#include <cstdint>
#include <iosfwd>

// The saved entries from position `firstSaved` on, whose covers are held as sums,
// in the header and row layout of the PLA writer; rows in the order their input
// parts first appear, ".p" and "# literals" counting the rows written.
void writeSharedRowsPla(std::ostream& out, int64_t firstSaved);
