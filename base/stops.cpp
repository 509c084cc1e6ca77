// The out-of-memory stop writes straight to the file descriptor: the console stream
// might itself need memory to format the message. It is the one message that even
// a silenced console prints. A save in progress is abandoned, so its temporary file
// goes and the file it would have replaced stays.
#include "base/stops.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>

#include "base/action_watch.h"
#include "base/console.h"
#include "base/safe_output.h"

void onOutOfMemory() {
    // Helper threads may run out together: the first one ends the run.
    static std::atomic<bool> stopping{false};
    if (stopping.exchange(true)) {
        for (;;) ::pause();
    }
    discardPendingOutputs();
    std::cout.flush();
    static const char message[] = "Memory depleted - terminating\n";
    const int console = consoleSettings.toStandardError ? STDERR_FILENO : STDOUT_FILENO;
    ssize_t written = ::write(console, message, sizeof message - 1);
    (void)written;
    std::_Exit(2);
}

void checkOperationTimer() {
    actionCheckpoint(-1);
}
