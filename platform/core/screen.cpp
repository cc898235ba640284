#include "platform/core/screen.h"

namespace vl {

COLORREF GetSystemColor(uint16_t code) {
    switch (uint8_t(code)) {
    case kColorWindowText:
        return Rgb(0, 0, 0);
    case kColorWindow:
        return Rgb(255, 255, 255);
    case kColorButtonFace:
        return Rgb(212, 208, 200);
    case kColorButtonText:
        return Rgb(0, 0, 0);
    case kColorButtonHighlight:
        return Rgb(255, 255, 255);
    case kColorButtonShadow:
        return Rgb(128, 128, 128);
    case kColorHighlight:
        return Rgb(10, 36, 106);
    case kColorHighlightText:
        return Rgb(255, 255, 255);
    default:
        return Rgb(0, 0, 0);
    }
}

void GetDefaultPalette16(COLORREF table[16]) {
    static constexpr COLORREF kPalette[16] = {
        Rgb(0, 0, 0),       Rgb(128, 0, 0),   Rgb(0, 128, 0),   Rgb(128, 128, 0),
        Rgb(0, 0, 128),     Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(128, 128, 128),
        Rgb(192, 192, 192), Rgb(255, 0, 0),   Rgb(0, 255, 0),   Rgb(255, 255, 0),
        Rgb(0, 0, 255),     Rgb(255, 0, 255), Rgb(0, 255, 255), Rgb(255, 255, 255)};
    for (int i = 0; i < 16; ++i) table[i] = kPalette[i];
}

} // namespace vl
