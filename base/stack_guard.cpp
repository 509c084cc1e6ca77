// The margin is a quarter of the stack, at most 256 KiB: far more than the deepest
// chain of unguarded calls below a guarded frame, and small beside any stack the
// program runs on (the large stack is at least 16 MiB; a main thread under
// `ulimit -s 256` still keeps three quarters of its stack for the work).
#include "base/stack_guard.h"

#include <pthread.h>

#include <algorithm>
#include <cstddef>

#include "base/stops.h"

constinit thread_local const char* stackFloor = nullptr;

void armStackGuard() {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return;
    void* lowest = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &lowest, &size) == 0 && lowest != nullptr) {
        const std::size_t margin = std::min<std::size_t>(size / 4, std::size_t{256} << 10);
        stackFloor = static_cast<const char*>(lowest) + margin;
    }
    pthread_attr_destroy(&attributes);
}

void stopForStackDepth() {
    onOutOfMemory();
}
