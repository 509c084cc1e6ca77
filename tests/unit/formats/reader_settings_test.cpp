// The reader settings reach every loader: the benchmark dialects are read only when
// asked for; each loader answers the errors it reported. (Where the messages go is
// in reader_places_test.)
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "tests/unit/base/console_redirect.h"

namespace {

using Loader = std::function<int64_t(std::istream&, const ReaderSettings&)>;

struct SettingsCase {
    const char* title;
    Loader load;
    std::string text;
    bool benchmarkDialects;
    std::string printed;
    int64_t errors;
    int64_t entries;
};

class ReaderSettingsTest : public ::testing::TestWithParam<SettingsCase> {
  protected:
    void SetUp() override {
        createTable();
        resetVhdlReader();
    }
    void TearDown() override { releaseTable(); }
};

TEST_P(ReaderSettingsTest, ReachTheLoader) {
    const SettingsCase& c = GetParam();
    ConsoleRedirect console;
    ReaderSettings settings;
    settings.benchmarkDialects = c.benchmarkDialects;
    std::istringstream in(c.text);
    EXPECT_EQ(c.load(in, settings), c.errors);
    EXPECT_EQ(console.printedText(), c.printed);
    EXPECT_EQ(workspace.table->entryCount(), c.entries);
}

const Loader pla = loadPla;
const Loader vhdl = loadVhdl;
const Loader dimacs = loadDimacs;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderSettingsTest,
    ::testing::Values(
        SettingsCase{"PlaBusLabelRefused", pla, ".i 1\n.o 1\n.ilb a[3]\n1 1\n", false,
                     "Invalid lexical element at line:3\n", 1, 1},
        SettingsCase{"PlaBusLabelRead", pla, ".i 1\n.o 1\n.ilb a[3]\n1 1\n", true, "", 0, 1},
        SettingsCase{"PlaTwoAsUnusedRefused", pla, ".i 2\n.o 1\n21 1\n", false,
                     "Syntax error at line:3\n", 1, 1},
        SettingsCase{"PlaTwoAsUnusedRead", pla, ".i 2\n.o 1\n21 1\n", true, "", 0, 1},
        SettingsCase{"PlaDotEndRead", pla, ".i 1\n.o 1\n1 1\n.end\n$\n", true, "", 0, 1},
        SettingsCase{"DimacsPercentRefused", dimacs, "p cnf 1 1\n1 0\n%\n0\n", false,
                     "Invalid lexical element at line:3\n", 1, 1},
        SettingsCase{"DimacsPercentEndsTheFormula", dimacs, "p cnf 1 1\n1 0\n%\n0\n", true, "", 0,
                     1},
        SettingsCase{"VhdlMessages", vhdl, "f <= a;\ng <= \"01\" and \"1\";\nh <= ;\n", false,
                     "Warning: Different vector lengths at line:2\n"
                     "Syntax error at line:3\n",
                     1, 2}),
    [](const ::testing::TestParamInfo<SettingsCase>& param) {
        return std::string(param.param.title);
    });

}  // namespace
