// The dispatcher against an independent oracle: every function's truth table before
// and after an action (equal for the form changes, complemented by negation,
// restricted by the cofactor), plus the flag rules, the console actions and the
// duration text.
#include "actions/dispatcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

using namespace build;

const std::vector<std::string> inputs = {"a", "b", "c"};
constexpr uint64_t assignmentCount = uint64_t{1} << 3;

// Functions over a, b, c that use every operator, a constant and a double negation.
std::vector<std::function<Node*()>> sampleFunctions() {
    return {
        [] { return bin(opXor, id("a"), bin(opNand, id("b"), notOf(id("c")))); },
        [] { return bin(opNor, orOf(id("a"), id("b")), bin(opXnor, id("c"), id("a"))); },
        [] { return andOf(notOf(notOf(id("b"))), orOf(id("c"), constant(1))); },
        [] { return andOf(id("a"), notOf(id("a"))); },
        [] { return id("c"); },
        [] { return orOf(andOf(id("a"), id("b")), andOf(notOf(id("a")), id("c"))); },
    };
}

std::vector<bool> truthTable(const Node& tree) {
    std::vector<bool> table;
    for (uint64_t bits = 0; bits < assignmentCount; ++bits) {
        table.push_back(evaluateUnder(tree, bits));
    }
    return table;
}

std::vector<bool> complementOf(std::vector<bool> table) {
    table.flip();
    return table;
}

// Every assignment reads the given input as `value`.
std::vector<bool> restrictionOf(const Node& tree, int input, bool value) {
    std::vector<bool> table;
    const uint64_t bit = uint64_t{1} << input;
    for (uint64_t bits = 0; bits < assignmentCount; ++bits) {
        table.push_back(evaluateUnder(tree, value ? bits | bit : bits & ~bit));
    }
    return table;
}

// The terms of a sum of products: or-operands down the or-nodes, 0 for false.
int64_t termsOf(const Node& tree) {
    if (tree.opCode() == opOr) {
        const auto& node = static_cast<const BNode&>(tree);
        return termsOf(*node.left) + termsOf(*node.right);
    }
    const bool constantFalse =
        tree.opCode() == opLeaf && tree.literalCount() == 0 && tree.evaluate() == valueFalse;
    return constantFalse ? 0 : 1;
}

class DispatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        freshTable(inputs);
        resetVhdlReader();
        dispatcherState = DispatcherState{};
        for (const auto& make : sampleFunctions()) appendFunction(make());
    }
    void TearDown() override {
        releaseTable();
        resetVhdlReader();
    }

    static void appendFunction(Node* tree) {
        auto* list = new VariableList;
        workspace.currentList = list;
        tree->collectVariables();
        const std::string name = "f" + std::to_string(workspace.table->entryCount());
        workspace.table->appendEntry(tree, list, name);
    }

    static std::vector<std::vector<bool>> tables() {
        std::vector<std::vector<bool>> result;
        for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
            result.push_back(truthTable(*workspace.table->entryAt(i)->tree()));
        }
        return result;
    }

    static std::vector<std::string> texts() {
        std::vector<std::string> result;
        for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
            const Node* tree = workspace.table->entryAt(i)->tree();
            result.push_back(tree == nullptr ? "-" : toText(*tree));
        }
        return result;
    }

    static std::string scratchFile(const std::string& name) {
        return ::testing::TempDir() + "dispatcher_test_" + name;
    }

    ConsoleRedirect console;
};

class FormPreservingActionTest : public DispatcherTest,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(FormPreservingActionTest, EveryFunctionKeepsItsTruthTable) {
    const auto before = tables();
    runAction(GetParam(), nullptr);
    EXPECT_EQ(tables(), before);
}

INSTANTIATE_TEST_SUITE_P(Actions, FormPreservingActionTest, ::testing::Values(2, 3, 4, 5, 6, 7));

TEST_F(DispatcherTest, NegationComplementsEveryFunction) {
    const auto before = tables();
    runAction(1, nullptr);
    const auto after = tables();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], complementOf(before[i]));
}

struct ShapeCase {
    int action;
    int forbidden;  // an operator the chain's result never contains
};

class ActionShapeTest : public DispatcherTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(ActionShapeTest, TheChainLeavesItsNormalShape) {
    runAction(GetParam().action, nullptr);
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        const Node& tree = *workspace.table->entryAt(i)->tree();
        EXPECT_FALSE(tree.containsOperator(GetParam().forbidden)) << toText(tree);
        EXPECT_FALSE(tree.containsOperator(opXor)) << toText(tree);
    }
}

