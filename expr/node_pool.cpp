// Free lists for the few node sizes, fed from large blocks that live until exit.
// Each thread has its own lists, so that functions normalised on several threads
// share no allocator state; a node freed on another thread than the one that made
// it joins that thread's lists, which is sound because no block is ever returned.
#include "expr/node_pool.h"

#include <new>

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

struct FreeSlot {
    FreeSlot* next;
};

struct NodePool {
    FreeSlot* freeLists[classCount] = {};
    char* blockCursor = nullptr;
    std::size_t blockLeft = 0;
};

thread_local NodePool pool;

}  // namespace

void* nodePoolAllocate(std::size_t size) {
    std::size_t sizeClass = (size + sizeStep - 1) / sizeStep;
    if (sizeClass >= classCount) return ::operator new(size);
    if (FreeSlot* slot = pool.freeLists[sizeClass]) {
        pool.freeLists[sizeClass] = slot->next;
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
}

#endif
