// Reading an xBase table into a new worksheet: field names in the first row, one record a
// row below.
#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/numbertext.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "formula/token.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "platform/core/cp850.h"
#include "platform/core/screen.h"
#include "values/isodate.h"

#include <memory>
#include <vector>

namespace vl {

namespace {

constexpr uint8_t kEndOfData = 0x1A;
constexpr uint32_t kLargeFreeBytes = 1000000;
constexpr uint32_t kFreeShare = 5;

// The style of deleted records: style 0 in red.
bool DeletedRowStyle(StyleTables& styles, uint16_t& index) {
    StyleRecord red = styles.styles[0];
    red.fontRef.colorGiven = 1;
    red.fontRef.color = Rgb(255, 0, 0);
    for (uint16_t i = 0; i < styles.styleCount; ++i) {
        if (CompareStyleRecords(styles.styles[i], red)) {
            index = i;
            return true;
        }
    }
    if (styles.styleCount >= kMaxStyles) return false;
    index = styles.styleCount;
    styles.styles[styles.styleCount++] = red;
    return true;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// Eight digits YYYYMMDD as an ISO date, or false.
bool DateField(std::string_view bytes, std::string& iso) {
    if (bytes.size() < 8) return false;
    int parts[3] = {};
    const int widths[3] = {4, 2, 2};
    std::size_t at = 0;
    for (int p = 0; p < 3; ++p) {
        for (int k = 0; k < widths[p]; ++k, ++at) {
            if (!IsAsciiDigit(bytes[at])) return false;
            parts[p] = parts[p] * 10 + (bytes[at] - '0');
        }
    }
    if (parts[0] < 1 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31)
        return false;
    IsoDateTime date;
    date.hasDate = 1;
    date.year = parts[0];
    date.month = parts[1];
    date.day = parts[2];
    iso = FormatIsoDateTime(date);
    return true;
}

class CTableReader {
public:
    CTableReader(CWorkbook& book, CWorksheet& sheet)
        : book_(book), sheet_(sheet), in_(book.stream), options_(book.xbase) {}

    bool Run() {
        const uint32_t fields = FieldCount(options_);
        if (!book_.stream.Seek(kSeekStart, HeaderLength(options_)))
            return book_.error = book_.stream.GetError(), false;
        for (uint32_t i = 0; i < fields && i < kMaxColumns; ++i) {
            const std::string name = FieldName(Descriptor(options_, i));
            if (!name.empty() && !Put(MakeTextCell(record_, uint16_t(i), 0, name))) return false;
        }
        if (HasMemo(fields)) memoOpen_ = memo_.Open(book_.stream.GetPath(), options_.format);
        std::vector<uint8_t> bytes(RecordLength(options_));
        for (uint32_t row = 1; row < kMaxRows; ++row) {
            if (in_.Peek() == kEndOfData) break;
            const uint32_t n = in_.Read(bytes.data(), uint32_t(bytes.size()));
            if (n == 0) break;
            if (!ReadRecord(bytes.data(), n, row, fields)) return false;
        }
        if (book_.stream.GetError() != kErrorNone)
            return book_.error = book_.stream.GetError(), false;
        return true;
    }

private:
    bool HasMemo(uint32_t fields) const {
        for (uint32_t i = 0; i < fields; ++i)
            if (Descriptor(options_, i)[kFieldTypeByte] == 'M') return true;
        return false;
    }

    bool Put(bool made) {
        if (!made) return true;
        if (sheet_.cells.PutCell(record_.bytes, cursor_)) return true;
        book_.error = kErrorWorksheetMemory;
        return false;
    }

    bool MarkDeleted(uint32_t row) {
        uint16_t style = 0;
        if (!DeletedRowStyle(book_.styles, style)) return true;
        if (!PutFormatRun(sheet_.formats, FormatRun{0, kLastColumn, row, style}, runs_)) {
            book_.error = kErrorWorksheetMemory;
            return false;
        }
        CCellStore& store = sheet_.formats.runs;
        if (store.FreeBytes() > kLargeFreeBytes &&
            uint64_t(store.PageCount()) * kPagePayload < uint64_t(kFreeShare) * store.FreeBytes()) {
            CompactFormatRuns(store, false);
            runs_ = CellCursor{};
        }
        return true;
    }

    // A record that the file's end cuts keeps the fields it holds whole.
    bool ReadRecord(const uint8_t* bytes, uint32_t n, uint32_t row, uint32_t fields) {
        if (bytes[0] == '*' && !MarkDeleted(row)) return false;
        uint32_t at = 1;
        for (uint32_t i = 0; i < fields; ++i) {
            const uint8_t* d = Descriptor(options_, i);
            const uint32_t length = FieldLength(d, options_.format);
            if (at + length > n) break;
            const std::string_view field(reinterpret_cast<const char*>(bytes + at), length);
            at += length;
            if (i >= kMaxColumns) continue;
            if (!Put(MakeField(d, field, uint16_t(i), row))) return false;
        }
        return true;
    }

    bool MakeText(std::string_view text, uint16_t column, uint32_t row) {
        if (text.size() > kMaxCellText) text = text.substr(0, kMaxCellText);
        if (text.empty()) return false;
        if (options_.encoding != 3) return MakeTextCell(record_, column, row, text);
        // A text with a character outside the code page is left out and counted.
        if (!FieldToAnsiExact(text, 3, converted_)) {
            ++book_.refusedTexts;
            return false;
        }
        return MakeTextCell(record_, column, row, converted_);
    }

    bool MakeField(const uint8_t* d, std::string_view field, uint16_t column, uint32_t row) {
        switch (d[kFieldTypeByte]) {
        case 'C':
            return MakeText(TrimRight(field.substr(0, kMaxCellText)), column, row);
        case 'N':
        case 'F':
            // A blank number field holds no value: the export writes an empty cell blank, and
            // reading it as 0 would put a value in every empty cell of the column.
            if (field.find_first_not_of(' ') == std::string_view::npos) return false;
            return MakeNumber(field, column, row);
        case 'I':
        case 'Y':
            return MakeNumberCell(record_, column, row, ReadDecimalField(field));
        case 'L':
            return MakeLogical(field, column, row);
        case 'D':
            return MakeDate(field, column, row);
        case 'M':
            return MakeMemo(field, column, row);
        case 'B':
        case 'G':
        case 'P':
            return MakeTextCell(record_, column, row, "Binary data");
        case 'T':
            return MakeTextCell(record_, column, row, "Time");
        default:
            return false;
        }
    }

    // A number past the double range stays the field's text, as typed: never 0.
    bool MakeNumber(std::string_view field, uint16_t column, uint32_t row) {
        double value = 0;
        if (ReadDecimalFieldValue(field, value)) return MakeNumberCell(record_, column, row, value);
        const std::size_t start = field.find_first_not_of(' ');
        return MakeText(TrimRight(field.substr(start)), column, row);
    }

    // A blank logical stores nothing; an undecided one ('?') stays "?", which the export
    // writes back.
    bool MakeLogical(std::string_view field, uint16_t column, uint32_t row) {
        const char c = field.empty() ? ' ' : field[0];
        if (c == 'Y' || c == 'y' || c == 'T' || c == 't')
            return MakeTextCell(record_, column, row, "Y");
        if (c == 'N' || c == 'n' || c == 'F' || c == 'f')
            return MakeTextCell(record_, column, row, "N");
        if (c == ' ' || c == '\0') return false;
        return MakeText(field.substr(0, 1), column, row);
    }

    bool MakeDate(std::string_view field, uint16_t column, uint32_t row) {
        if (field.empty() || field[0] == ' ' || field[0] == '\0') return false;
        std::string iso;
        if (DateField(field, iso)) return MakeTextCell(record_, column, row, iso);
        if (!MakeTextCell(record_, column, row, "")) return false;
        cell::SetError(record_.bytes, kErrValue >> 4);
        return true;
    }

    bool MakeMemo(std::string_view field, uint16_t column, uint32_t row) {
        const uint32_t block = ReadWholeField(field);
        if (block == 0) return false;
        if (!memoOpen_) return MakeNumberCell(record_, column, row, 0, kErrNull >> 4);
        if (!memo_.Read(block, text_))
            return MakeNumberCell(record_, column, row, 0, kErrNull >> 4);
        return MakeText(text_, column, row);
    }

    CWorkbook& book_;
    CWorksheet& sheet_;
    CByteReader in_;
    const XBaseSaveOptions& options_;
    CMemoReader memo_;
    bool memoOpen_ = false;
    std::string text_;
    std::string converted_;
    CellBuffer record_;
    CellCursor cursor_;
    CellCursor runs_;
};

} // namespace

bool ImportXBase(CWorkbook& workbook) {
    if (!ReadDbfHeader(workbook, workbook.xbase)) return false;
    CWorksheet* sheet = StartImportWorksheet(workbook);
    if (!sheet) return false;
    auto reader = std::make_unique<CTableReader>(workbook, *sheet);
    return reader->Run();
}

} // namespace vl