INSTANTIATE_TEST_SUITE_P(Actions, ActionShapeTest,
                         ::testing::Values(ShapeCase{2, opNand}, ShapeCase{3, opNor},
                                           ShapeCase{4, opXnor}, ShapeCase{6, opOr},
                                           ShapeCase{7, opAnd}));

TEST_F(DispatcherTest, DnfIsASumOfProductsWithItsTermsCounted) {
    runAction(4, nullptr);
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        FunctionEntry& entry = *workspace.table->entryAt(i);
        EXPECT_TRUE(entry.tree()->isDnf(true)) << toText(*entry.tree());
        EXPECT_EQ(entry.termCount, termsOf(*entry.tree())) << toText(*entry.tree());
    }
}

TEST_F(DispatcherTest, CofactorRestrictsOnlyTheChosenFunction) {
    const auto before = tables();
    const auto textsBefore = texts();
    const Node& chosen = *workspace.table->entryAt(1)->tree();
    const auto expected = restrictionOf(chosen, 2, true);
    console.type("1\n2\n1\n");
    runAction(14, nullptr);
    const auto after = tables();
    for (size_t i = 0; i < before.size(); ++i) {
        if (i == 1) {
            EXPECT_EQ(after[i], expected);
        } else {
            EXPECT_EQ(texts()[i], textsBefore[i]);
        }
    }
    EXPECT_NE(console.printedText().find("Enter output variable number:\n"
                                         "Enter input variable number:\n"
                                         "Enter input variable value:\n\n"
                                         "Operation started\n"),
              std::string::npos);
}

TEST_F(DispatcherTest, CofactorWithoutReadableAnswersChangesNothing) {
    const auto textsBefore = texts();
    console.type("none\n1\n1\n");
    runAction(14, nullptr);
    EXPECT_EQ(texts(), textsBefore);
    EXPECT_FALSE(std::cin);
    EXPECT_NE(console.printedText().find("Operation finished\n\n"), std::string::npos);
}

TEST_F(DispatcherTest, CofactorValueTwoIsTakenAsFalse) {
    const auto expected = restrictionOf(*workspace.table->entryAt(0)->tree(), 0, false);
    console.type("0\n0\n2\n");
    runAction(14, nullptr);
    EXPECT_EQ(truthTable(*workspace.table->entryAt(0)->tree()), expected);
    EXPECT_FALSE(std::cin);
}

TEST_F(DispatcherTest, SaveAsDimacsLeavesEveryFunctionInCnf) {
    const auto before = tables();
    const std::string path = scratchFile("save.cnf");
    std::ofstream out(path);
    console.type("1\n");
    runAction(12, &out);
    out.close();
    EXPECT_EQ(tables(), before);
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        const Node& tree = *workspace.table->entryAt(i)->tree();
        EXPECT_FALSE(tree.containsOperator(opXor)) << toText(tree);
        EXPECT_FALSE(tree.containsOperator(opNand)) << toText(tree);
    }
    EXPECT_NE(console.printedText().find("Data saved\n"), std::string::npos);
    std::remove(path.c_str());
}

TEST_F(DispatcherTest, SaveAsPlaLeavesEveryFunctionInDnf) {
    const auto before = tables();
    const std::string path = scratchFile("save.pla");
    std::ofstream out(path);
    console.type("1\n");
    runAction(9, &out);
    out.close();
    EXPECT_EQ(tables(), before);
    for (int64_t i = 0; i < workspace.table->entryCount(); ++i) {
        EXPECT_TRUE(workspace.table->entryAt(i)->tree()->isDnf(true));
    }
    std::remove(path.c_str());
}

TEST_F(DispatcherTest, EntriesWithoutTreeAreSkipped) {
    const auto before = tables();
    workspace.table->appendEntry(nullptr, nullptr, "empty");
    runAction(1, nullptr);
    FunctionEntry& empty = *workspace.table->entryAt(workspace.table->entryCount() - 1);
    EXPECT_EQ(empty.tree(), nullptr);
    for (size_t i = 0; i < before.size(); ++i) {
        const Node& tree = *workspace.table->entryAt(static_cast<int64_t>(i))->tree();
        EXPECT_EQ(truthTable(tree), complementOf(before[i]));
    }
}

struct FlagCase {
    int action;
    bool flagAfter;
};

class SatisfiabilityFlagTest : public DispatcherTest,
                               public ::testing::WithParamInterface<FlagCase> {};

