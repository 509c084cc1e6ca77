// "Save as DIMACS" on trees that stand as the dispatcher leaves them (the sum of
// products of each function's complement): the header, the clause lines, the
// selection dialogue, and a write-read round trip through the reader.
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "expr/workspace.h"
#include "formats/dimacs.h"
#include "formats/save_dialogue.h"
#include "tests/unit/formats/dimacs_test_support.h"

namespace {

using namespace build;

using DimacsWriterChecks = DimacsFixture;

const std::string dialogue = "What to save:\n1. Save all\n2. Save added only\nChoice:";

struct SavedFunction {
    std::function<Node*()> complement;  // null for an entry without a tree
    int64_t termCount;
};

struct WriteCase {
    const char* title;
    std::vector<const char*> inputs;
    std::vector<SavedFunction> functions;
    int64_t addedCount;
    bool batch;
    std::string answer;
    std::string file;
    std::string console;
};

// Failures name the case by its title.
void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.title;
}

class DimacsWriterTest : public DimacsFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(DimacsWriterTest, WritesTheClauses) {
    const WriteCase& c = GetParam();
    FunctionTable& table = *workspace.table;
    for (const char* input : c.inputs) addVariable(table.variableList, input);
    table.inputCount = 99;  // the header counts the names, not what a reader declared
    for (size_t i = 0; i < c.functions.size(); ++i) {
        const SavedFunction& function = c.functions[i];
        Node* tree = function.complement ? function.complement() : nullptr;
        table.appendEntry(tree, nullptr, "f" + std::to_string(i)).termCount = function.termCount;
    }
    workspace.table->addedCount = c.addedCount;
    saveRecord.batchMode = c.batch;
    answer(c.answer);
    std::ostringstream out;
    saveDimacs(out);
    EXPECT_EQ(out.str(), c.file);
    EXPECT_EQ(console(), c.console);
    // The header's clause count is the total the writer leaves in the table.
    EXPECT_EQ(out.str().rfind("p cnf " + std::to_string(c.inputs.size()) + " " +
                                  std::to_string(table.termCount) + "\n",
                              0),
              0u);
}

const std::vector<const char*> twoInputs = {"x0", "x1"};
const std::string savedAll = dialogue + "\nData saved\n";
const std::string savedAdded = dialogue + "2\nData saved\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DimacsWriterTest,
    ::testing::Values(
        // x0 or x1: its complement is the one term not x0 and not x1.
        WriteCase{"Or",
                  twoInputs,
                  {{[] { return andOf(notOf(id("x0")), notOf(id("x1"))); }, 1}},
                  0,
                  false,
                  "1",
                  "p cnf 2 1\n1 2 0\n",
                  savedAll},
        // x0 and x1: the complement has two terms.
        WriteCase{"And",
                  twoInputs,
                  {{[] { return orOf(notOf(id("x0")), notOf(id("x1"))); }, 2}},
                  0,
                  false,
                  "1",
                  "p cnf 2 2\n1 0\n2 0\n",
                  savedAll},
        WriteCase{"ConstantOneHasNoClause",
                  twoInputs,
                  {{[] { return new VectNode(valueFalse, 1); }, 0}},
                  0,
                  false,
                  "1",
                  "p cnf 2 0\n",
                  savedAll},
        WriteCase{"ConstantZeroIsTheEmptyClause",
                  twoInputs,
                  {{[] { return new VectNode(valueTrue, 1); }, 1}},
                  0,
                  false,
                  "1",
                  "p cnf 2 1\n0\n",
                  savedAll},
        WriteCase{"LiteralsInListOrder",
                  {"x0", "x1", "x2"},
                  {{[] { return andOf(notOf(id("x2")), id("x0")); }, 1}},
                  0,
                  false,
                  "1",
                  "p cnf 3 1\n-1 3 0\n",
                  savedAll},
        WriteCase{"TwoFunctionsUnderOneHeader",
                  twoInputs,
                  {{[] { return notOf(id("x0")); }, 1},
                   {[] { return orOf(id("x1"), andOf(id("x0"), notOf(id("x1")))); }, 2}},
                  0,
                  false,
                  "1",
                  "p cnf 2 3\n1 0\n-2 0\n-1 2 0\n",
                  savedAll},
        WriteCase{"EntryWithoutTreeIsCounted",
                  twoInputs,
                  {{nullptr, 4}, {[] { return id("x1"); }, 1}},
                  0,
                  false,
                  "1",
                  "p cnf 2 5\n-2 0\n",
                  savedAll},
        WriteCase{"UnreadableAnswerSavesAll",
                  twoInputs,
                  {{[] { return id("x0"); }, 1}, {[] { return id("x1"); }, 1}},
                  1,
                  false,
                  "x",
                  "p cnf 2 2\n-1 0\n-2 0\n",
                  savedAll},
        WriteCase{"SaveAddedOnly",
                  twoInputs,
                  {{[] { return id("x0"); }, 1}, {[] { return id("x1"); }, 1}},
                  1,
                  false,
                  "2",
                  "p cnf 2 1\n-2 0\n",
                  savedAll},
        WriteCase{"SaveAddedOnlyWithNothingAdded",
                  twoInputs,
                  {{[] { return id("x0"); }, 1}},
                  0,
                  false,
                  "2",
                  "p cnf 2 0\n",
                  savedAll},
        WriteCase{"BatchModeSavesAddedOnly",
                  twoInputs,
                  {{[] { return id("x0"); }, 1}, {[] { return notOf(id("x1")); }, 1}},
                  1,
                  true,
                  "",
                  "p cnf 2 1\n2 0\n",
                  savedAdded},
        WriteCase{"EmptyTable", {}, {}, 0, false, "1", "p cnf 0 0\n", savedAll}),
    [](const ::testing::TestParamInfo<WriteCase>& param) {
        return std::string(param.param.title);
    });

TEST_F(DimacsWriterChecks, RefusesABadStream) {
    addVariable(workspace.table->variableList, "x0");
    workspace.table->appendEntry(id("x0"), nullptr, "f").termCount = 1;
    answer("1\n");
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    saveDimacs(out);
    EXPECT_EQ(console(), "Cannot open output file\n");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(workspace.table->termCount, 0);
}

// Negating a loaded CNF gives the sum of products of its complement term by term,
// so saving it must give the clauses back, and the saved file must read back into
// the same function.
TEST_F(DimacsWriterChecks, SavedClausesReadBack) {
    const std::string original = "p cnf 4 4\n1 -2 0\n-1 2 4 0\n-3 0\n2 3 -4 0\n";
    std::istringstream in(original);
    loadDimacs(in);
    FunctionEntry& function = *workspace.table->entryAt(0);
    std::string loaded = toText(*function.tree());
    function.tree() = function.tree()->negate();
    function.termCount = 4;
    answer("1");
    std::ostringstream out;
    saveDimacs(out);
    EXPECT_EQ(out.str(), original);

    releaseTable();
    createTable();
    std::istringstream again(out.str());
    loadDimacs(again);
    EXPECT_EQ(toText(*workspace.table->entryAt(0)->tree()), loaded);
}

}  // namespace
