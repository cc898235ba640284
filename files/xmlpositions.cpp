// Positions in the XML form: R1C1 texts with lower-case letters counted from 1. Every
// position must lie inside the grid before anything indexes a table with it.

#include "files/xmlelements.h"
#include "formula/cellref.h"

namespace vl {

namespace {

// One reference at the start of `text`: its flags and length; 0 flags when it is none or
// lies outside the grid.
uint8_t ScanPosition(std::string_view text, uint16_t baseColumn, uint32_t baseRow, CellRef& ref,
                     std::size_t& end) {
    const uint8_t flags = ParseR1C1Ref(text, baseColumn, baseRow, ref, end);
    return (flags & kRefOutOfRange) ? 0 : flags;
}

} // namespace

bool ReadXmlCellPosition(CXmlReader& r, uint16_t baseColumn, uint32_t baseRow, uint16_t& column,
                         uint32_t& row) {
    CellRef ref;
    std::size_t end = 0;
    const std::string_view text = r.Value();
    const uint8_t flags = ScanPosition(text, baseColumn, baseRow, ref, end);
    if ((flags & kRefCell) != kRefCell || end != text.size()) return r.Fail(kErrorXmlAttribute);
    column = ref.column;
    row = ref.row;
    return true;
}

bool ReadXmlRowPosition(CXmlReader& r, uint32_t& row) {
    CellRef ref;
    std::size_t end = 0;
    const std::string_view text = r.Value();
    const uint8_t flags = ScanPosition(text, 0, 0, ref, end);
    if (!(flags & kRefRow) || (flags & kRefColumn) || end != text.size())
        return r.Fail(kErrorXmlAttribute);
    row = ref.row;
    return true;
}

bool ReadXmlColumnRange(CXmlReader& r, uint16_t& first, uint16_t& last, bool range) {
    const std::string_view text = r.Value();
    std::size_t at = 0;
    for (uint16_t* out : {&first, &last}) {
        CellRef ref;
        std::size_t end = 0;
        const uint8_t flags = ScanPosition(text.substr(at), 0, 0, ref, end);
        if (!(flags & kRefColumn) || (flags & kRefRow)) return r.Fail(kErrorXmlAttribute);
        *out = ref.column;
        at += end;
        if (!range) {
            last = first;
            break;
        }
        if (out == &first) {
            if (at >= text.size() || text[at] != ':') return r.Fail(kErrorXmlAttribute);
            ++at;
        }
    }
    return at == text.size() || r.Fail(kErrorXmlAttribute);
}

} // namespace vl
