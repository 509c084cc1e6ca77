// The function table: one entry per output function in the order the readers and
// "Add function" appended them, the run's list of input names (which fixes the input
// numbering of the cofactor, the term trie and every writer) and the counters that
// the readers set and the writers read. The one table and the references to the
// entry being processed are in expr/workspace.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "expr/node.h"
#include "expr/pending_clauses.h"
#include "expr/pending_cover.h"
#include "expr/pending_sum.h"
#include "expr/variable_list.h"
#include "expr/workspace.h"

// What an entry holds, copied aside so that it can be put back: its tree (a copy) or
// the form it holds in its place (shared, as a held form never changes) and its term
// count.
struct EntryContent {
    std::unique_ptr<Node> tree;
    std::shared_ptr<PendingTree> sum;
    int64_t termCount = 0;
};

// The points a PLA load with --dont-cares found unspecified for one output: the rows
// with "-" or "2" in its column (.type f, fd), or for .type fr and fdr every point outside
// the rows with "1" and those with "0" (the ON-set as loaded is kept for that).
struct UnspecifiedPoints {
    std::unique_ptr<PendingCover> dontCareRows;
    std::unique_ptr<PendingCover> onRows;   // .type fr, fdr only
    std::unique_ptr<PendingCover> offRows;  // .type fr, fdr only

    bool offSetGiven() const { return offRows != nullptr; }
};

struct FunctionEntry {
    VariableList* variableList = nullptr;  // owned; this function's own variables
    std::string name;                      // output name as read, or the statement's target
    int64_t termCount = 0;                 // terms (clauses after CNF) of its last normal form
    // Don't-cares the minimizer may use; null unless a PLA load kept them. Steps that
    // change which points matter (a cofactor) drop them.
    std::shared_ptr<UnspecifiedPoints> unspecified;

    FunctionEntry(Node* tree, VariableList* list, std::string entryName)
        : variableList(list), name(std::move(entryName)), root(tree) {}
    ~FunctionEntry();
    FunctionEntry(const FunctionEntry&) = delete;
    FunctionEntry& operator=(const FunctionEntry&) = delete;

    // The function's tree (owned, may be null; replaced by every transformation). A
    // function that holds a pending sum gets its tree built here on first use.
    Node*& tree() {
        if (pending) buildPendingTree();
        return root;
    }

    // Whether the function has a tree, without building a pending one.
    bool hasTree() const { return root != nullptr || pending != nullptr; }

    // The cover a PLA load fills in place of a tree; made on first call.
    PendingCover& pendingCover(const std::shared_ptr<const RowStore>& rows);
    bool hasPendingCover() const { return dynamic_cast<const PendingCover*>(pending.get()); }

    // The sum held in place of the tree, or null.
    const PendingSum* pendingSum() const { return pending ? pending->asSum() : nullptr; }
    // The product of clauses held in place of the tree (a DIMACS load), or null.
    const PendingClauses* pendingClauses() const {
        return dynamic_cast<const PendingClauses*>(pending.get());
    }
    // Replaces the function, tree or held form, by a sum of products kept as it is.
    void holdSum(std::unique_ptr<PendingSum> sum) { holdPending(std::move(sum)); }
    // Replaces the function by a form kept in place of its tree (null: no tree).
    void holdPending(std::unique_ptr<PendingTree> form);

    // A copy of what the entry holds now, and putting such a copy back.
    EntryContent copyContent() const;
    void restoreContent(EntryContent content);

    // What the term walk reports from the tree, read from the sum where the
    // function holds one; `marks` holds the table's names and no assignment.
    bool reportTerms(VariableList& marks, TermSink& sink) const;
    // The tree's literal count (0 without a tree).
    int64_t literalCount() const;
    // What the tree's `print` and `emitBlif` write, from the held form where it can
    // write them without building the tree.
    void print(std::ostream& out);
    void emitBlif(TextSink& out);

  private:
    Node* root;
    std::shared_ptr<PendingTree> pending;
    void buildPendingTree();
    friend void completeEntry(FunctionEntry& entry);
};

class FunctionTable {
  public:
    int64_t termCount = 0;         // terms of the last normal-form pass; sums in the writers
    int64_t inputCount = 0;        // inputs as declared by the reader
    int64_t addedCount = 0;        // functions added after loading
    bool hasInputLabels = false;   // the PLA file named its inputs
    bool hasOutputLabels = false;  // the PLA file named its outputs
    // PLA rows whose outputs the file's type calls don't-care ("-" or "2"; "0" under .type
    // fr and fdr, whose unlisted points are don't-cares): read as OFF unless
    // --dont-cares keeps them.
    int64_t unspecifiedRows = 0;
    bool offSetType = false;    // the PLA file's .type was fr or fdr
    VariableList variableList;  // every input name of the run, in order of addition

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

// Completes an entry after a PLA or DIMACS load: an entry without a tree gets the
// constant false, and the entry's own variable list is collected from its tree.
void completeEntry(FunctionEntry& entry);

// Creates the one table; used at start-up (and by tests for a clean slate).
void createTable();
// Releases the table and everything it holds.
void releaseTable();
