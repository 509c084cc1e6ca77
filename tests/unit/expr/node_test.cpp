// Expression nodes: printing, copying, the queries, evaluation, variable collection
// and BLIF gates.
#include "expr/node.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "base/large_stack.h"
#include "base/text_sink.h"
#include "expr/function_table.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

using namespace build;

struct PrintCase {
    const char* title;
    Node* (*tree)();
    const char* text;
};

const PrintCase printCases[] = {
    {"Negation", [] { return notOf(id("a")); }, "not a"},
    {"NegatedGroup", [] { return notOf(andOf(id("a"), id("b"))); }, "not ( a and b )"},
    {"GroupedLeft", [] { return andOf(orOf(id("a"), id("b")), id("c")); }, "( a or b ) and c"},
    {"NegatedOperand", [] { return andOf(notOf(id("a")), id("b")); }, "( not a ) and b"},
    {"NestedRight", [] { return andOf(id("a"), orOf(id("b"), notOf(id("c")))); },
     "a and ( b or ( not c ) )"},
    {"EveryOperatorWord",
     [] {
         return bin(opXnor, bin(opXor, bin(opNor, bin(opNand, id("a"), id("b")), id("c")), id("d")),
                    id("e"));
     },
     "( ( ( a nand b ) nor c ) xor d ) xnor e"},
    {"FourBitConstant", [] { return constant(5, 4); }, "\"0101\""},
    {"OneBitTrue", [] { return constant(1); }, "\"1\""},
    {"OneBitFalse", [] { return constant(0); }, "\"0\""},
    {"OneBitComplementOfTrue", [] { return constant(-2); }, "\"0\""},
    {"WideZeroIsAllZeros", [] { return constant(0, 2); }, "\"00\""},
    {"DigitsBeyondThirtyTwoBitsAreZero", [] { return constant(-1, 34); },
     "\"0011111111111111111111111111111111\""},
};

class Printing : public ::testing::TestWithParam<PrintCase> {};

TEST_P(Printing, WritesInfixText) {
    Node* tree = GetParam().tree();
    EXPECT_EQ(toText(*tree), GetParam().text);
    delete tree;
}

INSTANTIATE_TEST_SUITE_P(Nodes, Printing, ::testing::ValuesIn(printCases),
                         [](const auto& param) { return std::string(param.param.title); });

TEST(Nodes, OneBitZeroIsStoredAsComplementOfOne) {
    VectNode zero(0, 1);
    EXPECT_EQ(zero.value, valueFalse);
    VectNode wide(0, 3);
    EXPECT_EQ(wide.value, 0);
}

TEST(Nodes, CloneSharesNothing) {
    Node* original = andOf(orOf(id("a"), notOf(id("b"))), constant(1));
    Node* copy = original->clone();
    EXPECT_EQ(toText(*copy), toText(*original));
    auto* root = static_cast<BNode*>(copy);
    EXPECT_NE(root->left, static_cast<BNode*>(original)->left);
    delete original;
    EXPECT_EQ(toText(*copy), "( a or ( not b ) ) and \"1\"");
    delete copy;
}

struct QueryCase {
    const char* title;
    Node* (*tree)();
    bool dnfWithOr;
    bool dnfWithoutOr;
    bool hasOr;
};

const QueryCase queryCases[] = {
    {"SumOfProducts", [] { return orOf(id("a"), andOf(id("b"), notOf(id("c")))); }, true, false,
     true},
    {"ProductOfSum", [] { return andOf(id("a"), orOf(id("b"), id("c"))); }, false, false, true},
    {"NegatedProduct", [] { return notOf(andOf(id("a"), id("b"))); }, false, false, false},
    {"NegatedSum", [] { return notOf(orOf(id("a"), id("b"))); }, false, false, true},
    {"Product", [] { return andOf(notOf(id("a")), id("b")); }, true, true, false},
    {"Xor", [] { return bin(opXor, id("a"), id("b")); }, false, false, false},
    {"Leaf", [] { return id("a"); }, true, true, false},
};

class Queries : public ::testing::TestWithParam<QueryCase> {};

TEST_P(Queries, AnswerAsDefined) {
    Node* tree = GetParam().tree();
    EXPECT_EQ(tree->isDnf(true), GetParam().dnfWithOr);
    EXPECT_EQ(tree->isDnf(false), GetParam().dnfWithoutOr);
    EXPECT_EQ(tree->containsOperator(opOr), GetParam().hasOr);
    delete tree;
}

INSTANTIATE_TEST_SUITE_P(Nodes, Queries, ::testing::ValuesIn(queryCases),
                         [](const auto& param) { return std::string(param.param.title); });

