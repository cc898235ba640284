// The format commands of a workbook window: the toggles and keys, the pages' callbacks on
// the selection, row heights and column widths, protection and zoom.

#include "app/statusbarwnd.h"
#include "dialogs/formatpageapi.h"
#include "model/cellstyle.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QToolBar>

namespace vl {

namespace {

// Pages that record what they are opened with and keep the callbacks.
class RecordingPages : public IFormatPages {
public:
    void OpenStylePage(const FormatPageRequest& r, const StandardFormat&,
                       ApplyNumberFormatFn apply) override {
        Opened(r, ID_FORMAT_STYLE);
        number = std::move(apply);
    }
    void OpenFontPage(const FormatPageRequest& r, const ColoredFont& f,
                      ApplyFontFn apply) override {
        Opened(r, ID_FORMAT_FONT);
        shownFont = f;
        font = std::move(apply);
    }
    void OpenBorderPage(const FormatPageRequest& r, const StyleRecord& s,
                        ApplyStyleFn apply) override {
        Opened(r, ID_FORMAT_CELL);
        shownStyle = s;
        style = std::move(apply);
    }
    void OpenAlignmentPage(const FormatPageRequest& r, const StyleRecord& s,
                           ApplyStyleFn apply) override {
        Opened(r, ID_FORMAT_ALIGNMENT);
        shownStyle = s;
        style = std::move(apply);
    }
    void OpenListPage(const FormatPageRequest& r, const StyleRecord& s, DropDownListRecord*,
                      ApplyStyleFn apply) override {
        Opened(r, ID_FORMAT_LIST);
        shownStyle = s;
        style = std::move(apply);
    }
    void OpenBackgroundPage(const FormatPageRequest& r, const ViewSettingsRecord&,
                            ApplyBackgroundFn apply) override {
        Opened(r, ID_FORMAT_WORKSHEET);
        background = std::move(apply);
    }
    int OpenPageCommand() const override { return open; }
    void ClosePage() override { open = 0; }

    void Opened(const FormatPageRequest& r, int id) {
        open = id;
        request = r;
        opened.push_back(id);
    }
    int open = 0;
    std::vector<int> opened;
    FormatPageRequest request;
    ColoredFont shownFont;
    StyleRecord shownStyle;
    ApplyNumberFormatFn number;
    ApplyFontFn font;
    ApplyStyleFn style;
    ApplyBackgroundFn background;
};

class FormatCommandsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        frame->SetFormatPages(&pages);
        ASSERT_NE(NewWindow(), nullptr);
        // The idle pass shows the formatting bar now that a workbook is open.
        frame->OnIdle();
    }
    void SelectRange(uint16_t c1, uint32_t r1, uint16_t c2, uint32_t r2) {
        View()->SetSelection({c1, r1, c2, r2});
    }
    void Command(int id) {
        View()->setFocus();
        frame->OnCommand(id);
        Settle();
    }
    const StyleRecord& CellStyle(uint16_t column, uint32_t row) const {
        return GetStyleRecord(Book().styles,
                              CellStyleIndex(Book().tree.active->formats, row, column));
    }
    const FontRecord& CellFont(uint16_t column, uint32_t row) const {
        return GetFontRecord(Book().styles, CellStyle(column, row).fontRef.fontIndex);
    }
    int32_t Height(uint32_t row) const { return GetRowHeight(*Book().tree.active, row, 100); }
    uint16_t RowEntry(uint32_t row) const {
        CPagedList& rows = Book().tree.active->formats.rowHeights;
        return row < rows.ItemCount() ? *rows.GetItem2(row) : 0;
    }

    RecordingPages pages;
};

