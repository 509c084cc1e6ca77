// The two stops that may end the program from deep inside a computation.
#pragma once

// The allocation-failure handler: prints "Memory depleted - terminating" and ends
// the process at once with status 2. Installed at start-up; never returns.
[[noreturn]] void onOutOfMemory();

// Hook through which the sum-of-products expansion offers to stop a long action.
// Nothing arms it, so it returns at once.
void checkOperationTimer();
