// The VHDL writer: both layouts with their exact frame, the selection of added
// functions, the satisfiability notes, the console dialogue, a stream in error,
// and the round trip of Pseudo-VHDL through the reader.
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "expr/workspace.h"
#include "formats/save_dialogue.h"
#include "tests/unit/formats/vhdl_test_support.h"

namespace {

const std::string layoutQuestion =
    "How to save:\n1. Complete VHDL\n2. Pseudo-VHDL\nChoice:\n"
    "What to save:\n1. Save all\n2. Save added only\nChoice:";

const std::string frameHead =
    "library IEEE;\n"
    "use IEEE.Std_Logic_1164.all;\n"
    "use work.define.all;\n"
    "\n"
    "entity ent is\n"
    "port (\n";

const std::string frameBegin =
    "end ent;\n"
    "\n"
    "architecture dataflow of ent is\n"
    "begin\n";

struct SaveCase {
    const char* title;
    std::string table;    // loaded as VHDL
    int64_t added;        // addedCount
    bool satisfiability;  // the flag of the satisfiability test
    std::string answers;  // layout and selection
    std::string file;
};

class VhdlSaveTest : public VhdlFixture, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(VhdlSaveTest, WritesTheFile) {
    const SaveCase& c = GetParam();
    load(c.table);
    ASSERT_EQ(console(), "");
    workspace.table->addedCount = c.added;
    answer(c.answers);
    std::ostringstream out;
    saveVhdl(out, c.satisfiability);
    EXPECT_EQ(out.str(), c.file);
    EXPECT_EQ(console(), layoutQuestion + "Data saved\n");
}

const std::string adder =
    "variable a, b, cin;\n"
    "s <= ( a xor b ) xor cin;\n"
    "co <= ( a and b ) or ( cin and ( a xor b ) );\n";

INSTANTIATE_TEST_SUITE_P(
    Layouts, VhdlSaveTest,
    ::testing::Values(
        SaveCase{"Complete", adder, 0, false, "1 1",
                 frameHead + " a, b, cin: in std_logic;\n s, co: out std_logic);\n" + frameBegin +
                     "s <= ( a xor b ) xor cin;\n"
                     "co <= ( a and b ) or ( cin and ( a xor b ) );\n"
                     "end dataflow;\n"},
        SaveCase{"Pseudo", adder, 0, false, "2 1",
                 "variable a, b, cin;\n"
                 "-- literals: 8\n"
                 "s <= ( a xor b ) xor cin;\n"
                 "co <= ( a and b ) or ( cin and ( a xor b ) );\n"},
        SaveCase{"UnreadableAnswersMeanCompleteAndAll", "f <= not ( a and b );", 0, false, "x",
                 frameHead + " a, b: in std_logic;\n f: out std_logic);\n" + frameBegin +
                     "f <= not ( a and b );\nend dataflow;\n"},
        SaveCase{"OtherLayoutWritesOnlyAssignments", adder, 0, false, "3 1",
                 "s <= ( a xor b ) xor cin;\n"
                 "co <= ( a and b ) or ( cin and ( a xor b ) );\n"},
        SaveCase{"CompleteWithoutInputs", "f <= \"01\" or \"10\";", 0, false, "1 1",
                 frameHead + ": in std_logic;\n f: out std_logic);\n" + frameBegin +
                     "f <= \"01\" or \"10\";\nend dataflow;\n"},
        SaveCase{"PseudoWithoutInputs", "f <= \"1\";", 0, false, "2 1",
                 "-- literals: 0\nf <= \"1\";\n"},
        SaveCase{"AddedOnlyComplete", adder + "g <= s and co;\n", 1, false, "1 2",
                 frameHead + " a, b, cin: in std_logic;\n g: out std_logic);\n" + frameBegin +
                     "g <= ( ( a xor b ) xor cin ) and "
                     "( ( a and b ) or ( cin and ( a xor b ) ) );\n"
                     "end dataflow;\n"},
        SaveCase{"AddedOnlyPseudoCountsSavedLiterals", adder + "g <= s and co;\n", 1, false, "2 2",
                 "variable a, b, cin;\n"
                 "-- literals: 8\n"
                 "g <= ( ( a xor b ) xor cin ) and ( ( a and b ) or ( cin and ( a xor b ) ) );\n"},
        SaveCase{"NothingAddedComplete", adder, 0, false, "1 2",
                 frameHead + " a, b, cin: in std_logic;\n: out std_logic);\n" + frameBegin +
                     "end dataflow;\n"},
        SaveCase{"NothingAddedPseudo", adder, 0, false, "2 2",
                 "variable a, b, cin;\n-- literals: 0\n"},
        SaveCase{"SelectionOtherThanTwoSavesAll", "f <= a;\ng <= b;", 1, false, "2 3",
                 "variable a, b;\n-- literals: 2\nf <= a;\ng <= b;\n"}),
    VhdlCaseTitle());

INSTANTIATE_TEST_SUITE_P(
    SatisfiabilityNotes, VhdlSaveTest,
    ::testing::Values(
        SaveCase{"TwoTerms", "variable a, b, c;\nf <= ( a and b ) or ( not a and c );", 0, true,
                 "2 1",
                 "variable a, b, c;\n-- literals: 4\n"
                 "f <= ( a and b ) or ( ( not a ) and c ); -- | a=1 b=1 c=x | a=0 b=x c=1\n"},
        SaveCase{"SingleTerm", "variable a, b, c;\nf <= a and not b;", 0, true, "3 1",
                 "f <= a and ( not b ); -- | a=1 b=0 c=x\n"},
        SaveCase{"Unsatisfiable", "variable a, b;\nf <= a and not a;", 0, true, "3 1",
                 "f <= a and ( not a ); -- N\n"},
        SaveCase{"ConstantTrue", "variable a;\nf <= \"1\";", 0, true, "3 1",
                 "f <= \"1\"; -- | a=x\n"},
        SaveCase{"ConstantFalse", "variable a;\nf <= \"0\";", 0, true, "3 1", "f <= \"0\"; -- N\n"},
        SaveCase{"UnsatisfiableTermLeftOut", "variable a, b;\nf <= ( a and not a ) or b;", 0, true,
                 "3 1", "f <= ( a and ( not a ) ) or b; -- | a=x b=1\n"},
        SaveCase{"EveryFunctionAnnotated", "variable a, b;\nf <= a;\ng <= a or b;", 0, true, "1 1",
                 frameHead + " a, b: in std_logic;\n f, g: out std_logic);\n" + frameBegin +
                     "f <= a; -- | a=1 b=x\n"
                     "g <= a or b; -- | a=1 b=x | a=x b=1\n"
                     "end dataflow;\n"}),
    VhdlCaseTitle());

class VhdlWriterTest : public VhdlFixture {};

TEST_F(VhdlWriterTest, StreamInErrorSavesNothing) {
    load("f <= a;");
    answer("2 1");
    std::ostringstream out;
    out.setstate(std::ios::failbit);
    saveVhdl(out, false);
    EXPECT_EQ(console(), "Cannot open output file\nData NOT saved\n");
    EXPECT_EQ(out.str(), "");
    int unread = 0;
    EXPECT_TRUE(std::cin >> unread);
    EXPECT_EQ(unread, 2);
}

// The questions are asked even in batch mode: only the PLA writer answers itself.
TEST_F(VhdlWriterTest, AsksEvenInBatchMode) {
    load("f <= a;\ng <= b;");
    saveRecord.batchMode = true;
    workspace.table->addedCount = 1;
    answer("2 1");
    std::ostringstream out;
    saveVhdl(out, false);
    EXPECT_EQ(console(), layoutQuestion + "Data saved\n");
    EXPECT_EQ(out.str(), "variable a, b;\n-- literals: 2\nf <= a;\ng <= b;\n");
}

// --- round trip ------------------------------------------------------------------

// Random trees over a few inputs, with every operator and one-bit constants.
class TreeMaker {
  public:
    explicit TreeMaker(unsigned seed) : random(seed) {}

