// --verify's proofs: a written file that reads back as the expected functions
// passes, and one that differs in a single place, in the number of functions or in
// a reader error fails, for each notation that reads back; the expectation follows
// negations and cofactors without the rewrites under test.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/console.h"
#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "run/verification.h"

namespace {

class RunVerification : public ::testing::Test {
  protected:
    void SetUp() override {
        createTable();
        resetVhdlReader();
        consoleSettings.silenced = true;  // the failing read-backs report, as they should
        std::istringstream in("variable a, b, c;\nf <= a and b;\ng <= b or not c;\n");
        loadVhdl(in);
        expectation.takeLoadedFunctions();
    }
    void TearDown() override { releaseTable(); }

    std::vector<std::string> readBack(OutputNotation notation, const std::string& file,
                                      int64_t firstSaved = 0) {
        std::istringstream written(file);
        return expectation.checkReadBack(notation, written, firstSaved);
    }

    Expectation expectation;
};

struct ReadBackCase {
    const char* title;
    OutputNotation notation;
    const char* file;
    size_t differences;
};

class RunReadBack : public RunVerification, public ::testing::WithParamInterface<ReadBackCase> {};

TEST_P(RunReadBack, ProvesTheFileOrNamesTheDifference) {
    std::vector<std::string> differences = readBack(GetParam().notation, GetParam().file);
    EXPECT_EQ(differences.size(), GetParam().differences) << GetParam().title;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunReadBack,
    ::testing::Values(
        ReadBackCase{"PseudoVhdlEqual", OutputNotation::pseudoVhdl,
                     "variable a, b, c;\nf <= b and a;\ng <= not (c and not b);\n", 0},
        ReadBackCase{"PseudoVhdlOneWrong", OutputNotation::pseudoVhdl,
                     "variable a, b, c;\nf <= a or b;\ng <= b or not c;\n", 1},
        ReadBackCase{"PseudoVhdlOneMissing", OutputNotation::pseudoVhdl,
                     "variable a, b, c;\nf <= a and b;\n", 1},
        ReadBackCase{"PseudoVhdlReaderError", OutputNotation::pseudoVhdl,
                     "variable a, b, c;\nf <= a and;\ng <= b;\n", 1},
        // Unnamed PLA inputs are the table's inputs by position.
        ReadBackCase{"PlaByPosition", OutputNotation::pla, ".i 3\n.o 2\n11- 10\n-1- 01\n--0 01\n",
                     0},
        ReadBackCase{"PlaOneRowWrong", OutputNotation::pla, ".i 3\n.o 2\n11- 10\n-1- 01\n--1 01\n",
                     1},
        ReadBackCase{"DimacsConjunction", OutputNotation::dimacs, "p cnf 3 3\n1 0\n2 0\n2 -3 0\n",
                     0},
        ReadBackCase{"DimacsClauseMissing", OutputNotation::dimacs, "p cnf 3 1\n1 0\n", 1},
        ReadBackCase{"SopBlifEqual", OutputNotation::sopBlif,
                     ".inputs a b c\n.outputs f g\n.names a b f\n11 1\n.names b c g\n1- 1\n-0 1\n",
                     0},
        ReadBackCase{"BlifOneWrong", OutputNotation::blif,
                     ".inputs a b c\n.outputs f g\n.names a b f\n1- 1\n-1 1\n.names b c g\n1- "
                     "1\n-0 1\n",
                     1},
        ReadBackCase{"BlifReaderError", OutputNotation::blif, ".inputs a\n.latch a q\n", 1},
        ReadBackCase{"CompleteVhdlEqual", OutputNotation::completeVhdl,
                     "entity e is port (a, b, c: in std_logic; f, g: out std_logic); end e;\n"
                     "architecture x of e is\nbegin\nf <= a and b;\ng <= b or not c;\nend x;\n",
                     0}));

TEST_F(RunVerification, SavedFromAnEntryOnCountsOnlyThose) {
    EXPECT_TRUE(
        readBack(OutputNotation::pseudoVhdl, "variable a, b, c;\ng <= b or not c;\n", 1).empty());
    EXPECT_EQ(readBack(OutputNotation::pseudoVhdl, "variable a, b, c;\ng <= b;\n", 1).size(), 1u);
}

// A second DIMACS problem line leaves a function without a tree, which no writer
// but PLA's (an output without rows) writes; the written files must still prove.
TEST_F(RunVerification, FunctionWithoutTreeIsWhatTheWriterLeavesOut) {
    workspace.table->appendEntry(nullptr, nullptr, "h");
    Expectation withEmpty;
    withEmpty.takeLoadedFunctions();
    struct Written {
        OutputNotation notation;
        const char* file;
        size_t differences;
    };
    const Written cases[] = {
        {OutputNotation::dimacs, "p cnf 3 3\n1 0\n2 0\n2 -3 0\n", 0},
        {OutputNotation::dimacs, "p cnf 3 0\n", 1},
        {OutputNotation::pseudoVhdl, "variable a, b, c;\nf <= a and b;\ng <= b or not c;\n", 0},
        {OutputNotation::pla, ".i 3\n.o 3\n11- 100\n-1- 010\n--0 010\n", 0},
        {OutputNotation::pla, ".i 3\n.o 3\n11- 101\n-1- 010\n--0 010\n", 1},
    };
    for (const Written& written : cases) {
        std::istringstream in(written.file);
        EXPECT_EQ(withEmpty.checkReadBack(written.notation, in, 0).size(), written.differences)
            << written.file;
    }
}

// Saving no function writes only the declaration in pseudo-VHDL, which reads back
// as no function; anything more, or a broken declaration, is a difference.
TEST_F(RunVerification, NoFunctionInPseudoVhdlIsTheDeclarationAlone) {
    const int64_t nothingSaved = workspace.table->entryCount();
    struct Written {
        const char* file;
        size_t differences;
    };
    const Written cases[] = {
        {"variable a, b, c;\n-- literals: 0\n", 0}, {"-- literals: 0\n", 0}, {"", 0},
        {"variable a, b, c;\nf <= a;\n", 1},        {"variable a b;\n", 1},
    };
    for (const Written& written : cases) {
        EXPECT_EQ(readBack(OutputNotation::pseudoVhdl, written.file, nothingSaved).size(),
                  written.differences)
            << written.file;
    }
}

TEST_F(RunVerification, FollowsNegationAndCofactor) {
    expectation.complementAll();
    expectation.restrict(0, intern("a"), true);
    FunctionTable& table = *workspace.table;
    // What the job should leave: not b, and not (b or not c).
    delete table.entryAt(0)->tree();
    table.entryAt(0)->tree() = new UNode(new IdentNode("b"));
    table.entryAt(1)->tree() = new UNode(table.entryAt(1)->tree());
    EXPECT_TRUE(expectation.checkTable(0).empty());
    // A cofactor at the wrong value is found, and named.
    delete table.entryAt(0)->tree();
    table.entryAt(0)->tree() = new UNode(new VectNode(valueFalse, 1));
    std::vector<std::string> differences = expectation.checkTable(0);
    EXPECT_EQ(differences.size(), 1u);
    EXPECT_NE(differences.front().find("function f as written"), std::string::npos);
}

}  // namespace
