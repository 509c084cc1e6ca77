#include "normal/two_level_primes.h"

#include <algorithm>
#include <vector>

#include "normal/two_level_unate.h"

namespace {

bool meetsAny(const CubeSpace& space, const CubeList& region, const uint64_t* cube) {
    for (uint32_t r = 0; r < region.size(); ++r) {
        if (!space.disjoint(region[r], cube)) return true;
    }
    return false;
}

// The products one search may make, as a multiple of the limit: absorbing them
// costs time in proportion, so a function that makes this many stops as one past
// the limit does.
constexpr uint64_t productSlack = 4;

class PrimeFinder {
  public:
    PrimeFinder(const CubeSpace& cubeSpace, uint64_t primeLimit)
        : space(cubeSpace), limit(primeLimit) {}

    bool primes(const CubeList& list, const CubeList& region, CubeList& out) {
        out.clear();
        if (list.empty() || region.empty()) return true;
        for (uint32_t i = 0; i < list.size(); ++i) {
            if (space.isUniverse(list[i])) {
                out.append(list[i]);
                return true;
            }
        }
        const int64_t variable = mostBinateVariable(space, list);
        if (variable < 0) {
            for (uint32_t i = 0; i < list.size(); ++i) {
                if (meetsAny(space, region, list[i])) out.append(list[i]);
            }
            removeContained(space, out);
            return out.size() <= limit;
        }
        const auto v = static_cast<uint32_t>(variable);
        CubeList freed = region;
        for (uint32_t r = 0; r < freed.size(); ++r) CubeSpace::setPair(freed[r], v, 3);
        removeContained(space, freed);
        CubeList half(space.words);
        CubeList low(space.words);
        CubeList high(space.words);
        cofactorInto(space, list, v, false, half);
        if (!primes(half, freed, low)) return false;
        cofactorInto(space, list, v, true, half);
        if (!primes(half, freed, high)) return false;
        return merge(v, low, high, region, out);
    }

  private:
    const CubeSpace& space;
    uint64_t limit;
    uint64_t made = 0;  // products made so far

    // The cubes of `list` as sorted keys, to find the ones two lists share.
    std::vector<std::vector<uint64_t>> keysOf(const CubeList& list) const {
        std::vector<std::vector<uint64_t>> keys;
        keys.reserve(list.size());
        for (uint32_t i = 0; i < list.size(); ++i)
            keys.emplace_back(list[i], list[i] + space.words);
        std::sort(keys.begin(), keys.end());
        return keys;
    }

    bool merge(uint32_t v, const CubeList& low, const CubeList& high, const CubeList& region,
               CubeList& out) {
        const auto lowKeys = keysOf(low);
        const auto highKeys = keysOf(high);
        const auto isIn = [&](const auto& keys, const uint64_t* cube) {
            return std::binary_search(keys.begin(), keys.end(),
                                      std::vector<uint64_t>(cube, cube + space.words));
        };
        std::vector<uint32_t> lowOnly;
        for (uint32_t i = 0; i < low.size(); ++i) {
            if (isIn(highKeys, low[i])) {
                out.append(low[i]);
            } else {
                lowOnly.push_back(i);
            }
        }
        std::vector<uint32_t> highOnly;
        for (uint32_t j = 0; j < high.size(); ++j) {
            if (!isIn(lowKeys, high[j])) highOnly.push_back(j);
        }
        std::vector<uint64_t> cube(space.words);
        for (uint32_t i : lowOnly) {
            std::copy_n(low[i], space.words, cube.data());
            CubeSpace::setPair(cube.data(), v, 1);
            if (meetsAny(space, region, cube.data())) out.append(cube.data());
        }
        for (uint32_t j : highOnly) {
            std::copy_n(high[j], space.words, cube.data());
            CubeSpace::setPair(cube.data(), v, 2);
            if (meetsAny(space, region, cube.data())) out.append(cube.data());
        }
        // Most products are absorbed: the list is cut back to its maximal cubes
        // whenever it has doubled since the last time.
        uint64_t compactAt = std::max<uint64_t>(4096, 2 * uint64_t{out.size()});
        std::vector<uint64_t> product(space.words);
        for (uint32_t i : lowOnly) {
            for (uint32_t j : highOnly) {
                if (space.disjoint(low[i], high[j])) continue;
                for (uint32_t w = 0; w < space.words; ++w) product[w] = low[i][w] & high[j][w];
                if (!meetsAny(space, region, product.data())) continue;
                out.append(product.data());
                if (++made > productSlack * limit) return false;
            }
            if (out.size() >= compactAt) {
                removeContained(space, out);
                if (out.size() > limit) return false;
                compactAt = std::max<uint64_t>(compactAt, 2 * uint64_t{out.size()});
            }
        }
        removeContained(space, out);
        return out.size() <= limit;
    }
};

}  // namespace

bool primesMeeting(const CubeSpace& space, const CubeList& cover, const CubeList& region,
                   uint64_t limit, CubeList& primes) {
    PrimeFinder finder(space, limit);
    return finder.primes(cover, region, primes);
}