TEST(Nodes, OtherOperatorAndWidthAndLiteralCount) {
    Node* tree = andOf(andOf(id("a"), notOf(id("b"))), orOf(id("c"), constant(2, 2)));
    EXPECT_TRUE(tree->containsOtherOperator(opAnd));
    EXPECT_TRUE(tree->containsOtherOperator(opOr));
    EXPECT_FALSE(tree->hasWidth(1));
    EXPECT_TRUE(tree->hasWidth(2));
    EXPECT_EQ(tree->literalCount(), 3);
    delete tree;
    Node* product = andOf(id("a"), notOf(id("b")));
    EXPECT_FALSE(product->containsOtherOperator(opAnd));
    delete product;
}

TEST(Nodes, CollectVariablesInFirstOccurrenceOrder) {
    freshTable({});
    Node* tree = orOf(andOf(id("b"), id("a")), andOf(id("a"), id("c")));
    VariableList list;
    workspace.currentList = &list;
    tree->collectVariables();
    tree->collectVariables();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(symbolName(list.entries[0].name), "b");
    EXPECT_EQ(symbolName(list.entries[1].name), "a");
    EXPECT_EQ(symbolName(list.entries[2].name), "c");
    workspace.currentList = nullptr;
    delete tree;
}

TEST(Nodes, EvaluateIsBitwise) {
    freshTable({"a", "b"});
    Node* tree = bin(opXnor, bin(opNand, id("a"), id("b")), bin(opNor, id("a"), notOf(id("b"))));
    for (uint64_t bits = 0; bits < 4; ++bits) {
        bool a = (bits & 1) != 0, b = (bits & 2) != 0;
        bool expected = !(a && b) == !(a || !b);
        EXPECT_EQ(evaluateUnder(*tree, bits), expected) << bits;
    }
    delete tree;
    Node* unknown = id("zz");
    workspace.currentList = &workspace.table->variableList;
    EXPECT_EQ(unknown->evaluate(), 0);
    delete unknown;
}

std::string blifOf(Node* tree, const std::string& name) {
    FunctionEntry& entry = workspace.table->appendEntry(tree, nullptr, name);
    workspace.currentEntry = &entry;
    std::ostringstream out;
    TextSink sink(out);
    tree->emitBlif(sink);
    sink.flush();
    return out.str();
}

TEST(Nodes, BlifGatesInPostOrderWithCounter) {
    freshTable({"a", "b", "c"});
    blifSignalCounter = 0;  // earlier tests in this process may have counted
    EXPECT_EQ(blifOf(orOf(andOf(id("a"), id("b")), id("c")), "f"),
              ".names a b sig0\n11 1\n.names sig0 c f\n1- 1\n-1 1\n");
    EXPECT_EQ(blifSignalCounter, 2);
    EXPECT_EQ(blifOf(id("a"), "g"), ".names a g\n1 1\n");
    EXPECT_EQ(blifOf(notOf(bin(opXnor, id("a"), id("b"))), "h"),
              ".names a b sig2\n00 1\n11 1\n.names sig2 h\n0 1\n");
    EXPECT_EQ(
        blifOf(bin(opNand, id("a"), bin(opNor, id("b"), bin(opXor, id("c"), id("a")))), "k"),
        ".names c a sig4\n10 1\n01 1\n.names b sig4 sig5\n00 1\n.names a sig5 k\n0- 1\n-0 1\n");
}

TEST(Nodes, BlifConstantsDriveTheirSignal) {
    freshTable({"a"});
    blifSignalCounter = 7;
    EXPECT_EQ(blifOf(constant(1), "t"), ".names t\n1\n");
    EXPECT_EQ(blifOf(constant(0), "z"), ".names z\n");
    EXPECT_EQ(blifOf(andOf(id("a"), constant(0)), "f"), ".names sig9\n.names a sig9 f\n11 1\n");
    EXPECT_EQ(blifSignalCounter, 11);
}

// A million-node left-deep chain, as a DIMACS file of a million clauses gives.
TEST(Nodes, MillionNodeChainSurvivesEveryWalk) {
    int status = runOnLargeStack([] {
        freshTable({"a", "b"});
        Node* chain = id("a");
        for (int i = 0; i < 1000000; ++i)
            chain = andOf(chain, (i % 2) != 0 ? id("a") : notOf(id("b")));
        Node* copy = chain->clone();
        std::ostringstream text;
        copy->print(text);
        bool sizeOk = text.str().size() > 6000000;
        bool valueOk = !evaluateUnder(*copy, 3) && evaluateUnder(*copy, 1);
        bool countOk = copy->literalCount() == 1000001;
        FunctionEntry& entry = workspace.table->appendEntry(chain, nullptr, "f");
        workspace.currentEntry = &entry;
        std::ostringstream gates;
        TextSink sink(gates);
        chain->emitBlif(sink);
        sink.flush();
        bool gatesOk = gates.str().size() > 1000000;
        delete copy;
        releaseTable();
        createTable();
        return sizeOk && valueOk && countOk && gatesOk ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

}  // namespace
