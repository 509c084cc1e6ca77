// Terms entered and swept as words give what the sparse terms give. The sparse form
// stays the reference: tries forced to it and tries on words take the same terms
// (random sets, and sets built to merge: twins, chains of supersets, whole subcubes
// that merge over several levels), and must keep the same stored count, the same
// frozen terms, the same answers of the covering searches and the same rebuilt tree
// and term count, with absorption on and off. Widths run from 1 to 70 inputs and
// across every word boundary up to the last width held in words (32 inputs is the
// last held in 32-bit words). Random trees
// multiplied out through a chain of engine calls on each form, and cover products,
// must agree too.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"
#include "normal/cover.h"
#include "normal/normalize.h"
#include "normal/term_trie.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/table_engine.h"

namespace {

using Term = std::vector<Literal>;  // sorted by position

void useInputs(uint32_t count) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < count; ++i) names.push_back("x" + std::to_string(i));
    freshTable(names);
}

// Random terms over `inputs` positions, with the shapes that make the sweep work.
class TermMaker {
  public:
    explicit TermMaker(uint32_t seed) : random(seed) {}
    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

    Term randomTerm(uint32_t inputs, uint32_t literals) {
        Term term;
        for (uint32_t k = 0; k < literals && inputs > 0; ++k) {
            term.push_back(makeLiteral(below(inputs), below(2) == 1));
        }
        return normalized(term);
    }

    std::vector<Term> termSet(uint32_t inputs) {
        std::vector<Term> terms;
        const uint32_t count = 1 + below(60);
        const uint32_t longest = std::min<uint32_t>(inputs, 1 + below(10));
        while (terms.size() < count) {
            Term base = randomTerm(inputs, below(longest + 1));
            switch (below(6)) {
                case 0:  // the twin: one literal flipped
                    terms.push_back(base);
                    if (!base.empty()) base[below(static_cast<uint32_t>(base.size()))] ^= 1u;
                    terms.push_back(base);
                    break;
                case 1:  // a chain of supersets
                    for (uint32_t k = 0; k < 4; ++k) {
                        terms.push_back(base);
                        base.push_back(makeLiteral(below(inputs), below(2) == 1));
                        base = normalized(base);
                    }
                    break;
                case 2: {  // a whole subcube over a few fresh variables: merges at several levels
                    std::vector<uint32_t> free;
                    for (uint32_t k = 0; k < 3; ++k) free.push_back(below(inputs));
                    for (uint32_t corner = 0; corner < 8; ++corner) {
                        Term term = base;
                        for (uint32_t k = 0; k < 3; ++k) {
                            term.push_back(makeLiteral(free[k], ((corner >> k) & 1u) != 0));
                        }
                        if (below(5) != 0) terms.push_back(normalized(term));
                    }
                    break;
                }
                case 3:  // repeated
                    terms.push_back(base);
                    terms.push_back(base);
                    break;
                default:
                    terms.push_back(base);
            }
        }
        return terms;
    }

    // Hundreds of terms, so that the frozen tries are deep: the sets above less their
    // shortest terms, each term now and then with a partner that has one literal flipped and
    // another dropped (it makes the flipped literal redundant in the term).
    std::vector<Term> largeSet(uint32_t inputs) {
        std::vector<Term> terms;
        const uint32_t target = 200 + below(1000);
        while (terms.size() < target) {
            for (const Term& term : termSet(inputs)) {
                // Short terms would absorb most of a large set.
                if (term.size() < std::min<size_t>(inputs, 3)) continue;
                terms.push_back(term);
                if (term.size() < 2 || below(3) != 0) continue;
                Term partner = term;
                const auto size = static_cast<uint32_t>(partner.size());
                const uint32_t flipped = below(size);
                partner[flipped] ^= 1u;
                partner.erase(partner.begin() + (flipped + 1 + below(size - 1)) % size);
                terms.push_back(partner);
            }
        }
        return terms;
    }

  private:
    std::mt19937 random;

    // Sorted, one literal per position (the first drawn wins), as the sinks enter them.
    static Term normalized(Term term) {
        std::stable_sort(term.begin(), term.end(), [](Literal a, Literal b) {
            return literalPosition(a) < literalPosition(b);
        });
        term.erase(std::unique(term.begin(), term.end(),
                               [](Literal a, Literal b) {
                                   return literalPosition(a) == literalPosition(b);
                               }),
                   term.end());
        return term;
    }
};

