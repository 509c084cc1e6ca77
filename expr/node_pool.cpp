// Free lists for the few node sizes, fed from large blocks that live until exit.
// Each thread has its own lists, so that functions normalised on several threads
// share no allocator state; a node freed on another thread than the one that made
// it joins that thread's lists, which is sound because no block is ever returned.
// So that nodes made on one thread and freed on another (a helper's result freed by
// the main thread) do not pile up on the freeing thread while the making thread
// takes ever new blocks, a list that grows past two batches hands one batch to a
// shared stack, from which a thread whose list is empty takes before it cuts a new
// block; the lock is taken once per batch.
#include "expr/node_pool.h"

#include <mutex>
#include <new>
#include <vector>

// GCC announces AddressSanitizer with a macro, Clang only through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define BOOLFN_PLAIN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BOOLFN_PLAIN_HEAP 1
#endif
#endif

#ifdef BOOLFN_PLAIN_HEAP

void* nodePoolAllocate(std::size_t size) {
    return ::operator new(size);
}
void nodePoolRelease(void* memory, std::size_t size) {
    ::operator delete(memory, size);
}

#else

namespace {

constexpr std::size_t sizeStep = 8;
constexpr std::size_t classCount = 8;  // sizes up to 64 bytes
constexpr std::size_t blockBytes = 1 << 16;
constexpr std::size_t batchSlots = 4096;

struct FreeSlot {
    FreeSlot* next;
};

struct NodePool {
    FreeSlot* freeLists[classCount] = {};
    std::size_t freeCounts[classCount] = {};
    char* blockCursor = nullptr;
    std::size_t blockLeft = 0;
};

thread_local NodePool pool;

// Batches of batchSlots free slots, by size class, shared by all threads.
struct SharedBatches {
    std::mutex lock;
    std::vector<FreeSlot*> batches[classCount];
};

SharedBatches& sharedBatches() {
    static SharedBatches* shared = new SharedBatches;  // outlives every thread's nodes
    return *shared;
}

void handOverBatch(std::size_t sizeClass) {
    FreeSlot* first = pool.freeLists[sizeClass];
    FreeSlot* last = first;
    for (std::size_t i = 1; i < batchSlots; ++i) last = last->next;
    pool.freeLists[sizeClass] = last->next;
    pool.freeCounts[sizeClass] -= batchSlots;
    last->next = nullptr;
    SharedBatches& shared = sharedBatches();
    const std::lock_guard<std::mutex> hold(shared.lock);
    shared.batches[sizeClass].push_back(first);
}

bool takeBatch(std::size_t sizeClass) {
    SharedBatches& shared = sharedBatches();
    const std::lock_guard<std::mutex> hold(shared.lock);
    std::vector<FreeSlot*>& batches = shared.batches[sizeClass];
    if (batches.empty()) return false;
    pool.freeLists[sizeClass] = batches.back();
    pool.freeCounts[sizeClass] = batchSlots;
    batches.pop_back();
    return true;
}

}  // namespace

void* nodePoolAllocate(std::size_t size) {
    std::size_t sizeClass = (size + sizeStep - 1) / sizeStep;
    if (sizeClass >= classCount) return ::operator new(size);
    if (pool.freeLists[sizeClass] == nullptr) takeBatch(sizeClass);
    if (FreeSlot* slot = pool.freeLists[sizeClass]) {
        pool.freeLists[sizeClass] = slot->next;
        --pool.freeCounts[sizeClass];
        return slot;
    }
    std::size_t bytes = sizeClass * sizeStep;
    if (pool.blockLeft < bytes) {
        pool.blockCursor = static_cast<char*>(::operator new(blockBytes));
        pool.blockLeft = blockBytes;
    }
    void* memory = pool.blockCursor;
    pool.blockCursor += bytes;
    pool.blockLeft -= bytes;
    return memory;
}

void nodePoolRelease(void* memory, std::size_t size) {
    std::size_t sizeClass = (size + sizeStep - 1) / sizeStep;
    if (sizeClass >= classCount) {
        ::operator delete(memory);
        return;
    }
    auto* slot = static_cast<FreeSlot*>(memory);
    slot->next = pool.freeLists[sizeClass];
    pool.freeLists[sizeClass] = slot;
    if (++pool.freeCounts[sizeClass] >= 2 * batchSlots) handOverBatch(sizeClass);
}

#endif
