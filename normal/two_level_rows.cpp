#include "normal/two_level_rows.h"

#include <algorithm>

#include "normal/two_level_unate.h"

namespace {

class RowFinder {
  public:
    RowFinder(const CubeSpace& cubeSpace, const CubeList& primeList, const CubeList& settledCubes,
              uint64_t rowLimit, std::vector<std::vector<uint32_t>>& into)
        : space(cubeSpace),
          primes(primeList),
          settled(settledCubes),
          limit(rowLimit),
          rows(into),
          byFirst(primeList.size()),
          scratch(cubeSpace.words),
          counts(cubeSpace.variables) {}

    bool addRowsOf(const uint64_t* cube) {
        std::vector<uint32_t> meeting;
        for (uint32_t p = 0; p < primes.size(); ++p) {
            if (!space.disjoint(primes[p], cube)) meeting.push_back(p);
        }
        std::vector<uint64_t> region(cube, cube + space.words);
        return split(region, meeting);
    }

    bool finish() {
        compact();
        return rows.size() <= limit;
    }

  private:
    const CubeSpace& space;
    const CubeList& primes;
    const CubeList& settled;
    uint64_t limit;
    std::vector<std::vector<uint32_t>>& rows;
    std::vector<std::vector<uint32_t>> byFirst;  // per column, the rows starting there
    uint64_t compactAt = 4096;
    CubeList scratch;
    std::vector<uint32_t> counts;

    // Whether some row found has all its columns among `columns` (ascending).
    bool holdsARow(const std::vector<uint32_t>& columns) const {
        for (size_t c = 0; c < columns.size(); ++c) {
            for (uint32_t r : byFirst[columns[c]]) {
                const auto& row = rows[r];
                if (std::includes(columns.begin() + static_cast<std::ptrdiff_t>(c), columns.end(),
                                  row.begin(), row.end())) {
                    return true;
                }
            }
        }
        return false;
    }

    void compact() {
        dropDominatedRows(rows);
        for (auto& list : byFirst) list.clear();
        for (uint32_t r = 0; r < rows.size(); ++r) byFirst[rows[r].front()].push_back(r);
        compactAt = std::max<uint64_t>(compactAt, 2 * uint64_t{rows.size()});
    }

    bool split(std::vector<uint64_t>& region, const std::vector<uint32_t>& meeting) {
        std::vector<uint32_t> holding;
        for (uint32_t p : meeting) {
            if (space.contains(primes[p], region.data())) holding.push_back(p);
        }
        if (holdsARow(holding)) return true;
        if (!settled.empty() && coversCube(space, settled, region.data(), scratch)) return true;
        if (holding.size() == meeting.size()) {
            rows.push_back(meeting);
            byFirst[meeting.front()].push_back(static_cast<uint32_t>(rows.size() - 1));
            if (rows.size() > compactAt) compact();
            return rows.size() <= limit;
        }
        std::fill(counts.begin(), counts.end(), 0);
        for (uint32_t p : meeting) {
            for (uint32_t v = 0; v < space.variables; ++v) {
                if (CubeSpace::pairOf(region.data(), v) == 3 &&
                    CubeSpace::pairOf(primes[p], v) != 3) {
                    ++counts[v];
                }
            }
        }
        const auto v =
            static_cast<uint32_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
        for (const uint64_t pair : {uint64_t{1}, uint64_t{2}}) {
            std::vector<uint64_t> half = region;
            CubeSpace::setPair(half.data(), v, pair);
            std::vector<uint32_t> inHalf;
            for (uint32_t p : meeting) {
                if (!space.disjoint(primes[p], half.data())) inHalf.push_back(p);
            }
            if (!split(half, inHalf)) return false;
        }
        return true;
    }
};

}  // namespace

void dropDominatedRows(std::vector<std::vector<uint32_t>>& rows) {
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // The kept rows by their first column: a row inside row r starts at a column of r.
    std::vector<std::vector<uint32_t>> byFirst;
    size_t kept = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        bool dominated = false;
        for (size_t c = 0; c < row.size() && !dominated; ++c) {
            if (row[c] >= byFirst.size()) continue;
            for (uint32_t k : byFirst[row[c]]) {
                const auto& small = rows[k];
                if (std::includes(row.begin() + static_cast<std::ptrdiff_t>(c), row.end(),
                                  small.begin(), small.end())) {
                    dominated = true;
                    break;
                }
            }
        }
        if (dominated) continue;
        if (kept != r) rows[kept] = std::move(rows[r]);
        const uint32_t first = rows[kept].front();
        if (first >= byFirst.size()) byFirst.resize(first + 1);
        byFirst[first].push_back(static_cast<uint32_t>(kept));
        ++kept;
    }
    rows.resize(kept);
}

bool leastRows(const CubeSpace& space, const CubeList& primes, const CubeList& settled,
               const CubeList& open, uint64_t limit, std::vector<std::vector<uint32_t>>& rows) {
    RowFinder finder(space, primes, settled, limit, rows);
    for (uint32_t i = 0; i < open.size(); ++i) {
        if (!finder.addRowsOf(open[i])) return false;
    }
    return finder.finish();
}
