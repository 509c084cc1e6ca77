// A word-for-word pointer-trie rendering of the normal-form engine's trie steps:
// insertion, bottom-level merge, level rotation, trie union, and the rebuild with
// path tries, absorption and literal elimination. Slow, but independent of the
// array-based trie the program uses; the tests compare the two on random term sets.
#pragma once

#include <cstdint>
#include <vector>

class Node;

// A term as one value per input position: -1 absent, 0 complemented, 1 uncomplemented.
using DenseTerm = std::vector<int8_t>;

struct ReferenceResult {
    Node* tree;
    int64_t termCount;
};

// Runs the trie steps on a set of terms over the table's inputs and builds the
// result tree exactly as the engine's rebuild does.
ReferenceResult referenceNormalize(const std::vector<DenseTerm>& terms, bool absorption);
