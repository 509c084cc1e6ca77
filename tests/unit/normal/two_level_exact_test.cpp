// The exact minimizer against brute force on random functions of up to 6 inputs,
// with and without don't-cares: the primes are every implicant no larger
// implicant contains (all 3^n cubes tried), and the minimum is found by trying,
// at the first care point left bare, every prime that holds it. The covering
// search is also checked on its own, and each limit on its stop.
#include "normal/two_level_exact.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "normal/two_level_covering.h"
#include "tests/unit/normal/cube_points.h"

namespace {

// The points of a cube of at most 6 variables as a 64-bit set.
uint64_t pointsOf(const CubeSpace& space, const uint64_t* cube) {
    uint64_t points = 0;
    for (uint32_t point = 0; point < (1u << space.variables); ++point) {
        bool holds = true;
        for (uint32_t v = 0; v < space.variables && holds; ++v) {
            holds = (CubeSpace::pairOf(cube, v) & (((point >> v) & 1) != 0 ? 2 : 1)) != 0;
        }
        if (holds) points |= uint64_t{1} << point;
    }
    return points;
}

uint64_t pointsOf(const CubeSpace& space, const CubeList& list) {
    uint64_t points = 0;
    for (uint32_t i = 0; i < list.size(); ++i) points |= pointsOf(space, list[i]);
    return points;
}

struct Prime {
    uint64_t points;
    uint32_t literals;
    std::vector<uint64_t> cube;
};

// Every cube of the space inside `allowed` that no literal can be dropped from.
std::vector<Prime> brutePrimes(const CubeSpace& space, uint64_t allowed) {
    std::vector<Prime> primes;
    uint32_t cubes = 1;
    for (uint32_t v = 0; v < space.variables; ++v) cubes *= 3;
    for (uint32_t code = 0; code < cubes; ++code) {
        std::vector<uint64_t> cube(space.words, 0);
        uint32_t digits = code;
        for (uint32_t v = 0; v < space.variables; ++v, digits /= 3) {
            CubeSpace::setPair(cube.data(), v, digits % 3 + 1);
        }
        const uint64_t points = pointsOf(space, cube.data());
        if ((points & ~allowed) != 0) continue;
        bool prime = true;
        for (uint32_t v = 0; v < space.variables && prime; ++v) {
            if (CubeSpace::pairOf(cube.data(), v) == 3) continue;
            std::vector<uint64_t> raised = cube;
            CubeSpace::setPair(raised.data(), v, 3);
            prime = (pointsOf(space, raised.data()) & ~allowed) != 0;
        }
        if (prime) primes.push_back({points, space.literalCount(cube.data()), cube});
    }
    return primes;
}

struct Cost {
    uint32_t cubes = UINT32_MAX;
    uint32_t literals = UINT32_MAX;
    bool operator<(const Cost& other) const {
        return cubes != other.cubes ? cubes < other.cubes : literals < other.literals;
    }
};

// The least cost of primes holding every point of `care`.
void bruteMinimum(const std::vector<Prime>& primes, uint64_t care, uint64_t covered, Cost spent,
                  Cost& best) {
    if (!(spent < best)) return;
    const uint64_t bare = care & ~covered;
    if (bare == 0) {
        best = spent;
        return;
    }
    const uint64_t point = bare & (~bare + 1);
    for (const Prime& prime : primes) {
        if ((prime.points & point) == 0) continue;
        bruteMinimum(primes, care, covered | prime.points,
                     {spent.cubes + 1, spent.literals + prime.literals}, best);
    }
}

struct Case {
    uint32_t variables;
    uint32_t onCubes;
    uint32_t dontCareCubes;
    int freePercent;
    int rounds;
};

class ExactRandom : public testing::TestWithParam<Case> {};

TEST_P(ExactRandom, PrimesAndMinimumMatchBruteForce) {
    const Case& setting = GetParam();
    std::mt19937 random(99 + setting.variables * 13 + setting.dontCareCubes);
    const CubeSpace space(setting.variables);
    for (int round = 0; round < setting.rounds; ++round) {
        const CubeList on = randomCover(space, random, setting.onCubes, setting.freePercent);
        const CubeList dc = randomCover(space, random, setting.dontCareCubes, setting.freePercent);
        const uint64_t onPoints = pointsOf(space, on);
        const uint64_t dcPoints = pointsOf(space, dc);
        const uint64_t care = onPoints & ~dcPoints;
        const std::vector<Prime> primes = brutePrimes(space, onPoints | dcPoints);

        CubeList careless = on;
        careless.appendAll(dc);
        CubeList found(space.words);
        ASSERT_TRUE(allPrimes(space, careless, 100000, found));
        std::vector<uint64_t> expected;
        for (const Prime& prime : primes) expected.push_back(prime.cube[0]);
        std::vector<uint64_t> got;
        for (uint32_t i = 0; i < found.size(); ++i) got.push_back(found[i][0]);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << "round " << round;

        Cost best;
        bruteMinimum(primes, care, 0, {0, 0}, best);
        const ExactCover exact =
            exactMinimumCover(space, on, dc, 100000, 10000000, CubeList(space.words));
        ASSERT_EQ(exact.stop, ExactStop::none);
        const uint64_t covered = pointsOf(space, exact.cover);
        EXPECT_EQ(covered & care, care) << "round " << round;
        EXPECT_EQ(covered & ~(onPoints | dcPoints), 0u) << "round " << round;
        EXPECT_EQ(exact.cover.size(), best.cubes) << "round " << round;
        EXPECT_EQ(literalCount(space, exact.cover), best.literals) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Functions, ExactRandom,
                         testing::Values(Case{1, 1, 0, 30, 10}, Case{2, 2, 0, 30, 20},
                                         Case{3, 3, 0, 30, 40}, Case{3, 3, 2, 30, 40},
                                         Case{4, 5, 0, 30, 40}, Case{4, 4, 2, 30, 40},
                                         Case{5, 7, 0, 25, 30}, Case{5, 6, 3, 25, 30},
                                         Case{6, 9, 0, 20, 60}, Case{6, 8, 4, 20, 60},
                                         Case{6, 14, 0, 10, 40}, Case{6, 6, 10, 15, 40}));

// A cyclic problem (each row two neighbouring columns of a ring of five) has no
// essential or dominated column, so only the search decides it.
TEST(MinimumCostCover, CyclicProblemsAndTheBudget) {
    struct Row {
        CoveringProblem problem;
        std::vector<uint32_t> expected;
    };
    const std::vector<Row> rows = {
        {{{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {0, 4}}, {5, 5, 5, 5, 5}}, {0, 2, 3}},
        {{{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {0, 4}}, {5, 1, 5, 1, 5}}, {1, 3, 4}},
        {{{{0}, {0, 1}, {1, 2}}, {3, 2, 2}}, {0, 1}},
        {{{{0, 1, 2}}, {7, 3, 4}}, {1}},
    };
    for (const Row& row : rows) {
        const auto chosen = minimumCostCover(row.problem, 1000);
        ASSERT_TRUE(chosen.has_value());
        uint64_t cost = 0;
        for (uint32_t c : *chosen) cost += row.problem.costs[c];
        uint64_t expectedCost = 0;
        for (uint32_t c : row.expected) expectedCost += row.problem.costs[c];
        EXPECT_EQ(cost, expectedCost);
        for (const auto& r : row.problem.rows) {
            EXPECT_TRUE(std::any_of(r.begin(), r.end(), [&](uint32_t c) {
                return std::find(chosen->begin(), chosen->end(), c) != chosen->end();
            }));
        }
    }
    EXPECT_FALSE(minimumCostCover(rows[0].problem, 1).has_value());
}

// Random covering problems against every subset of their columns: the least
// cost, with unit costs (where the independent-rows bound often meets the
// optimum and ends the search early) and with costs like the minimizer's (one
// cube plus its literals), from no incumbent and from the dearest cover (all
// columns).
TEST(MinimumCostCover, RandomProblemsMatchEverySubset) {
    std::mt19937 random(2024);
    for (int round = 0; round < 300; ++round) {
        const uint32_t columns = 3 + random() % 10;
        const uint32_t rowCount = 1 + random() % 16;
        CoveringProblem problem;
        for (uint32_t r = 0; r < rowCount; ++r) {
            std::vector<uint32_t> row;
            for (uint32_t c = 0; c < columns; ++c) {
                if (random() % 3 == 0) row.push_back(c);
            }
            if (row.empty()) row.push_back(static_cast<uint32_t>(random() % columns));
            problem.rows.push_back(row);
        }
        const bool unit = round % 2 == 0;
        for (uint32_t c = 0; c < columns; ++c) {
            problem.costs.push_back(unit ? 1 : (uint64_t{1} << 32) + random() % 6);
        }
        uint64_t least = UINT64_MAX;
        for (uint32_t subset = 0; subset < (1u << columns); ++subset) {
            const bool covers =
                std::all_of(problem.rows.begin(), problem.rows.end(), [&](const auto& row) {
                    return std::any_of(row.begin(), row.end(),
                                       [&](uint32_t c) { return ((subset >> c) & 1) != 0; });
                });
            if (!covers) continue;
            uint64_t cost = 0;
            for (uint32_t c = 0; c < columns; ++c)
                cost += ((subset >> c) & 1) ? problem.costs[c] : 0;
            least = std::min(least, cost);
        }
        std::vector<uint32_t> all(columns);
        std::iota(all.begin(), all.end(), 0);
        for (const auto& incumbent : {std::vector<uint32_t>{}, all}) {
            const CoverSearch search = searchCheaperCover(problem, 1000000, incumbent);
            ASSERT_TRUE(search.complete) << "round " << round;
            uint64_t cost = 0;
            for (uint32_t c : search.found ? search.columns : incumbent) cost += problem.costs[c];
            EXPECT_EQ(cost, least) << "round " << round;
            const auto& chosen = search.found ? search.columns : incumbent;
            for (const auto& row : problem.rows) {
                EXPECT_TRUE(std::any_of(row.begin(), row.end(),
                                        [&](uint32_t c) {
                                            return std::find(chosen.begin(), chosen.end(), c) !=
                                                   chosen.end();
                                        }))
                    << "round " << round;
            }
        }
    }
}

// Symmetric functions have many primes, none essential, and a cyclic covering
// problem. The function of 9 inputs that is 1 when 3 to 6 of them are set (9sym
// of the benchmark corpus) has a minimum of 84 cubes of 6 literals (`espresso
// -Dexact` agrees); the independent rows bound meets it, so the first cover the
// search reaches ends it, within a few hundred branches.
TEST(ExactMinimumCover, SymmetricFunctionWithinAFewBranches) {
    const CubeSpace space(9);
    CubeList on(space.words);
    for (uint32_t point = 0; point < 512; ++point) {
        const int ones = std::popcount(point);
        if (ones < 3 || ones > 6) continue;
        uint64_t* cube = on.append();
        for (uint32_t v = 0; v < 9; ++v) CubeSpace::setPair(cube, v, ((point >> v) & 1) + 1);
    }
    const CubeList none(space.words);
    const ExactCover exact = exactMinimumCover(space, on, none, 20000, 1000, none);
    EXPECT_EQ(exact.stop, ExactStop::none);
    EXPECT_EQ(exact.cover.size(), 84u);
    EXPECT_EQ(literalCount(space, exact.cover), 504u);
}

// A known cover bounds the search: only cheaper ones count as found, and a search
// cut short says so and keeps the cheapest cover it saw.
TEST(SearchCheaperCover, IncumbentsAndTheBudget) {
    const CoveringProblem ring{{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {0, 4}}, {5, 5, 5, 5, 5}};
    struct Row {
        std::vector<uint32_t> incumbent;
        uint64_t budget;
        bool found;
        bool complete;
        uint64_t cost;  // of the cover found
    };
    const std::vector<Row> rows = {
        {{}, 1000, true, true, 15},
        {{0, 2, 4}, 1000, false, true, 0},
        {{0, 1, 2, 3}, 1000, true, true, 15},
        {{0, 1, 2, 3, 4}, 1, false, false, 0},
    };
    for (const Row& row : rows) {
        const CoverSearch search = searchCheaperCover(ring, row.budget, row.incumbent);
        EXPECT_EQ(search.found, row.found);
        EXPECT_EQ(search.complete, row.complete);
        EXPECT_GE(search.branches, 1u);
        uint64_t cost = 0;
        for (uint32_t c : search.columns) cost += ring.costs[c];
        EXPECT_EQ(cost, row.cost);
    }
}

// A heuristic cover given as the incumbent: a minimum one comes back as it is, a
// larger one is beaten, and a cover of cubes that are not primes is ignored.
TEST(ExactMinimumCover, StartsFromAKnownCover) {
    const CubeSpace space(3);
    const auto cube = [&](const char* text) {
        std::vector<uint64_t> words(space.words);
        space.setUniverse(words.data());
        for (uint32_t v = 0; v < 3; ++v) {
            if (text[v] != '-') CubeSpace::setPair(words.data(), v, text[v] == '1' ? 2 : 1);
        }
        return words;
    };
    const auto listOf = [&](std::initializer_list<const char*> texts) {
        CubeList list(space.words);
        for (const char* text : texts) list.append(cube(text).data());
        return list;
    };
    // x0'x1 + x1x2 + x0x2 ... as minterms; the minimum is x0'x1 + x0x2.
    const CubeList on = listOf({"01-", "1-1"});
    const CubeList none(space.words);
    struct Row {
        CubeList incumbent;
        uint32_t cubes;
    };
    const std::vector<Row> rows = {
        {listOf({"01-", "1-1"}), 2},
        {listOf({"01-", "1-1", "-11"}), 2},
        {listOf({"010", "011", "1-1"}), 2},
    };
    for (const Row& row : rows) {
        const ExactCover exact = exactMinimumCover(space, on, none, 100, 1000, row.incumbent);
        EXPECT_EQ(exact.stop, ExactStop::none);
        EXPECT_EQ(exact.cover.size(), row.cubes);
        EXPECT_EQ(literalCount(space, exact.cover), 4u);
    }
}

// The parity of n inputs has 2^(n-1) primes and as many rows: each limit stops it.
TEST(ExactMinimumCover, LimitsStopTheParity) {
    const CubeSpace space(8);
    CubeList on(space.words);
    for (uint32_t point = 0; point < 256; ++point) {
        if (std::popcount(point) % 2 == 0) continue;
        uint64_t* cube = on.append();
        for (uint32_t v = 0; v < 8; ++v) CubeSpace::setPair(cube, v, ((point >> v) & 1) + 1);
    }
    const CubeList none(space.words);
    EXPECT_EQ(exactMinimumCover(space, on, none, 100, 10000, none).stop, ExactStop::primes);
    const ExactCover whole = exactMinimumCover(space, on, none, 128, 12800, none);
    EXPECT_EQ(whole.stop, ExactStop::none);
    EXPECT_EQ(whole.cover.size(), 128u);
    EXPECT_EQ(exactMinimumCover(space, CubeList(space.words), none, 1, 100, none).cover.size(), 0u);
}

// The row limit counts distinct rows: ten copies of one cube give the row once.
TEST(ExactMinimumCover, RepeatedRegionsAreOneRow) {
    const CubeSpace space(4);
    CubeList on(space.words);
    for (int copy = 0; copy < 10; ++copy) {
        uint64_t* cube = on.append();
        space.setUniverse(cube);
        CubeSpace::setPair(cube, 0, 2);
    }
    const ExactCover exact =
        exactMinimumCover(space, on, CubeList(space.words), 1, 100, CubeList(space.words));
    EXPECT_EQ(exact.stop, ExactStop::none);
    EXPECT_EQ(exact.cover.size(), 1u);
}

}  // namespace
