// Multiplying out by covers gives the engine exactly the input the distributed tree
// gave it. The tree path is kept here as the reference: every binary node
// distributes its (simplified) operands as a tree and hands the whole tree to the
// engine. Random trees over 1 to 40 inputs, with and without absorption, must give
// the same printed tree and term count both ways, for the DNF chain (seven more
// passes) and the complement's single pass that CNF and DIMACS use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"
#include "normal/normalize.h"
#include "normal/sum_of_products.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/reference_sum_of_products.h"
#include "tests/unit/normal/table_engine.h"

namespace {

Node* prepared(const Node& original, bool complement) {
    Node* tree = original.clone();
    tree = tree->expandOperators();
    tree = tree->toAndOrNotForm();
    tree = tree->removeDoubleNegations();
    if (complement) tree = tree->negate();
    return tree;
}

struct Result {
    std::string text;
    int64_t termCount;
};

Result byReference(const Node& original, bool complement, int passes, bool absorption) {
    const EngineParams params = tableEngine(absorption);
    int64_t termCount = 0;
    Node* tree = referenceSumOfProducts(prepared(original, complement), params, &termCount);
    for (int pass = 0; pass < passes; ++pass) tree = normalizeTerms(tree, params, &termCount);
    Result result{toText(*tree), termCount};
    delete tree;
    return result;
}

Result byCovers(const Node& original, bool complement, int passes, bool absorption) {
    const SimplifiedSum sum =
        simplifiedSumOfProducts(prepared(original, complement), passes, tableEngine(absorption));
    Node* tree = sum.buildTree();
    Result result{toText(*tree), sum.termCount()};
    delete tree;
    return result;
}

struct Sweep {
    const char* title;
    int smallestInputs;
    int largestInputs;
    int depth;
    int rounds;
};

class CoverProduct : public ::testing::TestWithParam<Sweep> {};

TEST_P(CoverProduct, GivesTheTreePathsResult) {
    const Sweep& sweep = GetParam();
    RandomTreeMaker random(7 + static_cast<uint32_t>(sweep.largestInputs));
    int unsatisfiable = 0;
    for (int round = 0; round < sweep.rounds; ++round) {
        const int span = sweep.largestInputs - sweep.smallestInputs + 1;
        const int inputs = sweep.smallestInputs + static_cast<int>(random.below(span));
        std::vector<std::string> names;
        for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
        freshTable(names);
        Node* original = random.tree(inputs, sweep.depth, round % 5 == 0);
        for (bool absorption : {true, false}) {
            for (bool complement : {false, true}) {
                const int passes = complement ? 1 : 7;
                Result expected = byReference(*original, complement, passes, absorption);
                Result actual = byCovers(*original, complement, passes, absorption);
                ASSERT_EQ(actual.text, expected.text)
                    << "round " << round << " of " << toText(*original)
                    << (complement ? " (complement)" : "") << " absorption " << absorption;
                ASSERT_EQ(actual.termCount, expected.termCount) << toText(*original);
                if (expected.termCount == 0) ++unsatisfiable;
            }
        }
        delete original;
    }
    // The sweep must reach the refutation path too, not only products.
    EXPECT_GT(unsatisfiable, 0);
}

const Sweep sweeps[] = {
    {"FewInputs", 1, 4, 5, 600},
    {"TypicalInputs", 5, 12, 5, 600},
    {"WideInputs", 13, 40, 4, 300},
    {"BeyondTheMasks", 60, 70, 3, 100},
};

INSTANTIATE_TEST_SUITE_P(Engine, CoverProduct, ::testing::ValuesIn(sweeps),
                         [](const auto& param) { return std::string(param.param.title); });

// Unsatisfiable trees small enough to multiply out: the refutation takes the
// constant 0 at once, and the multiplication agrees.
TEST(CoverProduct, RefutedFunctionsAreTheConstantZero) {
    using namespace build;
    freshTable({"a", "b", "c"});
    const auto contradiction = [] {
        return andOf(orOf(id("a"), id("b")),
                     andOf(orOf(notOf(id("a")), id("c")),
                           andOf(notOf(id("c")), andOf(notOf(id("b")), orOf(id("a"), id("c"))))));
    };
    Node* original = contradiction();
    Result expected = byReference(*original, false, 7, true);
    Result actual = byCovers(*original, false, 7, true);
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.text, "\"0\"");
    EXPECT_EQ(actual.termCount, 0);
    delete original;
}

}  // namespace
