// The one function table of a run and the references to what is being worked on.
//
// The writers and the variable collection find the function being processed here,
// not in an argument: the writers point `currentEntry` and `currentList` at an entry
// before writing it, and the leaves of a tree add and resolve their names in
// `currentList`. The dispatcher's chains read neither (they may run on several
// threads at once); it leaves them on the last entry after an action. The table lives from start-up
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
