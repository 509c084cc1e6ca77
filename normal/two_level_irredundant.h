// The choice at the heart of the irredundant step: which of the partially
// redundant cubes to keep so that, with the fixed cubes (the relatively essential
// ones and the don't-cares), every cube of the cover stays covered.
#pragma once

#include <cstdint>
#include <vector>

#include "normal/two_level_cubes.h"

// Answers, per entry of `partial` (positions in `cover`), whether to keep it. Each
// partially redundant cube p is split by the unate recursion of the tautology test
// of its cofactor until a region is covered by a fixed cube, or is held whole by
// some of the others while the rest cannot cover it together (or the region is
// unate); each such region is a row "p or one of these" of a covering matrix. The
// matrix is solved exactly when the search is small, else greedily (the column in
// most open rows, fewer literals on ties), and a chosen cube that every row can
// do without is dropped again.
std::vector<char> coverPartiallyRedundant(const CubeSpace& space, const CubeList& cover,
                                          const std::vector<uint32_t>& partial,
                                          const CubeList& fixed);