// What a frozen trie shows of its terms, and what the rebuild makes of them.
struct Frozen {
    uint32_t stored = 0;
    std::vector<Term> terms;
    std::vector<uint32_t> examined;          // per term: strictly covered (0), else level + 1
    std::vector<uint32_t> examinedTogether;  // the same, from `examineAll`
    std::string text;
    int64_t termCount = 0;
};

Frozen frozenOf(std::unique_ptr<TermTrie> trie, bool absorption) {
    Frozen frozen;
    trie->sweep();
    frozen.stored = trie->storedCount();
    trie->freeze();
    std::vector<TermTrie::OppositeBranch> branches;
    for (uint32_t index = 0; index < trie->termCount(); ++index) {
        frozen.terms.emplace_back(trie->termBegin(index), trie->termEnd(index));
        const TermTrie::Covering covering = trie->examine(index, branches);
        frozen.examined.push_back(covering.strictlyCovered ? 0 : covering.resolvableLevel + 1);
    }
    for (const TermTrie::Covering& covering : trie->examineAll()) {
        frozen.examinedTogether.push_back(covering.strictlyCovered ? 0
                                                                   : covering.resolvableLevel + 1);
    }
    const SimplifiedSum sum(std::move(trie), tableEngine(absorption));
    Node* tree = sum.buildTree();
    frozen.text = toText(*tree);
    frozen.termCount = sum.termCount();
    delete tree;
    return frozen;
}

// The terms entered one by one in a word trie and in a sparse one, each frozen:
// (from the words, from the sparse terms).
std::pair<Frozen, Frozen> frozenBothWays(const std::vector<Term>& terms, uint32_t inputs,
                                         bool absorption) {
    auto words = std::make_unique<TermTrie>(inputs);
    auto sparse = std::make_unique<TermTrie>(inputs, true);
    for (const Term& term : terms) {
        Term copy = term;
        words->insert(copy);
        copy = term;
        sparse->insert(copy);
    }
    return {frozenOf(std::move(words), absorption), frozenOf(std::move(sparse), absorption)};
}

void expectSame(const Frozen& words, const Frozen& sparse, const std::string& where) {
    EXPECT_EQ(words.stored, sparse.stored) << where;
    ASSERT_EQ(words.terms, sparse.terms) << where;
    EXPECT_EQ(words.examined, sparse.examined) << where;
    EXPECT_EQ(words.examinedTogether, sparse.examined) << where;
    EXPECT_EQ(sparse.examinedTogether, sparse.examined) << where;
    EXPECT_EQ(words.text, sparse.text) << where;
    EXPECT_EQ(words.termCount, sparse.termCount) << where;
}

struct Widths {
    const char* title;
    std::vector<uint32_t> inputs;
    int rounds;
};

class WordTerms : public ::testing::TestWithParam<Widths> {};

TEST_P(WordTerms, SweepAndFreezeAsTheSparseTerms) {
    TermMaker maker(11 + static_cast<uint32_t>(GetParam().inputs.back()));
    int merged = 0;
    for (uint32_t inputs : GetParam().inputs) {
        useInputs(inputs);
        for (int round = 0; round < GetParam().rounds; ++round) {
            const std::vector<Term> terms = maker.termSet(inputs);
            for (bool absorption : {true, false}) {
                auto words = std::make_unique<TermTrie>(inputs);
                auto sparse = std::make_unique<TermTrie>(inputs, true);
                ASSERT_EQ(words->entersWords(), inputs <= TermTrie::wordLevelsLimit);
                ASSERT_FALSE(sparse->entersWords());
                for (const Term& term : terms) {
                    Term shuffled(term.rbegin(), term.rend());  // insert sorts its copy
                    words->insert(shuffled);
                    shuffled.assign(term.rbegin(), term.rend());
                    sparse->insert(shuffled);
                }
                const Frozen fromWords = frozenOf(std::move(words), absorption);
                const Frozen fromSparse = frozenOf(std::move(sparse), absorption);
                expectSame(fromWords, fromSparse,
                           "inputs " + std::to_string(inputs) + " round " + std::to_string(round) +
                               " absorption " + std::to_string(absorption));
                if (fromSparse.terms.size() < terms.size()) ++merged;
            }
        }
    }
    // The sets must make the sweep merge, or the comparison shows little.
    EXPECT_GT(merged, GetParam().rounds / 2);
}

