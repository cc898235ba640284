// PNG through libpng in memory. libpng reports errors by a jump back to the png_jmpbuf
// set in the one function that called it; no object with a destructor lives in such a
// function, and whatever it makes is kept in a plain record that its caller frees.

#include "platform/core/alloc.h"
#include "platform/core/imagecodecs.h"

#include <cstdlib>
#include <cstring>
#include <png.h>

namespace vl {

namespace {

constexpr size_t kMessageSize = 1024;
constexpr double kMostPngGamma = 2147483647 / 100000.0;

// The error pointer of both directions: the last message and the code it raises.
struct PngMessages {
    char text[kMessageSize];
    uint8_t code;
};

void KeepMessage(png_structp png, png_const_charp message) {
    auto* m = static_cast<PngMessages*>(png_get_error_ptr(png));
    size_t n = 0;
    for (; message && message[n] && n + 1 < kMessageSize; ++n) m->text[n] = message[n];
    m->text[n] = 0;
}

[[noreturn]] void PngErrorHandler(png_structp png, png_const_charp message) {
    KeepMessage(png, message);
    png_longjmp(png, 1);
}

void PngWarningHandler(png_structp png, png_const_charp message) {
    KeepMessage(png, message);
}

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t pos;
};

void PngReadFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* src = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > src->size - src->pos) png_error(png, "");
    std::memcpy(out, src->data + src->pos, count);
    src->pos += count;
}

// A sink that grows by doubling; a failed growth raises a libpng error.
struct MemorySink {
    uint8_t* data;
    size_t capacity;
    size_t pos;
};

void PngWriteToMemory(png_structp png, png_bytep in, size_t count) {
    auto* sink = static_cast<MemorySink*>(png_get_io_ptr(png));
    if (count > sink->capacity - sink->pos) {
        size_t want = sink->capacity ? sink->capacity * 2 : 65536;
        while (want - sink->pos < count) want *= 2;
        auto* grown = static_cast<uint8_t*>(AllocBlock(want));
        if (!grown) png_error(png, "");
        if (sink->pos) std::memcpy(grown, sink->data, sink->pos);
        FreeBlock(sink->data);
        sink->data = grown;
        sink->capacity = want;
    }
    std::memcpy(sink->data + sink->pos, in, count);
    sink->pos += count;
}

void PngFlush(png_structp) {}

uint32_t LoadU32BE(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

struct ReadState {
    png_structp png;
    png_infop info;
    png_infop end;
    PngMessages messages;
    MemorySource source;
    PackedDib* dib;
    png_bytepp rows;
    bool keepAlpha;
    COLORREF background;
};

void SetTransforms(ReadState& s) {
    png_structp png = s.png;
    png_infop info = s.info;
    const int type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    const bool trns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE || depth < 8 || trns) png_set_expand(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!s.keepAlpha) {
        png_color_16p fileBackground = nullptr;
        if (png_get_bKGD(png, info, &fileBackground)) {
            png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
        } else {
            png_color_16 given{};
            given.red = RedOf(s.background);
            given.green = GreenOf(s.background);
            given.blue = BlueOf(s.background);
            given.gray = given.green;
            png_set_background(png, &given, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
        }
    }
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma)) png_set_gamma(png, 2.2, fileGamma);
}

// The setjmp frame of reading: plain data only.
bool ReadPng(ReadState& s) {
    if (setjmp(png_jmpbuf(s.png))) {
        if (!s.messages.code) s.messages.code = kPngReadError;
        return false;
    }
    png_set_read_fn(s.png, &s.source, PngReadFromMemory);
    png_set_sig_bytes(s.png, 8);
    png_read_info(s.png, s.info);
    const uint32_t w = png_get_image_width(s.png, s.info);
    const uint32_t h = png_get_image_height(s.png, s.info);
    SetTransforms(s);
    png_read_update_info(s.png, s.info);
    const uint32_t channels = png_get_channels(s.png, s.info);
    const size_t rowBytes = png_get_rowbytes(s.png, s.info);
    if (png_get_bit_depth(s.png, s.info) != 8 || (channels != 3 && channels != 4) ||
        rowBytes != size_t(w) * channels) {
        s.messages.code = kPngReadError;
        return false;
    }
    if (!ImageSizeAllowed(w, h, channels * 8)) {
        s.messages.code = kImageOutOfMemory;
        return false;
    }
    const size_t stride = size_t(DibStride(w, channels * 8));
    *s.dib = PackedDib::Allocate(kDibHeaderSize + stride * h);
    s.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * h));
    if (!*s.dib || !s.rows) {
        s.messages.code = kImageOutOfMemory;
        return false;
    }
    uint8_t* p = s.dib->Data();
    WriteDibHeader(p, int32_t(w), -int32_t(h), uint16_t(channels * 8), uint32_t(stride * h));
    for (uint32_t y = 0; y < h; ++y) s.rows[y] = p + kDibHeaderSize + stride * y;
    png_read_image(s.png, s.rows);
    png_read_end(s.png, s.end);
    return true;
}

