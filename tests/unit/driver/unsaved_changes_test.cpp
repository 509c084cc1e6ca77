// The bookkeeping of unsaved work and the recovery file that keeps it: which
// functions a sequence of menu steps leaves marked (the saves go through the real
// VHDL save dialogue), the recovery file's name, that it never replaces a file nor
// writes through a link, that it is private, and where it goes when the input's
// folder cannot take it.
#include "driver/unsaved_changes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/added_functions.h"
#include "driver/menu_table.h"
#include "driver/recovery.h"
#include "expr/workspace.h"
#include "formats/save_dialogue.h"
#include "tests/unit/formats/vhdl_test_support.h"

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
        saveRecord.unsavedEntries.clear();
        workspace.table->addedCount = 0;
        load("variable a, b;\nf <= a and b;\ng <= a or b;\n");
    }
    void TearDown() override {
        saveRecord.unsavedEntries.clear();
        workspace.table->addedCount = 0;
        saveRecord.lostSaves = 0;
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
            saveVhdl(what == "save refused" ? full : static_cast<std::ostream&>(file), false);
        }
        noteCompletedAction(action);
    }

    static std::string marks() {
        std::string text;
        for (const bool unsaved : saveRecord.unsavedEntries) text += unsaved ? '1' : '0';
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

// A completed action marks every function when it rewrites them: the transforms,
// the satisfiability test (which leaves each function's sum of products) and the
// cofactor. The saves, "Add function" with nothing added and the absorption switch
// leave the marks as they are.
TEST_F(UnsavedChangesTest, ActionsThatRewriteMarkEveryFunction) {
    // Per action from actionNegation to actionCofactor: 1 marks every function.
    const std::string marksAll = "11111110000001";
    for (int action = actionNegation; action <= actionCofactor; ++action) {
        TearDown();
        SetUp();
        noteCompletedAction(action);
        const bool all = marksAll[static_cast<size_t>(action - actionNegation)] == '1';
        EXPECT_EQ(marks(), all ? "11" : "00") << actionTexts[action - actionNegation];
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

// Keeps an environment variable for the test and puts it back afterwards.
class EnvironmentSetting {
  public:
    explicit EnvironmentSetting(const char* variable) : name(variable) {
        const char* old = std::getenv(variable);
        wasSet = old != nullptr;
        if (wasSet) oldValue = old;
    }
    ~EnvironmentSetting() {
        if (wasSet) {
            ::setenv(name, oldValue.c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;
    void set(const std::string& value) const {
        if (value.empty()) {
            ::unsetenv(name);
        } else {
            ::setenv(name, value.c_str(), 1);
        }
    }

  private:
    const char* name;
    bool wasSet = false;
    std::string oldValue;
};

class RecoveryFileTest : public UnsavedChangesTest {
  protected:
    void SetUp() override {
        UnsavedChangesTest::SetUp();
        folder = std::filesystem::temp_directory_path() /
                 ("boolfn-recovery-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "tmp");
        temporary.set((folder / "tmp").string());
        state.set((folder / "state").string());
        runtime.set("");
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        UnsavedChangesTest::TearDown();
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static unsigned modeOf(const std::filesystem::path& path) {
        struct stat status {};
        return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
    }

    std::filesystem::path folder;
    EnvironmentSetting temporary{"TMPDIR"};
    EnvironmentSetting state{"XDG_STATE_HOME"};
    EnvironmentSetting runtime{"XDG_RUNTIME_DIR"};
};

constexpr const char* recoveredTable =
    "variable a, b;\n-- literals: 4\nf <= a and b;\ng <= a or b;\n";

TEST_F(RecoveryFileTest, NeverReplacesAFile) {
    const std::string input = (folder / "adder.pla").string();
    std::ofstream(input) << "not read\n";
    std::ofstream(folder / "adder.recovered.vhd") << "kept\n";
    const std::string path = writeRecoveryFile(input);
    EXPECT_EQ(path, (folder / "adder.recovered-2.vhd").string());
    EXPECT_EQ(read((folder / "adder.recovered.vhd").string()), "kept\n");
    EXPECT_EQ(read(path), recoveredTable);
    EXPECT_EQ(modeOf(path), 0600U);
    EXPECT_EQ(writeRecoveryFile(input), (folder / "adder.recovered-3.vhd").string());
}

TEST_F(RecoveryFileTest, NeverWritesThroughALink) {
    const std::string input = (folder / "adder.pla").string();
    std::ofstream(input) << "not read\n";
    std::ofstream(folder / "victim") << "kept\n";
    std::filesystem::create_symlink(folder / "victim", folder / "adder.recovered.vhd");
    std::filesystem::create_symlink(folder / "missing", folder / "adder.recovered-2.vhd");
    EXPECT_EQ(writeRecoveryFile(input), (folder / "adder.recovered-3.vhd").string());
    EXPECT_EQ(read((folder / "victim").string()), "kept\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

// Where the file goes when the input's folder cannot take it: a pattern for its path
// under the test's folder.
struct FolderCase {
    const char* title;
    const char* input;          // "*" stands for the test's folder
    const char* stateHome;      // relative to the test's folder, or absolute
    unsigned stateFolderMode;   // of STATE/boolfn, made beforehand unless 0
    const char* runtimeFolder;  // made 0700, relative to the test's folder; empty: unset
    const char* pattern;
};

TEST_F(RecoveryFileTest, GoesToThePrivateFoldersThenUnderARandomNameToTheTemporaryOne) {
    const char* random = "tmp/[a-z]+\\.recovered-[A-Za-z0-9]{6}\\.vhd";
    const std::vector<FolderCase> cases = {
        {"a file with no folder to write in", "/proc/version", "state", 0, "",
         "state/boolfn/version\\.recovered\\.vhd"},
        {"a device", "/dev/null", "state", 0, "", "state/boolfn/null\\.recovered\\.vhd"},
        {"every name beside the input taken", "*/adder.pla", "state", 0, "",
         "state/boolfn/adder\\.recovered\\.vhd"},
        {"a state folder open to others", "/dev/null", "state", 0777, "run",
         "run/null\\.recovered\\.vhd"},
        {"no state folder", "/dev/null", "/proc/none", 0, "", random},
        {"no state folder, a runtime folder open to others", "/dev/null", "/proc/none", 0, "open",
         random},
    };
    for (const std::string name : {"adder.pla", "adder.recovered.vhd"}) {
        std::ofstream(folder / name) << "taken\n";
    }
    for (int number = 2; number <= 100; ++number) {
        std::ofstream(folder / ("adder.recovered-" + std::to_string(number) + ".vhd")) << "taken\n";
    }
    std::filesystem::create_directories(folder / "open");
    std::filesystem::permissions(folder / "open", std::filesystem::perms::all);
    for (const FolderCase& c : cases) {
        std::filesystem::remove_all(folder / "state");
        std::filesystem::remove_all(folder / "run");
        const std::string stateHome =
            c.stateHome[0] == '/' ? c.stateHome : (folder / c.stateHome).string();
        state.set(stateHome);
        if (c.stateFolderMode != 0) {
            std::filesystem::create_directories(folder / "state/boolfn");
            ::chmod((folder / "state/boolfn").c_str(), c.stateFolderMode);
        }
        if (*c.runtimeFolder != '\0') {
            std::filesystem::create_directories(folder / c.runtimeFolder);
            if (std::string(c.runtimeFolder) == "run") ::chmod((folder / "run").c_str(), 0700);
        }
        runtime.set(*c.runtimeFolder != '\0' ? (folder / c.runtimeFolder).string() : "");
        std::string input = c.input;
        if (input[0] == '*') input = folder.string() + input.substr(1);
        const std::string path = writeRecoveryFile(input);
        const std::string prefix = folder.string() + "/";
        EXPECT_TRUE(path.compare(0, prefix.size(), prefix) == 0 &&
                    std::regex_match(path.substr(prefix.size()), std::regex(c.pattern)))
            << c.title << ": " << path;
        EXPECT_EQ(read(path), recoveredTable) << c.title;
        EXPECT_EQ(modeOf(path), 0600U) << c.title;
        if (c.stateFolderMode == 0 && path.find("/state/") != std::string::npos) {
            EXPECT_EQ(modeOf(folder / "state/boolfn"), 0700U) << c.title;
        }
    }
}

TEST_F(RecoveryFileTest, NamesInTheTemporaryFolderCannotBeUsedUp) {
    state.set("/proc/none");
    std::ofstream(folder / "tmp/null.recovered.vhd") << "planted\n";
    for (int number = 2; number <= 100; ++number) {
        std::ofstream(folder / ("tmp/null.recovered-" + std::to_string(number) + ".vhd"))
            << "planted\n";
    }
    const std::string first = writeRecoveryFile("/dev/null");
    const std::string second = writeRecoveryFile("/dev/null");
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        EXPECT_EQ(std::filesystem::path(path).parent_path(), folder / "tmp") << path;
        EXPECT_EQ(read(path), recoveredTable) << path;
    }
    temporary.set("/proc");
    EXPECT_EQ(writeRecoveryFile("/dev/null"), "");
}

}  // namespace
