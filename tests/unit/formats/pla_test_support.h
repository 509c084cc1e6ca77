// Helpers for the PLA tests: a fresh table and reader per test, the console
// redirected to strings, and a loader that describes what it built.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "expr/node.h"
#include "formats/pla.h"
#include "formats/pla_lexer.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/formats/saved_state.h"

// Every test starts from an empty table and captures the console: what the code
// prints is in `console()`, what it reads comes from `answer`.
class PlaFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        createTable();
        freshSaveState();
    }
    void TearDown() override { releaseTable(); }

    void answer(const std::string& text) { redirect.type(text); }
    std::string console() const { return redirect.printedText(); }

    // Loads `text` as a PLA file; answers the number of errors reported.
    int64_t load(const std::string& text, const ReaderSettings& settings = {}) {
        source.str(text);
        source.clear();
        return loadPla(source, settings);
    }

  private:
    ConsoleRedirect redirect;
    std::istringstream source;
};

// The table in one line per entry, "name: tree [own variables]", after a line
// with the table's inputs.
inline std::string describeTable() {
    const FunctionTable& table = *workspace.table;
    std::string described = "inputs:";
    for (const VariableEntry& input : table.variableList.entries) {
        described += ' ' + symbolName(input.name);
    }
    described += '\n';
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        described += entry.name + ": " + (entry.tree() ? toText(*entry.tree()) : "none") + " [";
        if (entry.variableList != nullptr) {
            for (const VariableEntry& own : entry.variableList->entries) {
                if (described.back() != '[') described += ' ';
                described += symbolName(own.name);
            }
        }
        described += "]\n";
    }
    return described;
}
