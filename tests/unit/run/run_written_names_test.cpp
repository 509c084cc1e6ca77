// Which names the VHDL layouts can hold: pseudo-VHDL's rule is checked against the
// reader itself (a name holds when a statement using it reads back without an
// error), complete VHDL's against the language's rule for basic identifiers; and a
// refused table names its first offenders.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "base/console.h"
#include "expr/function_table.h"
#include "expr/node.h"
#include "formats/vhdl.h"
#include "run/written_names.h"

namespace {

struct NameCase {
    const char* name;
    bool pseudoVhdl;
    bool vhdl;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    const std::string name = c.name;
    if (name.size() > 20) {
        *out << name.size() << " letters";
    } else {
        *out << name;
    }
}

// The longest name the reader keeps, and one letter more.
const std::string longestName(100, 'a');
const std::string tooLongName(101, 'a');

class RunWrittenNames : public ::testing::TestWithParam<NameCase> {};

// Whether the reader reads "variable NAME;" and "f <= NAME;" without an error.
bool readerReads(const std::string& name) {
    createTable();
    resetVhdlReader();
    consoleSettings.silenced = true;
    std::istringstream in("variable " + name + ";\nf <= " + name + ";\n");
    const bool read = loadVhdl(in) == 0 && workspace.table->entryCount() == 1;
    releaseTable();
    return read;
}

TEST_P(RunWrittenNames, AgreesWithTheReaderAndTheLanguage) {
    const NameCase& name = GetParam();
    EXPECT_EQ(isPseudoVhdlName(name.name), name.pseudoVhdl) << name.name;
    EXPECT_EQ(readerReads(name.name), name.pseudoVhdl) << name.name;
    EXPECT_EQ(isVhdlName(name.name), name.vhdl) << name.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunWrittenNames,
    ::testing::Values(NameCase{"a", true, true}, NameCase{"cin", true, true},
                      NameCase{"x_1", true, true}, NameCase{"_x", true, false},
                      NameCase{"a__b", true, false}, NameCase{"a_", true, false},
                      NameCase{".eb", false, false}, NameCase{"di<11>", false, false},
                      NameCase{"b[2]", false, false}, NameCase{"and", false, false},
                      NameCase{"AND", false, false}, NameCase{"And", true, false},
                      NameCase{"variable", false, false}, NameCase{"in", true, false},
                      NameCase{"Signal", true, false}, NameCase{"ent1", true, true},
                      NameCase{longestName.c_str(), true, true},
                      NameCase{tooLongName.c_str(), false, true}));

TEST(RunUnwritableNames, NamesTheFirstFewOnceEach) {
    createTable();
    consoleSettings.silenced = true;
    FunctionTable& table = *workspace.table;
    for (const char* input : {"a", ".eb", "b[2]", "c[2]", "in"})
        addVariable(table.variableList, input);
    table.appendEntry(new IdentNode(".eb"), nullptr, "d[3]");
    table.appendEntry(nullptr, nullptr, "e[1]");  // no tree: pseudo-VHDL leaves it out

    const std::vector<std::string> pseudo = unwritableNames(OutputNotation::pseudoVhdl, 0);
    EXPECT_EQ(pseudo, (std::vector<std::string>{".eb", "b[2]", "c[2]", "d[3]"}));
    EXPECT_EQ(unwritableNamesMessage(OutputNotation::pseudoVhdl, pseudo),
              "pseudo-VHDL cannot hold the names '.eb', 'b[2]', 'c[2]' and 1 more");
    const std::vector<std::string> vhdl = unwritableNames(OutputNotation::completeVhdl, 0);
    EXPECT_EQ(vhdl, (std::vector<std::string>{".eb", "b[2]", "c[2]", "in", "d[3]", "e[1]"}));
    EXPECT_EQ(unwritableNamesMessage(OutputNotation::completeVhdl, {"in"}),
              "VHDL cannot hold the name 'in'");
    // Saved from the second entry on: only the inputs and that entry.
    EXPECT_EQ(unwritableNames(OutputNotation::completeVhdl, 1).back(), "e[1]");
    // The names above hold in these; BLIF refuses only its own signal names.
    for (OutputNotation holdsAll :
         {OutputNotation::pla, OutputNotation::blif, OutputNotation::dimacs}) {
        EXPECT_TRUE(unwritableNames(holdsAll, 0).empty());
    }
    releaseTable();
}

// BLIF refuses exactly the names "sigN" among the internal signals the save will
// number: one per operator node and constant, from the program-wide counter on.
TEST(RunUnwritableNames, BlifInternalSignalsInTheRangeTheSaveUses) {
    createTable();
    consoleSettings.silenced = true;
    FunctionTable& table = *workspace.table;
    for (const char* input : {"sig0", "sig1", "sig2", "sig01", "sigx", "sig"}) {
        addVariable(table.variableList, input);
    }
    // not (sig0 and sig1) or "1": four signals, sig0 to sig3 (the root's number is
    // spent though the function's own name is written).
    table.appendEntry(
        new BNode(opOr, new UNode(new BNode(opAnd, new IdentNode("sig0"), new IdentNode("sig1"))),
                  new VectNode(valueTrue, 1)),
        nullptr, "sig3");
    table.appendEntry(nullptr, nullptr, "sig4");
    EXPECT_EQ(unwritableNames(OutputNotation::blif, 0),
              (std::vector<std::string>{"sig0", "sig1", "sig2", "sig3"}));
    EXPECT_EQ(unwritableNamesMessage(OutputNotation::blif, {"sig0"}),
              "BLIF cannot hold the name 'sig0', which it gives internal signals");
    // A second save in the same process numbers on from where the first stopped.
    blifSignalCounter = 2;
    EXPECT_EQ(unwritableNames(OutputNotation::blif, 0),
              (std::vector<std::string>{"sig2", "sig3", "sig4"}));
    blifSignalCounter = 0;
    releaseTable();
}

}  // namespace
