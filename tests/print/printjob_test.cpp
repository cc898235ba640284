#include "model/formatstore.h"
#include "print/pagepaint.h"
#include "print/printjob.h"
#include "render/canvas.h"
#include "rendertest.h"
#include "tests/print/fakeprinters.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <numeric>
#include <sstream>

namespace vl {

using rendertest::Differing;
using rendertest::SheetFixture;

namespace {

using printtest::FakePrinters;

std::string RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) return "<failed>";
    return process.readAllStandardOutput().toStdString();
}

DeviceMode PdfAt96(QPageSize::PageSizeId paper = QPageSize::Letter) {
    DeviceMode mode;
    mode.printer = PdfPrinter();
    mode.printer.dpi = 96;
    mode.paper = {"Letter", 1, QPageSize(paper)};
    return mode;
}

int PdfPages(const std::string& path) {
    std::istringstream info(RunTool("pdfinfo", {QString::fromStdString(path)}));
    for (std::string line; std::getline(info, line);)
        if (line.rfind("Pages:", 0) == 0) return std::atoi(line.c_str() + 6);
    return -1;
}

class PrintJobTest : public ::testing::Test, public SheetFixture {
protected:
    PrintJobTest() {
        Sheet().InitPageSetup();
        Sheet().view.showGrid = 1;
    }
    std::string Path(const char* name) { return dir_.filePath(name).toStdString(); }
    // The sheet painted as the 96-dpi PDF printer lays out its first physical sheet.
    QImage Reference(CWorksheet& sheet, CWorkbook& book, CCellDisplay& display) {
        QPrinter printer(QPrinter::HighResolution);
        SetUpPrinter(printer, PdfAt96(), Path("caps.pdf"));
        const DeviceCaps caps = CapsOf(printer);
        QImage image = rendertest::WhiteImage(caps.physicalWidth, caps.physicalHeight);
        {
            auto dc = CDeviceContext::ForImage(image);
            CCanvas canvas;
            canvas.AttachDC(dc.get());
            canvas.SetPrintFlags(true, false);
            ZoomPair scale{};
            const PrintMetrics m =
                ComputePrintMetrics(caps, sheet.pageSetup, kScreenDpi, kScreenDpi, true, scale);
            EXPECT_TRUE(PaginateSheet(book, canvas, sheet, m, scale));
            PaintPrintPage(book, display, canvas, 0, sheet, m, scale, "Book");
            FreePageList(book);
        }
        return image;
    }

    QTemporaryDir dir_;
};

} // namespace

TEST(PrinterService, PdfPrinterAndSelection) {
    FakePrinters service;
    auto printers = ListPrinters(service);
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_EQ(printers[0].name, "PDF");
    EXPECT_TRUE(printers[0].isDefault); // the default when the system lists none

    PageSetupRecord setup;
    InitPageSetup(setup);
    DeviceMode mode;
    ASSERT_EQ(SelectPrinter(service, setup, mode), kErrorNone);
    EXPECT_EQ(mode.printer.name, "PDF");
    EXPECT_EQ(mode.printer.dpi, 600);
    EXPECT_EQ(mode.paper.size.id(), QPageSize::A4); // no paper named: A4
    std::strcpy(setup.paperName, "Letter");
    ASSERT_EQ(SelectPrinter(service, setup, mode), kErrorNone);
    EXPECT_EQ(mode.paper.windowsId, 1);

    // A system default takes over; a printer without papers cannot be selected.
    PrinterEntry paperless;
    paperless.name = "Office";
    paperless.isDefault = true;
    service.printers.push_back(paperless);
    printers = ListPrinters(service);
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_FALSE(printers[1].isDefault);
    const DeviceMode before = mode;
    EXPECT_EQ(SelectPrinter(service, setup, mode), kErrorNoPrinter);
    EXPECT_EQ(mode.printer.name, before.printer.name); // the mode is left as it was
    std::strcpy(setup.printerName, "PDF");
    EXPECT_EQ(SelectPrinter(service, setup, mode), kErrorNone);
}

