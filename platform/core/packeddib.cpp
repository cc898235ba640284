#include "platform/core/packeddib.h"

#include "platform/core/alloc.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <utility>

namespace vl {

PackedDib::~PackedDib() {
    Reset();
}

PackedDib::PackedDib(PackedDib&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

PackedDib& PackedDib::operator=(PackedDib&& other) noexcept {
    if (this != &other) {
        Reset();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

PackedDib PackedDib::Allocate(size_t size) {
    PackedDib dib;
    if (size == 0 || size > kMaxImageBytes + 4096) return dib;
    dib.data_ = static_cast<uint8_t*>(AllocBlock(size));
    if (dib.data_) {
        dib.size_ = size;
        std::memset(dib.data_, 0, size);
    }
    return dib;
}

void PackedDib::Reset() {
    FreeBlock(data_);
    data_ = nullptr;
    size_ = 0;
}

uint64_t DibStride(int64_t width, uint32_t bits) {
    return ((uint64_t(width) * bits + 31) / 32) * 4;
}

bool ImageSizeAllowed(int64_t width, int64_t height, uint32_t bits) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return false;
    return DibStride(width, bits) * uint64_t(height) <= kMaxImageBytes;
}

namespace {

bool ValidBitCount(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The three masks a 16- or 32-bit picture reads its channels through when it has none.
void DefaultMasks(uint16_t bits, uint32_t masks[3]) {
    if (bits == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    } else {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
}

} // namespace

bool ReadDibLayout(const uint8_t* data, size_t size, DibLayout& l) {
    if (!data || size < kDibHeaderSize) return false;
    l = DibLayout{};
    l.headerSize = LoadU32(data);
    if (l.headerSize != 40 && l.headerSize != 108 && l.headerSize != 124) return false;
    if (size < l.headerSize) return false;
    l.width = LoadI32(data + 4);
    l.height = LoadI32(data + 8);
    l.bitCount = LoadU16(data + 14);
    l.compression = LoadU32(data + 16);
    l.colorsUsed = LoadU32(data + 32);
    if (LoadU16(data + 12) != 1 || !ValidBitCount(l.bitCount)) return false;
    const bool fields = l.compression == kDibCompressionBitFields;
    if (l.compression != kDibCompressionNone && !fields) return false;
    if (fields && l.bitCount != 16 && l.bitCount != 32) return false;
    const uint32_t limit = l.bitCount <= 8 ? (1u << l.bitCount) : 256;
    if (l.colorsUsed > limit) return false;
    if (!ImageSizeAllowed(l.width, l.Rows(), l.bitCount)) return false;
    l.tableEntries = l.bitCount <= 8 && l.colorsUsed == 0 ? limit : l.colorsUsed;
    size_t after = l.headerSize;
    DefaultMasks(l.bitCount, l.masks);
    if (fields) {
        // A 40-byte header keeps its masks behind it; the longer ones inside.
        const size_t at = l.headerSize == kDibHeaderSize ? kDibHeaderSize : 40;
        if (l.headerSize == kDibHeaderSize) after += 12;
        if (size < after) return false;
        for (int i = 0; i < 3; ++i) l.masks[i] = LoadU32(data + at + 4 * i);
    }
    l.tableOffset = after;
    l.rowsOffset = after + size_t(l.tableEntries) * 4;
    l.stride = size_t(DibStride(l.width, l.bitCount));
    return uint64_t(l.rowsOffset) + uint64_t(l.stride) * l.Rows() <= size;
}

namespace {

// A channel read through its mask, spread to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
    }
    uint32_t Read(uint32_t v) const { return max ? ((v & mask) >> shift) * 255 / max : 0; }
};

uint32_t TableColor(const uint8_t* data, const DibLayout& l, uint32_t index) {
    if (index >= l.tableEntries) return 0xFF000000;
    const uint8_t* q = data + l.tableOffset + 4 * size_t(index);
    return 0xFF000000 | (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
}

void ConvertRow(const uint8_t* data, const DibLayout& l, const uint8_t* row, uint32_t* out,
                const Channel ch[3]) {
    for (int32_t x = 0; x < l.width; ++x) {
        uint32_t v = 0;
        switch (l.bitCount) {
        case 1:
            out[x] = TableColor(data, l, (row[x >> 3] >> (7 - (x & 7))) & 1);
            continue;
        case 4:
            out[x] = TableColor(data, l, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15);
            continue;
        case 8:
            out[x] = TableColor(data, l, row[x]);
            continue;
        case 24:
            out[x] = 0xFF000000 | (uint32_t(row[3 * x + 2]) << 16) |
                     (uint32_t(row[3 * x + 1]) << 8) | row[3 * x];
            continue;
        case 16:
            v = LoadU16(row + 2 * x);
            break;
        default:
            v = LoadU32(row + 4 * x);
            break;
        }
        out[x] = 0xFF000000 | (ch[0].Read(v) << 16) | (ch[1].Read(v) << 8) | ch[2].Read(v);
    }
}

} // namespace

bool DibToPixels32(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int32_t& width,
                   int32_t& height) {
    DibLayout l;
    if (!ReadDibLayout(data, size, l)) return false;
    const Channel ch[3] = {Channel(l.masks[0]), Channel(l.masks[1]), Channel(l.masks[2])};
    const uint32_t rows = l.Rows();
    pixels.assign(size_t(l.width) * rows, 0);
    for (uint32_t y = 0; y < rows; ++y) {
        const uint32_t stored = l.height < 0 ? y : rows - 1 - y;
        ConvertRow(data, l, data + l.rowsOffset + l.stride * stored,
                   pixels.data() + size_t(y) * l.width, ch);
    }
    width = l.width;
    height = int32_t(rows);
    return true;
}

void WriteDibHeader(uint8_t* p, int32_t width, int32_t height, uint16_t bits, uint32_t imageSize) {
    std::memset(p, 0, kDibHeaderSize);
    StoreU32(p, kDibHeaderSize);
    StoreI32(p + 4, width);
    StoreI32(p + 8, height);
    StoreU16(p + 12, 1);
    StoreU16(p + 14, bits);
    StoreU32(p + 20, imageSize);
}

} // namespace vl
