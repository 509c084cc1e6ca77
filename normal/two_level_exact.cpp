// The primes come from the unate recursive paradigm: split on the most binate
// variable x, take the primes P0 and P1 of the two cofactors, and the primes of
// the function are the maximal cubes among x'P0, xP1 and the pairwise products of
// P0 and P1; a unate cover's maximal cubes are all its primes.
//
// The covering problem needs one row per set of care points that the same primes
// cover. Each ON cube is split, on a variable where a prime meeting the region
// stops short of it, until every prime meeting the region holds all of it; the
// region is then a row whose columns are those primes (regions of don't-cares only
// give none), kept once however many regions give it. The columns cost one cube and then their
// literals, so the least total cost is the fewest cubes and, among those, the fewest literals.
#include "normal/two_level_exact.h"

#include <algorithm>
#include <map>
#include <set>

#include "normal/two_level_covering.h"
#include "normal/two_level_essentials.h"
#include "normal/two_level_primes.h"
#include "normal/two_level_rows.h"
#include "normal/two_level_unate.h"

namespace {

// Primes on the way may outnumber the primes at the end; this many are allowed.
constexpr uint64_t waySlack = 4;

bool primesOf(const CubeSpace& space, const CubeList& list, uint64_t limit, CubeList& out) {
    out.clear();
    if (list.empty()) return true;
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (space.isUniverse(list[i])) {
            out.append(list[i]);
            return true;
        }
    }
    const int64_t variable = mostBinateVariable(space, list);
    if (variable < 0) {
        out = list;
        removeContained(space, out);
        return out.size() <= limit;
    }
    const auto v = static_cast<uint32_t>(variable);
    CubeList half(space.words);
    CubeList low(space.words);
    CubeList high(space.words);
    cofactorInto(space, list, v, false, half);
    if (!primesOf(space, half, limit, low)) return false;
    cofactorInto(space, list, v, true, half);
    if (!primesOf(space, half, limit, high)) return false;
    for (uint32_t i = 0; i < low.size(); ++i) {
        uint64_t* cube = out.append();
        std::copy_n(low[i], space.words, cube);
        CubeSpace::setPair(cube, v, 1);
    }
    for (uint32_t j = 0; j < high.size(); ++j) {
        uint64_t* cube = out.append();
        std::copy_n(high[j], space.words, cube);
        CubeSpace::setPair(cube, v, 2);
    }
    for (uint32_t i = 0; i < low.size(); ++i) {
        for (uint32_t j = 0; j < high.size(); ++j) {
            if (space.disjoint(low[i], high[j])) continue;
            uint64_t* cube = out.append();
            for (uint32_t w = 0; w < space.words; ++w) cube[w] = low[i][w] & high[j][w];
        }
        if (out.size() > waySlack * limit) return false;
    }
    removeContained(space, out);
    return out.size() <= limit;
}

class RowMaker {
  public:
    RowMaker(const CubeSpace& cubeSpace, const CubeList& primeList, const CubeList& dontCares,
             uint64_t rowLimit, std::vector<std::vector<uint32_t>>& into)
        : space(cubeSpace),
          primes(primeList),
          dontCare(dontCares),
          limit(rowLimit),
          rows(into),
          scratch(cubeSpace.words),
          counts(cubeSpace.variables) {}

    // Adds the rows of the care points of `cube`; false past the limit.
    bool addRowsOf(const uint64_t* cube) {
        std::vector<uint32_t> meeting;
        for (uint32_t p = 0; p < primes.size(); ++p) {
            if (!space.disjoint(primes[p], cube)) meeting.push_back(p);
        }
        std::vector<uint64_t> region(cube, cube + space.words);
        return split(region, meeting);
    }

  private:
    const CubeSpace& space;
    const CubeList& primes;
    const CubeList& dontCare;
    uint64_t limit;
    std::vector<std::vector<uint32_t>>& rows;
    CubeList scratch;
    std::vector<uint32_t> counts;
    std::set<std::vector<uint32_t>> seen;

    bool split(std::vector<uint64_t>& region, const std::vector<uint32_t>& meeting) {
        if (!dontCare.empty() && coversCube(space, dontCare, region.data(), scratch)) return true;
        std::fill(counts.begin(), counts.end(), 0);
        bool whole = true;
        for (uint32_t p : meeting) {
            if (space.contains(primes[p], region.data())) continue;
            whole = false;
            for (uint32_t v = 0; v < space.variables; ++v) {
                if (CubeSpace::pairOf(region.data(), v) == 3 &&
                    CubeSpace::pairOf(primes[p], v) != 3) {
                    ++counts[v];
                }
            }
        }
        if (whole) {
            // Regions of other ON cubes often give the same row: it is kept once.
            if (seen.insert(meeting).second) rows.push_back(meeting);
            return rows.size() <= limit;
        }
        const auto v =
            static_cast<uint32_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
        for (const uint64_t pair : {uint64_t{1}, uint64_t{2}}) {
            std::vector<uint64_t> half = region;
            CubeSpace::setPair(half.data(), v, pair);
            std::vector<uint32_t> inHalf;
            for (uint32_t p : meeting) {
                if (!space.disjoint(primes[p], half.data())) inHalf.push_back(p);
            }
            if (!split(half, inHalf)) return false;
        }
        return true;
    }
};

