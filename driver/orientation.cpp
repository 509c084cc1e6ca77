// See orientation.h. The notes go straight to standard error, never through the
// console, so the conversation on standard output stays as it is; what a save holds
// is counted from the file it wrote, so the note shows what is there.
#include "driver/orientation.h"

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "actions/actions.h"
#include "base/paths.h"
#include "driver/menu_table.h"
#include "driver/unsaved_changes.h"
#include "expr/function_table.h"
#include "expr/symbol.h"
#include "expr/term_sink.h"

namespace {

constexpr int64_t longestList = 20;  // a longer list shows its first names and a count

bool personAtTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

void note(const std::string& text) {
    std::cerr << "boolfn: " << text << '\n' << std::flush;
}

std::string plural(int64_t count, const std::string& word) {
    return std::to_string(count) + ' ' + word + (count == 1 ? "" : "s");
}

// "N words: 0 a, 1 b, ... (K more)"; `nameAt` gives the name at a number.
template <typename NameAt>
std::string numberedList(int64_t count, const std::string& word, NameAt nameAt) {
    std::string text = plural(count, word);
    for (int64_t number = 0; number < count && number < longestList; ++number) {
        text += (number == 0 ? ": " : ", ") + std::to_string(number) + ' ' + nameAt(number);
    }
    if (count > longestList) text += ", ... (" + std::to_string(count - longestList) + " more)";
    return text;
}

// The save action whose notation the path's extension names (.pla, .vhd or .vhdl,
// .blif, .cnf or .dimacs), or 0.
int actionNamedByExtension(const std::string& path) {
    const std::string name = nameOf(path);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return 0;
    const std::string extension = name.substr(dot + 1);
    if (extension == "pla") return actionSavePla;
    if (extension == "vhd" || extension == "vhdl") return actionSaveVhdl;
    if (extension == "blif") return actionSaveBlif;
    if (extension == "cnf" || extension == "dimacs") return actionSaveDimacs;
    return 0;
}

std::string notationName(int saveAction) {
    switch (saveAction) {
        case actionSavePla:
            return "PLA";
        case actionSaveVhdl:
            return "VHDL";
        case actionSaveBlif:
            return "BLIF";
        default:
            return "DIMACS";
    }
}

std::string inputName(int64_t number) {
    const VariableList& inputs = workspace.table->variableList;
    return symbolName(inputs.entries[static_cast<std::size_t>(number)].name);
}

class TermCounter : public TermSink {
  public:
    int64_t terms = 0;
    void acceptTerm(const VariableList&) override { ++terms; }
};

// Counts what a saved file holds, line by line, as its notation writes it.
struct SavedCounts {
    int64_t functions = -1;  // unknown for DIMACS, which holds their conjunction
    int64_t parts = 0;
};

SavedCounts countSaved(int action, std::istream& file) {
    SavedCounts counts;
    if (action != actionSaveDimacs) counts.functions = 0;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (action == actionSavePla) {
            if (first == ".o") words >> counts.functions;
            if (!first.empty() && (first[0] == '0' || first[0] == '1' || first[0] == '-')) {
                ++counts.parts;
            }
        } else if (action == actionSaveVhdl) {
            if (line.find(" <= ") != std::string::npos) ++counts.functions;
        } else if (action == actionSaveBlif) {
            if (first == ".names") ++counts.parts;
            if (first == ".outputs") {
                for (std::string name; words >> name;) counts.functions += name == "\\" ? 0 : 1;
            }
        } else if (first == "p") {
            std::string format;
            int64_t variables = 0;
            words >> format >> variables >> counts.parts;
        }
    }
    return counts;
}

}  // namespace

void orientAfterLoad() {
    if (!personAtTerminal()) return;
    const FunctionTable& table = *workspace.table;
    note(numberedList(table.entryCount(), "function",
                      [&table](int64_t number) { return table.entryAt(number)->name; }));
    note(numberedList(table.variableList.count(), "input", inputName));
}

void orientAfterAdd(int32_t inputsBefore) {
    if (!personAtTerminal()) return;
    for (int32_t number = inputsBefore; number < workspace.table->variableList.count(); ++number) {
        note("new input " + std::to_string(number) + ' ' + inputName(number));
    }
}

void orientAfterSave(int action, const std::string& path) {
    if (!personAtTerminal()) return;
    // Only a regular file can be read back: a device or FIFO (/dev/stdout, /dev/tty)
    // would be read from, not counted.
    std::ifstream file;
    if (namesRegularFile(path)) file.open(path);
    std::string text = "saved " + path;
    if (file.is_open()) {
        const SavedCounts counts = countSaved(action, file);
        if (counts.functions >= 0) text += ": " + plural(counts.functions, "function");
        if (action == actionSavePla) text += ", " + plural(counts.parts, "row");
        if (action == actionSaveBlif) text += ", " + plural(counts.parts, "gate");
        if (action == actionSaveDimacs) {
            text += ": " + plural(counts.parts, "clause") + " (the conjunction of the functions)";
        }
    }
    note(text);
    const int named = actionNamedByExtension(path);
    if (named != 0 && named != action) {
        note(path + " holds " + notationName(action) + ", not the " + notationName(named) +
             " its extension names");
    }
}

void orientAtExit() {
    if (!personAtTerminal()) return;
    const std::vector<std::string> names = unsavedFunctionNames();
    if (names.empty()) return;
    std::string text = plural(static_cast<int64_t>(names.size()), "function") + " not saved: ";
    const std::size_t shown = std::min<std::size_t>(names.size(), longestList);
    for (std::size_t i = 0; i < shown; ++i) text += (i == 0 ? "" : ", ") + names[i];
    if (shown < names.size()) text += ", ... (" + std::to_string(names.size() - shown) + " more)";
    note(text);
}

void orientAfterCancel(int action, const std::string& path) {
    if (!personAtTerminal()) return;
    std::string text = std::string(actionTexts[action - 1]) + " cancelled: ";
    if (isSaveAction(action)) text += "nothing was saved to " + path + ", and ";
    note(text + "every function is as it was before");
}

void orientAfterSatisfiability() {
    if (!personAtTerminal()) return;
    const FunctionTable& table = *workspace.table;
    for (int64_t number = 0; number < table.entryCount(); ++number) {
        const FunctionEntry& entry = *table.entryAt(number);
        const std::unique_ptr<VariableList> marks(table.variableList.copyNames());
        TermCounter counter;
        const bool satisfiable = entry.hasTree() && entry.reportTerms(*marks, counter);
        note(std::to_string(number) + ' ' + entry.name + ": " +
             (satisfiable ? "satisfiable (" + plural(counter.terms, "term") + ")"
                          : "unsatisfiable"));
    }
}

void orientAfterRecovery(int64_t unsaved, int64_t written, const std::string& path,
                         bool afterSignal) {
    if (!personAtTerminal()) return;
    if (afterSignal) std::cerr << '\n';
    const std::string lost = plural(unsaved, "function") + " not saved";
    if (path.empty()) {
        note(lost + "; no recovery file could be written");
    } else {
        note(lost + ": " + plural(written, "function") + " written as pseudo-VHDL to " + path);
    }
}

std::vector<std::string> tableNames() {
    std::vector<std::string> names;
    const FunctionTable& table = *workspace.table;
    for (int64_t number = 0; number < table.entryCount(); ++number) {
        names.push_back(table.entryAt(number)->name);
    }
    for (int32_t number = 0; number < table.variableList.count(); ++number) {
        names.push_back(inputName(number));
    }
    return names;
}
