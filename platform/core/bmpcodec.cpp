#include "platform/core/bytes.h"
#include "platform/core/imagecodecs.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

constexpr size_t kFileHeaderSize = 14;

// Expands run-length rows into a zeroed block of `rows` rows of `stride` bytes, bottom row
// first. Runs and deltas that leave the picture are cut; the input is never read past.
class RleExpander {
public:
    RleExpander(uint8_t* out, size_t stride, uint32_t rows, int32_t width, bool four)
        : out_(out), stride_(stride), rows_(rows), width_(width), four_(four) {}

    void Run(const uint8_t* p, size_t n) {
        size_t i = 0;
        while (i + 1 < n && y_ < rows_) {
            const uint8_t count = p[i], value = p[i + 1];
            i += 2;
            if (count) {
                for (int k = 0; k < count; ++k)
                    Put(four_ ? (k & 1 ? value & 15 : value >> 4) : value);
                continue;
            }
            if (value == 0) {
                x_ = 0;
                ++y_;
            } else if (value == 1) {
                return;
            } else if (value == 2) {
                if (i + 1 >= n) return;
                x_ += p[i];
                y_ += p[i + 1];
                i += 2;
            } else {
                const size_t bytes = four_ ? (value + 1) / 2 : value;
                for (int k = 0; k < value; ++k) {
                    const size_t at = i + (four_ ? k / 2 : k);
                    if (at >= n) return;
                    Put(four_ ? (k & 1 ? p[at] & 15 : p[at] >> 4) : p[at]);
                }
                i += (bytes + 1) & ~size_t(1);
            }
        }
    }

private:
    void Put(uint8_t v) {
        if (y_ < rows_ && x_ < int64_t(width_)) {
            uint8_t* row = out_ + stride_ * y_;
            if (four_)
                row[x_ / 2] |= uint8_t((x_ & 1) ? v : v << 4);
            else
                row[x_] = v;
        }
        ++x_;
    }

    uint8_t* out_;
    size_t stride_;
    uint32_t rows_;
    int32_t width_;
    bool four_;
    int64_t x_ = 0;
    uint32_t y_ = 0;
};

struct BmpHeader {
    uint32_t size;
    int32_t width, height;
    uint16_t bits;
    uint32_t compression, colorsUsed;
};

bool CheckHeader(const uint8_t* info, size_t avail, BmpHeader& h) {
    if (avail < 40) return false;
    h.size = LoadU32(info);
    if (h.size != 40 && h.size != 108 && h.size != 124) return false;
    if (avail < h.size || LoadU16(info + 12) != 1) return false;
    h.width = LoadI32(info + 4);
    h.height = LoadI32(info + 8);
    h.bits = LoadU16(info + 14);
    h.compression = LoadU32(info + 16);
    h.colorsUsed = LoadU32(info + 32);
    switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    switch (h.compression) {
    case kDibCompressionNone:
        break;
    case kDibCompressionRle8:
        if (h.bits != 8 || h.height < 0) return false;
        break;
    case kDibCompressionRle4:
        if (h.bits != 4 || h.height < 0) return false;
        break;
    case kDibCompressionBitFields:
        if (h.bits != 16 && h.bits != 32) return false;
        break;
    default:
        return false;
    }
    const uint32_t limit = h.bits <= 8 ? (1u << h.bits) : 256;
    return h.colorsUsed <= limit;
}

} // namespace

PackedDib LoadBmp(const uint8_t* data, size_t size, ErrorCode* error) {
    *error = kBadBitmap;
    if (!data || size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') return {};
    // A size field past the data reads no further than the data.
    const uint32_t declared = LoadU32(data + 2);
    size_t avail = size - kFileHeaderSize;
    if (declared >= kFileHeaderSize) avail = std::min<size_t>(avail, declared - kFileHeaderSize);
    const uint8_t* info = data + kFileHeaderSize;
    BmpHeader h;
    if (!CheckHeader(info, avail, h)) return {};
    const int64_t rows = h.height < 0 ? -int64_t(h.height) : h.height;
    // A picture of no pixels is broken, not too large for memory.
    if (h.width < 1 || rows < 1) return {};
    if (!ImageSizeAllowed(h.width, rows, h.bits)) {
        *error = kImageOutOfMemory;
        return {};
    }
    const bool fields = h.compression == kDibCompressionBitFields;
    const size_t maskBytes = fields ? 12 : 0;
    const size_t tableAt = h.size + (h.size == 40 ? maskBytes : 0);
    const uint32_t entries = h.bits <= 8 && h.colorsUsed == 0 ? (1u << h.bits) : h.colorsUsed;
    const size_t tableBytes = size_t(entries) * 4;
    if (tableAt + tableBytes > avail) return {};
    // The rows start where the file header says, unless that points into the table.
    const uint32_t offBits = LoadU32(data + 10);
    size_t rowsAt = tableAt + tableBytes;
    if (offBits >= kFileHeaderSize && offBits - kFileHeaderSize > rowsAt)
        rowsAt = offBits - kFileHeaderSize;
    if (rowsAt > avail) return {};
    const size_t stride = size_t(DibStride(h.width, h.bits));
    const size_t rowBytes = stride * size_t(rows);
    const bool rle = h.compression == kDibCompressionRle8 || h.compression == kDibCompressionRle4;
    if (!rle && rowsAt + rowBytes > avail) return {};
    const size_t outRows = kDibHeaderSize + maskBytes + tableBytes;
    PackedDib dib = PackedDib::Allocate(outRows + rowBytes);
    if (!dib) {
        *error = kImageOutOfMemory;
        return {};
    }
    uint8_t* out = dib.Data();
    WriteDibHeader(out, h.width, h.height, h.bits, uint32_t(rowBytes));
    StoreU32(out + 16, fields ? kDibCompressionBitFields : kDibCompressionNone);
    StoreU32(out + 32, h.colorsUsed);
    if (fields) std::memcpy(out + kDibHeaderSize, info + 40, 12);
    std::memcpy(out + kDibHeaderSize + maskBytes, info + tableAt, tableBytes);
    if (rle) {
        RleExpander(out + outRows, stride, uint32_t(rows), h.width, h.bits == 4)
            .Run(info + rowsAt, avail - rowsAt);
    } else {
        std::memcpy(out + outRows, info + rowsAt, rowBytes);
    }
    *error = 0;
    return dib;
}

} // namespace vl
