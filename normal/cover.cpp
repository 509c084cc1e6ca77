// Covers and their products; see cover.h for why they give the engine the same
// input as the multiplied-out tree.
#include "normal/cover.h"

#include "base/action_watch.h"
#include "normal/normalize.h"

Cover Cover::ofSum(const SimplifiedSum& sum) {
    Cover cover;
    sum.forEachTerm([&](const Literal* begin, const Literal* end) { cover.addTerm(begin, end); });
    return cover;
}

void Cover::addTerm(const Literal* begin, const Literal* end) {
    uint64_t hash = 0;
    uint64_t occur = 0;
    uint64_t positive = 0;
    for (const Literal* at = begin; at != end; ++at) {
        hash += literalHash(*at);
        uint32_t position = literalPosition(*at);
        if (position < 64) {
            occur |= uint64_t{1} << position;
            if (literalPositive(*at)) positive |= uint64_t{1} << position;
        }
    }
    literals.insert(literals.end(), begin, end);
    starts.push_back(static_cast<uint32_t>(literals.size()));
    hashes.push_back(hash);
    occurs.push_back(occur);
    positives.push_back(positive);
}

void Cover::enterTerm(uint32_t index, TermTrie& trie) const {
    if (WordTermSet<0>* words = trie.wordTermsOf<0>()) {
        words->insert(WordTermSet<0>::Term{{static_cast<uint32_t>(occurs[index])},
                                           {static_cast<uint32_t>(positives[index])}});
        return;
    }
    if (WordTermSet<1>* words = trie.wordTermsOf<1>()) {
        words->insert(WordTermSet<1>::Term{{occurs[index]}, {positives[index]}});
        return;
    }
    trie.insertSorted(literals.data() + starts[index], starts[index + 1] - starts[index],
                      hashes[index]);
}

bool Cover::enterUnion(const Cover& a, const Cover& b, TermTrie& trie) {
    for (uint32_t i = 0; i < a.size(); ++i) {
        actionCheckpoint(trie.storedCount());
        a.enterTerm(i, trie);
    }
    for (uint32_t j = 0; j < b.size(); ++j) {
        actionCheckpoint(trie.storedCount());
        b.enterTerm(j, trie);
    }
    return !a.empty() || !b.empty();
}

bool Cover::enterProduct(const Cover& a, const Cover& b, TermTrie& trie) {
    if (auto* words = trie.wordTermsOf<0>()) return enterWordProduct(a, b, *words);
    if (auto* words = trie.wordTermsOf<1>()) return enterWordProduct(a, b, *words);
    if (auto* words = trie.wordTermsOf<2>()) return enterWordProduct(a, b, *words);
    if (auto* words = trie.wordTermsOf<3>()) return enterWordProduct(a, b, *words);
    if (auto* words = trie.wordTermsOf<4>()) return enterWordProduct(a, b, *words);
    bool any = false;
    std::vector<Literal> merged;
    for (uint32_t i = 0; i < a.size(); ++i) {
        const Literal* aBegin = a.literals.data() + a.starts[i];
        const Literal* aEnd = a.literals.data() + a.starts[i + 1];
        for (uint32_t j = 0; j < b.size(); ++j) {
            actionCheckpoint(trie.storedCount());
            if (((a.occurs[i] & b.occurs[j]) & (a.positives[i] ^ b.positives[j])) != 0) continue;
            // Merge the sorted lists; a shared literal is kept once and its hash
            // counted once, a clash beyond the masks drops the pair.
            const Literal* p = aBegin;
            const Literal* q = b.literals.data() + b.starts[j];
            const Literal* qEnd = b.literals.data() + b.starts[j + 1];
            uint64_t hash = a.hashes[i] + b.hashes[j];
            merged.clear();
            bool clash = false;
            while (p != aEnd && q != qEnd) {
                if (literalPosition(*p) < literalPosition(*q)) {
                    merged.push_back(*p++);
                } else if (literalPosition(*q) < literalPosition(*p)) {
                    merged.push_back(*q++);
                } else if (*p == *q) {
                    hash -= literalHash(*p);
                    merged.push_back(*p++);
                    ++q;
                } else {
                    clash = true;
                    break;
                }
            }
            if (clash) continue;
            merged.insert(merged.end(), p, aEnd);
            merged.insert(merged.end(), q, qEnd);
            trie.insertSorted(merged.data(), static_cast<uint32_t>(merged.size()), hash);
            any = true;
        }
    }
    return any;
}

template <uint32_t W>
std::vector<typename WordTermSet<W>::Term> Cover::wordTerms() const {
    std::vector<typename WordTermSet<W>::Term> words;
    words.reserve(size());
    for (uint32_t i = 0; i < size(); ++i) {
        if constexpr (W == 0) {
            words.push_back(
                {{static_cast<uint32_t>(occurs[i])}, {static_cast<uint32_t>(positives[i])}});
        } else if constexpr (W == 1) {
            words.push_back({{occurs[i]}, {positives[i]}});
        } else {
            words.push_back(WordTermSet<W>::termOf(literals.data() + starts[i],
                                                   literals.data() + starts[i + 1]));
        }
    }
    return words;
}

// On terms held in words a union is a pair of ORs per word, and a pair clashes where
// both have a variable with different signs.
template <uint32_t W>
bool Cover::enterWordProduct(const Cover& a, const Cover& b, WordTermSet<W>& words) {
    using Set = WordTermSet<W>;
    using Term = typename Set::Term;
    const std::vector<Term> left = a.wordTerms<W>();
    const std::vector<Term> right = b.wordTerms<W>();
    bool any = false;
    for (const Term& x : left) {
        actionCheckpoint(words.storedCount());
        for (const Term& y : right) {
            uint64_t clash = 0;
            Term merged;
            for (uint32_t word = 0; word < Set::words; ++word) {
                clash |= x.occur[word] & y.occur[word] & (x.positive[word] ^ y.positive[word]);
                merged.occur[word] = x.occur[word] | y.occur[word];
                merged.positive[word] = x.positive[word] | y.positive[word];
            }
            if (clash != 0) continue;
            any = true;
            words.insert(merged);
        }
    }
    return any;
}
