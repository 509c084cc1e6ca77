// One pool for the process: a lock, the task of the current run and its next index.
// The waiting thread wakes every few milliseconds to draw the progress line; the
// helpers wake when a run starts. Each helper's stack widens the program's own
// address-space cap (base/process_guards.h) by its reservation, so that the heap
// keeps the room the cap gives it. A helper takes part in a run only if its number is
// within the run's worker count, so that a smaller count leaves the others asleep.
#include "base/worker_pool.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <limits>
#include <mutex>
#include <string>
#include <thread>

#include "base/action_watch.h"
#include "base/large_stack.h"
#include "base/process_guards.h"
#include "base/stack_guard.h"

namespace {

constexpr auto waitingTick = std::chrono::milliseconds(5);

int chosenWorkers = 0;  // by setWorkerCount; 0 when not set

struct Pool {
    std::mutex lock;
    std::condition_variable runStarted;
    std::condition_variable taskEnded;
    const std::function<void(int64_t)>* task = nullptr;  // null between runs
    int64_t nextIndex = 0;
    int64_t count = 0;
    int participants = 0;  // helpers 1..participants take part in the run
    int running = 0;       // tasks begun and not ended
    std::exception_ptr failure;
    int64_t failedIndex = std::numeric_limits<int64_t>::max();
    int helpers = 0;  // started
};

// Never destroyed: the helpers wait on it until the process ends.
Pool& pool() {
    static Pool* shared = new Pool;
    return *shared;
}

struct HelperStart {
    Pool* pool;
    int number;
};

void blockSignals() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM}) sigaddset(&blocked, signal);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
}

void* runHelper(void* argument) {
    const HelperStart start = *static_cast<HelperStart*>(argument);
    delete static_cast<HelperStart*>(argument);
    armStackGuard();
    blockSignals();
    noteProgressAsHelper(start.number);
    Pool& shared = *start.pool;
    std::unique_lock<std::mutex> hold(shared.lock);
    for (;;) {
        shared.runStarted.wait(hold, [&] {
            return shared.task != nullptr && start.number <= shared.participants &&
                   shared.nextIndex < shared.count;
        });
        const int64_t index = shared.nextIndex++;
        const std::function<void(int64_t)>& task = *shared.task;
        ++shared.running;
        hold.unlock();
        std::exception_ptr failure;
        try {
            task(index);
        } catch (...) {
            failure = std::current_exception();
        }
        hold.lock();
        if (failure && index < shared.failedIndex) {
            shared.failure = failure;
            shared.failedIndex = index;
        }
        if (failure) shared.nextIndex = shared.count;
        --shared.running;
        if (shared.running == 0 && shared.nextIndex >= shared.count) shared.taskEnded.notify_all();
    }
}

// Starts helpers up to `wanted`; answers how many of them take part (fewer than
// wanted when a start failed, never more even when an earlier run started more).
int startHelpers(Pool& shared, int wanted) {
    while (shared.helpers < wanted) {
        auto* start = new HelperStart{&shared, shared.helpers + 1};
        widenAddressSpaceCap(preferredStackBytes);
        if (!startOnLargeStack(runHelper, start)) {
            delete start;
            break;
        }
        ++shared.helpers;
    }
    return std::min(shared.helpers, wanted);
}

}  // namespace

int workersNamedBy(const char* text) {
    if (text == nullptr) return 0;
    const std::string digits(text);
    if (digits.empty() || digits.size() > 2 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
        return 0;
    }
    const int count = std::stoi(digits);
    return count >= 1 && count <= maxWorkers ? count : 0;
}

int workerCount() {
    if (addressSpaceLimitedFromOutside()) return 1;
    if (chosenWorkers > 0) return chosenWorkers;
    if (const int named = workersNamedBy(std::getenv("BOOLFN_WORKERS")); named > 0) return named;
    const auto hardware = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(hardware, 1, maxWorkers);
}

void setWorkerCount(int workers) {
    chosenWorkers = std::clamp(workers, 0, maxWorkers);
}

void runOnWorkers(int64_t count, int workers, const std::function<void(int64_t)>& task) {
    Pool& shared = pool();
    std::unique_lock<std::mutex> hold(shared.lock);
    const int participants = startHelpers(shared, std::clamp(workers, 1, maxWorkers));
    if (participants == 0) {
        hold.unlock();
        for (int64_t index = 0; index < count; ++index) task(index);
        return;
    }
    shared.task = &task;
    shared.nextIndex = 0;
    shared.count = count;
    shared.participants = participants;
    shared.running = 0;
    shared.failure = nullptr;
    shared.failedIndex = std::numeric_limits<int64_t>::max();
    shared.runStarted.notify_all();
    while (shared.running > 0 || shared.nextIndex < shared.count) {
        shared.taskEnded.wait_for(hold, waitingTick);
        hold.unlock();
        serveCheckpointWhileWaiting();
        hold.lock();
    }
    shared.task = nullptr;
    const std::exception_ptr failure = shared.failure;
    shared.failure = nullptr;
    hold.unlock();
    if (failure) std::rethrow_exception(failure);
}
