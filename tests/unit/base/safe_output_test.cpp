// The safe save, one row per kind of target: what opens, what a commit reports, what
// the target holds after it, and that no temporary file is left. The rows about
// permissions run in a child process as an unprivileged user when the tests run as
// root, who may write anywhere. Then the paths that name a descriptor of the process.
#include "base/safe_output.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

const std::string oldText = "old text, longer than the new one\n";
const std::string newText = "new text\n";

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct SaveCase {
    const char* title;
    // Lays out the folder; answers the path the save is made to.
    std::function<std::string(const fs::path& folder)> prepare;
    bool opens;
    bool commits;
    std::string afterwards;  // what the (resolved) target holds afterwards; "" = not checked
    bool unprivileged = false;
    bool abandon = false;                 // the save is dropped without a commit
    const char* scratchFolder = nullptr;  // $TMPDIR during the save, when set
};

void PrintTo(const SaveCase& c, std::ostream* out) {
    *out << c.title;
}

struct Outcome {
    bool opened = false;
    bool committed = false;
    std::string afterwards;
    bool leftovers = false;
    mode_t mode = 0;
};

bool hasLeftovers(const fs::path& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.path().filename().string().front() == '.') return true;
    }
    return false;
}

Outcome runSave(const SaveCase& c, const fs::path& folder) {
    Outcome outcome;
    const std::string path = c.prepare(folder);
    const char* previous = std::getenv("TMPDIR");
    const std::string kept = previous != nullptr ? previous : "";
    if (c.scratchFolder != nullptr) ::setenv("TMPDIR", c.scratchFolder, 1);
    {
        SafeOutput save;
        outcome.opened = save.open(path);
        if (outcome.opened) {
            save.stream() << newText;
            if (!c.abandon) outcome.committed = save.commit();
        }
    }
    if (c.scratchFolder != nullptr) {
        if (previous != nullptr) {
            ::setenv("TMPDIR", kept.c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    std::error_code ignored;
    const fs::path resolved = fs::canonical(path, ignored);
    if (fs::is_regular_file(resolved, ignored)) {
        outcome.afterwards = readText(resolved);
        struct stat status {};
        if (::stat(resolved.c_str(), &status) == 0) outcome.mode = status.st_mode & 07777;
    }
    outcome.leftovers = hasLeftovers(folder);
    return outcome;
}

// Runs the case in a child process as the user "nobody"; the outcome comes back
// through a pipe, one field per line.
Outcome runUnprivileged(const SaveCase& c) {
    int channel[2];
    if (::pipe(channel) != 0) std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
        char name[] = "/tmp/boolfn-safe-output-XXXXXX";
        if (::mkdtemp(name) == nullptr) std::_Exit(4);
        const Outcome outcome = runSave(c, name);
        std::ostringstream report;
        report << outcome.opened << '\n'
               << outcome.committed << '\n'
               << outcome.leftovers << '\n'
               << outcome.afterwards;
        const std::string text = report.str();
        if (::write(channel[1], text.data(), text.size()) < 0) std::_Exit(5);
        fs::permissions(name, fs::perms::owner_all);
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(name, ignored)) {
            fs::permissions(entry.path(), fs::perms::owner_all, ignored);
        }
        fs::remove_all(name, ignored);
        std::_Exit(0);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child failed";
    Outcome outcome;
    std::istringstream report(text);
    report >> outcome.opened >> outcome.committed >> outcome.leftovers;
    report.get();
    std::getline(report, outcome.afterwards, '\0');
    return outcome;
}

// Each test works in a fresh folder of its own.
class InScratchFolder : public ::testing::Test {
  protected:
    fs::path folder;
    void SetUp() override {
        char name[] = "/tmp/boolfn-safe-output-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

class SafeOutputTest : public InScratchFolder, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SafeOutputTest, SavesOrKeepsTheTarget) {
    const SaveCase& c = GetParam();
    const Outcome outcome =
        c.unprivileged && ::geteuid() == 0 ? runUnprivileged(c) : runSave(c, folder);
    EXPECT_EQ(outcome.opened, c.opens);
    EXPECT_EQ(outcome.committed, c.commits);
    if (!c.afterwards.empty()) {
        EXPECT_EQ(outcome.afterwards, c.afterwards);
    }
    EXPECT_FALSE(outcome.leftovers) << "a temporary file was left";
}

std::string existing(const fs::path& folder, mode_t mode) {
    const fs::path target = folder / "target.txt";
    writeText(target, oldText);
    ::chmod(target.c_str(), mode);
    return target;
}

// A name of 251 bytes leaves no room for a temporary name built from it.
std::string existingWithALongName(const fs::path& folder) {
    const fs::path target = folder / std::string(251, 'n');
    writeText(target, oldText);
    return target;
}

std::string readOnlyFolder(const fs::path& folder) {
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    writeText(locked / "target.txt", oldText);
    ::chmod(locked.c_str(), 0555);
    return locked;
}

// Reads everything from the FIFO on a thread of its own, as a consumer would.
std::string fifoWithReader(const fs::path& folder, std::string* received) {
    const fs::path fifo = folder / "target.fifo";
    ::mkfifo(fifo.c_str(), 0600);
    std::thread([fifo, received] { *received = readText(fifo); }).detach();
    return fifo;
}

std::string fifoReceived;

const SaveCase saveCases[] = {
    {"NewFileInAWritableFolder", [](const fs::path& f) { return (f / "target.txt").string(); },
     true, true, newText},
    {"ExistingFileReplaced", [](const fs::path& f) { return existing(f, 0644); }, true, true,
     newText},
    {"AbandonedSaveKeepsTheOldFile", [](const fs::path& f) { return existing(f, 0644); }, true,
     false, oldText, false, true},
    {"SymbolicLinkWrittenThrough",
     [](const fs::path& f) {
         existing(f, 0644);
         fs::create_symlink("target.txt", f / "link.txt");
         return (f / "link.txt").string();
     },
     true, true, newText},
    {"MissingFolder", [](const fs::path& f) { return (f / "missing" / "target.txt").string(); },
     false, false, ""},
    {"FolderAsPath", [](const fs::path& f) { return f.string(); }, false, false, ""},
    {"EmptyPath", [](const fs::path&) { return std::string(); }, false, false, ""},
    {"FullDevice", [](const fs::path&) { return std::string("/dev/full"); }, true, false, ""},
    {"ReadOnlyFolderNewFile",
     [](const fs::path& f) { return (fs::path(readOnlyFolder(f)) / "new.txt").string(); }, false,
     false, "", true},
    {"ReadOnlyFileKept", [](const fs::path& f) { return existing(f, 0444); }, false, false, oldText,
     true},
    {"ExistingFileWithALongNameReplaced", existingWithALongName, true, true, newText},
    {"AbandonedSaveToALongNameKeepsTheOldFile", existingWithALongName, true, false, oldText, false,
     true},
    {"WritableFileInAReadOnlyFolderRewrittenAtTheCommit",
     [](const fs::path& f) { return (fs::path(readOnlyFolder(f)) / "target.txt").string(); }, true,
     true, newText, true},
    {"AbandonedSaveInAReadOnlyFolderKeepsTheFile",
     [](const fs::path& f) { return (fs::path(readOnlyFolder(f)) / "target.txt").string(); }, true,
     false, oldText, true, true},
    {"ReadOnlyFolderAndNoScratchFolderHeldInMemory",
     [](const fs::path& f) { return (fs::path(readOnlyFolder(f)) / "target.txt").string(); }, true,
     true, newText, true, false, "/nonexistent-boolfn-scratch"},
    // Last: its reader thread must not be running while a row forks.
    {"FifoWrittenDirectly", [](const fs::path& f) { return fifoWithReader(f, &fifoReceived); },
     true, true, ""},
};

INSTANTIATE_TEST_SUITE_P(Targets, SafeOutputTest, ::testing::ValuesIn(saveCases),
                         [](const auto& row) { return std::string(row.param.title); });

// The properties a row cannot show: the old file stays whole until the commit, the
// replaced file keeps its permission bits, and the FIFO's reader got every byte.
TEST(SafeOutput, OldFileStaysWholeUntilTheCommit) {
    char name[] = "/tmp/boolfn-safe-output-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const fs::path target = fs::path(name) / "target.txt";
    writeText(target, oldText);
    ::chmod(target.c_str(), 0604);
    SafeOutput save;
    ASSERT_TRUE(save.open(target));
    save.stream() << std::string(1 << 20, 'x');  // more than the buffer holds
    EXPECT_EQ(readText(target), oldText);
    EXPECT_TRUE(save.commit());
    EXPECT_EQ(readText(target).size(), std::size_t{1} << 20);
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0604u);
    fs::remove_all(name);
}

TEST(SafeOutput, FifoReaderGetsEveryByte) {
    char name[] = "/tmp/boolfn-safe-output-XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    const fs::path fifo = fs::path(name) / "target.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = readText(fifo); });
    {
        SafeOutput save;
        ASSERT_TRUE(save.open(fifo));
        save.stream() << newText;
        EXPECT_TRUE(save.commit());
    }
    reader.join();
    EXPECT_EQ(received, newText);
    fs::remove_all(name);
}

