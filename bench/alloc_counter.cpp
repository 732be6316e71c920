// Counts heap allocations while g_countAllocations is set, by standing in for
// glibc's malloc family and forwarding to its real entry points. The loader's
// promise is a handful of blocks per load, never one per record.
#include "alloc_counter.h"

#include <cstddef>

std::atomic<bool> g_countAllocations{false};
std::atomic<uint64_t> g_allocationCount{0};

#if defined(DARVEX_COUNT_ALLOCS)

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);

void* malloc(size_t size) {
    if (g_countAllocations.load(std::memory_order_relaxed)) g_allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) {
    if (g_countAllocations.load(std::memory_order_relaxed)) g_allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}

void* realloc(void* block, size_t size) {
    if (g_countAllocations.load(std::memory_order_relaxed)) g_allocationCount.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

void free(void* block) { __libc_free(block); }
}

bool AllocationCountingAvailable() { return true; }

#else

bool AllocationCountingAvailable() { return false; }

#endif
