// The Workbook object printing through the program's document services on the built-in PDF
// printer, into a folder of the test's own: pages and paper of the files it writes.

#include "automation/pageinfo.h"
#include "print/printerservice.h"
#include "program/documentservices.h"
#include "tests/automation/automationtestutil.h"
#include "tests/print/fakeprinters.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace vl {

namespace {

std::string PdfInfo(const std::string& path) {
    QProcess process;
    process.start("pdfinfo", {"-box", QString::fromStdString(path)});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) return "<failed>";
    return process.readAllStandardOutput().toStdString();
}

int PdfPages(const std::string& path) {
    const auto match =
        QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromStdString(PdfInfo(path)));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The MediaBox of the first page in points, rounded.
std::pair<long, long> MediaBox(const std::string& path) {
    const auto match =
        QRegularExpression("MediaBox:\\s+([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)")
            .match(QString::fromStdString(PdfInfo(path)));
    if (!match.hasMatch()) return {-1, -1};
    return {std::lround(match.captured(3).toDouble() - match.captured(1).toDouble()),
            std::lround(match.captured(4).toDouble() - match.captured(2).toDouble())};
}

// Rows of default height that fill an A4 page with the default page setup.
constexpr int kRowsPerPage = 51;

class PrintPdfTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        printers.folder = folder.Dir();
        SetDocumentServices(&services);
        NewDocument();
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        AutomationTest::TearDown();
    }
    PageSetupRecord& Page() { return Doc().tree.active->pageSetup; }
    void FillRows(int rows) {
        for (int row = 1; row <= rows; ++row) PutNumber(("$A$" + std::to_string(row)).c_str(), row);
    }
    // The one file printing left in the folder; "" when none.
    std::string TakeFile() {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Dir()))
            files.push_back(entry.path().string());
        if (files.size() != 1) return files.empty() ? "" : "<several>";
        return files[0];
    }
    int PrintedPages() {
        const std::string file = TakeFile();
        const int pages = file.empty() ? 0 : PdfPages(file);
        std::filesystem::remove(file);
        return pages;
    }

    printtest::FakePrinters printers;
    CScreenDocumentServices services{printers};
};

} // namespace

TEST_F(PrintPdfTest, PagesOfEachSelection) {
    EXPECT_EQ(obj->PrintAll(), S_OK);
    EXPECT_EQ(PrintedPages(), 1); // an empty worksheet prints one page

    FillRows(10 * kRowsPerPage + 1);
    ASSERT_EQ(obj->PrintAll(), S_OK);
    ASSERT_EQ(PrintedPages(), 11); // one row more than ten pages hold
    ASSERT_EQ(obj->Clear(CBstr("$A$" + std::to_string(10 * kRowsPerPage + 1)), 1), S_OK);
    ASSERT_EQ(obj->PrintAll(), S_OK);
    ASSERT_EQ(PrintedPages(), 10);
    EXPECT_EQ(obj->PrintPages("2-3"), S_OK);
    EXPECT_EQ(PrintedPages(), 2);
    EXPECT_EQ(obj->PrintPages("12"), S_FALSE);
    EXPECT_EQ(Doc().error, 17);
    EXPECT_EQ(PrintedPages(), 0);

    EXPECT_EQ(obj->PrintRange("$A$1:$B$2"), S_OK);
    EXPECT_EQ(PrintedPages(), 1);
    EXPECT_EQ(Page().printRangeKind, kPrintCellRange);
    EXPECT_EQ(obj->PrintRange("B3"), E_INVALIDARG);
    EXPECT_EQ(PrintedPages(), 0);
    EXPECT_EQ(obj->PrintContainer(3), S_FALSE);
    EXPECT_EQ(Doc().error, kErrorContainerNotFound);
    EXPECT_EQ(PrintedPages(), 0);
}

// Long texts in each column of a printed range end at the range's edge: a bounded page list.
TEST_F(PrintPdfTest, LongTextsInAPrintedRange) {
    alarm(60); // an endless pagination ends the run instead of CI
    const struct {
        const char* cell;
        const char* range;
        size_t length;
        int pages;
    } cases[] =
        {
            {"$A$1", "$A$1:$B$2", 150, 1}, {"$A$1", "$A$1:$B$2", 60, 1},
            {"$B$1", "$A$1:$B$2", 150, 1}, {"$B$2", "$A$1:$B$2", 400, 1},
            {"$A$1", "$B$1:$C$2", 400, 1}, // flowing into the range from its left
            {"$D$3", "$B$2:$Q$4", 900, 2}, // past the first page, within the range
        };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.cell) + " " + c.range);
        NewDocument();
        ASSERT_EQ(obj->PutValue(c.cell, CVariant::Bstr(std::string(c.length, 'x'))), S_OK);
        ASSERT_EQ(obj->PrintRange(CBstr(c.range)), S_OK);
        EXPECT_EQ(PrintedPages(), c.pages);
    }
    alarm(0);
}

TEST_F(PrintPdfTest, PagesPerSheet) {
    FillRows(5 * kRowsPerPage);
    Page().pagesPerSheetRows = Page().pagesPerSheetColumns = 2;
    ASSERT_EQ(obj->PrintAll(), S_OK);
    EXPECT_EQ(PrintedPages(), 2); // 5 pages, 4 on a sheet
    // A file's record may say 0: each page then takes a sheet of its own.
    Page().pagesPerSheetRows = Page().pagesPerSheetColumns = 0;
    ASSERT_EQ(obj->PrintAll(), S_OK);
    EXPECT_EQ(PrintedPages(), 5);
}

