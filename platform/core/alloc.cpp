#include "platform/core/alloc.h"

#include <cstdlib>

namespace vl {

namespace {
long g_failAfter = -1;
long g_live = 0;
long g_allocations = 0;
} // namespace

void* AllocBlock(std::size_t size) {
    if (g_failAfter == 0) return nullptr;
    if (g_failAfter > 0) --g_failAfter;
    void* p = std::malloc(size);
    if (p) {
        ++g_live;
        ++g_allocations;
    }
    return p;
}

void FreeBlock(void* block) {
    if (!block) return;
    --g_live;
    std::free(block);
}

void SetAllocFailAfter(long successes) {
    g_failAfter = successes;
}
long LiveBlockCount() {
    return g_live;
}
long AllocationCount() {
    return g_allocations;
}

} // namespace vl
