// The random workbooks of the XML round trips and their comparison.

#include "model/inspectedcell.h"
#include "platform/core/bytes.h"
#include "values/standardformat.h"
#include "xmlrandomdraw.h"

#include <map>
#include <tuple>

namespace vl::xmltest {

using namespace fmtparam;

void RandomFont(Draw& d, FontRecord& f, int i) {
    CopyTextField(f.faceName, d.Text(size_t(i % 128)).c_str(), kFaceNameSize);
    f.family = uint8_t(d.Below(6));
    f.size = uint8_t(d.Below(255));
    f.weight = uint8_t(d.Below(4));
    for (uint8_t* flag : {&f.italic, &f.underline, &f.strikeout}) *flag = d.Coin();
    f.charSet = uint8_t(d.Below(17));
}

void RandomNumberFormat(Draw& d, StandardFormat& f, int i) {
    f = StandardFormat{};
    f.kind = uint8_t(i % 11);
    uint8_t* p = f.params;
    switch (f.kind) {
    case STD_STYLE_GENERAL:
    case STD_STYLE_PERCENTAGE:
    case STD_STYLE_SCIENTIFIC:
        p[kFixedDecimals] = d.Coin();
        p[kDecimals] = p[kFixedDecimals] ? uint8_t(d.Below(15)) : 0;
        if (f.kind == STD_STYLE_SCIENTIFIC) {
            p[kExponentForm] = uint8_t(d.Below(3));
            p[kExponentNumber] = p[kExponentForm] ? uint8_t(d.Below(100)) : 0;
        }
        if (f.kind != STD_STYLE_GENERAL) break;
        p[kZeroPadded] = d.Coin();
        p[kIntegerDigits] = p[kZeroPadded] ? uint8_t(d.Below(15)) : 0;
        p[kThousands] = d.Coin();
        p[kNegativeStyle] = uint8_t(d.Below(4));
        break;
    case STD_STYLE_CURRENCY:
    case STD_STYLE_ACCOUNTING: {
        const std::string symbol = d.Text(d.Below(15));
        std::memcpy(p + kCurrencySymbol, symbol.data(), symbol.size());
        p[kCurrencyDecimals] = uint8_t(d.Below(15));
        if (f.kind == STD_STYLE_CURRENCY) {
            p[kSymbolPosition] = uint8_t(d.Below(4));
            p[kCurrencyNegative] = uint8_t(d.Below(4));
        }
        break;
    }
    case STD_STYLE_DATE:
    case STD_STYLE_TIME:
    case STD_STYLE_DATE_TIME:
        if (f.kind != STD_STYLE_TIME) p[kDateStyle] = uint8_t(d.Below(11));
        if (f.kind != STD_STYLE_DATE)
            p[kTimeStyle] = uint8_t(d.Below(f.kind == STD_STYLE_TIME ? 10 : 11));
        if (f.kind != STD_STYLE_TIME) p[kDateOrderFlag] = d.Coin();
        if (f.kind == STD_STYLE_DATE_TIME) p[kTimeFirst] = d.Coin();
        break;
    case STD_STYLE_FRACTION:
        p[kDenominatorMode] = d.Coin();
        p[kDenominatorDigits] = p[kDenominatorMode] ? 2 : uint8_t(d.Between(1, 14));
        if (p[kDenominatorMode]) StoreU64(p + kFixedDenominator, 1 + d.Below(4294967294u));
        break;
    case STD_STYLE_USER_DEFINED:
        CopyTextField(f.code, ("0.0 \"u\"  " + d.Text(d.Below(40))).c_str(), sizeof f.code);
        return;
    default:
        return;
    }
    BuildStandardFormatCode(f);
}

namespace {

void RandomStyle(Draw& d, StyleRecord& s, int i, uint8_t fontCount) {
    RandomNumberFormat(d, s.numberFormat, i);
    s.fontRef.fontIndex = uint8_t(d.Below(fontCount));
    s.fontRef.colorGiven = d.Coin();
    s.fontRef.color = s.fontRef.colorGiven ? d.Color() : 0;
    s.fill = i % 23 ? RandomFill(d, false, i % 23) : InteriorFill{};
    s.borderSides = uint8_t(d.Below(64));
    s.borderLine = RandomLine(d, false);
    if (!s.borderSides || !s.borderLine.style) {
        s.borderSides = 0;
        s.borderLine = BorderLine{};
    }
    const uint8_t vertical[4] = {0, 4, 5, 7};
    s.verticalAlignment = vertical[d.Below(4)];
    s.horizontalAlignment = uint8_t(d.Below(4));
    const bool defaults = d.Coin();
    s.horizontalIndent = defaults ? 4 : uint8_t(d.Below(255));
    s.verticalIndent = defaults ? 2 : uint8_t(d.Below(255));
    for (uint8_t* flag : {&s.wrapText, &s.fitToCell}) *flag = defaults ? 0 : d.Coin();
    s.rotation = defaults ? 0 : int8_t(d.Between(-90, 90));
    s.dropDownList = d.Coin() ? uint16_t(d.Between(1, 100)) : 0;
    for (uint8_t* flag : {&s.sort, &s.autoAppend, &s.autoComplete})
        *flag = s.dropDownList ? d.Coin() : 0;
    for (uint8_t* flag : {&s.formulaHidden, &s.isProtected}) *flag = d.Coin();
}

void RandomTables(Draw& d, CWorkbook& book, bool full) {
    StyleTables& t = book.styles;
    const int fonts = full ? kMaxFonts : 4, styles = full ? kMaxStyles : 12;
    for (int i = 1; i < fonts; ++i) RandomFont(d, t.fonts[t.fontCount++], i);
    for (int i = 1; i < styles; ++i) RandomStyle(d, t.styles[t.styleCount++], i, t.fontCount);
    for (int i = 0; i < (full ? kDropDownLists : 3); ++i) {
        DropDownListRecord& list = book.dropDownLists[i];
        SetDropDownName(list, d.Text(d.Below(30)).c_str());
        const int entries = int(d.Below(5));
        for (int k = 0; k < entries; ++k) AddDropDownEntry(list, d.Text(d.Below(60)));
        if (i == 1) AddDropDownEntry(list, d.Text(kMaxDropDownEntry));
    }
    for (int i = 0; i < 25; ++i) {
        InspectedCellRecord r;
        r.cell = CellRef{uint16_t(d.Below(kMaxColumns)), d.Below(kMaxRows), kRefCell};
        CopyTextField(r.worksheet, d.Text(i == 3 ? 255 : d.Below(40)).c_str(),
                      kInspectedPathSize);
        CopyTextField(r.name, d.Text(i == 4 ? 127 : d.Below(20)).c_str(), kInspectedNameSize);
        EXPECT_TRUE(AppendInspectedCell(book.inspectedCells, r));
    }
}

void RandomCell(Draw& d, CWorksheet& ws, uint16_t column, uint32_t row) {
    CellBuffer b;
    const uint32_t kind = d.Below(8);
    const uint8_t error = d.Below(4) == 0 ? uint8_t(d.Between(1, 12)) : 0;
    if (kind == 0) {
        EXPECT_TRUE(MakeTextCell(b, column, row, d.Text(d.Below(50))));
    } else if (kind == 1) {
        EXPECT_TRUE(MakeNumberCell(b, column, row, error ? 0 : d.Number(), error));
    } else if (kind == 2) {
        EXPECT_TRUE(MakeNumberCell(b, column, row, d.Number()));
        b.bytes[0] |= kCellArrayElement;
    } else {
        FormulaHead head;
        head.flags = uint8_t(kCellFormula | (error << 4));
        const bool array = d.Below(3) == 0;
        head.arrayWidth = array ? uint16_t(d.Between(1, kMaxColumns)) : 1;
        head.arrayHeight = array ? d.Between(1, int(kMaxRows)) : 1;
        const bool textResult = !error && d.Coin();
        head.resultFlags =
            uint8_t((textResult ? kResultText : kResultNumber) | (array ? kResultArray : 0));
        head.cachedNumber = textResult || error ? 0 : d.Number();
        EXPECT_TRUE(MakeFormulaCell(b, column, row, head, d.Text(d.Below(60)),
                                    textResult ? d.Text(d.Below(30)) : ""));
    }
    Put(ws, b);
}

void RandomCells(Draw& d, CWorksheet& ws, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t row = d.Coin() ? d.Below(40) : d.Below(kMaxRows);
        RandomCell(d, ws, uint16_t(d.Below(kMaxColumns)), row);
    }
    // The longest text, and a formula that fills its record, at the last row and column.
    CellBuffer b;
    EXPECT_TRUE(MakeTextCell(b, kLastColumn, kLastRow, d.Text(kMaxCellText)));
    Put(ws, b);
    FormulaHead head;
    head.arrayWidth = 1;
    EXPECT_TRUE(MakeFormulaCell(b, kLastColumn - 1, kLastRow, head,
                                d.Text(kPagePayload - kFormulaHead)));
    Put(ws, b);
}

void RandomFormats(Draw& d, CWorksheet& ws, const StyleTables& t, bool full) {
    uint16_t tallest = 0;
    const int columns = full ? kMaxColumns : 20;
    for (int c = 0; c < columns; ++c) {
        ColumnEntry& e = ws.formats.columns[c];
        e.style = uint16_t(1 + d.Below(t.styleCount - 1));
        e.width = uint16_t((d.Below(4096) << 1) | (d.Coin() ? 1 : 0));
        uint16_t autoHeight = uint16_t(d.Below(4096));
        if (autoHeight == GetDefaultRowHeight()) autoHeight = 0;
        e.autoRowHeight = autoHeight;
        tallest = std::max(tallest, autoHeight);
    }
    const uint16_t reference = tallest ? tallest : GetDefaultRowHeight();
    for (uint32_t row = 0; row < 300; ++row) {
        if (d.Coin()) continue;
        const bool fixed = d.Coin();
        uint16_t height = uint16_t(d.Below(4096));
        if (!fixed && height == reference) height = 0;
        EXPECT_TRUE(SetFormatStoreRowEntry(ws.formats, row, height, fixed));
    }
    for (int i = 0; i < 200; ++i) {
        CellCursor cursor;
        const uint32_t row = d.Coin() ? d.Below(400) : d.Below(kMaxRows);
        const uint16_t first = uint16_t(d.Below(kMaxColumns));
        const uint16_t last = uint16_t(first + d.Below(kMaxColumns - first));
        // As a style applied to a range: what was there before gives way.
        EXPECT_TRUE(ClearFormatRect(ws.formats, CellRange{first, row, last, row}, nullptr, false));
        EXPECT_TRUE(PutFormatRun(
            ws.formats, FormatRun{first, last, row, uint16_t(d.Below(t.styleCount))}, cursor));
    }
}

} // namespace

