// The stops that may come from deep inside a computation: the memory stop, which
// ends the program, and the hook through which multiplying out may be called off.
#pragma once

// The allocation-failure handler: prints "Memory depleted - terminating" and ends
// the process at once with status 2. Installed at start-up; never returns.
[[noreturn]] void onOutOfMemory();

// Hook through which the sum-of-products expansion offers to stop a long action: a
// checkpoint of the watch over an action at a terminal (base/action_watch.h), so a
// Ctrl-C may end it by ActionCancelled. No timer is kept and no question asked.
void checkOperationTimer();
