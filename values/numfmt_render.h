#pragma once
// The output of the number and date renderers: one item per character produced, with
// the kind that tells the painter what it is (digits and plain characters, separators,
// blanks as wide as a zero, fill and space characters, colours).

#include "core/settings.h"
#include "values/numfmt_compile.h"

#include <cstdint>
#include <string>

namespace vl {

// A "?" placeholder that found no digit: a blank as wide as a zero.
constexpr uint32_t kRenderedBlank = kFmtSpace;

// One character cell, in the order of the painter's record: the kind (what the canvas
// calls the flags), an attribute byte (0 for every cell the formatters add) and the
// character. Left uninitialised by default, like FormatToken.
struct RenderedItem {
    uint32_t kind;
    uint8_t attribute;
    uint8_t ch;
};

struct RenderedList {
    RenderedItem items[kMaxFormatTokens];
    uint16_t count = 0;
    uint8_t overflow = 0;
    uint32_t kinds = 0;        // the kinds of the items present
    uint16_t literalCount = 0; // items whose kind has the literal bit
    uint8_t hasColor = 0;
    uint32_t color = 0; // 0x00BBGGRR

    void Clear() {
        count = 0;
        overflow = 0;
        kinds = 0;
        literalCount = 0;
        hasColor = 0;
        color = 0;
    }
    // False (and the overflow flag set) when the list is full.
    bool Add(uint32_t kind, char ch, uint8_t attribute = 0) {
        if (count >= kMaxFormatTokens) {
            overflow = 1;
            return false;
        }
        items[count++] = RenderedItem{kind, attribute, uint8_t(ch)};
        kinds |= kind;
        if (kind & kFmtLiteral) ++literalCount;
        return true;
    }
    // Puts an item before position `at` (the painter breaks lines so); later items move up.
    bool Insert(uint16_t at, uint32_t kind, char ch, uint8_t attribute = 0);
    bool AddText(std::string_view text, uint32_t kind = kFmtLiteral) {
        for (char c : text)
            if (!Add(kind, c)) return false;
        return true;
    }
    // The characters that are text: digits and plain characters, separators, the
    // exponent letter and the fraction slash.
    std::string Text() const;
};

// Converts separator items (stored with the internal characters) to those of `set`.
void ApplySeparators(RenderedList& list, const SeparatorSet& set);
// Records the colour of the section's last colour item.
void ApplySectionColor(RenderedList& list, const FormatSection& section);

} // namespace vl
