#include "files/plaincopy.h"
#include "files/workbookopen.h"
#include "filestestutil.h"
#include "formula/evalcontext.h"
#include "model/formatstore.h"

#include <gtest/gtest.h>
#include <map>

namespace vl {

using namespace filestest;

namespace {

struct PlainFixture {
    std::unique_ptr<CWorkbook> book = NewBlockObject<CWorkbook>();
    CWorksheet* sheet = nullptr;
    CEvalContext ctx;
    std::vector<PlainPage> pages;

    PlainFixture() {
        EXPECT_TRUE(NewWorkbook(*book));
        sheet = AsWorksheet(book->tree.first);
    }
    uint16_t UserStyle(const char* code) {
        const uint16_t s = AddStyle(*book, STD_STYLE_USER_DEFINED, 0, "Arial");
        CopyTextField(book->styles.styles[s].numberFormat.code, code, kMaxFormatCode + 1);
        return s;
    }
    void Build() { BuildPlainCopyPages(*book, *sheet, ctx, pages); }
    // Every record of the built pages by (row, column), checking the packing.
    std::map<std::pair<uint32_t, uint16_t>, Bytes> Records() {
        std::map<std::pair<uint32_t, uint16_t>, Bytes> out;
        for (const PlainPage& p : pages) {
            EXPECT_GT(p.used, 0);
            uint32_t offset = 0;
            while (offset < p.used) {
                const uint8_t* r = p.bytes + offset;
                out[{cell::Row(r), cell::Column(r)}] = Bytes(r, r + cell::Length(r));
                offset += cell::Length(r);
            }
            EXPECT_EQ(offset, p.used);
        }
        return out;
    }
};

} // namespace

// A formula becomes what typing its shown value gives; other records lose the array bit.
TEST(PlainCopy, FormulasBecomeTheirShownValues) {
    PlainFixture f;
    const uint16_t twoDecimals = AddStyle(*f.book, STD_STYLE_GENERAL, 2, "Arial");
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(f.sheet->formats, {1, 1, 0, twoDecimals}, cursor));
    f.sheet->formats.columns[5].style = twoDecimals;
    PutFormula(*f.sheet, 1, 0, "R1C1*5", 12.5);             // shown 12.50 under the run's style
    PutFormula(*f.sheet, 2, 0, "\"x\"", 0, "plain");        // a text result
    PutFormula(*f.sheet, 3, 0, "\"=\"&\"1+1\"", 0, "=1+1"); // shown as a formula's text
    PutFormula(*f.sheet, 4, 0, "1/0", 0, nullptr, 1);       // an error result
    PutFormula(*f.sheet, 5, 0, "R1C1/3", 1.0 / 3);          // the column's style: 0.33
    CellBuffer element;
    ASSERT_TRUE(MakeNumberCell(element, 6, 0, 9));
    element.bytes[0] |= kCellArrayElement;
    PutCell(*f.sheet, element);
    PutText(*f.sheet, 7, 0, "kept");
    f.Build();
    const auto number = [](uint16_t column, double value, uint8_t error = 0) {
        CellBuffer b;
        EXPECT_TRUE(MakeNumberCell(b, column, 0, value, error));
        return std::pair{std::pair{0u, column}, Bytes(b.bytes, b.bytes + b.size)};
    };
    const auto text = [](uint16_t column, const char* value) {
        CellBuffer b;
        EXPECT_TRUE(MakeTextCell(b, column, 0, value));
        return std::pair{std::pair{0u, column}, Bytes(b.bytes, b.bytes + b.size)};
    };
    const std::map<std::pair<uint32_t, uint16_t>, Bytes> expected = {
        number(1, 12.5), text(2, "plain"), text(3, "=1+1"), number(4, 0, 1),
        number(5, 0.33), number(6, 9),     text(7, "kept")};
    EXPECT_EQ(f.Records(), expected);
}

// Records that grow in the conversion spill into as many pages as they need, in order.
TEST(PlainCopy, GrownRecordsAreRepackedIntoMorePages) {
    PlainFixture f;
    const uint16_t wordy = f.UserStyle("0\" units of a rather long and wordy literal text\"");
    f.sheet->formats.columns[0].style = wordy;
    const uint32_t count = 600;
    for (uint32_t row = 0; row < count; ++row) PutFormula(*f.sheet, 0, row, "1", row);
    ASSERT_EQ(f.sheet->cells.PageCount(), 3u);
    f.Build();
    EXPECT_GT(f.pages.size(), 3u);
    auto records = f.Records();
    ASSERT_EQ(records.size(), count);
    uint32_t row = 0;
    for (const auto& [key, bytes] : records) {
        EXPECT_EQ(key.first, row);
        ASSERT_TRUE(cell::IsText(bytes.data()));
        EXPECT_EQ(cell::Text(bytes.data()),
                  std::to_string(row) + " units of a rather long and wordy literal text");
        ++row;
    }
    // Written and read back, the copy keeps every record.
    f.book->encryption = 1;
    TempFolder dir;
    ASSERT_TRUE(SaveToPath(*f.book, dir.Path("p"), false));
    bool ok = false;
    auto loaded = LoadFromPath(dir.Path("p"), nullptr, ok);
    ASSERT_TRUE(ok);
    const CWorksheet* sheet = AsWorksheet(loaded->tree.first);
    EXPECT_EQ(sheet->cells.PageCount(), f.pages.size());
    EXPECT_EQ(cell::Text(FindCell(sheet->cells, count - 1, 0)),
              std::to_string(count - 1) + " units of a rather long and wordy literal text");
}

} // namespace vl
