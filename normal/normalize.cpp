// The normal-form engine: a sum of products in, a simplified sum of products out.
//
// The satisfiable terms of the input enter a term trie (the term walk reports them
// to the trie's sink, or a product of covers enters them directly), the sweep
// merges terms that differ in one variable, and the result is read off the frozen
// trie: at each trie node the results of its children, in the order complemented,
// absent, uncomplemented, are combined as OR(OR(zero, dash), one). With absorption
// enabled, a term covered by a smaller one becomes the constant 0 in place, and one
// redundant literal per term is dropped. Each call takes what the previous one
// exposed, which is why the normal forms run the engine several times; between
// passes, and between the engine calls of a multiplication, the terms are handed
// on as term sets, and a tree is built only where one is asked for.
#include "normal/normalize.h"

#include <memory>
#include <vector>

#include "base/action_watch.h"
#include "base/stack_guard.h"
#include "expr/node.h"
#include "expr/term_sink.h"
#include "expr/term_walk.h"
#include "expr/variable_list.h"
#include "normal/term_trie.h"

SimplifiedSum::SimplifiedSum(std::unique_ptr<TermTrie> frozen, const EngineParams& params)
    : trie(std::move(frozen)), inputs(&params.inputs) {
    outcomes.resize(trie->termCount());
    const std::vector<TermTrie::Covering> coverings =
        params.absorption ? trie->examineAll() : std::vector<TermTrie::Covering>();
    for (uint32_t index = 0; index < coverings.size(); ++index) {
        Outcome& outcome = outcomes[index];
        if (coverings[index].strictlyCovered) {
            outcome.absorbed = true;
        } else if (coverings[index].resolvableLevel != 0) {
            outcome.skipPosition = coverings[index].resolvableLevel - 1;
        }
    }
    for (const Outcome& outcome : outcomes) {
        if (!outcome.absorbed) ++keptCount;
    }
}

void SimplifiedSum::forEachTerm(
    const std::function<void(const Literal*, const Literal*)>& visit) const {
    std::vector<Literal> literals;
    for (uint32_t index = 0; index < outcomes.size(); ++index) {
        const Outcome& outcome = outcomes[index];
        if (outcome.absorbed) continue;
        literals.clear();
        for (const Literal* at = trie->termBegin(index); at != trie->termEnd(index); ++at) {
            if (literalPosition(*at) != outcome.skipPosition) literals.push_back(*at);
        }
        visit(literals.data(), literals.data() + literals.size());
    }
}

// A left-deep AND of the term's literals in variable-list order, leaving out the
// skipped one; the constant 1 for a term without literals, the constant 0 for an
// absorbed term.
Node* SimplifiedSum::buildLeaf(uint32_t index) const {
    const Outcome& outcome = outcomes[index];
    if (outcome.absorbed) return new VectNode(valueFalse, 1);
    Node* term = nullptr;
    for (const Literal* at = trie->termBegin(index); at != trie->termEnd(index); ++at) {
        uint32_t position = literalPosition(*at);
        if (position == outcome.skipPosition) continue;
        Node* literal = new IdentNode(inputs->entries[position].name);
        if (!literalPositive(*at)) literal = new UNode(literal);
        term = term == nullptr ? literal : new BNode(opAnd, term, literal);
    }
    return term == nullptr ? new VectNode(valueTrue, 1) : term;
}

Node* SimplifiedSum::buildNode(int32_t node) const {
    guardStackDepth();
    if (trie->isLeafNode(node)) return buildLeaf(trie->leafTerm(node));
    Node* result = nullptr;
    for (uint8_t rank : {rankZero, rankDash, rankOne}) {
        int32_t kid = trie->childNode(node, rank);
        if (kid == TermTrie::noNode) continue;
        Node* built = buildNode(kid);
        result = result == nullptr ? built : new BNode(opOr, result, built);
    }
    return result;
}

Node* SimplifiedSum::buildTree() const {
    if (!satisfiable()) return new VectNode(valueFalse, 1);
    return buildNode(trie->rootNode());
}

// The built tree's terms are its kept leaves, in trie order; each is an and-chain of
// its literals in position order, which is the order the walk assigns them in.
bool SimplifiedSum::reportTerms(VariableList& marks, TermSink& sink) const {
    bool any = false;
    forEachTerm([&](const Literal* begin, const Literal* end) {
        marks.clearAssignments();
        for (const Literal* at = begin; at != end; ++at) {
            marks.assign(static_cast<int32_t>(literalPosition(*at)),
                         literalPositive(*at) ? valueTrue : valueFalse);
        }
        sink.acceptTerm(marks);
        any = true;
    });
    return any;
}

int64_t SimplifiedSum::literalCount() const {
    int64_t count = 0;
    forEachTerm([&](const Literal* begin, const Literal* end) { count += end - begin; });
    return count;
}

bool SimplifiedSum::buildsLeaf() const {
    if (!satisfiable()) return true;
    if (outcomes.size() != 1) return false;
    const uint32_t length = static_cast<uint32_t>(trie->termEnd(0) - trie->termBegin(0));
    return length - (outcomes[0].skipPosition == UINT32_MAX ? 0 : 1) <= 1;
}

std::unique_ptr<TermTrie> emptyTermTrie(const EngineParams& params) {
    return std::make_unique<TermTrie>(static_cast<uint32_t>(params.inputs.count()));
}

bool enterTermsOf(Node* tree, TermTrie& trie, const EngineParams& params) {
    std::unique_ptr<VariableList> marks(params.inputs.copyNames());
    TrieSink sink(trie);
    return reportAllTerms(tree, *marks, sink);
}

SimplifiedSum simplifyTerms(const EngineParams& params, std::unique_ptr<TermTrie> input,
                            bool satisfiable, int passes) {
    if (!satisfiable) return SimplifiedSum();
    std::unique_ptr<TermTrie> trie = std::move(input);
    for (int pass = 1;; ++pass) {
        // A single pass is one of the many engine calls of a multiplication.
        if (passes > 1 && params.reportsProgress) noteProgressPass(pass, passes);
        trie->sweep();
        trie->freeze();
        if (pass >= passes) break;
        // The kept terms are copied out first, so that only one trie is alive at a time.
        std::vector<Literal> literals;
        std::vector<uint32_t> ends;
        // The next pass keeps the form its input was entered in.
        const bool sparseOnly = trie->sparseOnly();
        SimplifiedSum(std::move(trie), params)
            .forEachTerm([&](const Literal* begin, const Literal* end) {
                literals.insert(literals.end(), begin, end);
                ends.push_back(static_cast<uint32_t>(literals.size()));
            });
        trie = std::make_unique<TermTrie>(static_cast<uint32_t>(params.inputs.count()), sparseOnly);
        uint32_t start = 0;
        for (uint32_t end : ends) {
            trie->incoming.assign(literals.begin() + start, literals.begin() + end);
            trie->insert(trie->incoming);
            start = end;
        }
    }
    return SimplifiedSum(std::move(trie), params);
}

Node* normalizeTerms(Node* tree, const EngineParams& params, int64_t* termCount) {
    std::unique_ptr<TermTrie> trie = emptyTermTrie(params);
    bool satisfiable = enterTermsOf(tree, *trie, params);
    delete tree;
    const SimplifiedSum result = simplifyTerms(params, std::move(trie), satisfiable, 1);
    if (termCount != nullptr) *termCount = result.termCount();
    return result.buildTree();
}
