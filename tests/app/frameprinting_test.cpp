#include "app/frameprinting.h"
#include "dialogs/printgeneralpage.h"
#include "dialogs/printlayoutpage.h"
#include "dialogs/printpreview.h"
#include "dialogs/printsheet.h"
#include "model/container.h"
#include "print/pagination.h"
#include "print/printjob.h"
#include "rendertest.h"
#include "tests/common/waits.h"
#include "tests/print/fakeprinters.h"
#include "ui/uiservices.h"
#include "ui_printgeneralpage.h"
#include "ui_printlayoutpage.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>
#include <utime.h>

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
        if (onSave) onSave();
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
    std::function<void()> onSave; // while the file dialog would ask
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
    // The title as the window shows it: not a name for the header.
    QString Title() const override { return "/home/user/Budget.vln - \\Worksheet1 *"; }
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
    // The system's one printer, "Office", at `dpi` with the PDF printer's papers; its jobs'
    // copies go into the test's folder.
    void OfficeOnly(int dpi) {
        PrinterEntry office;
        office.name = "Office";
        office.isDefault = true;
        office.dpi = dpi;
        office.papers = PdfPrinter().papers;
        printers.printers = {office};
        printers.folder = dir.path().toStdString();
    }
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

// OK without a change, every page visited: the settings keep every byte, lengths the pages
// show rounded too, and the workbook stays unmodified.
TEST_F(PrintServicesTest, PageSetupOkWithoutAChangeChangesNothing) {
    Settings().marginLeft = 12.7;
    Settings().headerDistance = 12.7;
    Settings().footerDistance = 7.77;
    uint8_t before[kPageSetupRecordSize], after[kPageSetupRecordSize];
    WritePageSetupRecord(before, Settings());
    ui.onSheet = [](CPrintSheet& sheet) {
        for (int i = sheet.Tabs()->count() - 1; i >= 0; --i) sheet.Tabs()->setCurrentIndex(i);
        sheet.accept();
    };
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_EQ(ui.sheets, 1);
    WritePageSetupRecord(after, Settings());
    EXPECT_EQ(std::memcmp(before, after, sizeof after), 0);
    EXPECT_DOUBLE_EQ(Settings().headerDistance, 12.7);
    EXPECT_FALSE(window.modified);
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

    // A file another program holds is not replaced, and the print says why (35), not
    // "No error".
    {
        const int holder = open(ui.savePath.toStdString().c_str(), O_RDWR);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(services.Print(nullptr, window, false), kStreamOpenWrite);
        close(holder);
    }

    // No path given: nothing is printed.
    QFile::remove(ui.savePath);
    ui.savePath.clear();
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("answered.pdf"))));
}

// The proposed name is the document's file name, never the title with its worksheet path
// and modified star, in the document's folder (as Save As starts there); a workbook without
// a file is "New Workbook" in the documents folder.
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
    const QString books = dir.path() + "/books";
    ASSERT_TRUE(QDir().mkpath(books));
    const std::pair<QString, QString> cases[] = {
        {QString(), dir.path() + "/New Workbook.pdf"},
        {books + "/Fruit.2024.vln", books + "/Fruit.2024.pdf"},
        {books + "/a:b*c?.vlb", books + "/a_b_c_.pdf"},
        {"/home/user/Plan.vln", "/home/user/Plan.pdf"}};
    for (const auto& [file, proposed] : cases) {
        window.filePath = file;
        EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
        EXPECT_EQ(ui.suggested, proposed) << file.toStdString();
    }
    EXPECT_EQ(ui.saveDialogs, 4);
}

namespace {

// The lines of the first page of a PDF that hold `marker`, its words one space apart.
std::vector<std::string> LinesWith(const QString& pdf, const std::string& marker) {
    QProcess process;
    process.start("pdftotext", {"-f", "1", "-l", "1", "-layout", pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(-1));
    std::istringstream text(process.readAllStandardOutput().toStdString());
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        if (line.find(marker) == std::string::npos) continue;
        // The spaces pdftotext puts between the sections say nothing about the text.
        std::string words;
        std::istringstream in(line);
        for (std::string word; in >> word;) words += (words.empty() ? "" : " ") + word;
        lines.push_back(words);
    }
    return lines;
}

} // namespace

