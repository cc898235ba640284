#include "tests/dialogs/dialogwalk.h"

#include "core/settings.h"
#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/composer.h"
#include "dialogs/fontdialog.h"
#include "dialogs/fontpage.h"
#include "dialogs/listpage.h"
#include "dialogs/openwaitdlg.h"
#include "dialogs/optionsdlg.h"
#include "dialogs/printsheet.h"
#include "dialogs/protectiondlg.h"
#include "dialogs/sortdlg.h"
#include "dialogs/statisticsdlg.h"
#include "dialogs/stylepage.h"
#include "dialogs/textfiledlg.h"
#include "dialogs/xbasedlg.h"
#include "dialogs/zoomdlg.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "model/workbook.h"
#include "platform/core/bytes.h"
#include "tests/print/fakeprinters.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QTabWidget>
#include <cstring>
#include <memory>

namespace vl::dialogtest {

namespace {

class NoHost : public IComposerHost {
public:
    bool HasActiveWorkbook() const override { return true; }
    bool GetSelection(Selection&) const override { return false; }
    bool InsertFormula(const std::string&, bool) override { return false; }
};

// The style page as first shown, then each number family picked on it while it is shown.
void WalkStylePage(const DialogVisit& visit) {
    StandardFormat general;
    general.kind = STD_STYLE_GENERAL;
    CStylePage style(nullptr, general, nullptr);
    visit(style, "stylepage");
    const char* families[] = {"",     "general",  "currency", "accounting", "date",
                              "time", "datetime", "percent",  "fraction",   "scientific"};
    for (int family = 1; family <= 9; ++family) {
        style.show();
        style.Choose(family);
        QApplication::processEvents();
        visit(style, std::string("stylepage-") + families[family]);
    }
    style.hide();
}

// A FoxPro table of four fields, one of each type, with its header filled in.
void FillTable(XBaseSaveOptions& table) {
    table.format = kXBaseFoxPro;
    AllocateDescriptors(table, 4);
    const struct {
        const char* name;
        char type;
        uint8_t length, decimals;
    } fields[] = {
        {"NAME", 'C', 40, 0}, {"PRICE", 'N', 12, 2}, {"BORN", 'D', 8, 0}, {"NOTE", 'M', 10, 0}};
    for (int i = 0; i < 4; ++i) {
        uint8_t* d = table.fieldDescriptors + i * 32;
        std::memcpy(d, fields[i].name, std::strlen(fields[i].name));
        d[kFieldTypeByte] = uint8_t(fields[i].type);
        d[kFieldLengthByte] = fields[i].length;
        d[kFieldDecimalsByte] = fields[i].decimals;
    }
    table.header[1] = 126;
    table.header[2] = 12;
    table.header[3] = 7;
    StoreU32(table.header + 4, 1250);
    StoreU16(table.header + 8, 4 * 32 + 33);
}

// The open and save dialogs of text files and tables, on a text file's settings and a table.
void WalkFileDialogs(const DialogVisit& visit) {
    auto text = std::make_unique<TextFileSettings>();
    InitTextFileSettings(*text);
    text->separator = ';';
    text->columnWidths[0] = 10;
    text->columnWidths[1] = 8;
    text->columnWidths[2] = 15;
    CTextFileDlg openText(nullptr, *text, false);
    visit(openText, "opentextfile");
    CTextFileDlg saveText(nullptr, *text, true);
    visit(saveText, "savetextfile");
    XBaseSaveOptions table;
    FillTable(table);
    {
        CXBaseDlg xbase(nullptr, table, "/data/PRODUCTS.DBF", CXBaseDlg::kSave);
        visit(xbase, "xbase");
        CXBaseFieldDlg field(nullptr, {"PRICE", 'N', 12, 2});
        visit(field, "xbasefield");
    }
    ReleaseXBaseSaveOptions(table);
}

// The print sheet with the PDF printer, on each of its tabs.
void WalkPrintSheet(const DialogVisit& visit) {
    printtest::FakePrinters printers;
    PageSetupRecord setup;
    InitPageSetup(setup);
    CPrintSheet sheet(nullptr, false, false, printers, "Vorlane 7.3");
    sheet.SetPrinter(DefaultDeviceMode(PdfPrinter(), ""));
    sheet.LoadPageSettings(setup);
    const char* tabs[] = {"printsheet-general", "printsheet-layout", "printsheet-content"};
    for (int i = 0; i < 3; ++i) {
        sheet.Tabs()->setCurrentIndex(i);
        visit(sheet, tabs[i]);
    }
}

// The statistics of a worksheet in a folder, its first column numbered down 1,500 rows.
void WalkStatistics(const DialogVisit& visit) {
    auto book = CreateWorkbook();
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Sales", 1);
    CWorksheet* sheet = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "North", 2));
    CellCursor cursor;
    CellBuffer b;
    for (uint32_t row = 0; row < 1500; ++row) {
        MakeNumberCell(b, 0, row, row);
        sheet->cells.PutCell(b.bytes, cursor);
    }
    book->tree.active = sheet;
    CStatisticsDlg statistics(nullptr, *book, {0, 0, 0, 9});
    visit(statistics, "statistics");
}

} // namespace

