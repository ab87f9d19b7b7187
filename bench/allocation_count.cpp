#include "bench/allocation_count.h"

#include <cstdlib>
#include <new>

namespace {
long Allocations = 0;

void* Allocate(std::size_t size) {
    ++Allocations;
    void* p = std::malloc(size ? size : 1);
    // A benchmark out of memory has nothing sensible left to measure.
    if (p == nullptr) std::abort();
    return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    ++Allocations;
    void* p = nullptr;
    const std::size_t a = static_cast<std::size_t>(alignment) < sizeof(void*) ? sizeof(void*)
                                                                             : static_cast<std::size_t>(alignment);
    if (posix_memalign(&p, a, size ? size : 1) != 0) std::abort();
    return p;
}
}  // namespace

long AllocationCount() { return Allocations; }

// Every form of new and delete, so that all of them pair malloc with free,
// whatever a library in the process calls.
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateAligned(size, a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, a);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
