// A heap allocation counter for the benchmark process (glibc only).
#pragma once

#include <atomic>
#include <cstdint>

extern std::atomic<bool> g_countAllocations;
extern std::atomic<uint64_t> g_allocationCount;

// False when the build could not replace malloc (sanitizers, other C libraries).
bool AllocationCountingAvailable();
