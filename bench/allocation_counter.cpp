// In its own file so the compiler never sees a new and its matching delete inlined together.
#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
// Relaxed: only the count matters, not its order against other memory.
std::atomic<std::uint64_t> gAllocations{0};
}  // namespace

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace lorvane::bench {

std::uint64_t AllocationsSoFar() { return gAllocations.load(std::memory_order_relaxed); }

}  // namespace lorvane::bench