TEST(PrinterService, MetricsFromCapabilities) {
    DeviceCaps caps{816, 1056, 10, 20, 796, 1016, 96, 96, 216, 279};
    PageSetupRecord setup;
    InitPageSetup(setup);
    setup.scale = 50;
    ZoomPair scale{};
    const PrintMetrics m = ComputePrintMetrics(caps, setup, 96, 96, true, scale);
    EXPECT_EQ(scale, (ZoomPair{50, 50}));
    EXPECT_EQ(m.pageRight, 806);
    EXPECT_EQ(m.pageBottom, 1036);
    EXPECT_EQ(m.marginLeft, 47 - 10); // 816 x 12.7 / 216 = 47.97
    EXPECT_EQ(m.marginTop, 76 - 20);  // 1056 x 20.32 / 279 = 76.9
    EXPECT_EQ(m.marginRight, 47);
    EXPECT_EQ(m.marginBottom, 105); // 1056 x 27.939 / 279 = 105.7
    EXPECT_EQ(m.headerY, 48 - 20);  // 1056 x 12.7 / 279 = 48.07
    EXPECT_EQ(m.footerY, 1036 - 76);
    caps.logPixelsY = 192;
    ComputePrintMetrics(caps, setup, 96, 96, false, scale);
    EXPECT_EQ(scale, (ZoomPair{50, 100}));
}

TEST(PrinterService, FreePdfNames) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(FreePdfPath(folder, "Book"), folder + "/Book.pdf");
    std::ofstream(folder + "/Book.pdf") << "x";
    EXPECT_EQ(FreePdfPath(folder, "Book"), folder + "/Book (2).pdf");
    std::ofstream(folder + "/Book (2).pdf") << "x";
    EXPECT_EQ(FreePdfPath(folder, "Book"), folder + "/Book (3).pdf");
}

// Each character some file system refuses, blanks and dots at the ends, and names with
// nothing left; letters beyond ASCII stay.
TEST(PrinterService, PdfNamesHoldOnlyWhatAFileNameCan) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\\b", "a_b"},
        {"a/b", "a_b"},
        {"a:b", "a_b"},
        {"a*b", "a_b"},
        {"a?b", "a_b"},
        {"a\"b", "a_b"},
        {"a<b>", "a_b_"},
        {"a|b", "a_b"},
        {"a\tb\x01", "a_b_"},
        {" .Book. ", "Book"},
        {"Q3 v1.2", "Q3 v1.2"},
        {"K\xC3\xA4se", "K\xC3\xA4se"},
        {"New Workbook - \\Fruit *", "New Workbook - _Fruit _"},
        {"", "Vorlane Document"},
        {" . ..", "Vorlane Document"}};
    for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileStem(name), safe) << name;
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    EXPECT_EQ(FreePdfPath(folder, "2024/Q1: *"), folder + "/2024_Q1_ _.pdf");
}

TEST_F(PrintJobTest, CopiesPrintedToPdfRenderBackAsPainted) {
    for (uint32_t row = 0; row < 120; ++row)
        for (uint16_t column = 0; column < 3; ++column)
            PutText(column, row, "R" + std::to_string(row) + "C" + std::to_string(column));
    Sheet().pageSetup.copies = 2;
    const std::string path = Path("copies.pdf");
    const PrintOutcome outcome =
        PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(), path, "Book");
    ASSERT_EQ(outcome.error, kErrorNone);
    const uint32_t perCopy = outcome.sheets / 2;
    EXPECT_EQ(perCopy, 3u);
    EXPECT_EQ(PdfPages(path), 6);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".part")));

    ASSERT_EQ(RunTool("pdftoppm", {"-r", "96", "-f", "1", "-l", "1", "-png",
                                   QString::fromStdString(path), dir_.filePath("page")}),
              "");
    QImage printed(dir_.filePath("page-1.png"));
    ASSERT_FALSE(printed.isNull());
    printed = printed.convertToFormat(QImage::Format_RGB32);
    const QImage painted = Reference(Sheet(), Book(), Display());
    const double same = Differing(printed, painted);

    // The same sheet one row lower must not pass.
    SheetFixture lower;
    lower.Sheet().InitPageSetup();
    lower.Sheet().view.showGrid = 1;
    for (uint32_t row = 0; row < 120; ++row)
        for (uint16_t column = 0; column < 3; ++column)
            lower.PutText(column, row + 1,
                          "R" + std::to_string(row) + "C" + std::to_string(column));
    const double shifted =
        Differing(printed, Reference(lower.Sheet(), lower.Book(), lower.Display()));
    // Seen: 0.00007 for the same sheet, 0.0022 for the sheet one row lower.
    constexpr double kTolerance = 0.0005;
    EXPECT_LT(same, kTolerance) << same;
    EXPECT_GT(shifted, kTolerance) << shifted;
}

