#include "normal/two_level_irredundant.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <set>

#include "normal/two_level_covering.h"
#include "normal/two_level_unate.h"

namespace {

// Regions of one cube's split before its rows stop being refined: a region past
// the budget becomes the row "keep the cube itself or one that holds the region",
// which is always sound, though it may forbid a cheaper cover.
constexpr uint32_t regionBudget = 1 << 16;

constexpr int32_t fixedTag = -1;

// Branches the exact covering search may take before the greedy cover is used: the
// matrices of the irredundant step are small and nearly always solved far below it.
constexpr uint64_t exactBranchBudget = 2000;

// Cubes with, per cube, the partially redundant cube it is (its column) or fixedTag.
struct TaggedCubes {
    explicit TaggedCubes(uint32_t words) : cubes(words) {}
    CubeList cubes;
    std::vector<int32_t> tags;
};

class RowCollector {
  public:
    RowCollector(const CubeSpace& cubeSpace, std::vector<std::vector<uint32_t>>& into)
        : space(cubeSpace), rows(into), rest(cubeSpace.words) {}

    // Adds the rows of column `self` whose region is the whole space of `list`.
    void collect(const TaggedCubes& list, uint32_t self) {
        regions = 0;
        split(list, self, 0);
    }

  private:
    const CubeSpace& space;
    std::vector<std::vector<uint32_t>>& rows;
    uint32_t regions = 0;
    CubeList rest;
    std::set<std::vector<uint32_t>> seen;
    // The halves of each depth of the split, kept for the next region (a deque, so
    // that a deeper level added leaves the shallower ones where they are).
    std::deque<TaggedCubes> halves;
    std::vector<uint32_t> row;

    // The variable to split a region on where cubes hold all of it (else -1). A
    // unate cover is a tautology only through a cube that is the universe, so in a
    // unate region, and in one where some point lies in none of the other cubes,
    // the row "one of these cubes" is exact; elsewhere the others may cover the
    // region together, the row would forbid that, and the region is split further.
    int64_t splitOfCovered(const TaggedCubes& list) {
        const int64_t variable = mostBinateVariable(space, list.cubes);
        if (variable < 0) return -1;
        rest.clear();
        for (uint32_t i = 0; i < list.cubes.size(); ++i) {
            if (!space.isUniverse(list.cubes[i])) rest.append(list.cubes[i]);
        }
        return isTautology(space, rest) ? variable : -1;
    }

    void split(const TaggedCubes& list, uint32_t self, uint32_t depth) {
        row.clear();
        for (uint32_t i = 0; i < list.cubes.size(); ++i) {
            if (!space.isUniverse(list.cubes[i])) continue;
            if (list.tags[i] == fixedTag) return;
            row.push_back(static_cast<uint32_t>(list.tags[i]));
        }
        const int64_t variable =
            row.empty() ? mostBinateVariable(space, list.cubes) : splitOfCovered(list);
        if (variable < 0 || ++regions > regionBudget) {
            row.push_back(self);
            std::sort(row.begin(), row.end());
            // Neighbouring regions often give the same row: it is kept once.
            if (seen.insert(row).second) rows.push_back(row);
            return;
        }
        if (halves.size() <= depth) halves.emplace_back(space.words);
        for (const bool value : {false, true}) {
            TaggedCubes& half = halves[depth];
            half.cubes.clear();
            half.tags.clear();
            const auto v = static_cast<uint32_t>(variable);
            const uint64_t needed = uint64_t{value ? 2u : 1u} << CubeSpace::shiftOf(v);
            for (uint32_t i = 0; i < list.cubes.size(); ++i) {
                const uint64_t* cube = list.cubes[i];
                if ((cube[CubeSpace::wordOf(v)] & needed) == 0) continue;
                uint64_t* copy = half.cubes.append();
                std::copy_n(cube, space.words, copy);
                CubeSpace::setPair(copy, v, 3);
                half.tags.push_back(list.tags[i]);
            }
            split(half, self, depth + 1);
        }
    }
};

}  // namespace

