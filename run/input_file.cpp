// One switch over the input notations. A VHDL input may be the assignment notation
// or a complete design unit (formats/vhdl_entity.h), which is read as its
// assignments; the BLIF reader returns its errors, which are reported here like the
// other readers' messages. DIMACS names are taken from the comments before the
// problem line and put in place of x0, x1, ... once the file is read, in the
// table's list and in every tree.
#include "run/input_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "expr/function_table.h"
#include "formats/blif_reader.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "formats/vhdl_entity.h"
#include "run/messages.h"
#include "run/renamed_inputs.h"

namespace {

int64_t loadVhdlOrDesignUnit(std::istream& in, const ReaderSettings& settings) {
    std::ostringstream text;
    text << in.rdbuf();
    const std::optional<std::string> assignments = designUnitAsAssignments(text.str());
    std::istringstream statements(assignments ? *assignments : text.str());
    return loadVhdl(statements, settings);
}

// The names that "c NUMBER NAME" lines before the problem line give, by variable
// position; a line of another shape is an ordinary comment.
std::unordered_map<int64_t, std::string> namesInComments(const std::string& text) {
    std::unordered_map<int64_t, std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string first;
        int64_t number = 0;
        std::string name;
        std::string rest;
        if (!(words >> first)) continue;
        if (first == "p") break;
        if (first != "c" || !(words >> number >> name) || (words >> rest) || number < 1) continue;
        names[number - 1] = name;
    }
    return names;
}

void renameDimacsVariables(const std::unordered_map<int64_t, std::string>& names) {
    FunctionTable& table = *workspace.table;
    VariableList& inputs = table.variableList;
    std::unordered_map<Symbol, Symbol> renamed;
    std::unordered_set<std::string> taken;
    for (const auto& [position, name] : names) {
        if (position >= inputs.count() || !taken.insert(name).second) return;  // not ours
    }
    for (int32_t position = 0; position < inputs.count(); ++position) {
        const auto found = names.find(position);
        if (found == names.end()) continue;
        const Symbol name = intern(found->second);
        // A name that another variable still bears would merge the two.
        if (inputs.positionOf(name) >= 0 && inputs.positionOf(name) != position) return;
        renamed[inputs.entries[static_cast<std::size_t>(position)].name] = name;
    }
    for (const auto& [from, to] : renamed) inputs.rename(inputs.positionOf(from), to);
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        renameInputs(entry.tree(), renamed);
        completeEntry(entry);
    }
}

int64_t loadNamedDimacs(std::istream& in, const ReaderSettings& settings) {
    std::ostringstream text;
    text << in.rdbuf();
    std::istringstream formula(text.str());
    const int64_t errors = loadDimacs(formula, settings);
    renameDimacsVariables(namesInComments(text.str()));
    return errors;
}

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

int64_t loadNotation(std::istream& in, InputNotation notation, const InputSettings& settings) {
    const ReaderSettings& reader = settings.reader;
    switch (notation) {
        case InputNotation::pla:
            return loadPla(in, reader);
        case InputNotation::vhdl:
            // The VHDL reader hands the width in force from one read to the next: a
            // second file (the other input of --equiv) starts from a fresh one.
            resetVhdlReader();
            return loadVhdlOrDesignUnit(in, reader);
        case InputNotation::dimacs:
            return settings.dimacsNames ? loadNamedDimacs(in, reader) : loadDimacs(in, reader);
        case InputNotation::blif: {
            const BlifReadResult result = loadBlif(in);
            for (const BlifMessage& error : result.errors) {
                reportAtLine(reader.sourceName, error.line, error.text);
            }
            return static_cast<int64_t>(result.errors.size());
        }
    }
    return 0;
}

bool openInputFile(const std::string& path, std::ifstream& in) {
    std::error_code error;
    if (!std::filesystem::is_directory(path, error)) in.open(path);
    if (in.is_open()) return true;
    reportMessage("cannot open '" + path + "': " + openFailure(path));
    return false;
}

LoadOutcome loadInputFile(const std::string& path, InputNotation notation,
                          const InputSettings& settings) {
    InputSettings named = settings;
    named.reader.sourceName = path == "-" ? "<stdin>" : path;
    LoadOutcome outcome;
    if (path == "-") {
        outcome.opened = true;
        outcome.readerErrors = loadNotation(std::cin, notation, named) != 0;
        return outcome;
    }
    std::ifstream in;
    if (!openInputFile(path, in)) return outcome;
    outcome.opened = true;
    outcome.readerErrors = loadNotation(in, notation, named) != 0;
    return outcome;
}
