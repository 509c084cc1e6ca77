// Random expression trees for the engine's comparison tests: every operator,
// constants of one and of several digits, names repeated and complemented, and
// optionally names the table does not know.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>

#include "expr/node.h"

class RandomTreeMaker {
  public:
    explicit RandomTreeMaker(uint32_t seed) : random(seed) {}

    uint32_t below(uint32_t bound) { return static_cast<uint32_t>(random() % bound); }

    // A tree over the names x0 .. x{inputs-1}; `unknownNames` adds some "u" names.
    Node* tree(int inputs, int depth, bool unknownNames = false) {
        uint32_t pick = below(16);
        if (depth == 0 || pick < 4) return leaf(inputs, unknownNames);
        if (pick < 6) return new UNode(tree(inputs, depth - 1, unknownNames));
        int code = 1 + static_cast<int>(below(6));
        // xor and xnor double the tree when expanded; keep them shallow.
        int below = code >= opXor ? std::min(depth - 1, 2) : depth - 1;
        Node* left = tree(inputs, below, unknownNames);
        return new BNode(code, left, tree(inputs, below, unknownNames));
    }

  private:
    std::mt19937 random;

    Node* leaf(int inputs, bool unknownNames) {
        uint32_t pick = below(20);
        if (pick == 0) return new VectNode(static_cast<int32_t>(below(2)), 1);
        if (pick == 1) return new VectNode(static_cast<int32_t>(below(4)), 2);
        if (pick == 2 && unknownNames) return new IdentNode("u" + std::to_string(below(2)));
        return new IdentNode("x" + std::to_string(below(static_cast<uint32_t>(inputs))));
    }
};
