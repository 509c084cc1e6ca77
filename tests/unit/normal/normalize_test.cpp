// The normal-form engine: the worked examples, and a comparison with a plain
// pointer-trie rendering of the same steps on random term sets.
#include "normal/normalize.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/reference_trie.h"
#include "tests/unit/normal/table_engine.h"

namespace {

using namespace build;

struct EngineCase {
    const char* title;
    std::vector<std::string> inputs;
    Node* (*input)();
    bool absorption;
    const char* expected;
    int64_t termCount;
};

const EngineCase engineCases[] = {
    {"AbsorbedTermStaysAsZero",
     {"a", "b", "c"},
     [] { return orOf(id("a"), andOf(andOf(id("a"), id("b")), id("c"))); },
     true,
     "a or \"0\"",
     1},
    {"WithoutAbsorptionBothStay",
     {"a", "b", "c"},
     [] { return orOf(id("a"), andOf(andOf(id("a"), id("b")), id("c"))); },
     false,
     "a or ( ( a and b ) and c )",
     2},
    {"RedundantLiteralDropped",
     {"a", "b", "c"},
     [] { return orOf(andOf(id("a"), id("b")), andOf(andOf(notOf(id("a")), id("b")), id("c"))); },
     true,
     "( b and c ) or ( a and b )",
     2},
    {"RedundantLiteralKeptWithoutAbsorption",
     {"a", "b", "c"},
     [] { return orOf(andOf(id("a"), id("b")), andOf(andOf(notOf(id("a")), id("b")), id("c"))); },
     false,
     "( ( ( not a ) and b ) and c ) or ( a and b )",
     2},
    {"Contradiction", {"a"}, [] { return andOf(id("a"), notOf(id("a"))); }, true, "\"0\"", 0},
    {"ConstantZero", {"a"}, [] { return constant(0); }, true, "\"0\"", 0},
    {"ConstantOne", {"a", "b"}, [] { return constant(1); }, true, "\"1\"", 1},
    {"TermOrderWithAbsorption",
     {"a", "b"},
     [] { return orOf(andOf(id("a"), notOf(id("b"))), notOf(id("a"))); },
     true,
     "( not a ) or ( not b )",
     2},
    {"TermOrderWithoutAbsorption",
     {"a", "b"},
     [] { return orOf(andOf(id("a"), notOf(id("b"))), notOf(id("a"))); },
     false,
     "( not a ) or ( a and ( not b ) )",
     2},
    {"DuplicatesCountOnce",
     {"a", "b"},
     [] { return orOf(andOf(id("a"), id("b")), andOf(id("b"), id("a"))); },
     true,
     "a and b",
     1},
    {"UnknownVariableVanishes", {"a"}, [] { return orOf(id("a"), id("zz")); }, true, "a", 1},
    {"OnlyUnknownVariables",
     {"a"},
     [] { return orOf(id("zz"), notOf(id("yy"))); },
     true,
     "\"0\"",
     0},
    {"EmptyListSatisfiable", {}, [] { return orOf(id("q"), constant(1)); }, true, "\"1\"", 1},
    {"EmptyListUnsatisfiable", {}, [] { return orOf(id("q"), id("r")); }, true, "\"0\"", 0},
    {"TwinsMerge",
     {"a", "b"},
     [] { return orOf(andOf(id("a"), id("b")), andOf(id("a"), notOf(id("b")))); },
     true,
     "a",
     1},
    {"TwoVariableDifferenceStays",
     {"a", "b"},
     [] { return orOf(andOf(notOf(id("a")), id("b")), andOf(id("a"), notOf(id("b")))); },
     true,
     "( ( not a ) and b ) or ( a and ( not b ) )",
     2},
};

class EngineExamples : public ::testing::TestWithParam<EngineCase> {};

TEST_P(EngineExamples, GivesTheExpectedTreeAndCount) {
    const EngineCase& example = GetParam();
    freshTable(example.inputs);
    int64_t termCount = -1;
    Node* result = normalizeTerms(example.input(), tableEngine(example.absorption), &termCount);
    EXPECT_EQ(toText(*result), example.expected);
    EXPECT_EQ(termCount, example.termCount);
    delete result;
}

INSTANTIATE_TEST_SUITE_P(Engine, EngineExamples, ::testing::ValuesIn(engineCases),
                         [](const auto& param) { return std::string(param.param.title); });

TEST(Engine, SecondCallRemovesTheAbsorbedZero) {
    freshTable({"a", "b", "c"});
    Node* once =
        normalizeTerms(orOf(id("a"), andOf(andOf(id("a"), id("b")), id("c"))), tableEngine());
    int64_t termCount = -1;
    Node* twice = normalizeTerms(once, tableEngine(), &termCount);
    EXPECT_EQ(toText(*twice), "a");
    EXPECT_EQ(termCount, 1);
    delete twice;
}

// --- random term sets against the pointer-trie rendering ------------------------------

Node* termTree(const DenseTerm& term) {
    const VariableList& inputs = workspace.table->variableList;
    Node* tree = nullptr;
    for (size_t position = 0; position < term.size(); ++position) {
        if (term[position] < 0) continue;
        Node* literal = new IdentNode(inputs.entries[position].name);
        if (term[position] == 0) literal = new UNode(literal);
        tree = tree == nullptr ? literal : new BNode(opAnd, tree, literal);
    }
    return tree == nullptr ? new VectNode(valueTrue, 1) : tree;
}

Node* sumTree(const std::vector<DenseTerm>& terms) {
    Node* tree = nullptr;
    for (const DenseTerm& term : terms) {
        Node* product = termTree(term);
        tree = tree == nullptr ? product : new BNode(opOr, tree, product);
    }
    return tree;
}

// The engine and the pointer-trie rendering give the same tree and term count.
::testing::AssertionResult matchesReference(const std::vector<DenseTerm>& terms, bool absorption) {
    ReferenceResult expected = referenceNormalize(terms, absorption);
    int64_t actualCount = -1;
    Node* actual = normalizeTerms(sumTree(terms), tableEngine(absorption), &actualCount);
    const std::string actualText = toText(*actual);
    const std::string expectedText = toText(*expected.tree);
    delete actual;
    delete expected.tree;
    if (actualText != expectedText) {
        return ::testing::AssertionFailure()
               << "engine gives " << actualText << ", reference " << expectedText;
    }
    if (actualCount != expected.termCount) {
        return ::testing::AssertionFailure()
               << "engine counts " << actualCount << " terms, reference " << expected.termCount;
    }
    return ::testing::AssertionSuccess();
}

TEST(Engine, MatchesPointerTrieOnRandomTermSets) {
    std::mt19937 random(20261208);
    int compared = 0;
    for (int round = 0; round < 3000; ++round) {
        int n = static_cast<int>(random() % 7);
        std::vector<std::string> inputs;
        for (int i = 0; i < n; ++i) inputs.push_back("v" + std::to_string(i));
        freshTable(inputs);
        int count = 1 + static_cast<int>(random() % 12);
        int dashPercent = static_cast<int>(random() % 80);
        std::vector<DenseTerm> terms;
        for (int t = 0; t < count; ++t) {
            DenseTerm term(static_cast<size_t>(n));
            for (auto& value : term) {
                value = static_cast<int>(random() % 100) < dashPercent
                            ? -1
                            : static_cast<int8_t>(random() % 2);
            }
            terms.push_back(term);
        }
        for (bool absorption : {true, false}) {
            ASSERT_TRUE(matchesReference(terms, absorption))
                << "round " << round << " absorption " << absorption;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 6000);
}

// Dense terms over more inputs: most terms have several redundant literals and
// several absorbing terms, so the literal elimination must take the very one the
// depth-first search meets first, and absorption must win over it.
TEST(Engine, MatchesPointerTrieWhereManyLiteralsAreRedundant) {
    std::mt19937 random(4242);
    for (int round = 0; round < 300; ++round) {
        const int n = 6 + static_cast<int>(random() % 5);
        std::vector<std::string> inputs;
        for (int i = 0; i < n; ++i) inputs.push_back("v" + std::to_string(i));
        freshTable(inputs);
        std::vector<DenseTerm> terms;
        const int count = 20 + static_cast<int>(random() % 40);
        for (int t = 0; t < count; ++t) {
            DenseTerm term(static_cast<size_t>(n));
            for (auto& value : term)
                value = random() % 5 == 0 ? -1 : static_cast<int8_t>(random() % 2);
            terms.push_back(term);
        }
        ASSERT_TRUE(matchesReference(terms, true)) << "round " << round;
    }
}

// Passes handed on as term sets give what separate calls on rebuilt trees give.
TEST(Engine, RepeatedPassesEqualSeparateCalls) {
    std::mt19937 random(31);
    for (int round = 0; round < 500; ++round) {
        int n = static_cast<int>(random() % 8);
        std::vector<std::string> inputs;
        for (int i = 0; i < n; ++i) inputs.push_back("v" + std::to_string(i));
        freshTable(inputs);
        std::vector<DenseTerm> terms;
        for (int t = 0; t < 1 + static_cast<int>(random() % 25); ++t) {
            DenseTerm term(static_cast<size_t>(n));
            for (auto& value : term)
                value = static_cast<int8_t>(static_cast<int>(random() % 3) - 1);
            terms.push_back(term);
        }
        const int passes = 1 + static_cast<int>(random() % 7);
        const EngineParams params = tableEngine(round % 4 != 0);
        Node* separate = sumTree(terms);
        int64_t separateCount = -1;
        for (int pass = 0; pass < passes; ++pass) {
            separate = normalizeTerms(separate, params, &separateCount);
        }
        std::unique_ptr<TermTrie> trie = emptyTermTrie(params);
        Node* input = sumTree(terms);
        const bool satisfiable = enterTermsOf(input, *trie, params);
        delete input;
        const SimplifiedSum sum = simplifyTerms(params, std::move(trie), satisfiable, passes);
        Node* fused = sum.buildTree();
        ASSERT_EQ(toText(*fused), toText(*separate)) << "round " << round;
        ASSERT_EQ(sum.termCount(), separateCount) << "round " << round;
        delete separate;
        delete fused;
    }
}

// Wide inputs with short terms: the covering searches run down long stretches of
// absent variables (answered by bit masks up to 512 inputs, from the literal lists
// beyond).
TEST(Engine, MatchesPointerTrieWithManyInputs) {
    std::mt19937 random(77);
    for (size_t width : {40, 200, 520}) {
        std::vector<std::string> inputs;
        for (size_t i = 0; i < width; ++i) inputs.push_back("w" + std::to_string(i));
        for (int round = 0; round < 8; ++round) {
            freshTable(inputs);
            std::vector<size_t> used;
            for (int k = 0; k < 16; ++k) used.push_back(random() % width);
            std::vector<DenseTerm> terms;
            for (int t = 0; t < 24; ++t) {
                DenseTerm term(width, -1);
                for (size_t position : used) {
                    if (random() % 3 == 0) term[position] = static_cast<int8_t>(random() % 2);
                }
                terms.push_back(term);
            }
            for (bool absorption : {true, false}) {
                ASSERT_TRUE(matchesReference(terms, absorption))
                    << "width " << width << " round " << round << " absorption " << absorption;
            }
        }
    }
}

}  // namespace
