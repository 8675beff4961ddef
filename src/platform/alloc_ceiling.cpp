// The program's own operator new and delete: the usual heap, plus the
// accounting AllocationCeiling needs on the thread that set one, and a count
// of allocations per thread that tests read to prove a running battle
// allocates nothing.
#include "platform/alloc_ceiling.h"
#include "platform/test_hooks.h"

#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
thread_local bool tCounting = false;
thread_local int64_t tHeld = 0;
thread_local int64_t tLimit = 0;
thread_local uint64_t tAllocations = 0;

void* Allocate(size_t n)
{
    ++tAllocations;
    // Compared unsigned: a request near SIZE_MAX must not wrap to a small one.
    if (tCounting && (tHeld > tLimit || n > static_cast<uint64_t>(tLimit - tHeld))) throw std::bad_alloc();
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    if (tCounting) tHeld += static_cast<int64_t>(malloc_usable_size(p));
    return p;
}

void Free(void* p) noexcept
{
    if (!p) return;
    if (tCounting) tHeld -= static_cast<int64_t>(malloc_usable_size(p));
    std::free(p);
}
}  // namespace

AllocationCeiling::AllocationCeiling(size_t bytes)
{
    tCounting = true;
    tHeld = 0;
    tLimit = static_cast<int64_t>(bytes);
}

AllocationCeiling::~AllocationCeiling() { tCounting = false; }

uint64_t HeapAllocationsOnThisThread() { return tAllocations; }

void* operator new(size_t n) { return Allocate(n); }
void* operator new[](size_t n) { return Allocate(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
