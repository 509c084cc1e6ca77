// The one function table of a run and the references to what is being worked on.
//
// The tree operations and the writers find the function being processed here, not
// in an argument: the dispatcher and the writers point `currentEntry` and
// `currentList` at an entry before its chain runs, and the leaves of a tree add and
// resolve their names in `currentList`. The table lives from start-up
// (`createTable`) to shut-down (`releaseTable`).
#pragma once

class FunctionTable;
struct FunctionEntry;
class VariableList;

struct Workspace {
    FunctionTable* table = nullptr;         // the one table, from start-up to shut-down
    FunctionEntry* currentEntry = nullptr;  // the entry being processed (borrowed)
    VariableList* currentList = nullptr;    // identifiers resolve against it (borrowed)
};

extern Workspace workspace;
