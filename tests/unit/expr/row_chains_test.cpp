// Rows of literals against the trees they stand for: on random stores, covers and
// products (rows without literals, single literals, repeated and negated names), the
// text and the BLIF gates written from the rows are those of the built tree, and so
// are the literal count and the order of the collected names.
#include "expr/row_chains.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_sink.h"
#include "expr/function_table.h"
#include "expr/pending_clauses.h"
#include "expr/pending_cover.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

struct ChainCase {
    const char* title;
    OperatorCode outer;
    OperatorCode inner;
    int32_t emptyRowValue;
    bool taken;       // a list of rows, with repeats and gaps, rather than every row
    int maxRows;      // rows per store, 1 to this
    int maxLiterals;  // literals per row, 0 to this
};

const ChainCase chainCases[] = {
    {"CoverOfShortRows", opOr, opAnd, valueTrue, true, 4, 2},
    {"CoverOfLongRows", opOr, opAnd, valueTrue, true, 12, 9},
    {"ProductOfClauses", opAnd, opOr, valueFalse, false, 12, 4},
    {"ProductOfUnitClauses", opAnd, opOr, valueFalse, false, 3, 1},
};

const std::vector<std::string> names{"a", "b", "c", "d", "e"};

std::string printed(const Node& tree) {
    std::ostringstream out;
    tree.print(out);
    return out.str();
}

std::string namesOf(const VariableList& list) {
    std::string text;
    for (const VariableEntry& entry : list.entries) text += symbolName(entry.name) + ' ';
    return text;
}

class RowChainsTest : public ::testing::TestWithParam<ChainCase> {};

TEST_P(RowChainsTest, RowsWriteWhatTheirTreeWrites) {
    const ChainCase& shape = GetParam();
    std::mt19937 random(2025);
    for (int round = 0; round < 400; ++round) {
        freshTable(names);
        RowStore rows;
        const int rowCount = 1 + static_cast<int>(random() % static_cast<unsigned>(shape.maxRows));
        for (int row = 0; row < rowCount; ++row) {
            // Rows without literals stay rare, as in the files.
            const int size =
                random() % 7 == 0 ? 0 : 1 + static_cast<int>(random() % shape.maxLiterals);
            for (int i = 0; i < size; ++i) {
                rows.addLiteral(intern(names[random() % names.size()]), random() % 2 == 0);
            }
            rows.closeRow();
        }
        std::vector<uint32_t> taken;
        for (int i = 0; i < rowCount; ++i) taken.push_back(random() % rows.rowCount());
        const RowChains chains{rows, shape.taken ? &taken : nullptr, shape.outer, shape.inner,
                               shape.emptyRowValue};

        Node* tree = buildChains(chains);
        ASSERT_NE(tree, nullptr);
        std::ostringstream text;
        printChains(chains, text);
        ASSERT_EQ(text.str(), printed(*tree)) << "round " << round;
        EXPECT_EQ(chainLiteralCount(chains), tree->literalCount());

        VariableList collected;
        collectChainVariables(chains, collected);
        VariableList walked;
        workspace.currentList = &walked;
        tree->collectVariables();
        EXPECT_EQ(namesOf(collected), namesOf(walked));

        blifSignalCounter = round;
        std::ostringstream fromRows;
        {
            TextSink sink(fromRows);
            emitChainsBlif(chains, sink, "f");
        }
        const int64_t afterRows = blifSignalCounter;
        blifSignalCounter = round;
        FunctionEntry& entry = workspace.table->appendEntry(tree, nullptr, "f");
        workspace.currentEntry = &entry;
        std::ostringstream fromTree;
        {
            TextSink sink(fromTree);
            tree->emitBlif(sink);
        }
        ASSERT_EQ(fromRows.str(), fromTree.str()) << "round " << round << ": " << text.str();
        EXPECT_EQ(afterRows, blifSignalCounter);
        workspace.currentEntry = nullptr;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, RowChainsTest, ::testing::ValuesIn(chainCases),
                         [](const ::testing::TestParamInfo<ChainCase>& param) {
                             return std::string(param.param.title);
                         });

// A function that holds rows prints and writes its gates from them, keeps them
// (no tree is built for that), and builds the same tree when one is asked for.
TEST(PendingForms, EntriesWriteWithoutBuildingTheTree) {
    freshTable(names);
    auto clauses = std::make_unique<PendingClauses>();
    clauses->falsify();  // an empty clause first: the and starts at the constant false
    for (const char* name : {"a", "b"}) clauses->store().addLiteral(intern(name), false);
    clauses->store().addLiteral(intern("c"), true);
    clauses->store().closeRow();
    FunctionEntry& entry = workspace.table->appendEntry(nullptr, nullptr, "y0");
    entry.holdPending(std::move(clauses));
    workspace.currentEntry = &entry;
    std::ostringstream text;
    entry.print(text);
    EXPECT_EQ(text.str(), "\"0\" and ( ( a or b ) or ( not c ) )");
    blifSignalCounter = 0;
    std::ostringstream gates;
    {
        TextSink sink(gates);
        entry.emitBlif(sink);
    }
    EXPECT_EQ(gates.str(),
              ".names sig0\n.names a b sig1\n1- 1\n-1 1\n.names c sig2\n0 1\n"
              ".names sig1 sig2 sig3\n1- 1\n-1 1\n.names sig0 sig3 y0\n11 1\n");
    EXPECT_EQ(blifSignalCounter, 5);
    EXPECT_EQ(entry.literalCount(), 3);
    EXPECT_EQ(entry.pendingSum(), nullptr);  // a product is no sum of products
    const EntryContent held = entry.copyContent();
    EXPECT_EQ(held.tree, nullptr);
    EXPECT_NE(held.sum, nullptr);
    EXPECT_EQ(printed(*entry.tree()), text.str());
}

}  // namespace