namespace {

constexpr int kInch = kPdfPrinterDpi;

// The band of the recorded sheet from `top`, an inch tall, as the printer's pixels.
QImage Band(const QPicture& sheet, int width, int top) {
    QImage band(width, kInch, QImage::Format_RGB32);
    band.fill(Qt::white);
    QPainter painter(&band);
    painter.translate(0, -top);
    painter.drawPicture(0, 0, sheet);
    return band;
}

// The same band of the PDF's first page.
QImage PrintedBand(const QString& pdf, int width, int top, const QString& stem) {
    QProcess render;
    render.start("pdftoppm", {"-r", QString::number(kInch), "-f", "1", "-singlefile", "-x", "0",
                              "-y", QString::number(top), "-W", QString::number(width), "-H",
                              QString::number(kInch), "-png", pdf, stem});
    EXPECT_TRUE(render.waitForFinished(-1));
    return QImage(stem + ".png").convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The preview paints the header and the footer that print puts on paper: the document's file
// name (never the window title with its worksheet and star), the worksheet's path, the page.
TEST_F(PrintServicesTest, PreviewAndPrintShowTheSameHeaderAndFooter) {
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); }; // the PDF printer
    std::strcpy(Settings().headerText, "&c Document: &f");
    std::strcpy(Settings().footerText, "&lfoot &a&rpage &p");
    window.modified = true;
    const std::string sheetPath = "\\" + std::string(Sheet().name);
    std::vector<QImage> previewed;
    // Glyphs drawn before the process's first print job are hinted a little differently:
    // one job first, so that the comparisons below see the names and not the hinting.
    ui.savePath = QString::fromStdString(Path("first.pdf"));
    ASSERT_EQ(services.Print(nullptr, window, false), kErrorNone);
    for (const QString& file : {QStringLiteral("/home/user/Budget.vln"), QString()}) {
        SCOPED_TRACE(file.toStdString());
        window.filePath = file;
        auto pane = services.OpenPreview(nullptr, window);
        ASSERT_TRUE(pane);
        auto* preview = dynamic_cast<CPrintPreview*>(pane->Widget());
        ASSERT_TRUE(preview);
        const QPicture sheet = preview->RecordSheet(0);
        pane.reset();
        ui.savePath = QString::fromStdString(Path("printed.pdf"));
        ASSERT_EQ(services.Print(nullptr, window, false), kErrorNone);
        const std::string name = file.toStdString();
        EXPECT_EQ(LinesWith(ui.savePath, "Document:"),
                  std::vector<std::string>{name.empty() ? "Document:" : "Document: " + name});
        EXPECT_EQ(LinesWith(ui.savePath, "foot"),
                  std::vector<std::string>{"foot " + sheetPath + " page 1"});
        // The header's and the footer's bands: the top and the bottom inch of the page.
        const QSize paper = QPageSize(QPageSize::A4).sizePixels(kInch);
        for (int top : {0, paper.height() - kInch}) {
            const QImage printed =
                PrintedBand(ui.savePath, paper.width(), top, QString::fromStdString(Path("band")));
            ASSERT_EQ(printed.size(), QSize(paper.width(), kInch));
            const QImage shown = Band(sheet, paper.width(), top);
            EXPECT_LT(rendertest::Differing(printed, shown), 0.002) << top;
            previewed.push_back(shown);
        }
    }
    // The check tells the two names apart; the footers are the same.
    EXPECT_GT(rendertest::Differing(previewed[0], previewed[2]), 0.002);
    EXPECT_LT(rendertest::Differing(previewed[1], previewed[3]), 0.002);
}

// The change date and time of a workbook never saved: nothing, not 1 January 1970.
TEST_F(PrintServicesTest, AnUnsavedWorkbookPrintsNoFileStamp) {
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); };
    std::strcpy(Settings().headerText, "&cStamp:[&g&z]");
    const QString saved = QString::fromStdString(Path("saved.vln"));
    {
        QFile file(saved);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    std::vector<std::string> stamps;
    for (const QString& file : {QString(), saved}) {
        window.filePath = file;
        ui.savePath = QString::fromStdString(Path("stamp.pdf"));
        ASSERT_EQ(services.Print(nullptr, window, false), kErrorNone);
        const auto lines = LinesWith(ui.savePath, "Stamp:");
        ASSERT_EQ(lines.size(), 1u) << file.toStdString();
        stamps.push_back(lines[0]);
    }
    EXPECT_EQ(stamps[0], "Stamp:[]");
    EXPECT_GT(stamps[1].size(), std::string("Stamp:[]").size() + 8); // a date and a time
    EXPECT_EQ(stamps[1].find("1970"), std::string::npos);
}

