// Each node of the search first reduces its problem until nothing changes: a row
// of one column makes that column part of every cover; a row that holds another
// row's columns is met whenever that row is; a column whose rows another column
// of no higher cost also has can give way to it. What is left branches on its
// shortest row: one branch per column of it, each later branch without the columns
// tried before, so the branches share no cover. A branch stops when its cost plus
// a lower bound (rows with no column in common each need a column of their own)
// reaches the best cover found.
#include "normal/two_level_covering.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace {

using Rows = std::vector<std::vector<uint32_t>>;

class Search {
  public:
    Search(const std::vector<uint64_t>& columnCosts, uint64_t branchBudget)
        : costs(columnCosts),
          budget(branchBudget),
          localOf(columnCosts.size(), -1),
          marked(columnCosts.size(), 0) {}

    bool exhausted = false;
    bool found = false;
    std::vector<uint32_t> best;
    uint64_t branches = 0;

    // Starts from a known cover: only cheaper ones are searched for.
    void bound(const std::vector<uint32_t>& cover) {
        bestCost = 0;
        for (uint32_t c : cover) bestCost += costs[c];
        bounded = true;
    }

    void solve(Rows rows, std::vector<uint32_t>& chosen, uint64_t spent) {
        if (exhausted) return;
        if (++branches > budget) {
            exhausted = true;
            return;
        }
        const size_t chosenBefore = chosen.size();
        const auto restore = [&] { chosen.resize(chosenBefore); };
        if (!reduce(rows, chosen, spent) || (pruning() && spent >= bestCost)) return restore();
        if (rows.empty()) {
            bestCost = spent;
            best = chosen;
            found = true;
            // The shallowest node on the path whose bound this cover meets ends
            // its search, and every node below it.
            cutDepth = SIZE_MAX;
            for (size_t d = 0; d < boundsOnPath.size() && cutDepth == SIZE_MAX; ++d) {
                if (boundsOnPath[d] >= bestCost) cutDepth = d;
            }
            return restore();
        }
        // The bound holds for every branch below (doing without columns only makes
        // a cover dearer), so a cover found deeper down that meets it ends the node.
        const uint64_t nodeBound = spent + lowerBound(rows, spent);
        if (pruning() && nodeBound >= bestCost) return restore();
        const size_t depth = boundsOnPath.size();
        boundsOnPath.push_back(nodeBound);

        const auto shortest =
            std::min_element(rows.begin(), rows.end(),
                             [](const auto& a, const auto& b) { return a.size() < b.size(); });
        std::vector<uint32_t> order = *shortest;
        std::vector<uint32_t> reach(order.size(), 0);
        for (size_t i = 0; i < order.size(); ++i) {
            for (const auto& row : rows) {
                reach[i] += std::binary_search(row.begin(), row.end(), order[i]) ? 1 : 0;
            }
        }
        std::vector<size_t> byPromise(order.size());
        std::iota(byPromise.begin(), byPromise.end(), 0);
        std::stable_sort(byPromise.begin(), byPromise.end(), [&](size_t a, size_t b) {
            return reach[a] != reach[b] ? reach[a] > reach[b] : costs[order[a]] < costs[order[b]];
        });
        for (size_t i : byPromise) {
            const uint32_t column = order[i];
            Rows rest;
            for (const auto& row : rows) {
                if (!std::binary_search(row.begin(), row.end(), column)) rest.push_back(row);
            }
            chosen.push_back(column);
            solve(std::move(rest), chosen, spent + costs[column]);
            chosen.pop_back();
            if (exhausted || cutDepth <= depth) break;
            // The later branches do without this column.
            bool emptied = false;
            for (auto& row : rows) {
                std::erase(row, column);
                emptied = emptied || row.empty();
            }
            if (emptied) break;
        }
        if (cutDepth == depth) cutDepth = SIZE_MAX;
        boundsOnPath.pop_back();
        restore();
    }

  private:
    const std::vector<uint64_t>& costs;
    uint64_t budget;
    uint64_t bestCost = 0;
    bool bounded = false;                // bestCost holds an incumbent's cost
    std::vector<uint64_t> boundsOnPath;  // the lower bound of each open node, root first
    size_t cutDepth = SIZE_MAX;          // the node whose search a found cover ended

    bool pruning() const { return found || bounded; }
    std::vector<int32_t> localOf;  // column -> its place among a node's columns
    std::vector<char> marked;      // per column, for the lower bound

