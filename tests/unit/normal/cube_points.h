// Whether a cube of a small space holds a point (bit v of the point: input v is 1),
// for the minimizer's tests, which check covers point by point.
#pragma once

#include <cstdint>
#include <random>

#include "normal/two_level_cubes.h"

inline bool holdsPoint(const CubeSpace& space, const uint64_t* cube, uint32_t point) {
    for (uint32_t v = 0; v < space.variables; ++v) {
        const uint64_t wanted = ((point >> v) & 1) != 0 ? 2 : 1;
        if ((CubeSpace::pairOf(cube, v) & wanted) == 0) return false;
    }
    return true;
}

// A cover of `cubes` random cubes, each variable free with `freePercent` chance and
// otherwise a literal of either sign.
inline CubeList randomCover(const CubeSpace& space, std::mt19937& random, uint32_t cubes,
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
