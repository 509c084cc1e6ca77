// See recovery.h. Each file is created exclusively, without following a link, mode
// 0600, and written through the descriptor that created it: no one can swap in a
// link or a file between claiming the name and writing, and no one else can read
// it. The pretty names are used only where the name cannot be taken from us: the
// input's folder (every name there is created exclusively) and the user's private
// folders; a shared temporary folder gets a name with a random part, which no one
// can predict or use up. Every function is written, not only the marked ones: the
// file then stands for the whole table, with the function numbers of the session
// (those that statements and the cofactor use), and loads in place of the input.
#include "driver/recovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ostream>
#include <streambuf>

#include "actions/dispatcher.h"
#include "base/action_watch.h"
#include "base/paths.h"
#include "driver/orientation.h"
#include "driver/state_folder.h"
#include "driver/unsaved_changes.h"
#include "expr/function_table.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"

namespace {

constexpr int mostNumbers = 100;       // names tried in one folder before giving it up
constexpr int randomSuffixLength = 4;  // ".vhd" after the random part

// Writes to one descriptor; remembers whether every byte got there.
class DescriptorOutput : public std::streambuf {
  public:
    explicit DescriptorOutput(int target) : descriptor(target) {
        setp(buffer, buffer + sizeof buffer);
    }
    bool finish() { return flushBuffer() && ::fsync(descriptor) == 0; }

  protected:
    int_type overflow(int_type c) override {
        if (!flushBuffer()) return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushBuffer() ? 0 : -1; }

  private:
    bool flushBuffer() {
        const char* next = pbase();
        while (good && next < pptr()) {
            const ssize_t written =
                ::write(descriptor, next, static_cast<std::size_t>(pptr() - next));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) good = false;
            if (written > 0) next += written;
        }
        setp(buffer, buffer + sizeof buffer);
        return good;
    }

    int descriptor;
    bool good = true;
    char buffer[1 << 16];
};

// What comes before the input's name: its folder with the slash, or nothing.
std::string folderPrefixOf(const std::string& path) {
    return path.substr(0, path.size() - nameOf(path).size());
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

// Whether `folder` is a folder of the user's own that no one else may write in.
bool privateFolder(const std::string& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The user's state folder for boolfn, made (0700) when missing; empty when it is
// unknown or not private.
std::string stateRecoveryFolder() {
    const std::string state = stateFolder();
    if (state.empty() || !makePrivateFolders(state + "/boolfn")) return {};
    const std::string folder = state + "/boolfn";
    return privateFolder(folder) ? withSlash(folder) : std::string();
}

std::string runtimeFolder() {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (runtime.empty() || runtime.front() != '/' || !privateFolder(runtime)) return {};
    return withSlash(runtime);
}

std::string temporaryFolder() {
    const std::string folder = environment("TMPDIR");
    return withSlash(folder.empty() ? "/tmp" : folder);
}

// Writes the table through `descriptor`, which created `path`, and closes it; on
// failure removes the file, unless the name now stands for something else.
bool writeTableThrough(int descriptor, const std::string& path) {
    DescriptorOutput buffer(descriptor);
    std::ostream out(&buffer);
    writeVhdl(out, pseudoVhdl, 0, dispatcherState.satisfiabilityFlag);
    bool written = out.flush().good() && buffer.finish();
    if (!written) {
        struct stat ours {};
        struct stat named {};
        if (::fstat(descriptor, &ours) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            ours.st_dev == named.st_dev && ours.st_ino == named.st_ino) {
            ::unlink(path.c_str());
        }
    }
    if (::close(descriptor) != 0) written = false;
    return written;
}

// A new recovery file under one of the names "STEM.recovered[-N].vhd" in `folder`;
// its path, or empty when every name is taken or the folder takes no file.
std::string writeUnderNumberedName(const std::string& folder, const std::string& inputPath) {
    for (int number = 1; number <= mostNumbers; ++number) {
        const std::string path = folder + recoveryFileName(inputPath, number);
        const int descriptor =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        return writeTableThrough(descriptor, path) ? path : std::string();
    }
    return {};
}

// A new recovery file "STEM.recovered-XXXXXX.vhd" in `folder`, the X a random part.
std::string writeUnderRandomName(const std::string& folder, const std::string& inputPath) {
    std::string name = recoveryFileName(inputPath, 1);
    name.insert(name.size() - randomSuffixLength, "-XXXXXX");
    std::string path = folder + name;
    const int descriptor = ::mkostemps(path.data(), randomSuffixLength, O_CLOEXEC);
    if (descriptor < 0) return {};
    return writeTableThrough(descriptor, path) ? path : std::string();
}

std::string signalledInputPath;  // the input of the session a signal may end

int64_t functionsWithTree() {
    int64_t count = 0;
    for (int64_t position = 0; position < workspace.table->entryCount(); ++position) {
        if (workspace.table->entryAt(position)->hasTree()) ++count;
    }
    return count;
}

void recoverUnsavedWorkAfter(const std::string& inputPath, bool signal) {
    if (saveRecord.batchMode || isatty(STDIN_FILENO) == 0) return;
    const int64_t unsaved = unsavedFunctionCount();
    if (unsaved == 0) return;
    orientAfterRecovery(unsaved, functionsWithTree(), writeRecoveryFile(inputPath), signal);
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
    if (namesRegularFile(inputPath)) {
        path = writeUnderNumberedName(folderPrefixOf(inputPath), inputPath);
    }
    for (std::string (*privateFolderOfUser)() : {stateRecoveryFolder, runtimeFolder}) {
        if (!path.empty()) break;
        const std::string folder = privateFolderOfUser();
        if (!folder.empty()) path = writeUnderNumberedName(folder, inputPath);
    }
    if (path.empty()) path = writeUnderRandomName(temporaryFolder(), inputPath);
    return path;
}

void recoverUnsavedWork(const std::string& inputPath) {
    recoverUnsavedWorkAfter(inputPath, false);
}

void recoverUnsavedWorkOnSignals(const std::string& inputPath) {
    signalledInputPath = inputPath;
    keepWorkBeforeEnding([] { recoverUnsavedWorkAfter(signalledInputPath, true); });
}
