// The minimum-cost set cover behind exact minimization: rows are sets of columns,
// and the answer is a set of columns meeting every row whose total cost is least.
// Branch and bound with the classic reductions (essential columns, dominated rows
// and columns) and a lower bound from rows that share no column.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct CoveringProblem {
    std::vector<std::vector<uint32_t>> rows;  // each row's columns, ascending
    std::vector<uint64_t> costs;              // per column
};

// The chosen columns of a least-cost cover, or none when the search takes more
// than `branchBudget` branches. Every row must have a column.
std::optional<std::vector<uint32_t>> minimumCostCover(const CoveringProblem& problem,
                                                      uint64_t branchBudget);

// What a bounded search found: the cheapest cover seen (ascending columns; empty
// when none beat the incumbent), whether the search ran to its end (so that cover,
// or the incumbent when none was found, is a least-cost one) and the branches taken.
struct CoverSearch {
    std::vector<uint32_t> columns;
    bool found = false;
    bool complete = false;
    uint64_t branches = 0;
};

// Searches for a cover cheaper than `incumbent` (a cover already known, which
// prunes the search from its start; empty for none), within `branchBudget` branches.
CoverSearch searchCheaperCover(const CoveringProblem& problem, uint64_t branchBudget,
                               const std::vector<uint32_t>& incumbent);
