// A cheap guard for the recursions that remain over trees whose depth follows the
// input: called first thing in such a function, it turns a stack about to run out
// into the memory stop ("Memory depleted - terminating", status 2) instead of a
// crash by signal. The walks that a deep file reaches first are loops or use
// explicit stacks (expr/node.cpp, expr/blif_gates.cpp, expr/rewrites.cpp); this is
// the safety net for the rest.
//
// The guard compares the current frame with a floor a margin above the lowest
// address of the thread's stack, so it costs one load and one comparison. A thread
// that never armed it (the unit tests' main thread) is never stopped by it.
#pragma once

// The lowest frame address allowed on this thread; null until armed.
extern constinit thread_local const char* stackFloor;

// Sets the floor for the calling thread from its stack's extent, leaving a margin
// for the calls below the last guarded frame (allocation, output, the stop itself).
void armStackGuard();

[[noreturn]] void stopForStackDepth();

inline void guardStackDepth() {
    if (static_cast<const char*>(__builtin_frame_address(0)) < stackFloor) stopForStackDepth();
}
