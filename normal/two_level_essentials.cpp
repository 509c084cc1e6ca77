#include "normal/two_level_essentials.h"

#include "normal/two_level_unate.h"

namespace {

// The consensus of `other` with `cube` into `consensus`, unless they are two or
// more variables apart.
void addConsensus(const CubeSpace& space, const uint64_t* cube, const uint64_t* other,
                  CubeList& consensus) {
    uint32_t clashWord = 0;
    uint64_t clash = 0;
    uint32_t distance = 0;
    for (uint32_t w = 0; w < space.words && distance < 2; ++w) {
        const uint64_t bits = space.clashBits(cube, other, w);
        if (bits == 0) continue;
        distance += static_cast<uint32_t>(std::popcount(bits));
        clashWord = w;
        clash = bits;
    }
    if (distance >= 2) return;
    uint64_t* meet = consensus.append();
    for (uint32_t w = 0; w < space.words; ++w) meet[w] = cube[w] & other[w];
    meet[clashWord] |= clash | (clash << 1);
}

}  // namespace

std::vector<char> essentialFlags(const CubeSpace& space, const CubeList& cover,
                                 const CubeList& dontCare) {
    std::vector<char> essential(cover.size(), 0);
    CubeList consensus(space.words);
    CubeList scratch(space.words);
    for (uint32_t i = 0; i < cover.size(); ++i) {
        consensus.clear();
        for (uint32_t j = 0; j < cover.size(); ++j) {
            if (j != i) addConsensus(space, cover[i], cover[j], consensus);
        }
        for (uint32_t d = 0; d < dontCare.size(); ++d) {
            addConsensus(space, cover[i], dontCare[d], consensus);
        }
        essential[i] = coversCube(space, consensus, cover[i], scratch) ? 0 : 1;
    }
    return essential;
}
