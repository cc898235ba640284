#include "model/cellrecord.h"

#include "platform/core/cp1252.h"

#include <cstring>

namespace vl {

namespace cell {

uint32_t CheckedLength(const uint8_t* r) {
    uint32_t n = 0;
    if (IsText(r)) {
        n = kTextHead + TextLength(r);
    } else if (IsNumber(r)) {
        n = kNumberRecordSize;
    } else {
        n = kFormulaHead + FormulaLength(r);
        if (ResultFlags(r) & kResultText) {
            // The cached text's length word must itself lie inside a page.
            if (n + 2 > kPagePayload) return 0;
            n += 2 + LoadU16(r + n);
        }
    }
    return n <= kPagePayload ? n : 0;
}

} // namespace cell

namespace {

void StorePosition(uint8_t* p, uint8_t flags, uint16_t column, uint32_t row) {
    StoreU8(p, flags);
    StoreU16(p + 1, column);
    StoreU32(p + 3, row);
}

void StoreText(uint8_t* p, std::string_view text) {
    StoreU16(p, uint16_t(text.size()));
    if (!text.empty()) std::memcpy(p + 2, text.data(), text.size());
}

} // namespace

bool MakeNumberCell(CellBuffer& out, uint16_t column, uint32_t row, double value, uint8_t error) {
    StorePosition(out.bytes, uint8_t(kCellNumber | (error << 4)), column, row);
    // Zero is stored as +0 whatever made it, so that no cell shows or passes on "-0".
    StoreF64(out.bytes + 7, value == 0 ? 0.0 : value);
    out.size = kNumberRecordSize;
    return true;
}

bool MakeTextCell(CellBuffer& out, uint16_t column, uint32_t row, std::string_view text) {
    out.size = 0;
    if (text.size() > kMaxCellText) return false;
    StorePosition(out.bytes, kCellText, column, row);
    StoreText(out.bytes + 7, text);
    out.size = kTextHead + uint32_t(text.size());
    return true;
}

bool MakeFormulaCell(CellBuffer& out, uint16_t column, uint32_t row, const FormulaHead& head,
                     std::string_view formula, std::string_view cachedText) {
    out.size = 0;
    const bool withText = (head.resultFlags & kResultText) != 0;
    const size_t size = kFormulaHead + formula.size() + (withText ? 2 + cachedText.size() : 0);
    if (size > kPagePayload) return false;
    uint8_t* p = out.bytes;
    StorePosition(p, head.flags, column, row);
    StoreU16(p + 7, head.arrayWidth);
    StoreU32(p + 9, head.arrayHeight);
    StoreU8(p + 13, head.visits);
    StoreU8(p + 14, head.resultFlags);
    StoreU16(p + 15, head.waitingColumn);
    StoreU32(p + 17, head.waitingRow);
    StoreU32(p + 21, head.waitingWorksheet);
    StoreF64(p + 25, head.cachedNumber);
    StoreText(p + 33, formula);
    if (withText) StoreText(p + kFormulaHead + formula.size(), cachedText);
    out.size = uint32_t(size);
    return true;
}

int CompareNoCase(const char* a, const char* b) {
    if (!a) a = "";
    if (!b) b = "";
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(CharUpper1252(*a));
        const auto cb = static_cast<unsigned char>(CharUpper1252(*b));
        if (ca != cb) return ca > cb ? 1 : -1;
        if (ca == 0) return 0;
    }
}

FormulaHead ReadFormulaHead(const uint8_t* r) {
    FormulaHead head;
    head.flags = cell::Flags(r);
    head.arrayWidth = cell::ArrayWidth(r);
    head.arrayHeight = cell::ArrayHeight(r);
    head.visits = cell::Visits(r);
    head.resultFlags = cell::ResultFlags(r);
    head.waitingColumn = cell::WaitingColumn(r);
    head.waitingRow = cell::WaitingRow(r);
    head.waitingWorksheet = cell::WaitingWorksheet(r);
    head.cachedNumber = cell::CachedNumber(r);
    return head;
}

} // namespace vl
