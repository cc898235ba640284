// Writes one picture per dialog, page and sub-page into the folder given, each shown on
// fixture data as the user would first see it.
#include "ui/uiutil.h"
#include "core/clock.h"
#include "core/settings.h"
#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/chart/stylepage.h"
#include "dialogs/chart/windowpage.h"
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

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

QString g_folder;
int g_failures = 0;

void Shoot(QWidget& widget, const char* name) {
    widget.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QString path = g_folder + "/" + name + ".png";
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++g_failures;
    }
    widget.hide();
}

// The PDF printer alone, as on a machine without printers.
class NoPrinters : public vl::IPrinterService {
public:
    std::vector<vl::PrinterEntry> SystemPrinters() const override { return {}; }
    std::string DocumentsFolder() const override { return "/tmp"; }
};

class NoHost : public vl::IComposerHost {
public:
    bool HasActiveWorkbook() const override { return true; }
    bool GetSelection(Selection&) const override { return false; }
    bool InsertFormula(const std::string&, bool) override { return false; }
};

// The file and option dialogs on a small table, a text file's settings and a workbook.
void ShootFileDialogs() {
    using namespace vl;
    CSystemClock clock;
    COpenWaitDlg wait(nullptr, "/home/user/Documents/Reports/2026/Quarterly sales by region.vln",
                      clock, nullptr);
    Shoot(wait, "openwait");
    auto text = std::make_unique<TextFileSettings>();
    InitTextFileSettings(*text);
    text->separator = ';';
    text->columnWidths[0] = 10;
    text->columnWidths[1] = 8;
    text->columnWidths[2] = 15;
    CTextFileDlg openText(nullptr, *text, false);
    Shoot(openText, "opentextfile");
    CTextFileDlg saveText(nullptr, *text, true);
    Shoot(saveText, "savetextfile");
    XBaseSaveOptions table;
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
    CXBaseDlg xbase(nullptr, table, "/data/PRODUCTS.DBF", CXBaseDlg::kSave);
    xbase.resize(460, 300);
    Shoot(xbase, "xbase");
    CXBaseFieldDlg field(nullptr, {"PRICE", 'N', 12, 2});
    Shoot(field, "xbasefield");
    ReleaseXBaseSaveOptions(table);
    COptionsDlg options(nullptr);
    Shoot(options, "options");
    ProtectionChoice choice{true, 1, false, "secret"};
    CProtectionDlg protection(nullptr, choice);
    Shoot(protection, "protection");
    CPasswordDlg password(nullptr, true);
    Shoot(password, "password");
    SortSettings sort;
    sort.keys[1] = {1, 3, 1};
    CSortDlg sortDialog(nullptr, sort);
    Shoot(sortDialog, "sort");
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
    Shoot(statistics, "statistics");
    CZoomDlg zoom(nullptr, 100, QPoint(400, 400), nullptr);
    zoom.setAttribute(Qt::WA_DeleteOnClose, false);
    Shoot(zoom, "zoom");
}

