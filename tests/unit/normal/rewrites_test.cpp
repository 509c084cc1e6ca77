// The tree rewrites and the sum-of-products machinery, on the worked examples:
// each case builds a tree, applies one operation and compares the printed result.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "expr/node.h"
#include "expr/term_sink.h"
#include "expr/term_walk.h"
#include "normal/sum_of_products.h"
#include "tests/unit/expr/recording_sink.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/normal/table_engine.h"

namespace {

using namespace build;

struct RewriteCase {
    const char* title;
    Node* (*tree)();
    Node* (*apply)(Node*);
    const char* expected;
};

Node* negated(Node* tree) {
    return tree->negate();
}
Node* expanded(Node* tree) {
    return tree->expandOperators();
}
Node* andOrNot(Node* tree) {
    return tree->toAndOrNotForm();
}
Node* withoutDoubleNegations(Node* tree) {
    return tree->removeDoubleNegations();
}
Node* nandForm(Node* tree) {
    return tree->toNandForm();
}
Node* norForm(Node* tree) {
    return tree->toNorForm();
}
Node* distributed(Node* tree) {
    return tree->distribute(opAnd);
}
Node* rebalanced(Node* tree) {
    return tree->rebalance();
}
Node* cofactorSecondFalse(Node* tree) {
    return tree->cofactor(1, false);
}
Node* cofactorBeyond(Node* tree) {
    return tree->cofactor(7, true);
}

const RewriteCase rewriteCases[] = {
    {"NegateTwiceGivesIdentifier", [] { return notOf(id("a")); }, negated, "a"},
    {"NegateAnd", [] { return andOf(id("a"), id("b")); }, negated, "( not a ) or ( not b )"},
    {"NegateNandKeepsOperands", [] { return bin(opNand, id("a"), notOf(id("b"))); }, negated,
     "a and ( not b )"},
    {"NegateNor", [] { return bin(opNor, id("a"), id("b")); }, negated, "a or b"},
    {"NegateXor", [] { return bin(opXor, id("a"), id("b")); }, negated, "a xnor b"},
    {"NegateXnor", [] { return bin(opXnor, id("a"), id("b")); }, negated, "a xor b"},
    {"NegateConstant", [] { return constant(1); }, negated, "not \"1\""},
    {"ExpandXor", [] { return bin(opXor, id("a"), id("b")); }, expanded,
     "( a and ( not b ) ) or ( ( not a ) and b )"},
    {"ExpandXnor", [] { return bin(opXnor, id("a"), id("b")); }, expanded,
     "not ( ( a and ( not b ) ) or ( ( not a ) and b ) )"},
    {"ExpandNand", [] { return bin(opNand, id("a"), id("b")); }, expanded, "not ( a and b )"},
    {"ExpandNor", [] { return bin(opNor, id("a"), id("b")); }, expanded, "not ( a or b )"},
    {"ExpandNestedOperandsFirst",
     [] { return notOf(bin(opNand, id("a"), bin(opXor, id("b"), id("c")))); }, expanded,
     "not ( not ( a and ( ( b and ( not c ) ) or ( ( not b ) and c ) ) ) )"},
    {"AndOrNotPushesNegation", [] { return notOf(andOf(id("a"), notOf(id("b")))); }, andOrNot,
     "( not a ) or b"},
    {"AndOrNotDeep", [] { return notOf(orOf(andOf(id("a"), id("b")), notOf(id("c")))); }, andOrNot,
     "( ( not a ) or ( not b ) ) and c"},
    {"TripleNegation", [] { return notOf(notOf(notOf(id("a")))); }, withoutDoubleNegations,
     "not a"},
    {"DoubleNegation", [] { return notOf(notOf(id("a"))); }, withoutDoubleNegations, "a"},
    {"DoubleNegationInside", [] { return andOf(notOf(notOf(id("a"))), id("b")); },
     withoutDoubleNegations, "a and b"},
    {"NandOfOr", [] { return orOf(id("a"), id("b")); }, nandForm,
     "not ( ( not a ) and ( not b ) )"},
    {"NandOfAnd", [] { return andOf(id("a"), id("b")); }, nandForm, "not ( not ( a and b ) )"},
    {"NandKeepsExistingGate", [] { return notOf(andOf(id("a"), orOf(id("b"), id("c")))); },
     nandForm, "not ( a and ( not ( ( not b ) and ( not c ) ) ) )"},
    {"NorOfAnd", [] { return andOf(id("a"), id("b")); }, norForm, "not ( ( not a ) or ( not b ) )"},
    {"NorOfOr", [] { return orOf(id("a"), id("b")); }, norForm, "not ( not ( a or b ) )"},
    {"DistributeOverRight", [] { return andOf(id("a"), orOf(id("b"), id("c"))); }, distributed,
     "( a and b ) or ( a and c )"},
    {"DistributeSwapsFirst", [] { return andOf(orOf(id("b"), id("c")), id("a")); }, distributed,
     "( a and b ) or ( a and c )"},
    {"DistributeTwoSums", [] { return andOf(orOf(id("a"), id("b")), orOf(id("c"), id("d"))); },
     distributed, "( ( c and a ) or ( c and b ) ) or ( ( d and a ) or ( d and b ) )"},
    {"DistributePureProduct", [] { return andOf(id("a"), id("b")); }, distributed, "a and b"},
    {"RebalanceLeftChain", [] { return orOf(orOf(orOf(id("a"), id("b")), id("c")), id("d")); },
     rebalanced, "( a or b ) or ( c or d )"},
    {"RebalanceWithinLimit", [] { return orOf(orOf(id("a"), id("b")), id("c")); }, rebalanced,
     "( a or b ) or c"},
    {"RebalanceRightChain", [] { return orOf(id("a"), orOf(id("b"), orOf(id("c"), id("d")))); },
     rebalanced, "( a or b ) or ( c or d )"},
    {"RebalanceZigZag", [] { return orOf(orOf(id("a"), orOf(id("b"), id("c"))), id("d")); },
     rebalanced, "( a or b ) or ( c or d )"},
    {"RebalanceSkipsAndNodes",
     [] { return andOf(orOf(orOf(orOf(id("a"), id("b")), id("c")), id("d")), id("e")); },
     rebalanced, "( ( ( a or b ) or c ) or d ) and e"},
    {"RebalanceTakesAndTermsAsLeaves",
     [] {
         return orOf(orOf(orOf(id("a"), id("b")), id("c")), andOf(id("d"), orOf(id("e"), id("f"))));
     },
     rebalanced, "( a or b ) or ( c or ( d and ( e or f ) ) )"},
    {"CofactorReplacesVariable", [] { return andOf(id("a"), id("b")); }, cofactorSecondFalse,
     "a and \"0\""},
    {"CofactorBeyondInputsChangesNothing", [] { return andOf(id("a"), id("b")); }, cofactorBeyond,
     "a and b"},
};

class Rewrites : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(Rewrites, GiveTheExpectedTree) {
    freshTable({"a", "b"});
    Node* tree = GetParam().tree();
    if (GetParam().apply == negated && tree->opCode() == opNot) {
        // "negate twice": first make the negation, then take it back.
        Node* inner = static_cast<UNode*>(tree)->operand;
        static_cast<UNode*>(tree)->operand = nullptr;
        delete tree;
        tree = inner->negate();
    }
    Node* result = GetParam().apply(tree);
    EXPECT_EQ(toText(*result), GetParam().expected);
    delete result;
}

INSTANTIATE_TEST_SUITE_P(Expr, Rewrites, ::testing::ValuesIn(rewriteCases),
                         [](const auto& param) { return std::string(param.param.title); });

TEST(SumOfProducts, LeavesAreReturnedWithoutTheEngine) {
    freshTable({"a"});
    workspace.table->termCount = 99;
    Node* leaf = id("a");
    EXPECT_EQ(toSumOfProducts(leaf, tableEngine()), leaf);
    Node* negatedLeaf = notOf(id("a"));
    EXPECT_EQ(toSumOfProducts(negatedLeaf, tableEngine()), negatedLeaf);
    EXPECT_EQ(workspace.table->termCount, 99);
    delete leaf;
    delete negatedLeaf;
}

// --- the term walk -----------------------------------------------------------------

std::string walkOutput(Node* tree) {
    RecordingSink sink;
    workspace.table->variableList.clearAssignments();
    bool satisfiable = reportAllTerms(tree, workspace.table->variableList, sink);
    if (!satisfiable) sink.text += "<none>";
    delete tree;
    return sink.text;
}

TEST(TermWalk, ReportsEachTermOnceByItsOrNode) {
    freshTable({"a", "b", "c", "d"});
    EXPECT_EQ(walkOutput(orOf(andOf(id("a"), id("b")), orOf(id("c"), id("d")))),
              "11--:0,1,\n--1-:2,\n---1:3,\n");
}

TEST(TermWalk, ContradictionsAndUnknownNamesFail) {
    freshTable({"a", "b"});
    EXPECT_EQ(walkOutput(orOf(andOf(id("a"), notOf(id("a"))), id("b"))), "-1:1,\n");
    EXPECT_EQ(walkOutput(andOf(id("a"), id("zz"))), "<none>");
    EXPECT_EQ(walkOutput(orOf(constant(0), constant(1))), "--:\n");
}

TEST(TermWalk, MarksFollowTheListAndRecordTheAssignmentOrder) {
    freshTable({"a", "b", "c"});
    EXPECT_EQ(walkOutput(andOf(notOf(id("c")), id("a"))), "1-0:2,0,\n");
    EXPECT_EQ(walkOutput(orOf(andOf(id("a"), id("b")), andOf(notOf(id("a")), id("c")))),
              "11-:0,1,\n0-1:0,2,\n");
}

}  // namespace
