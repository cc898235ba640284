// Reading a delimited or fixed-width text file into a new worksheet.
#include "core/settings.h"
#include "exchange/foreignfile.h"
#include "exchange/numbertext.h"
#include "exchange/textfile.h"
#include "formula/cellinput.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "model/formatstore.h"
#include "model/styles.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

// Trailing blanks follow a value as they follow a number.
std::string_view WithoutTrailingBlanks(std::string_view text) {
    while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A date or a time typed is kept as its ISO text, the value a date cell holds.
bool IsDateKind(uint8_t kind) {
    return kind == STD_STYLE_DATE || kind == STD_STYLE_TIME || kind == STD_STYLE_DATE_TIME;
}

} // namespace

namespace {

constexpr int kCR = '\r';
constexpr int kLF = '\n';

class CTextReader {
public:
    CTextReader(CWorkbook& book, CWorksheet& sheet, CEvalContext& ctx)
        : book_(book), sheet_(sheet), ctx_(ctx), in_(book.stream), s_(book.textFile),
          separator_(TextFileSymbol(s_.separator, s_.encoding)),
          quote_(TextFileSymbol(s_.quotingSymbol, s_.encoding)) {
        // A UTF-8 field may take up to three bytes for each character of a cell's text, and a
        // four-byte sequence still yields one '?'.
        limit_ = s_.encoding == 1 ? 4 * kMaxCellText : kMaxCellText;
        field_.reserve(limit_);
    }

    uint32_t CutFields() const { return cutFields_; }

    bool Run() {
        // A UTF-8 file may begin with the byte-order mark, which is no character of a field.
        if (s_.encoding == 1 && in_.Ahead().substr(0, 3) == "\xEF\xBB\xBF") in_.Take(3);
        while (in_.Peek() >= 0) {
            if (!ReadField()) return false;
        }
        if (book_.stream.GetError() != kErrorNone) {
            book_.error = book_.stream.GetError();
            return false;
        }
        return true;
    }

private:
    bool ReadField() {
        const bool fixed = s_.useFixedColWidths != 0;
        const int32_t start = in_.Offset();
        bool quoted = false;
        if (!fixed && !plainNext_ && At(quote_)) {
            in_.Take(uint32_t(quote_.size()));
            quoted = true;
        }
        plainNext_ = false;
        const uint16_t column = column_;
        const uint32_t row = row_;
        if (in_.Peek() < 0) return quoted ? ReadAgainPlain(start) : true;
        field_.clear();
        const uint32_t width = fixed && column < kMaxColumns ? s_.columnWidths[column] : 0;
        uint32_t taken = 0;
        uint32_t characters = 0;
        bool strayQuote = false;
        for (;;) {
            if (!quoted && !fixed) CollectPlainRun(taken);
            // A width counts characters: a UTF-8 character's bytes stay together.
            if (width != 0 && characters == width && !(utf8_ && IsContinuation(in_.Peek()))) {
                ++column_;
                break;
            }
            const int c = in_.Peek();
            // A quote never closed quotes nothing: its field is read as it stands.
            if (c < 0 && quoted) return ReadAgainPlain(start);
            if (c < 0) break;
            if (quoted && At(quote_)) {
                const uint32_t length = uint32_t(quote_.size());
                in_.Take(length);
                const bool doubled = At(quote_);
                if (doubled) in_.Take(length);
                const std::size_t at = field_.size();
                for (const char byte : quote_) Collect(uint8_t(byte), taken, quoted);
                if (doubled) continue;
                if (EndAfterQuote(taken)) {
                    // The closing quote is no character of the field.
                    if (at < field_.size()) field_.erase(at, length);
                    taken -= length;
                    break;
                }
                strayQuote = true; // a quote inside the text, kept
                continue;
            }
            // A line break after a stray quote: the quotes were the text of an unquoted
            // field, which is read again as it stands.
            if (quoted && strayQuote && (c == kCR || c == kLF)) return ReadAgainPlain(start);
            if (!quoted && !fixed && At(separator_)) {
                in_.Take(uint32_t(separator_.size()));
                ++column_;
                break;
            }
            if (!quoted && (c == kCR || c == kLF)) {
                EndLine();
                break;
            }
            in_.Get();
            Collect(uint8_t(c), taken, quoted);
            if (!(utf8_ && IsContinuation(c))) ++characters;
        }
        // A fixed field's trailing blanks are the padding that filled its width.
        if (fixed)
            while (!field_.empty() && field_.back() == ' ') {
                field_.pop_back();
                --taken;
            }
        return Store(column, row, taken);
    }

