// The worker pool: every index runs once whatever the worker count, on helpers whose
// stack guard is armed; the lowest failing index's exception comes back;
// BOOLFN_WORKERS accepts only whole numbers in range.
#include "base/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/stack_guard.h"

namespace {

class WorkerPoolTest : public ::testing::TestWithParam<int> {};

TEST_P(WorkerPoolTest, RunsEveryIndexOnceOnArmedHelpers) {
    const int workers = GetParam();
    constexpr int64_t count = 200;
    std::vector<std::atomic<int>> runs(count);
    std::atomic<int> unguarded{0};
    std::mutex lock;
    std::set<std::thread::id> threads;
    runOnWorkers(count, workers, [&](int64_t index) {
        runs[static_cast<std::size_t>(index)].fetch_add(1);
        if (stackFloor == nullptr) unguarded.fetch_add(1);
        const std::lock_guard<std::mutex> hold(lock);
        threads.insert(std::this_thread::get_id());
    });
    for (int64_t index = 0; index < count; ++index) {
        EXPECT_EQ(runs[static_cast<std::size_t>(index)].load(), 1) << index;
    }
    EXPECT_EQ(unguarded.load(), 0);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
    EXPECT_LE(threads.size(), static_cast<std::size_t>(workers));
}

TEST_P(WorkerPoolTest, ThrowsTheLowestFailure) {
    const int workers = GetParam();
    std::atomic<int64_t> highest{-1};
    try {
        runOnWorkers(1000, workers, [&](int64_t index) {
            int64_t seen = highest.load();
            while (index > seen && !highest.compare_exchange_weak(seen, index)) {
            }
            if (index == 7 || index == 9) throw std::runtime_error(std::to_string(index));
        });
        FAIL() << "no exception";
    } catch (const std::runtime_error& failure) {
        // 9 can only fail first when 7 was already handed out, so 7 is seen too.
        EXPECT_STREQ(failure.what(), "7");
    }
    EXPECT_GE(highest.load(), 7);
}

INSTANTIATE_TEST_SUITE_P(Workers, WorkerPoolTest, ::testing::Values(1, 2, 4));

TEST(WorkerPoolTest, ASmallerRunAfterALargerOneStillEnds) {
    std::atomic<int> total{0};
    runOnWorkers(50, 4, [&](int64_t) { total.fetch_add(1); });
    runOnWorkers(3, 2, [&](int64_t) { total.fetch_add(1); });
    runOnWorkers(0, 2, [&](int64_t) { total.fetch_add(1); });
    EXPECT_EQ(total.load(), 53);
}

// Helpers started by a wider run stay asleep through a narrower one: the count asked
// for is a limit, whatever ran before. Each task sleeps a little so that every woken
// helper would get a share.
TEST(WorkerPoolTest, ANarrowerRunAfterAWiderOneKeepsToItsCount) {
    runOnWorkers(64, 8, [](int64_t) {});
    for (const int workers : {1, 2, 3}) {
        std::mutex lock;
        std::set<std::thread::id> threads;
        runOnWorkers(40, workers, [&](int64_t) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const std::lock_guard<std::mutex> hold(lock);
            threads.insert(std::this_thread::get_id());
        });
        EXPECT_LE(threads.size(), static_cast<std::size_t>(workers)) << workers;
    }
}

struct NamedCase {
    const char* text;
    int workers;
};

TEST(WorkerPoolTest, ReadsOnlyWholeNumbersInRange) {
    const NamedCase cases[] = {{"1", 1},  {"4", 4}, {"64", 64}, {"0", 0},   {"65", 0}, {"-2", 0},
                               {"2x", 0}, {"", 0},  {" 3", 0},  {"100", 0}, {"08", 8}, {"3.5", 0}};
    for (const NamedCase& named : cases) {
        EXPECT_EQ(workersNamedBy(named.text), named.workers) << '"' << named.text << '"';
    }
    EXPECT_EQ(workersNamedBy(nullptr), 0);
}

TEST(WorkerPoolTest, TheChosenCountOverridesTheEnvironment) {
    setWorkerCount(3);
    EXPECT_EQ(workerCount(), 3);
    setWorkerCount(1000);
    EXPECT_EQ(workerCount(), maxWorkers);
    setWorkerCount(1);
    EXPECT_EQ(workerCount(), 1);
    setWorkerCount(0);
    EXPECT_GE(workerCount(), 1);
}

}  // namespace
