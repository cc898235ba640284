#pragma once
// The version-6 reader takes the whole file into memory and reads it through this cursor,
// which knows how many bytes are left (of the file, or of one item's body) and never reads
// past them. A read that finds too few bytes consumes nothing, yields zero and leaves the
// cursor failed; callers check Ok() before they keep what they read.

#include "platform/core/bytes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vl {

class CV6Input {
public:
    CV6Input() = default;
    CV6Input(const uint8_t* data, size_t size)
        : start_(data), p_(data), end_(data + size), whole_(size) {}

    bool Ok() const { return ok_; }
    size_t Left() const { return size_t(end_ - p_); }
    size_t Position() const { return size_t(p_ - start_); }
    bool AtEnd() const { return p_ == end_; }
    // The size of the whole file this input was cut from: what a load may spend is bounded
    // by it.
    size_t Whole() const { return whole_; }

    uint8_t U8() { return Has(1) ? *p_++ : 0; }
    uint16_t U16() { return Has(2) ? Advance(LoadU16(p_), 2) : 0; }
    uint32_t U32() { return Has(4) ? Advance(LoadU32(p_), 4) : 0; }
    int32_t I32() { return int32_t(U32()); }
    double F64() { return Has(8) ? Advance(LoadF64(p_), 8) : 0.0; }

    // The next `n` bytes in place, or null when fewer are left.
    const uint8_t* Bytes(size_t n) {
        if (!Has(n)) return nullptr;
        const uint8_t* at = p_;
        p_ += n;
        return at;
    }
    void Skip(size_t n) { Bytes(n); }
    // A text of `n` bytes left in place.
    std::string_view Text(size_t n) {
        const uint8_t* at = Bytes(n);
        return at ? std::string_view(reinterpret_cast<const char*>(at), n) : std::string_view();
    }
    // The next `n` bytes as an input of their own; this one goes on after them.
    CV6Input Take(size_t n) {
        const uint8_t* at = Bytes(n);
        if (!at) return Failed();
        CV6Input part(at, n);
        part.whole_ = whole_;
        return part;
    }
    // Whether `count` records of at least `size` bytes each can still follow; a count that
    // cannot fails the cursor before anything is read or allocated for it.
    bool Holds(uint64_t count, uint64_t size) {
        if (size != 0 && count > Left() / size) ok_ = false;
        return ok_;
    }

private:
    bool Has(size_t n) {
        if (ok_ && n <= Left()) return true;
        ok_ = false;
        return false;
    }
    template <class T> T Advance(T value, size_t n) {
        p_ += n;
        return value;
    }
    static CV6Input Failed() {
        CV6Input in;
        in.ok_ = false;
        return in;
    }

    const uint8_t* start_ = nullptr;
    const uint8_t* p_ = nullptr;
    const uint8_t* end_ = nullptr;
    size_t whole_ = 0;
    bool ok_ = true;
};

} // namespace vl
