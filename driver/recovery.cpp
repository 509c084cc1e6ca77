// See recovery.h. The file's name is claimed by creating it exclusively, so that a
// file that appears meanwhile is never replaced; the content then goes through
// SafeOutput like every save, so a run that dies while writing leaves no half file
// under the name. Every function is written, not only the marked ones: the file then
// stands for the whole table, with the function numbers of the session (those
// that statements and the cofactor use), and loads in place of the input.
#include "driver/recovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/paths.h"
#include "base/safe_output.h"
#include "driver/orientation.h"
#include "driver/unsaved_changes.h"
#include "expr/function_table.h"
#include "formats/vhdl.h"

namespace {

constexpr int mostNumbers = 100;  // names tried in one folder before giving it up

// What comes before the input's name: its folder with the slash, or nothing.
std::string folderPrefixOf(const std::string& path) {
    return path.substr(0, path.size() - nameOf(path).size());
}

std::string temporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder != nullptr && *folder != '\0' ? folder : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

bool writeTableTo(const std::string& path) {
    SafeOutput out;
    if (!out.open(path)) return false;
    writeVhdl(out.stream(), pseudoVhdl, 0);
    return out.commit();
}

// The path of a new recovery file written in `folder`, or empty when the folder
// cannot take one.
std::string writeIn(const std::string& folder, const std::string& inputPath) {
    for (int number = 1; number <= mostNumbers; ++number) {
        const std::string path = folder + recoveryFileName(inputPath, number);
        const int claimed = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (claimed < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        ::close(claimed);
        if (writeTableTo(path)) return path;
        ::unlink(path.c_str());
        return {};
    }
    return {};
}

int64_t functionsWithTree() {
    int64_t count = 0;
    for (int64_t position = 0; position < program.table->entryCount(); ++position) {
        if (program.table->entryAt(position)->hasTree()) ++count;
    }
    return count;
}

}  // namespace

std::string recoveryFileName(const std::string& inputPath, int number) {
    std::string stem = nameOf(inputPath);
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.resize(dot);
    if (stem.empty()) stem = "boolfn";
    const std::string suffix = number > 1 ? "-" + std::to_string(number) : "";
    return stem + ".recovered" + suffix + ".vhd";
}

std::string writeRecoveryFile(const std::string& inputPath) {
    std::string path;
    if (namesRegularFile(inputPath)) path = writeIn(folderPrefixOf(inputPath), inputPath);
    if (path.empty()) path = writeIn(temporaryFolder(), inputPath);
    return path;
}

void recoverUnsavedWork(const std::string& inputPath) {
    if (program.batchMode || isatty(STDIN_FILENO) == 0) return;
    const int64_t unsaved = unsavedFunctionCount();
    if (unsaved == 0) return;
    orientAfterRecovery(unsaved, functionsWithTree(), writeRecoveryFile(inputPath));
}
