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
    uint64_t branches = 0;  // taken by the covering search
};

// A minimum cover of ON ∪ (part of) DC that holds every point of ON outside DC.
// `incumbent`, a cover of primes already known (or empty), bounds the search from
// its start. Stops when the primes or the rows grow past `limit` (the cover then
// empty) or when the search takes more than `branchBudget` branches (the cover
// then the cheapest one seen, the incumbent if none beat it, and not known to be
// least).
ExactCover exactMinimumCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                             uint64_t limit, uint64_t branchBudget, const CubeList& incumbent);

// The parts on their own, for the tests.
// Every prime implicant of the union of `cover`; false when there are more than
// `limit` on the way.
bool allPrimes(const CubeSpace& space, const CubeList& cover, uint64_t limit, CubeList& primes);
