// Opening an input file with the system's reason when it cannot be, and reading it
// through the one load function (actions/table_load.h) with messages naming it.
#include "run/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "expr/function_table.h"
#include "run/messages.h"

namespace {
// Why the file at `path` cannot be opened for reading, as the system says it.
std::string openFailure(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::strerror(EISDIR);
    // Asked again, so that the answer is about this path whatever ran since.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::close(descriptor);
        return "cannot be read";
    }
    return std::strerror(errno);
}

}  // namespace

bool openInputFile(const std::string& path, std::ifstream& in) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) in.open(path);
    if (in.is_open()) return true;
    reportMessage("cannot open '" + path + "': " + openFailure(path));
    return false;
}

LoadOutcome loadInputFile(const std::string& path, InputNotation notation,
                          const LoadSettings& settings) {
    LoadSettings named = settings;
    named.designUnits = true;
    named.reader.sourceName = path == "-" ? "<stdin>" : path;
    LoadOutcome outcome;
    if (path == "-") {
        outcome.opened = true;
        outcome.readerErrors = loadTable(std::cin, notation, named) != 0;
        return outcome;
    }
    std::ifstream in;
    if (!openInputFile(path, in)) return outcome;
    outcome.opened = true;
    outcome.readerErrors = loadTable(in, notation, named) != 0;
    return outcome;
}

bool readsWithoutErrors(const std::string& path, InputNotation notation,
                        const LoadSettings& settings) {
    std::error_code error;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, error)) in.open(path);
    if (!in.is_open()) return false;
    LoadSettings named = settings;
    named.designUnits = true;
    named.reader.sourceName = path;
    const Workspace kept = workspace;
    workspace = Workspace{};
    workspace.table = new FunctionTable;
    const int64_t errors = loadTable(in, notation, named);
    delete workspace.table;
    workspace = kept;
    return errors == 0;
}
