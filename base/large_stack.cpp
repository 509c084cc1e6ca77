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

}  // namespace

int runOnLargeStack(const std::function<int()>& work) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    for (std::size_t size = stackSizeForLimits(); size >= smallestStack; size /= 2) {
        size = size / page * page;
        void* stack = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
        if (stack == MAP_FAILED) continue;
        mprotect(stack, page, PROT_NONE);  // guard page below the stack

        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstack(&attributes, stack, size);
        Job job{&work};
        pthread_t thread;
        int failed = pthread_create(&thread, &attributes, runJob, &job);
        pthread_attr_destroy(&attributes);
        if (failed == 0) {
            pthread_join(thread, nullptr);
            munmap(stack, size);
            return job.result;
        }
        munmap(stack, size);
    }
    armStackGuard();
    return work();  // no room for a thread: run where we are
}
