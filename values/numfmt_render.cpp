#include "values/numfmt_render.h"

namespace vl {

namespace {

constexpr uint32_t kTextKinds = kFmtLiteral | kFmtThousands | kFmtDecimal | kFmtExponent |
                                kFmtSlash | kFmtTimeSep | kFmtDateSep;

} // namespace

bool RenderedList::Insert(uint16_t at, uint32_t kind, char ch, uint8_t attribute) {
    if (count >= kMaxFormatTokens) {
        overflow = 1;
        return false;
    }
    if (at > count) at = count;
    for (uint16_t k = count; k > at; --k) items[k] = items[k - 1];
    items[at] = RenderedItem{kind, attribute, uint8_t(ch)};
    ++count;
    kinds |= kind;
    if (kind & kFmtLiteral) ++literalCount;
    return true;
}

std::string RenderedList::Text() const {
    std::string text;
    text.reserve(count);
    for (uint16_t k = 0; k < count; ++k)
        if (items[k].kind & kTextKinds) text += char(items[k].ch);
    return text;
}

void ApplySeparators(RenderedList& list, const SeparatorSet& set) {
    for (uint16_t k = 0; k < list.count; ++k) {
        RenderedItem& item = list.items[k];
        switch (item.kind) {
        case kFmtDecimal:
            item.ch = uint8_t(set.decimal);
            break;
        case kFmtThousands:
            item.ch = uint8_t(set.thousands);
            break;
        case kFmtTimeSep:
            item.ch = uint8_t(set.time);
            break;
        case kFmtDateSep:
            item.ch = uint8_t(set.date);
            break;
        default:
            break;
        }
    }
}

void ApplySectionColor(RenderedList& list, const FormatSection& section) {
    for (uint8_t k = 0; k < section.bracketCount; ++k) {
        const BracketItem& item = section.brackets[k];
        if (item.kind == kFmtColorName || item.kind == kFmtColorHex) {
            list.hasColor = 1;
            list.color = item.value;
        }
    }
}

} // namespace vl
