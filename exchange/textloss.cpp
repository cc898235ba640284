// What a text file of the workbook's settings would write otherwise than the grid shows it.
#include "exchange/textfile.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/core/cp850.h"

namespace vl {

namespace {

bool IsNumberValue(const uint8_t* r) {
    if (cell::IsNumber(r)) return true;
    return cell::IsFormula(r) && cell::Error(r) == 0 && !(cell::ResultFlags(r) & kResultText);
}

} // namespace

bool LacksOemCharacter(std::string_view text) {
    for (const char c : text)
        if (c != '?' && AnsiToOemChar(static_cast<unsigned char>(c)) == '?') return true;
    return false;
}

bool TextSeparatorUsable(const TextFileSettings& settings) {
    return settings.useFixedColWidths != 0 || settings.separator != settings.quotingSymbol;
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
        if (!FormatCellValue(r, GetStyleRecord(workbook.styles, style).numberFormat, text))
            continue;
        if (s.encoding == 3 && LacksOemCharacter(text)) ++loss.unmapped;
        const uint16_t width = fixed ? s.columnWidths[column] : 0;
        if (width != 0 && IsNumberValue(r) && AnsiToFileText(text, s.encoding).size() > width)
            ++loss.cutNumbers;
    }
    return loss;
}

} // namespace vl
