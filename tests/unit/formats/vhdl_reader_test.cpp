// The VHDL reader through `loadVhdl` and `readVhdlStatement`: the trees it builds,
// the names it declares and adopts, the messages with their line numbers, and where
// it stops; then very deep statements on the large stack.
#include <algorithm>
#include <sstream>
#include <string>

#include "base/large_stack.h"
#include "expr/workspace.h"
#include "tests/unit/formats/vhdl_test_support.h"

namespace {

struct LoadCase {
    const char* title;
    std::string input;
    std::string table;   // vhdlTableText() afterwards
    std::string inputs;  // the table's variable list
    int64_t inputCount;
    std::string console;
};

class VhdlLoadTest : public VhdlFixture, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(VhdlLoadTest, LoadsTheTable) {
    const LoadCase& c = GetParam();
    load(c.input);
    EXPECT_EQ(vhdlTableText(), c.table);
    EXPECT_EQ(vhdlNamesOf(&workspace.table->variableList), c.inputs);
    EXPECT_EQ(workspace.table->inputCount, c.inputCount);
    EXPECT_EQ(console(), c.console);
}

const std::string name100(100, 'v');
const std::string name101(101, 'v');
const std::string syntaxError1 = "Syntax error at line:1\n";

INSTANTIATE_TEST_SUITE_P(
    Grammar, VhdlLoadTest,
    ::testing::Values(
        LoadCase{"OneAssignment", "f <= a;", "f: a\n", "a", 1, ""},
        LoadCase{"GroupsFromTheLeft", "f <= a or b and c;", "f: ( a or b ) and c\n", "a b c", 3,
                 ""},
        LoadCase{"NotBindsToOnePrimary", "f <= not a and b;", "f: ( not a ) and b\n", "a b", 2, ""},
        LoadCase{"DoubleNot", "f <= not not a;", "f: not ( not a )\n", "a", 1, ""},
        LoadCase{"NotOfGroup", "f <= not ( a and b );", "f: not ( a and b )\n", "a b", 2, ""},
        LoadCase{"GroupAsRightOperand", "f <= a xnor ( b nand c );", "f: a xnor ( b nand c )\n",
                 "a b c", 3, ""},
        LoadCase{"GroupsMakeNoNode", "f <= ((a));", "f: a\n", "a", 1, ""},
        LoadCase{"AllOperatorsBothCases", "f <= a AND b or c NAND d nor e XOR g xnor h;",
                 "f: ( ( ( ( ( a and b ) or c ) nand d ) nor e ) xor g ) xnor h\n", "a b c d e g h",
                 7, ""},
        LoadCase{"BitStrings", "f <= \"0101\" xor \"1111\";", "f: \"0101\" xor \"1111\"\n", "", 0,
                 ""},
        LoadCase{"OneBitZero", "f <= \"0\";", "f: \"0\"\n", "", 0, ""},
        LoadCase{"StatementsOverLines", "f <= a\n and b;\n\ng <=\nc;\n", "f: a and b\ng: c\n",
                 "a b c", 3, ""},
        LoadCase{"CommentsEverywhere", "-- head\nf <= a; -- tail\n-- end", "f: a\n", "a", 1, ""},
        LoadCase{"OnlyComments", "  -- nothing\n\n\t-- here\n", "", "", 0, ""},
        LoadCase{"Empty", "", "", "", 0, ""},
        LoadCase{"Identifier100", "f <= " + name100 + ";", "f: " + name100 + "\n", name100, 1, ""},
        LoadCase{"MixedCaseNamesAreIdentifiers", "And <= Not or Variable;",
                 "And: Not or Variable\n", "Not Variable", 2, ""}),
    VhdlCaseTitle());

INSTANTIATE_TEST_SUITE_P(
    Errors, VhdlLoadTest,
    ::testing::Values(
        LoadCase{"InvalidCharacter", "f <= a $ b;", "", "", 0,
                 "Invalid lexical element at line:1\n" + syntaxError1},
        LoadCase{"EmptyRightSide", "f <= ;", "", "", 0, syntaxError1},
        LoadCase{"MissingParenthesis", "f <= ( a and b;", "", "", 0, syntaxError1},
        LoadCase{"EmptyGroup", "f <= ( );", "", "", 0, syntaxError1},
        LoadCase{"OpenGroupAtSemicolon", "f <= ( ;", "", "", 0, syntaxError1 + syntaxError1},
        LoadCase{"MissingLeftOperand", "f <= and b;", "", "", 0, syntaxError1},
        LoadCase{"MissingRightOperand", "f <= a and;", "", "", 0, syntaxError1},
        LoadCase{"NotWithoutOperand", "f <= not;", "", "", 0, syntaxError1},
        LoadCase{"MixedCaseOperator", "f <= a And b;", "", "", 0, syntaxError1},
        LoadCase{"TwoPrimaries", "f <= a b;", "", "", 0, syntaxError1},
        LoadCase{"NoTarget", "<= a;", "", "", 0, syntaxError1 + syntaxError1},
        LoadCase{"NoArrow", "f = a;", "", "", 0, syntaxError1 + syntaxError1},
        LoadCase{"BitLiteral", "f <= '1';", "", "", 0, syntaxError1 + syntaxError1},
        LoadCase{"Brackets", "f <= a[0];", "", "", 0, syntaxError1},
        LoadCase{"LessWithoutEqual", "f < a;", "", "", 0, syntaxError1 + syntaxError1},
        LoadCase{"Identifier101", "f <= " + name101 + ";", "", "", 0,
                 "Too long identifier at line:1\n" + syntaxError1 + syntaxError1},
        LoadCase{"MissingFinalSemicolon", "f <= a;\ng <= b\n\n", "f: a\n", "a", 1,
                 "Syntax error at line:4\n"},
        LoadCase{"StopsAtFirstError", "f <= a;\ng <= ;\nh <= b;", "f: a\n", "a", 1,
                 "Syntax error at line:2\n"},
        LoadCase{"ErrorLineAfterComments", "-- one\n-- two\nf <= a or or b;", "", "", 0,
                 "Syntax error at line:3\n"}),
    VhdlCaseTitle());

INSTANTIATE_TEST_SUITE_P(
    Declarations, VhdlLoadTest,
    ::testing::Values(
        LoadCase{"Declared", "variable a, b;\nf <= a;", "f: a\n", "a b", 2, ""},
        LoadCase{"UppercaseKeyword", "VARIABLE a; f <= NOT a;", "f: not a\n", "a", 1, ""},
        LoadCase{"RepeatedNameCountsTwice", "variable a, a; f <= a;", "f: a\n", "a", 2, ""},
        LoadCase{"DeclarationOrderFirst", "variable c, a; f <= a and b and c;",
                 "f: ( a and b ) and c\n", "c a b", 3, ""},
        LoadCase{"SecondDeclarationFails", "variable a; variable b; f <= a;", "", "a", 1,
                 syntaxError1 + syntaxError1},
        LoadCase{"DeclarationWithoutSemicolon", "variable a, b f <= a;", "", "a b", 2,
                 syntaxError1},
        LoadCase{"DeclarationWithoutName", "variable ; f <= a;", "", "", 0, syntaxError1},
        LoadCase{"DeclarationTrailingComma", "variable a, ; f <= a;", "", "a", 1, syntaxError1},
        LoadCase{"DeclarationOnlyAtHead", "f <= a; variable b; g <= b;", "f: a\ng: b\n", "a b", 2,
                 ""},
        LoadCase{"UndeclaredNamesAdoptedInOrder", "f <= b and a;\ng <= c or a;",
                 "f: b and a\ng: c or a\n", "b a c", 3, ""},
        LoadCase{"FailedStatementAdoptsNothing", "f <= x and ;", "", "", 0, syntaxError1}),
    VhdlCaseTitle());

INSTANTIATE_TEST_SUITE_P(
    References, VhdlLoadTest,
    ::testing::Values(LoadCase{"ByName", "f <= a and b;\ng <= f or c;",
                               "f: a and b\ng: ( a and b ) or c\n", "a b c", 3, ""},
                      LoadCase{"ByNameLatestWins", "f <= a;\nf <= b;\ng <= f;",
                               "f: a\nf: b\ng: b\n", "a b", 2, ""},
                      LoadCase{"OwnNameIsEarlierFunction", "f <= a;\nf <= not f;",
                               "f: a\nf: not a\n", "a", 1, ""},
                      LoadCase{"ByPosition", "f <= a;\ng <= 0 or c;", "f: a\ng: a or c\n", "a c", 2,
                               ""},
                      LoadCase{"PositionNotYetDefined", "f <= 0;", "f: \"0\"\n", "", 0,
                               "Warning: Invalid output index at line:1\n"},
                      LoadCase{"PositionBeyondTable", "f <= a;\n\ng <= 5;", "f: a\ng: \"0\"\n", "a",
                               1, "Warning: Invalid output index at line:3\n"},
                      LoadCase{"PositionWraps", "f <= a;\ng <= 4294967296 and b;",
                               "f: a\ng: a and b\n", "a b", 2, ""},
                      LoadCase{"PositionOfSecond", "f <= a;\ng <= b;\nh <= not 1;",
                               "f: a\ng: b\nh: not b\n", "a b", 2, ""}),
    VhdlCaseTitle());

INSTANTIATE_TEST_SUITE_P(
    Widths, VhdlLoadTest,
    ::testing::Values(
        LoadCase{"DifferentLengths", "f <= \"01\" and \"1\";", "f: \"01\" and \"1\"\n", "", 0,
                 "Warning: Different vector lengths at line:1\n"},
        LoadCase{"SameLengths", "f <= \"01\" and \"10\";", "f: \"01\" and \"10\"\n", "", 0, ""},
        LoadCase{"WidthCarriesToNextStatement", "f <= \"01\";\ng <= \"1\";\nh <= 0 and a;",
                 "f: \"01\"\ng: \"1\"\nh: \"01\" and a\n", "a", 1,
                 "Warning: Different vector lengths at line:3\n"},
        LoadCase{"CopiedTreeChecked", "f <= \"1\";\ng <= \"01\" or 0;",
                 "f: \"1\"\ng: \"01\" or \"1\"\n", "", 0,
                 "Warning: Different vector lengths at line:2\n"},
        LoadCase{"InvalidIndexConstantChecked", "f <= \"11\" or 3;", "f: \"11\" or \"0\"\n", "", 0,
                 "Warning: Invalid output index at line:1\n"
                 "Warning: Different vector lengths at line:1\n"}),
    VhdlCaseTitle());

class VhdlStatementTest : public VhdlFixture {};

// A referenced function's tree is copied: it adds no names to the statement's list,
// and the copy is independent of the original.
TEST_F(VhdlStatementTest, ReferencesCopyAndListOnlyNewNames) {
    load("f <= a and b;\ng <= f and c;");
    ASSERT_EQ(workspace.table->entryCount(), 2);
    FunctionEntry& f = *workspace.table->entryAt(0);
    FunctionEntry& g = *workspace.table->entryAt(1);
    EXPECT_EQ(vhdlNamesOf(f.variableList), "a b");
    EXPECT_EQ(vhdlNamesOf(g.variableList), "c");
    EXPECT_NE(static_cast<BNode*>(g.tree())->left, f.tree());
    delete f.tree();
    f.tree() = new IdentNode("z");
    EXPECT_EQ(toText(*g.tree()), "( a and b ) and c");
}

// One statement per call; the text after its ";" stays unread, and the statement
// comes back with its tree, its own names and its target.
TEST_F(VhdlStatementTest, ReadsOneStatementAndStopsAfterSemicolon) {
    std::istringstream in("f <= b and a; rest $");
    const VhdlStatement statement = readVhdlStatement(in);
    ASSERT_NE(statement.tree, nullptr);
    EXPECT_EQ(toText(*statement.tree), "b and a");
    EXPECT_EQ(statement.target, "f");
    EXPECT_EQ(vhdlNamesOf(statement.names.get()), "b a");
    EXPECT_EQ(statement.errorCount, 0);
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, " rest $");
    EXPECT_EQ(console(), "");
    EXPECT_EQ(workspace.table->entryCount(), 0);
}

