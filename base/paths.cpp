// A path names a descriptor when, its links followed one by one, it reaches an
// entry of this process's descriptor folder (/proc/PID/fd, or a thread's
// /proc/PID/task/TID/fd). The entries themselves are never followed: they lead to
// the open file's path, which is no longer the descriptor.
#include "base/paths.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int mostLinks = 40;  // as the kernel's own limit on a path's links

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool isOwnDescriptorFolder(const std::string& folder) {
    const std::string own = "/proc/" + std::to_string(::getpid());
    if (folder == own + "/fd") return true;
    const std::string tasks = own + "/task/";
    const std::string suffix = "/fd";
    if (folder.size() <= tasks.size() + suffix.size() ||
        folder.compare(0, tasks.size(), tasks) != 0 ||
        folder.compare(folder.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return false;
    }
    return allDigits(folder.substr(tasks.size(), folder.size() - tasks.size() - suffix.size()));
}

std::string resolvedFolder(const std::string& path) {
    char* resolved = ::realpath(folderOf(path).c_str(), nullptr);
    if (resolved == nullptr) return {};
    std::string folder = resolved;
    std::free(resolved);
    return folder;
}

}  // namespace

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool namesRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool namesFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

int descriptorNamedBy(const std::string& path) {
    std::string current = path;
    for (int link = 0; link <= mostLinks; ++link) {
        const std::string folder = resolvedFolder(current);
        const std::string name = nameOf(current);
        if (folder.empty()) return -1;
        if (isOwnDescriptorFolder(folder) && allDigits(name) && name.size() < 10) {
            return std::stoi(name);
        }
        const std::string entry = (folder == "/" ? "" : folder) + "/" + name;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(entry.c_str(), target, sizeof target);
        if (length <= 0 || length == static_cast<ssize_t>(sizeof target)) return -1;
        const std::string next(target, static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : folder + "/" + next;
    }
    return -1;
}
