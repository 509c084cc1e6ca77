// The parts of the exact step against brute force on random functions: the
// essential test (up to 8 inputs) against its definition over all primes, the
// primes meeting a region and the undominated rows against all points, and the
// minimum through each way (every cube essential, the rows of the points the
// essentials leave, all primes) against the least cover tried point by point.
#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "normal/two_level_essentials.h"
#include "normal/two_level_exact.h"
#include "normal/two_level_minimize.h"
#include "normal/two_level_primes.h"
#include "normal/two_level_rows.h"
#include "tests/unit/normal/cube_points.h"

namespace {

using Points = std::bitset<256>;  // the points of a space of at most 8 variables

Points pointsOf(const CubeSpace& space, const uint64_t* cube) {
    Points points;
    for (uint32_t point = 0; point < (1u << space.variables); ++point) {
        bool holds = true;
        for (uint32_t v = 0; v < space.variables && holds; ++v) {
            holds = (CubeSpace::pairOf(cube, v) & (((point >> v) & 1) != 0 ? 2 : 1)) != 0;
        }
        points[point] = holds;
    }
    return points;
}

Points pointsOf(const CubeSpace& space, const CubeList& list) {
    Points points;
    for (uint32_t i = 0; i < list.size(); ++i) points |= pointsOf(space, list[i]);
    return points;
}

struct Prime {
    uint64_t cube;  // one word: at most 32 variables
    Points points;
    uint32_t literals;
};

// Every cube inside `allowed` that no literal can be dropped from (all 3^n tried).
std::vector<Prime> brutePrimes(const CubeSpace& space, const Points& allowed) {
    std::vector<Prime> primes;
    uint32_t cubes = 1;
    for (uint32_t v = 0; v < space.variables; ++v) cubes *= 3;
    for (uint32_t code = 0; code < cubes; ++code) {
        uint64_t cube = 0;
        uint32_t digits = code;
        for (uint32_t v = 0; v < space.variables; ++v, digits /= 3) {
            CubeSpace::setPair(&cube, v, digits % 3 + 1);
        }
        const Points points = pointsOf(space, &cube);
        if ((points & ~allowed).any()) continue;
        bool prime = true;
        for (uint32_t v = 0; v < space.variables && prime; ++v) {
            if (CubeSpace::pairOf(&cube, v) == 3) continue;
            uint64_t raised = cube;
            CubeSpace::setPair(&raised, v, 3);
            prime = (pointsOf(space, &raised) & ~allowed).any();
        }
        if (prime) primes.push_back({cube, points, space.literalCount(&cube)});
    }
    return primes;
}

struct Function {
    CubeList on;
    CubeList dc;
    Points onPoints;
    Points dcPoints;
    Points care;
    std::vector<Prime> primes;
};

Function randomFunction(const CubeSpace& space, std::mt19937& random, uint32_t onCubes,
                        uint32_t dcCubes, int freePercent) {
    Function f{randomCover(space, random, onCubes, freePercent),
               randomCover(space, random, dcCubes, freePercent),
               {},
               {},
               {},
               {}};
    f.onPoints = pointsOf(space, f.on);
    f.dcPoints = pointsOf(space, f.dc);
    f.care = f.onPoints & ~f.dcPoints;
    f.primes = brutePrimes(space, f.onPoints | f.dcPoints);
    return f;
}

struct Case {
    uint32_t variables;
    uint32_t onCubes;
    uint32_t dcCubes;
    int freePercent;
    int rounds;
};

// Essential by definition: a care point of the prime lies in no other prime.
bool bruteEssential(const Function& f, uint64_t cube) {
    Points others;
    Points mine;
    for (const Prime& prime : f.primes) (prime.cube == cube ? mine : others) |= prime.points;
    return (mine & f.care & ~others).any();
}

class EssentialRandom : public testing::TestWithParam<Case> {};

// On two prime covers of each function: the heuristic's, and every prime.
TEST_P(EssentialRandom, ConsensusTestMatchesTheDefinition) {
    const Case& setting = GetParam();
    std::mt19937 random(7 + setting.variables * 31 + setting.dcCubes);
    const CubeSpace space(setting.variables);
    int essentials = 0;
    int others = 0;
    for (int round = 0; round < setting.rounds; ++round) {
        const Function f =
            randomFunction(space, random, setting.onCubes, setting.dcCubes, setting.freePercent);
        CubeList all(space.words);
        for (const Prime& prime : f.primes) all.append(&prime.cube);
        for (const CubeList& cover : {minimizeCover(space, f.on, f.dc), all}) {
            const std::vector<char> flags = essentialFlags(space, cover, f.dc);
            ASSERT_EQ(flags.size(), cover.size());
            for (uint32_t i = 0; i < cover.size(); ++i) {
                EXPECT_EQ(flags[i] != 0, bruteEssential(f, cover[i][0])) << "round " << round;
                (flags[i] ? essentials : others) += 1;
            }
        }
    }
    // Both answers occur.
    EXPECT_GT(essentials, 0);
    EXPECT_GT(others, 0);
}

INSTANTIATE_TEST_SUITE_P(Covers, EssentialRandom,
                         testing::Values(Case{3, 3, 0, 30, 40}, Case{4, 5, 2, 30, 40},
                                         Case{5, 7, 0, 25, 40}, Case{6, 9, 3, 20, 30},
                                         Case{7, 12, 0, 20, 20}, Case{7, 10, 5, 20, 20},
                                         Case{8, 16, 0, 15, 12}, Case{8, 14, 8, 15, 12}));

class ExactPartsRandom : public testing::TestWithParam<Case> {};

// The primes meeting a random region, and the undominated rows of the points a
// random part of the primes (taken as settled) leaves: each against all points.
TEST_P(ExactPartsRandom, PrimesMeetingARegionAndTheLeastRows) {
    const Case& setting = GetParam();
    std::mt19937 random(11 + setting.variables * 17 + setting.dcCubes);
    const CubeSpace space(setting.variables);
    for (int round = 0; round < setting.rounds; ++round) {
        const Function f =
            randomFunction(space, random, setting.onCubes, setting.dcCubes, setting.freePercent);
        const CubeList region = randomCover(space, random, 1 + random() % 3, 40);
        const Points regionPoints = pointsOf(space, region);
        CubeList careless = f.on;
        careless.appendAll(f.dc);
        CubeList found(space.words);
        ASSERT_TRUE(primesMeeting(space, careless, region, 100000, found));
        std::vector<uint64_t> expected;
        for (const Prime& prime : f.primes) {
            if ((prime.points & regionPoints).any()) expected.push_back(prime.cube);
        }
        std::vector<uint64_t> got;
        for (uint32_t i = 0; i < found.size(); ++i) got.push_back(found[i][0]);
        std::sort(expected.begin(), expected.end());
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, expected) << "round " << round;

        // Rows over all primes; the settled cubes are DC and some primes.
        CubeList primes(space.words);
        for (const Prime& prime : f.primes) primes.append(&prime.cube);
        CubeList settled = f.dc;
        for (const Prime& prime : f.primes) {
            if (random() % 4 == 0) settled.append(&prime.cube);
        }
        const Points open = f.care & ~pointsOf(space, settled);
        std::set<std::vector<uint64_t>> all;
        for (uint32_t point = 0; point < (1u << space.variables); ++point) {
            if (!open[point]) continue;
            std::vector<uint64_t> row;
            for (const Prime& prime : f.primes) {
                if (prime.points[point]) row.push_back(prime.cube);
            }
            all.insert(row);
        }
        std::set<std::vector<uint64_t>> least;
        for (const auto& row : all) {
            const bool dominated = std::any_of(all.begin(), all.end(), [&](const auto& other) {
                return other != row &&
                       std::includes(row.begin(), row.end(), other.begin(), other.end());
            });
            if (!dominated) least.insert(row);
        }
        std::vector<std::vector<uint32_t>> rows;
        ASSERT_TRUE(leastRows(space, primes, settled, f.on, 100000, rows));
        std::set<std::vector<uint64_t>> made;
        for (const auto& row : rows) {
            std::vector<uint64_t> cubes;
            for (uint32_t p : row) cubes.push_back(primes[p][0]);
            std::sort(cubes.begin(), cubes.end());
            made.insert(cubes);
        }
        EXPECT_EQ(made.size(), rows.size()) << "round " << round;
        EXPECT_EQ(made, least) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Functions, ExactPartsRandom,
                         testing::Values(Case{3, 3, 1, 30, 40}, Case{4, 5, 2, 30, 40},
                                         Case{5, 7, 0, 25, 40}, Case{6, 9, 3, 20, 30},
                                         Case{7, 12, 4, 20, 15}, Case{8, 16, 6, 15, 8}));

struct Cost {
    uint32_t cubes = UINT32_MAX;
    uint32_t literals = UINT32_MAX;
    bool operator<(const Cost& other) const {
        return cubes != other.cubes ? cubes < other.cubes : literals < other.literals;
    }
};

// The least cost of primes holding every point of `care`: every prime holding the
// first point left bare is tried.
void bruteMinimum(const std::vector<Prime>& primes, const Points& care, const Points& covered,
                  Cost spent, Cost& best) {
    if (!(spent < best)) return;
    const Points bare = care & ~covered;
    if (bare.none()) {
        best = spent;
        return;
    }
    uint32_t point = 0;
    while (!bare[point]) ++point;
    for (const Prime& prime : primes) {
        if (!prime.points[point]) continue;
        bruteMinimum(primes, care, covered | prime.points,
                     {spent.cubes + 1, spent.literals + prime.literals}, best);
    }
}

class ExactWaysRandom : public testing::TestWithParam<Case> {};

// From the heuristic cover (all of it essential, or rows of what the essentials
// leave), from the heuristic with every prime, and from no cover at all.
TEST_P(ExactWaysRandom, EveryWayGivesTheMinimum) {
    const Case& setting = GetParam();
    std::mt19937 random(5 + setting.variables * 19 + setting.dcCubes);
    const CubeSpace space(setting.variables);
    int allEssential = 0;
    int someOpen = 0;
    for (int round = 0; round < setting.rounds; ++round) {
        const Function f =
            randomFunction(space, random, setting.onCubes, setting.dcCubes, setting.freePercent);
        Cost best;
        bruteMinimum(f.primes, f.care, Points(), {0, 0}, best);
        const CubeList heuristic = minimizeCover(space, f.on, f.dc);
        const std::vector<char> flags = essentialFlags(space, heuristic, f.dc);
        const bool essential = std::all_of(flags.begin(), flags.end(), [](char e) { return e; });
        (essential ? allEssential : someOpen) += heuristic.empty() ? 0 : 1;
        const CubeList none(space.words);
        struct Way {
            const CubeList& from;
            ExactWays ways;
        };
        for (const Way& way :
             {Way{heuristic, {true}}, Way{heuristic, {false}}, Way{none, {true}}}) {
            const ExactCover exact =
                exactMinimum(space, f.on, f.dc, 100000, 10000000, way.from, way.ways);
            ASSERT_EQ(exact.stop, ExactStop::none);
            const Points covered = pointsOf(space, exact.cover);
            EXPECT_EQ(covered & f.care, f.care) << "round " << round;
            EXPECT_TRUE((covered & ~(f.onPoints | f.dcPoints)).none()) << "round " << round;
            if (f.care.none()) continue;
            EXPECT_EQ(exact.cover.size(), best.cubes) << "round " << round;
            EXPECT_EQ(literalCount(space, exact.cover), best.literals) << "round " << round;
        }
    }
    EXPECT_GT(allEssential, 0);
    EXPECT_GT(someOpen, 0);
}

INSTANTIATE_TEST_SUITE_P(Functions, ExactWaysRandom,
                         testing::Values(Case{3, 3, 0, 30, 40}, Case{4, 5, 0, 30, 40},
                                         Case{4, 4, 2, 30, 40}, Case{5, 7, 0, 25, 30},
                                         Case{5, 6, 3, 25, 30}, Case{6, 9, 0, 20, 40},
                                         Case{6, 8, 4, 20, 40}, Case{6, 14, 0, 10, 30}));

// The parity of 8 inputs: its 128 minterms are its primes, each essential, so the
// heuristic's cover is the answer whatever the limit; asked for its primes, the
// limit stops it.
TEST(ExactMinimum, LimitsAndTheEssentialShortcut) {
    const CubeSpace space(8);
    CubeList on(space.words);
    for (uint32_t point = 0; point < 256; ++point) {
        if (std::popcount(point) % 2 == 0) continue;
        uint64_t* cube = on.append();
        for (uint32_t v = 0; v < 8; ++v) CubeSpace::setPair(cube, v, ((point >> v) & 1) + 1);
    }
    const CubeList none(space.words);
    const ExactCover shortcut = exactMinimum(space, on, none, 1, 1, on);
    EXPECT_EQ(shortcut.stop, ExactStop::none);
    EXPECT_EQ(shortcut.cover.size(), 128u);
    EXPECT_EQ(exactMinimum(space, on, none, 100, 10000, on, {false}).stop, ExactStop::primes);
    EXPECT_EQ(exactMinimum(space, on, none, 128, 10000, on, {false}).stop, ExactStop::none);
}

// The function of 9 inputs that is 1 when 3 to 6 of them are set: no prime is
// essential, 84 is its minimum (the independent rows meet it), and each limit
// stops it: one prime or one row short, or one branch.
TEST(ExactMinimum, SymmetricFunctionAndEachStop) {
    const CubeSpace space(9);
    CubeList on(space.words);
    for (uint32_t point = 0; point < 512; ++point) {
        const int ones = std::popcount(point);
        if (ones < 3 || ones > 6) continue;
        uint64_t* cube = on.append();
        for (uint32_t v = 0; v < 9; ++v) CubeSpace::setPair(cube, v, ((point >> v) & 1) + 1);
    }
    const CubeList none(space.words);
    const CubeList heuristic = minimizeCover(space, on, none);
    const ExactCover exact = exactMinimum(space, on, none, 20000, 100000, heuristic);
    EXPECT_EQ(exact.stop, ExactStop::none);
    EXPECT_EQ(exact.cover.size(), 84u);
    EXPECT_EQ(literalCount(space, exact.cover), 504u);
    CubeList primes(space.words);
    ASSERT_TRUE(primesMeeting(space, on, on, 20000, primes));
    const auto primeCount = primes.size();
    EXPECT_EQ(exactMinimum(space, on, none, primeCount - 1, 100000, heuristic).stop,
              ExactStop::primes);
    std::vector<std::vector<uint32_t>> rows;
    ASSERT_TRUE(leastRows(space, primes, none, on, 20000, rows));
    const auto rowCount = rows.size();
    EXPECT_GT(rowCount, 1u);
    rows.clear();
    EXPECT_FALSE(leastRows(space, primes, none, on, rowCount - 1, rows));
    EXPECT_EQ(exactMinimum(space, on, none, 20000, 1, heuristic).stop, ExactStop::search);
}

}  // namespace
