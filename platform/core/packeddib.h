#pragma once
// Every picture travels as a packed bitmap: one block with a bitmap header, the colour
// table if any and the pixel rows padded to 4 bytes, blue first. The block knows its
// length, so that nothing reading it trusts the header alone.

#include "platform/core/errorcode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl {

// One side of a picture, and all of its bytes, may not pass these.
constexpr int64_t kMaxImageSide = 32767;
constexpr uint64_t kMaxImageBytes = uint64_t(1) << 30;

constexpr uint32_t kDibHeaderSize = 40;
constexpr uint32_t kDibCompressionNone = 0;
constexpr uint32_t kDibCompressionRle8 = 1;
constexpr uint32_t kDibCompressionRle4 = 2;
constexpr uint32_t kDibCompressionBitFields = 3;

class PackedDib {
public:
    PackedDib() = default;
    ~PackedDib();
    PackedDib(PackedDib&& other) noexcept;
    PackedDib& operator=(PackedDib&& other) noexcept;
    PackedDib(const PackedDib&) = delete;
    PackedDib& operator=(const PackedDib&) = delete;

    // A zeroed block, or an empty one when memory runs out.
    static PackedDib Allocate(size_t size);

    explicit operator bool() const { return data_ != nullptr; }
    uint8_t* Data() { return data_; }
    const uint8_t* Data() const { return data_; }
    size_t Size() const { return size_; }
    void Reset();

private:
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

// A header as it reads: where the rows start and how long each is.
struct DibLayout {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0; // negative: the first row is the top one
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    uint32_t tableEntries = 0; // colour table entries before the rows, masks not counted
    uint32_t masks[3] = {};    // red, green, blue of the bit fields
    size_t tableOffset = 0;
    size_t rowsOffset = 0;
    size_t stride = 0;
    uint32_t Rows() const { return uint32_t(height < 0 ? -int64_t(height) : height); }
};

// Bytes of a row of `width` pixels at `bits` per pixel, padded to 4.
uint64_t DibStride(int64_t width, uint32_t bits);
// True when a picture of that size and depth stays within the image limits.
bool ImageSizeAllowed(int64_t width, int64_t height, uint32_t bits);

// True when the block holds a header of 40, 108 or 124 bytes of one plane, an uncompressed
// or bit-field form of 1, 4, 8, 16, 24 or 32 bits, a colour table within the bit count and
// every row inside the block.
bool ReadDibLayout(const uint8_t* data, size_t size, DibLayout& layout);
inline bool ReadDibLayout(const PackedDib& dib, DibLayout& layout) {
    return dib && ReadDibLayout(dib.Data(), dib.Size(), layout);
}

// The picture as 0xFFRRGGBB pixels, top row first; false when its header fails the check.
// 32-bit pixels are taken opaque, whatever their fourth byte holds.
bool DibToPixels32(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int32_t& width,
                   int32_t& height);
inline bool DibToPixels32(const PackedDib& dib, std::vector<uint32_t>& pixels, int32_t& width,
                          int32_t& height) {
    return dib && DibToPixels32(dib.Data(), dib.Size(), pixels, width, height);
}

// A 40-byte header of a top-down (negative height) or bottom-up picture with no colour
// table, its image size the rows' bytes; the block must hold 40 bytes.
void WriteDibHeader(uint8_t* p, int32_t width, int32_t height, uint16_t bits, uint32_t imageSize);

} // namespace vl