// Names and positions resolve against the functions already in the table, the
// same way whether a whole input is loaded (which indexes the names) or one
// command is read (which walks the table). An entry without a tree is no function.
struct ExistingCase {
    const char* title;
    std::string statement;
    std::string tree;
    std::string ownNames;
};

class VhdlExistingTableTest : public VhdlFixture,
                              public ::testing::WithParamInterface<ExistingCase> {
  protected:
    void SetUp() override {
        VhdlFixture::SetUp();
        workspace.table->appendEntry(new IdentNode("a"), new VariableList, "f");
        workspace.table->appendEntry(new IdentNode("b"), new VariableList, "g");
        workspace.table->appendEntry(new UNode(new IdentNode("c")), new VariableList, "f");
        workspace.table->appendEntry(nullptr, nullptr, "e");
    }
};

TEST_P(VhdlExistingTableTest, ThroughLoad) {
    load(GetParam().statement);
    ASSERT_EQ(workspace.table->entryCount(), 5);
    FunctionEntry& added = *workspace.table->entryAt(4);
    EXPECT_EQ(toText(*added.tree()), GetParam().tree);
    EXPECT_EQ(vhdlNamesOf(added.variableList), GetParam().ownNames);
}

TEST_P(VhdlExistingTableTest, ThroughOneStatement) {
    std::istringstream in(GetParam().statement);
    const VhdlStatement statement = readVhdlStatement(in);
    ASSERT_NE(statement.tree, nullptr);
    EXPECT_EQ(toText(*statement.tree), GetParam().tree);
    EXPECT_EQ(vhdlNamesOf(statement.names.get()), GetParam().ownNames);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VhdlExistingTableTest,
    ::testing::Values(ExistingCase{"LatestOfName", "h <= f and g;", "( not c ) and b", ""},
                      ExistingCase{"EarlierByPosition", "h <= 0 or 1;", "a or b", ""},
                      ExistingCase{"EntryWithoutTreeIsAName", "h <= e and d;", "e and d", "e d"},
                      ExistingCase{"PositionWithoutTree", "h <= 3 or d;", "\"0\" or d", "d"},
                      ExistingCase{"OwnNameIsEarlier", "f <= not f;", "not ( not c )", ""}),
    VhdlCaseTitle());

