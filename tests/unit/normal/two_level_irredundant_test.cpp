// The irredundant step against every subset: for the primes of random functions of
// 4 to 6 inputs (with and without don't-cares), the subset it keeps must cover the
// care points of the cover and cost no more than the cheapest subset that does
// (fewest cubes, then fewest literals): its rows must not forbid a cover in which
// several cubes hold a region together that another single cube holds whole.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "normal/two_level_exact.h"
#include "normal/two_level_minimize.h"
#include "tests/unit/normal/cube_points.h"

namespace {

// Per cube, the points it holds as a bit mask (at most 6 inputs: 64 points).
std::vector<uint64_t> pointMasks(const CubeSpace& space, const CubeList& list) {
    std::vector<uint64_t> masks(list.size(), 0);
    for (uint32_t c = 0; c < list.size(); ++c) {
        for (uint32_t point = 0; point < (1u << space.variables); ++point) {
            if (holdsPoint(space, list[c], point)) masks[c] |= uint64_t{1} << point;
        }
    }
    return masks;
}

uint64_t unionOf(const std::vector<uint64_t>& masks) {
    uint64_t all = 0;
    for (uint64_t mask : masks) all |= mask;
    return all;
}

CubeList mintermsOf(const CubeSpace& space, uint64_t points) {
    CubeList list(space.words);
    for (uint32_t point = 0; point < (1u << space.variables); ++point) {
        if (((points >> point) & 1) == 0) continue;
        uint64_t* cube = list.append();
        for (uint32_t v = 0; v < space.variables; ++v) {
            CubeSpace::setPair(cube, v, ((point >> v) & 1) != 0 ? 2 : 1);
        }
    }
    return list;
}

struct Case {
    uint32_t variables;
    int onPercent;
    int dontCarePercent;
};

class IrredundantRandom : public testing::TestWithParam<Case> {};

TEST_P(IrredundantRandom, KeepsTheCheapestCoveringSubset) {
    const Case& setting = GetParam();
    const CubeSpace space(setting.variables);
    const uint32_t points = 1u << setting.variables;
    std::mt19937 random(77 + setting.variables * 13 + static_cast<uint32_t>(setting.onPercent));
    int checked = 0;
    for (int round = 0; round < 400 && checked < 60; ++round) {
        uint64_t on = 0;
        uint64_t dontCare = 0;
        for (uint32_t point = 0; point < points; ++point) {
            const auto roll = static_cast<int>(random() % 100);
            if (roll < setting.onPercent) {
                on |= uint64_t{1} << point;
            } else if (roll < setting.onPercent + setting.dontCarePercent) {
                dontCare |= uint64_t{1} << point;
            }
        }
        if (on == 0) continue;
        CubeList careless = mintermsOf(space, on | dontCare);
        CubeList primes(space.words);
        ASSERT_TRUE(allPrimes(space, careless, 1000, primes));
        if (primes.size() < 3 || primes.size() > 14) continue;
        const CubeList dontCares = mintermsOf(space, dontCare);
        const std::vector<uint64_t> masks = pointMasks(space, primes);
        const uint64_t needed = unionOf(masks) & ~dontCare;

        CoverCost cheapest{UINT64_MAX, UINT64_MAX};
        for (uint32_t subset = 0; subset < (1u << primes.size()); ++subset) {
            uint64_t held = 0;
            CoverCost cost;
            for (uint32_t c = 0; c < primes.size(); ++c) {
                if (((subset >> c) & 1) == 0) continue;
                held |= masks[c];
                ++cost.cubes;
                cost.literals += space.literalCount(primes[c]);
            }
            if ((held & needed) == needed && cost < cheapest) cheapest = cost;
        }

        const CubeList kept = irredundantCover(space, primes, dontCares);
        const uint64_t held = unionOf(pointMasks(space, kept));
        EXPECT_EQ(held & needed, needed) << "round " << round;
        const CoverCost cost = costOf(space, kept);
        EXPECT_EQ(cost.cubes, cheapest.cubes) << "round " << round;
        EXPECT_EQ(cost.literals, cheapest.literals) << "round " << round;
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

INSTANTIATE_TEST_SUITE_P(Functions, IrredundantRandom,
                         testing::Values(Case{4, 50, 0}, Case{5, 45, 0}, Case{5, 35, 20},
                                         Case{6, 40, 0}, Case{6, 15, 15}));

}  // namespace
