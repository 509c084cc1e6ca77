// See state_folder.h.
#include "driver/state_folder.h"

#include <sys/stat.h>

#include <cstdlib>

std::string stateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return state;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return {};
    return std::string(home) + "/.local/state";
}

bool makePrivateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        struct stat status {};
        if (::stat(part.c_str(), &status) != 0 && ::mkdir(part.c_str(), 0700) != 0) return false;
        if (slash == std::string::npos) return true;
    }
}
