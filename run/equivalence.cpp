// See equivalence.h. OTHER is read into a table of its own, with the program's
// state put aside and restored, as --verify reads a written file back; its trees
// are then renamed onto INPUT's inputs and each pair goes to the SAT solver as a
// miter (first xor second) over the inputs of both.
#include "run/equivalence.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "actions/renamed_inputs.h"
#include "expr/function_table.h"
#include "normal/satisfiability.h"
#include "run/input_file.h"

namespace {

struct LoadedFile {
    LoadOutcome outcome;
    std::vector<std::string> names;
    std::vector<std::unique_ptr<Node>> trees;  // null for a function without a tree
    std::vector<Symbol> inputs;
};

LoadedFile loadAside(const std::string& path, InputNotation notation,
                     const LoadSettings& settings) {
    const Workspace kept = workspace;
    workspace = Workspace{};
    workspace.table = new FunctionTable;
    LoadedFile file;
    file.outcome = loadInputFile(path, notation, settings);
    const FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        file.names.push_back(entry.name);
        file.trees.emplace_back(entry.hasTree() ? entry.tree()->clone() : nullptr);
    }
    for (const VariableEntry& input : table.variableList.entries) file.inputs.push_back(input.name);
    delete workspace.table;
    workspace = kept;
    return file;
}

template <typename T>
bool sameSet(const std::vector<T>& first, const std::vector<T>& second) {
    const std::set<T> a(first.begin(), first.end());
    const std::set<T> b(second.begin(), second.end());
    return a.size() == first.size() && b.size() == second.size() && a == b;
}

}  // namespace

EquivalenceOutcome compareWithFile(std::ostream& out, const std::string& inputPath,
                                   const std::string& otherPath, InputNotation otherNotation,
                                   const LoadSettings& settings) {
    EquivalenceOutcome result;
    LoadedFile other = loadAside(otherPath, otherNotation, settings);
    result.opened = other.outcome.opened;
    result.readerErrors = other.outcome.readerErrors;
    if (!result.opened) return result;

    FunctionTable& table = *workspace.table;
    std::vector<std::string> names;
    std::vector<Symbol> inputs;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        names.push_back(table.entryAt(position)->name);
    }
    for (const VariableEntry& input : table.variableList.entries) inputs.push_back(input.name);

    const bool functionsByName = sameSet(names, other.names);
    const bool inputsByName = sameSet(inputs, other.inputs);
    out << "functions matched by " << (functionsByName ? "name" : "position") << ", inputs by "
        << (inputsByName ? "name" : "position") << '\n';

    // The inputs of both files under INPUT's names; OTHER's extra inputs keep theirs
    // unless INPUT uses the name, then they get one no input can have.
    std::unique_ptr<VariableList> all(table.variableList.copyNames());
    std::unordered_map<Symbol, Symbol> renamed;
    for (std::size_t k = 0; k < other.inputs.size(); ++k) {
        Symbol name = other.inputs[k];
        if (!inputsByName) {
            name = k < inputs.size() ? inputs[k] : name;
            if (k >= inputs.size() && all->positionOf(name) >= 0) {
                name = intern("second input " + std::to_string(k + 1));
            }
        }
        renamed[other.inputs[k]] = name;
        all->add(name);
    }

    const std::size_t pairs =
        functionsByName ? names.size() : std::max(names.size(), other.names.size());
    for (std::size_t index = 0; index < pairs; ++index) {
        std::size_t partner = index;
        if (functionsByName) {
            partner = static_cast<std::size_t>(
                std::find(other.names.begin(), other.names.end(), names[index]) -
                other.names.begin());
        }
        if (index >= names.size() || partner >= other.names.size()) {
            const bool onlyFirst = index < names.size();
            out << (onlyFirst ? names[index] : other.names[partner]) << ": only in "
                << (onlyFirst ? inputPath : otherPath) << '\n';
            result.different = true;
            continue;
        }
        FunctionEntry& entry = *table.entryAt(static_cast<int64_t>(index));
        Node* first = entry.hasTree() ? entry.tree()->clone() : new VectNode(valueFalse, 1);
        Node* second = other.trees[partner] != nullptr ? other.trees[partner]->clone()
                                                       : new VectNode(valueFalse, 1);
        renameInputs(second, renamed);
        const BNode miter(opXor, first, second);
        const SatAnswer answer = decideSatisfiable(miter, *all, LeafReading::Evaluation);
        const std::string label = names[index] == other.names[partner]
                                      ? names[index]
                                      : names[index] + " ~ " + other.names[partner];
        if (answer.verdict == SatVerdict::Unsatisfiable) {
            out << label << ": equal\n";
            continue;
        }
        result.different = true;
        if (answer.verdict == SatVerdict::Unknown) {
            out << label << ": undecided\n";
            continue;
        }
        out << label << ": different at";
        for (std::size_t k = 0; k < answer.model.size(); ++k) {
            out << ' ' << symbolName(all->entries[k].name) << '=' << (answer.model[k] ? '1' : '0');
        }
        out << '\n';
    }
    return result;
}