TEST_F(FormatCommandsTest, TogglesTurnMixedOnAndFlipTheRest) {
    struct Case {
        int id;
        Qt::Key key;
        uint8_t on;
        uint8_t FontRecord::*field;
    };
    const Case cases[] = {{ID_BOLD, Qt::Key_B, 2, &FontRecord::weight},
                          {ID_ITALIC, Qt::Key_I, 1, &FontRecord::italic},
                          {ID_UNDERLINE, Qt::Key_U, 1, &FontRecord::underline},
                          {ID_FONT_STYLE_4, Qt::Key_T, 1, &FontRecord::strikeout}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        // A1 on, B1 off: mixed becomes on for both, then off for both.
        SelectRange(0, 0, 0, 0);
        Command(c.id);
        ASSERT_EQ(CellFont(0, 0).*c.field, c.on);
        ASSERT_EQ(CellFont(1, 0).*c.field, 0);
        SelectRange(0, 0, 1, 0);
        Command(c.id);
        EXPECT_EQ(CellFont(0, 0).*c.field, c.on);
        EXPECT_EQ(CellFont(1, 0).*c.field, c.on);
        // The key reaches the same command.
        View()->setFocus();
        Key(c.key, Qt::ControlModifier);
        EXPECT_EQ(CellFont(0, 0).*c.field, 0);
        EXPECT_EQ(CellFont(1, 0).*c.field, 0);
    }
    EXPECT_TRUE(Active()->IsModified());
    // Each toggle left one undo entry.
    EXPECT_EQ(Book().undo.current, 4 * 3 - 1);
}

// Ctrl+B over a selection bold at every position makes it plain, though its runs leave a gap
// between rows over a column whose own style is bold: text in A5:C6, column C bold, then
// A5:B5 and A6:C6 bold.
TEST_F(FormatCommandsTest, CtrlBUnboldsAnAllBoldSelectionWithGapsOverABoldColumn) {
    for (uint32_t row : {4u, 5u})
        for (uint16_t c = 0; c < 3; ++c) Enter(c, row, QStringLiteral("t"));
    for (const CellRange& bold :
         {CellRange{2, 0, 2, kLastRow}, CellRange{0, 4, 1, 4}, CellRange{0, 5, 2, 5}}) {
        SelectRange(bold.c1, bold.r1, bold.c2, bold.r2);
        Command(ID_BOLD);
    }
    for (uint32_t row : {4u, 5u})
        for (uint16_t c = 0; c < 3; ++c) ASSERT_EQ(CellFont(c, row).weight, 2) << c << "," << row;
    SelectRange(0, 4, 2, 5);
    View()->setFocus();
    Key(Qt::Key_B, Qt::ControlModifier);
    for (uint32_t row : {4u, 5u})
        for (uint16_t c = 0; c < 3; ++c) EXPECT_EQ(CellFont(c, row).weight, 0) << c << "," << row;
}

TEST_F(FormatCommandsTest, BoldColumnsStyleTextTypedLater) {
    SelectRange(1, 0, 2, kLastRow);
    Command(ID_BOLD);
    const CFormatStore& formats = Book().tree.active->formats;
    EXPECT_EQ(GetFontRecord(Book().styles,
                            Book().styles.styles[ColumnStyleIndex(formats, 1)].fontRef.fontIndex)
                  .weight,
              2);
    Enter(2, 500, QStringLiteral("later"));
    EXPECT_EQ(CellFont(2, 500).weight, 2);
    EXPECT_EQ(CellFont(0, 500).weight, 0);
    // Undo gives the columns their plain style back.
    Command(ID_EDIT_UNDO); // the typed text
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(CellFont(2, 500).weight, 0);
}

