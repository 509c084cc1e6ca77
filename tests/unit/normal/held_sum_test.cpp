// A function may hold a sum of products instead of its tree: a PLA output's rows,
// or the engine's result. Whatever reads the sum must get what it would get from
// the built tree: the terms the walk reports (in order, with the same marks), the
// literal count and whether the tree is a leaf; and a normal form computed from the
// held sum must equal the one computed from the tree.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/pending_cover.h"
#include "expr/term_sink.h"
#include "expr/term_walk.h"
#include "normal/normalize.h"
#include "normal/sum_of_products.h"
#include "tests/unit/expr/random_trees.h"
#include "tests/unit/expr/recording_sink.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/table_engine.h"

namespace {

std::string walkOfTree(const PendingSum& sum) {
    Node* tree = sum.buildTree();
    RecordingSink transcript;
    workspace.table->variableList.clearAssignments();
    bool any = reportAllTerms(tree, workspace.table->variableList, transcript);
    delete tree;
    return transcript.text + (any ? "" : "none");
}

std::string reportOfSum(const PendingSum& sum) {
    RecordingSink transcript;
    workspace.table->variableList.clearAssignments();
    bool any = sum.reportTerms(workspace.table->variableList, transcript);
    return transcript.text + (any ? "" : "none");
}

bool treeIsLeaf(const PendingSum& sum) {
    Node* tree = sum.buildTree();
    bool leaf =
        tree->isLeaf() || (tree->opCode() == opNot && static_cast<UNode*>(tree)->operand->isLeaf());
    delete tree;
    return leaf;
}

int64_t treeLiterals(const PendingSum& sum) {
    Node* tree = sum.buildTree();
    int64_t count = tree->literalCount();
    delete tree;
    return count;
}

void expectSumReadsAsItsTree(const PendingSum& sum, const std::string& context) {
    ASSERT_EQ(reportOfSum(sum), walkOfTree(sum)) << context;
    EXPECT_EQ(sum.literalCount(), treeLiterals(sum)) << context;
    EXPECT_EQ(sum.buildsLeaf(), treeIsLeaf(sum)) << context;
}

std::vector<std::string> names(int inputs) {
    std::vector<std::string> list;
    for (int i = 0; i < inputs; ++i) list.push_back("x" + std::to_string(i));
    return list;
}

// Rows over the table's names, a name it lacks ("gone"), repeated and clashing
// literals and rows without literals.
std::shared_ptr<RowStore> randomRows(RandomTreeMaker& random, int inputs, int rowCount) {
    auto rows = std::make_shared<RowStore>();
    for (int row = 0; row < rowCount; ++row) {
        uint32_t length = random.below(4);
        for (uint32_t k = 0; k < length; ++k) {
            bool unknown = random.below(25) == 0;
            Symbol name =
                unknown ? intern("gone")
                        : intern("x" + std::to_string(random.below(static_cast<uint32_t>(inputs))));
            rows->addLiteral(name, random.below(2) == 0);
        }
        rows->closeRow();
    }
    return rows;
}

TEST(HeldSums, PlaCoversReadAsTheirTrees) {
    RandomTreeMaker random(5);
    for (int round = 0; round < 400; ++round) {
        const int inputs = 1 + static_cast<int>(random.below(5));
        freshTable(names(inputs));
        const int rowCount = 1 + static_cast<int>(random.below(6));
        PendingCover cover(randomRows(random, inputs, rowCount));
        for (int taken = 0; taken < rowCount; ++taken) {
            if (random.below(3) != 0) cover.takeRow(static_cast<uint32_t>(taken));
        }
        if (cover.empty()) cover.takeRow(0);
        expectSumReadsAsItsTree(cover, "round " + std::to_string(round));
    }
}

TEST(HeldSums, EngineResultsReadAsTheirTrees) {
    RandomTreeMaker random(8);
    for (int round = 0; round < 400; ++round) {
        const int inputs = 1 + static_cast<int>(random.below(8));
        freshTable(names(inputs));
        Node* tree = random.tree(inputs, 4)->expandOperators()->toAndOrNotForm();
        tree = tree->removeDoubleNegations();
        SimplifiedSum sum = simplifiedSumOfProducts(tree, 1 + static_cast<int>(random.below(3)),
                                                    tableEngine(round % 3 != 0));
        expectSumReadsAsItsTree(sum, "round " + std::to_string(round));
    }
}

// The DNF chain from a held PLA cover against the chain from its tree.
TEST(HeldSums, NormalFormFromTheSumEqualsTheOneFromTheTree) {
    RandomTreeMaker random(13);
    for (int round = 0; round < 300; ++round) {
        const int inputs = 1 + static_cast<int>(random.below(6));
        freshTable(names(inputs));
        const int rowCount = 1 + static_cast<int>(random.below(7));
        PendingCover cover(randomRows(random, inputs, rowCount));
        for (int taken = 0; taken < rowCount; ++taken) cover.takeRow(static_cast<uint32_t>(taken));
        const int passes = round % 2 == 0 ? 7 : 1;

        SimplifiedSum fromSum = simplifiedSumOfHeld(cover, passes, tableEngine());
        SimplifiedSum fromTree = simplifiedSumOfProducts(cover.buildTree(), passes, tableEngine());
        Node* expected = fromTree.buildTree();
        Node* actual = fromSum.buildTree();
        ASSERT_EQ(toText(*actual), toText(*expected)) << "round " << round;
        EXPECT_EQ(fromSum.termCount(), fromTree.termCount());
        delete expected;
        delete actual;
    }
}

}  // namespace
