// See terminal_reading.h.
#include "driver/terminal_reading.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "driver/line_editing.h"
#include "driver/orientation.h"

namespace {

std::vector<std::string> completeName(const std::string& word) {
    std::vector<std::string> names;
    for (std::string& name : tableNames()) {
        if (name.compare(0, word.size(), word) != 0) continue;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    return names;
}

}  // namespace

void startTerminalReading() {
    if (!startLineEditing()) {
        readTerminalAtSafePoints();
        return;
    }
    for (std::string_view prompt :
         {"Enter legal input file path :", "Enter legal script file path :",
          "Enter legal output file path :"}) {
        setCompletion(prompt, completePath);
    }
    setCompletion("Input command string:", completeName);
}