const Widths widths[] = {
    {"OneToSeventy", {1, 2, 3, 5, 8, 13, 21, 31, 32, 33, 34, 47, 55, 63, 70}, 120},
    {"AtTheFirstWordBoundary", {64, 65}, 300},
    {"AtTheLaterWordBoundaries", {127, 128, 129, 192, 193, 255, 256, 257}, 40},
};

INSTANTIATE_TEST_SUITE_P(Engine, WordTerms, ::testing::ValuesIn(widths),
                         [](const auto& param) { return std::string(param.param.title); });

// Minterms of random functions over a few of the inputs: twins at every level, so
// that merges cascade from the first level to the last, the terms they make are
// candidates of the levels still to come, and the set grows its table in the middle
// of a level. Dense sets merge down to few terms, sparse ones hardly at all.
TEST(WordTerms, MintermSetsMergeAsTheSparseTerms) {
    TermMaker maker(23);
    struct Shape {
        uint32_t inputs;
        uint32_t spanned;  // inputs the minterms are over, spread over the width
    };
    const Shape shapes[] = {{1, 1},   {4, 4},   {9, 9},   {12, 12}, {32, 10}, {33, 10},
                            {40, 11}, {64, 10}, {65, 10}, {70, 12}, {129, 9}, {257, 8}};
    for (const Shape& shape : shapes) {
        useInputs(shape.inputs);
        for (uint32_t density : {1u, 5u, 9u}) {  // tenths of the points in the function
            std::vector<uint32_t> spread;
            for (uint32_t k = 0; k < shape.spanned; ++k) {
                spread.push_back(k * shape.inputs / shape.spanned);
            }
            std::vector<Term> terms;
            for (uint32_t point = 0; point < (1u << shape.spanned); ++point) {
                if (maker.below(10) >= density) continue;
                Term term;
                for (uint32_t k = 0; k < shape.spanned; ++k) {
                    term.push_back(makeLiteral(spread[k], ((point >> k) & 1u) != 0));
                }
                terms.push_back(term);
            }
            if (terms.empty()) continue;  // an engine call with no terms is not made
            for (bool absorption : {true, false}) {
                const auto [fromWords, fromSparse] =
                    frozenBothWays(terms, shape.inputs, absorption);
                expectSame(fromWords, fromSparse,
                           "inputs " + std::to_string(shape.inputs) + " density " +
                               std::to_string(density) + " absorption " +
                               std::to_string(absorption));
                // Merges made terms: more were stored than entered.
                if (shape.spanned >= 9 && density == 9) {
                    EXPECT_GT(fromSparse.stored, terms.size());
                }
            }
        }
    }
}

// Deep tries: the searches on words pass over whole nodes and settle leaves by bit
// tests, so they must meet strict covers and redundant literals in the same order as
// the walk of the sparse trie.
class LargeWordTerms : public ::testing::TestWithParam<Widths> {};

