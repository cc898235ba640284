// Writing a worksheet as an xBase table: the first row names the fields, every row below is
// one record, and long texts go to the memo file.
#include "core/settings.h"
#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/numbertext.h"
#include "exchange/xbase.h"
#include "exchange/xbasevalue.h"
#include "files/savetarget.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"
#include "platform/core/cp850.h"
#include "platform/core/number.h"
#include "values/numberinput.h"
#include "values/numfmt_date.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace vl {

namespace {

constexpr char kEndOfDescriptors = 0x0D;
constexpr char kEndOfData = 0x1A;
constexpr int kFloatDecimals = 6;
constexpr uint32_t kDateLength = 8;
constexpr uint32_t kBlockWidth = 10;
constexpr int kGeneralDigits = 15;

struct FieldSlot {
    const uint8_t* descriptor;
    uint32_t offset;
    uint32_t length;
};

class CTableWriter {
public:
    CTableWriter(CWorkbook& book, const CWorksheet& sheet, const std::string& tablePath,
                 const std::string& memoPath)
        : book_(book), sheet_(sheet), options_(book.xbase), writer_(book),
          memo_(memoPath, tablePath, book.xbase.format), memoPath_(memoPath) {}

    bool Run() {
        if (!PlanFields()) return false;
        if (!WriteHeader()) return false;
        std::string& out = writer_.Buffer();
        CellCursor cursor{kAdvance, sheet_.cells.FirstPage(), 0};
        const uint8_t* r = NextCellRecord(cursor);
        const uint32_t records = RecordCount(options_);
        for (uint32_t row = 1; row <= records; ++row) {
            std::string record(recordLength_, ' ');
            for (; r && cell::Row(r) <= row; r = NextCellRecord(cursor)) {
                if (cell::Row(r) == row && cell::Column(r) < slots_.size() &&
                    !WriteField(record, slots_[cell::Column(r)], r))
                    return false;
            }
            out += record;
            if (!writer_.Step()) return false;
        }
        if (options_.format == kXBaseDBase3 || options_.format == kXBaseDBase4) out += kEndOfData;
        if (!writer_.Flush()) return false;
        ErrorCode error = kErrorNone;
        if (!memo_.Finish(error)) return book_.error = error, false;
        return true;
    }

private:
    bool PlanFields() {
        uint16_t firstColumn = 0, lastColumn = 0;
        uint32_t firstRow = 0, lastRow = 0;
        if (!sheet_.cells.GetUsedRange(&firstColumn, &lastColumn, &firstRow, &lastRow)) lastRow = 0;
        StoreU32(options_.header + 4, lastRow);
        const uint32_t fields = FieldCount(options_);
        uint64_t length = 1;
        for (uint32_t i = 0; i < fields; ++i) {
            const uint8_t* d = Descriptor(options_, i);
            slots_.push_back({d, uint32_t(length), FieldLength(d, options_.format)});
            length += slots_.back().length;
            hasMemo_ = hasMemo_ || d[kFieldTypeByte] == 'M';
        }
        if (length > kLargestRecord) {
            book_.error = kErrorTooManyFields;
            return false;
        }
        recordLength_ = uint32_t(length);
        StoreU16(options_.header + 10, uint16_t(length));
        return true;
    }

    bool WriteHeader() {
        std::string& out = writer_.Buffer();
        out.append(reinterpret_cast<const char*>(options_.header), kXBaseHeaderSize);
        out.append(reinterpret_cast<const char*>(options_.fieldDescriptors),
                   slots_.size() * kDescriptorSize);
        if (hasMemo_) {
            // The memo is replaced like any saved file (not when another holds it): its new
            // file waits aside until the table takes its place with it.
            SaveTarget target;
            CFileStream none, guard;
            if (const ErrorCode refused =
                    PrepareSaveTarget(memoPath_.c_str(), none, target, guard)) {
                book_.error = refused;
                return false;
            }
            guard.Close();
            ErrorCode error = kErrorNone;
            if (!memo_.Prepare(error)) return book_.error = error, false;
        }
        out += kEndOfDescriptors;
        const std::size_t headerLength = HeaderLength(options_);
        if (out.size() < headerLength) out.append(headerLength - out.size(), '\0');
        return writer_.Step();
    }

