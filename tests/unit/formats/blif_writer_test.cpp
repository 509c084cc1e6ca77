// "Save as BLIF": the header lines, the gates of every saved function, the buffer of
// a bare identifier, drivers for constants, the selection dialogue and the signal
// counter that keeps counting across saves.
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/large_stack.h"
#include "expr/node.h"
#include "expr/workspace.h"
#include "formats/blif.h"
#include "formats/save_dialogue.h"
#include "tests/unit/formats/dimacs_test_support.h"

namespace {

using namespace build;

using BlifWriterChecks = DimacsFixture;

const std::string dialogue = "What to save:\n1. Save all\n2. Save added only\nChoice:";
const std::string savedAll = dialogue + "\nData saved\n";

struct BlifFunction {
    const char* name;
    std::function<Node*()> tree;  // null for an entry without a tree
};

struct BlifCase {
    const char* title;
    std::vector<const char*> inputs;
    std::vector<BlifFunction> functions;
    int64_t addedCount;
    bool batch;
    std::string answer;
    std::string file;
    std::string console;
};

// Failures name the case by its title.
void PrintTo(const BlifCase& c, std::ostream* out) {
    *out << c.title;
}

class BlifWriterTest : public DimacsFixture, public ::testing::WithParamInterface<BlifCase> {};

TEST_P(BlifWriterTest, WritesTheModel) {
    const BlifCase& c = GetParam();
    FunctionTable& table = *workspace.table;
    for (const char* input : c.inputs) addVariable(table.variableList, input);
    for (const BlifFunction& function : c.functions) {
        table.appendEntry(function.tree ? function.tree() : nullptr, nullptr, function.name);
    }
    workspace.table->addedCount = c.addedCount;
    saveRecord.batchMode = c.batch;
    answer(c.answer);
    std::ostringstream out;
    saveBlif(out);
    EXPECT_EQ(out.str(), c.file);
    EXPECT_EQ(console(), c.console);
}

const std::vector<const char*> abc = {"a", "b", "c"};

INSTANTIATE_TEST_SUITE_P(
    Cases, BlifWriterTest,
    ::testing::Values(
        BlifCase{"AndOr",
                 abc,
                 {{"f", [] { return orOf(andOf(id("a"), id("b")), id("c")); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a b c\n.outputs f\n.names a b sig0\n11 1\n"
                 ".names sig0 c f\n1- 1\n-1 1\n.end\n",
                 savedAll},
        BlifCase{"BareIdentifierIsABuffer",
                 abc,
                 {{"f", [] { return id("a"); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a b c\n.outputs f\n.names a f\n1 1\n.end\n",
                 savedAll},
        BlifCase{"NegationAtTheRoot",
                 {"a"},
                 {{"g", [] { return notOf(id("a")); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a\n.outputs g\n.names a g\n0 1\n.end\n",
                 savedAll},
        BlifCase{"ConstantsAreDriven",
                 {"a"},
                 {{"t", [] { return new VectNode(valueTrue, 1); }},
                  {"z", [] { return new VectNode(valueFalse, 1); }},
                  {"u", [] { return andOf(id("a"), new VectNode(valueTrue, 1)); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a\n.outputs t z u\n.names t\n1\n.names z\n"
                 ".names sig2\n1\n.names a sig2 u\n11 1\n.end\n",
                 savedAll},
        BlifCase{"CounterRunsAcrossFunctions",
                 abc,
                 {{"f", [] { return andOf(notOf(id("a")), id("b")); }},
                  {"g", [] { return new BNode(opXor, id("b"), notOf(id("c"))); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a b c\n.outputs f g\n.names a sig0\n0 1\n"
                 ".names sig0 b f\n11 1\n.names c sig2\n0 1\n.names b sig2 g\n10 1\n01 1\n.end\n",
                 savedAll},
        BlifCase{"UnusedInputsAndTreelessEntriesAreListed",
                 {"a", "b", "unused"},
                 {{"f", nullptr}, {"g", [] { return id("b"); }}},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs a b unused\n.outputs f g\n.names b g\n1 1\n.end\n",
                 savedAll},
        BlifCase{"SaveAddedOnlyWithNothingAdded",
                 abc,
                 {{"f", [] { return id("a"); }}},
                 0,
                 false,
                 "2",
                 ".model blif\n.inputs a b c\n.outputs\n.end\n",
                 savedAll},
        BlifCase{"SaveAddedOnly",
                 abc,
                 {{"f", [] { return id("a"); }}, {"g", [] { return id("c"); }}},
                 1,
                 false,
                 "2",
                 ".model blif\n.inputs a b c\n.outputs g\n.names c g\n1 1\n.end\n",
                 savedAll},
        BlifCase{"UnreadableAnswerSavesAll",
                 {"a"},
                 {{"f", [] { return id("a"); }}, {"g", [] { return notOf(id("a")); }}},
                 1,
                 false,
                 "none",
                 ".model blif\n.inputs a\n.outputs f g\n.names a f\n1 1\n.names a g\n0 1\n.end\n",
                 savedAll},
        BlifCase{"BatchModeSavesAddedOnly",
                 abc,
                 {{"f", [] { return id("a"); }}, {"g", [] { return id("b"); }}},
                 1,
                 true,
                 "",
                 ".model blif\n.inputs a b c\n.outputs g\n.names b g\n1 1\n.end\n",
                 dialogue + "2\nData saved\n"},
        BlifCase{"EmptyTable",
                 {},
                 {},
                 0,
                 false,
                 "1",
                 ".model blif\n.inputs\n.outputs\n.end\n",
                 savedAll}),
    [](const ::testing::TestParamInfo<BlifCase>& param) { return std::string(param.param.title); });

TEST_F(BlifWriterChecks, SecondSaveRenamesTheInternalSignals) {
    addVariable(workspace.table->variableList, "a");
    addVariable(workspace.table->variableList, "b");
    workspace.table->appendEntry(orOf(notOf(id("a")), id("b")), nullptr, "f");
    const std::string gatesAt0 = ".names a sig0\n0 1\n.names sig0 b f\n1- 1\n-1 1\n";
    const std::string gatesAt2 = ".names a sig2\n0 1\n.names sig2 b f\n1- 1\n-1 1\n";
    const std::string header = ".model blif\n.inputs a b\n.outputs f\n";
    answer("1 1");
    std::ostringstream first;
    saveBlif(first);
    std::ostringstream second;
    saveBlif(second);
    EXPECT_EQ(first.str(), header + gatesAt0 + ".end\n");
    EXPECT_EQ(second.str(), header + gatesAt2 + ".end\n");
    EXPECT_EQ(blifSignalCounter, 4);
    EXPECT_EQ(console(), savedAll + savedAll);
}

TEST_F(BlifWriterChecks, RefusesABadStream) {
    workspace.table->appendEntry(id("a"), nullptr, "f");
    std::ostringstream out;
    out.setstate(std::ios::failbit);
    saveBlif(out);
    EXPECT_EQ(console(), "Cannot open output file\n");
    EXPECT_EQ(out.str(), "");
}

// A loaded CNF of many clauses is a deep and-chain; its gates come out in
// post-order, one per operator node, the last one driving the function.
TEST_F(BlifWriterChecks, WritesADeepChain) {
    constexpr int clauses = 100000;
    addVariable(workspace.table->variableList, "a");
    addVariable(workspace.table->variableList, "b");
    answer("1");
    std::string file;
    int gates = runOnLargeStack([&file] {
        Node* tree = orOf(id("a"), notOf(id("b")));
        for (int i = 1; i < clauses; ++i) tree = andOf(tree, orOf(id("a"), notOf(id("b"))));
        workspace.table->appendEntry(tree, nullptr, "y0");
        std::ostringstream out;
        saveBlif(out);
        file = out.str();
        releaseTable();  // the deep tree is destroyed here, on the large stack
        createTable();
        int count = 0;
        for (size_t at = file.find(".names"); at != std::string::npos;
             at = file.find(".names", at + 1)) {
            ++count;
        }
        return count;
    });
    // Each clause gives a not gate and an or gate; the chain adds one and per link.
    EXPECT_EQ(gates, 3 * clauses - 1);
    const std::string lastGate = ".names sig" + std::to_string(3 * clauses - 5) + " sig" +
                                 std::to_string(3 * clauses - 3) + " y0\n11 1\n.end\n";
    ASSERT_GE(file.size(), lastGate.size());
    EXPECT_EQ(file.substr(file.size() - lastGate.size()), lastGate);
}

}  // namespace
