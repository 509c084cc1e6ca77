// The term set of one engine call; see term_trie.h for its shape and why.
//
// Terms are sparse: a sorted list of literals. Their hash is the sum of a random
// value per literal, so the hash of a term with one literal dropped or flipped is
// found without rehashing the term.
#include "normal/term_trie.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "base/action_watch.h"
#include "base/stack_guard.h"
#include "expr/node.h"
#include "expr/variable_list.h"

namespace {

constexpr uint32_t noTerm = UINT32_MAX;
constexpr uint32_t maskedLevelsLimit = 512;

const Literal* findPosition(const Literal* begin, const Literal* end, uint32_t position) {
    return std::lower_bound(begin, end, makeLiteral(position, false));
}

uint8_t rankOf(Literal literal) {
    return literalPositive(literal) ? rankOne : rankZero;
}

}  // namespace

TermTrie::TermTrie(uint32_t variableCount, bool sparseOnly)
    : levels(variableCount), sparseRequested(sparseOnly) {
    if (sparseOnly || levels > wordLevelsLimit) return;
    if (levels <= 32) {
        wordTerms.emplace<WordTermSet<0>>();
        return;
    }
    switch ((levels + 63) / 64) {
        case 1:
            wordTerms.emplace<WordTermSet<1>>();
            break;
        case 2:
            wordTerms.emplace<WordTermSet<2>>();
            break;
        case 3:
            wordTerms.emplace<WordTermSet<3>>();
            break;
        default:
            wordTerms.emplace<WordTermSet<4>>();
            break;
    }
}

uint32_t TermTrie::storedCount() const {
    return std::visit(
        [this](const auto& set) -> uint32_t {
            if constexpr (std::is_same_v<std::decay_t<decltype(set)>, std::monostate>) {
                return static_cast<uint32_t>(terms.size());
            } else {
                return set.storedCount();
            }
        },
        wordTerms);
}

// The sweep's survivors, sorted in trie order as words, go to the sparse form the
// frozen trie is made of, with their masks taken from the words.
template <uint32_t W>
void TermTrie::freezeWords(WordTermSet<W>& set) {
    const std::vector<typename WordTermSet<W>::Term> live = set.takeInTrieOrder(levels);
    denseWords = (levels + 63) / 64;
    occurMask.assign(live.size() * denseWords, 0);
    positiveMask.assign(live.size() * denseWords, 0);
    terms.clear();
    literalPool.clear();
    sorted.resize(live.size());
    for (uint32_t index = 0; index < live.size(); ++index) {
        const auto& term = live[index];
        const uint64_t offset = literalPool.size();
        for (uint32_t word = 0; word < denseWords; ++word) {
            occurMask[size_t{index} * denseWords + word] = term.occur[word];
            positiveMask[size_t{index} * denseWords + word] = term.positive[word];
            for (uint64_t rest = term.occur[word]; rest != 0; rest &= rest - 1) {
                const auto bit = static_cast<uint32_t>(__builtin_ctzll(rest));
                literalPool.push_back(
                    makeLiteral(word * 64 + bit, ((term.positive[word] >> bit) & 1u) != 0));
            }
        }
        terms.push_back(Term{offset, static_cast<uint32_t>(literalPool.size() - offset), true, 0});
        sorted[index] = index;
    }
    frozenFromWords = true;
}

// --- the term set ------------------------------------------------------------------

template <class Equal>
uint32_t TermTrie::findMatching(uint64_t hash, uint32_t length, const Equal& equal) const {
    if (slots.empty()) return noTerm;
    const uint64_t mask = slots.size() - 1;
    for (uint64_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& stored = slots[slot];
        if (stored.term == 0) return noTerm;
        if (stored.hash != hash) continue;
        const Term& term = terms[stored.term - 1];
        if (term.alive && term.length == length && equal(literalPool.data() + term.offset)) {
            return stored.term - 1;
        }
    }
}

uint32_t TermTrie::findTerm(const Literal* begin, uint32_t length, uint64_t hash) const {
    return findMatching(hash, length, [begin, length](const Literal* stored) {
        return std::equal(begin, begin + length, stored);
    });
}

