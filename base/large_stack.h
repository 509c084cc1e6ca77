// Trees from real files are very deep: a DIMACS file of a million clauses is a
// left-deep chain a million nodes deep, and the tree operations recurse along it.
// The program's work therefore runs on one thread whose stack is a large reservation
// of address space (committed page by page only as it is used). The reservation
// adapts to an address-space limit so that the program still starts under one.
#pragma once

#include <pthread.h>

#include <cstddef>
#include <functional>

// The stack reserved when no address-space limit asks for less.
constexpr std::size_t preferredStackBytes = std::size_t{4} << 30;  // 4 GiB

// Runs `work` on a thread with a large stack and returns its result. The calling
// thread only waits.
int runOnLargeStack(const std::function<int()>& work);

// A thread started on its own large stack (the same reservation as above), for
// helpers that live until the process ends (base/worker_pool.h). `entry` arms the
// stack guard itself. False when no stack could be mapped or no thread started.
bool startOnLargeStack(void* (*entry)(void*), void* argument);
