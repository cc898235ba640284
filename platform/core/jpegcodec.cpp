// JPEG through libjpeg-turbo in memory. The library reports errors by a jump back to the
// setjmp of the one function that called it; no object with a destructor lives in such a
// function, and everything it makes is kept in a plain record that its caller frees.

#include "platform/core/bytes.h"
#include "platform/core/imagecodecs.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE declared before it.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace vl {

namespace {

struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void JpegErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}
void JpegQuiet(j_common_ptr) {}

void InitErrors(JpegErrors& e) {
    jpeg_std_error(&e.mgr);
    e.mgr.error_exit = JpegErrorExit;
    e.mgr.output_message = JpegQuiet;
}

// What the decoding step makes, freed by its caller.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    JpegErrors errors;
    PackedDib* dib;
    uint8_t* cmykRow;
    ErrorCode error;
};

uint8_t Scale(uint32_t a, uint32_t b) {
    return uint8_t((a * b + 127) / 255);
}

// Four-channel rows (CMYK or YCCK, read as CMYK) become blue-green-red. Files with the
// Adobe marker store the inks inverted.
void CmykToBgr(const uint8_t* in, uint8_t* out, uint32_t width, bool inverted) {
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        uint32_t c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = Scale(y, k);
        out[1] = Scale(m, k);
        out[2] = Scale(c, k);
    }
}

void DecodeRows(DecodeState& s, uint8_t* rows, size_t stride) {
    jpeg_decompress_struct& ci = s.cinfo;
    while (ci.output_scanline < ci.output_height) {
        uint8_t* row = rows + stride * ci.output_scanline;
        JSAMPROW target = s.cmykRow ? s.cmykRow : row;
        jpeg_read_scanlines(&ci, &target, 1);
        if (s.cmykRow) CmykToBgr(s.cmykRow, row, ci.output_width, ci.saw_Adobe_marker);
    }
}

// The setjmp frame of reading: plain data only.
bool Decode(DecodeState& s, const uint8_t* data, size_t size) {
    jpeg_decompress_struct& ci = s.cinfo;
    ci.err = &s.errors.mgr;
    if (setjmp(s.errors.jump)) {
        if (!s.error) s.error = kJpegReadError;
        return false;
    }
    jpeg_create_decompress(&ci);
    jpeg_mem_src(&ci, data, static_cast<unsigned long>(size));
    jpeg_read_header(&ci, TRUE);
    if (ci.num_components == 1 || ci.num_components == 3) {
        ci.out_color_space = JCS_EXT_BGR;
    } else if (ci.num_components == 4) {
        ci.out_color_space = JCS_CMYK;
    } else {
        s.error = kJpegChannels;
        return false;
    }
    if (!ImageSizeAllowed(ci.image_width, ci.image_height, 24)) {
        s.error = kImageOutOfMemory;
        return false;
    }
    jpeg_start_decompress(&ci);
    const uint32_t w = ci.output_width, h = ci.output_height;
    const size_t stride = size_t(DibStride(w, 24));
    *s.dib = PackedDib::Allocate(kDibHeaderSize + stride * h);
    if (ci.num_components == 4) s.cmykRow = static_cast<uint8_t*>(std::malloc(size_t(w) * 4));
    if (!*s.dib || (ci.num_components == 4 && !s.cmykRow)) {
        s.error = kImageOutOfMemory;
        return false;
    }
    WriteDibHeader(s.dib->Data(), int32_t(w), -int32_t(h), 24, uint32_t(stride * h));
    DecodeRows(s, s.dib->Data() + kDibHeaderSize, stride);
    jpeg_finish_decompress(&ci);
    return true;
}

struct EncodeState {
    jpeg_compress_struct cinfo;
    JpegErrors errors;
    unsigned char* buffer;
    unsigned long length;
};

// The setjmp frame of writing: plain data only.
bool Encode(EncodeState& s, const uint8_t* rows, const DibLayout& l, int quality) {
    jpeg_compress_struct& ci = s.cinfo;
    ci.err = &s.errors.mgr;
    if (setjmp(s.errors.jump)) return false;
    jpeg_create_compress(&ci);
    jpeg_mem_dest(&ci, &s.buffer, &s.length);
    ci.image_width = uint32_t(l.width);
    ci.image_height = l.Rows();
    ci.input_components = 3;
    ci.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&ci);
    jpeg_set_quality(&ci, quality, TRUE);
    jpeg_start_compress(&ci, TRUE);
    const uint32_t n = l.Rows();
    while (ci.next_scanline < n) {
        const uint32_t stored = l.height < 0 ? ci.next_scanline : n - 1 - ci.next_scanline;
        JSAMPROW row = const_cast<uint8_t*>(rows + l.stride * stored);
        jpeg_write_scanlines(&ci, &row, 1);
    }
    jpeg_finish_compress(&ci);
    return true;
}

} // namespace

PackedDib LoadJpeg(const uint8_t* data, size_t size, ErrorCode* error) {
    PackedDib dib;
    DecodeState s;
    std::memset(&s, 0, sizeof s);
    InitErrors(s.errors);
    s.dib = &dib;
    if (!data || size == 0) {
        *error = kJpegReadError;
        return {};
    }
    const bool ok = Decode(s, data, size);
    jpeg_destroy_decompress(&s.cinfo);
    std::free(s.cmykRow);
    if (!ok) {
        *error = s.error;
        return {};
    }
    *error = 0;
    return dib;
}

bool SaveJpeg(const PackedDib& dib, std::vector<uint8_t>& out, uint8_t quality, ErrorCode* error) {
    DibLayout l;
    if (!ReadDibLayout(dib, l) || l.bitCount != 24 || l.compression != kDibCompressionNone) {
        *error = kJpegWriteError;
        return false;
    }
    EncodeState s;
    std::memset(&s, 0, sizeof s);
    InitErrors(s.errors);
    const bool ok = Encode(s, dib.Data() + l.rowsOffset, l, quality ? quality : 75);
    jpeg_destroy_compress(&s.cinfo);
    if (ok) out.assign(s.buffer, s.buffer + s.length);
    std::free(s.buffer);
    *error = ok ? 0 : kJpegWriteError;
    return ok;
}

} // namespace vl
