#include "newhook.h"

#include <cstdlib>
#include <new>

namespace {
long g_newFailAfter = -1;
}

namespace vl::modeltest {
void SetNewFailAfter(long successes) {
    g_newFailAfter = successes;
}
} // namespace vl::modeltest

void* operator new(std::size_t size) {
    if (g_newFailAfter == 0) throw std::bad_alloc();
    if (g_newFailAfter > 0) --g_newFailAfter;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
