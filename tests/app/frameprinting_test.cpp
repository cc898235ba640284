#include "app/frameprinting.h"
#include "dialogs/printgeneralpage.h"
#include "dialogs/printlayoutpage.h"
#include "dialogs/printsheet.h"
#include "model/container.h"
#include "print/pagination.h"
#include "rendertest.h"
#include "tests/print/fakeprinters.h"
#include "ui/uiservices.h"
#include "ui_printgeneralpage.h"
#include "ui_printlayoutpage.h"

#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstring>
#include <functional>

namespace vl {

using rendertest::SheetFixture;

namespace {

using printtest::FakePrinters;

// Answers the print sheet through `onSheet` and the file dialog with `savePath`.
class SheetUi : public IUiServices {
public:
    SheetUi() { SetUiServices(this); }
    ~SheetUi() override { SetUiServices(nullptr); }
    int MessageBox(const QString& text, const QString&, uint32_t) override {
        boxes.push_back(text);
        return IDOK;
    }
    QString GetOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString GetSaveFileName(const QString&, const QString& folder, const QString&) override {
        suggested = folder;
        ++saveDialogs;
        return savePath;
    }
    void Beep() override {}
    void SetWaitCursor(bool) override {}
    int RunDialog(QDialog& dialog) override {
        ++sheets;
        auto* sheet = dynamic_cast<CPrintSheet*>(&dialog);
        if (!sheet) return QDialog::Rejected;
        if (onSheet) onSheet(*sheet);
        return dialog.result();
    }

    std::function<void(CPrintSheet&)> onSheet;
    std::vector<QString> boxes;
    QString savePath;
    QString suggested;
    int saveDialogs = 0;
    int sheets = 0;
};

class FakeWindow : public IWorkbookWnd {
public:
    FakeWindow(CWorkbook& book, CEvalContext& ctx) : book_(book), ctx_(ctx) {}
    QWidget* Widget() override { return nullptr; }
    CWorkbook* Workbook() override { return &book_; }
    QString Title() const override { return "Budget.vln"; }
    bool QuerySaveChanges() override { return true; }
    bool IsModified() const override { return modified; }
    void SetModified(bool m) override { modified = m; }
    bool HasOpenFile() const override { return false; }
    QString FilePath() const override { return filePath; }
    void SendCommand(int) override {}
    void PostCommand(int) override {}
    bool HandleCommand(int) override { return false; }
    bool ForwardKey(QKeyEvent*) override { return false; }
    DocumentState State() const override { return {}; }
    const CCellStore* ActiveCells() const override { return nullptr; }
    CEvalContext* EvalContext() override { return &ctx_; }
    void RefreshViews() override {}
    bool ActiveSelection(CellRange& range, uint16_t& id) const override {
        range = selection;
        id = container;
        return true;
    }

    bool modified = false;
    QString filePath = QStringLiteral("/home/user/Budget.vln");
    CellRange selection{1, 2, 3, 40};
    uint16_t container = 0;

private:
    CWorkbook& book_;
    CEvalContext& ctx_;
};

class PrintServicesTest : public ::testing::Test, public SheetFixture {
protected:
    PrintServicesTest() : window(Book(), Context()) {
        CPrintSheet::StartPage(false) = 0;
        CPrintSheet::StartPage(true) = 0;
        UserSeparators().decimal = '.';
        Sheet().InitPageSetup();
        Book().tree.active = &Sheet();
        for (uint32_t row = 0; row < 200; ++row) PutNumber(0, row, row);
        services.inches = false;
    }
    PageSetupRecord& Settings() { return Sheet().pageSetup; }
    std::string Path(const char* name) { return dir.filePath(name).toStdString(); }

