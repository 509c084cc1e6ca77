// Helper threads for work that splits into independent tasks, such as the chains of
// the functions of a table (actions/dispatcher.cpp).
//
// The helpers are started on first use and live until the process ends, each on a
// large stack of its own with the stack guard armed, as the main work runs
// (base/large_stack.h); they keep their node pools (expr/node_pool.h) from one use
// to the next. Signals are blocked on them, so the handlers run on the thread that
// waits. Under an address-space limit set from outside (a ulimit), one stack is all
// the limit is known to leave room for, and the work runs on the calling thread
// alone.
#pragma once

#include <cstdint>
#include <functional>

// How many threads compute: the environment's BOOLFN_WORKERS (a whole number from 1
// to maxWorkers) if set, else the hardware's thread count; `setWorkerCount`
// overrides both (0 gives them back their say). 1 means the calling thread alone.
constexpr int maxWorkers = 64;
int workerCount();
void setWorkerCount(int workers);

// The count BOOLFN_WORKERS asks for, or 0 when `text` is null or not a whole number
// from 1 to maxWorkers.
int workersNamedBy(const char* text);

// Runs `task(index)` for every index from 0 to count - 1 on up to `workers` helpers,
// handing the indices out in increasing order, and returns when all have ended. The
// calling thread waits, serving the progress line meanwhile (base/action_watch.h).
// After a task throws no further index is handed out; once the running tasks have
// ended, the exception of the lowest index is thrown on.
void runOnWorkers(int64_t count, int workers, const std::function<void(int64_t)>& task);
