// See history_file.h. libedit reads and writes the file in its own format (a header
// line, then one encoded line per entry); the new file is written under a temporary
// name beside the old one and renamed over it.
#include "base/history_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "base/paths.h"

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool historyWanted() {
    const std::string wanted = environment("BOOLFN_HISTORY");
    return !wanted.empty() && wanted != "0";
}

std::string stateFolder() {
    const std::string state = environment("XDG_STATE_HOME");
    if (!state.empty() && state.front() == '/') return state;
    const std::string home = environment("HOME");
    if (home.empty()) return {};
    return home + "/.local/state";
}

// Makes every missing folder of `folder`, private to the user as state folders are.
bool makeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        struct stat status {};
        if (::stat(part.c_str(), &status) != 0 && ::mkdir(part.c_str(), 0700) != 0) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string historyFilePath() {
    if (!historyWanted()) return {};
    const std::string folder = stateFolder();
    return folder.empty() ? std::string() : folder + "/boolfn/history";
}

void loadHistoryFile(History* history) {
    const std::string path = historyFilePath();
    if (path.empty()) return;
    HistEvent event;
    ::history(history, &event, H_LOAD, path.c_str());
}

void saveHistoryFile(History* history) {
    const std::string path = historyFilePath();
    if (path.empty() || !makeFolders(folderOf(path))) return;
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) return;
    FILE* file = ::fdopen(descriptor, "w");
    if (file == nullptr) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return;
    }
    HistEvent event;
    const bool written = ::history(history, &event, H_SAVE_FP, file) >= 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
    }
}
