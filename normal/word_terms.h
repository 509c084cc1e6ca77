// The term set of one engine call while terms are entered and swept, for tables
// narrow enough that a term fits in a few machine words.
//
// A term is W pairs of 64-bit words: which variables occur, and which of those occur
// uncomplemented; for tables of at most 32 inputs (W = 0) one pair of 32-bit words,
// so that a term is a single 64-bit move and the passes below carry half the bytes. The terms are
// held in one array, with no allocation per term, and every step is a pass over it in order:
//   - entering appends; repeats are dropped when the sweep first sorts the array
//     (equal terms end up side by side);
//   - the sweep is the one the term trie describes (term_trie.h). It is a function of
//     the set of entered terms: at a variable's level the terms fall into groups that
//     agree on every other variable (at most three: complemented, absent and
//     uncomplemented there), groups do not meet, and the outcome of a group depends
//     on the group alone. So a level is a pass over the terms sorted with its
//     variable as the least significant digit, where each group is a run of
//     neighbours;
//   - the order is carried from level to level: with the variables read cyclically
//     downwards (at the level of v: v-1, v-2, ..., v+1 from the most significant,
//     then v), a stable partition by v's digit gives the order the level of v+1
//     needs, which is the order in which the rotation takes the levels (the last
//     variable, then the first, the second, ...). Each level's pass writes its
//     survivors into three buckets by that digit, so that the partition costs
//     nothing more;
//   - the first order and the trie order of the survivors come from a stable radix
//     sort on five variables at a time.
// The digit of a variable in a term ranks as the trie does: complemented, absent,
// uncomplemented.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "base/action_watch.h"
#include "normal/literal.h"

template <uint32_t W>
class WordTermSet {
  public:
    using Word = std::conditional_t<W == 0, uint32_t, uint64_t>;
    static constexpr uint32_t words = W == 0 ? 1 : W;
    struct Term {
        Word occur[words];
        Word positive[words];
        bool operator==(const Term& other) const {
            return std::memcmp(this, &other, sizeof(Term)) == 0;
        }
    };

    static Term termOf(const Literal* begin, const Literal* end) {
        Term term{};
        for (const Literal* at = begin; at != end; ++at) {
            const uint32_t position = literalPosition(*at);
            const auto bit = static_cast<Word>(uint64_t{1} << (position % 64));
            term.occur[position / 64] |= bit;
            if (literalPositive(*at)) term.positive[position / 64] |= bit;
        }
        return term;
    }

    // Enters a term; a repeat of one entered before is dropped by the sweep.
    void insert(const Term& term) { terms.push_back(term); }

    // Terms stored so far, swallowed ones included: until the sweep has sorted the
    // terms, every term entered; from then on the distinct ones and those merges made.
    uint32_t storedCount() const {
        return static_cast<uint32_t>(sorted ? distinctCount + madeCount : terms.size());
    }

    // Brings each variable to the bottom level once, in rotation order: the last
    // variable first, then the first, the second, and so on.
    void sweep(uint32_t levels) {
        sortDistinct(firstLevelOrder(levels));
        if (levels == 0) return;
        runs.assign(1, Run{0, terms.size()});
        for (uint32_t step = 0; step < levels; ++step) {
            mergeLevel(step == 0 ? levels - 1 : step - 1);
        }
        closeRuns();
    }

    // Hands over the live terms in trie order (term_trie.h: at the first variable
    // where two differ, complemented before absent before uncomplemented).
    std::vector<Term> takeInTrieOrder(uint32_t levels) {
        sortDistinct(trieOrder(levels));
        return std::move(terms);
    }

  private:
    // Up to seven neighbouring variables of one word, read as one radix digit in base
    // three (complemented 0, absent 1, uncomplemented 2); `upward`: the higher
    // variable is the more significant. With `below`, a variable elsewhere is read
    // after them as the least significant place (the group then has at most six).
    struct Digit {
        uint32_t word;
        uint32_t shift;
        uint32_t count;
        bool upward;
        int64_t below = -1;
    };
    static constexpr uint32_t digitVariables = 7;
    static constexpr uint32_t digitValues = 2187;  // 3 to the 7th
    // Below this many terms a sort by comparisons costs less than the radix passes.
    static constexpr size_t radixFrom = 256;

    // The terms; during the sweep, the runs listed in `runs` (see mergeLevel).
    std::vector<Term> terms;
    std::vector<Term> spare;  // the other side of each pass
    struct Run {
        size_t begin, end;
    };
    std::vector<Run> runs;
    bool sorted = false;
    uint64_t distinctCount = 0;
    uint64_t madeCount = 0;

    // 0 complemented, 1 absent, 2 uncomplemented.
    static uint32_t rankOf(const Term& term, uint32_t word, uint64_t bit) {
        const uint32_t occurs = (term.occur[word] & bit) != 0;
        const uint32_t positive = (term.positive[word] & bit) != 0;
        return 1 - occurs + 2 * positive;
    }

