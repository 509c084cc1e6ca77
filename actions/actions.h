// The numbered actions of the menu program, as the dispatcher carries them out
// (`runAction`); their menu texts are driver/'s (driver/menu_table.h). The
// command-line front end speaks in transformations and notations instead
// (actions/vocabulary.h).
#pragma once

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

// The actions that change or inspect the table; any other choice ends the loop.
constexpr bool isTableAction(int choice) {
    return choice >= actionNegation && choice <= actionCofactor;
}

// The actions that write a file, for which an output file is opened first.
constexpr bool isSaveAction(int choice) {
    return choice >= actionSavePla && choice <= actionSaveDimacs;
}
