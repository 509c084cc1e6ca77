// The normal-form engine.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "expr/pending_sum.h"
#include "normal/term_trie.h"

class Node;
class VariableList;

// Everything the engine reads besides the terms it is handed: the inputs (the table's
// variable list, whose order fixes the term positions and which must outlive the
// results), the absorption switch, and whether the call reports its steps to the
// progress line. The engine writes nothing shared and keeps nothing between calls:
// two calls on different terms may run on different threads at once, provided the
// inputs do not change meanwhile; progress goes to the calling thread's own record.
// Its only other contact with the rest of the program is the checkpoints of the
// long loops (base/action_watch.h), which read the watch's atomic flags and act
// only inside a watched action.
struct EngineParams {
    const VariableList& inputs;
    bool absorption = true;
    bool reportsProgress = false;
};

// A simplified sum of products as the engine's last pass leaves it: the surviving
// terms in trie order, each kept whole, kept with one redundant literal left out,
// or absorbed. It stands for the tree the rebuild makes of it, and hands out that
// tree's terms without building it.
class SimplifiedSum final : public PendingSum {
  public:
    SimplifiedSum() = default;  // the constant 0: no satisfiable term
    SimplifiedSum(std::unique_ptr<TermTrie> frozen, const EngineParams& params);

    bool satisfiable() const { return trie != nullptr; }
    // Terms of the rebuilt tree (absorbed ones are constants 0 there, not terms).
    int64_t termCount() const { return keptCount; }

    // Calls `visit` with the literals (sorted by position) of each term of the
    // rebuilt tree, in the order the term walk meets them there.
    void forEachTerm(const std::function<void(const Literal*, const Literal*)>& visit) const;

    // The rebuilt tree: at each trie node the results of its children, in the order
    // complemented, absent, uncomplemented, combined as OR(OR(zero, dash), one); the
    // constant 0 when nothing is satisfiable. The caller owns it.
    Node* buildTree() const override;
    bool reportTerms(VariableList& marks, TermSink& sink) const override;
    int64_t literalCount() const override;
    bool buildsLeaf() const override;

  private:
    // What the rebuild makes of one term.
    struct Outcome {
        bool absorbed = false;
        uint32_t skipPosition = UINT32_MAX;  // a literal left out, or none
    };
    std::unique_ptr<TermTrie> trie;
    const VariableList* inputs = nullptr;  // names the literals of the rebuilt tree
    std::vector<Outcome> outcomes;         // by trie order
    int64_t keptCount = 0;

    Node* buildNode(int32_t node) const;
    Node* buildLeaf(uint32_t index) const;
};

// Runs `passes` engine passes over the terms entered in `input` (which it takes
// over): each pass sweeps and freezes the trie; every pass but the last hands its
// terms on to a fresh trie as the rebuilt tree would hold them. With absorption
// enabled, a term covered by a smaller one is absorbed and one redundant literal
// per term is dropped. `satisfiable` tells whether any term was entered at all.
// The result carries its term count.
SimplifiedSum simplifyTerms(const EngineParams& params, std::unique_ptr<TermTrie> input,
                            bool satisfiable, int passes);

// Takes over a tree in sum-of-products shape and returns a new, simplified sum of
// products: its satisfiable terms (as the term walk finds them) enter a term trie,
// simplifyTerms runs one pass and the tree is rebuilt. The number of terms of the
// result (0 for the constant 0) goes to `termCount` when one is given.
Node* normalizeTerms(Node* tree, const EngineParams& params, int64_t* termCount = nullptr);

// A fresh, empty trie over the inputs.
std::unique_ptr<TermTrie> emptyTermTrie(const EngineParams& params);

// Enters the terms the term walk finds in the tree (which stays the caller's);
// answers whether there was any.
bool enterTermsOf(Node* tree, TermTrie& trie, const EngineParams& params);
