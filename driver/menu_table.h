// The action menu as the menu program shows it: one line per numbered action.
#pragma once

#include <iterator>
#include <string_view>

#include "actions/actions.h"

// The menu line of each action, in number order from actionNegation to actionExit.
constexpr std::string_view actionTexts[] = {
    "Negation",
    "And-Or-Not form",
    "CNF",
    "DNF",
    "Satisfiability test",
    "Nand form",
    "Nor form",
    "Add function",
    "Save as PLA",
    "Save as VHDL",
    "Save as BLIF",
    "Save as DIMACS",
    "Disable/enable absorption",
    "Compute cofactor",
    "Exit",
};
static_assert(std::size(actionTexts) == actionExit, "one menu text per action");
