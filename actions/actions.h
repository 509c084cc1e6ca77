// The action menu: the numbers and texts of the actions, written down once for the
// menu, the dispatcher and batch mode's fixed sequence.
#pragma once

#include <string_view>

enum Action : int {
    actionNegation = 1,
    actionAndOrNot = 2,
    actionCnf = 3,
    actionDnf = 4,
    actionSatisfiability = 5,
    actionNand = 6,
    actionNor = 7,
    actionAddFunction = 8,
    actionSavePla = 9,
    actionSaveVhdl = 10,
    actionSaveBlif = 11,
    actionSaveDimacs = 12,
    actionAbsorption = 13,
    actionCofactor = 14,
    actionExit = 15,
};

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

// The actions that change or inspect the table; any other choice ends the loop.
constexpr bool isTableAction(int choice) {
    return choice >= actionNegation && choice <= actionCofactor;
}

// The actions that write a file, for which an output file is opened first.
constexpr bool isSaveAction(int choice) {
    return choice >= actionSavePla && choice <= actionSaveDimacs;
}
