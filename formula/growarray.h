#pragma once
// An array of plain records that grows at its end and reports a failed growth instead of
// throwing, so that a caller out of memory can give an error value and go on.

#include <cstddef>
#include <cstdlib>
#include <type_traits>

namespace vl {

template <class T> class CGrowArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    CGrowArray() = default;
    ~CGrowArray() { std::free(items_); }
    CGrowArray(const CGrowArray&) = delete;
    CGrowArray& operator=(const CGrowArray&) = delete;

    // False, changing nothing, when there is no memory for one more item.
    bool Push(const T& item) {
        if (size_ == capacity_ && !Grow()) return false;
        items_[size_++] = item;
        return true;
    }
    void Pop() { --size_; }
    void Truncate(std::size_t size) {
        if (size < size_) size_ = size;
    }
    void Clear() { size_ = 0; }
    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }

private:
    bool Grow() {
        const std::size_t capacity = capacity_ ? capacity_ * 2 : 64;
        void* items = std::realloc(static_cast<void*>(items_), capacity * sizeof(T));
        if (!items) return false;
        items_ = static_cast<T*>(items);
        capacity_ = capacity;
        return true;
    }

    T* items_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace vl
