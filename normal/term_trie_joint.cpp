// The covering searches of a frozen trie, answered for 64 terms at once.
//
// What `examine` answers of a term p is a property of the term set: p is strictly
// covered when another term's literals are a subset of p's; otherwise its redundant
// literal is the one at which the first resolver has the opposite literal, where a
// resolver is a term with exactly one literal opposite to p's and every other
// literal among p's. "First" is the order in which the walk of `examine` tries its
// opposite branches: a resolver t is read as one symbol per literal of p, in
// position order (0: t has the literal, 1: t lacks it, 2: t has its opposite), and
// the least such word in dictionary order comes first (the walk takes the child with
// p's literal before the one without it, and tries a branch only after everything
// below the two; resolvers with the same word differ only after their opposite
// literal and give the same level).
//
// The terms neighbouring in trie order share their prefixes, so their walks pass the
// same nodes. A group of 64 of them walks the trie once, with one bit per term: a
// term's bit stays in `plain` while the literals on the path are all among its own,
// and moves to `opposed` at the first literal opposite to one of its own. A leaf
// reached with a term's plain bit covers that term (unless it is the term itself); a
// leaf reached with its opposed bit is a resolver of it, kept when it comes before
// the one kept so far. A term found covered drops out of the walk.
#include <algorithm>

#include "base/action_watch.h"
#include "base/stack_guard.h"
#include "normal/term_trie.h"

namespace {

constexpr uint32_t groupSize = 64;
constexpr uint32_t noResolver = UINT32_MAX;

uint64_t lowestBit(uint64_t bits) {
    return bits & (~bits + 1);
}

}  // namespace

struct TermTrie::JointQueries {
    uint32_t first = 0;  // the group: terms [first, first + count) in trie order
    uint32_t count = 0;
    std::vector<uint64_t> having;  // per literal: the group's terms that have it, as bits
    uint64_t covered = 0;          // the group's terms found strictly covered
    uint32_t resolver[groupSize];  // per term: the first resolver met so far
};

template <class Visit>
void TermTrie::forEachMaskedLiteral(uint32_t term, Visit&& visit) const {
    for (uint32_t word = 0; word < denseWords; ++word) {
        const size_t at = size_t{term} * denseWords + word;
        for (uint64_t rest = occurMask[at]; rest != 0; rest &= rest - 1) {
            visit(makeLiteral(word * 64 + static_cast<uint32_t>(__builtin_ctzll(rest)),
                              (positiveMask[at] & lowestBit(rest)) != 0));
        }
    }
}

std::vector<TermTrie::Covering> TermTrie::examineAll() const {
    std::vector<Covering> answers(termCount());
    if (!frozenFromWords) {
        std::vector<OppositeBranch> branches;
        for (uint32_t index = 0; index < termCount(); ++index) {
            actionCheckpoint(index);
            answers[index] = examine(index, branches);
        }
        return answers;
    }
    JointQueries queries;
    queries.having.assign(2 * size_t{levels}, 0);
    for (uint32_t first = 0; first < termCount(); first += groupSize) {
        actionCheckpoint(first);
        queries.first = first;
        queries.count = std::min(groupSize, termCount() - first);
        queries.covered = 0;
        std::fill(std::begin(queries.resolver), std::end(queries.resolver), noResolver);
        for (uint32_t k = 0; k < queries.count; ++k) {
            forEachMaskedLiteral(
                first + k, [&](Literal literal) { queries.having[literal] |= uint64_t{1} << k; });
        }
        const uint64_t all =
            queries.count == groupSize ? ~uint64_t{0} : (uint64_t{1} << queries.count) - 1;
        jointWalk(rootNode(), 0, all, 0, queries);
        for (uint32_t k = 0; k < queries.count; ++k) {
            const uint32_t query = first + k;
            Covering& answer = answers[query];
            forEachMaskedLiteral(query, [&](Literal literal) { queries.having[literal] = 0; });
            if (((queries.covered >> k) & 1u) != 0) {
                answer.strictlyCovered = true;
                continue;
            }
            const uint32_t resolver = queries.resolver[k];
            if (resolver == noResolver) continue;
            for (uint32_t word = 0; word < denseWords; ++word) {
                const size_t p = size_t{query} * denseWords + word;
                const size_t t = size_t{resolver} * denseWords + word;
                const uint64_t clash =
                    occurMask[p] & occurMask[t] & (positiveMask[p] ^ positiveMask[t]);
                if (clash != 0) {
                    answer.resolvableLevel =
                        word * 64 + static_cast<uint32_t>(__builtin_ctzll(clash)) + 1;
                    break;
                }
            }
        }
    }
    return answers;
}

