// The minimize step over the function table: each function's sum of products is
// read as cubes over the inputs it uses, minimized (normal/two_level_minimize.h,
// or exactly by normal/two_level_exact.h) and held as the minimal cover, one term
// per cube.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "normal/normalize.h"

class FunctionEntry;

struct MinimizeSettings {
    bool exact = false;            // the fewest cubes, then the fewest literals
    uint64_t exactLimit = 200000;  // primes and covering rows past which exact stops
    // Branches of the covering search for the whole job (exact only), and what is
    // left of them: each function's search draws from it, so the budget bounds the
    // job, not a function. Without `branchesLeft` a function has the whole budget.
    uint64_t exactBranches = 2000000;
    uint64_t* branchesLeft = nullptr;
};

// The exact minimizer reached its limit; the message names the function and the part.
class ExactLimitReached : public std::runtime_error {
  public:
    ExactLimitReached(const std::string& message, bool branches)
        : std::runtime_error(message), ofBranches(branches) {}
    bool ofBranches;  // the search's branch budget, not the primes or the rows
};

// Replaces the entry's function by an irredundant sum of prime implicants (with
// `settings.exact` a minimum one, or ExactLimitReached, the entry then holding
// the sum of products it came with);
// where the entry keeps don't-cares (a PLA load with --dont-cares), the cover may
// take them in and holds every other point exactly as the function does.
void minimizeFunction(FunctionEntry& entry, const EngineParams& params,
                      const MinimizeSettings& settings = {});
