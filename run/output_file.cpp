// A file is written through the program's safe save (base/safe_output.h): a
// temporary file beside the target, synced and renamed over it only when complete,
// links written through and permission bits kept; /dev/stdout and other paths of the
// process's descriptors are written through the descriptor, devices, pipes and FIFOs
// directly. Whatever fails, the target stays as it was.
#include "run/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string_view>

#include "base/safe_output.h"

namespace {

constexpr const char* closedOutput = "standard output is closed";

std::string writeToStandardOutput(const std::function<void(std::ostream&)>& write) {
    write(std::cout);
    std::cout.flush();
    return std::cout.good() ? std::string() : "standard output failed";
}

bool isNumber(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// "/proc/PID/fd" or "/proc/PID/task/TID/fd" of this process: /proc/self and
// /proc/thread-self resolve to these.
bool isOwnDescriptorFolder(const std::filesystem::path& folder) {
    const std::string own = "/proc/" + std::to_string(getpid());
    const std::string text = folder.string();
    if (text == own + "/fd") return true;
    const std::string task = own + "/task/";
    if (text.rfind(task, 0) != 0 || text.size() < task.size() + 3) return false;
    return text.substr(text.size() - 3) == "/fd" &&
           isNumber(std::string_view(text).substr(task.size(), text.size() - 3 - task.size()));
}

}  // namespace

// The links are followed one at a time, because the last one (/proc/PID/fd/N) is
// a link to whatever the descriptor holds, which says nothing about the path.
bool namesDescriptor(const std::string& path, int fd) {
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        const fs::path folder =
            fs::canonical(current.has_parent_path() ? current.parent_path() : ".", error);
        if (error) return false;
        if (isOwnDescriptorFolder(folder) && current.filename() == std::to_string(fd)) return true;
        if (!fs::is_symlink(current, error)) return false;
        const fs::path target = fs::read_symlink(current, error);
        if (error) return false;
        current = target.is_absolute() ? target : folder / target;
    }
    return false;
}

std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write,
                        bool standardOutputClosed) {
    if (standardOutputClosed && (path == "-" || namesDescriptor(path, STDOUT_FILENO))) {
        return closedOutput;
    }
    if (path == "-") return writeToStandardOutput(write);
    SafeOutput output;
    errno = 0;
    if (!output.open(path)) return errno != 0 ? std::strerror(errno) : "cannot be written";
    write(output.stream());
    if (!output.commit()) return errno != 0 ? std::strerror(errno) : "write failed";
    return std::string();
}
