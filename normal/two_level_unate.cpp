// Each routine looks at the columns first: how many cubes hold each variable's
// complemented and uncomplemented literal. A variable with literals of one polarity
// only is unate; splitting on the variable with the most literals of both kinds
// shrinks both cofactors fastest.
#include "normal/two_level_unate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace {

// Past this many pairs of cubes of the two halves, a complement's halves are joined
// by merging equal cubes only.
constexpr uint64_t liftingLimit = uint64_t{1} << 22;

struct Columns {
    std::vector<uint32_t> zeros;  // cubes with the complemented literal
    std::vector<uint32_t> ones;   // cubes with the uncomplemented literal
    bool anyBinate = false;
    bool anyUnate = false;
};

// Counts per variable kept bit-sliced: plane p holds bit p of every variable's
// count (at the low bit of its pair), so adding a cube's literals is a few word
// operations with a carry, whatever the number of literals.
class SlicedCounts {
  public:
    explicit SlicedCounts(uint32_t cubes) {
        while ((uint64_t{1} << planeCount) <= cubes) ++planeCount;
    }
    void add(uint64_t bits) {
        for (uint32_t p = 0; bits != 0; ++p) {
            const uint64_t carry = planes[p] & bits;
            planes[p] ^= bits;
            bits = carry;
        }
    }
    // Adds the counts to those of the word's 32 variables from `first` on.
    void addTo(std::vector<uint32_t>& counts, uint32_t first) const {
        for (uint32_t p = 0; p < planeCount; ++p) {
            for (uint64_t bits = planes[p]; bits != 0; bits &= bits - 1) {
                counts[first + static_cast<uint32_t>(std::countr_zero(bits)) / 2] += 1u << p;
            }
        }
    }

  private:
    uint32_t planeCount = 1;
    std::array<uint64_t, 33> planes{};
};

Columns columnsOf(const CubeSpace& space, const CubeList& list) {
    Columns columns;
    columns.zeros.assign(space.variables, 0);
    columns.ones.assign(space.variables, 0);
    for (uint32_t w = 0; w < space.words; ++w) {
        SlicedCounts zeros(list.size());
        SlicedCounts ones(list.size());
        for (uint32_t i = 0; i < list.size(); ++i) {
            const uint64_t word = list[i][w];
            // 01 is the complemented literal, 10 the uncomplemented one.
            zeros.add(word & ~(word >> 1) & CubeSpace::lowBits);
            ones.add((word >> 1) & ~word & CubeSpace::lowBits);
        }
        zeros.addTo(columns.zeros, w * 32);
        ones.addTo(columns.ones, w * 32);
    }
    for (uint32_t v = 0; v < space.variables; ++v) {
        const bool zero = columns.zeros[v] != 0;
        const bool one = columns.ones[v] != 0;
        if (zero && one) columns.anyBinate = true;
        if (zero != one) columns.anyUnate = true;
    }
    return columns;
}

// The most binate variable (most literals, ties to the more balanced), or with no
// binate variable the one with most literals; -1 when no cube has a literal.
int64_t splittingVariable(const CubeSpace& space, const Columns& columns) {
    int64_t best = -1;
    uint64_t bestKey = 0;
    for (uint32_t v = 0; v < space.variables; ++v) {
        const uint32_t zeros = columns.zeros[v];
        const uint32_t ones = columns.ones[v];
        if (zeros + ones == 0) continue;
        if (columns.anyBinate && (zeros == 0 || ones == 0)) continue;
        const uint64_t key = (uint64_t{zeros + ones} << 32) | std::min(zeros, ones);
        if (best < 0 || key > bestKey) {
            best = v;
            bestKey = key;
        }
    }
    return best;
}

// The split of a tautology test, where every variable is binate: the variable with
// most literals among the largest cubes (those within one literal of the fewest),
// ties to the most literals overall. The largest cubes decide a tautology; once
// their variables are split off they are the universe in every cofactor, so a
// few large cubes among many small ones end the test in a few levels.
uint32_t tautologySplit(const CubeSpace& space, const CubeList& list, const Columns& columns) {
    std::vector<uint32_t> literals(list.size());
    uint32_t fewest = UINT32_MAX;
    for (uint32_t i = 0; i < list.size(); ++i) {
        literals[i] = space.literalCount(list[i]);
        fewest = std::min(fewest, literals[i]);
    }
    std::vector<uint32_t> inLargest(space.variables, 0);
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (literals[i] > fewest + 1) continue;
        for (uint32_t w = 0; w < space.words; ++w) {
            uint64_t bits = CubeSpace::literalBits(list[i], w);
            while (bits != 0) {
                ++inLargest[w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2];
                bits &= bits - 1;
            }
        }
    }
    uint32_t best = 0;
    uint64_t bestKey = 0;
    for (uint32_t v = 0; v < space.variables; ++v) {
        const uint64_t key = (uint64_t{inLargest[v]} << 32) | (columns.zeros[v] + columns.ones[v]);
        if (key > bestKey) {
            best = v;
            bestKey = key;
        }
    }
    return best;
}