// `from` is the first position of the node's own stretch (its parent's branch + 1);
// the literal its parent branched on is already taken into the bits.
void TermTrie::jointWalk(int32_t node, uint32_t from, uint64_t plain, uint64_t opposed,
                         JointQueries& queries) const {
    guardStackDepth();
    plain &= ~queries.covered;
    opposed &= ~queries.covered;
    const TrieNode& at = nodes[static_cast<size_t>(node)];
    // The literals the node's terms share from `from` up to its branch.
    if (at.cleanFrom == noStretch) {
        const size_t base = size_t{at.lo} * denseWords;
        for (uint32_t word = from / 64; word * 64 < at.branch && word < denseWords; ++word) {
            uint64_t span = ~uint64_t{0};
            if (word == from / 64) span &= ~uint64_t{0} << (from % 64);
            if ((word + 1) * 64 > at.branch) span &= (uint64_t{1} << (at.branch % 64)) - 1;
            for (uint64_t rest = occurMask[base + word] & span; rest != 0; rest &= rest - 1) {
                const uint64_t bit = lowestBit(rest);
                const Literal literal =
                    makeLiteral(word * 64 + static_cast<uint32_t>(__builtin_ctzll(rest)),
                                (positiveMask[base + word] & bit) != 0);
                opposed =
                    (opposed & queries.having[literal]) | (plain & queries.having[literal ^ 1u]);
                plain &= queries.having[literal];
                if ((plain | opposed) == 0) return;
            }
        }
    }
    if ((plain | opposed) == 0) return;
    if (at.hi - at.lo == 1) {
        jointLeaf(at.lo, plain, opposed, queries);
        return;
    }
    for (uint8_t rank : {rankZero, rankDash, rankOne}) {
        const int32_t kid = at.kid[rank];
        if (kid == noNode) continue;
        if (rank == rankDash) {
            jointWalk(kid, at.branch + 1, plain, opposed, queries);
            continue;
        }
        const Literal literal = makeLiteral(at.branch, rank == rankOne);
        const uint64_t kidOpposed =
            (opposed & queries.having[literal]) | (plain & queries.having[literal ^ 1u]);
        const uint64_t kidPlain = plain & queries.having[literal];
        if ((kidPlain | kidOpposed) != 0) {
            jointWalk(kid, at.branch + 1, kidPlain & ~queries.covered, kidOpposed, queries);
        }
    }
}

void TermTrie::jointLeaf(uint32_t term, uint64_t plain, uint64_t opposed,
                         JointQueries& queries) const {
    if (term >= queries.first && term < queries.first + queries.count) {
        plain &= ~(uint64_t{1} << (term - queries.first));  // the term itself
    }
    queries.covered |= plain;
    for (uint64_t rest = opposed; rest != 0; rest &= rest - 1) {
        const auto k = static_cast<uint32_t>(__builtin_ctzll(rest));
        uint32_t& kept = queries.resolver[k];
        if (kept == noResolver || resolvesFirst(queries.first + k, term, kept)) kept = term;
    }
}

// Whether `candidate` comes before `incumbent` among the resolvers of `query` (see
// the file comment): at the first of the query's literals where their symbols differ.
bool TermTrie::resolvesFirst(uint32_t query, uint32_t candidate, uint32_t incumbent) const {
    for (uint32_t word = 0; word < denseWords; ++word) {
        const size_t p = size_t{query} * denseWords + word;
        const size_t c = size_t{candidate} * denseWords + word;
        const size_t i = size_t{incumbent} * denseWords + word;
        const uint64_t sameC = occurMask[c] & occurMask[p] & ~(positiveMask[c] ^ positiveMask[p]);
        const uint64_t oppositeC =
            occurMask[c] & occurMask[p] & (positiveMask[c] ^ positiveMask[p]);
        const uint64_t sameI = occurMask[i] & occurMask[p] & ~(positiveMask[i] ^ positiveMask[p]);
        const uint64_t oppositeI =
            occurMask[i] & occurMask[p] & (positiveMask[i] ^ positiveMask[p]);
        const uint64_t differ = (sameC ^ sameI) | (oppositeC ^ oppositeI);
        if (differ == 0) continue;
        const uint64_t bit = lowestBit(differ);
        const auto symbol = [bit](uint64_t same, uint64_t opposite) {
            return (same & bit) != 0 ? 0 : (opposite & bit) != 0 ? 2 : 1;
        };
        return symbol(sameC, oppositeC) < symbol(sameI, oppositeI);
    }
    return false;
}
