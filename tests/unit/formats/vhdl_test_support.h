// Helpers for the VHDL reader and writer tests: a clean program state and a fresh
// reader per test, the console redirected to strings, and a table loaded from text.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "expr/function_table.h"
#include "formats/vhdl.h"
#include "formats/vhdl_lexer.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/formats/saved_state.h"

// What the code prints is in `console()`, what it reads comes from `answer`.
class VhdlFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        createTable();
        resetVhdlReader();
        freshSaveState();
    }

    void TearDown() override {
        releaseTable();
        resetVhdlReader();
    }

    void answer(const std::string& text) { redirect.type(text); }
    std::string console() const { return redirect.printedText(); }
    void clearConsole() { redirect.clearPrinted(); }

    static void load(const std::string& text) {
        std::istringstream in(text);
        loadVhdl(in);
    }

  private:
    ConsoleRedirect redirect;
};

// The names of a list, separated by blanks.
inline std::string vhdlNamesOf(const VariableList* list) {
    std::string names;
    if (list == nullptr) return names;
    for (const VariableEntry& entry : list->entries) {
        if (!names.empty()) names += ' ';
        names += symbolName(entry.name);
    }
    return names;
}

// Every entry as "name: printed tree", one per line.
inline std::string vhdlTableText() {
    std::string text;
    const FunctionTable& table = *workspace.table;
    for (int64_t position = 0; position < table.entryCount(); ++position) {
        FunctionEntry& entry = *table.entryAt(position);
        text += entry.name + ": " + (entry.hasTree() ? toText(*entry.tree()) : "-") + "\n";
    }
    return text;
}

// Names a parameterised case after its `title`.
struct VhdlCaseTitle {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.title;
    }
};