bool holdsUniverse(const CubeSpace& space, const CubeList& list) {
    for (uint32_t i = 0; i < list.size(); ++i) {
        if (space.isUniverse(list[i])) return true;
    }
    return false;
}

// Whether the cubes' volumes cannot add up to the space, so no tautology.
bool tooSmallForTautology(const CubeSpace& space, const CubeList& list) {
    double volume = 0;
    for (uint32_t i = 0; i < list.size(); ++i) {
        volume += std::ldexp(1.0, -static_cast<int>(space.literalCount(list[i])));
        if (volume >= 1.0) return false;
    }
    return volume < 1.0 - 1e-9;
}

// The cube with `variable` set to the pair given.
void restrictVariable(uint64_t* cube, uint32_t variable, uint64_t pair) {
    CubeSpace::setPair(cube, variable, pair);
}

// Order of cubes by their words, for finding equal cubes.
std::vector<uint32_t> sortedOrder(const CubeSpace& space, const CubeList& list) {
    std::vector<uint32_t> order(list.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return std::lexicographical_compare(list[a], list[a] + space.words, list[b],
                                            list[b] + space.words);
    });
    return order;
}

int compareCubes(const CubeSpace& space, const uint64_t* a, const uint64_t* b) {
    for (uint32_t w = 0; w < space.words; ++w) {
        if (a[w] != b[w]) return a[w] < b[w] ? -1 : 1;
    }
    return 0;
}

// x·high + x'·low, a cube present in both halves kept once without the literal.
CubeList joinHalves(const CubeSpace& space, uint32_t variable, const CubeList& high,
                    const CubeList& low) {
    CubeList result(space.words);
    result.reserve(high.size() + low.size());
    const std::vector<uint32_t> highOrder = sortedOrder(space, high);
    const std::vector<uint32_t> lowOrder = sortedOrder(space, low);
    size_t h = 0;
    size_t l = 0;
    while (h < highOrder.size() || l < lowOrder.size()) {
        int order = 0;
        if (h == highOrder.size()) {
            order = 1;
        } else if (l == lowOrder.size()) {
            order = -1;
        } else {
            order = compareCubes(space, high[highOrder[h]], low[lowOrder[l]]);
        }
        if (order == 0) {
            result.append(high[highOrder[h++]]);
            ++l;
        } else if (order < 0) {
            uint64_t* cube = result.append();
            std::copy_n(high[highOrder[h++]], space.words, cube);
            restrictVariable(cube, variable, 2);
        } else {
            uint64_t* cube = result.append();
            std::copy_n(low[lowOrder[l++]], space.words, cube);
            restrictVariable(cube, variable, 1);
        }
    }
    return result;
}

// The complement, or false once it has made more cubes than `budget` allows.
bool complementInto(const CubeSpace& space, const CubeList& list, uint64_t& budget,
                    CubeList& result) {
    result.clear();
    if (list.empty()) {
        space.setUniverse(result.append());
        return true;
    }
    if (holdsUniverse(space, list)) return true;
    if (list.size() == 1) {
        const uint64_t* cube = list[0];
        for (uint32_t v = 0; v < space.variables; ++v) {
            const uint64_t pair = CubeSpace::pairOf(cube, v);
            if (pair == 3) continue;
            uint64_t* flipped = result.append();
            space.setUniverse(flipped);
            CubeSpace::setPair(flipped, v, pair ^ 3);
        }
        return true;
    }
    const Columns columns = columnsOf(space, list);
    const auto variable = static_cast<uint32_t>(splittingVariable(space, columns));
    CubeList half(space.words);
    CubeList high(space.words);
    CubeList low(space.words);
    cofactorInto(space, list, variable, true, half);
    if (!complementInto(space, half, budget, high)) return false;
    cofactorInto(space, list, variable, false, half);
    if (!complementInto(space, half, budget, low)) return false;
    const uint64_t made = uint64_t{high.size()} + low.size();
    if (made > budget) return false;
    budget -= made;
    if (uint64_t{high.size()} * low.size() > liftingLimit) {
        result = joinHalves(space, variable, high, low);
        return true;
    }
    // x·a + x'·b with a inside b is x·a + b, and then x·a goes: a cube inside a cube
    // of the other half loses the split literal, and what it then contains goes.
    // The complement gets far fewer cubes, which every later use of it pays for.
    CubeList& joined = result;
    joined.reserve(high.size() + low.size());
    const auto lift = [&](const CubeList& part, const CubeList& other, uint64_t pair) {
        for (uint32_t i = 0; i < part.size(); ++i) {
            uint64_t* cube = joined.append();
            std::copy_n(part[i], space.words, cube);
            bool inside = false;
            for (uint32_t j = 0; j < other.size() && !inside; ++j) {
                inside = space.contains(other[j], part[i]);
            }
            if (!inside) CubeSpace::setPair(cube, variable, pair);
        }
    };
    lift(high, low, 2);
    lift(low, high, 1);
    removeContained(space, joined);
    return true;
}

}  // namespace

