#include "normal/two_level_cubes.h"

#include <algorithm>
#include <numeric>

CubeSpace::CubeSpace(uint32_t variableCount)
    : variables(variableCount), words(std::max<uint32_t>(1, (variableCount + 31) / 32)) {
    full.assign(words, 0);
    for (uint32_t v = 0; v < variableCount; ++v) full[wordOf(v)] |= uint64_t{3} << shiftOf(v);
}

void CubeList::keepFlagged(const std::vector<char>& keep) {
    uint32_t kept = 0;
    for (uint32_t i = 0; i < size(); ++i) {
        if (!keep[i]) continue;
        if (kept != i) std::copy_n((*this)[i], width, (*this)[kept]);
        ++kept;
    }
    data.resize(std::size_t{kept} * width);
}

void cofactorInto(const CubeSpace& space, const CubeList& list, const uint64_t* cube,
                  CubeList& out) {
    out.clear();
    // Written in place and cut to what was kept: the minimizer's inner loops call
    // this for every cube of a cover.
    uint64_t* result = out.extend(list.size());
    uint32_t kept = 0;
    if (space.words == 1) {
        const uint64_t freed = ~cube[0] & space.full[0];
        for (uint32_t i = 0; i < list.size(); ++i) {
            const uint64_t member = *list[i];
            if (space.disjoint(&member, cube)) continue;
            result[kept++] = member | freed;
        }
    } else {
        for (uint32_t i = 0; i < list.size(); ++i) {
            const uint64_t* member = list[i];
            if (space.disjoint(member, cube)) continue;
            uint64_t* into = result + std::size_t{kept++} * space.words;
            for (uint32_t w = 0; w < space.words; ++w)
                into[w] = member[w] | (~cube[w] & space.full[w]);
        }
    }
    out.shrinkTo(kept);
}

void cofactorInto(const CubeSpace& space, const CubeList& list, uint32_t variable, bool value,
                  CubeList& out) {
    out.clear();
    const uint32_t w = CubeSpace::wordOf(variable);
    const uint32_t shift = CubeSpace::shiftOf(variable);
    const uint64_t needed = uint64_t{value ? 2u : 1u} << shift;
    const uint64_t freed = uint64_t{3} << shift;
    for (uint32_t i = 0; i < list.size(); ++i) {
        const uint64_t* member = list[i];
        if ((member[w] & needed) == 0) continue;
        uint64_t* result = out.append();
        std::copy_n(member, space.words, result);
        result[w] |= freed;
    }
}

void removeContained(const CubeSpace& space, CubeList& list) {
    const uint32_t count = list.size();
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::vector<uint32_t> literals(count);
    for (uint32_t i = 0; i < count; ++i) literals[i] = space.literalCount(list[i]);
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return literals[a] < literals[b]; });
    std::vector<char> keep(count, 0);
    std::vector<uint32_t> kept;
    for (uint32_t i : order) {
        bool covered = false;
        for (uint32_t k : kept) {
            if (space.contains(list[k], list[i])) {
                covered = true;
                break;
            }
        }
        if (covered) continue;
        keep[i] = 1;
        kept.push_back(i);
    }
    list.keepFlagged(keep);
}

uint64_t literalCount(const CubeSpace& space, const CubeList& list) {
    uint64_t count = 0;
    for (uint32_t i = 0; i < list.size(); ++i) count += space.literalCount(list[i]);
    return count;
}