std::vector<char> coverPartiallyRedundant(const CubeSpace& space, const CubeList& cover,
                                          const std::vector<uint32_t>& partial,
                                          const CubeList& fixed) {
    const auto columns = static_cast<uint32_t>(partial.size());
    std::vector<std::vector<uint32_t>> rows;
    RowCollector collector(space, rows);
    for (uint32_t self = 0; self < columns; ++self) {
        const uint64_t* cube = cover[partial[self]];
        TaggedCubes list(space.words);
        const auto take = [&](const uint64_t* member, int32_t tag) {
            if (space.disjoint(member, cube)) return;
            uint64_t* cofactor = list.cubes.append();
            for (uint32_t w = 0; w < space.words; ++w) {
                cofactor[w] = member[w] | (~cube[w] & space.full[w]);
            }
            list.tags.push_back(tag);
        };
        for (uint32_t i = 0; i < fixed.size(); ++i) take(fixed[i], fixedTag);
        for (uint32_t other = 0; other < columns; ++other) {
            if (other != self) take(cover[partial[other]], static_cast<int32_t>(other));
        }
        collector.collect(list, self);
    }

    std::vector<uint32_t> literals(columns);
    for (uint32_t c = 0; c < columns; ++c) literals[c] = space.literalCount(cover[partial[c]]);
    CoveringProblem problem;
    problem.costs.resize(columns);
    for (uint32_t c = 0; c < columns; ++c) problem.costs[c] = (uint64_t{1} << 32) + literals[c];
    problem.rows = rows;
    for (auto& row : problem.rows) {
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
    }
    if (const auto exact = minimumCostCover(problem, exactBranchBudget)) {
        std::vector<char> chosen(columns, 0);
        for (uint32_t c : *exact) chosen[c] = 1;
        return chosen;
    }

    // Greedy column cover, then the chosen columns no row needs are dropped.
    std::vector<std::vector<uint32_t>> rowsOf(columns);
    for (uint32_t r = 0; r < rows.size(); ++r) {
        for (uint32_t column : rows[r]) rowsOf[column].push_back(r);
    }
    std::vector<char> rowCovered(rows.size(), 0);
    std::vector<uint32_t> open(columns);
    for (uint32_t c = 0; c < columns; ++c) open[c] = static_cast<uint32_t>(rowsOf[c].size());
    std::vector<char> chosen(columns, 0);
    std::vector<uint32_t> chosenOrder;
    size_t uncovered = rows.size();
    while (uncovered > 0) {
        // The open row hardest to cover (fewest columns, then a column that covers
        // least besides), and of its columns the one that covers most open rows:
        // on the chains and cycles the last gasp leaves this takes every other cube.
        uint32_t hardest = 0;
        uint64_t hardestKey = UINT64_MAX;
        for (uint32_t r = 0; r < rows.size(); ++r) {
            if (rowCovered[r]) continue;
            uint32_t leastOpen = UINT32_MAX;
            for (uint32_t column : rows[r]) leastOpen = std::min(leastOpen, open[column]);
            const uint64_t key = (uint64_t{rows[r].size()} << 32) | leastOpen;
            if (key < hardestKey) {
                hardestKey = key;
                hardest = r;
            }
        }
        uint32_t best = rows[hardest].front();
        for (uint32_t c : rows[hardest]) {
            if (open[c] > open[best] || (open[c] == open[best] && literals[c] < literals[best])) {
                best = c;
            }
        }
        chosen[best] = 1;
        chosenOrder.push_back(best);
        for (uint32_t r : rowsOf[best]) {
            if (rowCovered[r]) continue;
            rowCovered[r] = 1;
            --uncovered;
            for (uint32_t column : rows[r]) --open[column];
        }
    }
    std::vector<uint32_t> chosenInRow(rows.size(), 0);
    for (uint32_t r = 0; r < rows.size(); ++r) {
        for (uint32_t column : rows[r]) chosenInRow[r] += chosen[column];
    }
    for (auto it = chosenOrder.rbegin(); it != chosenOrder.rend(); ++it) {
        const bool needed = std::any_of(rowsOf[*it].begin(), rowsOf[*it].end(),
                                        [&](uint32_t r) { return chosenInRow[r] == 1; });
        if (needed) continue;
        chosen[*it] = 0;
        for (uint32_t r : rowsOf[*it]) --chosenInRow[r];
    }
    return chosen;
}