    std::string ShownText(const uint8_t* r) {
        const uint16_t style = StyleIndexAt(sheet_.formats, cell::Row(r), cell::Column(r), runs_);
        std::string text;
        FormatCellValue(r, GetStyleRecord(book_.styles, style).numberFormat, text);
        return text;
    }

    static double NumberOf(const XBaseValue& value) {
        if (value.kind != XBaseValue::kText || value.error) return value.number;
        double number = 0;
        uint8_t kind = 0;
        uint8_t params[kStandardFormatParams] = {};
        ParseNumberText(value.text, number, kind, params, UserSeparators());
        return number;
    }

    static void Place(std::string& record, const FieldSlot& slot, std::string_view bytes) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), slot.length);
        std::memcpy(record.data() + slot.offset, bytes.data(), n);
    }

    bool WriteField(std::string& record, const FieldSlot& slot, const uint8_t* r) {
        const XBaseValue value = CellXBaseValue(r);
        if (value.kind == XBaseValue::kNone) return true;
        const uint8_t* d = slot.descriptor;
        switch (d[kFieldTypeByte]) {
        case 'C': {
            std::string text =
                value.kind == XBaseValue::kNumber ? ShownText(r) : std::string(value.text);
            if (options_.encoding == 3) AnsiToOemInPlace(text);
            Place(record, slot, text);
            return true;
        }
        case 'N':
            return WriteNumber(record, slot, NumberOf(value), d[kFieldDecimalsByte], true);
        case 'F':
            // Six decimals at least; more where the field says so.
            return WriteNumber(record, slot, NumberOf(value),
                               std::max<int>(kFloatDecimals, d[kFieldDecimalsByte]), false);
        case 'Y':
            return WriteNumber(record, slot, NumberOf(value), kFloatDecimals, false);
        case 'I':
            return WriteNumber(record, slot, NumberOf(value), 0, false);
        case 'L':
            Place(record, slot, LogicalOf(value));
            return true;
        case 'D':
            Place(record, slot, DateOf(value));
            return true;
        case 'M':
            return WriteMemo(record, slot, value);
        case 'B':
        case 'G':
        case 'P':
        case 'T':
            // Read as a placeholder text, such a field of a table is written back blank.
            return true;
        default:
            // A type no value is written to would leave the field blank: the value lost.
            book_.error = kErrorFieldType;
            return false;
        }
    }

    // A number the field cannot hold fails the export rather than be stored as another
    // value: a Numeric field takes its number at its own decimals whole; the others, whose
    // decimals are fixed, may lose the decimals they cannot hold but no value beyond them.
    // No field writes a number that is not zero as zero.
    bool WriteNumber(std::string& record, const FieldSlot& slot, double number, int decimals,
                     bool declared) {
        const std::string text = FixedWidthNumber(number, int(slot.length), decimals);
        const std::string whole = std::isfinite(number) ? FormatNumberF(number, decimals) : "";
        const bool fits = declared ? !whole.empty() && whole.size() <= slot.length
                                   : text.find('*') == std::string::npos &&
                                         ReadDecimalField(text) == ReadDecimalField(whole);
        if (!fits || (number != 0 && ReadDecimalField(text) == 0)) {
            book_.error = kErrorFieldOverflow;
            return false;
        }
        Place(record, slot, text);
        return true;
    }

    static std::string_view LogicalOf(const XBaseValue& value) {
        char c = 0;
        if (value.kind == XBaseValue::kNumber || value.error)
            c = value.number > 0 ? 'Y' : 'N';
        else
            c = value.text.empty() ? ' ' : value.text[0];
        if (c == 'Y' || c == 'y' || c == 'T' || c == 't') return "Y";
        if (c == 'N' || c == 'n' || c == 'F' || c == 'f') return "N";
        if (c == '?' && value.text.size() == 1) return "?";
        return " ";
    }

    // A value that is no date leaves the field blank.
    static std::string DateOf(const XBaseValue& value) {
        std::string text;
        if (value.kind != XBaseValue::kText || value.error ||
            !FormatDateText(value.text, "yyyymmdd", text, &InternalSeparators()) ||
            text.size() != kDateLength)
            return std::string(kDateLength, ' ');
        return text;
    }

    // A memo that cannot be written fails the export: its field would be left empty.
    bool WriteMemo(std::string& record, const FieldSlot& slot, const XBaseValue& value) {
        std::string text = value.kind == XBaseValue::kNumber
                               ? FormatNumberG(value.number, kGeneralDigits)
                               : std::string(value.text);
        if (options_.encoding == 3) AnsiToOemInPlace(text);
        uint32_t block = 0;
        ErrorCode error = kErrorNone;
        if (!memo_.Write(text, block, error)) {
            book_.error = error;
            return false;
        }
        const std::string number = std::to_string(block);
        Place(record, slot,
              std::string(kBlockWidth - std::min<std::size_t>(number.size(), kBlockWidth), ' ') +
                  number);
        return true;
    }

    CWorkbook& book_;
    const CWorksheet& sheet_;
    XBaseSaveOptions& options_;
    CByteWriter writer_;
    CMemoWriter memo_;
    std::string memoPath_;
    std::vector<FieldSlot> slots_;
    uint32_t recordLength_ = 1;
    bool hasMemo_ = false;
    CellCursor runs_;
};

} // namespace