TEST_F(PrintJobTest, EveryLabelPrintedOnceOutsidePinsAndExclusions) {
    constexpr uint32_t kRows = 150;
    constexpr uint16_t kColumns = 20;
    for (uint32_t row = 0; row < kRows; ++row)
        for (uint16_t column = 0; column < kColumns; ++column)
            PutText(column, row, "L" + std::to_string(row) + "x" + std::to_string(column));
    std::strcpy(Sheet().pageSetup.excludedRows, "5-9, 77");
    std::strcpy(Sheet().pageSetup.excludedColumns, "4");
    Sheet().view.freezed = {0, 0, uint8_t(kRefRow | kRefColumn)};
    const std::string path = Path("labels.pdf");
    const PrintOutcome outcome =
        PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(), path, "Book");
    ASSERT_EQ(outcome.error, kErrorNone);
    ASSERT_GT(outcome.sheets, 2u);
    std::map<std::string, int> seen;
    std::istringstream text(RunTool("pdftotext", {QString::fromStdString(path), "-"}));
    for (std::string word; text >> word;) ++seen[word];
    for (uint32_t row = 0; row < kRows; ++row)
        for (uint16_t column = 0; column < kColumns; ++column) {
            const std::string label = "L" + std::to_string(row) + "x" + std::to_string(column);
            const bool excluded = (row >= 4 && row <= 8) || row == 76 || column == 3;
            const bool pinned = row == 0 || column == 0;
            if (pinned && !(row == 0 && column == 0) && !excluded) {
                EXPECT_GE(seen[label], 1) << label;
            } else if (row == 0 && column == 0) {
                EXPECT_EQ(seen[label], int(outcome.sheets)) << label;
            } else {
                EXPECT_EQ(seen[label], excluded ? 0 : 1) << label;
            }
        }
}

TEST_F(PrintJobTest, FailedJobsLeaveNoFile) {
    Sheet().pageSetup.printRangeKind = kPrintPageList;
    std::strcpy(Sheet().pageSetup.pages, "9");
    const std::string path = Path("none.pdf");
    const PrintOutcome outcome =
        PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(), path, "Book");
    EXPECT_EQ(outcome.error, 17);
    EXPECT_EQ(outcome.sheets, 0u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".part")));
    EXPECT_EQ(PageListCount(Book()), 0u);
}

} // namespace vl

namespace vl {

namespace {

// Records every step and stops at the `stopAt`-th one of `stage` (never when negative).
class StoppingProgress : public IPrintProgress {
public:
    StoppingProgress(PrintStage stage, int stopAt) : stage_(stage), stopAt_(stopAt) {}
    bool Step(PrintStage stage, uint32_t pages, uint32_t done, uint32_t total) override {
        steps.push_back({stage, pages, done, total});
        if (stage == stage_ && seen_++ == stopAt_) stopped_ = true;
        return !stopped_;
    }
    bool Stopped() const override { return stopped_; }
    void Finished() override { ++finished; }

