// Whether a cube of a small space holds a point (bit v of the point: input v is 1),
// for the minimizer's tests, which check covers point by point.
#pragma once

#include <cstdint>

#include "normal/two_level_cubes.h"

inline bool holdsPoint(const CubeSpace& space, const uint64_t* cube, uint32_t point) {
    for (uint32_t v = 0; v < space.variables; ++v) {
        const uint64_t wanted = ((point >> v) & 1) != 0 ? 2 : 1;
        if ((CubeSpace::pairOf(cube, v) & wanted) == 0) return false;
    }
    return true;
}
