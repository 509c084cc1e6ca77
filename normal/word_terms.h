// The term set of one engine call while terms are entered and swept, for tables
// narrow enough that a term fits in a few machine words.
//
// A term is W pairs of 64-bit words: which variables occur, and which of those occur
// uncomplemented. Equal terms have equal words, so the set is a flat open-addressing
// table of term indices over one array of terms, with no allocation per term; the
// term with a variable dropped or flipped is a mask away. The sweep is the one the
// term trie describes (term_trie.h): it is a function of the set of entered terms
// (at a variable's level the terms fall into groups that agree on every other
// variable, and groups do not meet), so the order in which the candidates of a level
// are taken does not matter, and a level here takes them in array order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/action_watch.h"
#include "normal/literal.h"

template <uint32_t W>
class WordTermSet {
  public:
    struct Term {
        uint64_t occur[W];
        uint64_t positive[W];
        bool operator==(const Term& other) const {
            return std::memcmp(this, &other, sizeof(Term)) == 0;
        }
    };

    static Term termOf(const Literal* begin, const Literal* end) {
        Term term{};
        for (const Literal* at = begin; at != end; ++at) {
            const uint32_t position = literalPosition(*at);
            const uint64_t bit = uint64_t{1} << (position % 64);
            term.occur[position / 64] |= bit;
            if (literalPositive(*at)) term.positive[position / 64] |= bit;
        }
        return term;
    }

    // Enters a term unless an equal live one is present.
    void insert(const Term& term) {
        const uint64_t hash = hashOf(term);
        if (find(term, hash) == noTerm) add(term, hash);
    }

    // Enters `count` terms one after the other, as `insert` would, having fetched the
    // slots each will probe first, so that the waits for a table larger than the
    // caches overlap.
    void insertBatch(const Term* batch, uint32_t count) {
        constexpr uint32_t most = 32;
        uint64_t hashes[most];
        for (uint32_t start = 0; start < count; start += most) {
            const uint32_t size = std::min(most, count - start);
            for (uint32_t k = 0; k < size; ++k) {
                hashes[k] = hashOf(batch[start + k]);
                if (!slots.empty()) __builtin_prefetch(&slots[hashes[k] & (slots.size() - 1)]);
            }
            for (uint32_t k = 0; k < size; ++k) {
                if (find(batch[start + k], hashes[k]) == noTerm) add(batch[start + k], hashes[k]);
            }
        }
    }

    // Terms stored so far, swallowed ones included.
    uint32_t storedCount() const { return static_cast<uint32_t>(terms.size()); }

    // Brings each variable to the bottom level once, in rotation order: the last
    // variable first, then the first, the second, and so on.
    void sweep(uint32_t levels) {
        if (levels == 0) return;
        for (uint32_t step = 0; step < levels; ++step) {
            mergeLevel(step == 0 ? levels - 1 : step - 1);
        }
    }

    // Calls `visit` with the literals (sorted by position) of each live term.
    template <class Visit>
    void forEachLive(Visit&& visit) const {
        std::vector<Literal> literals;
        for (uint32_t index = 0; index < terms.size(); ++index) {
            if (!alive[index]) continue;
            literals.clear();
            const Term& term = terms[index];
            for (uint32_t word = 0; word < W; ++word) {
                for (uint64_t rest = term.occur[word]; rest != 0; rest &= rest - 1) {
                    const auto bit = static_cast<uint32_t>(__builtin_ctzll(rest));
                    literals.push_back(
                        makeLiteral(word * 64 + bit, ((term.positive[word] >> bit) & 1u) != 0));
                }
            }
            visit(literals.data(), static_cast<uint32_t>(literals.size()));
        }
    }

    // The live terms in trie order (term_trie.h: at the first variable where two
    // differ, complemented before absent before uncomplemented).
    std::vector<Term> liveInTrieOrder() const {
        std::vector<Term> live;
        for (uint32_t index = 0; index < terms.size(); ++index) {
            if (alive[index]) live.push_back(terms[index]);
        }
        std::sort(live.begin(), live.end(), trieLess);
        return live;
    }

    static bool trieLess(const Term& a, const Term& b) {
        for (uint32_t word = 0; word < W; ++word) {
            const uint64_t differ =
                (a.occur[word] ^ b.occur[word]) | (a.positive[word] ^ b.positive[word]);
            if (differ == 0) continue;
            const uint64_t bit = differ & (~differ + 1);
            return rankOf(a, word, bit) < rankOf(b, word, bit);
        }
        return false;
    }

  private:
    static constexpr uint32_t noTerm = UINT32_MAX;
    // A slot keeps the upper half of the term's hash beside its index + 1 (0: empty),
    // so that a probe reads a term only when the halves agree.
    struct Slot {
        uint32_t tag;
        uint32_t term;
    };

