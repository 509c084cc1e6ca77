// Trees from real files are very deep: a DIMACS file of a million clauses is a
// left-deep chain a million nodes deep, and the tree operations recurse along it.
// The program's work therefore runs on one thread whose stack is a large reservation
// of address space (committed page by page only as it is used). The reservation
// adapts to an address-space limit so that the program still starts under one.
#pragma once

#include <cstddef>
#include <functional>

// The stack reserved when no address-space limit asks for less.
constexpr std::size_t preferredStackBytes = std::size_t{4} << 30;  // 4 GiB

// Runs `work` on a thread with a large stack and returns its result. The calling
// thread only waits, so the program stays single-threaded in behaviour.
int runOnLargeStack(const std::function<int()>& work);
