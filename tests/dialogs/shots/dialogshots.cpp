// Writes one picture per dialog, page and sub-page into the folder given, each shown on
// fixture data as the user would first see it.
#include "app/uiutil.h"
#include "core/settings.h"
#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/composer.h"
#include "dialogs/fontdialog.h"
#include "dialogs/fontpage.h"
#include "dialogs/listpage.h"
#include "dialogs/printsheet.h"
#include "dialogs/stylepage.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <cstring>

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
    return g_failures == 0 ? 0 : 1;
}
