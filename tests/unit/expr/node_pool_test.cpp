// The node pool across threads: nodes made on one thread and freed on another come
// back to the making thread's allocations instead of piling up where they were
// freed. (Sanitizer builds use the general heap, which needs no such test.)
#include "expr/node_pool.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool plainHeap = true;
#else
constexpr bool plainHeap = false;
#endif

constexpr std::size_t nodeBytes = 24;

TEST(NodePoolTest, NodesFreedOnAnotherThreadAreMadeAgain) {
    if (plainHeap) GTEST_SKIP() << "the general heap serves the nodes";
    constexpr int rounds = 6;
    constexpr std::size_t count = 50000;
    std::set<void*> everMade;
    for (int round = 0; round < rounds; ++round) {
        std::vector<void*> made;
        for (std::size_t i = 0; i < count; ++i) made.push_back(nodePoolAllocate(nodeBytes));
        everMade.insert(made.begin(), made.end());
        std::thread freeing([&made] {
            for (void* memory : made) nodePoolRelease(memory, nodeBytes);
        });
        freeing.join();
    }
    // Without the shared batches every round would take fresh blocks; with them
    // only the first round and the slots kept back on the freeing threads do.
    EXPECT_LT(everMade.size(), 2 * count);
}

TEST(NodePoolTest, ASlotIsNeverHandedOutTwice) {
    if (plainHeap) GTEST_SKIP() << "the general heap serves the nodes";
    std::vector<void*> first;
    for (int i = 0; i < 30000; ++i) first.push_back(nodePoolAllocate(nodeBytes));
    std::thread freeing([&first] {
        for (void* memory : first) nodePoolRelease(memory, nodeBytes);
    });
    freeing.join();
    std::set<void*> live;
    std::vector<void*> second;
    for (int i = 0; i < 30000; ++i) {
        void* memory = nodePoolAllocate(nodeBytes);
        EXPECT_TRUE(live.insert(memory).second);
        second.push_back(memory);
    }
    for (void* memory : second) nodePoolRelease(memory, nodeBytes);
}

}  // namespace
