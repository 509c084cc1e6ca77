// The PLA reader: directives and renaming, rows and their output columns, constant
// rows, rows split over lines, the number separator rule, ".type", unknown and
// upper-case directives, empty input, errors keeping what was built, and the
// completion of every entry.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <sstream>
#include <string>

#include "base/large_stack.h"
#include "base/stops.h"
#include "tests/unit/formats/pla_test_support.h"

namespace {

struct LoadCase {
    const char* title;
    std::string input;
    std::string table;    // describeTable() after the load
    std::string console;  // the reader's messages
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.title;
}

class PlaLoadTest : public PlaFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(PlaLoadTest, BuildsTable) {
    const LoadCase& c = GetParam();
    const int64_t errors = load(c.input);
    EXPECT_EQ(describeTable(), c.table);
    EXPECT_EQ(console(), c.console);
    // Every message of the PLA reader is an error, and each is counted once.
    EXPECT_EQ(errors, std::count(c.console.begin(), c.console.end(), '\n'));
}

const std::string longName(101, 'n');

INSTANTIATE_TEST_SUITE_P(
    Directives, PlaLoadTest,
    ::testing::Values(
        LoadCase{"CountsGiveDefaultNames", ".i 3\n.o 2\n",
                 "inputs: x0 x1 x2\ny0: \"0\" []\ny1: \"0\" []\n", ""},
        LoadCase{"LabelsRenameInOrder", ".i 3\n.o 2\n.ilb a b c\n.ob f g\n",
                 "inputs: a b c\nf: \"0\" []\ng: \"0\" []\n", ""},
        LoadCase{"LabelsBeyondTheLastAreDropped", ".i 1\n.o 1\n.ilb a b c\n.ob f g\n1 1\n",
                 "inputs: a\nf: a [a]\n", ""},
        LoadCase{"LabelsStopAtOtherToken", ".i 2\n.o 1\n.ilb a\n11 1\n",
                 "inputs: a x1\ny0: a and x1 [a x1]\n", ""},
        LoadCase{"InputCountTwice", ".i 2\n.i 3\n.o 1\n111 1\n",
                 "inputs: x0 x1 x2\ny0: ( x0 and x1 ) and x2 [x0 x1 x2]\n", ""},
        LoadCase{"SmallerSecondInputCountSetsRowWidth", ".i 3\n.i 1\n.o 1\n1 1\n",
                 "inputs: x0 x1 x2\ny0: x0 [x0]\n", ""},
        LoadCase{"OutputCountTwiceRepeatsNames", ".o 1\n.o 2\n",
                 "inputs:\ny0: \"0\" []\ny0: \"0\" []\ny1: \"0\" []\n", ""},
        LoadCase{"MissingNumberIsZero", ".i\n.o 1\n- 1\n", "inputs:\ny0: \"0\" []\n",
                 "Syntax error at line:3\n"},
        LoadCase{"NumberSeparatedByBlank", ".o 1\n.i 1 1 1\n", "inputs: x0\ny0: x0 [x0]\n", ""},
        LoadCase{"NumberWrittenTogether", ".i 12\n.o 1\n",
                 "inputs: x0 x1 x2 x3 x4 x5 x6 x7 x8 x9 x10 x11\ny0: \"0\" []\n", ""},
        LoadCase{"NumberSeparatedByBar", ".i 1|2\n", "inputs: x0\n", "Syntax error at line:1\n"},
        LoadCase{"CommentLineEndDoesNotSeparate", ".i 1# note\n2\n",
                 "inputs: x0 x1 x2 x3 x4 x5 x6 x7 x8 x9 x10 x11\n", ""},
        LoadCase{"TypeIsIgnoredAnywhere", ".type fr\n.i 1\n.type fd\n.o 1\n1 1\n.type fr\n",
                 "inputs: x0\ny0: x0 [x0]\n", ""},
        LoadCase{"EndStopsTheLoad", ".i 1\n.o 1\n1 1\n.e\n0 1\n", "inputs: x0\ny0: x0 [x0]\n", ""},
        LoadCase{"UpperCaseDirective", ".I 3\n", "inputs:\n", "Syntax error at line:1\n"},
        LoadCase{"UnknownDirective", ".i 1\n.o 1\n1 1\n.phase 1\n0 1\n",
                 "inputs: x0\ny0: x0 [x0]\n", "Syntax error at line:4\n"},
        LoadCase{"EndWrittenOut", ".i 1\n.o 1\n1 1\n.end\n", "inputs: x0\ny0: x0 [x0]\n",
                 "Syntax error at line:4\n"},
        LoadCase{"EmptyFile", "", "inputs:\n", "Syntax error at line:1\n"},
        LoadCase{"OnlyComments", "# one\n# two\n", "inputs:\n", "Syntax error at line:3\n"},
        LoadCase{"TooLongLabel", ".i 1\n.ilb\n" + longName + "\n", "inputs: x0\n",
                 "Too long identifier at line:3\n"}),
    [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.title); });