TEST_P(LargeWordTerms, SearchesAnswerAsOnTheSparseTerms) {
    TermMaker maker(7 + static_cast<uint32_t>(GetParam().inputs.back()));
    int covered = 0;
    int resolvable = 0;
    for (uint32_t inputs : GetParam().inputs) {
        useInputs(inputs);
        for (int round = 0; round < GetParam().rounds; ++round) {
            const std::vector<Term> terms = maker.largeSet(inputs);
            const bool absorption = round % 2 == 0;
            const auto [fromWords, fromSparse] = frozenBothWays(terms, inputs, absorption);
            expectSame(fromWords, fromSparse,
                       "inputs " + std::to_string(inputs) + " round " + std::to_string(round));
            for (uint32_t answer : fromSparse.examined) {
                covered += answer == 0 ? 1 : 0;
                resolvable += answer > 1 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(covered, 0);
    EXPECT_GT(resolvable, 0);
}

const Widths largeWidths[] = {
    {"Narrow", {1, 3, 6, 9, 13, 21}, 8},
    {"OneAndTwoWords", {34, 63, 64, 65, 70, 127, 128}, 4},
    {"ThreeAndFourWords", {129, 192, 255, 256, 257}, 3},
};

INSTANTIATE_TEST_SUITE_P(Engine, LargeWordTerms, ::testing::ValuesIn(largeWidths),
                         [](const auto& param) { return std::string(param.param.title); });

// Sets around and beyond the size from which the word terms are sorted by radix passes
// instead of comparisons, built to meet the sweep's passes where they could go wrong:
// every term entered up to three times and in shuffled order (repeats are dropped only
// once the terms are sorted), subcubes over the last input (the first level, read
// below six others in the first radix digit) and the first ones, which merge at one
// level and feed the next, twins at every input, chains of supersets swallowed level
// after level, and inputs no term has (levels passed over).
class SortedWordTerms : public ::testing::TestWithParam<Widths> {};

TEST_P(SortedWordTerms, RepeatsAndEarlyMergesSweepAsTheSparseTerms) {
    TermMaker maker(31 + static_cast<uint32_t>(GetParam().inputs.back()));
    std::mt19937 shuffle(5);
    int merged = 0;
    for (uint32_t inputs : GetParam().inputs) {
        useInputs(inputs);
        for (int round = 0; round < GetParam().rounds; ++round) {
            const size_t target = std::vector<size_t>{250, 255, 256, 257, 700, 2000}[round % 6];
            // The inputs the adversarial shapes are over: the last and the first few.
            std::vector<uint32_t> early = {inputs - 1};
            for (uint32_t k = 0; k + 1 < std::min<uint32_t>(inputs, 4); ++k) early.push_back(k);
            std::vector<Term> terms;
            while (terms.size() < target) {
                Term base = maker.randomTerm(inputs, maker.below(4));
                base.erase(std::remove_if(base.begin(), base.end(),
                                          [&early](Literal literal) {
                                              return std::count(early.begin(), early.end(),
                                                                literalPosition(literal)) != 0;
                                          }),
                           base.end());
                // A subcube over the early inputs, less now and then a corner.
                for (uint32_t corner = 0; corner < (1u << early.size()); ++corner) {
                    if (maker.below(6) == 0) continue;
                    Term term = base;
                    for (uint32_t k = 0; k < early.size(); ++k) {
                        term.push_back(makeLiteral(early[k], ((corner >> k) & 1u) != 0));
                    }
                    std::sort(term.begin(), term.end());
                    terms.push_back(term);
                }
                for (const Term& term : maker.termSet(inputs)) terms.push_back(term);
            }
            terms.resize(target);
            const size_t distinct = terms.size();
            for (size_t k = 0; k < distinct; ++k) {
                for (uint32_t again = maker.below(3); again > 0; --again) terms.push_back(terms[k]);
            }
            std::shuffle(terms.begin(), terms.end(), shuffle);
            const bool absorption = round % 2 == 0;
            const auto [fromWords, fromSparse] = frozenBothWays(terms, inputs, absorption);
            expectSame(fromWords, fromSparse,
                       "inputs " + std::to_string(inputs) + " round " + std::to_string(round));
            if (fromSparse.stored > fromSparse.terms.size()) ++merged;
        }
    }
    EXPECT_GT(merged, GetParam().rounds / 2);
}

const Widths sortedWidths[] = {
    {"OneToSeventy", {1, 2, 3, 5, 7, 8, 13, 21, 31, 32, 33, 34, 47, 55, 63, 70}, 12},
    {"AtTheFirstWordBoundary", {64, 65}, 30},
    {"AtTheLaterWordBoundaries", {127, 128, 129, 192, 193, 255, 256, 257}, 6},
};

INSTANTIATE_TEST_SUITE_P(Engine, SortedWordTerms, ::testing::ValuesIn(sortedWidths),
                         [](const auto& param) { return std::string(param.param.title); });

// What the searches answer, told from the frozen terms alone: a term is strictly
// covered when another's literals are a subset of its own; else its redundant literal
// is where the first resolver (one literal opposite, the others among the term's)
// has the opposite one, the resolvers read as one symbol per literal of the term
// (has it, lacks it, has its opposite) and compared in dictionary order.
std::vector<uint32_t> answersByDefinition(const std::vector<Term>& terms) {
    std::vector<uint32_t> answers;
    for (const Term& p : terms) {
        std::vector<uint32_t> best;  // the first resolver's symbols
        uint32_t level = 0;
        bool covered = false;
        for (const Term& t : terms) {
            if (&t == &p) continue;
            std::vector<uint32_t> symbols;
            uint32_t opposite = 0;
            uint32_t opposites = 0;
            for (Literal literal : p) {
                const bool has = std::find(t.begin(), t.end(), literal) != t.end();
                const bool flipped = std::find(t.begin(), t.end(), literal ^ 1u) != t.end();
                symbols.push_back(has ? 0 : flipped ? 2 : 1);
                if (flipped) {
                    opposite = literalPosition(literal) + 1;
                    ++opposites;
                }
            }
            const uint32_t within =
                static_cast<uint32_t>(std::count(symbols.begin(), symbols.end(), 0) + opposites);
            if (within != t.size() || opposites > 1) continue;  // t has a literal p lacks
            if (opposites == 0) {
                covered = true;
                break;
            }
            if (level == 0 || symbols < best) {
                best = symbols;
                level = opposite;
            }
        }
        answers.push_back(covered ? 0 : level + 1);
    }
    return answers;
}

// Terms with many resolvers at once: each base term comes with partners that flip one
// of its literals and drop some others, so that the joint walk has to pick the first
// of several resolvers at different levels, as the walk of one term does.
TEST(WordTerms, ResolversAreTakenInTheSearchOrder) {
    TermMaker maker(41);
    int chosenAmongSeveral = 0;
    for (uint32_t inputs : {4u, 7u, 12u, 30u, 63u, 64u, 65u, 70u, 130u, 256u}) {
        useInputs(inputs);
        for (int round = 0; round < 40; ++round) {
            std::vector<Term> terms;
            for (uint32_t base = 0; base < 3 + maker.below(12); ++base) {
                const Term term =
                    maker.randomTerm(inputs, 2 + maker.below(std::min<uint32_t>(inputs, 8)));
                terms.push_back(term);
                for (uint32_t partner = 0; partner < 1 + maker.below(6); ++partner) {
                    Term other;
                    const auto flipped = maker.below(static_cast<uint32_t>(term.size()));
                    for (uint32_t k = 0; k < term.size(); ++k) {
                        if (k == flipped)
                            other.push_back(term[k] ^ 1u);
                        else if (maker.below(3) != 0)
                            other.push_back(term[k]);
                    }
                    terms.push_back(other);
                }
            }
            const auto [fromWords, fromSparse] = frozenBothWays(terms, inputs, true);
            const std::string where =
                "inputs " + std::to_string(inputs) + " round " + std::to_string(round);
            expectSame(fromWords, fromSparse, where);
            EXPECT_EQ(answersByDefinition(fromSparse.terms), fromSparse.examined) << where;
            for (size_t index = 0; index < fromSparse.terms.size(); ++index) {
                if (fromSparse.examined[index] < 2) continue;
                // The levels this term's literal could have been dropped at.
                const Term& p = fromSparse.terms[index];
                int levels = 0;
                for (Literal literal : p) {
                    for (const Term& t : fromSparse.terms) {
                        if (std::find(t.begin(), t.end(), literal ^ 1u) == t.end()) continue;
                        bool rest = true;
                        for (Literal own : t) {
                            rest = rest && (own == (literal ^ 1u) ||
                                            std::find(p.begin(), p.end(), own) != p.end());
                        }
                        if (rest) {
                            ++levels;
                            break;
                        }
                    }
                }
                if (levels > 1) ++chosenAmongSeveral;
            }
        }
    }
    EXPECT_GT(chosenAmongSeveral, 20);
}

// The product of two covers enters the same terms on tries of words (ORs and a clash
// test per pair, on one to four words) as the merge of literal lists does on sparse
// tries.
TEST(WordTerms, CoverProductEntersTheSameTerms) {
    TermMaker maker(5);
    for (uint32_t inputs :
         {1u, 4u, 9u, 30u, 32u, 33u, 63u, 64u, 65u, 70u, 127u, 128u, 129u, 193u, 256u, 257u}) {
        useInputs(inputs);
        for (int round = 0; round < 60; ++round) {
            Cover left;
            Cover right;
            for (const Term& term : maker.termSet(inputs)) {
                left.addTerm(term.data(), term.data() + term.size());
            }
            for (const Term& term : maker.termSet(inputs)) {
                right.addTerm(term.data(), term.data() + term.size());
            }
            auto words = std::make_unique<TermTrie>(inputs);
            auto sparse = std::make_unique<TermTrie>(inputs, true);
            const bool anyWords = round % 2 == 0 ? Cover::enterProduct(left, right, *words)
                                                 : Cover::enterUnion(left, right, *words);
            const bool anySparse = round % 2 == 0 ? Cover::enterProduct(left, right, *sparse)
                                                  : Cover::enterUnion(left, right, *sparse);
            ASSERT_EQ(anyWords, anySparse);
            expectSame(frozenOf(std::move(words), true), frozenOf(std::move(sparse), true),
                       "inputs " + std::to_string(inputs) + " round " + std::to_string(round));
        }
    }
}

// --- whole trees through a chain of engine calls on one form ----------------------------

struct Chained {
    std::string text;
    int64_t termCount;
};

Node* engineCall(Node* tree, const EngineParams& params, bool sparse, int passes,
                 int64_t* termCount) {
    auto trie = std::make_unique<TermTrie>(static_cast<uint32_t>(params.inputs.count()), sparse);
    const bool any = enterTermsOf(tree, *trie, params);
    delete tree;
    const SimplifiedSum sum = simplifyTerms(params, std::move(trie), any, passes);
    *termCount = sum.termCount();
    return sum.buildTree();
}

// Bottom-up multiplication: every binary node distributes its simplified operands
// and hands the distributed tree to one engine call.
Node* multiplyOut(Node* tree, const EngineParams& params, bool sparse) {
    int64_t ignored = 0;
    if (tree->isLeaf()) return tree;
    if (auto* negation = dynamic_cast<UNode*>(tree)) {
        if (negation->operand->isLeaf()) return tree;
        negation->operand = multiplyOut(negation->operand, params, sparse)->distribute(opAnd);
        return engineCall(tree, params, sparse, 1, &ignored);
    }
    auto* binary = static_cast<BNode*>(tree);
    if (!binary->isDnf(true)) {
        binary->left = multiplyOut(binary->left, params, sparse);
        binary->right = multiplyOut(binary->right, params, sparse);
        tree = binary->distribute(opAnd);
    }
    return engineCall(tree, params, sparse, 1, &ignored);
}

Chained chain(const Node& original, bool complement, bool absorption, bool sparse) {
    Node* tree = original.clone()->expandOperators()->toAndOrNotForm()->removeDoubleNegations();
    if (complement) tree = tree->negate();
    const EngineParams params = tableEngine(absorption);
    tree = multiplyOut(tree, params, sparse);
    Chained result{"", 0};
    tree = engineCall(tree, params, sparse, complement ? 1 : 7, &result.termCount);
    result.text = toText(*tree);
    delete tree;
    return result;
}

TEST(WordTerms, TreeChainsGiveTheSparseChainsResult) {
    RandomTreeMaker random(2026);
    int constantZero = 0;
    for (int round = 0; round < 500; ++round) {
        // Every tenth table is wider than two words, where the cover product's unions
        // are made of three or four words.
        const uint32_t wide[] = {127, 128, 129, 200, 256, 257};
        const uint32_t inputs = round % 10 == 9 ? wide[random.below(6)] : 1 + random.below(70);
        useInputs(inputs);
        Node* original = random.tree(static_cast<int>(inputs), inputs > 20 ? 3 : 4, round % 5 == 0);
        for (bool absorption : {true, false}) {
            for (bool complement : {false, true}) {
                const Chained words = chain(*original, complement, absorption, false);
                const Chained sparse = chain(*original, complement, absorption, true);
                ASSERT_EQ(words.text, sparse.text)
                    << toText(*original) << (complement ? " (complement)" : "") << " absorption "
                    << absorption;
                ASSERT_EQ(words.termCount, sparse.termCount) << toText(*original);
                if (sparse.termCount == 0) ++constantZero;
            }
        }
        delete original;
    }
    EXPECT_GT(constantZero, 0);
}

}  // namespace
