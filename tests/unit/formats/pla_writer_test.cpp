// The PLA writer: the selection dialogue (also its batch answer), the header with
// its label lines, term sum and literal count, one row per term and function, the
// constant and unsatisfiable functions, a bad stream, and a write -> read round
// trip over random covers checked against the rows themselves.
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "expr/workspace.h"
#include "formats/save_dialogue.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/formats/pla_test_support.h"

namespace {

using build::andOf;
using build::constant;
using build::id;
using build::notOf;
using build::orOf;

const std::string dialogue = "What to save:\n1. Save all\n2. Save added only\nChoice:\n";

// The table of the example rows: inputs a, b, c; f = (a and not b) or c (two
// terms), g = b (one term).
void exampleTable() {
    freshTable({"a", "b", "c"});
    FunctionTable& table = *workspace.table;
    table.appendEntry(orOf(andOf(id("a"), notOf(id("b"))), id("c")), nullptr, "f").termCount = 2;
    table.appendEntry(id("b"), nullptr, "g").termCount = 1;
}

std::string save() {
    std::ostringstream out;
    savePla(out);
    return out.str();
}

TEST_F(PlaFixture, SaveAllWritesHeaderAndRows) {
    exampleTable();
    answer("1\n");
    EXPECT_EQ(save(), ".i 3\n.o 2\n.p 3\n# literals: 4\n10- 10\n--1 10\n-1- 01\n");
    EXPECT_EQ(console(), dialogue + "Data saved\n");
    EXPECT_EQ(workspace.table->termCount, 3);
}

TEST_F(PlaFixture, LabelsAreWrittenWhenTheFileHadThem) {
    exampleTable();
    workspace.table->hasInputLabels = true;
    workspace.table->hasOutputLabels = true;
    answer("1\n");
    EXPECT_EQ(save(),
              ".i 3\n.o 2\n.ilb a b c\n.ob f g\n.p 3\n# literals: 4\n10- 10\n--1 10\n-1- 01\n");
}

TEST_F(PlaFixture, SaveAddedOnlyWritesTheLastEntries) {
    exampleTable();
    workspace.table->hasOutputLabels = true;
    workspace.table->addedCount = 1;
    answer("2\n");
    EXPECT_EQ(save(), ".i 3\n.o 1\n.ob g\n.p 1\n# literals: 1\n-1- 1\n");
    EXPECT_EQ(workspace.table->termCount, 1);
}

TEST_F(PlaFixture, BatchModeAnswersTwoItself) {
    exampleTable();
    saveRecord.batchMode = true;
    workspace.table->addedCount = 1;
    answer("1\n");
    EXPECT_EQ(save(), ".i 3\n.o 1\n.p 1\n# literals: 1\n-1- 1\n");
    EXPECT_EQ(console(), "What to save:\n1. Save all\n2. Save added only\nChoice:2\nData saved\n");
}

// Any answer other than 2, and no answer at all, saves everything.
TEST_F(PlaFixture, OtherAnswersSaveAll) {
    for (const char* reply : {"3\n", "x\n", ""}) {
        exampleTable();
        workspace.table->addedCount = 1;
        answer(reply);
        EXPECT_EQ(save(), ".i 3\n.o 2\n.p 3\n# literals: 4\n10- 10\n--1 10\n-1- 01\n") << reply;
    }
}

struct ConstantCase {
    const char* title;
    Node* (*tree)();
    std::string rows;
};

void PrintTo(const ConstantCase& c, std::ostream* out) {
    *out << c.title;
}

class PlaConstantTest : public PlaFixture, public ::testing::WithParamInterface<ConstantCase> {};

TEST_P(PlaConstantTest, WritesRowsOfOneFunction) {
    freshTable({"a", "b", "c"});
    workspace.table->appendEntry(GetParam().tree(), nullptr, "f");
    answer("1\n");
    std::string written = save();
    EXPECT_EQ(written.substr(written.find('\n', written.find("# literals")) + 1), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlaConstantTest,
    ::testing::Values(
        ConstantCase{"ConstantOneIsOneRowOfDashes", [] { return constant(1); }, "--- 1\n"},
        ConstantCase{"ConstantZeroHasNoRow", [] { return constant(0); }, ""},
        ConstantCase{"ContradictionHasNoRow", [] { return andOf(id("a"), notOf(id("a"))); }, ""},
        ConstantCase{"ContradictoryTermIsSkipped",
                     [] { return orOf(andOf(id("a"), notOf(id("a"))), notOf(id("c"))); },
                     "--0 1\n"},
        ConstantCase{"UnknownNameHasNoRow", [] { return id("z"); }, ""},
        ConstantCase{"NestedOrsEachTermOnce",
                     [] { return orOf(andOf(id("a"), id("b")), orOf(id("c"), notOf(id("b")))); },
                     "11- 1\n--1 1\n-0- 1\n"}),
    [](const ::testing::TestParamInfo<ConstantCase>& param) {
        return std::string(param.param.title);
    });

// The row width is the length of the table's variable list, whatever the input
// count says, so the file reads back.
TEST_F(PlaFixture, InputLineGivesTheRowWidth) {
    freshTable({"a", "b"});
    workspace.table->inputCount = 5;
    workspace.table->appendEntry(id("b"), nullptr, "f").termCount = 1;
    answer("1\n");
    EXPECT_EQ(save(), ".i 2\n.o 1\n.p 1\n# literals: 1\n-1 1\n");
}

TEST_F(PlaFixture, EntryWithoutTreeWritesNoRow) {
    freshTable({"a"});
    workspace.table->appendEntry(nullptr, nullptr, "f");
    workspace.table->appendEntry(id("a"), nullptr, "g").termCount = 1;
    answer("1\n");
    EXPECT_EQ(save(), ".i 1\n.o 2\n.p 1\n# literals: 1\n1 01\n");
}

TEST_F(PlaFixture, BadStreamSavesNothing) {
    exampleTable();
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    savePla(out);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(console(), "Cannot open output file\n");
}

// Random covers: the rows are evaluated directly as the oracle, then the loaded
// functions, then the functions read back from what the writer wrote.
struct Cover {
    int inputs;
    int outputs;
    std::vector<std::string> inputParts;
    std::vector<std::string> outputParts;

    std::string text() const {
        std::string written =
            ".i " + std::to_string(inputs) + "\n.o " + std::to_string(outputs) + "\n";
        for (size_t row = 0; row < inputParts.size(); ++row) {
            written += inputParts[row] + ' ' + outputParts[row] + '\n';
        }
        return written;
    }

    bool value(int output, uint64_t bits) const {
        for (size_t row = 0; row < inputParts.size(); ++row) {
            if (outputParts[row][static_cast<size_t>(output)] != '1') continue;
            bool covered = true;
            for (int input = 0; input < inputs; ++input) {
                char literal = inputParts[row][static_cast<size_t>(input)];
                bool bit = ((bits >> input) & 1u) != 0;
                if ((literal == '1' && !bit) || (literal == '0' && bit)) covered = false;
            }
            if (covered) return true;
        }
        return false;
    }
};

Cover randomCover(std::mt19937& random) {
    Cover cover{std::uniform_int_distribution<int>(1, 6)(random),
                std::uniform_int_distribution<int>(1, 3)(random),
                {},
                {}};
    int rows = std::uniform_int_distribution<int>(1, 12)(random);
    for (int row = 0; row < rows; ++row) {
        std::string in;
        std::string out;
        for (int i = 0; i < cover.inputs; ++i) in += "01-"[random() % 3];
        for (int o = 0; o < cover.outputs; ++o) out += "01-~"[random() % 4];
        if (in.find_first_not_of('-') == std::string::npos) in[0] = '1';  // keep a literal
        if (out.find('1') == std::string::npos) out[random() % out.size()] = '1';
        cover.inputParts.push_back(in);
        cover.outputParts.push_back(out);
    }
    return cover;
}

void expectFunctions(const Cover& cover, const char* stage) {
    ASSERT_EQ(workspace.table->entryCount(), cover.outputs) << stage;
    for (int output = 0; output < cover.outputs; ++output) {
        const Node& tree = *workspace.table->entryAt(output)->tree();
        for (uint64_t bits = 0; bits < (uint64_t{1} << cover.inputs); ++bits) {
            ASSERT_EQ(evaluateUnder(tree, bits), cover.value(output, bits))
                << stage << " output " << output << " point " << bits << "\n"
                << cover.text();
        }
    }
}

TEST_F(PlaFixture, RandomCoversSurviveWriteAndRead) {
    std::mt19937 random(20260);
    for (int round = 0; round < 300; ++round) {
        Cover cover = randomCover(random);
        releaseTable();
        createTable();
        load(cover.text());
        expectFunctions(cover, "loaded");
        answer("1\n");
        std::string written = save();
        releaseTable();
        createTable();
        load(written);
        expectFunctions(cover, "read back");
        if (HasFatalFailure()) return;
    }
}

}  // namespace