INSTANTIATE_TEST_SUITE_P(
    Rows, PlaLoadTest,
    ::testing::Values(
        LoadCase{"RowToFirstOutputOnly", ".i 3\n.o 2\n.ilb a b c\n1-0 10\n",
                 "inputs: a b c\ny0: a and ( not c ) [a c]\ny1: \"0\" []\n", ""},
        LoadCase{"LiteralsFromLeftToRight", ".i 3\n.o 1\n101 1\n",
                 "inputs: x0 x1 x2\ny0: ( x0 and ( not x1 ) ) and x2 [x0 x1 x2]\n", ""},
        LoadCase{"TermsOredInRowOrder", ".i 3\n.o 2\n.ilb a b c\n1-0 10\n-11 11\n",
                 "inputs: a b c\ny0: ( a and ( not c ) ) or ( b and c ) [a c b]\n"
                 "y1: b and c [b c]\n",
                 ""},
        LoadCase{"OnlyOneCountsInOutputs", ".i 1\n.o 4\n1 ~-01\n",
                 "inputs: x0\ny0: \"0\" []\n"
                 "y1: \"0\" []\ny2: \"0\" []\ny3: x0 [x0]\n",
                 ""},
        LoadCase{"OutputColumnTakesAnyToken", ".i 1\n.o 3\n1 a.e 1\n",
                 "inputs: x0\ny0: \"0\" []\ny1: \"0\" []\ny2: x0 [x0]\n", ""},
        LoadCase{"ConstantOneRow", ".i 3\n.o 1\n--- 1\n", "inputs: x0 x1 x2\ny0: \"1\" []\n", ""},
        LoadCase{"ConstantOneReplacesEarlierTerms", ".i 1\n.o 1\n1 1\n- 1\n",
                 "inputs: x0\ny0: \"1\" []\n", ""},
        LoadCase{"ConstantOneIsOredIntoSecondOutput", ".i 1\n.o 2\n0 01\n- 11\n",
                 "inputs: x0\ny0: \"1\" []\ny1: ( not x0 ) or \"1\" [x0]\n", ""},
        LoadCase{"RowWithoutOneIsError", ".i 3\n.o 1\n--- 0\n", "inputs: x0 x1 x2\ny0: \"0\" []\n",
                 "Syntax error at line:4\n"},
        LoadCase{"RowSplitByBlanks", ".i 1\n.o 2\n0 1 1\n",
                 "inputs: x0\ny0: not x0 [x0]\ny1: not x0 [x0]\n", ""},
        LoadCase{"RowWrittenTogether", ".i 1\n.o 2\n011\n",
                 "inputs: x0\ny0: not x0 [x0]\ny1: not x0 [x0]\n", ""},
        LoadCase{"RowSplitOverLines", ".i 2\n.o 2\n1\n0\n1\n1\n",
                 "inputs: x0 x1\ny0: x0 and ( not x1 ) [x0 x1]\n"
                 "y1: x0 and ( not x1 ) [x0 x1]\n",
                 ""},
        LoadCase{"TwoRowsOnOneLine", ".i 1\n.o 1\n1 1 0 1\n",
                 "inputs: x0\ny0: x0 or ( not x0 ) [x0]\n", ""},
        LoadCase{"BarsAndComments", ".i 2\n.o 1\n1|0|1 # note\n",
                 "inputs: x0 x1\ny0: x0 and ( not x1 ) [x0 x1]\n", ""},
        LoadCase{"CrLfLineEnds", ".i 1\r\n.o 1\r\n1 1\r\n.e\r\n", "inputs: x0\ny0: x0 [x0]\n", ""},
        LoadCase{"LabelsAfterRowsRenameLaterRowsOnly", ".i 2\n.o 1\n10 1\n.ilb a b\n01 1\n",
                 "inputs: a b\ny0: ( x0 and ( not x1 ) ) or ( ( not a ) and b ) [x0 x1 a b]\n", ""},
        LoadCase{"RowsTakenByNoOutputLeaveNoTrace", ".i 2\n.o 2\n11 00\n1\n.p 3\n10 01\n0- 10\n",
                 "inputs: x0 x1\ny0: not x0 [x0]\ny1: x0 and ( not x1 ) [x0 x1]\n", ""},
        LoadCase{"LabelledRowsUseLabels", ".i 2\n.o 1\n.ilb b a\n10 1\n",
                 "inputs: b a\ny0: b and ( not a ) [b a]\n", ""},
        LoadCase{"DigitTwoEndsRowBeforeOutputs", ".i 2\n.o 1\n12 1\n",
                 "inputs: x0 x1\ny0: \"0\" []\n", "Syntax error at line:3\n"},
        LoadCase{"RowBrokenOffBeforeFirstLiteral", ".i 2\n.o 1\n-x 1\n",
                 "inputs: x0 x1\ny0: \"0\" []\n", "Syntax error at line:3\n"},
        LoadCase{"InvalidCharacterKeepsEarlierRows", ".i 2\n.o 2\n11 10\n1< 01\n",
                 "inputs: x0 x1\ny0: x0 and x1 [x0 x1]\ny1: \"0\" []\n",
                 "Invalid lexical element at line:4\n"},
        LoadCase{"InvalidCharacterAfterRowEndsLoad", ".i 1\n.o 1\n1 1\n<\n",
                 "inputs: x0\ny0: x0 [x0]\n", "Invalid lexical element at line:4\n"},
        LoadCase{"InvalidCharacterWhereFirstRowStarts", "<\n", "inputs:\n",
                 "Invalid lexical element at line:1\nSyntax error at line:1\n"},
        LoadCase{"ErrorTokenLeavesRowWithoutTerm", ".i 2\n.o 1\n-< 1\n",
                 "inputs: x0 x1\ny0: \"0\" []\n",
                 "Invalid lexical element at line:3\nSyntax error at line:3\n"},
        LoadCase{"RowWithoutInputs", ".o 2\n01\n", "inputs:\ny0: \"0\" []\ny1: \"1\" []\n", ""}),
    [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.title); });