std::unique_ptr<CWorkbook> RandomWorkbook(const RandomBookShape& shape) {
    Draw d(shape.seed);
    auto book = CreateWorkbook();
    CopyTextField(book->lastSavedUser, d.Text(127).c_str(), kLastSavedUserSize);
    CopyTextField(book->lastSavedDate, "2025-01-02T03:04:05.678+01:00", kLastSavedDateSize);
    book->panes = PaneLayout{0, 65534, 1, 0};
    RandomTables(d, *book, shape.fullTables);
    std::vector<CWorksheet*> sheets;
    for (int i = 0; i < shape.worksheets; ++i) {
        if (d.Coin()) {
            CTreeItem* folder = book->AppendTreeItem(TREE_TYPE_FOLDER, nullptr, 1 + d.Below(3));
            folder->expanded = d.Coin();
        }
        const std::string name = d.Text(i == 0 ? 127 : d.Below(20));
        sheets.push_back(static_cast<CWorksheet*>(book->AppendTreeItem(
            TREE_TYPE_WORKSHEET, d.Coin() ? name.c_str() : nullptr, uint16_t(1 + d.Below(3)))));
    }
    NormalizeTreeLevels(book->tree.first);
    book->tree.active = sheets[d.Below(uint32_t(sheets.size()))];
    uint16_t containerId = 0;
    for (CWorksheet* ws : sheets) {
        RandomCells(d, *ws, shape.cellsPerSheet);
        RandomFormats(d, *ws, book->styles, shape.fullTables);
        RandomSheetSettings(d, *ws);
        RandomContainers(d, *ws, shape.containersPerSheet, containerId);
    }
    return book;
}

