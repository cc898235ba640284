#pragma once
// A font of the style table and of the settings profile: a face name and its attributes.

#include <cstdint>

namespace vl {

constexpr int kFaceNameSize = 128;

struct FontRecord {
    char faceName[kFaceNameSize] = {}; // empty: the default font's name
    uint8_t family = 0;                // 0 any, 1 Swiss, 2 Modern, 3 Roman, 4 Script, 5 Decorative
    uint8_t size = 0;                  // points; 0: the default font's size
    uint8_t weight = 0;                // 0 normal, 1 thin, 2 bold, 3 heavy
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeout = 0;
    uint8_t charSet = 0;
};

} // namespace vl
