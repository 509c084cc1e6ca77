#include "expr/workspace.h"
// The VHDL-like notation of signal assignments: the reader serves input files of
// type 2, the "Add function" command line and batch scripts; the writer serves
// "Save as VHDL" in its complete and pseudo layouts.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "expr/node.h"
#include "expr/variable_list.h"
#include "formats/reader_settings.h"

// One statement as read.
struct VhdlStatement {
    std::unique_ptr<Node> tree;           // null at end of input or after an error
    std::unique_ptr<VariableList> names;  // the statement's own names, when it has a tree
    std::string target;                   // its left-hand name, when it has a tree
    int64_t errorCount = 0;               // errors reported while reading it
};

// Reads one statement from where the previous read of `in` stopped.
VhdlStatement readVhdlStatement(std::istream& in, const ReaderSettings& settings = {});

// Appends the names of an accepted statement's variable list that the table's
// variable list lacks, raising inputCount for each.
void adoptStatementNames(const VariableList& statementList);

// Reads statements until one yields no tree, appending one entry per statement.
// Answers the number of errors reported.
int64_t loadVhdl(std::istream& in, const ReaderSettings& settings = {});

// Back to the width in force and the line number of start-up, which every read
// otherwise hands to the next: for an input that starts a table of its own.
void resetVhdlReader();

// The answers of "How to save:"; any other answer writes the assignments alone.
enum VhdlLayout { completeVhdl = 1, pseudoVhdl = 2 };

// The save with its questions: the layout, then the save dialogue. With
// `satisfiabilityNotes` (a satisfiability test came just before) each assignment is
// followed by a comment with its satisfying terms.
void saveVhdl(std::ostream& out, bool satisfiabilityNotes);
// The file itself in `layout`, of the entries from position `firstSaved` on,
// without questions or messages.
void writeVhdl(std::ostream& out, int layout, int64_t firstSaved, bool satisfiabilityNotes);