    // The digits of the order the first level needs, least significant first: the
    // last variable, then the others from the first up (the higher more significant).
    static std::vector<Digit> firstLevelOrder(uint32_t levels) {
        std::vector<Digit> digits;
        if (levels == 0) return digits;
        const uint32_t first = std::min(digitVariables - 1, levels - 1);
        digits.push_back({0, 0, first, true, levels - 1});
        for (uint32_t low = first; low < levels - 1;) {
            const uint32_t high = std::min({low + digitVariables, levels - 1, (low / 64 + 1) * 64});
            digits.push_back({low / 64, low % 64, high - low, true});
            low = high;
        }
        return digits;
    }

    // Trie order, least significant first: from the last variable down.
    static std::vector<Digit> trieOrder(uint32_t levels) {
        std::vector<Digit> digits;
        for (uint32_t high = levels; high > 0;) {
            const uint32_t low =
                std::max(high > digitVariables ? high - digitVariables : 0, (high - 1) / 64 * 64);
            digits.push_back({low / 64, low % 64, high - low, false});
            high = low;
        }
        return digits;
    }

    // The sum of 3 to the j (or, reversed, to the 6 - j) over the bits j of a value:
    // the digit of a group is that of its absent variables plus twice that of its
    // uncomplemented ones.
    struct PowerTable {
        uint16_t up[1u << digitVariables];
        uint16_t down[1u << digitVariables];
        constexpr PowerTable() : up{}, down{} {
            for (uint32_t value = 0; value < (1u << digitVariables); ++value) {
                uint32_t power = 1;
                for (uint32_t j = 0; j < digitVariables; ++j, power *= 3) {
                    if (((value >> j) & 1u) == 0) continue;
                    up[value] = static_cast<uint16_t>(up[value] + power);
                    uint32_t mirrored = 1;
                    for (uint32_t k = j + 1; k < digitVariables; ++k) mirrored *= 3;
                    down[value] = static_cast<uint16_t>(down[value] + mirrored);
                }
            }
        }
    };
    static constexpr PowerTable powerTable{};

    static uint32_t digitOf(const Term& term, const Digit& digit) {
        const uint64_t mask = (uint64_t{1} << digit.count) - 1;
        const uint64_t occur = (term.occur[digit.word] >> digit.shift) & mask;
        const uint64_t positive = (term.positive[digit.word] >> digit.shift) & mask;
        const uint16_t* table = digit.upward ? powerTable.up : powerTable.down;
        const uint32_t value = table[~occur & mask] + 2u * table[occur & positive];
        if (digit.below < 0) return value;
        const auto below = static_cast<uint32_t>(digit.below);
        return value * 3 + rankOf(term, below / 64, uint64_t{1} << (below % 64));
    }

