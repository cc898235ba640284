#pragma once
// Large records whose memory comes from AllocBlock, so that running out of it is a null
// result the caller turns into its error code (and tests can make it happen). Only the
// nothrow form of new is offered.

#include "platform/core/alloc.h"

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace vl {

struct BlockAllocated {
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return AllocBlock(size);
    }
    static void* operator new(std::size_t) = delete;
    static void operator delete(void* p) noexcept { FreeBlock(p); }
    static void operator delete(void* p, const std::nothrow_t&) noexcept { FreeBlock(p); }
};

// The new object, or null when its memory could not be had.
template <class T, class... Args> std::unique_ptr<T> NewBlockObject(Args&&... args) {
    return std::unique_ptr<T>(new (std::nothrow) T(std::forward<Args>(args)...));
}

} // namespace vl
