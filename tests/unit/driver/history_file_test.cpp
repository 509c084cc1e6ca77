// The history file: every line appended comes back from libedit's own loader as it
// was typed (blanks, control characters, backslashes and bytes beyond ASCII
// included), the header is written once, a line cut short gets its line end before
// the next, a line too long stays out, and a file past twice the history size or
// with a line too long is cut to the latest lines that fit as it is loaded, and
// only then.
#include "driver/history_file.h"

#include <gtest/gtest.h>
#include <histedit.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* header = "_HiStOrY_V2_\n";

class HistoryFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("boolfn-history-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ::setenv("BOOLFN_HISTORY", "1", 1);
        ::setenv("XDG_STATE_HOME", folder.c_str(), 1);
        path = (folder / "boolfn" / "history").string();
    }
    void TearDown() override {
        ::unsetenv("BOOLFN_HISTORY");
        ::unsetenv("XDG_STATE_HOME");
        std::filesystem::remove_all(folder);
    }

    std::string contents() const {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void write(const std::string& text) const {
        std::filesystem::create_directories(folder / "boolfn");
        std::ofstream(path) << text;
    }

    // The entries libedit loads from the file, oldest first.
    std::vector<std::string> loaded(int size) const {
        History* history = history_init();
        HistEvent event;
        ::history(history, &event, H_SETSIZE, size);
        loadHistoryFile(history, size);
        std::vector<std::string> entries;
        for (int found = ::history(history, &event, H_LAST); found != -1;
             found = ::history(history, &event, H_PREV)) {
            entries.emplace_back(event.str);
        }
        history_end(history);
        return entries;
    }

    std::filesystem::path folder;
    std::string path;
};

TEST_F(HistoryFileTest, LinesComeBackAsTyped) {
    const std::vector<std::string> lines = {"15",
                                            "h <= a and not b;",
                                            "two  blanks\tand a tab",
                                            "back\\slash \\040",
                                            "caf\xc3\xa9 \xe2\x88\xa7",
                                            std::string("control \x01\x1b[A bytes"),
                                            "\"quoted\" #"};
    for (const std::string& line : lines) appendToHistoryFile(line);
    EXPECT_EQ(contents().compare(0, std::string(header).size(), header), 0);
    EXPECT_EQ(contents().find(header, 1), std::string::npos);
    EXPECT_EQ(loaded(500), lines);
    EXPECT_EQ(std::filesystem::status(folder / "boolfn").permissions(),
              std::filesystem::perms::owner_all);
}

TEST_F(HistoryFileTest, AppendsAfterALineCutShortAndLeavesOutTooLongLines) {
    write(std::string(header) + "9\n1");
    appendToHistoryFile("13");
    appendToHistoryFile(std::string(20000, 'x'));
    EXPECT_EQ(contents(), std::string(header) + "9\n1\n13\n");
}

std::vector<std::string> numbered(int first, int last) {
    std::vector<std::string> lines;
    for (int line = first; line <= last; ++line) lines.push_back(std::to_string(line));
    return lines;
}

std::string fileOf(const std::vector<std::string>& lines) {
    std::string text = header;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST_F(HistoryFileTest, IsCutOnlyWhenGrownPastTwiceTheSizeOrHoldingATooLongLine) {
    const std::string tooLong(17000, 'y');
    struct Case {
        const char* title;
        std::vector<std::string> file;   // before the load, with a history size of 10
        std::vector<std::string> after;  // the file after it
        std::vector<std::string> loaded;
    };
    const std::vector<Case> cases = {
        {"twice the size", numbered(1, 20), numbered(1, 20), numbered(11, 20)},
        {"one more", numbered(1, 21), numbered(12, 21), numbered(12, 21)},
        {"a line too long", {"1", "2", tooLong, "3"}, {"1", "2", "3"}, {"1", "2", "3"}},
    };
    for (const Case& c : cases) {
        write(fileOf(c.file));
        EXPECT_EQ(loaded(10), c.loaded) << c.title;
        EXPECT_EQ(contents(), fileOf(c.after)) << c.title;
    }
}

}  // namespace
