// Variable lists: insertion-ordered sets of names, each with an assignment slot.
//
// The function table keeps one list of every input of the run and each function one
// of its own variables. Identifiers are resolved by name against the list that
// `workspace.currentList` designates; the term walk records its assignment there.
// Names are unique within a list and keep the order of their first addition.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <vector>

#include "expr/symbol.h"
#include "expr/workspace.h"

struct VariableEntry {
    Symbol name;
    int32_t value = 0;      // 0 when created, then 1 (true) or -2 (false) when assigned
    bool assigned = false;  // the current term gives this variable a value
};

// Symbol -> first position, by open addressing: one flat array probed linearly, so
// a lookup touches one cache line where a node-based map chases pointers.
class SymbolIndex {
  public:
    int32_t find(Symbol name) const;
    // Records the position unless the name is present already.
    void insert(Symbol name, int32_t position);
    void clear();
    // Room for `names` names in all, taken at once (no slot is touched yet).
    void reserve(size_t names);

  private:
    static constexpr uint64_t emptySlot = ~uint64_t{0};
    std::vector<uint64_t> slots;  // (symbol << 32) | position, or emptySlot
    size_t used = 0;
    size_t slotOf(Symbol name) const;
    void grow();
};

class VariableList {
  public:
    std::vector<VariableEntry> entries;  // in order of first addition

    int32_t count() const { return static_cast<int32_t>(entries.size()); }
    bool empty() const { return entries.empty(); }

    // Position of the first entry with that name, or -1.
    int32_t positionOf(Symbol name) const;

    // Appends the name unless it is present already.
    void add(Symbol name);

    // Room for `more` further names, list and index, taken at once: a count that no
    // memory can hold stops the program before any name is made, instead of after
    // minutes of growing (the memory stop, base/stops.h).
    void reserve(int64_t more);

    // A new list with the same names at the same positions, nothing assigned.
    VariableList* copyNames() const;

    // Renames the entry at a position in place (PLA input labels).
    void rename(int32_t position, Symbol name);

    // Marks the entry at a position assigned with a value, remembering it so that
    // clearAssignments costs only as much as the assignment made.
    void assign(int32_t position, int32_t value);

    // Clears every assigned flag (values are kept, as a fresh term expects).
    void clearAssignments();

    // Positions assigned since the last clearAssignments, in assignment order.
    const std::vector<int32_t>& assignedPositions() const { return assignedOrder; }

  private:
    mutable SymbolIndex index;  // name -> first position
    // Set by rename, rebuilt on demand. Functions computed side by side look names
    // up in the table's list at once, so the first look after a rename rebuilds it
    // under a lock and the others wait for it.
    mutable std::atomic<bool> indexStale{false};
    std::vector<int32_t> assignedOrder;
    void freshenIndex() const;
    void rebuildIndex() const;
};

// The operations on lists, by name.
void addVariable(VariableList& list, std::string_view name);
// First entry of `workspace.currentList` with that name, or null.
VariableEntry* findVariable(Symbol name);
// The entry at a 0-based position, or null when the list is shorter.
VariableEntry* variableAt(VariableList& list, int64_t index);
