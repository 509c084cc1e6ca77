// One switch over the input notations. A VHDL input may be the assignment notation
// or, where the settings allow, a complete design unit (formats/vhdl_entity.h),
// which is read as its assignments; the BLIF reader returns its errors, which are
// printed here like the other readers' messages. DIMACS names are taken from the
// comments before the problem line and put in place of x0, x1, ... once the file is
// read, in the table's list and in every function (the clauses kept as rows).
#include "actions/table_load.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "actions/renamed_inputs.h"
#include "base/console.h"
#include "expr/function_table.h"
#include "formats/blif_reader.h"
#include "formats/dimacs.h"
#include "formats/pla.h"
#include "formats/vhdl.h"
#include "formats/vhdl_entity.h"

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
std::unordered_map<int64_t, std::string> namesInComments(std::string_view text) {
    std::unordered_map<int64_t, std::string> names;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::istringstream words(std::string(text.substr(start, end - start)));
        start = end + 1;
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
        if (const PendingClauses* held = entry.pendingClauses()) {
            entry.holdPending(held->renamed(renamed));  // the clauses stay rows
        } else {
            renameInputs(entry.tree(), renamed);
        }
        completeEntry(entry);
    }
}

// The file is read once into memory, its names taken from the head, and the text
// then handed to the reader without a copy.
int64_t loadNamedDimacs(std::istream& in, const ReaderSettings& settings) {
    std::ostringstream whole;
    whole << in.rdbuf();
    std::string text = std::move(whole).str();
    const std::unordered_map<int64_t, std::string> names = namesInComments(text);
    std::istringstream formula(std::move(text));
    const int64_t errors = loadDimacs(formula, settings);
    renameDimacsVariables(names);
    return errors;
}

}  // namespace

int64_t loadTable(std::istream& in, InputNotation notation, const LoadSettings& settings) {
    const ReaderSettings& reader = settings.reader;
    switch (notation) {
        case InputNotation::pla:
            return loadPla(in, reader);
        case InputNotation::vhdl:
            // The VHDL reader hands the width in force from one read to the next: a
            // second file (the other input of --equiv) starts from a fresh one.
            resetVhdlReader();
            return settings.designUnits ? loadVhdlOrDesignUnit(in, reader) : loadVhdl(in, reader);
        case InputNotation::dimacs:
            return settings.dimacsNames ? loadNamedDimacs(in, reader) : loadDimacs(in, reader);
        case InputNotation::blif: {
            const BlifReadResult result = loadBlif(in);
            for (const BlifMessage& error : result.errors) {
                printLine(reader.sourceName + ":" + std::to_string(error.line) + ": " + error.text);
            }
            return static_cast<int64_t>(result.errors.size());
        }
    }
    return 0;
}
