#include "newhook.h"

#include <cstdlib>
#include <new>

namespace {
long g_newFailAfter = -1;
bool g_newFailOnce = false;

// Whether this call fails; a single failure then lets the calls after it succeed.
bool FailsNow() {
    if (g_newFailAfter != 0) return false;
    if (g_newFailOnce) g_newFailAfter = -1;
    return true;
}
} // namespace

namespace vl::modeltest {
void SetNewFailAfter(long successes) {
    g_newFailAfter = successes;
    g_newFailOnce = false;
}
void SetNewFailOnce(long successes) {
    g_newFailAfter = successes;
    g_newFailOnce = true;
}
} // namespace vl::modeltest

void* operator new(std::size_t size) {
    if (FailsNow()) throw std::bad_alloc();
    if (g_newFailAfter > 0) --g_newFailAfter;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

// The non-throwing form too, so that every form of new pairs with the delete below (a
// sanitizer would otherwise see its own allocation freed here).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (FailsNow()) return nullptr;
    if (g_newFailAfter > 0) --g_newFailAfter;
    return std::malloc(size ? size : 1);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