// The primes' positions of the cubes of `cover`, or none unless every cube is one.
std::vector<uint32_t> columnsOf(const CubeSpace& space, const CubeList& primes,
                                const CubeList& cover) {
    std::map<std::vector<uint64_t>, uint32_t> positions;
    for (uint32_t p = 0; p < primes.size(); ++p) {
        positions.emplace(std::vector<uint64_t>(primes[p], primes[p] + space.words), p);
    }
    std::vector<uint32_t> columns;
    for (uint32_t c = 0; c < cover.size(); ++c) {
        const auto found = positions.find(std::vector<uint64_t>(cover[c], cover[c] + space.words));
        if (found == positions.end()) return {};
        columns.push_back(found->second);
    }
    return columns;
}

// Whether no literal of any cube of `cubes` can be dropped inside `careless`.
bool allPrime(const CubeSpace& space, const CubeList& cubes, const CubeList& careless) {
    CubeList scratch(space.words);
    std::vector<uint64_t> raised(space.words);
    for (uint32_t i = 0; i < cubes.size(); ++i) {
        for (uint32_t v = 0; v < space.variables; ++v) {
            if (CubeSpace::pairOf(cubes[i], v) == 3) continue;
            std::copy_n(cubes[i], space.words, raised.data());
            CubeSpace::setPair(raised.data(), v, 3);
            if (coversCube(space, careless, raised.data(), scratch)) return false;
        }
    }
    return true;
}

}  // namespace

bool allPrimes(const CubeSpace& space, const CubeList& cover, uint64_t limit, CubeList& primes) {
    return primesOf(space, cover, limit, primes);
}

ExactCover exactMinimumCover(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                             uint64_t limit, uint64_t branchBudget, const CubeList& incumbent) {
    ExactCover result{CubeList(space.words), ExactStop::none, 0};
    if (on.empty()) return result;
    CubeList careless = on;
    careless.appendAll(dontCare);
    CubeList primes(space.words);
    if (!allPrimes(space, careless, limit, primes)) {
        result.stop = ExactStop::primes;
        return result;
    }
    CoveringProblem problem;
    RowMaker maker(space, primes, dontCare, limit, problem.rows);
    for (uint32_t i = 0; i < on.size(); ++i) {
        if (!maker.addRowsOf(on[i])) {
            result.stop = ExactStop::rows;
            return result;
        }
    }
    for (uint32_t p = 0; p < primes.size(); ++p) {
        problem.costs.push_back((uint64_t{1} << 32) + space.literalCount(primes[p]));
    }
    const std::vector<uint32_t> known = columnsOf(space, primes, incumbent);
    const CoverSearch search = searchCheaperCover(problem, branchBudget, known);
    result.branches = search.branches;
    if (!search.complete) result.stop = ExactStop::search;
    if (search.found) {
        for (uint32_t p : search.columns) result.cover.append(primes[p]);
    } else if (!known.empty()) {
        result.cover = incumbent;
    }
    return result;
}

ExactCover exactMinimum(const CubeSpace& space, const CubeList& on, const CubeList& dontCare,
                        uint64_t limit, uint64_t branchBudget, const CubeList& heuristic,
                        ExactWays ways) {
    ExactCover result{CubeList(space.words), ExactStop::none, 0};
    if (on.empty()) return result;
    const bool fromHeuristic = ways.essentialsFirst && !heuristic.empty();
    CubeList essentials(space.words);
    CubeList open(space.words);  // the cubes whose points are left to cover
    CubeList careless = on;
    careless.appendAll(dontCare);
    if (fromHeuristic) {
        const std::vector<char> essential = essentialFlags(space, heuristic, dontCare);
        for (uint32_t i = 0; i < heuristic.size(); ++i) {
            (essential[i] ? essentials : open).append(heuristic[i]);
        }
        // The test is only sure of primes (the others are checked as columns below).
        if (!allPrime(space, essentials, careless)) {
            return exactMinimum(space, on, dontCare, limit, branchBudget, heuristic, {false});
        }
        if (open.empty()) {
            result.cover = heuristic;
            return result;
        }
    } else {
        open = on;
    }
    CubeList primes(space.words);
    if (!primesMeeting(space, careless, open, limit, primes)) {
        result.stop = ExactStop::primes;
        return result;
    }
    CubeList settled = dontCare;
    settled.appendAll(essentials);
    CoveringProblem problem;
    if (!leastRows(space, primes, settled, open, limit, problem.rows)) {
        result.stop = ExactStop::rows;
        return result;
    }
    for (uint32_t p = 0; p < primes.size(); ++p) {
        problem.costs.push_back((uint64_t{1} << 32) + space.literalCount(primes[p]));
    }
    const CubeList& incumbent = fromHeuristic ? open : heuristic;
    const std::vector<uint32_t> known = columnsOf(space, primes, incumbent);
    // The essentials are only sure of a cover of primes: without one, all of them.
    if (fromHeuristic && known.empty()) {
        return exactMinimum(space, on, dontCare, limit, branchBudget, heuristic, {false});
    }
    const CoverSearch search = searchCheaperCover(problem, branchBudget, known);
    result.branches = search.branches;
    if (!search.complete) result.stop = ExactStop::search;
    if (search.found) {
        result.cover = essentials;
        for (uint32_t p : search.columns) result.cover.append(primes[p]);
    } else if (!known.empty()) {
        result.cover = heuristic;  // in its own order
    }
    return result;
}
