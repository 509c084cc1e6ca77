// A file is written through the program's safe save (base/safe_output.h): a
// temporary file beside the target, synced and renamed over it only when complete,
// links written through and permission bits kept; /dev/stdout and other paths of the
// process's descriptors are written through the descriptor, devices, pipes and FIFOs
// directly. Whatever fails, the target stays as it was.
#include "run/output_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "base/paths.h"
#include "base/safe_output.h"

namespace {

constexpr const char* closedOutput = "standard output is closed";

std::string writeToStandardOutput(const std::function<void(std::ostream&)>& write) {
    write(std::cout);
    std::cout.flush();
    return std::cout.good() ? std::string() : "standard output failed";
}

}  // namespace

std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write,
                        bool standardOutputClosed) {
    if (standardOutputClosed && (path == "-" || descriptorNamedBy(path) == STDOUT_FILENO)) {
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