bool ExportXBase(CWorkbook& workbook, const CWorksheet& sheet, const std::string& tablePath,
                 const std::string& memoPath) {
    if (!workbook.xbase.fieldDescriptors &&
        !BuildXBaseFieldList(workbook, sheet, workbook.xbase, workbook.xbase.format))
        return false;
    auto writer = std::make_unique<CTableWriter>(workbook, sheet, tablePath, memoPath);
    return writer->Run();
}

std::vector<std::string> XBaseMemoTargets(const std::string& tablePath) {
    return {FollowLinks(MemoFilePath(tablePath, kXBaseDBase3)),
            FollowLinks(MemoFilePath(tablePath, kXBaseFoxPro))};
}

void FinishXBaseSave(const std::string& tablePath) {
    FinishPairedSave(FollowLinks(tablePath), XBaseMemoTargets(tablePath));
}

bool SaveXBaseFile(CWorkbook& workbook, const CWorksheet& sheet, const std::string& path,
                   const std::function<bool(CWorkbook&)>& fieldList) {
    FinishXBaseSave(path);
    std::string memo;
    bool memoWritten = false;
    const auto write = [&](CWorkbook& book) {
        if (!fieldList(book)) return false;
        // The memo's name follows the format the field list is made for.
        memo = FollowLinks(MemoFilePath(path, book.xbase.format));
        // A table whose name is its memo's would be replaced by its own memo texts.
        if (memo == FollowLinks(path)) {
            book.error = kStreamOpenWrite;
            return false;
        }
        RemoveStaleSaves(memo);
        if (!ExportXBase(book, sheet, path, memo)) return false;
        memoWritten = CFileStream::FileExists(PairPath(memo).c_str());
        return true;
    };
    const auto placeMemo = [&] {
        if (!memoWritten) return true;
        const std::string pending = PairPath(memo);
        struct stat st;
        // The new memo file takes the old one's permissions, as the table does.
        if (stat(memo.c_str(), &st) == 0) chmod(pending.c_str(), st.st_mode & 07777);
        return rename(pending.c_str(), memo.c_str()) == 0;
    };
    const bool ok = SaveAside(workbook, path.c_str(), write, placeMemo);
    // Failed before the memo was put in place: the old pair stays whole, the new memo goes.
    if (!ok && !memo.empty()) CFileStream::DeleteFile(PairPath(memo).c_str(), nullptr);
    return ok;
}

} // namespace vl
