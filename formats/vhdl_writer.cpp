// "Save as VHDL": the function table as signal assignments, in one of two layouts.
//
// "Complete VHDL" wraps the assignments in an entity with one port list for the
// inputs and one for the outputs, and an architecture. "Pseudo-VHDL" writes a
// variable declaration and a literal count as a comment before the bare
// assignments, so that the reader can load the file again. After a satisfiability
// test every assignment carries, as a comment, the satisfying terms of its sum of
// products (or " N" when there is none), which the term walk finds.
#include <ostream>
#include <string>

#include "base/console.h"
#include "expr/function_table.h"
#include "expr/term_sink.h"
#include "formats/save_dialogue.h"
#include "formats/vhdl.h"

namespace {

int askLayout() {
    printLine("How to save:");
    printLine("1. Complete VHDL");
    printLine("2. Pseudo-VHDL");
    printPrompt("Choice:");
    int layout = readInteger(completeVhdl);
    printLine("");
    return layout;
}

// The input names as a port or declaration list: " a, b, cin".
std::string inputNames() {
    std::string names;
    const VariableList& inputs = workspace.table->variableList;
    for (std::size_t i = 0; i < inputs.entries.size(); ++i) {
        names += i == 0 ? " " : ", ";
        names += symbolName(inputs.entries[i].name);
    }
    return names;
}

// Every saved entry's name, with a comma after all but the table's last entry.
std::string outputNames(int64_t firstSaved) {
    std::string names;
    const FunctionTable& table = *workspace.table;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        names += ' ';
        names += table.entryAt(position)->name;
        if (position + 1 < table.entryCount()) names += ',';
    }
    return names;
}

int64_t literalCount(int64_t firstSaved) {
    int64_t count = 0;
    const FunctionTable& table = *workspace.table;
    for (int64_t position = firstSaved; position < table.entryCount(); ++position) {
        count += table.entryAt(position)->literalCount();
    }
    return count;
}

void writeHead(std::ostream& out, int layout, int64_t firstSaved) {
    if (layout == pseudoVhdl) {
        if (!workspace.table->variableList.empty()) out << "variable" << inputNames() << ";\n";
        out << "-- literals: " << literalCount(firstSaved) << '\n';
    } else if (layout == completeVhdl) {
        out << "library IEEE;\n"
               "use IEEE.Std_Logic_1164.all;\n"
               "use work.define.all;\n"
               "\n"
               "entity ent is\n"
               "port (\n"
            << inputNames() << ": in std_logic;\n"
            << outputNames(firstSaved) << ": out std_logic);\n"
            << "end ent;\n"
               "\n"
               "architecture dataflow of ent is\n"
               "begin\n";
    }
}

// Writes each satisfying term as " |" and its assignment over the table's inputs.
class VhdlNoteSink final : public TermSink {
  public:
    explicit VhdlNoteSink(std::ostream& stream) : out(stream) {}

    void acceptTerm(const VariableList& list) override {
        out << " |";
        for (const VariableEntry& entry : list.entries) {
            out << ' ' << symbolName(entry.name) << '='
                << (entry.assigned ? ((entry.value & 1) != 0 ? '1' : '0') : 'x');
        }
    }

  private:
    std::ostream& out;
};

// The satisfying terms of the function as a comment; " N" when no term can be
// satisfied.
void writeSatisfiabilityNote(std::ostream& out, const FunctionEntry& entry) {
    VhdlNoteSink notes(out);
    out << " --";
    if (!entry.reportTerms(workspace.table->variableList, notes)) out << " N";
}

void writeAssignment(std::ostream& out, FunctionEntry& entry, bool satisfiabilityNotes) {
    out << entry.name << " <= ";
    entry.print(out);
    out << ';';
    if (satisfiabilityNotes) writeSatisfiabilityNote(out, entry);
    out << '\n';
}

}  // namespace

void saveVhdl(std::ostream& out, bool satisfiabilityNotes) {
    if (!outputReady(out)) {
        reportNotSaved();
        return;
    }
    int layout = askLayout();
    const int64_t firstSaved = askWhatToSave(false, false);
    writeVhdl(out, layout, firstSaved, satisfiabilityNotes);
    reportSaved(out, firstSaved);
}

void writeVhdl(std::ostream& out, int layout, int64_t firstSaved, bool satisfiabilityNotes) {
    writeHead(out, layout, firstSaved);
    forEachSavedEntry(firstSaved, [&](FunctionEntry& entry, int64_t /*position*/) {
        writeAssignment(out, entry, satisfiabilityNotes);
    });
    if (layout == completeVhdl) out << "end dataflow;\n";
}
