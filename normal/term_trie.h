// The term trie: the set of product terms of one engine call.
//
// Conceptually a ternary trie with one level per input of the table's variable list:
// a root-to-leaf path spells one term (zero: the variable occurs complemented, dash:
// absent, one: uncomplemented), so equal terms share one path. The trie is held here
// in array form, which scales to files with tens of thousands of inputs. It gives
// what a pointer trie taken through the same sweep and rebuild gives (the same terms
// after the sweep, in the same order, and the same answers to `examine`; the unit
// tests compare the two on random term sets), but it does not take that trie's
// steps: no level is rotated, the merges at a level are made in the order the terms
// came (entered, or made by an earlier merge), and swallowed terms stay stored,
// marked dead. The array form:
//   - while terms are entered and merged: on tables of up to 256 inputs as words
//     (word_terms.h: a pair of 32-bit words per term up to 32 inputs, else one to
//     four pairs of 64-bit words, in one array swept by passes in sorted order),
//     beyond that as a hash set of sparse terms (sorted literal lists) with
//     an index of the terms that name each variable; the sweep's result is a
//     function of the set of entered terms, so both give the same survivors;
//   - after the sweep, as the terms sorted in trie order (at each variable:
//     complemented, then absent, then uncomplemented) with a path-compressed trie
//     over them: a node is a range of that array (the terms sharing a prefix) and
//     branches only where its terms differ. Survivors in words are sorted as words
//     (one bit test at the first word that differs), and the covering searches of
//     such a trie are made for 64 neighbouring terms at once, by one walk with a
//     bit per term (`examineAll`, term_trie_joint.cpp).
//
// The simplification sweep brings every variable to the bottom level once, in the
// order the level rotation gives (the last variable first, then the first, second,
// ...), and merges sibling leaves there: for terms that agree on every other
// variable, a term without the variable swallows the ones with it, and a complemented
// and an uncomplemented twin become one term without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "expr/term_sink.h"
#include "normal/literal.h"
#include "normal/word_terms.h"

// Rank of a variable's value in a term, in trie order.
enum : uint8_t { rankZero = 0, rankDash = 1, rankOne = 2 };

class TermTrie {
  public:
    // Up to `wordLevelsLimit` inputs the terms are entered and swept as words
    // (word_terms.h) unless `sparseOnly`; the frozen form is the same either way.
    explicit TermTrie(uint32_t variableCount, bool sparseOnly = false);
    static constexpr uint32_t wordLevelsLimit = 256;

    uint32_t variableCount() const { return levels; }
    bool sparseOnly() const { return sparseRequested; }
    // Whether terms are entered as words; the cover product then enters its unions
    // as W-word terms directly (nullptr when the trie is not on W-word terms).
    bool entersWords() const { return !std::holds_alternative<std::monostate>(wordTerms); }
    template <uint32_t W>
    WordTermSet<W>* wordTermsOf() {
        return std::get_if<WordTermSet<W>>(&wordTerms);
    }

    // Enters a term given by its literals in any order; a term already present is
    // not entered twice.
    void insert(std::vector<Literal>& literals);
    std::vector<Literal> incoming;  // reused buffer for the term being entered
    // The same for literals already sorted, with their termHash.
    void insertSorted(const Literal* begin, uint32_t length, uint64_t hash);

    // The simplification sweep: every variable at the bottom once, in rotation order.
    void sweep();

    // Merges sibling leaves at one variable (see the file comment).
    void mergeBottomLevel(uint32_t variable);

    // Sorts the surviving terms into trie order; the queries below need it.
    void freeze();

    // --- after freeze ---
    uint32_t termCount() const { return static_cast<uint32_t>(sorted.size()); }
    // Terms stored so far, swallowed ones included; what the progress line counts.
    uint32_t storedCount() const;
    // Literals of the i-th term in trie order, sorted by position.
    const Literal* termBegin(uint32_t index) const;
    const Literal* termEnd(uint32_t index) const;

    // What the rebuild asks of a term, answered by one walk of the trie (`examine`).
    struct Covering {
        // Some other term's literals are a proper subset of the term's.
        bool strictlyCovered = false;
        // When not: a level (position + 1) at which the term's literal is redundant
        // (another term has the opposite literal there and covers the term
        // everywhere else). Among several, the one the depth-first search of the trie
        // meets first (deeper levels along the earlier descents first); 0 when there
        // is none.
        uint32_t resolvableLevel = 0;
    };
    // A node with the opposite of a term's literal at `position`, where that literal
    // is redundant if the node covers the term from `next` + 1 on; the walk collects
    // them in the caller's buffer, which keeps its room from term to term.
    struct OppositeBranch {
        int32_t node;
        uint32_t position;
        const Literal* next;
    };
    Covering examine(uint32_t index, std::vector<OppositeBranch>& branches) const;
    // The answers of `examine` for every term, in trie order. On a trie frozen from
    // words they come from walks that serve 64 terms neighbouring in trie order at
    // once (term_trie_joint.cpp); otherwise term by term.
    std::vector<Covering> examineAll() const;

    // The frozen trie, path-compressed: a node stands for the terms sharing a prefix
    // and branches at the first position where they differ; a leaf holds one term.
    static constexpr int32_t noNode = -1;
    int32_t rootNode() const { return nodes.empty() ? noNode : 0; }
    bool isLeafNode(int32_t node) const { return nodes[node].hi - nodes[node].lo == 1; }
    uint32_t leafTerm(int32_t node) const { return nodes[node].lo; }
    // The child of a branching node on the given rank, or noNode.
    int32_t childNode(int32_t node, uint8_t rank) const { return nodes[node].kid[rank]; }

