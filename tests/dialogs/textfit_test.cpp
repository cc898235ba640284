// Every dialog, page and sub-page shown as the user first sees it: no label, button or
// combo cuts its text off at the default font.
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
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/textfit.h"

#include <cstring>
#include <functional>
#include <memory>

using namespace vl;

namespace {

class NoPrinters : public IPrinterService {
public:
    std::vector<PrinterEntry> SystemPrinters() const override { return {}; }
    std::string DocumentsFolder() const override { return "/tmp"; }
};

class NoHost : public IComposerHost {
public:
    bool HasActiveWorkbook() const override { return true; }
    bool GetSelection(Selection&) const override { return false; }
    bool InsertFormula(const std::string&, bool) override { return false; }
};

void ExpectAllFit(QWidget& dialog, const char* name) {
    for (const std::string& cut : dialogtest::CutTextsOnEveryPage(dialog))
        ADD_FAILURE() << name << ": " << cut;
}

} // namespace

TEST(TextFit, FormatPagesAndTheirSubPages) {
    StandardFormat general;
    general.kind = STD_STYLE_GENERAL;
    CStylePage style(nullptr, general, nullptr);
    ExpectAllFit(style, "style page");
    // The user picks each family on the page as it was first shown.
    style.show();
    for (int family = 1; family <= 9; ++family) {
        style.Choose(family);
        QApplication::processEvents();
        for (const std::string& cut : dialogtest::CutTexts(style))
            ADD_FAILURE() << "style page " << family << ": " << cut;
    }
    style.hide();
    ColoredFont font;
    std::strcpy(font.font.faceName, "Liberation Sans");
    font.font.size = 10;
    CFontPage fontPage(nullptr, font, nullptr);
    ExpectAllFit(fontPage, "font page");
    CBorderPage border(nullptr, StyleRecord{}, nullptr);
    ExpectAllFit(border, "cell page");
    CAlignmentPage alignment(nullptr, StyleRecord{}, nullptr);
    ExpectAllFit(alignment, "alignment page");
    std::vector<DropDownListRecord> lists(kDropDownLists);
    CListPage list(nullptr, StyleRecord{}, lists.data(), nullptr);
    ExpectAllFit(list, "list page");
    CListNameDlg listName(nullptr, "List 2.");
    ExpectAllFit(listName, "list name");
    CStyleNameDlg styleName(nullptr, "Style 12.");
    ExpectAllFit(styleName, "style name");
    ViewSettingsRecord view;
    CBackgroundPage background(nullptr, view, nullptr);
    ExpectAllFit(background, "worksheet page");
}

TEST(TextFit, DialogsOfTheWindow) {
    dialogtest::FakeClock clock;
    CFontColorDlg fontDialog(nullptr, 4, 72);
    ExpectAllFit(fontDialog, "font dialog");
    NoHost host;
    CFormulaComposer composer(nullptr, host, 0);
    ExpectAllFit(composer, "composer");
    NoPrinters printers;
    PageSetupRecord setup;
    InitPageSetup(setup);
    CPrintSheet sheet(nullptr, false, false, printers, "Vorlane 7.3");
    sheet.SetPrinter(DefaultDeviceMode(PdfPrinter(), ""));
    sheet.LoadPageSettings(setup);
    ExpectAllFit(sheet, "print sheet");
    COpenWaitDlg wait(nullptr, "/home/user/Quarterly.vln", clock, nullptr);
    ExpectAllFit(wait, "open wait");
    auto text = std::make_unique<TextFileSettings>();
    InitTextFileSettings(*text);
    CTextFileDlg openText(nullptr, *text, false);
    ExpectAllFit(openText, "open text file");
    CTextFileDlg saveText(nullptr, *text, true);
    ExpectAllFit(saveText, "save text file");
    XBaseSaveOptions table;
    table.format = kXBaseFoxPro;
    AllocateDescriptors(table, 1);
    CXBaseDlg xbase(nullptr, table, "/data/PRODUCTS.DBF", CXBaseDlg::kSave);
    ExpectAllFit(xbase, "xbase");
    CXBaseFieldDlg field(nullptr, {"PRICE", 'N', 12, 2});
    ExpectAllFit(field, "xbase field");
    ReleaseXBaseSaveOptions(table);
    COptionsDlg options(nullptr);
    ExpectAllFit(options, "options");
    ProtectionChoice choice{true, 1, false, "secret"};
    CProtectionDlg protection(nullptr, choice);
    ExpectAllFit(protection, "protection");
    CPasswordDlg password(nullptr, true);
    ExpectAllFit(password, "password");
    SortSettings sort;
    CSortDlg sortDialog(nullptr, sort);
    ExpectAllFit(sortDialog, "sort");
    auto book = CreateWorkbook();
    CWorksheet* ws = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "North", 1));
    book->tree.active = ws;
    CStatisticsDlg statistics(nullptr, *book, {0, 0, 0, 9});
    ExpectAllFit(statistics, "statistics");
    CZoomDlg zoom(nullptr, 100, QPoint(400, 400), nullptr);
    zoom.setAttribute(Qt::WA_DeleteOnClose, false);
    ExpectAllFit(zoom, "zoom");
}