// The container properties window on each of its pages, the container's first and then a
// column chart's with three series; then the dialogs the Style, Grid and Window pages open.
void ShootContainerWindow() {
    using namespace vl;
    CContainerPropertiesDlg window(ContainerDlgHost{}, nullptr);
    window.Open(nullptr);
    const char* names[CContainerPropertiesDlg::kPageCount] = {
        "data",         "view",      "style",    "axes",   "grid",  "walls",
        "titleslegend", "options3d", "contents", "window", "titles"};
    for (int tab = 0; tab < 3; ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        Shoot(window,
              (std::string("container-") + names[CContainerPropertiesDlg::kChartPages + tab])
                  .c_str());
    }
    window.Tabs()->setCurrentIndex(1);
    auto* windowPage = static_cast<CContainerWindowPage*>(window.Page(9));
    FractalSettings fractal = windowPage->Fractal();
    window.ChooseObject(CContainerPropertiesDlg::kAdd2D);
    for (int i = 0; i < 3; ++i) window.OnCommand(CContainerPropertiesDlg::kAddSeries);
    for (int tab = 0; tab < CContainerPropertiesDlg::kChartPages; ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        Shoot(window, (std::string("container-") + names[tab]).c_str());
    }
    window.Tabs()->setCurrentIndex(2);
    ChartProportions proportions = static_cast<CChartStylePage*>(window.Page(2))->Proportions();
    CChartStyleAdvancedDlg advanced(proportions, nullptr);
    Shoot(advanced, "chartstyleadvanced");
    CUserGridlineDlg gridline(12.5, BorderLine{1, 1, Rgb(255, 0, 0)}, nullptr);
    Shoot(gridline, "usergridline");
    CFractalPropertiesDlg fractalDialog(fractal, nullptr);
    Shoot(fractalDialog, "fractalproperties");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialogshots folder\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    using namespace vl;
    Profile().userNumericFormats = {{"Thousands", "#,##0"}, {"Two places", "0.00"}};

    StandardFormat general;
    general.kind = STD_STYLE_GENERAL;
    CStylePage style(nullptr, general, nullptr);
    Shoot(style, "stylepage");
    const char* families[] = {"",     "general",  "currency", "accounting", "date",
                              "time", "datetime", "percent",  "fraction",   "scientific"};
    for (int family = 2; family <= 9; ++family) {
        style.Choose(family);
        Shoot(style, (std::string("stylepage-") + families[family]).c_str());
    }
    ColoredFont font;
    std::strcpy(font.font.faceName, "Liberation Sans");
    font.font.size = 10;
    font.font.weight = 2;
    CFontPage fontPage(nullptr, font, nullptr);
    Shoot(fontPage, "fontpage");
    StyleRecord cell;
    cell.borderSides = kBorderTop | kBorderBottom | kBorderDiagonalLeft;
    cell.borderLine.style = FORMAT_LINE_SOLID_1;
    cell.fill.pattern = FORMAT_PAT_GRAY50;
    CBorderPage border(nullptr, cell, nullptr);
    border.resize(border.sizeHint().expandedTo(QSize(420, 320)));
    Shoot(border, "cellpage");
    cell.rotation = 30;
    cell.horizontalAlignment = 2;
    CAlignmentPage alignment(nullptr, cell, nullptr);
    Shoot(alignment, "alignmentpage");
    std::vector<DropDownListRecord> lists(kDropDownLists);
    SetDropDownName(lists[0], "Regions");
    for (const char* item : {"North", "South", "East", "West"}) AddDropDownEntry(lists[0], item);
    StyleRecord listed;
    listed.dropDownList = 1;
    CListPage list(nullptr, listed, lists.data(), nullptr);
    Shoot(list, "listpage");
    CListNameDlg listName(nullptr, "List 2.");
    Shoot(listName, "listname");
    CStyleNameDlg styleName(nullptr, "Style 12.");
    Shoot(styleName, "stylename");
    ViewSettingsRecord view;
    view.showGrid = 1;
    view.background.pattern.pattern = FORMAT_PAT_GRAD_VERT;
    CBackgroundPage background(nullptr, view, nullptr);
    Shoot(background, "worksheetpage");
    CFontColorDlg fontDialog(nullptr, 4, 72);
    LogFont log;
    std::strcpy(log.faceName, "Liberation Sans");
    log.height = -16;
    log.weight = 700;
    fontDialog.SetChoice(log, Rgb(0, 0, 128));
    Shoot(fontDialog, "fontdialog");
    NoHost host;
    CFormulaComposer composer(nullptr, host, 0);
    composer.ChooseCategory(3);
    Shoot(composer, "composer");
    NoPrinters printers;
    PageSetupRecord setup;
    InitPageSetup(setup);
    CPrintSheet sheet(nullptr, false, false, printers, "Vorlane 7.3");
    sheet.SetPrinter(DefaultDeviceMode(PdfPrinter(), ""));
    sheet.LoadPageSettings(setup);
    const char* tabs[] = {"printsheet-general", "printsheet-layout", "printsheet-content"};
    for (int i = 0; i < 3; ++i) {
        sheet.Tabs()->setCurrentIndex(i);
        Shoot(sheet, tabs[i]);
    }
    ShootFileDialogs();
    ShootContainerWindow();
    return g_failures == 0 ? 0 : 1;
}
