// An unnamed file is linked through its /proc/self/fd entry, the one way open(2)
// gives an unprivileged process; a file system that refuses O_TMPFILE, or a system
// without /proc, gets the named file instead. Hidden names are random, retried while
// taken.
#include "base/temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int mostNameAttempts = 100;

// The named temporary files of pending saves, for removal from a signal handler.
constexpr std::size_t pendingSlots = 4;
constexpr std::size_t pendingPathBytes = 4096;
struct PendingSlot {
    volatile std::sig_atomic_t used = 0;
    char path[pendingPathBytes] = {};
};
std::array<PendingSlot, pendingSlots> pending;

int registerPending(const std::string& path) {
    if (path.size() >= pendingPathBytes) return -1;
    for (std::size_t slot = 0; slot < pendingSlots; ++slot) {
        if (pending[slot].used != 0) continue;
        std::memcpy(pending[slot].path, path.c_str(), path.size() + 1);
        pending[slot].used = 1;
        return static_cast<int>(slot);
    }
    return -1;  // more saves at once than slots: this one is only removed by its owner
}

void unregisterPending(int slot) {
    if (slot >= 0) pending[static_cast<std::size_t>(slot)].used = 0;
}

std::string descriptorEntry(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// A fresh hidden name in `folder`; the time, the process and a counter make names
// of concurrent saves differ, and a taken one is simply tried again.
std::string hiddenName(const std::string& folder) {
    static std::uint64_t counter = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t mixed = static_cast<std::uint64_t>(now.tv_nsec) ^
                          (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                          (static_cast<std::uint64_t>(::getpid()) << 40) ^ (++counter << 20);
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ULL;  // splitmix64's finaliser
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebULL;
    mixed ^= mixed >> 31;
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = folder + "/.boolfn-";
    for (int letter = 0; letter < 6; ++letter) {
        name += letters[mixed % (sizeof letters - 1)];
        mixed /= sizeof letters - 1;
    }
    return name;
}

}  // namespace

bool TemporaryFile::create(const std::string& where) {
    return createUnnamed(where) || createNamed(where);
}

bool TemporaryFile::createUnnamed(const std::string& where) {
    discard();
    const int made = ::open(where.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (made == -1) return false;
    struct stat reachable {};
    if (::stat(descriptorEntry(made).c_str(), &reachable) != 0) {
        ::close(made);  // no /proc: the file could never be given a name
        return false;
    }
    fd = made;
    folder = where;
    return true;
}

bool TemporaryFile::createNamed(const std::string& where) {
    discard();
    std::string pattern = where + "/.boolfn-XXXXXX";
    const int made = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (made == -1) return false;
    fd = made;
    folder = where;
    path = pattern;
    slot = registerPending(path);
    return true;
}

bool TemporaryFile::placeAs(const std::string& target) {
    if (fd == -1) return false;
    bool linkedAsTarget = false;
    if (path.empty()) {
        const std::string source = descriptorEntry(fd);
        linkedAsTarget =
            ::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0;
        if (!linkedAsTarget && (errno != EEXIST || !linkUnderHiddenName(source))) {
            const int error = errno;
            discard();
            errno = error;
            return false;
        }
    }
    const bool closed = ::close(fd) == 0;
    fd = -1;
    if (linkedAsTarget) return closed;
    const bool renamed = closed && ::rename(path.c_str(), target.c_str()) == 0;
    const int error = errno;
    if (!renamed) ::unlink(path.c_str());
    forgetName();
    errno = error;
    return renamed;
}

void TemporaryFile::discard() {
    if (fd != -1) ::close(fd);
    fd = -1;
    if (!path.empty()) ::unlink(path.c_str());
    forgetName();
}

bool TemporaryFile::linkUnderHiddenName(const std::string& source) {
    for (int attempt = 0; attempt < mostNameAttempts; ++attempt) {
        std::string name = hiddenName(folder);
        if (::linkat(AT_FDCWD, source.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            path = name;
            slot = registerPending(path);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void TemporaryFile::forgetName() {
    unregisterPending(slot);
    slot = -1;
    path.clear();
}

void discardPendingOutputs() noexcept {
    for (PendingSlot& slot : pending) {
        if (slot.used != 0) ::unlink(slot.path);
        slot.used = 0;
    }
}

void discardPendingOutputsAndEnd(int signal) {
    discardPendingOutputs();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void discardPendingOutputsOnSignals() {
    constexpr int fixedSignals[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGABRT, SIGTERM, SIGUSR1, SIGUSR2,
                                    SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGPOLL, SIGPWR};
    auto take = [](int signal) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
        struct sigaction handler {};
        handler.sa_handler = discardPendingOutputsAndEnd;
        sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    };
    for (int signal : fixedSignals) take(signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) take(signal);
}