TEST_P(SatisfiabilityFlagTest, OnlyTheTestSetsItAndOnlyVhdlSavingKeepsIt) {
    dispatcherState.satisfiabilityFlag = true;
    std::ofstream unopened;  // the writers refuse it and write nothing
    console.type("0\n0\n0\n\n");
    runAction(GetParam().action, &unopened);
    EXPECT_EQ(dispatcherState.satisfiabilityFlag, GetParam().flagAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SatisfiabilityFlagTest,
    ::testing::Values(FlagCase{1, false}, FlagCase{2, false}, FlagCase{3, false},
                      FlagCase{4, false}, FlagCase{5, true}, FlagCase{6, false}, FlagCase{7, false},
                      FlagCase{8, false}, FlagCase{9, false}, FlagCase{10, true},
                      FlagCase{11, false}, FlagCase{12, false}, FlagCase{13, false},
                      FlagCase{14, false}, FlagCase{0, true}, FlagCase{15, true},
                      FlagCase{-1, true}));

TEST_F(DispatcherTest, SatisfiabilityTestSetsTheFlag) {
    dispatcherState.satisfiabilityFlag = false;
    runAction(5, nullptr);
    EXPECT_TRUE(dispatcherState.satisfiabilityFlag);
}

TEST_F(DispatcherTest, ActionsOutsideTheMenuDoNothing) {
    const auto before = texts();
    for (int action : {0, 15, 16, -3}) runAction(action, nullptr);
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(console.printedText(), "");
}

TEST_F(DispatcherTest, AbsorptionToggles) {
    runAction(13, nullptr);
    EXPECT_FALSE(dispatcherState.absorptionEnabled);
    runAction(13, nullptr);
    EXPECT_TRUE(dispatcherState.absorptionEnabled);
    EXPECT_EQ(console.printedText(), "Absorption disabled\nAbsorption enabled\n");
}

TEST_F(DispatcherTest, AddFunctionAppendsOneCountedFunction) {
    const int64_t entries = workspace.table->entryCount();
    console.type("\nnew <= 4 or d; ignored <= a;\n");
    runAction(8, nullptr);
    ASSERT_EQ(workspace.table->entryCount(), entries + 1);
    EXPECT_EQ(workspace.table->addedCount, 1);
    FunctionEntry& added = *workspace.table->entryAt(entries);
    EXPECT_EQ(added.name, "new");
    EXPECT_EQ(toText(*added.tree()), "c or d");
    ASSERT_NE(added.variableList, nullptr);
    ASSERT_EQ(added.variableList->count(), 2);
    EXPECT_EQ(symbolName(added.variableList->entries[0].name), "c");
    EXPECT_EQ(symbolName(added.variableList->entries[1].name), "d");
    // The new input joins the table's inputs, after the loaded ones.
    ASSERT_EQ(workspace.table->variableList.count(), 4);
    EXPECT_EQ(symbolName(workspace.table->variableList.entries[3].name), "d");
    EXPECT_EQ(console.printedText(), "Input command string:");
}

TEST_F(DispatcherTest, AddFunctionWithAFaultyLineAddsNothing) {
    const int64_t entries = workspace.table->entryCount();
    console.type("\nf <= ;\n");
    runAction(8, nullptr);
    EXPECT_EQ(workspace.table->entryCount(), entries);
    EXPECT_EQ(workspace.table->addedCount, 0);
    EXPECT_EQ(console.printedText(), "Input command string:Syntax error at line:1\n");
}

TEST_F(DispatcherTest, TimedActionsReportTheirDuration) {
    runAction(4, nullptr);
    const std::regex report(
        "\nOperation started\nOperation took [0-9.e+-]+ seconds\nOperation finished\n\n");
    EXPECT_TRUE(std::regex_match(console.printedText(), report)) << console.printedText();
}

struct DurationCase {
    int64_t milliseconds;
    const char* text;
};

class DurationTextTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationTextTest, SecondsInTheDefaultStreamForm) {
    EXPECT_EQ(durationText(GetParam().milliseconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Durations, DurationTextTest,
                         ::testing::Values(DurationCase{0, "Operation took 0 seconds"},
                                           DurationCase{16, "Operation took 0.016 seconds"},
                                           DurationCase{2500, "Operation took 2.5 seconds"},
                                           DurationCase{60000, "Operation took 60 seconds"},
                                           DurationCase{1234567,
                                                        "Operation took 1234.57 seconds"}));

}  // namespace
