// The two stops that may end the program from deep inside a computation.
#pragma once

// The allocation-failure handler: prints "Memory depleted - terminating" and ends
// the process at once with status 2. Installed at start-up; never returns.
[[noreturn]] void onOutOfMemory();

// Hook through which the sum-of-products expansion offers to stop a long action.
// The watchdog question is never armed (`watchdogArmed` stays false); the hook is a
// checkpoint of the watch over an action at a terminal (base/action_watch.h), so a
// Ctrl-C may end it by ActionCancelled.
void checkOperationTimer();
