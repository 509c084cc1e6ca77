// Variable lists keep a vector in insertion order and a name index beside it, so
// that lookups by name cost a hash probe instead of a walk along the list.
#include "expr/variable_list.h"

#include <mutex>

#include "expr/workspace.h"

size_t SymbolIndex::slotOf(Symbol name) const {
    // Fibonacci hashing: consecutive symbols land far apart.
    uint64_t mixed = uint64_t{name} * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(mixed >> 32) & (slots.size() - 1);
}

int32_t SymbolIndex::find(Symbol name) const {
    if (slots.empty()) return -1;
    for (size_t slot = slotOf(name);; slot = (slot + 1) & (slots.size() - 1)) {
        uint64_t content = slots[slot];
        if (content == emptySlot) return -1;
        if (static_cast<Symbol>(content >> 32) == name) return static_cast<int32_t>(content);
    }
}

void SymbolIndex::insert(Symbol name, int32_t position) {
    if (2 * (used + 1) > slots.size()) grow();
    for (size_t slot = slotOf(name);; slot = (slot + 1) & (slots.size() - 1)) {
        uint64_t& content = slots[slot];
        if (content == emptySlot) {
            content = (uint64_t{name} << 32) | static_cast<uint32_t>(position);
            ++used;
            return;
        }
        if (static_cast<Symbol>(content >> 32) == name) return;
    }
}

void SymbolIndex::reserve(size_t names) {
    size_t target = 16;
    while (target < 2 * names) target *= 2;
    slots.reserve(target);
}

// The slots are copied out rather than moved, so that the array keeps the capacity
// that `reserve` gave it.
void SymbolIndex::grow() {
    const std::vector<uint64_t> old = slots;
    slots.assign(old.empty() ? 16 : 2 * old.size(), emptySlot);
    used = 0;
    for (uint64_t content : old) {
        if (content != emptySlot)
            insert(static_cast<Symbol>(content >> 32), static_cast<int32_t>(content));
    }
}

void SymbolIndex::clear() {
    slots.clear();
    used = 0;
}

int32_t VariableList::positionOf(Symbol name) const {
    if (indexStale.load(std::memory_order_acquire)) freshenIndex();
    return index.find(name);
}

void VariableList::freshenIndex() const {
    static std::mutex rebuilding;
    const std::lock_guard<std::mutex> hold(rebuilding);
    if (indexStale.load(std::memory_order_relaxed)) rebuildIndex();
}

void VariableList::reserve(int64_t more) {
    const auto total = entries.size() + static_cast<size_t>(more);
    entries.reserve(total);
    index.reserve(total);
}

void VariableList::add(Symbol name) {
    if (positionOf(name) >= 0) return;
    index.insert(name, count());
    entries.push_back(VariableEntry{name});
}

void VariableList::rename(int32_t position, Symbol name) {
    entries[static_cast<size_t>(position)].name = name;
    indexStale = true;
}

VariableList* VariableList::copyNames() const {
    auto* copy = new VariableList;
    copy->entries.reserve(entries.size());
    for (const VariableEntry& entry : entries) copy->entries.push_back(VariableEntry{entry.name});
    copy->indexStale = true;
    return copy;
}

void VariableList::rebuildIndex() const {
    index.clear();
    for (int32_t i = 0; i < count(); ++i) index.insert(entries[static_cast<size_t>(i)].name, i);
    indexStale.store(false, std::memory_order_release);
}

void VariableList::assign(int32_t position, int32_t value) {
    VariableEntry& entry = entries[static_cast<size_t>(position)];
    entry.value = value;
    if (!entry.assigned) {
        entry.assigned = true;
        assignedOrder.push_back(position);
    }
}

void VariableList::clearAssignments() {
    for (int32_t position : assignedOrder) entries[static_cast<size_t>(position)].assigned = false;
    assignedOrder.clear();
}

void addVariable(VariableList& list, std::string_view name) {
    list.add(intern(name));
}

VariableEntry* findVariable(Symbol name) {
    VariableList* list = workspace.currentList;
    if (list == nullptr) return nullptr;
    int32_t position = list->positionOf(name);
    return position < 0 ? nullptr : &list->entries[static_cast<size_t>(position)];
}

VariableEntry* variableAt(VariableList& list, int64_t index) {
    if (index < 0 || index >= list.count()) return nullptr;
    return &list.entries[static_cast<size_t>(index)];
}
