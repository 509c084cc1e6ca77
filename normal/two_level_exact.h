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

// A minimum cover of ON ∪ (part of) DC that holds every point of ON outside DC,
// the plain way: every prime listed, every ON cube split into rows. The tests hold
// exactMinimum (below), which both minimize steps use, to it.
// `incumbent`, a cover of primes already known (or empty), bounds the search from
// its start. Stops when the primes or the rows grow past `limit` (the cover then
// empty) or when the search takes more than `branchBudget` branches (the cover
// then the cheapest one seen, the incumbent if none beat it, and not known to be
// least).
ExactCover exactMinimumCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                             uint64_t limit, uint64_t branchBudget, const CubeList& incumbent);

// The exact step, from `heuristic`, a cover of primes (or empty): its essential
// primes, found by the consensus test, are in every minimum cover, so when all its
// cubes are essential it is the only one. Otherwise only the points those leave
// open (outside DC) need covering: the primes that meet the heuristic's other cubes
// are the columns, those cubes give the rows (split as in exactMinimumCover, the
// essentials counted as don't-cares), and the least cover of them plus the
// essentials is a least cover of the function, since a prime meeting no open
// point can leave any cover that holds it. Stops as exactMinimumCover does, the
// limit counting those primes.
struct ExactWays {
    bool essentialsFirst = true;  // false: every prime meeting ON, no essentials taken
};
ExactCover exactMinimum(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                        uint64_t limit, uint64_t branchBudget, const CubeList& heuristic,
                        ExactWays ways = {});

// The parts on their own, for the tests.
// Every prime implicant of the union of `cover`; false when there are more than
// `limit` on the way.
bool allPrimes(const CubeSpace& space, const CubeList& cover, uint64_t limit, CubeList& primes);