struct WriteState {
    png_structp png;
    png_infop info;
    PngMessages messages;
    MemorySink sink;
    png_bytepp rows;
};

// The setjmp frame of writing: plain data only.
bool WritePng(WriteState& s, const DibLayout& l, double gamma) {
    if (setjmp(png_jmpbuf(s.png))) return false;
    png_set_write_fn(s.png, &s.sink, PngWriteToMemory, PngFlush);
    png_set_IHDR(s.png, s.info, uint32_t(l.width), l.Rows(), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_gAMA(s.png, s.info, gamma);
    png_write_info(s.png, s.info);
    png_set_bgr(s.png);
    png_write_image(s.png, s.rows);
    png_write_end(s.png, nullptr);
    return true;
}

} // namespace

PackedDib LoadPng(const uint8_t* data, size_t size, bool keepAlpha, COLORREF background,
                  ErrorCode* error) {
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        *error = kPngReadError;
        return {};
    }
    // A picture beyond the size limit is out of memory, before libpng refuses it as broken;
    // one with no pixels is broken, and libpng says so.
    if (size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0 && LoadU32BE(data + 16) != 0 &&
        LoadU32BE(data + 20) != 0 &&
        !ImageSizeAllowed(LoadU32BE(data + 16), LoadU32BE(data + 20), 24)) {
        *error = kImageOutOfMemory;
        return {};
    }
    PackedDib dib;
    ReadState s;
    std::memset(&s, 0, sizeof s);
    s.source = {data, size, 8};
    s.dib = &dib;
    s.keepAlpha = keepAlpha;
    s.background = background;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s.messages, PngErrorHandler,
                                   PngWarningHandler);
    if (s.png) {
        s.info = png_create_info_struct(s.png);
        s.end = png_create_info_struct(s.png);
    }
    bool ok = false;
    if (s.png && s.info && s.end) {
        png_set_user_limits(s.png, kMaxImageSide, kMaxImageSide);
        png_set_chunk_cache_max(s.png, 1000);
        png_set_chunk_malloc_max(s.png, 64u << 20);
        ok = ReadPng(s);
    } else {
        s.messages.code = kImageOutOfMemory;
    }
    png_destroy_read_struct(s.png ? &s.png : nullptr, s.info ? &s.info : nullptr,
                            s.end ? &s.end : nullptr);
    std::free(s.rows);
    if (!ok) {
        *error = s.messages.code;
        return {};
    }
    *error = 0;
    return dib;
}

bool SavePng(const PackedDib& dib, std::vector<uint8_t>& out, double gamma, ErrorCode* error) {
    DibLayout l;
    if (!ReadDibLayout(dib, l) || l.bitCount != 24 || l.compression != kDibCompressionNone) {
        *error = kPngWriteError;
        return false;
    }
    if (gamma == 0) gamma = 1 / 2.2;
    // The file holds the gamma in 100,000ths within 32 bits; libpng refuses what its range
    // leaves out, but a value past 32 bits (or no number) must not reach its conversion.
    if (!(gamma > 0 && gamma <= kMostPngGamma)) {
        *error = kPngWriteError;
        return false;
    }
    WriteState s;
    std::memset(&s, 0, sizeof s);
    const uint32_t n = l.Rows();
    s.rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * n));
    if (!s.rows) {
        *error = kImageOutOfMemory;
        return false;
    }
    // A bottom-up block stores its top row last.
    uint8_t* rows = const_cast<uint8_t*>(dib.Data()) + l.rowsOffset;
    for (uint32_t y = 0; y < n; ++y) s.rows[y] = rows + l.stride * (l.height < 0 ? y : n - 1 - y);
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &s.messages, PngErrorHandler,
                                    PngWarningHandler);
    if (s.png) s.info = png_create_info_struct(s.png);
    bool ok = false;
    uint8_t code = kImageOutOfMemory;
    if (s.png && s.info) {
        ok = WritePng(s, l, gamma);
        code = kPngWriteError;
    }
    png_destroy_write_struct(s.png ? &s.png : nullptr, s.info ? &s.info : nullptr);
    std::free(s.rows);
    if (ok) out.assign(s.sink.data, s.sink.data + s.sink.pos);
    FreeBlock(s.sink.data);
    *error = ok ? 0 : code;
    return ok;
}

} // namespace vl
