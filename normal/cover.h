// Covers: sums of products as lists of literal sets, and their products.
//
// Multiplying two sums of products out as trees builds every product term as a
// tree, walks it once to enter it in the engine's trie and destroys it again. The
// walk of that tree reports exactly the unions of one term of each operand, less
// the pairs in which one term has a literal and the other its complement; the trie
// is a set, so entering those unions directly gives the engine the same input.
// That is what a cover does: it holds the terms an operand's tree would report,
// and its product enters the unions straight into the next trie.
#pragma once

#include <cstdint>
#include <vector>

#include "normal/term_trie.h"

class SimplifiedSum;

class Cover {
  public:
    // The terms of the tree the engine's result stands for.
    static Cover ofSum(const SimplifiedSum& sum);

    uint32_t size() const { return static_cast<uint32_t>(hashes.size()); }
    bool empty() const { return hashes.empty(); }

    // Appends a term given by its literals sorted by position.
    void addTerm(const Literal* begin, const Literal* end);

    // Enters every term of both covers into the trie; answers whether there was any.
    static bool enterUnion(const Cover& a, const Cover& b, TermTrie& trie);
    // Enters every consistent union of a term of `a` and a term of `b` into the
    // trie; answers whether there was any.
    static bool enterProduct(const Cover& a, const Cover& b, TermTrie& trie);

  private:
    std::vector<Literal> literals;
    std::vector<uint32_t> starts{0};  // term i spans literals[starts[i], starts[i+1])
    std::vector<uint64_t> hashes;     // termHash of each term
    // The literals at positions below 64, as bit masks: which occur, which are
    // uncomplemented. A clash there is found without looking at the lists, and on
    // tables of at most 64 inputs the masks are the terms; on wider tables held in
    // words the product makes the whole words of both covers first.
    std::vector<uint64_t> occurs;
    std::vector<uint64_t> positives;

    void enterTerm(uint32_t index, TermTrie& trie) const;
    template <uint32_t W>
    static bool enterWordProduct(const Cover& a, const Cover& b, WordTermSet<W>& words);
    template <uint32_t W>
    std::vector<typename WordTermSet<W>::Term> wordTerms() const;
};