void TermTrie::placeInSlots(uint32_t index) {
    const uint64_t mask = slots.size() - 1;
    const uint64_t hash = terms[index].hash;
    uint64_t slot = hash & mask;
    while (slots[slot].term != 0) slot = (slot + 1) & mask;
    slots[slot] = Slot{hash, index + 1};
    ++slotsUsed;
}

void TermTrie::growSlots() {
    std::vector<Slot> old = std::move(slots);
    slots.assign(std::max<size_t>(16, old.size() * 2), Slot{0, 0});
    slotsUsed = 0;
    for (const Slot& stored : old) {
        if (stored.term != 0 && terms[stored.term - 1].alive) placeInSlots(stored.term - 1);
    }
}

uint32_t TermTrie::addTerm(const Literal* begin, uint32_t length, uint64_t hash) {
    if ((slotsUsed + 1) * 2 > slots.size()) growSlots();
    auto index = static_cast<uint32_t>(terms.size());
    terms.push_back(Term{literalPool.size(), length, true, hash});
    literalPool.insert(literalPool.end(), begin, begin + length);
    placeInSlots(index);
    return index;
}

void TermTrie::insert(std::vector<Literal>& literals) {
    if (entersWords()) {
        insertSorted(literals.data(), static_cast<uint32_t>(literals.size()), 0);
        return;
    }
    std::sort(literals.begin(), literals.end());
    uint64_t hash = 0;
    for (Literal literal : literals) hash += literalHash(literal);
    insertSorted(literals.data(), static_cast<uint32_t>(literals.size()), hash);
}

void TermTrie::insertSorted(const Literal* begin, uint32_t length, uint64_t hash) {
    if (entersWords()) {
        std::visit(
            [begin, length](auto& set) {
                using Set = std::decay_t<decltype(set)>;
                if constexpr (!std::is_same_v<Set, std::monostate>) {
                    set.insert(Set::termOf(begin, begin + length));
                }
            },
            wordTerms);
        return;
    }
    if (findTerm(begin, length, hash) == noTerm) addTerm(begin, length, hash);
}

// --- the sweep ---------------------------------------------------------------------

void TermTrie::sweep() {
    if (entersWords()) {
        std::visit(
            [this](auto& set) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(set)>, std::monostate>) {
                    set.sweep(levels);
                }
            },
            wordTerms);
        return;
    }
    if (levels == 0) return;
    termsNaming.assign(levels, {});
    for (uint32_t index = 0; index < terms.size(); ++index) {
        actionCheckpoint(index);
        const Term& term = terms[index];
        if (!term.alive) continue;
        for (uint32_t k = 0; k < term.length; ++k) {
            termsNaming[literalPosition(literalPool[term.offset + k])].push_back(index);
        }
    }
    // The rotation brings the last variable to the bottom first, then the first,
    // the second, and so on.
    for (uint32_t step = 0; step < levels; ++step) {
        mergeBottomLevel(step == 0 ? levels - 1 : step - 1);
    }
    termsNaming.clear();
}

// A level's candidates are scattered over the term array, the literal pool and the
// slot table, all far larger than the caches on the heavy files, and a candidate
// would wait for its term, its literals and the two slots it looks up, one after the
// other. So the loop fetches them early, in stages some candidates apart: the term,
// then its literals, then the two slots. What the lookups find does not depend on it.
void TermTrie::prefetchTerm(uint32_t index) const {
    __builtin_prefetch(&terms[index]);
}

void TermTrie::prefetchLiterals(uint32_t index) const {
    const Term& term = terms[index];
    if (!term.alive) return;
    const Literal* begin = literalPool.data() + term.offset;
    __builtin_prefetch(begin);
    __builtin_prefetch(begin + term.length);
}

void TermTrie::prefetchLookups(uint32_t index, uint32_t variable) const {
    const Term& term = terms[index];
    if (!term.alive || slots.empty()) return;
    const Literal* begin = literalPool.data() + term.offset;
    const Literal literal = *findPosition(begin, begin + term.length, variable);
    const uint64_t mask = slots.size() - 1;
    const uint64_t withoutHash = term.hash - literalHash(literal);
    __builtin_prefetch(&slots[withoutHash & mask]);
    __builtin_prefetch(&slots[(withoutHash + literalHash(literal ^ 1u)) & mask]);
}

