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
#include <iostream>
#include <streambuf>
#include <vector>

#include "base/paths.h"
#include "base/safe_output.h"

namespace {

constexpr const char* closedOutput = "standard output is closed";

// Passes every byte on to `target` in blocks, and calls `note` once before the
// first block goes.
class FirstByteNote final : public std::streambuf {
  public:
    FirstByteNote(std::streambuf* target, const std::function<void()>& note)
        : to(target), noted(note), block(blockBytes) {
        setp(block.data(), block.data() + block.size());
    }

  protected:
    int_type overflow(int_type character) override {
        if (!passOn()) return traits_type::eof();
        if (!traits_type::eq_int_type(character, traits_type::eof())) {
            sputc(traits_type::to_char_type(character));
        }
        return traits_type::not_eof(character);
    }
    int sync() override { return passOn() && to->pubsync() == 0 ? 0 : -1; }

  private:
    static constexpr std::size_t blockBytes = 65536;
    std::streambuf* to;
    std::function<void()> noted;
    std::vector<char> block;

    bool passOn() {
        const std::streamsize count = pptr() - pbase();
        if (count == 0) return true;
        if (noted) {
            noted();
            noted = nullptr;
        }
        setp(block.data(), block.data() + block.size());
        return to->sputn(block.data(), count) == count;
    }
};

// Runs `write` into `out`, through the note when there is one; the stream fails
// when the note's stream did.
void writeNoted(std::ostream& out, const std::function<void(std::ostream&)>& write,
                const std::function<void()>& firstBytes) {
    if (!firstBytes) {
        write(out);
        return;
    }
    FirstByteNote buffer(out.rdbuf(), firstBytes);
    std::ostream noted(&buffer);
    write(noted);
    noted.flush();
    if (!noted.good()) out.setstate(std::ios::badbit);
}

}  // namespace

std::string writeResult(const std::string& path, const std::function<void(std::ostream&)>& write,
                        bool standardOutputClosed, const std::function<void()>& firstBytes) {
    if (standardOutputClosed && (path == "-" || descriptorNamedBy(path) == STDOUT_FILENO)) {
        return closedOutput;
    }
    if (path == "-") {
        writeNoted(std::cout, write, firstBytes);
        std::cout.flush();
        return std::cout.good() ? std::string() : "standard output failed";
    }
    SafeOutput output;
    errno = 0;
    if (!output.open(path)) return errno != 0 ? std::strerror(errno) : "cannot be written";
    writeNoted(output.stream(), write, firstBytes);
    if (!output.commit()) return errno != 0 ? std::strerror(errno) : "write failed";
    return std::string();
}

bool writesDirectly(const std::string& path) {
    if (path == "-" || descriptorNamedBy(path) >= 0) return true;
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}
