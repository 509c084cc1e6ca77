// A file is written as a temporary file beside the target (same folder, so the
// rename cannot cross file systems), flushed to the disk, and renamed over the
// target; on any failure the temporary file is removed and the target is untouched.
#include "run/output_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

std::string writeToStandardOutput(const std::function<void(std::ostream&)>& write) {
    write(std::cout);
    std::cout.flush();
    return std::cout.good() ? std::string() : "standard output failed";
}

// Forces the temporary file's bytes to the disk before the rename makes them the
// target's.
bool syncFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY);
    if (descriptor < 0) return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

}  // namespace

std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write) {
    if (path == "-") return writeToStandardOutput(write);
    const std::string temporary = path + ".boolfn-run." + std::to_string(::getpid()) + ".tmp";
    std::ofstream out(temporary, std::ios::out | std::ios::trunc);
    if (!out.is_open()) return std::strerror(errno);
    write(out);
    out.close();
    std::string failure;
    if (out.fail()) {
        failure = "write failed";
    } else if (!syncFile(temporary) || std::rename(temporary.c_str(), path.c_str()) != 0) {
        failure = std::strerror(errno);
    }
    if (!failure.empty()) std::remove(temporary.c_str());
    return failure;
}
