// The bookkeeping of unsaved work and the recovery file that keeps it: which
// functions a sequence of menu steps leaves marked (the saves go through the real
// VHDL save dialogue), the recovery file's name, that it never replaces a file, and
// that it goes to the temporary folder when the input's folder cannot take it.
#include "driver/unsaved_changes.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/added_functions.h"
#include "driver/recovery.h"
#include "vhdl_test_support.h"

namespace {

// A stream that takes no byte, as a full disk: its save says "Data NOT saved".
class RefusingBuffer : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

class UnsavedChangesTest : public VhdlFixture {
  protected:
    void SetUp() override {
        VhdlFixture::SetUp();
        program.unsavedEntries.clear();
        program.addedCount = 0;
        load("variable a, b;\nf <= a and b;\ng <= a or b;\n");
    }
    void TearDown() override {
        program.unsavedEntries.clear();
        program.addedCount = 0;
        program.lostSaves = 0;
        VhdlFixture::TearDown();
    }

    // One menu step, carried out as the action loop does and then noted.
    void step(const std::string& what) {
        int action = actionAbsorption;
        if (what.rfind("add ", 0) == 0) {
            action = actionAddFunction;
            addStatement(what.substr(4));
        } else if (what == "negate") {
            action = actionNegation;
        } else if (what == "cofactor") {
            action = actionCofactor;
        } else if (what.rfind("save", 0) == 0) {
            action = actionSaveVhdl;
            answer(what == "save added" ? "2\n2\n" : "2\n1\n");
            std::ostringstream file;
            RefusingBuffer refusing;
            std::ostream full(&refusing);
            saveVhdl(what == "save refused" ? full : static_cast<std::ostream&>(file));
        }
        noteCompletedAction(action);
    }

    static std::string marks() {
        std::string text;
        for (const bool unsaved : program.unsavedEntries) text += unsaved ? '1' : '0';
        return text;
    }
};

struct MarkCase {
    const char* title;
    std::vector<std::string> steps;
    std::string marks;  // per entry: 1 unsaved
};

TEST_F(UnsavedChangesTest, StepsLeaveTheirMarks) {
    const MarkCase cases[] = {
        {"nothing done", {"absorption"}, "00"},
        {"a saved table", {"save all"}, "00"},
        {"added", {"add h <= a xor b;"}, "001"},
        {"a refused statement adds nothing", {"add h <= a xor ;"}, "00"},
        {"negated", {"negate"}, "11"},
        {"a cofactor marks all", {"cofactor"}, "11"},
        {"added, saved all", {"add h <= a;", "save all"}, "000"},
        {"added, saved added only", {"add h <= a;", "save added"}, "000"},
        {"negated and added, saved added only", {"negate", "add h <= a;", "save added"}, "110"},
        {"saved added only takes every added function",
         {"add h <= a;", "save all", "add k <= b;", "save added"},
         "0000"},
        {"added after a save", {"add h <= a;", "save all", "add k <= b;"}, "0001"},
        {"a save that failed keeps the marks", {"add h <= a;", "save refused"}, "001"},
        {"negated after a save", {"save all", "add h <= a;", "negate"}, "111"},
    };
    for (const MarkCase& c : cases) {
        TearDown();
        SetUp();
        for (const std::string& what : c.steps) step(what);
        EXPECT_EQ(marks(), c.marks) << c.title;
        EXPECT_EQ(unsavedFunctionCount(), std::count(c.marks.begin(), c.marks.end(), '1'))
            << c.title;
    }
}

TEST(RecoveryFileName, FollowsTheInput) {
    struct Case {
        const char* input;
        int number;
        const char* name;
    };
    for (const Case& c :
         {Case{"adder.pla", 1, "adder.recovered.vhd"},
          Case{"work/adder.pla", 2, "adder.recovered-2.vhd"},
          Case{"a.b/adder", 1, "adder.recovered.vhd"}, Case{"x.pla.vhd", 1, "x.pla.recovered.vhd"},
          Case{".hidden", 1, ".hidden.recovered.vhd"},
          Case{"/dev/stdin", 3, "stdin.recovered-3.vhd"}}) {
        EXPECT_EQ(recoveryFileName(c.input, c.number), c.name) << c.input;
    }
}

class RecoveryFileTest : public UnsavedChangesTest {
  protected:
    void SetUp() override {
        UnsavedChangesTest::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("boolfn-recovery-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "tmp");
        const char* old = std::getenv("TMPDIR");
        oldTemporary = old == nullptr ? "" : old;
        ::setenv("TMPDIR", (folder / "tmp").c_str(), 1);
    }
    void TearDown() override {
        if (oldTemporary.empty()) {
            ::unsetenv("TMPDIR");
        } else {
            ::setenv("TMPDIR", oldTemporary.c_str(), 1);
        }
        std::filesystem::remove_all(folder);
        UnsavedChangesTest::TearDown();
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
    std::string oldTemporary;
};

TEST_F(RecoveryFileTest, NeverReplacesAFile) {
    const std::string input = (folder / "adder.pla").string();
    std::ofstream(input) << "not read\n";
    std::ofstream(folder / "adder.recovered.vhd") << "kept\n";
    const std::string path = writeRecoveryFile(input);
    EXPECT_EQ(path, (folder / "adder.recovered-2.vhd").string());
    EXPECT_EQ(read((folder / "adder.recovered.vhd").string()), "kept\n");
    EXPECT_EQ(read(path), "variable a, b;\n-- literals: 4\nf <= a and b;\ng <= a or b;\n");
    EXPECT_EQ(writeRecoveryFile(input), (folder / "adder.recovered-3.vhd").string());
}

TEST_F(RecoveryFileTest, GoesToTheTemporaryFolderWhenTheInputsCannotTakeIt) {
    // /proc takes no new file, even from root; a FIFO or device is no place either.
    for (const std::string input : {"/proc/version", "/dev/null"}) {
        const std::string path = writeRecoveryFile(input);
        EXPECT_EQ(std::filesystem::path(path).parent_path(), folder / "tmp") << input;
        EXPECT_NE(read(path).find("g <= a or b;"), std::string::npos) << input;
    }
}

}  // namespace
