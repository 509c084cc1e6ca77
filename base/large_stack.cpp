// The stack is mapped with MAP_NORESERVE, so reserving gigabytes costs nothing until
// pages are touched. Under an address-space limit a quarter of the limit is taken.
// Either way the work arms the stack guard (base/stack_guard.h) on the stack it
// runs on.
#include "base/large_stack.h"

#include <pthread.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "base/stack_guard.h"

namespace {

constexpr std::size_t smallestStack = std::size_t{16} << 20;  // 16 MiB

std::size_t stackSizeForLimits() {
    std::size_t size = preferredStackBytes;
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        size = std::min<std::size_t>(size, static_cast<std::size_t>(limit.rlim_cur / 4));
    }
    return size;
}

struct Job {
    const std::function<int()>* work;
    int result = 0;
};

void* runJob(void* argument) {
    auto* job = static_cast<Job*>(argument);
    armStackGuard();
    job->result = (*job->work)();
    return nullptr;
}

// Maps the largest stack the limits allow, with a guard page below it, and starts
// `entry` on it; hands back the thread and its stack.
bool startThread(void* (*entry)(void*), void* argument, pthread_t& thread, void*& stack,
                 std::size_t& stackBytes) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (std::size_t size = stackSizeForLimits(); size >= smallestStack; size /= 2) {
        size = size / page * page;
        void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                            MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
        if (mapped == MAP_FAILED) continue;
        mprotect(mapped, page, PROT_NONE);  // guard page below the stack

        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstack(&attributes, mapped, size);
        int failed = pthread_create(&thread, &attributes, entry, argument);
        pthread_attr_destroy(&attributes);
        if (failed == 0) {
            stack = mapped;
            stackBytes = size;
            return true;
        }
        munmap(mapped, size);
    }
    return false;
}

}  // namespace

int runOnLargeStack(const std::function<int()>& work) {
    Job job{&work};
    pthread_t thread;
    void* stack = nullptr;
    std::size_t size = 0;
    if (startThread(runJob, &job, thread, stack, size)) {
        pthread_join(thread, nullptr);
        munmap(stack, size);
        return job.result;
    }
    armStackGuard();
    return work();  // no room for a thread: run where we are
}

bool startOnLargeStack(void* (*entry)(void*), void* argument) {
    pthread_t thread;
    void* stack = nullptr;
    std::size_t size = 0;
    if (!startThread(entry, argument, thread, stack, size)) return false;
    pthread_detach(thread);
    return true;
}