    Node* make(int depth) {
        int pick = static_cast<int>(random() % 10);
        if (depth == 0 || pick < 2) {
            if (random() % 8 == 0) return new VectNode(static_cast<int32_t>(random() % 2), 1);
            return new IdentNode(std::string(1, static_cast<char>('a' + random() % 5)));
        }
        if (pick < 4) return new UNode(make(depth - 1));
        int code = 1 + static_cast<int>(random() % 6);
        Node* left = make(depth - 1);
        return new BNode(code, left, make(depth - 1));
    }

  private:
    std::mt19937 random;
};

// A table saved as Pseudo-VHDL reads back into the same names, trees, own variable
// lists and table variable list.
TEST_F(VhdlWriterTest, PseudoVhdlReadsBack) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        releaseTable();
        createTable();
        TreeMaker maker(seed);
        for (int i = 0; i < 4; ++i) {
            Node* tree = maker.make(6);
            auto* list = new VariableList;
            workspace.currentList = list;
            tree->collectVariables();
            adoptStatementNames(*list);
            workspace.table->appendEntry(tree, list, "f" + std::to_string(i));
        }
        std::string before = vhdlTableText();
        std::string inputs = vhdlNamesOf(&workspace.table->variableList);
        std::vector<std::string> ownLists;
        for (int i = 0; i < 4; ++i) {
            ownLists.push_back(vhdlNamesOf(workspace.table->entryAt(i)->variableList));
        }

        answer("2 1");
        std::ostringstream saved;
        saveVhdl(saved, false);

        releaseTable();
        createTable();
        clearConsole();
        load(saved.str());
        EXPECT_EQ(console(), "") << saved.str();
        EXPECT_EQ(vhdlTableText(), before) << "seed " << seed;
        EXPECT_EQ(vhdlNamesOf(&workspace.table->variableList), inputs);
        ASSERT_EQ(workspace.table->entryCount(), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(vhdlNamesOf(workspace.table->entryAt(i)->variableList), ownLists[i]);
        }
    }
}

// Very deep trees print and save on the large stack.
TEST_F(VhdlWriterTest, SavesAHundredThousandOperators) {
    std::string head;
    std::size_t length = 0;
    answer("2 1");
    int failures = runOnLargeStack([&head, &length] {
        std::string text = "f <= a";
        for (int i = 0; i < 100000; ++i) text += i % 2 == 0 ? " or b" : " and a";
        load(text + ";");
        std::ostringstream saved;
        saveVhdl(saved, false);
        head = saved.str().substr(0, 40);
        length = saved.str().size();
        releaseTable();
        createTable();
        return 0;
    });
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(head, "variable a, b;\n-- literals: 100001\nf <= ");
    // "f <= ", 99999 "( ", "a", 50000 " or b", 50000 " and a", 99999 " )", ";\n"
    EXPECT_EQ(length, 35u + 5 + 99999 * 2 + 1 + 50000 * 5 + 50000 * 6 + 99999 * 2 + 2);
}

}  // namespace
