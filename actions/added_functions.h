// Functions added after loading, from statements in the VHDL-like notation: one
// statement as "Add function" reads it, or a whole script as batch mode reads it.
// The menu program and the command-line front end add through these two.
#pragma once

#include <iosfwd>
#include <string>

// Reads one statement from `command` and appends it as a new function; its variable
// list is collected from the tree afresh, in order of first appearance, as the
// loaders do. Answers whether a function was added.
bool addStatement(const std::string& command);

// Reads statements from `script` until one yields no tree, appending each as a new
// function, and counts them all as added.
void addScript(std::istream& script);
