// The save is a stream buffer over a file descriptor, so that every failure of a
// write, the sync and the rename is seen (a file stream would hide the last two),
// and nothing throws. It works in one of three ways, chosen when it opens:
//
//   replace  a regular file, or a new one: written to a temporary file in the same
//            folder (base/temporary_file.h), put in place of the target at the commit
//   direct   a device, pipe or FIFO, or a descriptor of this process: written as it
//            comes, through a duplicate of the descriptor where the path names one
//   rewrite  an existing file whose folder takes no temporary file: the content is
//            held (in an unnamed scratch file, else in memory) and written over the
//            target only at the commit, after room for it was reserved
#include "base/safe_output.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <streambuf>

#include "base/paths.h"
#include "base/temporary_file.h"

namespace {

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

std::string scratchFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// A scratch file for the content of a rewrite, with no name from the start (or from
// a moment after), so nothing of it outlives the process; -1 when none can be made.
int openScratch() {
    const std::string folder = scratchFolder();
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed != -1) return unnamed;
    std::string pattern = folder + "/.boolfn-XXXXXX";
    const int named = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (named != -1) ::unlink(pattern.c_str());
    return named;
}

enum class Way { none, replace, direct, rewrite };

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
        const int descriptor = descriptorNamedBy(path);
        if (descriptor >= 0) return openDescriptor(descriptor);
        struct stat target {};
        const bool exists = ::stat(path.c_str(), &target) == 0;
        if (exists && S_ISDIR(target.st_mode)) return false;
        if (exists && !S_ISREG(target.st_mode)) return openDirect(path);
        if (!exists) {
            struct stat link {};
            // A dangling link: the file it names is created, as a plain open would.
            if (::lstat(path.c_str(), &link) == 0) return openDirect(path);
            targetPath = path;
            if (temporary.create(folderOf(targetPath))) return openReplace(nullptr);
            // No file can be made in that folder: the plain open decides, and fails
            // exactly where it always did.
            return openDirect(path);
        }
        // The writability a truncating open would have checked, without truncating.
        const int probe = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe == -1) return false;
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved != nullptr) {
            targetPath = resolved;
            std::free(resolved);
            if (temporary.create(folderOf(targetPath))) {
                ::close(probe);
                return openReplace(&target);
            }
        }
        return openRewrite(probe);
    }

    bool commit() {
        if (committed) return result;
        if (way == Way::none) return false;
        committed = true;
        drain();
        if (way == Way::replace) finishReplace();
        if (way == Way::direct) finishDirect();
        if (way == Way::rewrite) finishRewrite();
        way = Way::none;
        result = !failed;
        if (failed) errno = error;
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
        if (!drain() || !emit(text, static_cast<std::size_t>(count))) return 0;
        return count;
    }

    int sync() override { return drain() ? 0 : -1; }

  private:
    std::array<char, std::size_t{1} << 16> storage;
    Way way = Way::none;
    int fd = -1;  // where the content goes; in a rewrite the scratch file, or -1 for memory
    bool failed = false;
    int error = 0;  // the errno of the first failure
    bool committed = false;
    bool result = false;
    std::string targetPath;
    TemporaryFile temporary;    // replace
    int targetFd = -1;          // rewrite: the target, opened without truncation
    std::string held;           // rewrite without a scratch file
    std::uint64_t content = 0;  // rewrite: the bytes of the new content

    void fail() {
        if (!failed) error = errno;
        failed = true;
    }

    bool openDescriptor(int descriptor) {
        const int flags = ::fcntl(descriptor, F_GETFL);
        if (flags == -1) return false;
        if ((flags & O_ACCMODE) == O_RDONLY) {
            errno = EBADF;
            return false;
        }
        // The duplicate shares the open file, so a regular file behind it is written
        // where it stands (at its end when it was opened for appending).
        fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd == -1) return false;
        way = Way::direct;
        return true;
    }

    bool openDirect(const std::string& path) {
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd == -1) return false;
        way = Way::direct;
        return true;
    }

    bool openReplace(const struct stat* target) {
        fd = temporary.descriptor();
        if (target != nullptr) {
            if (target->st_uid != ::geteuid() || target->st_gid != ::getegid()) {
                (void)::fchown(fd, target->st_uid, target->st_gid);  // allowed for root only
            }
            (void)::fchmod(fd, target->st_mode & 07777);
        } else {
            (void)::fchmod(fd, defaultFileMode());
        }
        way = Way::replace;
        return true;
    }

    bool openRewrite(int probe) {
        targetFd = probe;
        fd = openScratch();
        way = Way::rewrite;
        return true;
    }

    // Hands bytes on: to the file, or to memory in a rewrite without a scratch file.
    bool emit(const char* data, std::size_t size) {
        if (failed) return false;
        if (way == Way::rewrite && fd == -1) {
            try {
                held.append(data, size);
            } catch (const std::bad_alloc&) {
                errno = ENOMEM;
                fail();
            } catch (const std::length_error&) {
                errno = ENOMEM;
                fail();
            }
        } else if (!writeAll(fd, data, size)) {
            fail();
        }
        content += size;
        return !failed;
    }

    // Hands the buffered bytes on; false once anything failed.
    bool drain() {
        const auto size = static_cast<std::size_t>(pptr() - pbase());
        setp(storage.data(), storage.data() + storage.size());
        if (failed || way == Way::none) return false;
        return size == 0 || emit(storage.data(), size);
    }

    void finishReplace() {
        if (!failed && ::fsync(fd) != 0) fail();
        fd = -1;
        if (failed) {
            temporary.discard();
        } else if (!temporary.placeAs(targetPath)) {
            fail();
        }
    }

    void finishDirect() {
        struct stat written {};
        const bool regular = ::fstat(fd, &written) == 0 && S_ISREG(written.st_mode);
        if (!failed && regular && ::fsync(fd) != 0) fail();
        if (::close(fd) != 0) fail();
        fd = -1;
    }

    void finishRewrite() {
        if (!failed) rewriteTarget();
        if (fd != -1) ::close(fd);
        fd = -1;
        if (::close(targetFd) != 0) fail();
        targetFd = -1;
        std::string().swap(held);
    }

    // The whole new content exists. Room for it is reserved first, so that a disk
    // too full (or a file-size limit too low) is found before a byte of the old file
    // changes; then the content is written over the old from its start, and the file
    // cut to its new length.
    void rewriteTarget() {
        const auto size = static_cast<off_t>(content);
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
            static_cast<rlim_t>(size) > limit.rlim_cur) {
            errno = EFBIG;
            fail();
            return;
        }
        // A file system that cannot reserve (EOPNOTSUPP and the like) gets the copy
        // without; only a plain "no room" stops it.
        if (size > 0 && ::fallocate(targetFd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
            (errno == ENOSPC || errno == EDQUOT || errno == EFBIG)) {
            fail();
            return;
        }
        if (!copyContent() || ::ftruncate(targetFd, size) != 0 || ::fsync(targetFd) != 0) fail();
    }

    bool copyContent() {
        if (fd == -1) return writeAll(targetFd, held.data(), held.size());
        if (::lseek(fd, 0, SEEK_SET) != 0) return false;
        for (;;) {
            const ssize_t got = ::read(fd, storage.data(), storage.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) return false;
            if (got == 0) return true;
            if (!writeAll(targetFd, storage.data(), static_cast<std::size_t>(got))) return false;
        }
    }

    void discard() {
        setp(storage.data(), storage.data() + storage.size());
        if (way == Way::replace) {
            temporary.discard();
        } else if (fd != -1) {
            ::close(fd);
        }
        fd = -1;
        if (targetFd != -1) ::close(targetFd);
        targetFd = -1;
        std::string().swap(held);
        content = 0;
        way = Way::none;
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