CubeList complementOf(const CubeSpace& space, const CubeList& list) {
    uint64_t budget = UINT64_MAX;
    CubeList result(space.words);
    complementInto(space, list, budget, result);
    return result;
}

bool complementWithin(const CubeSpace& space, const CubeList& list, uint64_t budget,
                      CubeList& out) {
    return complementInto(space, list, budget, out);
}

bool isTautology(const CubeSpace& space, const CubeList& list) {
    if (list.empty()) return false;
    if (holdsUniverse(space, list)) return true;
    if (tooSmallForTautology(space, list)) return false;
    const Columns columns = columnsOf(space, list);
    if (columns.anyUnate) {
        // A cube with a literal of a unate variable never decides the question: the
        // cofactor on the other value of that variable lacks it and is the harder
        // half. So the cubes free of every unate variable decide alone.
        CubeList reduced(space.words);
        for (uint32_t i = 0; i < list.size(); ++i) {
            const uint64_t* cube = list[i];
            bool unateLiteral = false;
            for (uint32_t w = 0; w < space.words && !unateLiteral; ++w) {
                uint64_t bits = CubeSpace::literalBits(cube, w);
                while (bits != 0) {
                    const uint32_t v = w * 32 + static_cast<uint32_t>(std::countr_zero(bits)) / 2;
                    bits &= bits - 1;
                    if (columns.zeros[v] == 0 || columns.ones[v] == 0) {
                        unateLiteral = true;
                        break;
                    }
                }
            }
            if (!unateLiteral) reduced.append(cube);
        }
        return isTautology(space, reduced);
    }
    const uint32_t variable = tautologySplit(space, list, columns);
    CubeList half(space.words);
    cofactorInto(space, list, variable, false, half);
    if (!isTautology(space, half)) return false;
    cofactorInto(space, list, static_cast<uint32_t>(variable), true, half);
    return isTautology(space, half);
}

bool complementSupercube(const CubeSpace& space, const CubeList& list, uint64_t* out) {
    if (list.empty()) {
        space.setUniverse(out);
        return true;
    }
    if (holdsUniverse(space, list)) return false;
    if (list.size() == 1) {
        const uint64_t* cube = list[0];
        space.setUniverse(out);
        if (space.literalCount(cube) == 1) {
            // The one literal flipped, every other variable free.
            for (uint32_t v = 0; v < space.variables; ++v) {
                const uint64_t pair = CubeSpace::pairOf(cube, v);
                CubeSpace::setPair(out, v, pair == 3 ? 3 : pair ^ 3);
            }
        }
        return true;
    }
    const Columns columns = columnsOf(space, list);
    if (!columns.anyBinate) {
        // A unate cover without the universe misses the point that falsifies every
        // literal, and the points that differ from it in one variable unless that
        // variable's literal is a cube on its own: only such variables are fixed.
        space.setUniverse(out);
        for (uint32_t i = 0; i < list.size(); ++i) {
            if (space.literalCount(list[i]) != 1) continue;
            for (uint32_t v = 0; v < space.variables; ++v) {
                const uint64_t pair = CubeSpace::pairOf(list[i], v);
                if (pair != 3) CubeSpace::setPair(out, v, pair ^ 3);
            }
        }
        return true;
    }
    const auto variable = static_cast<uint32_t>(splittingVariable(space, columns));
    CubeList half(space.words);
    std::vector<uint64_t> highCube(space.words);
    std::vector<uint64_t> lowCube(space.words);
    cofactorInto(space, list, variable, true, half);
    const bool high = complementSupercube(space, half, highCube.data());
    cofactorInto(space, list, variable, false, half);
    bool low = false;
    if (high && space.isUniverse(highCube.data())) {
        // The low half can only add the literal's freedom: whether it leaves any
        // point decides.
        low = !isTautology(space, half);
        space.setUniverse(lowCube.data());
    } else {
        low = complementSupercube(space, half, lowCube.data());
    }
    if (!high && !low) return false;
    if (high && low) {
        for (uint32_t w = 0; w < space.words; ++w) out[w] = highCube[w] | lowCube[w];
    } else if (high) {
        std::copy_n(highCube.data(), space.words, out);
        CubeSpace::setPair(out, variable, 2);
    } else {
        std::copy_n(lowCube.data(), space.words, out);
        CubeSpace::setPair(out, variable, 1);
    }
    return true;
}

int64_t mostBinateVariable(const CubeSpace& space, const CubeList& list) {
    const Columns columns = columnsOf(space, list);
    return columns.anyBinate ? splittingVariable(space, columns) : -1;
}

bool coversCube(const CubeSpace& space, const CubeList& list, const uint64_t* cube,
                CubeList& scratch) {
    cofactorInto(space, list, cube, scratch);
    return isTautology(space, scratch);
}