TEST_F(FormatCommandsTest, PagesApplyTheirAttributeToTheSelection) {
    // A number format over cells of one style adds at most one style.
    SelectRange(0, 0, 3, 3);
    Command(ID_FORMAT_STYLE);
    ASSERT_EQ(pages.open, ID_FORMAT_STYLE);
    const uint16_t before = Book().styles.styleCount;
    StandardFormat percent;
    percent.kind = STD_STYLE_PERCENTAGE;
    ASSERT_TRUE(pages.number(percent));
    EXPECT_LE(Book().styles.styleCount, before + 1);
    EXPECT_EQ(CellStyle(3, 3).numberFormat.kind, STD_STYLE_PERCENTAGE);
    EXPECT_NE(CellStyle(4, 3).numberFormat.kind, STD_STYLE_PERCENTAGE);

    // A font size refits the selected rows; a colour does not.
    Enter(0, 10, QStringLiteral("tall"));
    const int32_t plain = Height(10);
    SelectRange(0, 10, 0, 10);
    Command(ID_FORMAT_FONT);
    ASSERT_EQ(pages.open, ID_FORMAT_FONT);
    ColoredFont big = pages.shownFont;
    EXPECT_STREQ(big.font.faceName, DefaultFontRecord().faceName);
    big.font.size = 36;
    ASSERT_TRUE(pages.font(big, kAttrFontSize));
    const int32_t grown = Height(10);
    EXPECT_GT(grown, plain);
    // A colour leaves the height, even one set by hand meanwhile.
    ASSERT_TRUE(SetFormatStoreRowEntry(Book().tree.active->formats, 10, 25, false));
    big.colorGiven = 1;
    big.color = 0x0000FF;
    ASSERT_TRUE(pages.font(big, kAttrFontColor));
    EXPECT_EQ(Height(10), 25);
    EXPECT_EQ(CellStyle(0, 10).fontRef.color, 0x0000FFu);

    // An outline (Around Selection: no sides, code 18) lands on the edge cells only.
    SelectRange(1, 20, 3, 22);
    Command(ID_FORMAT_CELL);
    ASSERT_EQ(pages.open, ID_FORMAT_CELL);
    EXPECT_EQ(pages.shownStyle.borderLine.style, FORMAT_LINE_SOLID);
    StyleRecord outline = pages.shownStyle;
    outline.borderSides = 0;
    ASSERT_TRUE(pages.style(outline, kAttrNothing));
    struct Cell {
        uint16_t column;
        uint32_t row;
        uint8_t sides;
    };
    const Cell cells[] = {{1, 20, kBorderTop | kBorderLeft},
                          {2, 20, kBorderTop},
                          {3, 20, kBorderTop | kBorderRight},
                          {1, 21, kBorderLeft},
                          {2, 21, 0},
                          {3, 22, kBorderBottom | kBorderRight},
                          {2, 22, kBorderBottom},
                          {4, 21, 0},
                          {2, 19, 0}};
    for (const Cell& c : cells)
        EXPECT_EQ(CellStyle(c.column, c.row).borderSides, c.sides) << c.column << "," << c.row;
    // One row: top and bottom on every cell of it.
    SelectRange(1, 30, 2, 30);
    Command(ID_FORMAT_CELL);
    ASSERT_TRUE(pages.style(outline, kAttrNothing));
    EXPECT_EQ(CellStyle(1, 30).borderSides, kBorderTop | kBorderBottom | kBorderLeft);
    EXPECT_EQ(CellStyle(2, 30).borderSides, kBorderTop | kBorderBottom | kBorderRight);
}

