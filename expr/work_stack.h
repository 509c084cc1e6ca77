// The explicit stack of the tree walks that must not take call stack in proportion
// to a tree's depth (a DIMACS file is a left-deep chain of its clauses, millions of
// nodes deep). The first items live inside the object, so the walks over the many
// small trees of the normal forms allocate nothing; deeper walks spill to the heap.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

template <typename Item, std::size_t inlineCount = 32>
class WorkStack {
  public:
    bool empty() const { return count == 0; }

    void push(const Item& item) {
        if (count < inlineCount) {
            local[count] = item;
        } else {
            spill.push_back(item);
        }
        ++count;
    }

    Item pop() {
        --count;
        if (count < inlineCount) return local[count];
        Item item = spill.back();
        spill.pop_back();
        return item;
    }

  private:
    std::array<Item, inlineCount> local;
    std::vector<Item> spill;
    std::size_t count = 0;
};
