// Which paths reach a descriptor of the process, and that a closed standard output
// refuses every one of them without producing the bytes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/paths.h"
#include "run/output_file.h"

namespace {

struct PathCase {
    const char* path;
    int descriptor;
    bool names;
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.path << " as " << c.descriptor;
}

class RunDescriptorPaths : public ::testing::TestWithParam<PathCase> {};

TEST_P(RunDescriptorPaths, FollowsTheLinksToProcFd) {
    EXPECT_EQ(descriptorNamedBy(GetParam().path) == GetParam().descriptor, GetParam().names)
        << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RunDescriptorPaths,
    ::testing::Values(PathCase{"/dev/stdout", 1, true}, PathCase{"/dev/fd/1", 1, true},
                      PathCase{"/proc/self/fd/1", 1, true},
                      PathCase{"/proc/thread-self/fd/1", 1, true}, PathCase{"/dev/stderr", 2, true},
                      PathCase{"/dev/stderr", 1, false}, PathCase{"/proc/self/fd/10", 1, false},
                      PathCase{"/proc/1/fd/1", 1, false}, PathCase{"/dev/null", 1, false},
                      PathCase{"missing/out.pla", 1, false}, PathCase{"out.pla", 1, false}));

class RunClosedOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("boolfn_run_output_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(RunClosedOutput, RefusesStandardOutputByEveryPath) {
    const std::filesystem::path link = folder / "result.pla";
    std::filesystem::create_symlink("/dev/stdout", link);
    for (const std::string& path : {std::string("-"), std::string("/dev/stdout"), link.string()}) {
        bool produced = false;
        EXPECT_EQ(writeResult(
                      path, [&](std::ostream&) { produced = true; }, true),
                  "standard output is closed")
            << path;
        EXPECT_FALSE(produced) << path;
    }
    // A file is written as ever.
    const std::filesystem::path file = folder / "out.pla";
    EXPECT_EQ(writeResult(
                  file.string(), [](std::ostream& out) { out << ".i 0\n"; }, true),
              "");
    EXPECT_EQ(std::filesystem::file_size(file), 5u);
}

}  // namespace
