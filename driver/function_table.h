// The function table and every piece of program-wide state, in one place.
//
// The table holds one entry per output function in the order the readers and
// "Add function" appended them, the run's list of input names (which fixes the input
// numbering of the cofactor, the term trie and every writer) and the counters that
// the readers set and the writers read. Beside it live the current references that
// the readers, tree operations, engine and writers share, and the program's flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "expr/node.h"
#include "expr/pending_cover.h"
#include "expr/variable_list.h"

struct FunctionEntry {
    VariableList* variableList = nullptr;   // owned; this function's own variables
    std::string name;                       // output name as read, or the statement's target
    int64_t termCount = 0;                  // terms (clauses after CNF) of its last normal form

    FunctionEntry(Node* tree, VariableList* list, std::string entryName)
        : variableList(list), name(std::move(entryName)), root(tree) {}
    ~FunctionEntry();
    FunctionEntry(const FunctionEntry&) = delete;
    FunctionEntry& operator=(const FunctionEntry&) = delete;

    // The function's tree (owned, may be null; replaced by every transformation). A
    // function loaded as a pending cover gets its tree built here on first use.
    Node*& tree() {
        if (pending) buildPendingTree();
        return root;
    }

    // Whether the function has a tree, without building a pending one.
    bool hasTree() const { return root != nullptr || pending != nullptr; }

    // The cover a PLA load fills in place of a tree; made on first call.
    PendingCover& pendingCover(const std::shared_ptr<const RowStore>& rows);
    bool hasPendingCover() const { return pending != nullptr; }

private:
    Node* root;
    std::unique_ptr<PendingCover> pending;
    void buildPendingTree();
    friend void completeEntry(FunctionEntry& entry);
};

class FunctionTable {
public:
    int64_t termCount = 0;         // terms of the last normal-form pass; sums in the writers
    int64_t inputCount = 0;        // inputs as declared by the reader
    bool hasInputLabels = false;   // the PLA file named its inputs
    bool hasOutputLabels = false;  // the PLA file named its outputs
    VariableList variableList;     // every input name of the run, in order of addition

    // Takes over the tree and the list (either may be null) and appends an entry.
    FunctionEntry& appendEntry(Node* tree, VariableList* list, const std::string& name);
    // Makes room for `count` more entries at once, so that a count no memory can hold
    // fails at the start rather than after minutes of appending.
    void reserveEntries(int64_t count) {
        entries.reserve(entries.size() + static_cast<std::size_t>(count));
    }
    // The entry at a 0-based position, or null outside the table.
    FunctionEntry* entryAt(int64_t position) const;
    int64_t entryCount() const { return static_cast<int64_t>(entries.size()); }

private:
    std::vector<std::unique_ptr<FunctionEntry>> entries;
};

// Output modes of the term walk: what is done with each satisfied term.
enum class OutputMode { Engine = 1, PlaRow = 2, VhdlNote = 3, DimacsClause = 5 };

struct ProgramState {
    FunctionTable* table = nullptr;        // the one table, from start-up to shut-down
    FunctionEntry* currentEntry = nullptr;  // the entry being processed (borrowed)
    Node* currentNode = nullptr;           // the root being transformed (borrowed)
    VariableList* currentList = nullptr;   // identifiers resolve against it (borrowed)

    bool absorptionEnabled = true;   // the engine's absorption and literal elimination
    bool batchMode = false;          // a script path was given: no questions asked
    int64_t addedCount = 0;          // functions added after loading
    bool satisfiabilityFlag = false;  // set by the satisfiability test, read by the VHDL writer

    OutputMode outputMode = OutputMode::Engine;  // how the term walk reports a term
    std::ostream* outputStream = nullptr;         // where the writers' term walk writes
    int64_t firstSavedIndex = 0;   // PLA rows: first function being saved
    int64_t writtenIndex = 0;      // PLA rows: the function being written

    int64_t signalCounter = 0;     // numbers the internal BLIF signals; never reset

    std::clock_t operationStartTime = 0;  // clock at "Operation started"
    std::clock_t operationEndTime = 0;    // clock at the end of the timed part
    bool watchdogArmed = false;           // enables checkOperationTimer; never set
};

extern ProgramState program;

// Completes an entry after a PLA or DIMACS load: an entry without a tree gets the
// constant false, and the entry's own variable list is collected from its tree.
void completeEntry(FunctionEntry& entry);

// Creates the one table; used at start-up (and by tests for a clean slate).
void createTable();
// Releases the table and everything it holds.
void releaseTable();