// A file whose folder and name hold letters outside ASCII: the stamp is the file's own change
// time, found by its real path, and the name prints with its letters.
TEST_F(PrintServicesTest, AFileStampFindsAPathWithNonAsciiLetters) {
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); };
    std::strcpy(Settings().headerText, "&cStamp:[&g &z] &f");
    const SeparatorSet separators = UserSeparators();
    UserSeparators().shortDateOrder = 0;
    UserSeparators().date = '/';
    UserSeparators().time = ':';
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const QString folder = dir.path() + QString::fromUtf8("/Ordner \u00dc");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString saved = folder + QString::fromUtf8("/\u00dcberblick.vlx");
    {
        QFile file(saved);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    // 3 February 2001, 12:34:56 UTC.
    const struct utimbuf stamp { 981203696, 981203696 };
    ASSERT_EQ(utime(QFile::encodeName(saved).constData(), &stamp), 0);
    window.filePath = saved;
    ui.savePath = QString::fromStdString(Path("stamp.pdf"));
    const ErrorCode printed = services.Print(nullptr, window, false);
    const auto lines = LinesWith(ui.savePath, "Stamp:");
    UserSeparators() = separators;
    if (zone)
        setenv("TZ", savedZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    ASSERT_EQ(printed, kErrorNone);
    EXPECT_EQ(lines, std::vector<std::string>{"Stamp:[2/3/2001 12:34:56] " + saved.toStdString()});
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

// A worksheet used to its last row and column would make seven million pages: the preview,
// printing into a file and printing on a printer end with the user told, and no page list,
// file or job left behind.
TEST_F(PrintServicesTest, AFullExtentWorksheetIsRefusedWithTheUserTold) {
    PutNumber(kLastPrintColumn, kLastPrintRow, 1);
    OfficeOnly(96);
    EXPECT_FALSE(services.OpenPreview(nullptr, window));
    EXPECT_EQ(Book().error, kErrorTooManyPages);
    EXPECT_EQ(PageListCount(Book()), 0u);
    for (bool toFile : {true, false}) {
        ui.savePath = QString::fromStdString(Path("full.pdf"));
        ui.onSheet = [toFile](CPrintSheet& sheet) {
            if (toFile) sheet.General()->Form().id216->click();
            sheet.accept();
        };
        EXPECT_EQ(services.Print(nullptr, window, false), kErrorTooManyPages) << toFile;
        EXPECT_EQ(PageListCount(Book()), 0u);
    }
    // Refused before the user is asked for the file's name.
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_FALSE(QFile::exists(ui.savePath));
    EXPECT_TRUE(printers.jobs.empty());
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

    // Chosen in the sheet, it is refused for that job only.
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
    EXPECT_TRUE(printers.jobs.empty());
    EXPECT_EQ(ui.sheets, 2);
    // The next Page Setup, Print and preview open on the default printer, which has paper.
    std::vector<std::string> shown;
    ui.onSheet = [&](CPrintSheet& sheet) {
        shown.push_back(sheet.Printer().printer.name);
        sheet.reject();
    };
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(shown, (std::vector<std::string>{"Office", "Office"}));
    EXPECT_EQ(ui.sheets, 4);
    EXPECT_TRUE(services.OpenPreview(nullptr, window));
}

// A printer chosen in the sheet stands for the next sheets while the system lists it; once
// its queue is gone the default printer takes its place.
TEST_F(PrintServicesTest, APrinterGoneFromTheSystemIsNotKept) {
    PrinterEntry office, spare;
    office.name = "Office";
    office.isDefault = true;
    office.papers = PdfPrinter().papers;
    spare = office;
    spare.name = "Spare";
    spare.isDefault = false;
    printers.printers = {office, spare};
    printers.folder = dir.path().toStdString();
    std::vector<std::string> shown;
    ui.onSheet = [&](CPrintSheet& sheet) {
        shown.push_back(sheet.Printer().printer.name);
        ASSERT_EQ(sheet.General()->Form().id215->itemText(1), "Spare");
        sheet.General()->Form().id215->setCurrentIndex(1);
        sheet.General()->OnPrinterCloseUp();
        sheet.accept();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    ASSERT_EQ(printers.jobs.size(), 1u);
    EXPECT_EQ(printers.jobs[0].printer, "Spare");
    ui.onSheet = [&](CPrintSheet& sheet) {
        shown.push_back(sheet.Printer().printer.name);
        sheet.reject();
    };
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    printers.printers = {office};
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(shown, (std::vector<std::string>{"Office", "Spare", "Office", "Office"}));
}

// Preview and Print of a selected range whose text flows past it: the range's edge ends the
// text, and the pages end.
TEST_F(PrintServicesTest, ASelectedRangeWithLongTextPreviewsAndPrintsItsPages) {
    alarm(60); // an endless pagination ends the run instead of CI
    PutText(0, 0, std::string(150, 'x'));
    PutText(1, 1, std::string(400, 'y'));
    Settings().printRangeKind = kPrintSelection;
    window.selection = {0, 0, 1, 1}; // A1:B2
    auto preview = services.OpenPreview(nullptr, window);
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->SheetCount(), 1);
    preview.reset();
    ui.savePath = QString::fromStdString(Path("range.pdf"));
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); };
    Settings().printRangeKind = kPrintSelection;
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    QProcess info;
    info.start("pdfinfo", {ui.savePath});
    ASSERT_TRUE(info.waitForFinished(-1));
    EXPECT_TRUE(info.readAllStandardOutput().contains("Pages:           1\n"));
    alarm(0);
}