// The stages, some candidates apart: the slots of the candidate 8 places ahead,
// the literals of the one 16 ahead, the term of the one 24 ahead.
void TermTrie::prefetchStages(const std::vector<uint32_t>& named, size_t k,
                              uint32_t variable) const {
    if (k + 8 < named.size()) prefetchLookups(named[k + 8], variable);
    if (k + 16 < named.size()) prefetchLiterals(named[k + 16]);
    if (k + 24 < named.size()) prefetchTerm(named[k + 24]);
}

void TermTrie::mergeBottomLevel(uint32_t variable) {
    if (termsNaming.size() != levels) return;
    // Merged terms go to the lists of other variables, so this one stays as it is.
    const std::vector<uint32_t>& named = termsNaming[variable];
    const size_t candidates = named.size();
    // Below a megabyte of slots the tables stay in the caches, and fetching ahead
    // would only add work.
    const bool fetchAhead = slots.size() * sizeof(Slot) >= (size_t{1} << 20);
    for (size_t k = 0; k < candidates; ++k) {
        actionCheckpoint(storedCount());
        if (fetchAhead) prefetchStages(named, k, variable);
        uint32_t index = named[k];
        if (!terms[index].alive) continue;
        const Term term = terms[index];
        const Literal* begin = literalPool.data() + term.offset;
        const Literal* at = findPosition(begin, begin + term.length, variable);
        const Literal literal = *at;
        const auto cut = static_cast<size_t>(at - begin);

        // The term without the variable: if present, it swallows this one. The
        // candidates are compared in place; a copy is made only for a merge.
        const uint64_t withoutHash = term.hash - literalHash(literal);
        const uint32_t shorter = term.length - 1;
        const auto withoutCut = [begin, cut, shorter](const Literal* stored) {
            return std::equal(begin, begin + cut, stored) &&
                   std::equal(begin + cut + 1, begin + shorter + 1, stored + cut);
        };
        if (findMatching(withoutHash, shorter, withoutCut) != noTerm) {
            terms[index].alive = false;
            continue;
        }
        // The twin with the opposite literal: both become the term without it.
        const auto flippedAtCut = [begin, cut, &term, literal](const Literal* stored) {
            return stored[cut] == (literal ^ 1u) && std::equal(begin, begin + cut, stored) &&
                   std::equal(begin + cut + 1, begin + term.length, stored + cut + 1);
        };
        uint32_t twinIndex =
            findMatching(withoutHash + literalHash(literal ^ 1u), term.length, flippedAtCut);
        if (twinIndex == noTerm) continue;
        terms[index].alive = false;
        terms[twinIndex].alive = false;
        scratch.assign(begin, begin + term.length);
        scratch.erase(scratch.begin() + static_cast<int64_t>(cut));
        uint32_t merged = addTerm(scratch.data(), shorter, withoutHash);
        for (Literal kept : scratch) termsNaming[literalPosition(kept)].push_back(merged);
    }
}

// --- trie order ----------------------------------------------------------------------

// Trie order: at the first position where two terms differ, complemented comes
// before absent, and absent before uncomplemented.
bool TermTrie::termLess(uint32_t a, uint32_t b) const {
    const Literal* pa = literalPool.data() + terms[a].offset;
    const Literal* ea = pa + terms[a].length;
    const Literal* pb = literalPool.data() + terms[b].offset;
    const Literal* eb = pb + terms[b].length;
    while (pa != ea || pb != eb) {
        if (pa != ea && pb != eb && literalPosition(*pa) == literalPosition(*pb)) {
            if (*pa != *pb) return !literalPositive(*pa);
            ++pa;
            ++pb;
            continue;
        }
        bool aFirst = pb == eb || (pa != ea && literalPosition(*pa) < literalPosition(*pb));
        return aFirst ? !literalPositive(*pa) : literalPositive(*pb);
    }
    return false;
}

