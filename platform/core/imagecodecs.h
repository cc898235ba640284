#pragma once
// Readers of BMP, JPEG and PNG files held in memory and writers of JPEG and PNG, all over
// packed bitmaps. Every reader checks what it is given before it writes, returns an empty
// block and sets the error byte on failure, and frees whatever it made on the way.

#include "platform/core/errorcode.h"
#include "platform/core/packeddib.h"
#include "platform/core/screen.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vl {

// A BMP file: the plain form comes back, run-length rows expanded, the rows directly behind
// the colour table and the masks of a longer header behind a 40-byte one.
PackedDib LoadBmp(const uint8_t* data, size_t size, ErrorCode* error);

// A JPEG file as a 24-bit top-down picture (grey, colour and four-channel files alike).
PackedDib LoadJpeg(const uint8_t* data, size_t size, ErrorCode* error);
// A 24-bit picture as JPEG bytes; quality 0 stands for 75.
bool SaveJpeg(const PackedDib& dib, std::vector<uint8_t>& out, uint8_t quality, ErrorCode* error);

// A PNG file as a 24-bit top-down picture, its transparency composed onto the file's
// background colour or else `background`; with `keepAlpha` a 32-bit one that keeps it.
PackedDib LoadPng(const uint8_t* data, size_t size, bool keepAlpha, COLORREF background,
                  ErrorCode* error);
// A 24-bit picture as PNG bytes with the gamma written into the file (0 stands for 1/2.2).
bool SavePng(const PackedDib& dib, std::vector<uint8_t>& out, double gamma, ErrorCode* error);

} // namespace vl
