// Writing a worksheet as a delimited or fixed-width text file.
#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/workbook.h"

namespace vl {

namespace {

class CTextWriter {
public:
    CTextWriter(CWorkbook& book, const CWorksheet& sheet)
        : book_(book), sheet_(sheet), s_(book.textFile), writer_(book), out_(writer_.Buffer()),
          separator_(TextFileSymbol(s_.separator, s_.encoding)),
          quote_(TextFileSymbol(s_.quotingSymbol, s_.encoding)) {}

    bool Run() {
        CellCursor cursor{kAdvance, sheet_.cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            if (!WriteCell(r)) return false;
            if (!writer_.Step()) return false;
        }
        return writer_.Flush();
    }

private:
    bool WriteCell(const uint8_t* r) {
        const uint16_t c = cell::Column(r);
        const uint32_t row = cell::Row(r);
        if (row > row_) {
            for (uint32_t k = row_; k < row; ++k) out_ += "\r\n";
            row_ = row;
            next_ = 0;
        }
        if (s_.useFixedColWidths) {
            for (uint32_t k = next_; k < c; ++k) out_.append(s_.columnWidths[k], ' ');
        } else {
            for (uint32_t k = next_ == 0 ? c : c - next_ + 1; k > 0; --k) out_ += separator_;
        }
        const uint16_t style = StyleIndexAt(sheet_.formats, row, c, runs_);
        const StandardFormat& format = GetStyleRecord(book_.styles, style).numberFormat;
        std::string text;
        if (!TextFileCellText(r, format, text)) {
            // A cell left out would shift every later field of its line.
            book_.error = kErrorWorksheetMemory;
            return false;
        }
        const std::string bytes = AnsiToFileText(text, s_.encoding);
        if (s_.useFixedColWidths && s_.columnWidths[c] != 0)
            WriteFixed(bytes, s_.columnWidths[c]);
        else if (s_.useFixedColWidths)
            out_ += bytes;
        else
            WriteDelimited(bytes);
        next_ = uint32_t(c) + 1;
        return true;
    }

    // A width counts characters: a UTF-8 character is never cut in two.
    void WriteFixed(const std::string& bytes, uint32_t width) {
        std::size_t end = 0;
        uint32_t characters = 0;
        while (end < bytes.size() && characters < width) {
            ++end;
            if (s_.encoding == 1)
                while (end < bytes.size() && (uint8_t(bytes[end]) & 0xC0) == 0x80) ++end;
            ++characters;
        }
        out_.append(bytes, 0, end);
        out_.append(width - characters, ' ');
    }

    // A line break is quoted too, so that the text stays one record for every reader, and
    // a tab, which readers take as a blank outside quotes. The symbols are the file's bytes,
    // found whole (a UTF-8 sequence never starts inside another).
    void WriteDelimited(const std::string& bytes) {
        if (bytes.find(separator_) == std::string::npos &&
            bytes.find(quote_) == std::string::npos &&
            bytes.find_first_of("\r\n\t") == std::string::npos) {
            out_ += bytes;
            return;
        }
        out_ += quote_;
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t next = std::min(bytes.find(quote_, at), bytes.size());
            out_.append(bytes, at, next - at);
            if (next == bytes.size()) break;
            out_ += quote_;
            out_ += quote_;
            at = next + quote_.size();
        }
        out_ += quote_;
    }

    CWorkbook& book_;
    const CWorksheet& sheet_;
    const TextFileSettings& s_;
    CByteWriter writer_;
    std::string& out_;
    CellCursor runs_;
    const std::string separator_; // the symbols as the file's bytes
    const std::string quote_;
    uint32_t row_ = 0;
    uint32_t next_ = 0;
};

} // namespace

bool ExportTextFile(CWorkbook& workbook, const CWorksheet& sheet) {
    if (!TextSeparatorUsable(workbook.textFile)) {
        workbook.error = kErrorFileFormat;
        return false;
    }
    CTextWriter writer(workbook, sheet);
    return writer.Run();
}

} // namespace vl
