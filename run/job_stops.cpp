// The stop lines are published as a whole: the job builds the set for what it has
// sent so far and swaps one pointer, which the handlers read. The sets are kept to
// the end of the run, as a handler may still hold an old one.
#include "run/job_stops.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

#include "base/temporary_file.h"

namespace {

struct StopLines {
    std::string interrupted;
    std::string terminated;
    std::string hungUp;
    std::string memory;
};

std::atomic<const StopLines*> lines{nullptr};
std::vector<std::unique_ptr<StopLines>> published;
std::string memoryCause = "out of memory";
std::string sent = "nothing written";
bool eraseProgress = false;

std::string named(const std::string& target) {
    return target == "-" ? std::string("standard output") : "'" + target + "'";
}

void publish() {
    auto next = std::make_unique<StopLines>();
    const std::string after = "; " + sent + "\n";
    next->interrupted = "boolfn-run: interrupted" + after;
    next->terminated = "boolfn-run: terminated" + after;
    next->hungUp = "boolfn-run: hung up" + after;
    next->memory = "boolfn-run: " + memoryCause + after;
    lines.store(next.get());
    published.push_back(std::move(next));
}

void writeAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (written <= 0) return;
        done += static_cast<std::size_t>(written);
    }
}

void say(const std::string& line) {
    if (eraseProgress) writeAll("\r\x1b[K");
    writeAll(line);
}

void onEndingSignal(int signal) {
    const StopLines* current = lines.load();
    if (current != nullptr) {
        say(signal == SIGINT    ? current->interrupted
            : signal == SIGTERM ? current->terminated
                                : current->hungUp);
    }
    discardPendingOutputsAndEnd(signal);
}

[[noreturn]] void onMemoryLimit() {
    discardPendingOutputs();
    if (const StopLines* current = lines.load()) say(current->memory);
    std::_Exit(2);
}

// The data the process holds now, from the kernel's own count.
uint64_t dataBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmData:") {
            uint64_t kilobytes = 0;
            status >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

}  // namespace

void stopJobOnSignals(bool progressShown) {
    eraseProgress = progressShown;
    if (lines.load() == nullptr) publish();
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
        struct sigaction handler {};
        handler.sa_handler = onEndingSignal;
        sigemptyset(&handler.sa_mask);
        // One line, whichever of them comes first.
        for (int other : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&handler.sa_mask, other);
        ::sigaction(signal, &handler, nullptr);
    }
}

bool limitJobMemory(uint64_t bytes, const std::string& asWritten) {
    const uint64_t held = dataBytes();
    rlimit limit{};
    if (held == 0 || ::getrlimit(RLIMIT_DATA, &limit) != 0) return false;
    if (held + bytes < held) return true;  // beyond any machine: no limit
    // A stricter limit set from outside stays, with the plain memory stop.
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= held + bytes) return true;
    limit.rlim_cur = held + bytes;
    if (::setrlimit(RLIMIT_DATA, &limit) != 0) return false;
    memoryCause = "the job needs more memory than --max-memory " + asWritten + " allows";
    publish();
    std::set_new_handler(onMemoryLimit);
    return true;
}

void noteOutputStarted(const std::string& target) {
    sent = named(target) + " holds part of the result";
    publish();
}

void noteOutputFinished(const std::string& target) {
    sent = named(target) + " was written";
    publish();
}