    SheetUi ui;
    FakePrinters printers;
    CFramePrintServices services{printers};
    FakeWindow window;
    QTemporaryDir dir;
};

} // namespace

TEST_F(PrintServicesTest, PageSetupCancelledChangesNothing) {
    const PageSetupRecord before = Settings();
    ui.onSheet = [](CPrintSheet& sheet) {
        EXPECT_EQ(sheet.Tabs()->count(), 2);
        sheet.Layout()->Form().id405->setText("3");
        sheet.Layout()->Form().id189->click();
        sheet.reject();
    };
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_EQ(ui.sheets, 1);
    EXPECT_EQ(std::memcmp(&before, &Settings(), sizeof before), 0);
    EXPECT_FALSE(window.modified);
    // The printer stays the one the page settings name: the PDF printer, on A4.
    ui.onSheet = [](CPrintSheet& sheet) {
        EXPECT_EQ(sheet.Printer().printer.name, "PDF");
        EXPECT_EQ(sheet.Printer().paper.name, "A4");
        EXPECT_FALSE(sheet.Printer().landscape);
        sheet.reject();
    };
    services.PageSetup(nullptr, window);
}

TEST_F(PrintServicesTest, ChangedMarginsMarkTheWorkbookModified) {
    Settings().printRangeKind = kPrintSelection;
    ui.onSheet = [](CPrintSheet& sheet) {
        sheet.Layout()->Form().id405->setText("3");
        sheet.Layout()->Form().id189->click();
        sheet.accept();
    };
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_TRUE(window.modified);
    EXPECT_DOUBLE_EQ(Settings().marginLeft, 30);
    EXPECT_EQ(Settings().landscape, 1);
    // The view's selection becomes the print range; printing resolves the kind.
    EXPECT_EQ(Settings().printRangeKind, kPrintSelection);
    EXPECT_EQ(Settings().printRange.c1, 1);
    EXPECT_EQ(Settings().printRange.r2, 40u);

    // In Print, a change marks the workbook although nothing is printed after Cancel.
    window.modified = false;
    ui.onSheet = [](CPrintSheet& sheet) {
        sheet.Tabs()->setCurrentIndex(1);
        sheet.Layout()->Form().id405->setText("2.5");
        ASSERT_TRUE(sheet.ApplyNow());
        sheet.Layout()->Form().id405->setText("4");
        sheet.reject();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_TRUE(window.modified);
    EXPECT_DOUBLE_EQ(Settings().marginLeft, 25); // what Apply stored, not what was typed after
    EXPECT_EQ(ui.saveDialogs, 0);
    // The printer chosen in the sheet is kept for the next sheet.
    ui.onSheet = [](CPrintSheet& sheet) {
        EXPECT_TRUE(sheet.Printer().landscape);
        sheet.reject();
    };
    services.PageSetup(nullptr, window);
}

TEST_F(PrintServicesTest, PrintToFileWritesTheAnsweredPath) {
    PrinterEntry office;
    office.name = "Office";
    office.isDefault = true;
    office.dpi = 96;
    office.papers = PdfPrinter().papers;
    printers.printers = {office};
    ui.savePath = QString::fromStdString(Path("answered.pdf"));
    ui.onSheet = [](CPrintSheet& sheet) {
        EXPECT_EQ(sheet.General()->Form().id215->currentText(), "Office");
        sheet.General()->Form().id216->click();
        sheet.accept();
    };
    // A printer of the system does not open here: the job goes into the file instead.
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_TRUE(ui.suggested.endsWith("/Budget.pdf")) << ui.suggested.toStdString();
    QFile file(ui.savePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_FALSE(QFile::exists(ui.savePath + ".part"));

    // No path given: nothing is printed.
    QFile::remove(ui.savePath);
    ui.savePath.clear();
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("answered.pdf"))));
}

// The proposed name is the document's file name, never the title with its worksheet path
// and modified star; a workbook without a file is "New Workbook".
TEST_F(PrintServicesTest, PrintToFileProposesTheDocumentsName) {
    PrinterEntry office;
    office.name = "Office";
    office.isDefault = true;
    office.papers = PdfPrinter().papers;
    printers.printers = {office};
    printers.folder = dir.path().toStdString();
    ui.onSheet = [](CPrintSheet& sheet) {
        sheet.General()->Form().id216->click();
        sheet.accept();
    };
    const std::pair<QString, QString> cases[] = {{QString(), "/New Workbook.pdf"},
                                                 {"/home/user/Fruit.2024.vln", "/Fruit.2024.pdf"},
                                                 {"/home/user/a:b*c?.vlb", "/a_b_c_.pdf"}};
    for (const auto& [file, proposed] : cases) {
        window.filePath = file;
        EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
        EXPECT_EQ(ui.suggested, dir.path() + proposed) << file.toStdString();
    }
    EXPECT_EQ(ui.saveDialogs, 3);
}

TEST_F(PrintServicesTest, ASelectedContainerPreviewsAlone) {
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    container->settings.id = 7;
    LinkContainer(Sheet(), std::move(container));
    Settings().printRangeKind = kPrintSelection;
    window.container = 7;
    auto pane = services.OpenPreview(nullptr, window);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->SheetCount(), 1);
    EXPECT_EQ(Settings().printRangeKind, kPrintContainer);
    EXPECT_EQ(Settings().printedContainer, 7);
    ASSERT_EQ(PageListCount(Book()), 1u);
    PageRecord page;
    ASSERT_TRUE(GetPageRecord(Book(), 0, page));
    EXPECT_EQ(page.objectId, 7);
    pane.reset();

    window.container = 0; // the cells then
    Settings().printRangeKind = kPrintSelection;
    pane = services.OpenPreview(nullptr, window);
    ASSERT_TRUE(pane);
    EXPECT_EQ(Settings().printRangeKind, kPrintCellRange);
    ASSERT_TRUE(GetPageRecord(Book(), 0, page));
    EXPECT_EQ(page.objectId, 0);
    EXPECT_EQ(page.firstRow, 2u);
    EXPECT_EQ(page.firstColumn, 1u);
}