void WalkFormatPages(const DialogVisit& visit) {
    WalkStylePage(visit);
    ColoredFont font;
    std::strcpy(font.font.faceName, "Liberation Sans");
    font.font.size = 10;
    font.font.weight = 2;
    CFontPage fontPage(nullptr, font, nullptr);
    visit(fontPage, "fontpage");
    StyleRecord cell;
    cell.borderSides = kBorderTop | kBorderBottom | kBorderDiagonalLeft;
    cell.borderLine.style = FORMAT_LINE_SOLID_1;
    cell.fill.pattern = FORMAT_PAT_GRAY50;
    CBorderPage border(nullptr, cell, nullptr);
    visit(border, "cellpage");
    cell.rotation = 30;
    cell.horizontalAlignment = 2;
    CAlignmentPage alignment(nullptr, cell, nullptr);
    visit(alignment, "alignmentpage");
    std::vector<DropDownListRecord> lists(kDropDownLists);
    SetDropDownName(lists[0], "Regions");
    for (const char* item : {"North", "South", "East", "West"}) AddDropDownEntry(lists[0], item);
    StyleRecord listed;
    listed.dropDownList = 1;
    CListPage list(nullptr, listed, lists.data(), nullptr);
    visit(list, "listpage");
    CListNameDlg listName(nullptr, "List 2.");
    visit(listName, "listname");
    CStyleNameDlg styleName(nullptr, "Style 12.");
    visit(styleName, "stylename");
    ViewSettingsRecord view;
    view.showGrid = 1;
    view.background.pattern.pattern = FORMAT_PAT_GRAD_VERT;
    CBackgroundPage background(nullptr, view, nullptr);
    visit(background, "worksheetpage");
}

void WalkWindowDialogs(const IClock& clock, const DialogVisit& visit) {
    CFontColorDlg fontDialog(nullptr, 4, 72);
    LogFont log;
    std::strcpy(log.faceName, "Liberation Sans");
    log.height = -16;
    log.weight = 700;
    fontDialog.SetChoice(log, Rgb(0, 0, 128));
    visit(fontDialog, "fontdialog");
    NoHost host;
    CFormulaComposer composer(nullptr, host, 0);
    composer.ChooseCategory(3);
    visit(composer, "composer");
    WalkPrintSheet(visit);
    COpenWaitDlg wait(nullptr, "/home/user/Documents/Reports/2026/Quarterly sales by region.vln",
                      clock, nullptr);
    visit(wait, "openwait");
    WalkFileDialogs(visit);
    COptionsDlg options(nullptr);
    visit(options, "options");
    ProtectionChoice choice{true, 1, false, "secret"};
    CProtectionDlg protection(nullptr, choice);
    visit(protection, "protection");
    CPasswordDlg password(nullptr, true);
    visit(password, "password");
    SortSettings sort;
    sort.keys[1] = {1, 3, 1};
    CSortDlg sortDialog(nullptr, sort);
    visit(sortDialog, "sort");
    WalkStatistics(visit);
    CZoomDlg zoom(nullptr, 100, QPoint(400, 400), nullptr);
    zoom.setAttribute(Qt::WA_DeleteOnClose, false);
    visit(zoom, "zoom");
}

} // namespace vl::dialogtest
