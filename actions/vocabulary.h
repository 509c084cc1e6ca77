// The words the front ends use with actions/: what a transformation does to every
// function, and the notations a table is read from and written in. The menu
// program's numbered actions are its own (actions/actions.h, driver/'s menu); the
// command-line front end speaks only these.
#pragma once

// A rewrite of every function by the chain of the menu action of the same name.
enum class Transform { negation, andOrNot, cnf, dnf, nand, nor, cofactor };

enum class InputNotation { pla, vhdl, dimacs, blif };

// What a table is written as: the menu's four saves (VHDL in either layout), and
// BLIF with one ".names" block per function over its DNF.
enum class OutputNotation { pla, pseudoVhdl, completeVhdl, blif, sopBlif, dimacs };