    void EndLine() {
        if (in_.Get() == kCR && in_.Peek() == kLF) in_.Get();
        column_ = 0;
        ++row_;
    }

    // A quote closes its field when only blanks, which join the field, stand between it and
    // the separator, the line end or the end of the file; else (false) it is a character of
    // the field and the blanks are too.
    bool EndAfterQuote(uint32_t& taken) {
        while (in_.Peek() == ' ' && separator_ != " ") Collect(uint8_t(in_.Get()), taken, true);
        if (At(separator_)) {
            in_.Take(uint32_t(separator_.size()));
            ++column_;
            return true;
        }
        const int c = in_.Peek();
        if (c == kCR || c == kLF) EndLine();
        return c < 0 || c == kCR || c == kLF;
    }

    // Reads the field from its quote again as one without quoting, so that no byte of it is
    // lost and the fields after it stay where they are.
    bool ReadAgainPlain(int32_t start) {
        if (!in_.Rewind(start)) {
            book_.error = book_.stream.ErrorOr(kStreamSeek);
            return false;
        }
        plainNext_ = true;
        return true;
    }

    // The bytes of an unquoted delimited field up to its next separator or control byte,
    // taken at once.
    void CollectPlainRun(uint32_t& taken) {
        const std::string_view ahead = in_.Ahead();
        std::size_t n = 0;
        // A separator of several bytes stops the run at its first, and is told there.
        while (n < ahead.size() && uint8_t(ahead[n]) >= 32 && ahead[n] != separator_[0]) ++n;
        const std::size_t room = limit_ - std::min<std::size_t>(field_.size(), limit_);
        field_.append(ahead.data(), std::min(n, room));
        in_.Take(uint32_t(n));
        taken += uint32_t(n);
    }

    // Whether the input goes on with the symbol's bytes (a separator or quote past ASCII is
    // several bytes in UTF-8).
    bool At(const std::string& symbol) {
        if (symbol.size() == 1) return in_.Peek() == uint8_t(symbol[0]);
        return in_.Ahead(uint32_t(symbol.size())).substr(0, symbol.size()) == symbol;
    }

    // Bytes past the limit are consumed and dropped: they belong to the same field. A quoted
    // field keeps its tabs and line breaks, which the export quotes to keep them, as the
    // peers read them; other control bytes become blanks.
    void Collect(uint8_t c, uint32_t& taken, bool quoted) {
        ++taken;
        const bool kept = c >= 32 || (quoted && (c == '\t' || c == kCR || c == kLF));
        if (field_.size() < limit_) field_ += char(kept ? c : ' ');
    }

    bool Store(uint16_t column, uint32_t row, uint32_t taken) {
        if (field_.empty()) return true;
        // What the worksheet cannot hold is counted for the user, never dropped unsaid.
        if (row >= kMaxRows || column >= kMaxColumns) {
            ++cutFields_;
            return true;
        }
        // Fields in the program's own code page are taken as they are. A field with a
        // character outside it is left out and counted, never stored with '?'.
        if ((s_.encoding == 1 || s_.encoding == 3) &&
            !FieldToAnsiExact(field_, s_.encoding, converted_)) {
            ++book_.refusedTexts;
            return true;
        }
        std::string_view text = s_.encoding == 1 || s_.encoding == 3 ? converted_ : field_;
        if (taken > field_.size() || text.size() > kMaxCellText) ++cutFields_;
        if (text.size() > kMaxCellText) text = text.substr(0, kMaxCellText);
        if (text.empty()) return true;
        shown_.kind = STD_STYLE_DEFAULT;
        if (!MakeCell(text, column, row)) return true;
        if (sheet_.cells.PutCell(record_.bytes, cursor_) && KeepFormat(column, row)) return true;
        book_.error = kErrorWorksheetMemory;
        return false;
    }

