// A recycling allocator for tree nodes. Normal forms build and discard millions of
// small nodes; a free list per size serves them without a trip to the general heap.
// Sanitizer builds use the general heap so that every misuse is still caught.
#pragma once

#include <cstddef>

void* nodePoolAllocate(std::size_t size);
void nodePoolRelease(void* memory, std::size_t size);