namespace {

using Records = std::map<std::pair<uint32_t, uint16_t>, std::vector<uint8_t>>;

Records CellRecords(const CCellStore& store) {
    Records out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        out[{cell::Row(r), cell::Column(r)}] = std::vector<uint8_t>(r, r + cell::Length(r));
    return out;
}

// The runs with touching runs of one style joined: the cells they cover and their styles.
std::vector<std::vector<uint8_t>> RunRecords(const CFormatStore& store) {
    std::vector<std::vector<uint8_t>> out;
    CellCursor cursor{kAdvance, store.runs.FirstPage(), 0};
    while (const uint8_t* r = FormatRunCursorNext(cursor)) {
        const FormatRun f = LoadFormatRun(r);
        if (!out.empty()) {
            FormatRun last = LoadFormatRun(out.back().data());
            if (last.row == f.row && last.style == f.style &&
                last.lastColumn + 1 == f.firstColumn) {
                last.lastColumn = f.lastColumn;
                StoreFormatRun(out.back().data(), last);
                continue;
            }
        }
        out.emplace_back(r, r + kFormatRunSize);
    }
    return out;
}

std::vector<uint16_t> RowEntries(CPagedList& list) {
    std::vector<uint16_t> out;
    for (uint32_t i = 0; i < list.ItemCount(); ++i) out.push_back(*list.GetItem2(i));
    while (!out.empty() && out.back() == 0) out.pop_back();
    return out;
}

void ExpectSameSheet(CWorksheet& a, CWorksheet& b) {
    EXPECT_TRUE(CellRecords(a.cells) == CellRecords(b.cells)) << a.name;
    EXPECT_TRUE(RunRecords(a.formats) == RunRecords(b.formats)) << a.name;
    EXPECT_EQ(RowEntries(a.formats.rowHeights), RowEntries(b.formats.rowHeights)) << a.name;
    for (int c = 0; c < kMaxColumns; ++c) {
        const ColumnEntry &x = a.formats.columns[c], &y = b.formats.columns[c];
        ASSERT_TRUE(x.width == y.width && x.style == y.style && x.autoRowHeight == y.autoRowHeight)
            << a.name << " column " << c;
    }
    ExpectSameSheetSettings(a, b);
    ExpectSameContainers(a, b);
}

} // namespace