void TermTrie::freeze() {
    if (entersWords()) {
        std::visit(
            [this](auto& set) {
                if constexpr (!std::is_same_v<std::decay_t<decltype(set)>, std::monostate>) {
                    freezeWords(set);
                }
            },
            wordTerms);
        wordTerms.emplace<std::monostate>();
        buildTrie();
        return;
    }
    sorted.clear();
    for (uint32_t index = 0; index < terms.size(); ++index) {
        if (terms[index].alive) sorted.push_back(index);
    }
    std::sort(sorted.begin(), sorted.end(),
              [this](uint32_t a, uint32_t b) { return termLess(a, b); });
    slots.clear();
    slots.shrink_to_fit();
    buildMasks();
    buildTrie();
}

void TermTrie::buildMasks() {
    denseWords = levels <= maskedLevelsLimit ? (levels + 63) / 64 : 0;
    if (denseWords == 0) return;
    occurMask.assign(sorted.size() * denseWords, 0);
    positiveMask.assign(sorted.size() * denseWords, 0);
    for (uint32_t index = 0; index < sorted.size(); ++index) {
        for (const Literal* at = termBegin(index); at != termEnd(index); ++at) {
            uint32_t position = literalPosition(*at);
            size_t word = size_t{index} * denseWords + position / 64;
            uint64_t bit = uint64_t{1} << (position % 64);
            occurMask[word] |= bit;
            if (literalPositive(*at)) positiveMask[word] |= bit;
        }
    }
}

const Literal* TermTrie::termBegin(uint32_t index) const {
    return literalPool.data() + terms[sorted[index]].offset;
}

const Literal* TermTrie::termEnd(uint32_t index) const {
    const Term& term = terms[sorted[index]];
    return literalPool.data() + term.offset + term.length;
}

uint32_t TermTrie::firstDifference(uint32_t a, uint32_t b, uint32_t from) const {
    if (denseWords != 0) {
        for (uint32_t word = from / 64; word < denseWords; ++word) {
            const size_t wa = size_t{a} * denseWords + word;
            const size_t wb = size_t{b} * denseWords + word;
            uint64_t differ =
                (occurMask[wa] ^ occurMask[wb]) | (positiveMask[wa] ^ positiveMask[wb]);
            if (word == from / 64) differ &= ~uint64_t{0} << (from % 64);
            if (differ != 0) {
                return std::min(levels, word * 64 + static_cast<uint32_t>(__builtin_ctzll(differ)));
            }
        }
        return levels;
    }
    const Literal* ea = termEnd(a);
    const Literal* eb = termEnd(b);
    const Literal* pa = findPosition(termBegin(a), ea, from);
    const Literal* pb = findPosition(termBegin(b), eb, from);
    while (pa != ea && pb != eb && *pa == *pb) {
        ++pa;
        ++pb;
    }
    uint32_t positionA = pa == ea ? levels : literalPosition(*pa);
    uint32_t positionB = pb == eb ? levels : literalPosition(*pb);
    return std::min(positionA, positionB);
}

uint8_t TermTrie::rankAt(uint32_t index, uint32_t position) const {
    if (denseWords != 0) {
        size_t word = size_t{index} * denseWords + position / 64;
        uint64_t bit = uint64_t{1} << (position % 64);
        if ((occurMask[word] & bit) == 0) return rankDash;
        return (positiveMask[word] & bit) != 0 ? rankOne : rankZero;
    }
    const Literal* end = termEnd(index);
    const Literal* at = findPosition(termBegin(index), end, position);
    if (at == end || literalPosition(*at) != position) return rankDash;
    return rankOf(*at);
}

// Sign of the term's first literal in [from, to): -1 complemented, 1 uncomplemented,
// 0 when it has none there.
int8_t TermTrie::firstLiteralSign(uint32_t index, uint32_t from, uint32_t to) const {
    if (from >= to) return 0;
    if (denseWords != 0) {
        const size_t base = size_t{index} * denseWords;
        for (uint32_t word = from / 64; word * 64 < to; ++word) {
            uint64_t span = ~uint64_t{0};
            if (word == from / 64) span &= ~uint64_t{0} << (from % 64);
            if ((word + 1) * 64 > to) span &= (uint64_t{1} << (to % 64)) - 1;
            uint64_t present = occurMask[base + word] & span;
            if (present == 0) continue;
            uint64_t lowest = present & (~present + 1);
            return (positiveMask[base + word] & lowest) != 0 ? 1 : -1;
        }
        return 0;
    }
    const Literal* end = termEnd(index);
    const Literal* at = findPosition(termBegin(index), end, from);
    if (at == end || literalPosition(*at) >= to) return 0;
    return literalPositive(*at) ? 1 : -1;
}

