// Every action keeps the function: random expression trees (all seven operators and
// constants, up to twelve inputs, seeded) go through the dispatcher's chains, and
// the result is compared with the input by full truth-table evaluation. The shapes
// the actions promise are checked too: DNF is a counted sum of products, CNF a
// product of sums, the nand and nor forms use only their operators.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "actions/dispatcher.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

class RandomTrees {
  public:
    explicit RandomTrees(uint32_t seed) : random(seed) {}

    int inputCount() { return 1 + static_cast<int>(random() % 12); }

    Node* tree(int inputs, int depth) {
        uint32_t pick = random() % 16;
        if (depth == 0 || pick < 4) {
            if (pick == 0) return new VectNode(static_cast<int32_t>(random() % 2), 1);
            return new IdentNode("x" + std::to_string(random() % static_cast<uint32_t>(inputs)));
        }
        if (pick < 6) return new UNode(tree(inputs, depth - 1));
        int code = 1 + static_cast<int>(random() % 6);
        // xor and xnor double the tree when expanded; keep them shallow.
        int below = code >= opXor ? std::min(depth - 1, 2) : depth - 1;
        Node* left = tree(inputs, below);
        return new BNode(code, left, tree(inputs, below));
    }

    uint32_t next() { return random(); }

  private:
    std::mt19937 random;
};

std::vector<bool> truthTable(const Node& tree, int inputs) {
    std::vector<bool> table;
    for (uint64_t bits = 0; bits < (uint64_t{1} << inputs); ++bits)
        table.push_back(evaluateUnder(tree, bits));
    return table;
}

bool usesOnly(const Node* node, int allowed) {
    if (const auto* unary = dynamic_cast<const UNode*>(node))
        return usesOnly(unary->operand, allowed);
    if (const auto* binary = dynamic_cast<const BNode*>(node)) {
        return binary->op == allowed && usesOnly(binary->left, allowed) &&
               usesOnly(binary->right, allowed);
    }
    return true;
}

bool isLiteral(const Node* node) {
    if (const auto* unary = dynamic_cast<const UNode*>(node)) return unary->operand->isLeaf();
    return node->isLeaf();
}

// A product of sums: and-nodes above or-nodes above literals.
bool isCnf(const Node* node, bool andAllowed) {
    if (const auto* binary = dynamic_cast<const BNode*>(node)) {
        if (binary->op == opAnd)
            return andAllowed && isCnf(binary->left, true) && isCnf(binary->right, true);
        if (binary->op == opOr) return isCnf(binary->left, false) && isCnf(binary->right, false);
        return false;
    }
    return isLiteral(node);
}

bool negationsOnLeaves(const Node* node) {
    if (const auto* unary = dynamic_cast<const UNode*>(node)) return unary->operand->isLeaf();
    if (const auto* binary = dynamic_cast<const BNode*>(node)) {
        return (binary->op == opAnd || binary->op == opOr) && negationsOnLeaves(binary->left) &&
               negationsOnLeaves(binary->right);
    }
    return true;
}

// Terms of a sum of products; absorbed terms stay as the constant 0 and do not count.
int64_t countTerms(const Node* node) {
    if (const auto* binary = dynamic_cast<const BNode*>(node); binary && binary->op == opOr) {
        return countTerms(binary->left) + countTerms(binary->right);
    }
    const auto* constant = dynamic_cast<const VectNode*>(node);
    return constant != nullptr && constant->value == valueFalse ? 0 : 1;
}

struct Outcome {
    Node* tree;
    int64_t termCount;
};

Outcome runOn(const Node& original, int inputs, int action, bool absorption,
              const std::string& answers = "") {
    std::vector<std::string> names;
    for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
    freshTable(names);
    dispatcherState.absorptionEnabled = absorption;
    workspace.table->appendEntry(original.clone(), nullptr, "f");
    {
        ConsoleRedirect console;
        console.type(answers);
        runAction(action, nullptr);
    }
    FunctionEntry* entry = workspace.table->entryAt(0);
    Outcome outcome{entry->tree(), entry->termCount};
    entry->tree() = nullptr;
    return outcome;
}

TEST(Properties, EveryActionKeepsTheFunction) {
    RandomTrees random(4242);
    int checked = 0;
    for (int round = 0; round < 1000; ++round) {
        const int inputs = random.inputCount();
        Node* original = random.tree(inputs, 4);
        std::vector<std::string> names;
        for (int i = 0; i < inputs; ++i) names.push_back("x" + std::to_string(i));
        freshTable(names);
        const std::vector<bool> expected = truthTable(*original, inputs);
        std::vector<bool> complement;
        for (bool bit : expected) complement.push_back(!bit);
        const std::string context = "round " + std::to_string(round) + ": " + toText(*original);
        const bool absorption = round % 3 != 0;

        for (int action : {1, 2, 3, 4, 5, 6, 7}) {
            Outcome outcome = runOn(*original, inputs, action, absorption);
            const Node& result = *outcome.tree;
            ASSERT_EQ(truthTable(result, inputs), action == 1 ? complement : expected)
                << context << " action " << action << " gave " << toText(result);
            if (action == 2) {
                EXPECT_TRUE(negationsOnLeaves(&result)) << context;
            }
            if (action == 3) {
                EXPECT_TRUE(isCnf(&result, true)) << context << " -> " << toText(result);
            }
            if (action == 4 || action == 5) {
                EXPECT_TRUE(result.isDnf(true)) << context << " -> " << toText(result);
                EXPECT_EQ(outcome.termCount, countTerms(&result))
                    << context << " -> " << toText(result);
            }
            if (action == 6) {
                EXPECT_TRUE(usesOnly(&result, opAnd)) << context;
            }
            if (action == 7) {
                EXPECT_TRUE(usesOnly(&result, opOr)) << context;
            }
            delete outcome.tree;
            ++checked;
        }

        const int input = static_cast<int>(random.next() % static_cast<uint32_t>(inputs));
        const bool value = random.next() % 2 != 0;
        Outcome cofactor = runOn(*original, inputs, 14, absorption,
                                 "0\n" + std::to_string(input) + "\n" + (value ? "1" : "0") + "\n");
        freshTable(names);
        for (uint64_t bits = 0; bits < (uint64_t{1} << inputs); ++bits) {
            uint64_t restricted =
                value ? bits | (uint64_t{1} << input) : bits & ~(uint64_t{1} << input);
            ASSERT_EQ(evaluateUnder(*cofactor.tree, bits), expected[restricted]) << context;
        }
        delete cofactor.tree;
        delete original;
        ++checked;
    }
    EXPECT_EQ(checked, 1000 * 8);
}

}  // namespace
