// Percentages read from Excel 2003 XML show as the writing program showed them: a code the
// reader keeps as it is ("0.00%") scales by its percent sign like a percentage does.

#include "excelxmltestutil.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/cellrecord.h"
#include "model/cellstore.h"
#include "model/cellstyle.h"

#include <string>

namespace vl {

namespace {

using namespace excelxmltest;

// The shown text of A1 of a document whose one cell holds `value` in a style of `code`.
std::string ShownThrough(const std::string& code, const std::string& value) {
    const Imported im =
        Import(Doc("<Styles><Style ss:ID=\"Default\"/><Style ss:ID=\"s21\"><NumberFormat "
                   "ss:Format=\"" +
                   code +
                   "\"/></Style></Styles><Worksheet ss:Name=\"A\"><Table><Row><Cell "
                   "ss:StyleID=\"s21\"><Data ss:Type=\"Number\">" +
                   value + "</Data></Cell></Row></Table></Worksheet>"));
    EXPECT_TRUE(im.ok) << code;
    if (!im.ok) return {};
    const CWorksheet& sheet = im.First();
    const uint8_t* cell = FindCell(sheet.cells, 0, 0);
    EXPECT_NE(cell, nullptr) << code;
    if (!cell) return {};
    CellCursor runs;
    const uint16_t style = StyleIndexAt(sheet.formats, 0, 0, runs);
    const StandardFormat& format = GetStyleRecord(im.book->styles, style).numberFormat;
    std::string text;
    EXPECT_TRUE(FormatCellValue(cell, format, text));
    // The grid paints what the cell display gives: the same text.
    CEvalContext ctx;
    CCellDisplay display(ctx, false);
    RenderedList painted;
    EXPECT_TRUE(display.GetCellDisplayText(cell, format, painted));
    EXPECT_EQ(painted.Text(), text) << code;
    return text;
}

} // namespace

TEST(ExcelXmlPercent, ImportedPercentCodesShowTheValueTimesAHundred) {
    struct Case {
        const char* code;
        const char* value;
        const char* text;
    } const cases[] = {
        {"0.00%", "0.25", "25.00%"},           // kept as the file's own code
        {"0%", "0.5", "50%"},                  // kept as the file's own code
        {"0.0%", "-0.0125", "-1.3%"},          // a half of the last decimal rounds away
        {"#,##0.00%", "12.3456", "1,234.56%"}, // read back as a percentage
        {"#,##0%", "0.07", "7%"},
        {"0.00\\%", "0.25", "0.25%"},           // an escaped sign is text and does not scale
        {"0.00&quot;%&quot;", "0.25", "0.25%"}, // quoted in the attribute
    };
    for (const Case& c : cases) EXPECT_EQ(ShownThrough(c.code, c.value), c.text) << c.code;
}

} // namespace vl
