// What the table holds after a step, for the step lines of --verbose.
#pragma once

#include <cstdint>
#include <string>

// How the functions' sizes are counted.
enum class CountedSize {
    terms,    // the terms, where every function is a sum of products
    clauses,  // the clauses of the product of sums the last step left
};

// "2 functions, 3 inputs, 7 terms" for the functions from `first` on. Terms are
// counted as --stats counts them (a held sum, or a tree in disjunctive form) and
// left out when a function is neither; clauses are the counts the entries keep from
// the product of sums the step made.
std::string tableCounts(int64_t first, CountedSize size = CountedSize::terms);