    std::vector<Term> terms;
    std::vector<uint8_t> alive;
    std::vector<Slot> slots;
    uint64_t slotsUsed = 0;

    // 0 complemented, 1 absent, 2 uncomplemented.
    static uint32_t rankOf(const Term& term, uint32_t word, uint64_t bit) {
        if ((term.occur[word] & bit) == 0) return 1;
        return (term.positive[word] & bit) != 0 ? 2 : 0;
    }

    static uint64_t hashOf(const Term& term) {
        uint64_t x = 0x9e3779b97f4a7c15ull;
        for (uint32_t word = 0; word < W; ++word) {
            x ^= term.occur[word] * 0xbf58476d1ce4e5b9ull;
            x = (x ^ (x >> 29)) * 0x94d049bb133111ebull;
            x ^= term.positive[word] * 0xd6e8feb86659fd93ull;
            x = (x ^ (x >> 32)) * 0xbf58476d1ce4e5b9ull;
        }
        return x ^ (x >> 31);
    }

    uint32_t find(const Term& term, uint64_t hash) const {
        if (slots.empty()) return noTerm;
        const uint64_t mask = slots.size() - 1;
        const auto tag = static_cast<uint32_t>(hash >> 32);
        for (uint64_t slot = hash & mask;; slot = (slot + 1) & mask) {
            const Slot stored = slots[slot];
            if (stored.term == 0) return noTerm;
            if (stored.tag != tag) continue;
            const uint32_t index = stored.term - 1;
            if (alive[index] && terms[index] == term) return index;
        }
    }

    void place(uint32_t index, uint64_t hash) {
        const uint64_t mask = slots.size() - 1;
        uint64_t slot = hash & mask;
        while (slots[slot].term != 0) slot = (slot + 1) & mask;
        slots[slot] = Slot{static_cast<uint32_t>(hash >> 32), index + 1};
        ++slotsUsed;
    }

    // Swallowed terms leave the table when it grows.
    void grow() {
        slots.assign(slots.empty() ? 16 : slots.size() * 2, Slot{0, 0});
        slotsUsed = 0;
        for (uint32_t index = 0; index < terms.size(); ++index) {
            if (alive[index]) place(index, hashOf(terms[index]));
        }
    }

    void add(const Term& term, uint64_t hash) {
        if ((slotsUsed + 1) * 2 > slots.size()) grow();
        const auto index = static_cast<uint32_t>(terms.size());
        terms.push_back(term);
        alive.push_back(1);
        place(index, hash);
    }

    // At one variable: a term without it swallows the ones with it; complemented
    // and uncomplemented twins become the term without it. Terms made here lack the
    // variable, so the candidates are the terms stored when the level begins. They
    // are taken in batches: the two slots each will probe are fetched for the whole
    // batch first, so that the waits for tables larger than the caches overlap. A
    // candidate swallowed by an earlier one of its batch is passed over as before.
    void mergeLevel(uint32_t variable) {
        const uint32_t word = variable / 64;
        const uint64_t bit = uint64_t{1} << (variable % 64);
        const auto candidates = static_cast<uint32_t>(terms.size());
        constexpr uint32_t batchSize = 32;
        uint32_t batch[batchSize];
        uint64_t withoutHashes[batchSize];
        uint64_t twinHashes[batchSize];
        for (uint32_t index = 0; index < candidates;) {
            uint32_t count = 0;
            for (; index < candidates && count < batchSize; ++index) {
                if (!alive[index] || (terms[index].occur[word] & bit) == 0) continue;
                Term probe = terms[index];
                probe.positive[word] ^= bit;
                twinHashes[count] = hashOf(probe);
                probe.occur[word] &= ~bit;
                probe.positive[word] &= ~bit;
                withoutHashes[count] = hashOf(probe);
                const uint64_t mask = slots.size() - 1;
                __builtin_prefetch(&slots[withoutHashes[count] & mask]);
                __builtin_prefetch(&slots[twinHashes[count] & mask]);
                batch[count++] = index;
            }
            for (uint32_t k = 0; k < count; ++k) {
                const uint32_t candidate = batch[k];
                if (!alive[candidate]) continue;
                actionCheckpoint(storedCount());
                Term without = terms[candidate];
                without.occur[word] &= ~bit;
                without.positive[word] &= ~bit;
                if (find(without, withoutHashes[k]) != noTerm) {
                    alive[candidate] = 0;
                    continue;
                }
                Term twin = terms[candidate];
                twin.positive[word] ^= bit;
                const uint32_t twinIndex = find(twin, twinHashes[k]);
                if (twinIndex == noTerm) continue;
                alive[candidate] = 0;
                alive[twinIndex] = 0;
                add(without, withoutHashes[k]);
            }
        }
    }
};
