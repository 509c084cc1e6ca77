// See history_file.h. The file is in libedit's format, so that libedit loads it: a
// header line, then one line per entry with every blank, control character,
// backslash and byte outside ASCII written as a backslash and three octal digits.
#include "driver/history_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>

#include "base/paths.h"
#include "driver/state_folder.h"

namespace {

constexpr const char* header = "_HiStOrY_V2_";
constexpr std::size_t longestEntry = 16384;  // bytes of one line in the file, encoded

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool historyWanted() {
    const std::string wanted = environment("BOOLFN_HISTORY");
    return !wanted.empty() && wanted != "0";
}

std::string encoded(const std::string& line) {
    std::string entry;
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte < 0x7f && byte != '\\') {
            entry += c;
        } else {
            entry += '\\';
            entry += static_cast<char>('0' + (byte >> 6));
            entry += static_cast<char>('0' + ((byte >> 3) & 7));
            entry += static_cast<char>('0' + (byte & 7));
        }
    }
    return entry;
}

bool writeAll(int descriptor, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(descriptor, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Rewrites the file at `path` with its latest `size` entries when it holds more
// than twice as many or an entry that is too long; a file without the header is
// left alone.
void boundHistoryFile(const std::string& path, int size) {
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line != header) return;
    std::deque<std::string> latest;
    std::size_t entries = 0;
    bool tooLong = false;
    while (std::getline(in, line)) {
        ++entries;
        if (line.size() > longestEntry) {
            tooLong = true;
            continue;
        }
        latest.push_back(line);
        if (latest.size() > static_cast<std::size_t>(size)) latest.pop_front();
    }
    if (!tooLong && entries <= 2 * static_cast<std::size_t>(size)) return;
    std::string text = std::string(header) + '\n';
    for (const std::string& entry : latest) text += entry + '\n';
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0) return;
    const bool written = writeAll(descriptor, text);
    if (::close(descriptor) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
    }
}

}  // namespace

std::string historyFilePath() {
    if (!historyWanted()) return {};
    const std::string folder = stateFolder();
    return folder.empty() ? std::string() : folder + "/boolfn/history";
}

void loadHistoryFile(History* history, int size) {
    const std::string path = historyFilePath();
    if (path.empty()) return;
    boundHistoryFile(path, size);
    HistEvent event;
    ::history(history, &event, H_LOAD, path.c_str());
}

void appendToHistoryFile(const std::string& line) {
    const std::string path = historyFilePath();
    const std::string entry = encoded(line) + '\n';
    if (path.empty() || entry.size() > longestEntry + 1 || !makePrivateFolders(folderOf(path))) {
        return;
    }
    const int descriptor =
        ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) return;
    // A file cut short in a line (a full disk) gets its line end first, so that the
    // new line stays one line.
    struct stat status {};
    char last = '\n';
    if (::fstat(descriptor, &status) != 0) status.st_size = 0;
    if (status.st_size > 0 && ::pread(descriptor, &last, 1, status.st_size - 1) != 1) last = '\n';
    std::string text = status.st_size == 0 ? std::string(header) + '\n' : std::string();
    if (last != '\n') text += '\n';
    (void)writeAll(descriptor, text + entry);
    ::close(descriptor);
}
