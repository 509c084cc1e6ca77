// A save whose bytes do not reach the file is reported as "Data NOT saved": every
// writer flushes at the end and looks at its stream. Checked for all four writers
// with a stream whose buffer refuses every byte (as a full disk does) and, as the
// counterpart, with one that takes them.
#include <functional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "expr/workspace.h"
#include "formats/blif.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"
#include "tests/unit/formats/dimacs_test_support.h"

namespace {

// A stream buffer with no room: every write fails, as on /dev/full.
class FullDevice : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

struct WriterCase {
    const char* title;
    std::function<void(std::ostream&)> save;
    std::string answers;  // the dialogue's answers: save all (and complete VHDL)
};

void PrintTo(const WriterCase& c, std::ostream* out) {
    *out << c.title;
}

class FailedWriteTest : public DimacsFixture, public ::testing::WithParamInterface<WriterCase> {
  protected:
    void SetUp() override {
        DimacsFixture::SetUp();
        FunctionTable& table = *workspace.table;
        addVariable(table.variableList, "a");
        addVariable(table.variableList, "b");
        table.inputCount = 2;
        std::istringstream file("f <= a and b;\n");
        loadVhdl(file);
    }
};

bool reportsSaved(const std::string& printed) {
    return printed.find("Data saved\n") != std::string::npos;
}

bool reportsNotSaved(const std::string& printed) {
    return printed.find("Data NOT saved\n") != std::string::npos;
}

TEST_P(FailedWriteTest, RefusedBytesAreReportedAsNotSaved) {
    FullDevice device;
    std::ostream out(&device);
    answer(GetParam().answers);
    GetParam().save(out);
    EXPECT_TRUE(reportsNotSaved(console())) << console();
    EXPECT_FALSE(reportsSaved(console())) << console();
}

TEST_P(FailedWriteTest, AcceptedBytesAreReportedAsSaved) {
    std::ostringstream out;
    answer(GetParam().answers);
    GetParam().save(out);
    EXPECT_TRUE(reportsSaved(console())) << console();
    EXPECT_FALSE(reportsNotSaved(console())) << console();
    EXPECT_FALSE(out.str().empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryWriter, FailedWriteTest,
    ::testing::Values(WriterCase{"pla", savePla, "1\n"},
                      WriterCase{"vhdl", [](std::ostream& out) { saveVhdl(out, false); }, "1\n1\n"},
                      WriterCase{"dimacs", saveDimacs, "1\n"}, WriterCase{"blif", saveBlif, "1\n"}),
    [](const ::testing::TestParamInfo<WriterCase>& writer) {
        return std::string(writer.param.title);
    });

// The report itself: a stream that went bad at any point before the flush, or at
// the flush, is not saved.
TEST(ReportSaved, LooksAtTheStreamAfterFlushing) {
    struct Case {
        const char* title;
        bool refuse;
        const char* expected;
    };
    for (const Case& c :
         {Case{"accepted", false, "Data saved\n"}, Case{"refused", true, "Data NOT saved\n"}}) {
        ConsoleRedirect redirect;
        FullDevice device;
        std::ostringstream good;
        std::ostream refusing(&device);
        std::ostream& out = c.refuse ? refusing : static_cast<std::ostream&>(good);
        out << "some text";
        reportSaved(out, 0);
        EXPECT_EQ(redirect.printedText(), c.expected) << c.title;
    }
}

}  // namespace
