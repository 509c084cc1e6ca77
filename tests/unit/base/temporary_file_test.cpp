// The temporary file of a save, in both its kinds: what it leaves in the folder
// before and after it takes the target's place, and that the terminating signals
// remove a named one before they end the process (in a child process, which the
// signal ends).
#include "base/temporary_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string content = "the new content\n";

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class TemporaryFileTest : public ::testing::Test {
  protected:
    fs::path folder;
    void SetUp() override {
        char name[] = "/tmp/boolfn-temporary-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    void fill(const TemporaryFile& file) {
        ASSERT_EQ(::write(file.descriptor(), content.data(), content.size()),
                  static_cast<ssize_t>(content.size()));
    }
};

struct PlaceCase {
    const char* title;
    bool unnamed;
    bool targetExists;
};

class PlaceTest : public TemporaryFileTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(PlaceTest, TakesTheTargetsPlaceAndLeavesNothingElse) {
    const PlaceCase& c = GetParam();
    const fs::path target = folder / std::string(255, 't');  // the longest name there is
    if (c.targetExists) std::ofstream(target) << "old\n";
    TemporaryFile file;
    const bool created = c.unnamed ? file.createUnnamed(folder) : file.createNamed(folder);
    if (c.unnamed && !created) GTEST_SKIP() << "this file system makes no unnamed files";
    ASSERT_TRUE(created);
    fill(file);
    if (c.unnamed) {
        EXPECT_TRUE(file.name().empty());
    } else {
        EXPECT_EQ(fs::path(file.name()).filename().string().rfind(".boolfn-", 0), 0u);
        EXPECT_EQ(fs::path(file.name()).filename().string().size(), 14u);
    }
    const std::size_t before = entriesOf(folder).size();
    EXPECT_EQ(before, (c.targetExists ? 1u : 0u) + (c.unnamed ? 0u : 1u));
    EXPECT_TRUE(file.placeAs(target));
    EXPECT_EQ(file.descriptor(), -1);
    EXPECT_EQ(readText(target), content);
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{target.filename().string()});
}

INSTANTIATE_TEST_SUITE_P(Kinds, PlaceTest,
                         ::testing::Values(PlaceCase{"UnnamedOverAnExistingFile", true, true},
                                           PlaceCase{"UnnamedAsANewFile", true, false},
                                           PlaceCase{"NamedOverAnExistingFile", false, true},
                                           PlaceCase{"NamedAsANewFile", false, false}),
                         [](const auto& row) { return std::string(row.param.title); });

TEST_F(TemporaryFileTest, DiscardAndDestructionRemoveTheFile) {
    {
        TemporaryFile file;
        ASSERT_TRUE(file.createNamed(folder));
        fill(file);
        file.discard();
        EXPECT_TRUE(entriesOf(folder).empty());
        ASSERT_TRUE(file.createNamed(folder));
    }
    EXPECT_TRUE(entriesOf(folder).empty());
}

TEST_F(TemporaryFileTest, AFailedPlaceLeavesTheTargetAndNoFile) {
    TemporaryFile file;
    ASSERT_TRUE(file.create(folder));
    fill(file);
    EXPECT_FALSE(file.placeAs((folder / "missing" / "target").string()));
    EXPECT_EQ(file.descriptor(), -1);
    EXPECT_TRUE(entriesOf(folder).empty());
}

TEST_F(TemporaryFileTest, NoFileInAMissingFolder) {
    TemporaryFile file;
    EXPECT_FALSE(file.create((folder / "missing").string()));
    EXPECT_EQ(file.descriptor(), -1);
}

// Each signal ends a child that holds a named temporary file: the child must die by
// that very signal, and the file must be gone.
class SignalTest : public TemporaryFileTest, public ::testing::WithParamInterface<int> {};

TEST_P(SignalTest, RemovesTheNamedFileThenEndsTheProcess) {
    const int sent = GetParam();
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);  // SIGQUIT and SIGXCPU would dump one
        discardPendingOutputsOnSignals();
        TemporaryFile file;
        if (!file.createNamed(folder)) std::_Exit(3);
        std::raise(sent);
        std::_Exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), sent);
    EXPECT_TRUE(entriesOf(folder).empty()) << "the temporary file was left";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest,
                         ::testing::Values(SIGHUP, SIGINT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM,
                                           SIGVTALRM, SIGPROF, SIGXCPU, SIGRTMIN + 2),
                         [](const auto& row) {
                             const int signal = row.param;
                             const std::string name = sigabbrev_np(signal) != nullptr
                                                          ? sigabbrev_np(signal)
                                                          : "RT" + std::to_string(signal);
                             return name;
                         });

TEST_F(TemporaryFileTest, AnIgnoredSignalStaysIgnored) {
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        std::signal(SIGUSR1, SIG_IGN);
        discardPendingOutputsOnSignals();
        std::raise(SIGUSR1);
        std::_Exit(7);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7);
}

}  // namespace
