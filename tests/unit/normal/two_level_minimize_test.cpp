// The two-level minimizer against truth tables: random covers of 1 to 10 inputs,
// with and without don't-cares, must give a cover that holds the ON-set, stays in
// ON ∪ DC, has only prime cubes (raising any literal meets the OFF-set) and no
// redundant cube (dropping any leaves a point of the ON-set bare). The unate
// routines (tautology, complement, the supercube of a complement) are checked
// against the same tables, and wide functions against their known minimum.
#include "normal/two_level_minimize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

#include "normal/two_level_unate.h"
#include "tests/unit/normal/cube_points.h"

namespace {

// Which points of the space the cover holds.
std::vector<char> tableOf(const CubeSpace& space, const CubeList& cover) {
    std::vector<char> table(size_t{1} << space.variables, 0);
    for (uint32_t point = 0; point < table.size(); ++point) {
        for (uint32_t c = 0; c < cover.size() && !table[point]; ++c) {
            table[point] = holdsPoint(space, cover[c], point);
        }
    }
    return table;
}

CubeList randomCover(const CubeSpace& space, std::mt19937& random, uint32_t cubes,
                     int freePercent) {
    CubeList cover(space.words);
    for (uint32_t c = 0; c < cubes; ++c) {
        uint64_t* cube = cover.append();
        space.setUniverse(cube);
        for (uint32_t v = 0; v < space.variables; ++v) {
            if (static_cast<int>(random() % 100) < freePercent) continue;
            CubeSpace::setPair(cube, v, random() % 2 != 0 ? 2 : 1);
        }
    }
    return cover;
}

// Raising literal `v` of `cube` gives a cube that meets the OFF-set.
bool raisingMeetsOff(const CubeSpace& space, const uint64_t* cube, uint32_t v,
                     const std::vector<char>& off) {
    std::vector<uint64_t> raised(cube, cube + space.words);
    CubeSpace::setPair(raised.data(), v, 3);
    for (uint32_t point = 0; point < off.size(); ++point) {
        if (off[point] && holdsPoint(space, raised.data(), point)) return true;
    }
    return false;
}

struct Case {
    uint32_t variables;
    uint32_t onCubes;
    uint32_t dontCareCubes;
    int freePercent;
};

// The result holds ON, stays in ON ∪ DC, every cube prime, none redundant.
void expectPrimeIrredundantCover(const CubeSpace& space, const CubeList& on, const CubeList& dc,
                                 const CubeList& result, int round) {
    const std::vector<char> onTable = tableOf(space, on);
    const std::vector<char> dcTable = tableOf(space, dc);
    const std::vector<char> resultTable = tableOf(space, result);
    std::vector<char> off(onTable.size());
    for (uint32_t point = 0; point < onTable.size(); ++point) {
        off[point] = !onTable[point] && !dcTable[point];
        if (dcTable[point]) continue;
        ASSERT_EQ(resultTable[point], onTable[point]) << "point " << point << " round " << round;
    }
    for (uint32_t c = 0; c < result.size(); ++c) {
        for (uint32_t v = 0; v < space.variables; ++v) {
            if (CubeSpace::pairOf(result[c], v) == 3) continue;
            EXPECT_TRUE(raisingMeetsOff(space, result[c], v, off))
                << "cube " << c << " is not prime in variable " << v << " round " << round;
        }
        CubeList without(space.words);
        for (uint32_t other = 0; other < result.size(); ++other) {
            if (other != c) without.append(result[other]);
        }
        const std::vector<char> rest = tableOf(space, without);
        bool needed = false;
        for (uint32_t point = 0; point < onTable.size() && !needed; ++point) {
            needed = onTable[point] && !dcTable[point] && !rest[point];
        }
        EXPECT_TRUE(needed) << "cube " << c << " is redundant, round " << round;
    }
}

class MinimizeRandom : public testing::TestWithParam<Case> {};

TEST_P(MinimizeRandom, PrimeIrredundantAndExactOnTheCareSet) {
    const Case& setting = GetParam();
    std::mt19937 random(1234 + setting.variables * 7 + setting.onCubes);
    const CubeSpace space(setting.variables);
    for (int round = 0; round < 40; ++round) {
        const CubeList on = randomCover(space, random, setting.onCubes, setting.freePercent);
        const CubeList dc = randomCover(space, random, setting.dontCareCubes, setting.freePercent);
        expectPrimeIrredundantCover(space, on, dc, minimizeCover(space, on, dc), round);
    }
}

TEST(MinimizeRandom, CoversTooLargeForASecondRun) {
    // Covers whose cubes times OFF cubes pass the bound of a second run take the
    // bounded refinement from the best cover instead; the result is checked the
    // same way.
    std::mt19937 random(77);
    const CubeSpace space(11);
    for (int round = 0; round < 3; ++round) {
        const CubeList on = randomCover(space, random, 160, 12);
        const CubeList dc = randomCover(space, random, round == 0 ? 0 : 40, 12);
        expectPrimeIrredundantCover(space, on, dc, minimizeCover(space, on, dc), round);
    }
}

INSTANTIATE_TEST_SUITE_P(Covers, MinimizeRandom,
                         testing::Values(Case{1, 1, 0, 50}, Case{2, 3, 0, 40}, Case{3, 4, 1, 40},
                                         Case{4, 6, 0, 30}, Case{5, 10, 2, 30}, Case{6, 16, 0, 25},
                                         Case{7, 20, 4, 25}, Case{8, 30, 0, 20}, Case{9, 40, 6, 20},
                                         Case{10, 60, 0, 20}, Case{10, 40, 10, 30},
                                         Case{10, 200, 0, 10}));

TEST(UnateRecursion, AgreesWithTruthTables) {
    std::mt19937 random(99);
    for (uint32_t variables = 1; variables <= 9; ++variables) {
        const CubeSpace space(variables);
        for (int round = 0; round < 60; ++round) {
            const CubeList cover =
                randomCover(space, random, 1 + random() % (4 * variables), 20 + round % 50);
            const std::vector<char> table = tableOf(space, cover);
            bool everyPoint = true;
            for (char held : table) everyPoint = everyPoint && held;
            EXPECT_EQ(isTautology(space, cover), everyPoint);

            const std::vector<char> complement = tableOf(space, complementOf(space, cover));
            for (uint32_t point = 0; point < table.size(); ++point) {
                ASSERT_NE(complement[point], table[point]) << "point " << point;
            }

            std::vector<uint64_t> supercube(space.words);
            const bool any = complementSupercube(space, cover, supercube.data());
            EXPECT_EQ(any, !everyPoint);
            if (!any) continue;
            // It holds every point of the complement and is the smallest such cube:
            // each free variable takes both values among those points.
            std::vector<uint64_t> seen(space.words, 0);
            for (uint32_t point = 0; point < table.size(); ++point) {
                if (table[point]) continue;
                EXPECT_TRUE(holdsPoint(space, supercube.data(), point));
                for (uint32_t v = 0; v < variables; ++v) {
                    CubeSpace::setPair(
                        seen.data(), v,
                        CubeSpace::pairOf(seen.data(), v) | (((point >> v) & 1) != 0 ? 2 : 1));
                }
            }
            EXPECT_TRUE(space.equal(seen.data(), supercube.data()));
        }
    }
}

// Covers whose minimum is known: constants, a cyclic core, a parity, and a wide
// function.
// The primes of the 9-input function that is 1 where 3 to 6 inputs are 1: three
// inputs at 1 and three at 0 each, 1,680 of them.
CubeList symmetricPrimes(const CubeSpace& space) {
    CubeList primes(space.words);
    for (uint32_t ones = 0; ones < 512; ++ones) {
        if (std::popcount(ones) != 3) continue;
        for (uint32_t zeros = 0; zeros < 512; ++zeros) {
            if (std::popcount(zeros) != 3 || (ones & zeros) != 0) continue;
            uint64_t* cube = primes.append();
            space.setUniverse(cube);
            for (uint32_t v = 0; v < 9; ++v) {
                if ((ones >> v) & 1) CubeSpace::setPair(cube, v, 2);
                if ((zeros >> v) & 1) CubeSpace::setPair(cube, v, 1);
            }
        }
    }
    return primes;
}

TEST(MinimizeKnown, SymmetricFunctionWrittenAsALocalMinimum) {
    // Covers of primes that no reduce and expand can shrink: the primes taken in a
    // shuffled order wherever they hold a point not yet held, then made irredundant.
    // Whichever of them is the input, the result is a cover of the function, and
    // not above 86 cubes (the minimum is 84; a loop that only refines the cover it
    // is given stays near 87).
    const CubeSpace space(9);
    const CubeList primes = symmetricPrimes(space);
    ASSERT_EQ(primes.size(), 1680u);
    std::vector<char> on(512, 0);
    for (uint32_t point = 0; point < 512; ++point) {
        on[point] = std::popcount(point) >= 3 && std::popcount(point) <= 6;
    }
    std::mt19937 random(9);
    for (int trial = 0; trial < 110; ++trial) {
        std::vector<uint32_t> order(primes.size());
        for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
        std::shuffle(order.begin(), order.end(), random);
        CubeList greedy(space.words);
        std::vector<char> held(512, 0);
        for (uint32_t p : order) {
            bool adds = false;
            for (uint32_t point = 0; point < 512 && !adds; ++point) {
                adds = !held[point] && holdsPoint(space, primes[p], point);
            }
            if (!adds) continue;
            greedy.append(primes[p]);
            for (uint32_t point = 0; point < 512; ++point) {
                held[point] = held[point] || holdsPoint(space, primes[p], point);
            }
        }
        const CubeList input = irredundantCover(space, greedy, CubeList(space.words));
        const CubeList result = minimizeCover(space, input, CubeList(space.words));
        EXPECT_EQ(tableOf(space, result), on) << "trial " << trial;
        // Given again, the cover the loop ended at is its own local minimum.
        const CubeList again = minimizeCover(space, result, CubeList(space.words));
        EXPECT_EQ(tableOf(space, again), on) << "trial " << trial;
        EXPECT_LE(again.size(), 86u) << "trial " << trial << ", first " << result.size();
    }
}

TEST(MinimizeKnown, ConstantsParityAndWideFunctions) {
    {
        const CubeSpace space(4);
        EXPECT_TRUE(minimizeCover(space, CubeList(space.words), CubeList(space.words)).empty());
        CubeList halves(space.words);
        uint64_t* x = halves.append();
        space.setUniverse(x);
        CubeSpace::setPair(x, 2, 2);
        uint64_t* notX = halves.append();
        space.setUniverse(notX);
        CubeSpace::setPair(notX, 2, 1);
        const CubeList one = minimizeCover(space, halves, CubeList(space.words));
        ASSERT_EQ(one.size(), 1u);
        EXPECT_TRUE(space.isUniverse(one[0]));
    }
    {
        // The cyclic function of minterms 0, 1, 2, 5, 6, 7: its six primes form a
        // cycle in which every prime is redundant, and three of them suffice.
        const CubeSpace space(3);
        CubeList primes(space.words);
        const char* texts[] = {"00-", "-01", "1-1", "11-", "-10", "0-0"};
        for (const char* text : texts) {
            uint64_t* cube = primes.append();
            space.setUniverse(cube);
            for (uint32_t v = 0; v < 3; ++v) {
                if (text[v] != '-') CubeSpace::setPair(cube, v, text[v] == '1' ? 2 : 1);
            }
        }
        const CubeList irredundant = irredundantCover(space, primes, CubeList(space.words));
        EXPECT_EQ(irredundant.size(), 3u);
        EXPECT_EQ(tableOf(space, irredundant), tableOf(space, primes));
        const CubeList minimal = minimizeCover(space, primes, CubeList(space.words));
        EXPECT_EQ(costOf(space, minimal).cubes, 3u);
        EXPECT_EQ(costOf(space, minimal).literals, 6u);
    }
    {
        // Parity of 5 inputs: all 16 minterms stay, none can grow.
        const CubeSpace space(5);
        CubeList minterms(space.words);
        for (uint32_t point = 0; point < 32; ++point) {
            if (std::popcount(point) % 2 == 0) continue;
            uint64_t* cube = minterms.append();
            for (uint32_t v = 0; v < 5; ++v) CubeSpace::setPair(cube, v, (point >> v) & 1 ? 2 : 1);
        }
        const CubeList result = minimizeCover(space, minterms, CubeList(space.words));
        EXPECT_EQ(costOf(space, result).cubes, 16u);
        EXPECT_EQ(costOf(space, result).literals, 80u);
    }
    {
        // Over 120 inputs: x0·x1·...·x119 + x0', the latter written as the 238
        // cubes x0'·xk and x0'·xk', minimizes to x0' + x1·x2·...·x119.
        const CubeSpace space(120);
        CubeList cover(space.words);
        for (uint32_t k = 1; k < 120; ++k) {
            for (uint64_t pair : {1, 2}) {
                uint64_t* cube = cover.append();
                space.setUniverse(cube);
                CubeSpace::setPair(cube, 0, 1);
                CubeSpace::setPair(cube, k, pair);
            }
        }
        uint64_t* all = cover.append();
        space.setUniverse(all);
        for (uint32_t v = 0; v < 120; ++v) CubeSpace::setPair(all, v, 2);
        const CubeList result = minimizeCover(space, cover, CubeList(space.words));
        ASSERT_EQ(result.size(), 2u);
        EXPECT_EQ(costOf(space, result).literals, 1u + 119u);
    }
}

}  // namespace
