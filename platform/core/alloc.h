#pragma once
// The allocator of the engine's pages and large fixed records. It returns null on
// failure (callers turn that into their error codes), and tests can make it fail.

#include <cstddef>

namespace vl {

void* AllocBlock(std::size_t size);
void FreeBlock(void* block);

// Test hook: the next `successes` allocations succeed, then every one fails until
// the hook is reset with a negative count (the default: never fail).
void SetAllocFailAfter(long successes);

// Blocks handed out and not yet freed, for leak and reuse checks in tests.
long LiveBlockCount();
// Allocations made since the start, so tests can see that reuse allocated nothing.
long AllocationCount();

} // namespace vl