TEST_F(PrintServicesTest, TenPagesTwoByTwoPreviewAsThreeSheets) {
    for (uint32_t row = 200; row < 800; ++row) PutNumber(0, row, row);
    Settings().printRangeKind = kPrintPageList;
    std::strcpy(Settings().pages, "1-10");
    Settings().pagesPerSheetRows = Settings().pagesPerSheetColumns = 2;
    auto pane = services.OpenPreview(nullptr, window);
    ASSERT_TRUE(pane) << int(Book().error);
    EXPECT_GT(PageListCount(Book()), 10u);
    EXPECT_EQ(pane->SheetCount(), 3);
    pane->ShowSheet(3); // past the last: nothing
    EXPECT_EQ(pane->CurrentSheet(), 0);
    pane->ShowSheet(2);
    EXPECT_EQ(pane->CurrentSheet(), 2);
}

TEST_F(PrintServicesTest, APaperlessPrinterGivesTwenty) {
    PrinterEntry bare;
    bare.name = "Bare";
    bare.isDefault = true;
    printers.printers = {bare};
    Book().error = kErrorChartAxes; // a stale code is not kept
    EXPECT_FALSE(services.OpenPreview(nullptr, window));
    EXPECT_EQ(Book().error, kErrorNoPrinter);
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNoPrinter);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNoPrinter);
    EXPECT_EQ(ui.sheets, 0);

    // Chosen in the sheet, it stops the next command the same way.
    PrinterEntry office = bare;
    office.name = "Office";
    office.papers = PdfPrinter().papers;
    bare.isDefault = false;
    printers.printers = {office, bare};
    ui.onSheet = [](CPrintSheet& sheet) {
        ASSERT_EQ(sheet.General()->Form().id215->itemText(1), "Bare");
        sheet.General()->Form().id215->setCurrentIndex(1);
        sheet.General()->OnPrinterCloseUp();
        sheet.reject();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone); // cancelled: nothing kept
    ui.onSheet = [](CPrintSheet& sheet) {
        sheet.General()->Form().id215->setCurrentIndex(1);
        sheet.General()->OnPrinterCloseUp();
        sheet.accept();
    };
    ui.savePath = QString::fromStdString(Path("bare.pdf"));
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNoPrinter);
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_FALSE(QFile::exists(ui.savePath));
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNoPrinter);
    EXPECT_EQ(ui.sheets, 2);
}

TEST_F(PrintServicesTest, FivePagesTwoByTwoPrintTwoSheets) {
    for (uint32_t row = 200; row < 600; ++row) PutNumber(0, row, row);
    ui.savePath = QString::fromStdString(Path("five.pdf"));
    ui.onSheet = [](CPrintSheet& sheet) {
        sheet.General()->Form().id282->click();
        sheet.General()->Form().id205->setText("1-5");
        sheet.Tabs()->setCurrentIndex(1);
        sheet.Layout()->Form().id205->setText("2");
        sheet.Layout()->Form().id257->setText("2");
        sheet.accept();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(Settings().printRangeKind, kPrintPageList);
    EXPECT_EQ(Settings().pagesPerSheetRows, 2);
    QProcess info;
    info.start("pdfinfo", {ui.savePath});
    ASSERT_TRUE(info.waitForFinished(-1));
    EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           2"));
}

TEST_F(PrintServicesTest, PrintAllShowsTheSheetOnce) {
    CWorksheet* second = AsWorksheet(Book().AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
    ASSERT_TRUE(second);
    second->InitPageSetup();
    second->InitViewSettings();
    ui.savePath = QString::fromStdString(Path("all.pdf"));
    ui.onSheet = [](CPrintSheet& sheet) {
        EXPECT_EQ(sheet.Tabs()->count(), 3);
        sheet.accept();
    };
    EXPECT_EQ(services.Print(nullptr, window, true), kErrorNone);
    EXPECT_EQ(ui.sheets, 1);
    EXPECT_TRUE(QFile::exists(ui.savePath));
    // Cancelled, nothing is printed.
    QFile::remove(ui.savePath);
    ui.onSheet = [](CPrintSheet& sheet) { sheet.reject(); };
    EXPECT_EQ(services.Print(nullptr, window, true), kErrorNone);
    EXPECT_FALSE(QFile::exists(ui.savePath));
}

} // namespace vl