    struct Seen {
        PrintStage stage;
        uint32_t pages, done, total;
    };
    std::vector<Seen> steps;
    int finished = 0;

private:
    PrintStage stage_;
    int stopAt_;
    int seen_ = 0;
    bool stopped_ = false;
};

} // namespace

// Each step tells the pages made or painted and the part done of the whole; a stop at any
// step ends the job there with no error, no file (neither the path nor a temporary one) and
// no page list, and the progress is told the pages are over before the job would go on.
TEST_F(PrintJobTest, AStoppedPrintoutLeavesNothing) {
    for (uint32_t row = 0; row < 400; ++row) PutNumber(0, row, row);
    QTemporaryDir spool;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", spool.path().toUtf8());
    // Run whole, the job makes its pages and paints its sheets one step each.
    StoppingProgress whole(PrintStage::kPrinting, -1);
    const PrintOutcome full = PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(),
                                              Path("whole.pdf"), "", true, nullptr, &whole);
    ASSERT_EQ(full.error, kErrorNone);
    ASSERT_GT(full.sheets, 4u);
    EXPECT_FALSE(full.stopped);
    EXPECT_EQ(PdfPages(Path("whole.pdf")), int(full.sheets));
    EXPECT_EQ(whole.finished, 1);
    std::vector<uint32_t> made, painted;
    for (const auto& s : whole.steps) {
        if (s.stage == PrintStage::kPaginating) {
            EXPECT_EQ(s.total, 400u);
            EXPECT_LT(s.done, s.total);
            EXPECT_EQ(s.pages, uint32_t(made.size()));
            made.push_back(s.done);
        } else {
            EXPECT_EQ(s.total, full.sheets);
            EXPECT_EQ(s.done, s.pages);
            painted.push_back(s.pages);
        }
    }
    ASSERT_EQ(made.size(), size_t(full.sheets));
    EXPECT_EQ(made.front(), 0u);
    EXPECT_TRUE(std::is_sorted(made.begin(), made.end()));
    std::vector<uint32_t> every(full.sheets);
    std::iota(every.begin(), every.end(), 0u);
    EXPECT_EQ(painted, every);

    const int last = int(full.sheets) - 1;
    const std::pair<PrintStage, int> stops[] = {
        {PrintStage::kPaginating, 0}, {PrintStage::kPaginating, 2}, {PrintStage::kPaginating, last},
        {PrintStage::kPrinting, 0},   {PrintStage::kPrinting, 3},   {PrintStage::kPrinting, last}};
    for (const auto& [stage, at] : stops) {
        SCOPED_TRACE((stage == PrintStage::kPrinting ? "printing " : "paginating ") +
                     std::to_string(at));
        StoppingProgress progress(stage, at);
        const std::string path = Path("stopped.pdf");
        Book().error = kErrorNone;
        const PrintOutcome out = PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(), path, "",
                                                 true, nullptr, &progress);
        EXPECT_EQ(out.error, kErrorNone);
        EXPECT_EQ(out.sheets, 0u);
        EXPECT_TRUE(out.stopped);
        EXPECT_EQ(Book().error, kErrorNone);
        EXPECT_EQ(PageListCount(Book()), 0u);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
        EXPECT_EQ(QDir(spool.path()).entryList(QDir::Files), QStringList());
        EXPECT_EQ(progress.finished, 1);
        // Nothing is asked after the stop.
        ASSERT_FALSE(progress.steps.empty());
        EXPECT_EQ(progress.steps.back().stage, stage);
    }
    // A check of the pagination stopped refuses nothing and keeps no page list.
    StoppingProgress checking(PrintStage::kPaginating, 1);
    EXPECT_EQ(CheckPagination(Book(), {&Sheet()}, PdfAt96(), true, &checking), kErrorNone);
    EXPECT_TRUE(checking.Stopped());
    EXPECT_EQ(PageListCount(Book()), 0u);
    if (savedTemp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTemp);
}

// The check refuses what printing would refuse, before anything is painted, and keeps no page
// list either way.
TEST_F(PrintJobTest, ThePaginationCheckRefusesWhatPrintingRefuses) {
    struct Case {
        const char* what;
        std::function<void()> set;
        ErrorCode error;
    } cases[] = {
        {"one cell", [&] { PutNumber(0, 0, 1); }, kErrorNone},
        {"a page list without a page",
         [&] {
             Sheet().pageSetup.printRangeKind = kPrintPageList;
             std::strcpy(Sheet().pageSetup.pages, "9");
         },
         kErrorInvalidPageList},
        {"the whole extent",
         [&] {
             Sheet().pageSetup.printRangeKind = kPrintAll;
             PutNumber(kLastPrintColumn, kLastPrintRow, 1);
         },
         kErrorTooManyPages},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.set();
        EXPECT_EQ(CheckPagination(Book(), {&Sheet()}, PdfAt96()), c.error);
        EXPECT_EQ(PageListCount(Book()), 0u);
        const std::string path = Path("checked.pdf");
        QFile::remove(QString::fromStdString(path));
        EXPECT_EQ(PrintWorksheets(Book(), Display(), {&Sheet()}, PdfAt96(), path, "").error,
                  c.error);
    }
}

} // namespace vl
