// The BLIF reader through `loadBlif`: the functions a netlist gives (as truth
// tables over the declared inputs), and the netlists it refuses with the line and
// the words of its message.
#include "formats/blif_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "expr/function_table.h"
#include "tests/unit/expr/tree_builders.h"

namespace {

struct NetlistCase {
    const char* title;
    std::string text;
    std::string inputs;                // the table's inputs afterwards, in order
    std::vector<std::string> outputs;  // "NAME:TABLE", bit i of the row number is input i
};

void PrintTo(const NetlistCase& c, std::ostream* out) {
    *out << c.title;
}

class BlifNetlists : public ::testing::TestWithParam<NetlistCase> {
  protected:
    void SetUp() override { createTable(); }
    void TearDown() override { releaseTable(); }
};

std::string truthTable(const Node& tree) {
    std::string table;
    const uint64_t rows = uint64_t{1} << workspace.table->variableList.count();
    for (uint64_t bits = 0; bits < rows; ++bits) table += evaluateUnder(tree, bits) ? '1' : '0';
    return table;
}

TEST_P(BlifNetlists, GiveTheirFunctions) {
    const NetlistCase& c = GetParam();
    std::istringstream in(c.text);
    const BlifReadResult result = loadBlif(in);
    ASSERT_TRUE(result.errors.empty())
        << result.errors.front().line << ": " << result.errors.front().text;
    const FunctionTable& table = *workspace.table;
    std::string inputs;
    for (const VariableEntry& input : table.variableList.entries) {
        inputs += (inputs.empty() ? "" : " ") + symbolName(input.name);
    }
    EXPECT_EQ(inputs, c.inputs);
    EXPECT_EQ(table.inputCount, table.variableList.count());
    ASSERT_EQ(table.entryCount(), static_cast<int64_t>(c.outputs.size()));
    for (std::size_t i = 0; i < c.outputs.size(); ++i) {
        FunctionEntry& entry = *table.entryAt(static_cast<int64_t>(i));
        EXPECT_EQ(entry.name + ":" + truthTable(*entry.tree()), c.outputs[i]) << "output " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlifNetlists,
    ::testing::Values(
        NetlistCase{"OnSetCover",
                    ".model m\n.inputs a b\n.outputs f\n.names a b f\n11 1\n.end\n",
                    "a b",
                    {"f:0001"}},
        NetlistCase{"OffSetCoverIsTheComplement",
                    ".model m\n.inputs a b\n.outputs f\n.names a b f\n11 0\n.end\n",
                    "a b",
                    {"f:1110"}},
        NetlistCase{"DashesAndComplementedColumns",
                    ".inputs a b c\n.outputs f\n.names a b c f\n1-0 1\n-11 1\n",
                    "a b c",
                    {"f:01010011"}},
        NetlistCase{"ConstantGates",
                    ".inputs a\n.outputs one zero none off\n.names one\n1\n.names zero\n0\n"
                    ".names none\n.names a off\n- 0\n",
                    "a",
                    {"one:11", "zero:00", "none:00", "off:00"}},
        NetlistCase{"RowOfDashesIsTheWholeSet",
                    ".inputs a b\n.outputs f\n.names a b f\n-- 1\n11 1\n",
                    "a b",
                    {"f:1111"}},
        NetlistCase{"SignalsInAnyOrderAndSharedFanOut",
                    ".inputs a b c\n.outputs f g\n.names t c f\n11 1\n.names t g\n0 1\n"
                    ".names a b t\n1- 1\n-1 1\n",
                    "a b c",
                    {"f:00000111", "g:10001000"}},
        NetlistCase{"OutputThatIsAnInput", ".inputs a b\n.outputs b\n", "a b", {"b:0011"}},
        NetlistCase{"ContinuationsCommentsAndCrLf",
                    "# header\r\n.inputs a \\\r\n b\r\n.outputs f # the only one\r\n"
                    ".names a b \\\nf\r\n01 1\r\n10 1\r\n.end\r\n",
                    "a b",
                    {"f:0110"}},
        NetlistCase{"TimingCommandsAreSkipped",
                    ".inputs a\n.outputs f\n.input_arrival a 1.0 1.0\n.names a f\n1 1\n"
                    ".default_output_required 2\n",
                    "a",
                    {"f:01"}},
        NetlistCase{"OnlyTheFirstModelIsRead",
                    ".model top\n.inputs a\n.outputs f\n.names a f\n0 1\n.model other\n"
                    ".inputs z\n.outputs y\n.names z y\n1 1\n",
                    "a",
                    {"f:10"}}));

struct RefusedCase {
    const char* title;
    std::string text;
    int64_t line;
    std::string words;  // part of the message
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.title;
}

class BlifRefused : public ::testing::TestWithParam<RefusedCase> {
  protected:
    void SetUp() override { createTable(); }
    void TearDown() override { releaseTable(); }
};

TEST_P(BlifRefused, WithLineAndReasonAndNoFunction) {
    const RefusedCase& c = GetParam();
    std::istringstream in(c.text);
    BlifReaderLimits limits;
    limits.maxTreeNodes = 64;
    const BlifReadResult result = loadBlif(in, limits);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(result.errors[0].line, c.line);
    EXPECT_NE(result.errors[0].text.find(c.words), std::string::npos) << result.errors[0].text;
    EXPECT_EQ(workspace.table->entryCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlifRefused,
    ::testing::Values(
        RefusedCase{"Latch", ".inputs a\n.outputs q\n.latch a q 0\n", 3, "'.latch'"},
        RefusedCase{"Subcircuit", ".inputs a\n.outputs q\n.subckt and2 A=a O=q\n", 3, "'.subckt'"},
        RefusedCase{"UnknownCommand", ".inputs a\n.frobnicate\n", 2, "unknown command"},
        RefusedCase{"RowOfWrongWidth", ".inputs a b\n.outputs f\n.names a b f\n1 1\n", 4,
                    "2 input columns"},
        RefusedCase{"BadCharacterInRow", ".inputs a\n.outputs f\n.names a f\n2 1\n", 4,
                    "only 0, 1 and -"},
        RefusedCase{"MixedOnAndOffRows", ".inputs a\n.outputs f\n.names a f\n1 1\n0 0\n", 5,
                    "mixes"},
        RefusedCase{"RowOutsideACover", ".inputs a\n11 1\n", 2, "outside a .names"},
        RefusedCase{"DrivenTwice", ".inputs a\n.outputs f\n.names a f\n1 1\n.names a f\n0 1\n", 5,
                    "driven twice"},
        RefusedCase{"InputDrivenByAGate", ".inputs a\n.outputs a\n.names a\n1\n", 3,
                    "is driven by a gate"},
        RefusedCase{"UndrivenSignal", ".inputs a\n.outputs f\n.names a t f\n11 1\n", 3,
                    "'t' is neither"},
        RefusedCase{"UndrivenOutput", ".inputs a\n.outputs f\n", 2, "'f' is neither"},
        RefusedCase{"Loop", ".inputs a\n.outputs f\n.names a g f\n11 1\n.names f g\n1 1\n", 5,
                    "loop"},
        // Each level doubles the tree: 2^7 leaves pass the limit of 64 nodes.
        RefusedCase{"UnfoldsPastTheLimit",
                    ".inputs a\n.outputs s7\n.names a a s1\n11 1\n.names s1 s1 s2\n11 1\n"
                    ".names s2 s2 s3\n11 1\n.names s3 s3 s4\n11 1\n.names s4 s4 s5\n11 1\n"
                    ".names s5 s5 s6\n11 1\n.names s6 s6 s7\n11 1\n",
                    16, "more than 64 tree nodes"}));

}  // namespace
