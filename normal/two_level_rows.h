// The rows of an exact minimizer's covering problem that no other row dominates.
#pragma once

#include <cstdint>
#include <vector>

#include "normal/two_level_cubes.h"

// Into `rows` (each the positions in `primes` of the primes that hold some point,
// ascending), one row for every set of primes that is the set holding a point of
// `open` outside `settled`, unless it holds all of another such set: a cover
// meeting the smaller set meets it too, so the least covers are the same. False
// when more than `limit` rows stay.
//
// Each cube of `open` is split, on the variable where most primes meeting the
// region stop short of it, until every prime meeting the region holds all of it
// (its points then have that row). A region inside `settled` has no such point;
// and a region whose primes holding all of it already hold all of a row found
// gives only rows that hold that row, so neither is split further. Rows that a
// later row turns out to dominate are dropped whenever the rows have doubled, and
// at the end.
bool leastRows(const CubeSpace& space, const CubeList& primes, const CubeList& settled,
               const CubeList& open, uint64_t limit, std::vector<std::vector<uint32_t>>& rows);

// Drops duplicate rows and every row that holds all columns of another.
void dropDominatedRows(std::vector<std::vector<uint32_t>>& rows);