  private:
    struct Term {
        uint64_t offset;  // into `literalPool`
        uint32_t length;
        bool alive;
        uint64_t hash;
    };

    uint32_t levels;
    bool sparseRequested;
    // The terms while entered and swept, when they fit in words; empty otherwise and
    // after the freeze, which hands the survivors to the sparse form below.
    std::variant<std::monostate, WordTermSet<0>, WordTermSet<1>, WordTermSet<2>, WordTermSet<3>,
                 WordTermSet<4>>
        wordTerms;
    // The freeze on words: the survivors sorted as words, then laid out in the
    // sparse form with their masks.
    template <uint32_t W>
    void freezeWords(WordTermSet<W>& set);
    // Whether the frozen terms came from words: `examineAll` then answers by joint
    // walks; a trie forced to the sparse form keeps the walk of one term at a time,
    // which the tests take as the reference.
    bool frozenFromWords = false;
    std::vector<Literal> literalPool;
    std::vector<Term> terms;
    // Open addressing over the terms. A slot keeps the term's hash beside its index,
    // so that a probe looks at a term's literals only when the hashes agree.
    struct Slot {
        uint64_t hash;
        uint32_t term;  // term index + 1, 0 for empty
    };
    std::vector<Slot> slots;
    uint64_t slotsUsed = 0;
    std::vector<std::vector<uint32_t>> termsNaming;  // per variable: terms with a literal on it
    std::vector<uint32_t> sorted;                    // alive terms in trie order
    // For few variables the frozen terms are also kept as bit masks (which variables
    // occur, and which occur uncomplemented), so that a node's children are found
    // with bit tests instead of searches in the literal lists.
    uint32_t denseWords = 0;  // 64-bit words per mask; 0 when the masks are not kept
    std::vector<uint64_t> occurMask;
    std::vector<uint64_t> positiveMask;
    void buildMasks();
    std::vector<Literal> scratch;

    uint32_t findTerm(const Literal* begin, uint32_t length, uint64_t hash) const;
    void prefetchTerm(uint32_t index) const;
    void prefetchLiterals(uint32_t index) const;
    void prefetchLookups(uint32_t index, uint32_t variable) const;
    void prefetchStages(const std::vector<uint32_t>& named, size_t k, uint32_t variable) const;
    // The live term with that hash and length whose literals `equal` accepts.
    template <class Equal>
    uint32_t findMatching(uint64_t hash, uint32_t length, const Equal& equal) const;
    uint32_t addTerm(const Literal* begin, uint32_t length, uint64_t hash);
    void growSlots();
    void placeInSlots(uint32_t index);
    struct TrieNode {
        uint32_t lo, hi;  // the node's terms, a range of `sorted`
        uint32_t branch;  // first position where they differ (levels for a leaf)
        int32_t kid[3];   // children at `branch`, by rank
        // The start of the node's own stretch of shared positions (its parent's branch
        // + 1) when its terms have no literal from there to `branch`; else noStretch.
        uint32_t cleanFrom;
    };
    static constexpr uint32_t noStretch = UINT32_MAX;
    std::vector<TrieNode> nodes;

    // Dash paths: following the dash child from node to node splits the trie into
    // disjoint paths, along which the branch positions grow. Each path is laid out
    // in consecutive slots, so that a run of absent variables down a path is found
    // by a binary search instead of a walk (wide inputs give paths hundreds of nodes
    // long, and the covering searches run down them for every term).
    std::vector<uint32_t> pathSlot;       // per node: its slot
    std::vector<int32_t> slotNode;        // per slot: the node
    std::vector<uint32_t> slotBranch;     // per slot: the node's branch
    std::vector<uint32_t> slotPathEnd;    // per slot: one past the last slot of its path
    std::vector<uint32_t> slotNextDirty;  // per slot: first slot from it on, in its path,
                                          // whose node has a literal before its branch
    void buildDashPaths();

    uint8_t rankAt(uint32_t term, uint32_t position) const;
    int8_t firstLiteralSign(uint32_t term, uint32_t from, uint32_t to) const;
    uint32_t firstDifference(uint32_t a, uint32_t b, uint32_t from) const;
    int32_t buildNode(uint32_t lo, uint32_t hi, uint32_t from);
    void buildTrie();
    uint32_t rankBound(uint32_t lo, uint32_t hi, uint32_t position, uint8_t rank) const;
    int32_t step(int32_t node, uint32_t position, uint8_t rank) const;
    int32_t dashRun(int32_t node, uint32_t from, uint32_t to) const;
    // The covering descents of `examine`; with `collectBranches`, the opposite
    // branches met go to `branches`.
    template <bool collectBranches>
    bool descend(int32_t node, uint32_t from, const Literal* next, const Literal* end, bool differs,
                 std::vector<OppositeBranch>* branches) const;
    bool termLess(uint32_t a, uint32_t b) const;

    // The joint walk of `examineAll` (term_trie_joint.cpp).
    struct JointQueries;
    void jointWalk(int32_t node, uint32_t from, uint64_t plain, uint64_t opposed,
                   JointQueries& queries) const;
    void jointLeaf(uint32_t term, uint64_t plain, uint64_t opposed, JointQueries& queries) const;
    bool resolvesFirst(uint32_t query, uint32_t candidate, uint32_t incumbent) const;
    template <class Visit>
    void forEachMaskedLiteral(uint32_t term, Visit&& visit) const;
};

// The engine's term sink: every term the walk reports is entered in the trie.
class TrieSink final : public TermSink {
  public:
    explicit TrieSink(TermTrie& target) : trie(target) {}
    void acceptTerm(const VariableList& assignment) override;

  private:
    TermTrie& trie;
};