// A chosen printer the system still lists, but now without paper, is not kept either.
TEST_F(PrintServicesTest, AChosenPrinterThatLostItsPaperIsNotKept) {
    PrinterEntry office;
    office.name = "Office";
    office.isDefault = true;
    office.papers = PdfPrinter().papers;
    PrinterEntry spare = office;
    spare.name = "Spare";
    spare.isDefault = false;
    printers.printers = {office, spare};
    printers.folder = dir.path().toStdString();
    std::vector<std::string> shown;
    ui.onSheet = [&](CPrintSheet& sheet) {
        shown.push_back(sheet.Printer().printer.name);
        sheet.General()->Form().id215->setCurrentIndex(1);
        sheet.General()->OnPrinterCloseUp();
        sheet.accept();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    ASSERT_EQ(printers.jobs.size(), 1u);
    EXPECT_EQ(printers.jobs[0].printer, "Spare");
    spare.papers.clear();
    printers.printers = {office, spare};
    ui.onSheet = [&](CPrintSheet& sheet) {
        shown.push_back(sheet.Printer().printer.name);
        sheet.reject();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(services.PageSetup(nullptr, window), kErrorNone);
    EXPECT_EQ(shown, (std::vector<std::string>{"Office", "Office", "Office"}));
    ASSERT_TRUE(services.OpenPreview(nullptr, window));
    EXPECT_EQ(printers.jobs.size(), 1u);
}

// A system printer's job is handed over whole, as a PDF of its pages; when the print system
// refuses it the refusal comes back to be shown, and no spooled file stays behind.
TEST_F(PrintServicesTest, AJobThePrintSystemRefusesIsReported) {
    OfficeOnly(300);
    // As many pages as the preview shows.
    const int sheets = services.OpenPreview(nullptr, window)->SheetCount();
    ASSERT_GT(sheets, 1);
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); };
    for (ErrorCode answer : {kErrorNone, kErrorJobRefused}) {
        SCOPED_TRACE(int(answer));
        printers.answer = answer;
        const size_t before = printers.jobs.size();
        EXPECT_EQ(services.Print(nullptr, window, false), answer);
        ASSERT_EQ(printers.jobs.size(), before + 1);
        const auto& job = printers.jobs.back();
        EXPECT_EQ(job.printer, "Office");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(job.spooled)));
        QProcess info;
        info.start("pdfinfo", {QString::fromStdString(job.copy)});
        ASSERT_TRUE(info.waitForFinished(-1));
        const QByteArray text = info.readAllStandardOutput();
        EXPECT_TRUE(QString::fromUtf8(text).contains(
            QRegularExpression(QStringLiteral("Pages: +%1\n").arg(sheets))))
            << text.toStdString();
        EXPECT_TRUE(text.contains("(A4)")) << text.toStdString();
    }
    EXPECT_EQ(ui.saveDialogs, 0);
    EXPECT_STREQ(GetErrorMessage(kErrorJobRefused), "The print system refused the print job.");
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

