#pragma once
// Fixed screen constants. Files store colours and metrics derived from these and readers
// fill absent attributes with them, so they never come from the real screen or style.

#include <cstdint>

namespace vl {

// A colour as 0x00BBGGRR: red in the low byte.
using COLORREF = uint32_t;
constexpr COLORREF Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr uint8_t RedOf(COLORREF c) {
    return uint8_t(c);
}
constexpr uint8_t GreenOf(COLORREF c) {
    return uint8_t(c >> 8);
}
constexpr uint8_t BlueOf(COLORREF c) {
    return uint8_t(c >> 16);
}

constexpr int kScreenDpi = 96;

// System colour codes.
enum SystemColor : uint8_t {
    kColorWindowText = 1,
    kColorWindow = 2,
    kColorButtonFace = 3,
    kColorButtonText = 4,
    kColorButtonHighlight = 5,
    kColorButtonShadow = 6,
    kColorHighlight = 7,
};

// The colour of a system colour code (the low byte of the argument); black for others.
COLORREF GetSystemColor(uint16_t code);
// The default 16-colour palette, black to white.
void GetDefaultPalette16(COLORREF table[16]);

// The screen font's "X" is 8 x 16 pixels: a row is its height plus 2, a column 9 widths.
// The height of a menu bar; panes use it for their controls' height.
constexpr int kMenuBarHeight = 20;

constexpr int kScreenCharWidth = 8;
constexpr int kScreenCharHeight = 16;
constexpr uint16_t GetDefaultRowHeight() {
    return kScreenCharHeight + 2;
}
constexpr uint16_t GetDefaultColumnWidth() {
    return 9 * kScreenCharWidth;
}

} // namespace vl
