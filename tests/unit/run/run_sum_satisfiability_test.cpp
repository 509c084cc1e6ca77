// --sat on a held sum of products against the truth table of the tree it builds:
// on random covers (rows without literals, rows that name an input twice with both
// signs, outputs that take no satisfiable row) the verdict is the table's, and a
// model makes the function 1.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "run/sum_satisfiability.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

struct CoverCase {
    const char* title;
    int rows;
    int maxLiterals;
};

const CoverCase coverCases[] = {
    {"OneRow", 1, 6},
    {"FewShortRows", 3, 3},
    {"ManyLongRows", 12, 8},
};

class SumSatisfiability : public ::testing::TestWithParam<CoverCase> {};

TEST_P(SumSatisfiability, VerdictAndModelAgreeWithTheTruthTable) {
    const CoverCase& shape = GetParam();
    const std::vector<std::string> names{"a", "b", "c", "d", "e", "f"};
    std::mt19937 random(7);
    int satisfiable = 0;
    for (int round = 0; round < 300; ++round) {
        freshTable(names);
        auto rows = std::make_shared<RowStore>();
        PendingCover cover(rows);
        for (int row = 0; row < shape.rows; ++row) {
            const int size = static_cast<int>(random() % (shape.maxLiterals + 1));
            for (int i = 0; i < size; ++i) {
                rows->addLiteral(intern(names[random() % names.size()]), random() % 2 == 0);
            }
            rows->closeRow();
            cover.takeRow(static_cast<uint32_t>(row));
        }
        const SatAnswer answer = decideSum(cover, workspace.table->variableList);
        const std::unique_ptr<Node> tree(cover.buildTree());
        bool any = false;
        for (uint64_t bits = 0; bits < 64; ++bits) any = any || evaluateUnder(*tree, bits);
        ASSERT_EQ(answer.verdict == SatVerdict::Satisfiable, any) << "round " << round;
        if (!any) continue;
        ++satisfiable;
        ASSERT_EQ(answer.model.size(), names.size());
        uint64_t modelBits = 0;
        for (size_t i = 0; i < answer.model.size(); ++i) {
            if (answer.model[i]) modelBits |= uint64_t{1} << i;
        }
        EXPECT_TRUE(evaluateUnder(*tree, modelBits)) << "round " << round;
    }
    // Both verdicts occur, so neither side of the comparison goes untested.
    EXPECT_GT(satisfiable, 0);
    if (shape.rows == 1) {
        EXPECT_LT(satisfiable, 300);
    }
}

INSTANTIATE_TEST_SUITE_P(Covers, SumSatisfiability, ::testing::ValuesIn(coverCases),
                         [](const ::testing::TestParamInfo<CoverCase>& param) {
                             return std::string(param.param.title);
                         });

}  // namespace