    // Sorts the terms by `digits` (least significant first), then keeps one term of
    // each run of equal ones.
    void sortDistinct(const std::vector<Digit>& digits) {
        if (terms.size() >= radixFrom) {
            radixSort(digits);
        } else {
            std::sort(terms.begin(), terms.end(), [&digits](const Term& a, const Term& b) {
                for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
                    const uint32_t x = digitOf(a, *digit);
                    const uint32_t y = digitOf(b, *digit);
                    if (x != y) return x < y;
                }
                return false;
            });
        }
        terms.erase(std::unique(terms.begin(), terms.end()), terms.end());
        if (!sorted) distinctCount = terms.size();
        sorted = true;
    }

    // A stable radix sort: the counts of every digit in one pass, then a pass per
    // digit that all terms do not share.
    void radixSort(const std::vector<Digit>& digits) {
        std::vector<uint32_t> counts(digits.size() * digitValues);
        for (const Term& term : terms) {
            for (size_t pass = 0; pass < digits.size(); ++pass) {
                ++counts[pass * digitValues + digitOf(term, digits[pass])];
            }
        }
        spare.resize(terms.size());
        for (size_t pass = 0; pass < digits.size(); ++pass) {
            actionCheckpoint(storedCount());
            uint32_t* const starts = counts.data() + pass * digitValues;
            if (*std::max_element(starts, starts + digitValues) == terms.size()) continue;
            uint32_t start = 0;
            for (uint32_t value = 0; value < digitValues; ++value) {
                const uint32_t size = starts[value];
                starts[value] = start;
                start += size;
            }
            for (const Term& term : terms) spare[starts[digitOf(term, digits[pass])]++] = term;
            terms.swap(spare);
        }
    }

    // Whether two terms agree on every variable but the one at `word` and `bit`.
    static bool sameBesides(const Term& a, const Term& b, uint32_t word, uint64_t bit) {
        uint64_t differ = 0;
        for (uint32_t at = 0; at < words; ++at) {
            const uint64_t here = (a.occur[at] ^ b.occur[at]) | (a.positive[at] ^ b.positive[at]);
            differ |= at == word ? here & ~bit : here;
        }
        return differ == 0;
    }

    // How many of the terms have each digit at a variable.
    void countDigits(uint32_t variable, size_t digits[3]) const {
        const uint32_t word = variable / 64;
        const uint32_t shift = variable % 64;
        size_t occurring = 0;
        size_t positive = 0;
        size_t total = 0;
        for (const Run& run : runs) {
            for (size_t at = run.begin; at < run.end; ++at) {
                occurring += (terms[at].occur[word] >> shift) & 1u;
                positive += (terms[at].positive[word] >> shift) & 1u;
            }
            total += run.end - run.begin;
        }
        digits[0] = occurring - positive;
        digits[1] = total - occurring;
        digits[2] = positive;
    }

    // At one variable, on the terms sorted with it as the least significant digit: in
    // a group, a term without the variable swallows the ones with it; complemented and
    // uncomplemented twins become the term without it. The terms come as runs (at the
    // first level one, then three), each sorted so, and no group spans two runs (the
    // runs are the buckets of the level before, and a group agrees on that digit).
    // The survivors are written in order to three runs of the other array, by their
    // digit at the variable; those runs, taken in order, are the terms sorted as the
    // next level needs. A run has room for the terms of its digit that came in, the
    // middle one also for a merged term per pair of twins (each takes the place of an
    // uncomplemented term).
    void mergeLevel(uint32_t variable) {
        const uint32_t word = variable / 64;
        const uint64_t bit = uint64_t{1} << (variable % 64);
        size_t digits[3];
        countDigits(variable, digits);
        if (digits[0] + digits[2] == 0) return;  // no term has it: nothing merges or moves
        const size_t room = digits[0] + digits[1] + 2 * digits[2];
        if (spare.size() < room) spare.resize(room);
        // Three cursors, chosen without branches: the digit of the terms is unpredictable.
        Cursors cursors{spare.data(), spare.data() + digits[0],
                        spare.data() + digits[0] + digits[1] + digits[2]};
        const Cursors starts = cursors;
        for (const Run& run : runs) {
            const Term* const end = terms.data() + run.end;
            for (const Term* at = terms.data() + run.begin; at < end;) {
                actionCheckpoint(storedCount());
                const Term* const stretchEnd = end - at > 4096 ? at + 4096 : end;
                while (at < stretchEnd) {
                    const Term* next = at + 1;
                    if (next == end || !sameBesides(*at, *next, word, bit)) {
                        cursors.put(rankOf(*at, word, bit), *at);
                        at = next;
                        continue;
                    }
                    // Two or three in the group, in digit order; at most one lacks the
                    // variable.
                    if (next + 1 != end && sameBesides(*at, next[1], word, bit)) {
                        cursors.put(1, *next);
                        at = next + 2;
                        continue;
                    }
                    if ((at->occur[word] & bit) == 0) {
                        cursors.put(1, *at);
                    } else if ((next->occur[word] & bit) == 0) {
                        cursors.put(1, *next);
                    } else {
                        Term merged = *at;
                        merged.occur[word] &= static_cast<Word>(~bit);
                        merged.positive[word] &= static_cast<Word>(~bit);
                        cursors.put(1, merged);
                        ++madeCount;
                    }
                    at = next + 1;
                }
            }
        }
        runs.clear();
        const Term* const begins[3] = {starts.zero, starts.dash, starts.one};
        const Term* const ends[3] = {cursors.zero, cursors.dash, cursors.one};
        for (uint32_t rank = 0; rank < 3; ++rank) {
            if (ends[rank] == begins[rank]) continue;
            runs.push_back({static_cast<size_t>(begins[rank] - spare.data()),
                            static_cast<size_t>(ends[rank] - spare.data())});
        }
        terms.swap(spare);
    }

    struct Cursors {
        Term* zero;
        Term* dash;
        Term* one;
        void put(uint32_t rank, const Term& term) {
            Term* const to = rank == 0 ? zero : rank == 1 ? dash : one;
            *to = term;
            zero += rank == 0;
            dash += rank == 1;
            one += rank == 2;
        }
    };

    // The survivors of the last level, run after run, at the front of `terms`.
    void closeRuns() {
        size_t placed = 0;
        for (const Run& run : runs) {
            if (run.begin != placed) {
                std::copy(terms.begin() + static_cast<std::ptrdiff_t>(run.begin),
                          terms.begin() + static_cast<std::ptrdiff_t>(run.end),
                          terms.begin() + static_cast<std::ptrdiff_t>(placed));
            }
            placed += run.end - run.begin;
        }
        terms.resize(placed);
        runs.clear();
    }
};