TEST(SafeOutput, FinishOutputOfAPlainStreamLooksAtTheStream) {
    std::ostringstream good;
    good << newText;
    EXPECT_TRUE(finishOutput(good));
    std::ostringstream bad;
    bad.setstate(std::ios::badbit);
    EXPECT_FALSE(finishOutput(bad));
}

// A path that names a descriptor: the save goes through that descriptor, where it
// stands, and the file behind it is neither truncated nor replaced. What the process
// writes there afterwards follows the saved bytes.
struct DescriptorCase {
    const char* title;
    std::function<std::string(int fd, const fs::path& folder)> path;
    int flags;     // how the descriptor was opened
    off_t offset;  // where it stands when the save starts (for a descriptor without O_APPEND)
    bool opens;
    std::string afterwards;
};

void PrintTo(const DescriptorCase& c, std::ostream* out) {
    *out << c.title;
}

std::string overwrittenAt(off_t offset) {
    std::string text = oldText;
    text.replace(static_cast<std::size_t>(offset), newText.size() + 1, newText + "!");
    return text;
}

const DescriptorCase descriptorCases[] = {
    {"DevFdAppends", [](int fd, const fs::path&) { return "/dev/fd/" + std::to_string(fd); },
     O_WRONLY | O_APPEND, 0, true, oldText + newText + "!"},
    {"ProcSelfFdWritesWhereItStands",
     [](int fd, const fs::path&) { return "/proc/self/fd/" + std::to_string(fd); }, O_WRONLY, 4,
     true, overwrittenAt(4)},
    {"ThreadSelfFd",
     [](int fd, const fs::path&) { return "/proc/thread-self/fd/" + std::to_string(fd); },
     O_WRONLY | O_APPEND, 0, true, oldText + newText + "!"},
    {"LinkToDevFd",
     [](int fd, const fs::path& folder) {
         const fs::path link = folder / "link";
         fs::create_symlink("/dev/fd/" + std::to_string(fd), link);
         return link.string();
     },
     O_WRONLY | O_APPEND, 0, true, oldText + newText + "!"},
    {"ReadOnlyDescriptorRefused",
     [](int fd, const fs::path&) { return "/dev/fd/" + std::to_string(fd); }, O_RDONLY, 0, false,
     oldText},
};

class DescriptorPathTest : public InScratchFolder,
                           public ::testing::WithParamInterface<DescriptorCase> {};

TEST_P(DescriptorPathTest, WritesThroughTheDescriptor) {
    const DescriptorCase& c = GetParam();
    const fs::path log = folder / "log.txt";
    writeText(log, oldText);
    const int fd = ::open(log.c_str(), c.flags | O_CLOEXEC);
    ASSERT_NE(fd, -1);
    ASSERT_EQ(::lseek(fd, c.offset, SEEK_SET), c.offset);
    {
        SafeOutput save;
        EXPECT_EQ(save.open(c.path(fd, folder)), c.opens);
        if (c.opens) {
            save.stream() << newText;
            EXPECT_TRUE(save.commit());
            EXPECT_EQ(::write(fd, "!", 1), 1);  // the process goes on writing there
        }
    }
    ::close(fd);
    EXPECT_EQ(readText(log), c.afterwards);
    EXPECT_FALSE(hasLeftovers(folder));
}

INSTANTIATE_TEST_SUITE_P(Descriptors, DescriptorPathTest, ::testing::ValuesIn(descriptorCases),
                         [](const auto& row) { return std::string(row.param.title); });

}  // namespace
