// Exact two-level minimization of one function: every prime implicant of ON ∪ DC,
// then a cover of the care points of ON by the fewest primes, and of those the one
// with the fewest literals. Both parts can grow exponentially, so each stops at a
// limit and says which one it reached.
#pragma once

#include <cstdint>

#include "normal/two_level_cubes.h"

// Where the exact minimizer stopped, if it did.
enum class ExactStop {
    none,
    primes,  // more primes than the limit
    rows,    // more rows of the covering problem than the limit
    search,  // more than 100 × the limit branches of the covering search
};

struct ExactCover {
    CubeList cover;
    ExactStop stop = ExactStop::none;
};

// A minimum cover of ON ∪ (part of) DC that holds every point of ON outside DC,
// or the stop (with an empty cover) when a part grows past `limit`.
ExactCover exactMinimumCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                             uint64_t limit);

// The parts on their own, for the tests.
// Every prime implicant of the union of `cover`; false when there are more than
// `limit` on the way.
bool allPrimes(const CubeSpace& space, const CubeList& cover, uint64_t limit, CubeList& primes);
