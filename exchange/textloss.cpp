// What a text file of the workbook's settings would write otherwise than the grid shows it.
#include "exchange/textfile.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "platform/core/cp850.h"

namespace vl {

namespace {

bool IsNumberValue(const uint8_t* r) {
    if (cell::IsNumber(r)) return true;
    return cell::IsFormula(r) && cell::Error(r) == 0 && !(cell::ResultFlags(r) & kResultText);
}

// The peers read a number's text back as that number only up to 308 characters, and never
// with an exponent before a percent sign ("1.20E+01%").
constexpr std::size_t kLongestPeerNumber = 308;

bool PeerReadsAsNumber(std::string_view text) {
    if (text.size() > kLongestPeerNumber) return false;
    if (text.find('%') == std::string_view::npos) return true;
    for (std::size_t i = 1; i + 1 < text.size(); ++i)
        if ((text[i] == 'E' || text[i] == 'e') && IsAsciiDigit(text[i - 1]) &&
            (text[i + 1] == '+' || text[i + 1] == '-' || IsAsciiDigit(text[i + 1])))
            return false;
    return true;
}

} // namespace

bool TextFileCellText(const uint8_t* cell, const StandardFormat& format, std::string& text) {
    if (!FormatCellValue(cell, format, text)) return false;
    // What a peer would read as a text is written as the number, as General shows it.
    if (IsNumberValue(cell) && !PeerReadsAsNumber(text))
        return FormatCellValue(cell, StandardFormat{}, text);
    return true;
}

bool LacksOemCharacter(std::string_view text) {
    for (const char c : text)
        if (c != '?' && AnsiToOemChar(static_cast<unsigned char>(c)) == '?') return true;
    return false;
}

std::string TextFileSymbol(uint8_t symbol, uint8_t encoding) {
    return AnsiToFileText(std::string(1, char(symbol)), encoding);
}

bool TextSeparatorUsable(const TextFileSettings& settings) {
    if (settings.useFixedColWidths != 0) return true;
    if (settings.separator == settings.quotingSymbol) return false;
    if (settings.encoding != 3) return true;
    for (const uint8_t symbol : {settings.separator, settings.quotingSymbol})
        if (symbol != '?' && AnsiToOemChar(symbol) == '?') return false;
    return true;
}

TextFormLoss CountTextFormLoss(const CWorkbook& workbook, const CWorksheet& sheet) {
    TextFormLoss loss;
    const TextFileSettings& s = workbook.textFile;
    const bool fixed = s.useFixedColWidths != 0;
    if (!fixed && s.encoding != 3) return loss;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    CellCursor runs;
    std::string text;
    for (const uint8_t* r = NextCellRecord(cursor); r; r = NextCellRecord(cursor)) {
        const uint16_t column = cell::Column(r);
        const uint16_t style = StyleIndexAt(sheet.formats, cell::Row(r), column, runs);
        if (!TextFileCellText(r, GetStyleRecord(workbook.styles, style).numberFormat, text))
            continue;
        if (s.encoding == 3 && LacksOemCharacter(text)) ++loss.unmapped;
        const uint16_t width = fixed ? s.columnWidths[column] : 0;
        if (width != 0 && IsNumberValue(r) && AnsiToFileText(text, s.encoding).size() > width)
            ++loss.cutNumbers;
    }
    return loss;
}

} // namespace vl
