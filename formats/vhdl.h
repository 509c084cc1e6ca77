#include "expr/workspace.h"
// The VHDL-like notation of signal assignments: the reader serves input files of
// type 2, the "Add function" command line and batch scripts; the writer serves
// "Save as VHDL" in its complete and pseudo layouts.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

class Node;
class VariableList;

// Reads one statement from where the previous read stopped. Returns its tree (owned
// by the caller), or null at end of input or after an error. On success
// `vhdlTargetName()` is the statement's left-hand name and `workspace.currentList` is
// the statement's variable list, which the caller takes over.
Node* readVhdlStatement(std::istream& in);
const std::string& vhdlTargetName();

// Appends the names of an accepted statement's variable list that the table's
// variable list lacks, raising inputCount for each.
void adoptStatementNames(const VariableList& statementList);

// Reads statements until one yields no tree, appending one entry per statement.
void loadVhdl(std::istream& in);

// The answers of "How to save:"; any other answer writes the assignments alone.
enum VhdlLayout { completeVhdl = 1, pseudoVhdl = 2 };

// The save with its questions: the layout, then the save dialogue. With
// `satisfiabilityNotes` (a satisfiability test came just before) each assignment is
// followed by a comment with its satisfying terms.
void saveVhdl(std::ostream& out, bool satisfiabilityNotes);
// The file itself in `layout`, of the entries from position `firstSaved` on,
// without questions or messages.
void writeVhdl(std::ostream& out, int layout, int64_t firstSaved, bool satisfiabilityNotes);