TEST_F(PlaFixture, ProductLineSetsTermCount) {
    load(".i 1\n.o 1\n.p 12\n1 1\n");
    EXPECT_EQ(workspace.table->termCount, 12);
}

// Counts lex in unsigned arithmetic and saturate at the largest 32-bit count.
TEST_F(PlaFixture, LongCountSaturates) {
    load(".p 99999999999999999999999999\n.o 1\n");
    EXPECT_EQ(workspace.table->termCount, 4294967295);
    EXPECT_EQ(workspace.table->entryCount(), 1);
}

TEST_F(PlaFixture, LoadSetsCountsAndLabelFlags) {
    load(".i 2\n.o 1\n.ilb a b\n11 1\n");
    EXPECT_EQ(workspace.table->inputCount, 2);
    EXPECT_TRUE(workspace.table->hasInputLabels);
    EXPECT_FALSE(workspace.table->hasOutputLabels);
}

TEST_F(PlaFixture, EmptyLabelLinesStillSetFlags) {
    load(".i 1\n.o 1\n.ilb\n.ob\n1 1\n");
    EXPECT_TRUE(workspace.table->hasInputLabels);
    EXPECT_TRUE(workspace.table->hasOutputLabels);
    EXPECT_EQ(describeTable(), "inputs: x0\ny0: x0 [x0]\n");
}

// Outputs hold their rows, not trees, until a function is first used; building the
// tree then gives what a walk of the rows would, and only for that output.
TEST_F(PlaFixture, OutputsStayCoversUntilFirstUse) {
    load(".i 3\n.o 3\n1-0 110\n-11 011\n");
    FunctionTable& table = *workspace.table;
    for (int64_t i = 0; i < 3; ++i) EXPECT_TRUE(table.entryAt(i)->hasPendingCover()) << i;
    EXPECT_EQ(toText(*table.entryAt(1)->tree()), "( x0 and ( not x2 ) ) or ( x1 and x2 )");
    EXPECT_FALSE(table.entryAt(1)->hasPendingCover());
    EXPECT_TRUE(table.entryAt(0)->hasPendingCover());
    EXPECT_TRUE(table.entryAt(2)->hasPendingCover());
    EXPECT_EQ(describeTable(),
              "inputs: x0 x1 x2\ny0: x0 and ( not x2 ) [x0 x2]\n"
              "y1: ( x0 and ( not x2 ) ) or ( x1 and x2 ) [x0 x2 x1]\ny2: x1 and x2 [x1 x2]\n");
}

// A file of many rows builds an or-chain as deep as the rows are many.
TEST_F(PlaFixture, ManyRowsBuildOneDeepCover) {
    const int rows = 200000;
    std::string text = ".i 2\n.o 1\n";
    for (int row = 0; row < rows; ++row) text += row % 2 == 0 ? "1- 1\n" : "-0 1\n";
    int literals = runOnLargeStack([&] {
        load(text);
        int count = static_cast<int>(workspace.table->entryAt(0)->tree()->literalCount());
        releaseTable();
        createTable();
        return count;
    });
    EXPECT_EQ(literals, rows);
    EXPECT_EQ(console(), "");
}

// Loads a PLA whose input count is far beyond memory, under a limited address
// space so that the outcome does not depend on the machine.
void loadHugeInputCount() {
    dup2(STDERR_FILENO, STDOUT_FILENO);  // the stop writes to standard output
    const rlim_t addressSpace = rlim_t{4} << 30;
    rlimit limit{addressSpace, addressSpace};
    setrlimit(RLIMIT_AS, &limit);
    std::set_new_handler(onOutOfMemory);
    createTable();
    std::istringstream in(".i 99999999999\n.o 1\n");
    loadPla(in);
}

// A count far beyond memory ends the program through the out-of-memory stop. The
// sanitizers' allocator stops on its own instead, so they skip this test.
TEST(PlaOutOfMemoryDeathTest, HugeInputCountStopsTheProgram) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer allocator does not call the new-handler";
#endif
    auto exitedNormally = [](int status) { return WIFEXITED(status); };
    EXPECT_EXIT(loadHugeInputCount(), exitedNormally, "^Memory depleted - terminating\n$");
}

}  // namespace