void ExpectSameWorkbook(CWorkbook& a, CWorkbook& b) {
    EXPECT_STREQ(a.lastSavedUser, b.lastSavedUser);
    EXPECT_STREQ(a.lastSavedDate, b.lastSavedDate);
    auto panes = [](const PaneLayout& p) {
        return std::tuple(p.treeShown, p.treeWidth, p.inspectShown, p.inspectHeight);
    };
    EXPECT_EQ(panes(a.panes), panes(b.panes));
    ASSERT_EQ(std::tuple(a.styles.fontCount, a.styles.styleCount),
              std::tuple(b.styles.fontCount, b.styles.styleCount));
    for (int i = 0; i < a.styles.fontCount; ++i)
        ExpectSameBytes(a.styles.fonts[i], b.styles.fonts[i], WriteFontRecord, kFontRecordSize,
                        "font " + std::to_string(i));
    for (int i = 0; i < a.styles.styleCount; ++i)
        ExpectSameBytes(a.styles.styles[i], b.styles.styles[i], WriteStyleRecord, kStyleRecordSize,
                        "style " + std::to_string(i));
    auto list = [](const DropDownListRecord& l) {
        return std::tuple(std::string(l.name), l.entries);
    };
    for (int i = 0; i < kDropDownLists; ++i)
        EXPECT_EQ(list(a.dropDownLists[i]), list(b.dropDownLists[i])) << "list " << i;
    ASSERT_EQ(a.inspectedCells.ItemCount(), b.inspectedCells.ItemCount());
    for (uint32_t i = 0; i < a.inspectedCells.ItemCount(); ++i) {
        InspectedCellRecord x, y;
        ASSERT_TRUE(GetInspectedCell(a.inspectedCells, i, x));
        ASSERT_TRUE(GetInspectedCell(b.inspectedCells, i, y));
        ExpectSameBytes(x, y, WriteInspectedCellRecord, kInspectedCellRecordSize,
                        "inspected " + std::to_string(i));
    }
    EXPECT_EQ(std::tuple(a.tree.worksheetCount, a.tree.folderCount),
              std::tuple(b.tree.worksheetCount, b.tree.folderCount));
    CTreeItem *x = a.tree.first, *y = b.tree.first;
    for (; x && y; x = x->next, y = y->next) {
        EXPECT_EQ(std::tuple(std::string(x->name), x->itemType, x->level, x->expanded,
                             x == a.tree.active),
                  std::tuple(std::string(y->name), y->itemType, y->level, y->expanded,
                             y == b.tree.active));
        if (x->IsWorksheet() && y->IsWorksheet())
            ExpectSameSheet(*static_cast<CWorksheet*>(x), *static_cast<CWorksheet*>(y));
    }
    EXPECT_EQ(x, nullptr);
    EXPECT_EQ(y, nullptr);
}

} // namespace vl::xmltest