// The General page's list typed by keys through the input queue: "1,2,...,50" (140
// characters) is refused with the box and the keys back in the list, and Escape then stores
// nothing; a list of 127 characters is taken whole and shows whole when the sheet opens again.
TEST_F(PrintServicesTest, APageListTypedLongerThanTheRecordIsRefusedNotCut) {
    QStringList pages;
    for (int page = 1; page <= 50; ++page) pages << QString::number(page);
    const QString fifty = pages.join(',');                        // 140 characters
    const QString longest = pages.mid(0, 44).join(',') + ",4500"; // 127 characters
    ASSERT_EQ(fifty.size(), 140);
    ASSERT_EQ(longest.size(), 127);
    const auto type = [](const QString& text) {
        for (const QChar c : text) {
            ASSERT_TRUE(QGuiApplication::focusWindow());
            QTest::keyClick(QGuiApplication::focusWindow(), c.toLatin1());
        }
    };
    // Opens the sheet, picks Pages and types `list` into its box, then presses `ending`.
    const auto typeList = [&](const QString& list, Qt::Key ending, QString* shown) {
        ui.onSheet = [&, list, ending, shown](CPrintSheet& sheet) {
            sheet.show();
            sheet.activateWindow();
            ASSERT_TRUE(testwait::UntilActive(&sheet));
            Ui::PrintGeneralPage& form = sheet.General()->Form();
            // Alt+P is also Properties' letter, where that button is enabled: pressed again, it
            // moves on to Pages.
            for (int i = 0; i < 3 && QApplication::focusWidget() != form.id282; ++i)
                ASSERT_TRUE(testwait::PressKey(Qt::Key_P, Qt::AltModifier));
            ASSERT_EQ(QApplication::focusWidget(), form.id282);
            if (!form.id282->isChecked()) {
                ASSERT_TRUE(testwait::PressKey(Qt::Key_Space));
            }
            ASSERT_TRUE(form.id282->isChecked());
            ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
            ASSERT_TRUE(testwait::UntilFocused(form.id205));
            if (shown) *shown = form.id205->text();
            form.id205->selectAll();
            type(list);
            ASSERT_EQ(form.id205->text(), list);
            ASSERT_TRUE(testwait::PressKey(ending));
            if (sheet.isVisible()) { // refused: the keys are back in the list
                EXPECT_TRUE(testwait::UntilFocused(form.id205));
                EXPECT_EQ(form.id205->text(), list);
                ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
            }
            EXPECT_TRUE(testwait::Until([&] { return !sheet.isVisible(); }));
        };
    };
    std::strcpy(Settings().pages, "2-3");
    Settings().printRangeKind = kPrintAll;
    typeList(fifty, Qt::Key_Return, nullptr);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Please enter no more than 127 characters.");
    EXPECT_STREQ(Settings().pages, "2-3");
    EXPECT_EQ(Settings().printRangeKind, kPrintAll);
    EXPECT_FALSE(window.modified);
    // One character more than the record holds: refused as well.
    typeList(longest + "0", Qt::Key_Return, nullptr);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_STREQ(Settings().pages, "2-3");
    // The longest list prints, is stored whole and shows whole again.
    ui.savePath = QString::fromStdString(Path("listed.pdf"));
    typeList(longest, Qt::Key_Return, nullptr);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(QString::fromLatin1(Settings().pages), longest);
    EXPECT_EQ(Settings().printRangeKind, kPrintPageList);
    QString shown;
    typeList("1", Qt::Key_Escape, &shown);
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
    EXPECT_EQ(shown, longest);
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

namespace vl {

namespace {

QDialog* ShownProgress() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("printProgress") && w->isVisible())
            return static_cast<QDialog*>(w);
    return nullptr;
}

} // namespace

