// --stats: one line per function and a total, as the field's synthesis tools
// print theirs: the inputs the function reads, the terms and literals of its sum of
// products when it is one, and the nodes and depth of its tree.
#pragma once

#include <cstdint>
#include <iosfwd>

enum class StatisticsLayout { text, tabSeparated };

// Writes the statistics of the table's functions from `firstSaved` on.
void writeStatistics(std::ostream& out, int64_t firstSaved, StatisticsLayout layout);