    bool reduce(Rows& rows, std::vector<uint32_t>& chosen, uint64_t& spent) {
        for (;;) {
            std::vector<uint32_t> essential;
            for (const auto& row : rows) {
                if (row.empty()) return false;
                if (row.size() == 1 && !marked[row[0]]) {
                    marked[row[0]] = 1;
                    essential.push_back(row[0]);
                }
            }
            if (!essential.empty()) {
                std::erase_if(rows, [&](const auto& row) {
                    return std::any_of(row.begin(), row.end(),
                                       [&](uint32_t c) { return marked[c]; });
                });
                for (uint32_t c : essential) {
                    marked[c] = 0;
                    chosen.push_back(c);
                    spent += costs[c];
                }
                continue;
            }
            if (removeDominatedRows(rows) | removeDominatedColumns(rows)) continue;
            return true;
        }
    }

    // Drops equal rows and every row that holds all columns of another row.
    static bool removeDominatedRows(Rows& rows) {
        const size_t before = rows.size();
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        std::vector<std::vector<uint32_t>> rowsOfColumn;
        std::vector<uint32_t> columns = columnsOf(rows);
        std::vector<int32_t> place(columns.empty() ? 0 : columns.back() + 1, -1);
        for (size_t i = 0; i < columns.size(); ++i) place[columns[i]] = static_cast<int32_t>(i);
        rowsOfColumn.resize(columns.size());
        for (uint32_t r = 0; r < rows.size(); ++r) {
            for (uint32_t c : rows[r]) rowsOfColumn[static_cast<size_t>(place[c])].push_back(r);
        }
        std::vector<char> dominated(rows.size(), 0);
        for (uint32_t s = 0; s < rows.size(); ++s) {
            const auto& small = rows[s];
            const auto rarest =
                std::min_element(small.begin(), small.end(), [&](uint32_t a, uint32_t b) {
                    return rowsOfColumn[static_cast<size_t>(place[a])].size() <
                           rowsOfColumn[static_cast<size_t>(place[b])].size();
                });
            for (uint32_t r : rowsOfColumn[static_cast<size_t>(place[*rarest])]) {
                if (r == s || dominated[r] || rows[r].size() <= small.size()) continue;
                if (std::includes(rows[r].begin(), rows[r].end(), small.begin(), small.end())) {
                    dominated[r] = 1;
                }
            }
        }
        size_t kept = 0;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (dominated[r]) continue;
            if (kept != r) rows[kept] = std::move(rows[r]);
            ++kept;
        }
        rows.resize(kept);
        return rows.size() != before;
    }

    // Drops every column whose rows another column, not dearer, also has.
    bool removeDominatedColumns(Rows& rows) {
        const std::vector<uint32_t> columns = columnsOf(rows);
        const std::vector<std::vector<uint32_t>> rowsOf = indexColumns(rows, columns);
        std::vector<char> removed(columns.size(), 0);
        bool any = false;
        for (size_t j = 0; j < columns.size(); ++j) {
            const auto& mine = rowsOf[j];
            for (uint32_t k : rows[mine.front()]) {
                const auto other = static_cast<size_t>(localOf[k]);
                if (other == j || removed[other] || costs[k] > costs[columns[j]]) continue;
                const auto& theirs = rowsOf[other];
                if (theirs.size() < mine.size()) continue;
                if (std::includes(theirs.begin(), theirs.end(), mine.begin(), mine.end())) {
                    removed[j] = 1;
                    any = true;
                    break;
                }
            }
        }
        if (any) {
            for (auto& row : rows) {
                std::erase_if(row,
                              [&](uint32_t c) { return removed[static_cast<size_t>(localOf[c])]; });
            }
        }
        for (uint32_t c : columns) localOf[c] = -1;
        return any;
    }

    // Numbers the node's columns in `localOf` (the caller sets them back to -1) and
    // answers per column, by that number, the rows that have it, ascending.
    std::vector<std::vector<uint32_t>> indexColumns(const Rows& rows,
                                                    const std::vector<uint32_t>& columns) {
        for (size_t i = 0; i < columns.size(); ++i) localOf[columns[i]] = static_cast<int32_t>(i);
        std::vector<std::vector<uint32_t>> rowsOf(columns.size());
        for (uint32_t r = 0; r < rows.size(); ++r) {
            for (uint32_t c : rows[r]) rowsOf[static_cast<size_t>(localOf[c])].push_back(r);
        }
        return rowsOf;
    }

    // The columns the rows use, ascending.
    static std::vector<uint32_t> columnsOf(const Rows& rows) {
        std::vector<uint32_t> columns;
        for (const auto& row : rows) columns.insert(columns.end(), row.begin(), row.end());
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        return columns;
    }

    // Rows that pairwise share no column each need a column of their own, at least
    // their cheapest. The set is grown greedily from the row that meets the fewest
    // rows still open (a maximal independent set of the rows' intersection graph,
    // smallest degree first, the degrees kept current as rows leave), which on
    // cyclic and symmetric problems takes far more rows than shortest first; the
    // larger of the two bounds is used.
    // The second set is only grown when the first does not prune the node already.
    uint64_t lowerBound(const Rows& rows, uint64_t spent) {
        std::vector<uint32_t> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return rows[a].size() < rows[b].size(); });
        const uint64_t shortestFirst = independentBound(rows, order);
        if (pruning() && spent + shortestFirst >= bestCost) return shortestFirst;
        return std::max(shortestFirst, leastDegreeBound(rows));
    }

    uint64_t leastDegreeBound(const Rows& rows) {
        const std::vector<uint32_t> columns = columnsOf(rows);
        const std::vector<std::vector<uint32_t>> rowsOf = indexColumns(rows, columns);
        std::vector<char> open(rows.size(), 1);
        std::vector<uint32_t> stamp(rows.size(), UINT32_MAX);
        uint32_t visit = 0;
        // Calls `each` once for every open row sharing a column with row `r`.
        const auto forNeighbours = [&](uint32_t r, const auto& each) {
            ++visit;
            stamp[r] = visit;
            for (uint32_t c : rows[r]) {
                for (uint32_t other : rowsOf[static_cast<size_t>(localOf[c])]) {
                    if (stamp[other] == visit || !open[other]) continue;
                    stamp[other] = visit;
                    each(other);
                }
            }
        };
        std::vector<uint32_t> degrees(rows.size(), 0);
        using Entry = std::pair<uint64_t, uint32_t>;  // (degree, size) packed, row
        std::vector<Entry> heap;
        const auto push = [&](uint32_t r) {
            heap.emplace_back((uint64_t{degrees[r]} << 32) | rows[r].size(), r);
            std::push_heap(heap.begin(), heap.end(), std::greater<>());
        };
        for (uint32_t r = 0; r < rows.size(); ++r) {
            forNeighbours(r, [&](uint32_t) { ++degrees[r]; });
            push(r);
        }
        uint64_t bound = 0;
        std::vector<uint32_t> leaving;
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), std::greater<>());
            const auto [key, r] = heap.back();
            heap.pop_back();
            if (!open[r] || key >> 32 != degrees[r]) continue;
            uint64_t cheapest = UINT64_MAX;
            for (uint32_t c : rows[r]) cheapest = std::min(cheapest, costs[c]);
            bound += cheapest;
            leaving.assign(1, r);
            forNeighbours(r, [&](uint32_t other) { leaving.push_back(other); });
            for (uint32_t gone : leaving) open[gone] = 0;
            for (uint32_t gone : leaving) {
                forNeighbours(gone, [&](uint32_t other) {
                    --degrees[other];
                    push(other);
                });
            }
        }
        for (uint32_t c : columns) localOf[c] = -1;
        return bound;
    }

    // Rows taken in `order` while they share no column with those taken, each at its
    // cheapest column.
    uint64_t independentBound(const Rows& rows, const std::vector<uint32_t>& order) {
        uint64_t bound = 0;
        std::vector<uint32_t> touched;
        for (uint32_t r : order) {
            const auto& row = rows[r];
            if (std::any_of(row.begin(), row.end(), [&](uint32_t c) { return marked[c]; }))
                continue;
            uint64_t cheapest = UINT64_MAX;
            for (uint32_t c : row) {
                cheapest = std::min(cheapest, costs[c]);
                marked[c] = 1;
                touched.push_back(c);
            }
            bound += cheapest;
        }
        for (uint32_t c : touched) marked[c] = 0;
        return bound;
    }
};

}  // namespace

std::optional<std::vector<uint32_t>> minimumCostCover(const CoveringProblem& problem,
                                                      uint64_t branchBudget) {
    Search search(problem.costs, branchBudget);
    std::vector<uint32_t> chosen;
    search.solve(problem.rows, chosen, 0);
    if (search.exhausted) return std::nullopt;
    std::sort(search.best.begin(), search.best.end());
    return search.best;
}

CoverSearch searchCheaperCover(const CoveringProblem& problem, uint64_t branchBudget,
                               const std::vector<uint32_t>& incumbent) {
    Search search(problem.costs, branchBudget);
    if (!incumbent.empty()) search.bound(incumbent);
    std::vector<uint32_t> chosen;
    search.solve(problem.rows, chosen, 0);
    CoverSearch result;
    result.found = search.found;
    result.complete = !search.exhausted;
    result.branches = search.branches;
    if (search.found) {
        result.columns = std::move(search.best);
        std::sort(result.columns.begin(), result.columns.end());
    }
    return result;
}