    // A value read with a format (12%, $5.00, 1,234, a date) keeps it, as typing it does; the
    // style is found or added once for each format. A full style table leaves the value
    // unformatted.
    bool KeepFormat(uint16_t column, uint32_t row) {
        if (shown_.kind == STD_STYLE_DEFAULT) return true;
        StyleTables& t = book_.styles;
        if (styleIndex_ == 0 || !CompareStyleRecords(t.styles[styleIndex_], WithShown())) {
            styleIndex_ = 0;
            const StyleRecord wanted = WithShown();
            for (uint16_t i = 1; i < t.styleCount && styleIndex_ == 0; ++i)
                if (CompareStyleRecords(t.styles[i], wanted)) styleIndex_ = i;
            if (styleIndex_ == 0) {
                if (t.styleCount >= kMaxStyles) return true;
                styleIndex_ = t.styleCount;
                t.styles[t.styleCount++] = wanted;
            }
        }
        return PutFormatRun(sheet_.formats, FormatRun{column, column, row, styleIndex_}, runs_);
    }

    StyleRecord WithShown() const {
        StyleRecord style = book_.styles.styles[0];
        style.numberFormat = shown_;
        return style;
    }

    bool MakeCell(std::string_view text, uint16_t column, uint32_t row) {
        if (s_.conversion != 0) {
            if (text[0] == '=') {
                StandardFormat format;
                if (ParseCellInput(ctx_, text, format, row, column, record_) == CellInput::kStored)
                    return true;
            } else {
                double value = 0;
                if (ReadFieldNumber(text, UserSeparators().decimal, value))
                    return MakeNumberCell(record_, column, row, value);
                // What the text export writes (percentages, currency, thousands separators,
                // dates) reads back as the number it was, as typed input reads it.
                // A leading blank stays a text, as the export writes one only where a fraction
                // format leaves a zero whole part blank (" 1/8"): that reads as the fraction.
                StandardFormat shown;
                if (text[0] != ' ' &&
                    ParseCellInput(ctx_, WithoutTrailingBlanks(text), shown, row, column,
                                   record_) == CellInput::kStored &&
                    (cell::IsNumber(record_.bytes) || IsDateKind(shown.kind))) {
                    shown_ = shown;
                    return true;
                }
                if (text[0] == ' ' && text.find('/') != std::string_view::npos) {
                    shown = StandardFormat{};
                    const std::string whole = "0" + std::string(text);
                    if (ParseCellInput(ctx_, whole, shown, row, column, record_) ==
                            CellInput::kStored &&
                        cell::IsNumber(record_.bytes) && shown.kind == STD_STYLE_FRACTION) {
                        shown_ = shown;
                        return true;
                    }
                }
            }
        }
        return MakeTextCell(record_, column, row, text);
    }

    CWorkbook& book_;
    CWorksheet& sheet_;
    CEvalContext& ctx_;
    CByteReader in_;
    const TextFileSettings& s_;
    const std::string separator_; // the symbols as the file's bytes
    const std::string quote_;
    uint32_t limit_ = kMaxCellText;
    std::string field_;
    std::string converted_;
    CellBuffer record_;
    CellCursor cursor_;
    StandardFormat shown_;
    uint16_t styleIndex_ = 0;
    CellCursor runs_;
    uint16_t column_ = 0;
    uint32_t row_ = 0;
    static bool IsContinuation(int c) { return c >= 0 && (c & 0xC0) == 0x80; }

    uint32_t cutFields_ = 0;
    const bool utf8_ = s_.encoding == 1;
    bool plainNext_ = false; // the next field is read again from its quote, unquoted
};

} // namespace

bool ImportTextFile(CWorkbook& workbook, CEvalContext& ctx, uint32_t* cutFields) {
    if (!TextSeparatorUsable(workbook.textFile)) {
        workbook.error = kErrorFileFormat;
        return false;
    }
    CWorksheet* sheet = StartImportWorksheet(workbook);
    if (!sheet) return false;
    ctx.worksheetList = workbook.tree.first;
    ctx.currentCells = &sheet->cells;
    auto reader = std::make_unique<CTextReader>(workbook, *sheet, ctx);
    const bool ok = reader->Run();
    if (cutFields) *cutFields = reader->CutFields();
    // The file holds no results: its formulas are calculated as typed ones are, so that the
    // grid and a save show their values, never 0.
    return ok && RecalculateWorkbook(workbook, ctx);
}

} // namespace vl