// Around Cell, Clear All and Around Selection of the cell page on a 2 x 3 box, on whole
// columns and on whole rows: each cell's sides after each, and the neighbours untouched.
TEST_F(FormatCommandsTest, BorderButtonsOnBoxesWholeColumnsAndWholeRows) {
    constexpr uint8_t kAll = kBorderTop | kBorderBottom | kBorderLeft | kBorderRight;
    constexpr uint8_t T = kBorderTop, B = kBorderBottom, L = kBorderLeft, R = kBorderRight;
    struct Cell {
        uint16_t column;
        uint32_t row;
        uint8_t sides;
    };
    struct Case {
        const char* what;
        CellRange sel;
        uint8_t code;
        uint8_t sides;
        std::vector<Cell> cells;
    };
    const CellRange box{1, 40, 2, 42}, columns{2, 0, 4, kLastRow}, rows{0, 3, kLastColumn, 5};
    const Case cases[] = {
        {"around cell, box",
         box,
         kAttrBorders,
         kAll,
         {{1, 40, kAll}, {2, 41, kAll}, {1, 42, kAll}, {0, 41, 0}, {3, 41, 0}, {1, 43, 0}}},
        {"clear all, box", box, kAttrBorders, 0, {{1, 40, 0}, {2, 41, 0}, {1, 42, 0}}},
        {"around selection, box",
         box,
         kAttrNothing,
         0,
         {{1, 40, T | L},
          {2, 40, T | R},
          {1, 41, L},
          {2, 41, R},
          {1, 42, B | L},
          {2, 42, B | R},
          {0, 41, 0},
          {3, 41, 0},
          {1, 39, 0},
          {1, 43, 0}}},
        {"around cell, columns",
         columns,
         kAttrBorders,
         kAll,
         {{2, 0, kAll}, {3, 700, kAll}, {4, kLastRow, kAll}, {1, 9, 0}, {5, 9, 0}}},
        {"clear all, columns", columns, kAttrBorders, 0, {{2, 0, 0}, {3, 700, 0}}},
        {"around selection, columns",
         columns,
         kAttrNothing,
         0,
         {{2, 0, L}, {2, kLastRow, L}, {3, 9, 0}, {4, 0, R}, {4, 500, R}, {1, 9, 0}, {5, 9, 0}}},
        {"around cell, rows",
         rows,
         kAttrBorders,
         kAll,
         {{0, 3, kAll}, {900, 4, kAll}, {kLastColumn, 5, kAll}, {0, 2, 0}, {0, 6, 0}}},
        {"clear all, rows", rows, kAttrBorders, 0, {{0, 3, 0}, {900, 4, 0}}},
        {"around selection, rows",
         rows,
         kAttrNothing,
         0,
         {{0, 3, T | L},
          {900, 3, T},
          {kLastColumn, 3, T | R},
          {0, 4, L},
          {900, 4, 0},
          {kLastColumn, 4, R},
          {0, 5, B | L},
          {900, 5, B},
          {kLastColumn, 5, B | R},
          {900, 2, 0},
          {900, 6, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SelectRange(c.sel.c1, c.sel.r1, c.sel.c2, c.sel.r2);
        Command(ID_FORMAT_CELL);
        ASSERT_EQ(pages.open, ID_FORMAT_CELL);
        StyleRecord style = pages.shownStyle;
        style.borderSides = c.sides;
        style.borderLine = {FORMAT_LINE_DOUBLE, 1, Rgb(200, 0, 0)};
        ASSERT_TRUE(pages.style(style, c.code));
        for (const Cell& cell : c.cells) {
            const StyleRecord& got = CellStyle(cell.column, cell.row);
            EXPECT_EQ(got.borderSides, cell.sides) << cell.column << "," << cell.row;
            if (cell.sides) {
                EXPECT_EQ(got.borderLine.style, FORMAT_LINE_DOUBLE);
            }
        }
    }
}

// The worksheet page's record goes onto the active worksheet: the background, the grid and
// the heading colours; the position, selection, panes and zoom stay the window's.
TEST_F(FormatCommandsTest, BackgroundPageAppliesItsFieldsOnly) {
    CWorksheet& sheet = *Book().tree.active;
    sheet.view.topLeft = {3, 7, 0};
    sheet.view.freezed = {2, 5, uint8_t(kRefRow | kRefColumn)};
    sheet.view.scale = 130;
    const ViewSettingsRecord before = sheet.view;
    Command(ID_FORMAT_WORKSHEET);
    ASSERT_EQ(pages.open, ID_FORMAT_WORKSHEET);
    ASSERT_TRUE(pages.background);
    ViewSettingsRecord chosen;
    chosen.background.kind = kBackgroundImage;
    std::strcpy(chosen.background.imagePath, "/pictures/sea.png");
    chosen.background.imageView = 2;
    chosen.background.pattern = {FORMAT_PAT_GRAY50, 1, Rgb(1, 2, 3), 1, Rgb(4, 5, 6)};
    chosen.showGrid = 0;
    chosen.gridColorGiven = 1;
    chosen.gridColor = Rgb(10, 20, 30);
    chosen.headingsColorGiven = 1;
    chosen.headingsColor = Rgb(40, 50, 60);
    chosen.topLeft = {9, 99, 0};
    chosen.freezed = {};
    chosen.scale = 55;
    Active()->SetModified(false);
    ASSERT_TRUE(pages.background(chosen));
    const ViewSettingsRecord& v = sheet.view;
    EXPECT_EQ(v.background.kind, kBackgroundImage);
    EXPECT_STREQ(v.background.imagePath, "/pictures/sea.png");
    EXPECT_EQ(v.background.imageView, 2);
    EXPECT_EQ(v.background.pattern.pattern, FORMAT_PAT_GRAY50);
    EXPECT_EQ(v.background.pattern.patternColor, Rgb(1, 2, 3));
    EXPECT_EQ(v.background.pattern.backgroundColor, Rgb(4, 5, 6));
    EXPECT_EQ(v.showGrid, 0);
    EXPECT_EQ(std::tuple(v.gridColorGiven, v.gridColor), std::tuple(1, Rgb(10, 20, 30)));
    EXPECT_EQ(std::tuple(v.headingsColorGiven, v.headingsColor), std::tuple(1, Rgb(40, 50, 60)));
    EXPECT_EQ(std::tuple(v.topLeft.column, v.topLeft.row), std::tuple(3, 7u));
    EXPECT_EQ(std::tuple(v.freezed.column, v.freezed.row, v.freezed.flags),
              std::tuple(before.freezed.column, before.freezed.row, before.freezed.flags));
    EXPECT_EQ(v.scale, 130);
    EXPECT_TRUE(Active()->IsModified());
}

TEST_F(FormatCommandsTest, PagesOpenUnderTheirButtonElseUnderTheActiveCell) {
    SelectRange(0, 0, 0, 0);
    Command(ID_BOLD);
    SelectRange(0, 0, 1, 0);
    Command(ID_FORMAT_FONT);
    ASSERT_EQ(pages.opened.size(), 1u);
    EXPECT_EQ(pages.request.mixed[14], 2);
    // The page opens at the lower-left corner of its button.
    QToolBar* bar = frame->Toolbar(kFormattingBar);
    QWidget* button = bar->widgetForAction(frame->ToolAction(ID_FORMAT_FONT));
    EXPECT_EQ(pages.request.point, button->mapToGlobal(QPoint(0, button->height())));
    // A button the shown bar leaves out (as one that did not fit) opens its page under the
    // active cell.
    const DcRect cell = View()->GetRangeRect({0, 0, 0, 0});
    const QPoint underCell = View()->viewport()->mapToGlobal(QPoint(cell.left, cell.bottom + 1));
    frame->ToolAction(ID_FORMAT_FONT)->setVisible(false);
    Settle();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_FALSE(button->isVisible());
    Command(ID_FORMAT_FONT);
    EXPECT_EQ(pages.request.point, underCell);
    frame->ToolAction(ID_FORMAT_FONT)->setVisible(true);
    // With the bar hidden the menu's items still open their pages, under the active cell.
    bar->hide();
    Command(ID_FORMAT_CELL);
    Command(ID_FORMAT_WORKSHEET);
    EXPECT_EQ(pages.opened, (std::vector<int>{ID_FORMAT_FONT, ID_FORMAT_FONT, ID_FORMAT_CELL,
                                              ID_FORMAT_WORKSHEET}));
    EXPECT_EQ(pages.request.point, underCell);
    // Without pages the six commands are disabled.
    frame->SetFormatPages(nullptr);
    EXPECT_FALSE(Active()->CommandAvailable(ID_FORMAT_FONT));
    EXPECT_TRUE(Active()->CommandAvailable(ID_BOLD));
    frame->SetFormatPages(&pages);
    EXPECT_TRUE(Active()->CommandAvailable(ID_FORMAT_FONT));
}

TEST_F(FormatCommandsTest, RowHeightsAndColumnWidths) {
    struct Case {
        int answer;
        uint16_t entry; // of row 3
    };
    const Case cases[] = {{0, 1}, {4095, (4095 << 1) | 1}, {40, (40 << 1) | 1}};
    for (const Case& c : cases) {
        ui.sizeAnswer = c.answer;
        SelectRange(0, 3, 0, 3);
        Command(ID_ROW_HEIGHT);
        EXPECT_EQ(RowEntry(3), c.entry);
    }
    ASSERT_EQ(ui.sizeAsks.size(), 3u);
    EXPECT_FALSE(ui.sizeAsks[0].columnWidth);
    EXPECT_EQ(ui.sizeAsks[2].value, 4095); // the height shown is the row's
    EXPECT_EQ(Height(3), 40);
    // Rows past the end of the list extend it with automatic entries.
    const uint32_t count = Book().tree.active->formats.rowHeights.ItemCount();
    SelectRange(0, count + 100, 0, count + 101);
    Command(ID_ROW_HEIGHT);
    EXPECT_EQ(RowEntry(count + 101), (40 << 1) | 1);
    EXPECT_EQ(RowEntry(count + 50), 0);
    // Cancel changes nothing.
    ui.sizeAnswer = -1;
    const int32_t undo = Book().undo.current;
    SelectRange(0, 3, 0, 3);
    Command(ID_ROW_HEIGHT);
    EXPECT_EQ(Book().undo.current, undo);

    // Auto Row Height on rows never sized still records an undo entry; the tick follows.
    SelectRange(0, 600000, 0, 600002);
    EXPECT_TRUE(Active()->AutoRowHeightTicked());
    Command(ID_AUTO_ROW_HEIGHT);
    EXPECT_EQ(Book().undo.current, undo + 1);
    SelectRange(0, 2, 0, 4);
    EXPECT_FALSE(Active()->AutoRowHeightTicked());
    Command(ID_AUTO_ROW_HEIGHT);
    EXPECT_EQ(RowEntry(3) & 1, 0);
    EXPECT_TRUE(Active()->AutoRowHeightTicked());
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(RowEntry(3), (40 << 1) | 1);

    // Column Width gives every selected column one width; Undo restores each.
    CFormatStore& formats = Book().tree.active->formats;
    formats.columns[1].width = (70 << 1) | 1;
    ui.sizeAnswer = 33;
    SelectRange(0, 0, 2, 0);
    Command(ID_COLUMN_WIDTH);
    EXPECT_TRUE(ui.sizeAsks.back().columnWidth);
    for (uint16_t col = 0; col <= 2; ++col) EXPECT_EQ(formats.columns[col].width, (33 << 1) | 1);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(formats.columns[0].width, 0);
    EXPECT_EQ(formats.columns[1].width, (70 << 1) | 1);
}

TEST_F(FormatCommandsTest, AutoColumnWidthOfWrappedTextRefitsItsRows) {
    CWorkbook& book = Book();
    ASSERT_TRUE(WrapText(0, 0));
    // Wide enough for one line: the row keeps the default height.
    book.tree.active->formats.columns[0].width = (600 << 1) | 1;
    Enter(0, 0, QStringLiteral("one two three four five six seven eight nine ten"));
    Enter(1, 5, QStringLiteral("a rather long text that needs a wide column"));
    const int32_t oneLine = Height(0);
    SelectRange(0, 0, 1, 0);
    Command(ID_AUTO_COLUMN_WIDTH);
    EXPECT_GT(GetColumnWidth(*book.tree.active, 1, 100), 100);
    // Only wrapped text in A: it goes back to the default width, and its row grows.
    EXPECT_EQ(book.tree.active->formats.columns[0].width & 1, 0);
    EXPECT_GT(Height(0), oneLine);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(book.tree.active->formats.columns[0].width, (600 << 1) | 1);
}

// Each alignment code the pages apply fits the selected rows to their text again (the whole
// alignment, each of its parts, wrapping, and the alignment page's controls one by one); the
// codes beside them leave a row's height as it was. A1's wrapped text needs several lines.
TEST_F(FormatCommandsTest, AlignmentCodesRefitTheRowsAndTheirNeighboursDoNot) {
    ASSERT_TRUE(WrapText(0, 0));
    Enter(0, 0, QStringLiteral("one two three four five six seven eight nine ten"));
    const int32_t fitted = Height(0);
    ASSERT_GT(fitted, 25);
    struct Case {
        uint8_t code;
        bool refits;
    };
    const Case cases[] = {
        {kAttrDropDownList, false},
        {kAttrAlignment, true},
        {kAttrHorizontalAlignment, true},
        {kAttrVerticalAlignment, true},
        {kAttrWrapping, true},
        {kAttrBorders, false},
        {kAttrProtection, false},
        {kAttrAlignmentRotation, true},
        {kAttrHorizontalOnly, true},
        {kAttrVerticalOnly, true},
        {kAttrHorizontalIndent, true},
        {kAttrVerticalIndent, true},
        {kAttrRotation, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.code));
        ASSERT_TRUE(SetFormatStoreRowEntry(Book().tree.active->formats, 0, 25, false));
        SelectRange(0, 0, 0, 0);
        // The cell page's course: the alignment page's would turn code 13 into 21.
        Command(ID_FORMAT_CELL);
        ASSERT_EQ(pages.open, ID_FORMAT_CELL);
        ASSERT_TRUE(pages.style(pages.shownStyle, c.code));
        EXPECT_EQ(Height(0), c.refits ? fitted : 25);
    }
}

TEST_F(FormatCommandsTest, ProtectionStoresTheCodeOfTheChoice) {
    struct Case {
        bool on;
        int encryption;
        bool readOnly;
        uint8_t code;
        const char* password;
    };
    const Case cases[] = {{false, 1, true, 0, ""},
                          {true, 0, true, 1, "pw1"},
                          {true, 0, false, 2, "pw2"},
                          {true, 1, true, 3, "pw3"},
                          {true, 1, false, 4, "pw4"}};
    CWorkbook& book = Book();
    for (const Case& c : cases) {
        Active()->SetModified(false);
        ProtectionChoice shown;
        ui.protection = [&](ProtectionChoice& choice) {
            shown = choice;
            choice = {c.on, c.encryption, c.readOnly, QString::fromLatin1(c.password)};
            return IDOK;
        };
        const uint8_t before = book.encryption;
        Command(ID_FILE_PROTECTION);
        EXPECT_EQ(book.encryption, c.code);
        EXPECT_STREQ(book.password, c.password);
        EXPECT_TRUE(Active()->IsModified());
        EXPECT_EQ(shown.on, before != 0);
    }
    // The dialog starts from the workbook's code 4; Cancel changes nothing.
    ProtectionChoice shown;
    ui.protection = [&](ProtectionChoice& choice) {
        shown = choice;
        choice = {};
        return IDCANCEL;
    };
    Active()->SetModified(false);
    Command(ID_FILE_PROTECTION);
    EXPECT_TRUE(shown.on);
    EXPECT_EQ(shown.encryption, 1);
    EXPECT_FALSE(shown.allowReadOnly);
    EXPECT_EQ(shown.password, QStringLiteral("pw4"));
    EXPECT_EQ(book.encryption, 4);
    EXPECT_FALSE(Active()->IsModified());
    // Statistics opens on the selection and changes nothing.
    SelectRange(1, 2, 3, 4);
    Command(ID_FILE_STATISTICS);
    ASSERT_EQ(ui.statistics.size(), 1u);
    EXPECT_EQ(ui.statistics[0], (CellRange{1, 2, 3, 4}));
    EXPECT_FALSE(Active()->IsModified());
}

TEST_F(FormatCommandsTest, ZoomWithoutAllWorksheetsChangesTheActiveOne) {
    Command(ID_NEW_WORKSHEET);
    CWorkbook& book = Book();
    CWorksheet* active = book.tree.active;
    CWorksheet* other = nullptr;
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (CWorksheet* ws = AsWorksheet(item); ws && ws != active) other = ws;
    ASSERT_NE(other, nullptr);
    // An open edit is stored before the pop-up opens.
    StartTyping(0, 0, QStringLiteral("7"));
    Command(ID_ZOOM);
    EXPECT_FALSE(View()->EditorOpen());
    EXPECT_EQ(CellText(0, 0), "7");
    ASSERT_TRUE(ui.zoomApply);
    EXPECT_EQ(ui.zoomShown, 100);
    ui.zoomApply(150, false);
    EXPECT_EQ(active->view.scale, 150);
    EXPECT_NE(other->view.scale, 150);
    EXPECT_EQ(frame->StatusBarWnd()->PaneText(5), QString::fromStdString(ZoomText(150)));
    ui.zoomApply(75, true);
    EXPECT_EQ(active->view.scale, 75);
    EXPECT_EQ(other->view.scale, 75);
    EXPECT_TRUE(Active()->IsModified());
}

} // namespace

} // namespace vl