struct NothingCase {
    const char* title;
    std::string input;
    std::string console;
    int64_t errors;
};

class VhdlNoTreeTest : public VhdlFixture, public ::testing::WithParamInterface<NothingCase> {};

// A read that yields no tree gives no names and starts the line count again, so the
// next input counts from 1.
TEST_P(VhdlNoTreeTest, ReturnsNothingAndResetsTheLine) {
    const NothingCase& c = GetParam();
    std::istringstream in(c.input);
    const VhdlStatement statement = readVhdlStatement(in);
    EXPECT_EQ(statement.tree, nullptr);
    EXPECT_EQ(statement.names, nullptr);
    EXPECT_EQ(statement.errorCount, c.errors);
    std::istringstream unfinished("g <= a");
    EXPECT_EQ(readVhdlStatement(unfinished).tree, nullptr);
    EXPECT_EQ(console(), c.console + "Syntax error at line:1\n");
    EXPECT_EQ(workspace.table->entryCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VhdlNoTreeTest,
    ::testing::Values(NothingCase{"EmptyLine", "", "", 0},
                      NothingCase{"BlanksAndComments", " \n-- x\n\n", "", 0},
                      NothingCase{"ErrorOnThirdLine", "\n\nf <= ;", "Syntax error at line:3\n", 1},
                      NothingCase{"UnfinishedAtEnd", "f <= a\n", "Syntax error at line:2\n", 1},
                      NothingCase{"LexicalThenSyntax", "f <= a $ b;",
                                  "Invalid lexical element at line:1\nSyntax error at line:1\n",
                                  2}),
    VhdlCaseTitle());

// Line numbers run on over accepted statements, also from one input to the next,
// and return to 1 only after a read without tree.
TEST_F(VhdlStatementTest, LineNumbersAcrossReads) {
    std::istringstream first("f <= a;\n\n");
    ASSERT_NE(readVhdlStatement(first).tree, nullptr);
    EXPECT_EQ(readVhdlStatement(first).tree, nullptr);
    std::istringstream second("\ng <=\n b;");
    ASSERT_NE(readVhdlStatement(second).tree, nullptr);
    std::istringstream third("h <= $;");
    EXPECT_EQ(readVhdlStatement(third).tree, nullptr);
    EXPECT_EQ(console(),
              "Invalid lexical element at line:3\n"
              "Syntax error at line:3\n"
              "Syntax error at line:3\n");
}

// The width in force outlives the input that set it, until the reader is reset.
// Position 7 names no function and reads as a constant of width 1.
TEST_F(VhdlStatementTest, WidthInForceCarriesOverToTheNextInput) {
    std::istringstream first("f <= \"01\";");
    ASSERT_NE(readVhdlStatement(first).tree, nullptr);
    std::istringstream second("g <= 7;");
    const VhdlStatement carried = readVhdlStatement(second);
    ASSERT_NE(carried.tree, nullptr);
    EXPECT_EQ(carried.errorCount, 0);
    EXPECT_EQ(console(),
              "Warning: Invalid output index at line:1\n"
              "Warning: Different vector lengths at line:1\n");
    clearConsole();
    resetVhdlReader();
    std::istringstream third("g <= 7;");
    ASSERT_NE(readVhdlStatement(third).tree, nullptr);
    EXPECT_EQ(console(), "Warning: Invalid output index at line:1\n");
}

// A bad command adds nothing, and the next command is read from a clean state.
TEST_F(VhdlStatementTest, NextCommandAfterAnErrorIsAccepted) {
    std::istringstream bad("f <= a $ b;");
    EXPECT_EQ(readVhdlStatement(bad).tree, nullptr);
    std::istringstream good("f <= a and b;");
    const VhdlStatement statement = readVhdlStatement(good);
    ASSERT_NE(statement.tree, nullptr);
    EXPECT_EQ(toText(*statement.tree), "a and b");
    EXPECT_EQ(statement.errorCount, 0);
}

// A load counts the errors of the statement that ends it, never the warnings.
TEST_F(VhdlStatementTest, LoadAnswersItsErrorCount) {
    std::istringstream warned("f <= 3;\ng <= \"1\" and \"01\";\n");
    EXPECT_EQ(loadVhdl(warned), 0);
    std::istringstream failed("h <= f;\nh <= ;\nk <= h;\n");
    EXPECT_EQ(loadVhdl(failed), 1);
    EXPECT_EQ(workspace.table->entryCount(), 3);
}

TEST_F(VhdlStatementTest, AdoptOnlyNewNames) {
    addVariable(workspace.table->variableList, "b");
    VariableList statement;
    for (const char* name : {"a", "b", "c", "a"}) addVariable(statement, name);
    adoptStatementNames(statement);
    EXPECT_EQ(vhdlNamesOf(&workspace.table->variableList), "b a c");
    EXPECT_EQ(workspace.table->inputCount, 2);
}

// --- depth ---------------------------------------------------------------------
// Trees this deep are built, printed and destroyed on the large stack only.

std::string chainOf(int operators) {
    std::string text = "f <= x0";
    for (int i = 1; i <= operators; ++i) {
        text += (i % 2 == 0 ? " and x" : " or x") + std::to_string(i % 7);
    }
    return text + ";";
}

TEST_F(VhdlStatementTest, HundredThousandChainedOperators) {
    std::string inputs;
    int failures = runOnLargeStack([&inputs] {
        load(chainOf(100000));
        const FunctionTable& table = *workspace.table;
        if (table.entryCount() != 1) return 1;
        const Node* tree = table.entryAt(0)->tree();
        if (tree->literalCount() != 100001) return 2;
        std::string text = toText(*tree);
        if (std::count(text.begin(), text.end(), '(') != 99999) return 3;
        if (!text.starts_with("( ( ( ") || !text.ends_with(" ) and x5")) return 4;
        inputs = vhdlNamesOf(&table.variableList);
        releaseTable();
        createTable();
        return 0;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(inputs, "x0 x1 x2 x3 x4 x5 x6");
}

TEST_F(VhdlStatementTest, TenThousandNestedGroupsAndNots) {
    int failures = runOnLargeStack([] {
        const int depth = 10000;
        std::string text = "f <= ";
        for (int i = 0; i < depth; ++i) text += "a and ( ";
        text += "b";
        for (int i = 0; i < depth; ++i) text += " )";
        text += ";\ng <= ";
        for (int i = 0; i < depth; ++i) text += "not ( ";
        text += "c";
        for (int i = 0; i < depth; ++i) text += " )";
        text += ";\nh <= " + std::string(depth, '(') + "d" + std::string(depth, ')') + ";";
        load(text);
        const FunctionTable& table = *workspace.table;
        if (table.entryCount() != 3) return 1;
        if (table.entryAt(0)->tree()->literalCount() != depth + 1) return 2;
        std::string negations;
        for (int i = 1; i < depth; ++i) negations += "not ( ";
        negations += "not c";
        for (int i = 1; i < depth; ++i) negations += " )";
        if (toText(*table.entryAt(1)->tree()) != negations) return 3;
        if (toText(*table.entryAt(2)->tree()) != "d") return 4;
        releaseTable();
        createTable();
        return 0;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(console(), "");
}

// A syntax error deep inside nesting fails the whole statement and frees it all.
TEST_F(VhdlStatementTest, DeepErrorFreesEverything) {
    int entries = runOnLargeStack([] {
        std::string text = "f <= ";
        for (int i = 0; i < 10000; ++i) text += "not ( a or ";
        text += "$";
        for (int i = 0; i < 10000; ++i) text += " )";
        load(text + ";");
        return static_cast<int>(workspace.table->entryCount());
    });
    EXPECT_EQ(entries, 0);
    EXPECT_TRUE(console().starts_with("Invalid lexical element at line:1\n" + syntaxError1));
}

}  // namespace