TEST_F(PrintPdfTest, PaperAndOrientationOfThePageSetup) {
    struct Case {
        const char* paper;
        uint8_t landscape;
        std::pair<long, long> points;
    };
    const Case cases[] = {
        {"", 0, {595, 842}},       // no paper named: A4
        {"A4", 1, {842, 595}},     // landscape
        {"Letter", 0, {612, 792}}, // another paper by its name
        {"Letter", 1, {792, 612}},
    };
    for (const Case& c : cases) {
        std::strcpy(Page().paperName, c.paper);
        Page().landscape = c.landscape;
        ASSERT_EQ(obj->PrintAll(), S_OK) << c.paper;
        const std::string file = TakeFile();
        EXPECT_EQ(MediaBox(file), c.points) << c.paper << " " << int(c.landscape);
        std::filesystem::remove(file);
    }
}

TEST_F(PrintPdfTest, PrinterOfThePageSetupAndTheFileName) {
    std::filesystem::create_directory(folder.Path("books"));
    ASSERT_EQ(obj->SaveAs(CBstr(folder.Path("books/Sales.vln"))), S_OK);
    std::strcpy(Page().printerName, "PDF");
    ASSERT_EQ(obj->PrintAll(), S_OK);
    EXPECT_TRUE(std::filesystem::exists(folder.Path("Sales.pdf")));
    ASSERT_EQ(obj->PrintAll(), S_OK); // a taken name gets a number
    EXPECT_TRUE(std::filesystem::exists(folder.Path("Sales (2).pdf")));
    EXPECT_EQ(PdfPages(folder.Path("Sales (2).pdf")), 1);

    // A printer the service does not know prints nowhere.
    std::strcpy(Page().printerName, "Office");
    EXPECT_EQ(obj->PrintAll(), S_FALSE);
    EXPECT_EQ(Doc().error, 20);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("Sales (3).pdf")));
}

// Records of random bytes that the worksheet takes: each job writes one whole file or, failing
// with a reason, none.
TEST_F(PrintPdfTest, AnyRecordTheWorksheetTakesPrintsOrFailsCleanly) {
    for (int row = 1; row <= 60; ++row)
        for (const char* column : {"$A$", "$B$", "$C$"})
            PutNumber((column + std::to_string(row)).c_str(), row);
    std::mt19937 random(44);
    std::shared_ptr<CPageInfoObj> info;
    ASSERT_EQ(CPageInfoObj::Create(info), S_OK);
    const double margins[] = {0, 5, 25.4, 150, 65534};
    int printed = 0, refused = 0;
    for (int round = 0; round < 40; ++round) {
        uint8_t bytes[kPageSetupRecordSize];
        for (uint8_t& b : bytes) b = uint8_t(random());
        PageSetupRecord setup;
        ReadPageSetupRecord(bytes, setup);
        setup.printerName[0] = 0;
        setup.printRangeKind = uint8_t(random() % 5);
        const uint16_t c1 = uint16_t(random() % 5);
        const uint32_t r1 = uint32_t(random() % 80);
        MakeRangeDescriptor({c1, r1, uint16_t(c1 + random() % 5), r1 + uint32_t(random() % 80)},
                            &setup.printRange);
        setup.pagesPerSheetRows = uint8_t(1 + random() % 10);
        setup.pagesPerSheetColumns = uint8_t(1 + random() % 10);
        setup.scale = uint16_t(10 + random() % 991);
        setup.copies = uint16_t(1 + random() % 3);
        // The header font's codes within the tables the files keep.
        FontRecord& font = setup.headerFont.font;
        font.family = uint8_t(random() % 6);
        font.weight = uint8_t(random() % 4);
        font.charSet = uint8_t(random() % 17);
        font.size = uint8_t(random() % 255);
        for (double* m : {&setup.marginLeft, &setup.marginRight, &setup.marginTop,
                          &setup.marginBottom, &setup.headerDistance, &setup.footerDistance})
            *m = margins[random() % 5];
        WritePageSetupRecord(bytes, setup);
        ASSERT_EQ(info->SetData(PageRecordArray(bytes).get()), S_OK);
        ASSERT_EQ(obj->SetPageSettings(info.get()), S_OK) << round;
        const HRESULT hr = obj->PrintAll();
        const std::string file = TakeFile();
        if (hr == S_OK) {
            ++printed;
            EXPECT_GE(PdfPages(file), 1) << round;
            std::filesystem::remove(file);
        } else {
            ++refused;
            EXPECT_EQ(hr, S_FALSE) << round;
            EXPECT_NE(Doc().error, 0) << round;
            EXPECT_EQ(file, "") << round;
        }
    }
    EXPECT_GT(printed, 0);
    EXPECT_GT(refused, 0);
}

} // namespace vl

namespace vl {

// Automation prints a long printout as it always has: whole, with no box and no window
// events between its pages (a box would let the timer below run and find it).
TEST_F(PrintPdfTest, ALongPrintoutShowsNoBox) {
    ASSERT_EQ(obj->PutValue("$J$20000", CVariant::Bstr("z")), S_OK);
    bool boxSeen = false;
    int polled = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++polled;
        for (QWidget* w : QApplication::topLevelWidgets())
            boxSeen = boxSeen || w->objectName() == QLatin1String("printProgress");
    });
    poll.start(10);
    ASSERT_EQ(obj->PrintAll(), S_OK);
    poll.stop();
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(polled, 0);
    EXPECT_GT(PrintedPages(), 700);
}

} // namespace vl
