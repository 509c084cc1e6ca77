// A clean program state for the DIMACS and BLIF tests, with the console redirected
// to strings: what the code prints is in `console()`, what it reads comes from
// `answer`.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "expr/function_table.h"
#include "tests/unit/base/console_redirect.h"
#include "tests/unit/expr/tree_builders.h"
#include "tests/unit/formats/saved_state.h"

class DimacsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        createTable();
        freshSaveState();
    }
    void TearDown() override { releaseTable(); }

    void answer(const std::string& text) { redirect.type(text); }
    std::string console() const { return redirect.printedText(); }

  private:
    ConsoleRedirect redirect;
};
