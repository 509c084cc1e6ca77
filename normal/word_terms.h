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
                // A new term is placed at that slot or near it, so it is fetched
                // whatever the bit table says.
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
        listCarriers(levels);
        for (uint32_t step = 0; step < levels; ++step) {
            const uint32_t variable = step == 0 ? levels - 1 : step - 1;
            mergeLevel(variable, carriers.data() + carrierStarts[variable],
                       carrierStarts[variable + 1] - carrierStarts[variable]);
            // Then the terms that merges at earlier levels made and that carry it.
            mergeLevel(variable, mergedCarriers[variable].data(),
                       static_cast<uint32_t>(mergedCarriers[variable].size()));
            mergedCarriers[variable] = {};
        }
        carriers = {};
        mergedCarriers.clear();
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
    // Eight bits per slot, one set for each term placed (by bits of its hash that the
    // slot number does not use): a clear bit says at once that no such term is
    // stored, from a table an eighth the slots' size that stays in the caches. Most
    // probes of the sweep find nothing, and this is where they end.
    std::vector<uint64_t> present;
    // During the sweep, per variable: the terms that carry it, so that a level visits
    // only its candidates (most stored terms lack the level's variable or were
    // swallowed at an earlier level, and a scan of them all cost more than the probes).
    // The live terms when the sweep begins are listed in one array, variable after
    // variable (from `carrierStarts`); terms made by merges in lists of their own.
    std::vector<uint32_t> carriers;
    std::vector<uint32_t> carrierStarts;
    std::vector<std::vector<uint32_t>> mergedCarriers;

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

    uint64_t presentBit(uint64_t hash) const { return (hash >> 32) & (present.size() * 64 - 1); }
    bool mayBePresent(uint64_t hash) const {
        const uint64_t bit = presentBit(hash);
        return ((present[bit / 64] >> (bit % 64)) & 1u) != 0;
    }

    uint32_t find(const Term& term, uint64_t hash) const {
        if (slots.empty() || !mayBePresent(hash)) return noTerm;
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
        const uint64_t bit = presentBit(hash);
        present[bit / 64] |= uint64_t{1} << (bit % 64);
    }

    // Swallowed terms leave the table when it grows.
    void grow() {
        slots.assign(slots.empty() ? 16 : slots.size() * 2, Slot{0, 0});
        present.assign(slots.size() / 8, 0);
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

    // The live terms' lists: a counting pass, then each term written at its variables.
    void listCarriers(uint32_t levels) {
        carrierStarts.assign(levels + 1, 0);
        for (uint32_t index = 0; index < terms.size(); ++index) {
            if (!alive[index]) continue;
            forEachVariable(terms[index],
                            [this](uint32_t variable) { ++carrierStarts[variable + 1]; });
        }
        for (uint32_t variable = 0; variable < levels; ++variable) {
            carrierStarts[variable + 1] += carrierStarts[variable];
        }
        carriers.resize(carrierStarts[levels]);
        std::vector<uint32_t> next(carrierStarts.begin(), carrierStarts.end() - 1);
        for (uint32_t index = 0; index < terms.size(); ++index) {
            if (!alive[index]) continue;
            forEachVariable(terms[index], [this, &next, index](uint32_t variable) {
                carriers[next[variable]++] = index;
            });
        }
        mergedCarriers.assign(levels, {});
    }

    // A term made by a merge is listed for the levels still to come as well as the
    // ones passed, whose lists are no longer read.
    void listCarrier(uint32_t index) {
        forEachVariable(terms[index], [this, index](uint32_t variable) {
            mergedCarriers[variable].push_back(index);
        });
    }

    template <class Visit>
    static void forEachVariable(const Term& term, Visit&& visit) {
        for (uint32_t word = 0; word < W; ++word) {
            for (uint64_t rest = term.occur[word]; rest != 0; rest &= rest - 1) {
                visit(word * 64 + static_cast<uint32_t>(__builtin_ctzll(rest)));
            }
        }
    }

    // At one variable: a term without it swallows the ones with it; complemented
    // and uncomplemented twins become the term without it. Terms made here lack the
    // variable, so the candidates are the live terms of its list (`carriers`). They
    // are taken in batches: the two slots each will probe are fetched for the whole
    // batch first, so that the waits for tables larger than the caches overlap. A
    // candidate swallowed by an earlier one of its batch is passed over as before.
    void mergeLevel(uint32_t variable, const uint32_t* named, uint32_t candidates) {
        const uint32_t word = variable / 64;
        const uint64_t bit = uint64_t{1} << (variable % 64);
        constexpr uint32_t batchSize = 32;
        uint32_t batch[batchSize];
        uint64_t withoutHashes[batchSize];
        uint64_t twinHashes[batchSize];
        for (uint32_t at = 0; at < candidates;) {
            uint32_t count = 0;
            // Without branches: a candidate joins the batch when it is live and one of
            // its probes may find something.
            for (; at < candidates && count < batchSize; ++at) {
                const uint32_t index = named[at];
                Term probe = terms[index];
                probe.positive[word] ^= bit;
                twinHashes[count] = hashOf(probe);
                probe.occur[word] &= ~bit;
                probe.positive[word] &= ~bit;
                withoutHashes[count] = hashOf(probe);
                batch[count] = index;
                count += alive[index] &
                         (mayBePresent(withoutHashes[count]) | mayBePresent(twinHashes[count]));
            }
            const uint64_t mask = slots.size() - 1;
            for (uint32_t k = 0; k < count; ++k) {
                __builtin_prefetch(&slots[withoutHashes[k] & mask]);
                __builtin_prefetch(&slots[twinHashes[k] & mask]);
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
                listCarrier(storedCount() - 1);
            }
        }
    }
};
