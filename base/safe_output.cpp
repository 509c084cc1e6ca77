// The save is a stream buffer over a file descriptor, so that every failure of a
// write, the sync and the rename is seen (a file stream would hide the last two),
// and nothing throws. The temporary file is made with mkstemp beside the target and
// named ".<target>.XXXXXX", so it is on the same file system and the rename is
// atomic. Its path is also entered in a small fixed table that a signal handler and
// the memory stop can read without allocating, so that they can remove it.
#include "base/safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <streambuf>

#include "base/paths.h"

namespace {

// The temporary files of pending saves, for removal from a signal handler.
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

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

class SafeOutputBuffer final : public std::streambuf {
  public:
    SafeOutputBuffer() { setp(storage.data(), storage.data() + storage.size()); }
    ~SafeOutputBuffer() override { discard(); }

    bool open(const std::string& path) {
        discard();
        failed = false;
        committed = false;
        result = false;
        if (path.empty()) return false;
        struct stat target {};
        const bool exists = ::stat(path.c_str(), &target) == 0;
        if (exists && S_ISDIR(target.st_mode)) return false;
        if (exists && !S_ISREG(target.st_mode)) return openDirect(path);
        if (exists) {
            // The writability a truncating open would have checked, without truncating.
            const int probe = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
            if (probe == -1) return false;
            ::close(probe);
            char* resolved = ::realpath(path.c_str(), nullptr);
            if (resolved == nullptr) return openDirect(path);
            targetPath = resolved;
            std::free(resolved);
        } else {
            struct stat link {};
            // A dangling link: the file it names is created, as a plain open would.
            if (::lstat(path.c_str(), &link) == 0) return openDirect(path);
            targetPath = path;
        }
        std::string pattern = folderOf(targetPath) + "/." + nameOf(targetPath) + ".XXXXXX";
        fd = ::mkstemp(pattern.data());
        // No temporary file in that folder (no write permission, a name too long):
        // the plain open decides, and fails exactly where it always did.
        if (fd == -1) return openDirect(path);
        temporaryPath = pattern;
        slot = registerPending(temporaryPath);
        (void)::fcntl(fd, F_SETFD, FD_CLOEXEC);
        if (exists) {
            if (target.st_uid != ::geteuid() || target.st_gid != ::getegid()) {
                (void)::fchown(fd, target.st_uid, target.st_gid);  // allowed for root only
            }
            (void)::fchmod(fd, target.st_mode & 07777);
        } else {
            (void)::fchmod(fd, defaultFileMode());
        }
        return true;
    }

    bool commit() {
        if (committed) return result;
        if (fd == -1) return false;
        committed = true;
        drain();
        struct stat written {};
        const bool regular = ::fstat(fd, &written) == 0 && S_ISREG(written.st_mode);
        if (regular && ::fsync(fd) != 0) failed = true;
        if (::close(fd) != 0) failed = true;
        fd = -1;
        if (!temporaryPath.empty()) {
            if (!failed && ::rename(temporaryPath.c_str(), targetPath.c_str()) != 0) failed = true;
            if (failed) ::unlink(temporaryPath.c_str());
            unregisterPending(slot);
            slot = -1;
            temporaryPath.clear();
        }
        result = !failed;
        return result;
    }

  protected:
    int_type overflow(int_type c) override {
        if (!drain()) return traits_type::eof();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const auto room = static_cast<std::streamsize>(epptr() - pptr());
        if (count <= room) {
            std::memcpy(pptr(), text, static_cast<std::size_t>(count));
            pbump(static_cast<int>(count));
            return count;
        }
        if (!drain()) return 0;
        if (!writeAll(fd, text, static_cast<std::size_t>(count))) {
            failed = true;
            return 0;
        }
        return count;
    }

    int sync() override { return drain() ? 0 : -1; }

  private:
    std::array<char, std::size_t{1} << 16> storage;
    int fd = -1;
    bool failed = false;
    bool committed = false;
    bool result = false;
    int slot = -1;
    std::string targetPath;
    std::string temporaryPath;  // empty when written directly

    bool openDirect(const std::string& path) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
        return fd != -1;
    }

    // Hands the buffered bytes to the file; false once any write failed.
    bool drain() {
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        setp(storage.data(), storage.data() + storage.size());
        if (failed || fd == -1) return false;
        if (size > 0 && !writeAll(fd, storage.data(), size)) failed = true;
        return !failed;
    }

    void discard() {
        setp(storage.data(), storage.data() + storage.size());
        if (fd != -1) ::close(fd);
        fd = -1;
        if (!temporaryPath.empty()) ::unlink(temporaryPath.c_str());
        temporaryPath.clear();
        unregisterPending(slot);
        slot = -1;
    }
};

SafeOutput::SafeOutput() : buffer(std::make_unique<SafeOutputBuffer>()), out(buffer.get()) {
    out.setstate(std::ios::badbit);  // not good until opened
}

SafeOutput::~SafeOutput() = default;

bool SafeOutput::open(const std::string& path) {
    const bool opened = buffer->open(path);
    out.clear(opened ? std::ios::goodbit : std::ios::badbit);
    return opened;
}

bool SafeOutput::commit() {
    out.flush();
    const bool good = out.good();
    const bool committed = buffer->commit();
    return good && committed;
}

bool finishOutput(std::ostream& out) {
    out.flush();
    auto* safe = dynamic_cast<SafeOutputBuffer*>(out.rdbuf());
    if (safe == nullptr) return out.good();
    const bool good = out.good();
    return safe->commit() && good;
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
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction current {};
        // A signal the caller's parent chose to ignore stays ignored.
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
        struct sigaction handler {};
        handler.sa_handler = discardPendingOutputsAndEnd;
        sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    }
}