// "z" at J200000 prints some 7,800 pages into a PDF. Once printing runs, its box tells the page
// painted of the pages and holds the keyboard; Escape typed there ends the job at once: no
// message, no file at the path and none left aside, no page list, no box.
TEST_F(PrintServicesTest, EscapeEndsAPrintOfThousandsOfPagesLeavingNoFile) {
    PutText(9, 199999, "z");
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); }; // the PDF printer
    ui.savePath = QString::fromStdString(Path("long.pdf"));
    QTemporaryDir spool;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", spool.path().toUtf8());
    struct Seen {
        QString text;
        int value = -1, minimum = -1, maximum = -1;
        uint32_t sheets = 0; // the printout's sheets as the page list has them
        bool active = false;
    } seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QDialog* box = ShownProgress();
        if (!box || !box->isActiveWindow()) return;
        auto* label = box->findChild<QLabel*>();
        if (!label || !label->text().startsWith(QLatin1String("Printing page"))) return;
        poll.stop();
        seen.active = true;
        seen.text = label->text();
        if (auto* bar = box->findChild<QProgressBar*>()) {
            seen.value = bar->value();
            seen.minimum = bar->minimum();
            seen.maximum = bar->maximum();
        }
        seen.sheets = SheetCount(Book(), Settings());
        QTest::keyClick(box->windowHandle(), Qt::Key_Escape);
    });
    poll.start(10);
    const ErrorCode error = services.Print(nullptr, window, false);
    poll.stop();
    const QStringList leftAside = QDir(spool.path()).entryList(QDir::Files);
    if (savedTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTemp);
    EXPECT_EQ(error, kErrorNone);
    ASSERT_TRUE(seen.active);
    EXPECT_GT(seen.sheets, 7000u);
    const QRegularExpression shown(QStringLiteral("^Printing page ([0-9,]+) of ([0-9,]+)$"));
    const QRegularExpressionMatch match = shown.match(seen.text);
    ASSERT_TRUE(match.hasMatch()) << seen.text.toStdString();
    const uint32_t page = match.captured(1).remove(',').toUInt();
    EXPECT_EQ(match.captured(2).remove(',').toUInt(), seen.sheets);
    // Thousands apart with the user's separator: "7,844".
    const std::string total = std::to_string(seen.sheets);
    EXPECT_EQ(match.captured(2).toStdString(),
              total.substr(0, total.size() - 3) + "," + total.substr(total.size() - 3));
    EXPECT_GE(page, 1u);
    EXPECT_LT(page, seen.sheets);
    EXPECT_EQ(seen.minimum, 0);
    EXPECT_EQ(seen.maximum, int(seen.sheets));
    EXPECT_EQ(seen.value, int(page) - 1);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(QFile::exists(ui.savePath));
    EXPECT_EQ(leftAside, QStringList());
    EXPECT_EQ(PageListCount(Book()), 0u);
    EXPECT_FALSE(ShownProgress());
}

} // namespace vl

namespace vl {

// Cancel and the box's close button end a long printout as Escape does.
TEST_F(PrintServicesTest, CancelOrCloseEndsALongPrintLeavingNoFile) {
    PutText(9, 199999, "z");
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); }; // the PDF printer
    ui.savePath = QString::fromStdString(Path("long.pdf"));
    QTemporaryDir spool;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", spool.path().toUtf8());
    const std::pair<const char*, std::function<void(QDialog&)>> ways[] = {
        {"Cancel",
         [](QDialog& box) {
             box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
         }},
        {"close", [](QDialog& box) { box.close(); }},
    };
    for (const auto& [how, stop] : ways) {
        SCOPED_TRACE(how);
        bool stopped = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&, stop = stop] {
            QDialog* box = ShownProgress();
            auto* label = box ? box->findChild<QLabel*>() : nullptr;
            if (!label || !label->text().startsWith(QLatin1String("Printing page"))) return;
            poll.stop();
            stopped = true;
            stop(*box);
        });
        poll.start(10);
        EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone);
        poll.stop();
        EXPECT_TRUE(stopped);
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_FALSE(QFile::exists(ui.savePath));
        EXPECT_EQ(QDir(spool.path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(PageListCount(Book()), 0u);
        EXPECT_FALSE(ShownProgress());
    }
    if (savedTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTemp);
}

// The check of the printout's size is over, its hold on the keys with it, when the file
// dialog asks: what the user types there reaches the dialog.
TEST_F(PrintServicesTest, KeysReachTheFileDialogAfterTheSizeCheck) {
    ui.onSheet = [](CPrintSheet& sheet) { sheet.accept(); }; // the PDF printer
    QString typed = QStringLiteral("unset");
    ui.onSave = [&typed] {
        QLineEdit name;
        name.show();
        name.activateWindow();
        if (!testwait::UntilActive(&name)) return;
        name.setFocus();
        QTest::keyClick(name.windowHandle(), 'a');
        QTest::keyClick(name.windowHandle(), 'b');
        typed = name.text();
    };
    EXPECT_EQ(services.Print(nullptr, window, false), kErrorNone); // no name given
    EXPECT_EQ(ui.saveDialogs, 1);
    EXPECT_EQ(typed.toStdString(), "ab");
}

} // namespace vl