// --- the compressed trie ----------------------------------------------------------------

// First index in [lo, hi) whose rank at `position` exceeds `rank`; the terms of a
// node are ordered by their rank at its branch position.
uint32_t TermTrie::rankBound(uint32_t lo, uint32_t hi, uint32_t position, uint8_t rank) const {
    uint32_t count = hi - lo;
    while (count > 0) {
        uint32_t half = count / 2;
        if (rankAt(lo + half, position) <= rank) {
            lo += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    return lo;
}

int32_t TermTrie::buildNode(uint32_t lo, uint32_t hi, uint32_t from) {
    guardStackDepth();
    auto index = static_cast<int32_t>(nodes.size());
    const uint32_t branch = hi - lo == 1 ? levels : firstDifference(lo, hi - 1, from);
    const uint32_t cleanFrom = firstLiteralSign(lo, from, branch) == 0 ? from : noStretch;
    nodes.push_back(TrieNode{lo, hi, branch, {noNode, noNode, noNode}, cleanFrom});
    if (hi - lo == 1) return index;
    uint32_t begin = lo;
    for (uint8_t rank : {rankZero, rankDash, rankOne}) {
        uint32_t end = rankBound(begin, hi, branch, rank);
        if (end > begin) {
            int32_t kid = buildNode(begin, end, branch + 1);
            nodes[static_cast<size_t>(index)].kid[rank] = kid;
        }
        begin = end;
    }
    return index;
}

void TermTrie::buildTrie() {
    nodes.clear();
    if (!sorted.empty()) buildNode(0, termCount(), 0);
    buildDashPaths();
}

void TermTrie::buildDashPaths() {
    const size_t count = nodes.size();
    std::vector<bool> isDashKid(count, false);
    for (const TrieNode& node : nodes) {
        if (node.kid[rankDash] != noNode) isDashKid[static_cast<size_t>(node.kid[rankDash])] = true;
    }
    pathSlot.assign(count, 0);
    slotNode.clear();
    slotBranch.clear();
    slotPathEnd.assign(count, 0);
    slotNextDirty.assign(count, 0);
    for (size_t head = 0; head < count; ++head) {
        if (isDashKid[head]) continue;
        const auto first = static_cast<uint32_t>(slotNode.size());
        for (auto node = static_cast<int32_t>(head); node != noNode;
             node = nodes[static_cast<size_t>(node)].kid[rankDash]) {
            pathSlot[static_cast<size_t>(node)] = static_cast<uint32_t>(slotNode.size());
            slotNode.push_back(node);
            slotBranch.push_back(nodes[static_cast<size_t>(node)].branch);
        }
        const auto end = static_cast<uint32_t>(slotNode.size());
        uint32_t nextDirty = end;
        for (uint32_t slot = end; slot-- > first;) {
            slotPathEnd[slot] = end;
            if (nodes[static_cast<size_t>(slotNode[slot])].cleanFrom == noStretch) nextDirty = slot;
            slotNextDirty[slot] = nextDirty;
        }
    }
}

// The node reached from `node` by the given rank at `position`; the node's terms
// agree on every position before its branch.
int32_t TermTrie::step(int32_t node, uint32_t position, uint8_t rank) const {
    const TrieNode& at = nodes[static_cast<size_t>(node)];
    if (position < at.branch) return rankAt(at.lo, position) == rank ? node : noNode;
    return at.kid[rank];
}

// The node below `node` whose terms are absent at every position in [from, to):
// the node itself when its branch is at or past `to`, else the first node down its
// dash path whose branch is, provided no node on the way has a literal before its
// branch.
int32_t TermTrie::dashRun(int32_t node, uint32_t from, uint32_t to) const {
    if (node == noNode || from >= to) return node;
    const TrieNode& at = nodes[static_cast<size_t>(node)];
    const bool clean = from >= at.cleanFrom;  // nothing from `from` up to the branch
    if (at.branch >= to) return clean || firstLiteralSign(at.lo, from, to) == 0 ? node : noNode;
    if (!clean && firstLiteralSign(at.lo, from, at.branch) != 0) return noNode;
    const uint32_t slot = pathSlot[static_cast<size_t>(node)];
    const uint32_t end = slotPathEnd[slot];
    const auto reached = static_cast<uint32_t>(
        std::lower_bound(slotBranch.begin() + slot + 1, slotBranch.begin() + end, to) -
        slotBranch.begin());
    if (reached == end || slotNextDirty[slot + 1] < reached) return noNode;
    const int32_t found = slotNode[reached];
    const TrieNode& last = nodes[static_cast<size_t>(found)];
    if (last.cleanFrom != noStretch) return found;
    // Its stretch starts after the previous node's branch; only the part before `to`
    // has to be free of literals.
    return firstLiteralSign(last.lo, slotBranch[reached - 1] + 1, to) == 0 ? found : noNode;
}

// --- covering searches ------------------------------------------------------------------
// A term t covers the term p from a position on when, at every later position, t is
// absent where p is absent, and t has p's literal or is absent where p has a literal.
// `next`..`end` are p's literals still ahead; `from` is the next position to decide.
//
// Both questions of the rebuild take the same descents, which `descend` makes: at
// each of p's literals, first the child with that literal, then the one without it.
// The first walk from the root asks for a strict cover (a descent that reaches p's
// end with a literal left out on the way, `differs`) and stops at one; otherwise it
// has met every opposite branch of the literal elimination, in the order the
// elimination's search tries them (the branches below the child with the literal,
// then below the one without it, then the node's own). Only then are they tried,
// each by a walk that asks for any cover of the rest of p, until one covers it.

template <bool collectBranches>
bool TermTrie::descend(int32_t node, uint32_t from, const Literal* next, const Literal* end,
                       bool differs, std::vector<OppositeBranch>* branches) const {
    guardStackDepth();
    if (next == end) return differs && dashRun(node, from, levels) != noNode;
    const uint32_t position = literalPosition(*next);
    node = dashRun(node, from, position);
    if (node == noNode) return false;
    const int32_t same = step(node, position, rankOf(*next));
    if (same != noNode &&
        descend<collectBranches>(same, position + 1, next + 1, end, differs, branches)) {
        return true;
    }
    const int32_t dash = step(node, position, rankDash);
    if (dash != noNode &&
        descend<collectBranches>(dash, position + 1, next + 1, end, true, branches)) {
        return true;
    }
    if constexpr (collectBranches) {
        const int32_t opposite = step(node, position, literalPositive(*next) ? rankZero : rankOne);
        if (opposite != noNode) branches->push_back(OppositeBranch{opposite, position, next});
    }
    return false;
}

TermTrie::Covering TermTrie::examine(uint32_t index, std::vector<OppositeBranch>& branches) const {
    Covering covering;
    const Literal* end = termEnd(index);
    branches.clear();
    if (descend<true>(rootNode(), 0, termBegin(index), end, false, &branches)) {
        covering.strictlyCovered = true;
        return covering;
    }
    for (const OppositeBranch& branch : branches) {
        // The branch's terms have the opposite literal, so any cover of the rest will do.
        if (descend<false>(branch.node, branch.position + 1, branch.next + 1, end, true, nullptr)) {
            covering.resolvableLevel = branch.position + 1;
            break;
        }
    }
    return covering;
}

// --- entering terms from the term walk -------------------------------------------------

void TrieSink::acceptTerm(const VariableList& marks) {
    actionCheckpoint(trie.storedCount());
    std::vector<Literal>& literals = trie.incoming;
    literals.clear();
    for (int32_t position : marks.assignedPositions()) {
        bool positive = marks.entries[static_cast<size_t>(position)].value == valueTrue;
        literals.push_back(makeLiteral(static_cast<uint32_t>(position), positive));
    }
    trie.insert(literals);
}
