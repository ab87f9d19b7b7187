#include "bench/allocation_count.h"

#include <cstdlib>
#include <new>

namespace {
long Allocations = 0;
}

long AllocationCount() { return Allocations; }

void* operator new(std::size_t size) {
    ++Allocations;
    void* p = std::malloc(size ? size : 1);
    // A benchmark out of memory has nothing sensible left to measure.
    if (p == nullptr) std::abort();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
