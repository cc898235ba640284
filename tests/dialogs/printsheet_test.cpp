#include "dialogs/formatpage.h"
#include "dialogs/printcontentpage.h"
#include "dialogs/printgeneralpage.h"
#include "dialogs/printlayoutpage.h"
#include "dialogs/printsetup.h"
#include "dialogs/printsheet.h"
#include "dialogtest.h"
#include "tests/common/waits.h"
#include "ui/uiutil.h"
#include "ui_printcontentpage.h"
#include "ui_printgeneralpage.h"
#include "ui_printlayoutpage.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPrinter>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cctype>
#include <cstring>
#include <functional>

namespace vl {

using dialogtest::FakeUi;

namespace {

PaperInfo Paper(QPageSize::PageSizeId id) {
    const QPageSize size(id);
    return {size.key().toStdString(), size.windowsId(), size};
}

// Two printers with a border of 4.2 mm all round; "Plain" lacks A4 and the automatic bin.
class FakePrinters : public IPrinterService {
public:
    FakePrinters() {
        PrinterEntry office;
        office.name = "Office";
        office.location = "Second floor";
        office.comment = "Colour laser";
        office.isDefault = true;
        office.papers = {Paper(QPageSize::Letter), Paper(QPageSize::A4), Paper(QPageSize::Legal)};
        office.bins = {kAutomaticBin, 1};
        std::fill(std::begin(office.minMargins), std::end(office.minMargins), 4.2);
        PrinterEntry plain = office;
        plain.name = "Plain";
        plain.isDefault = false;
        plain.papers = {Paper(QPageSize::Legal), Paper(QPageSize::Letter)};
        plain.bins = {2, 3};
        plain.location = "Basement";
        plain.comment = "Draft";
        printers = {office, plain};
    }
    std::vector<PrinterEntry> SystemPrinters() const override { return printers; }
    std::string DocumentsFolder() const override { return "/tmp"; }
    bool MinimumMargins(const DeviceMode& mode, double margins[4]) const override {
        return measures && IPrinterService::MinimumMargins(mode, margins);
    }
    // "Office" has three jobs waiting; the system cannot count "Plain"'s.
    int QueuedJobs(const std::string& printer) const override {
        return printer == "Office" ? 3 : IPrinterService::QueuedJobs(printer);
    }
    std::vector<PrinterEntry> printers;
    bool measures = true;
};

class PrintSheetTest : public ::testing::Test {
protected:
    PrintSheetTest() {
        CPrintSheet::StartPage(false) = 0;
        CPrintSheet::StartPage(true) = 0;
        InitPageSetup(record);
        UserSeparators().decimal = '.';
    }
    std::unique_ptr<CPrintSheet> Open(bool pageSetupMode, bool inches = false,
                                      const char* printer = "Office") {
        auto sheet =
            std::make_unique<CPrintSheet>(nullptr, pageSetupMode, inches, printers, "Vorlane 7.3");
        for (const PrinterEntry& p : ListPrinters(printers))
            if (p.name == printer) sheet->SetPrinter(DefaultDeviceMode(p, record.paperName));
        sheet->LoadPageSettings(record);
        return sheet;
    }
    // Visits every page so that OK applies them all.
    static void VisitAll(CPrintSheet& sheet) {
        for (int i = sheet.Tabs()->count() - 1; i >= 0; --i) sheet.Tabs()->setCurrentIndex(i);
    }

    FakeUi ui;
    FakePrinters printers;
    PageSetupRecord record;
};

} // namespace

TEST_F(PrintSheetTest, TabsOfEachModeAndTheirLastActivePage) {
    auto print = Open(false);
    ASSERT_EQ(print->Tabs()->count(), 3);
    EXPECT_EQ(print->Tabs()->tabText(0), "General");
    EXPECT_EQ(print->Tabs()->tabText(2), "Content");
    print->Tabs()->setCurrentIndex(2);
    auto setup = Open(true);
    ASSERT_EQ(setup->Tabs()->count(), 2);
    EXPECT_EQ(setup->Tabs()->tabText(0), "Layout");
    EXPECT_EQ(setup->General(), nullptr);
    EXPECT_EQ(setup->Tabs()->currentIndex(), 0); // its own mode's page, not print's
    setup->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(Open(false)->Tabs()->currentIndex(), 2);
    EXPECT_EQ(Open(true)->Tabs()->currentIndex(), 1);
    // Help shows the sheet's topic wherever the program routes help.
    int topic = 0;
    CFormatPage::showHelp = [&topic](int t) { topic = t; };
    auto buttons = setup->findChild<QDialogButtonBox*>();
    ASSERT_TRUE(buttons);
    buttons->button(QDialogButtonBox::Help)->click();
    CFormatPage::showHelp = nullptr;
    EXPECT_EQ(topic, 2);
}

TEST_F(PrintSheetTest, LengthsInCentimetresAndInches) {
    struct {
        double mm;
        bool inches;
        const char* shown;
    } shown[] = {
        {12.7, false, "1.27"}, {12.7, true, "0.5"}, {27.94, true, "1.1"}, {20.32, false, "2.03"}};
    for (const auto& c : shown) EXPECT_EQ(LengthText(c.mm, c.inches, 2, '.'), c.shown) << c.mm;
    struct {
        const char* text;
        bool inches;
        double mm;
    } stored[] = {{"2", true, 50.799}, {"1", true, 25.4}, {"1,27", false, 12.7}};
    for (const auto& c : stored) {
        double mm = 0;
        ASSERT_TRUE(LengthMillimetres(c.text, c.inches, c.text[1] == ',' ? ',' : '.', mm));
        EXPECT_DOUBLE_EQ(mm, c.mm) << c.text;
    }
    double mm = 7;
    EXPECT_FALSE(LengthMillimetres("1 cm", false, '.', mm));
    EXPECT_EQ(mm, 7);

    auto sheet = Open(true, true);
    EXPECT_EQ(sheet->Layout()->Form().id405->text(), "0.5");
    EXPECT_EQ(sheet->Layout()->Form().id394->text(), "\"");
    sheet->Layout()->Form().id405->setText("2");
    sheet->accept();
    ASSERT_EQ(sheet->result(), QDialog::Accepted);
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(record, mode));
    EXPECT_DOUBLE_EQ(record.marginLeft, 50.799);
    EXPECT_EQ(Open(true)->Layout()->Form().id394->text(), "cm");
}

TEST_F(PrintSheetTest, UnitsFollowTheLocale) {
    EXPECT_TRUE(UsesInches(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_FALSE(UsesInches(QLocale(QLocale::German, QLocale::Germany)));
}

TEST_F(PrintSheetTest, GeneralPageChecksPagesAndCopies) {
    // The record holds 127 bytes of the list: one more is refused, never cut (a cut list
    // prints other pages than asked).
    const std::string longest = QString("1,").repeated(63).toStdString() + "1";
    const std::string tooLong = longest + "2";
    QStringList fifty;
    for (int page = 1; page <= 50; ++page) fifty << QString::number(page);
    const std::string fiftyPages = fifty.join(',').toStdString(); // 140 characters
    struct {
        const char* pages;
        const char* copies;
        const char* message; // nullptr: accepted
    } cases[] = {
        {"1,3-5", "1", nullptr},
        {"2 - 4, 7", "65534", nullptr},
        {"", "3", nullptr},
        {"1;3", "1", "Please enter an integer between 1 and 16777215."},
        {"0", "1", "Please enter an integer between 1 and 16777215."},
        {"16777216", "1", "Please enter an integer between 1 and 16777215."},
        {"16777215", "1", nullptr},
        {"1", "65535", "Please enter an integer between 1 and 65534."},
        {"1", "0", "Please enter an integer between 1 and 65534."},
        {"0", "0", "Please enter an integer between 1 and 65534."}, // the second check's
        {longest.c_str(), "1", nullptr},
        {tooLong.c_str(), "1", "Please enter no more than 127 characters."},
        {fiftyPages.c_str(), "1", "Please enter no more than 127 characters."},
        {tooLong.c_str(), "0", "Please enter an integer between 1 and 65534."},
    };
    for (const auto& c : cases) {
        auto sheet = Open(false);
        Ui::PrintGeneralPage& form = sheet->General()->Form();
        form.id282->click();
        form.id205->setText(c.pages);
        form.id257->setText(c.copies);
        ui.boxes.clear();
        ui.beeps = 0;
        EXPECT_EQ(sheet->General()->OnApply(), c.message == nullptr) << c.pages << " " << c.copies;
        EXPECT_EQ(sheet->Applied(), c.message == nullptr);
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u) << c.pages;
            EXPECT_EQ(ui.boxes[0], c.message) << c.pages << " " << c.copies;
            EXPECT_EQ(ui.beeps, 1);
            sheet->reject();
            PageSetupRecord out = record;
            DeviceMode mode;
            EXPECT_FALSE(sheet->Outcome(out, mode)) << c.pages; // nothing stored
        } else {
            EXPECT_TRUE(ui.boxes.empty()) << c.pages;
            sheet->accept();
            PageSetupRecord out = record;
            DeviceMode mode;
            ASSERT_TRUE(sheet->Outcome(out, mode));
            EXPECT_STREQ(out.pages, c.pages); // whole
        }
    }
}

TEST_F(PrintSheetTest, RangeKindsLoadAndStore) {
    struct {
        uint8_t kind;
        int radio; // 400, 189, 282
        uint8_t stored;
    } cases[] = {{kPrintAll, 400, kPrintAll},
                 {kPrintCellRange, 189, kPrintSelection},
                 {kPrintContainer, 189, kPrintSelection},
                 {kPrintSelection, 189, kPrintSelection},
                 {kPrintPageList, 282, kPrintPageList}};
    for (const auto& c : cases) {
        record.printRangeKind = c.kind;
        std::strcpy(record.pages, "2-3");
        auto sheet = Open(false);
        Ui::PrintGeneralPage& form = sheet->General()->Form();
        EXPECT_TRUE(form.id400->isChecked() == (c.radio == 400) &&
                    form.id189->isChecked() == (c.radio == 189) &&
                    form.id282->isChecked() == (c.radio == 282))
            << int(c.kind);
        EXPECT_EQ(form.id205->text(), "2-3");
        sheet->accept();
        PageSetupRecord out = record;
        DeviceMode mode;
        ASSERT_TRUE(sheet->Outcome(out, mode));
        EXPECT_EQ(out.printRangeKind, c.stored) << int(c.kind);
    }
}

TEST_F(PrintSheetTest, EveryFieldRoundTripsThroughThePages) {
    record.printRangeKind = kPrintPageList;
    std::strcpy(record.pages, "4-6");
    std::strcpy(record.paperName, "Legal");
    record.landscape = 1;
    record.fitToSheetSize = 0;
    record.scale = 75;
    record.firstPageNumber = 12;
    std::strcpy(record.excludedRows, "3,9-10");
    std::strcpy(record.excludedColumns, "2-4");
    record.copies = 4;
    record.collate = 1;
    record.backToFront = 1;
    record.headerDistance = 15;
    record.footerDistance = 18;
    std::strcpy(record.headerText, "&l Left");
    std::strcpy(record.footerText, "&r Page &p");
    record.headerFont.font.size = 14;
    record.headerFont.font.weight = 2;
    record.headerFont.font.italic = 1;
    std::strcpy(record.headerFont.font.faceName, "Serif");
    record.headerFont.color = 0x00123456;
    record.onFirstPage = 0;
    record.marginLeft = 11;
    record.marginRight = 12;
    record.marginTop = 13;
    record.marginBottom = 14;
    record.pagesPerSheetRows = 3;
    record.pagesPerSheetColumns = 4;
    record.alignment = 4 | 16;
    record.rowHeadings = 0;
    record.columnHeadings = 1;
    auto sheet = Open(false);
    VisitAll(*sheet);
    sheet->accept();
    ASSERT_EQ(sheet->result(), QDialog::Accepted)
        << (ui.boxes.empty() ? "" : ui.boxes[0].toStdString());
    PageSetupRecord out;
    InitPageSetup(out);
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(out, mode));
    PageSetupRecord expected = record;
    expected.backToFront = 0;           // cleared on every store
    expected.headerFont.colorGiven = 1; // the font counts as set once stored
    std::vector<uint8_t> a(kPageSetupRecordSize), b(kPageSetupRecordSize);
    WritePageSetupRecord(a.data(), out);
    WritePageSetupRecord(b.data(), expected);
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << "byte " << i;
    EXPECT_EQ(mode.paper.name, "Legal");
    EXPECT_TRUE(mode.landscape);
}

// OK without a change stores every length as it was, though the pages show them rounded (a
// position to a tenth of the unit, a margin to a hundredth): in centimetres and in inches, and
// a length typed again as it was shown stores what was typed.
TEST_F(PrintSheetTest, OkWithoutAChangeKeepsTheLengthsUnrounded) {
    std::strcpy(record.paperName, "A4"); // the printer's paper, as the page shows it
    record.marginLeft = 12.7;
    record.marginRight = 25.4;
    record.marginTop = 10.001;
    record.marginBottom = 19.05;
    record.headerDistance = 12.7;
    record.footerDistance = 8.466;
    record.alignment = 3 | 48; // shown as left and centred: more bits than the page writes
    for (const bool inches : {false, true}) {
        SCOPED_TRACE(inches ? "inches" : "centimetres");
        auto sheet = Open(true, inches);
        VisitAll(*sheet);
        sheet->accept();
        ASSERT_EQ(sheet->result(), QDialog::Accepted);
        PageSetupRecord out;
        InitPageSetup(out);
        DeviceMode mode;
        ASSERT_TRUE(sheet->Outcome(out, mode));
        std::vector<uint8_t> a(kPageSetupRecordSize), b(kPageSetupRecordSize);
        WritePageSetupRecord(a.data(), out);
        WritePageSetupRecord(b.data(), record);
        EXPECT_EQ(a, b);
        EXPECT_DOUBLE_EQ(out.headerDistance, 12.7);
        EXPECT_DOUBLE_EQ(out.footerDistance, 8.466);
        EXPECT_DOUBLE_EQ(out.marginTop, 10.001);
    }
    // A position typed anew stores what was typed; the lengths left as shown stay as they were.
    auto sheet = Open(true);
    sheet->Tabs()->setCurrentIndex(1);
    auto& form = sheet->Layout()->Form();
    ASSERT_EQ(form.id406->text(), "1.3");
    ASSERT_EQ(form.id210->text(), "0.8");
    form.id406->setText("1.4");
    sheet->accept();
    ASSERT_EQ(sheet->result(), QDialog::Accepted);
    PageSetupRecord out = record;
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(out, mode));
    EXPECT_DOUBLE_EQ(out.headerDistance, 14);
    EXPECT_DOUBLE_EQ(out.footerDistance, 8.466);
    EXPECT_DOUBLE_EQ(out.marginLeft, 12.7);
}

TEST_F(PrintSheetTest, PaperAndSourceFallBack) {
    struct {
        const char* printer;
        const char* paperName;
        const char* paper;
        const char* source;
    } cases[] = {
        {"Office", "Legal", "Legal", "Automatically Select"},
        {"Office", "legal", "Legal", "Automatically Select"}, // without case
        {"Office", "", "Letter", "Automatically Select"},     // the mode's paper
        {"Plain", "Tabloid", "Legal", "Bin 2"},               // neither A4 nor automatic
    };
    for (const auto& c : cases) {
        std::strcpy(record.paperName, c.paperName);
        auto sheet = Open(true, false, c.printer);
        EXPECT_EQ(sheet->Layout()->Form().id215->currentText(), c.paper) << c.paperName;
        EXPECT_EQ(sheet->Layout()->Form().id229->currentText(), c.source) << c.paperName;
    }
    // A paper the printer lacks, by name and by code: A4.
    auto sheet0 = std::make_unique<CPrintSheet>(nullptr, true, false, printers, "Vorlane 7.3");
    DeviceMode foreign = DefaultDeviceMode(printers.printers[0], "");
    foreign.paper = Paper(QPageSize::Executive);
    foreign.bin = 4;
    sheet0->SetPrinter(foreign);
    std::strcpy(record.paperName, "Executive");
    sheet0->LoadPageSettings(record);
    EXPECT_EQ(sheet0->Layout()->Form().id215->currentText(), "A4");
    EXPECT_EQ(sheet0->Layout()->Form().id229->currentText(), "Automatically Select");

    // A printer chosen on the General page brings its own lists.
    std::strcpy(record.paperName, "A4");
    auto sheet = Open(false);
    Ui::PrintGeneralPage& general = sheet->General()->Form();
    EXPECT_EQ(general.id394->text(), "Second floor");
    general.id215->setCurrentIndex(1);
    sheet->General()->OnPrinterCloseUp();
    EXPECT_EQ(sheet->Printer().printer.name, "Plain");
    EXPECT_EQ(sheet->Layout()->Form().id215->count(), 2);
    EXPECT_EQ(sheet->Layout()->Form().id215->currentText(), "Legal");
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
}

TEST_F(PrintSheetTest, GeneralPageShowsQueuedJobsAndPrinterPicture) {
    auto sheet = Open(false);
    sheet->show();
    Ui::PrintGeneralPage& general = sheet->General()->Form();
    EXPECT_FALSE(general.id399->pixmap().isNull());
    EXPECT_EQ(general.id399->pixmap().width(), 32);
    // Walk the printer list with the keys: Office, Plain, PDF, and back. Plain's queue
    // cannot be read: its location, count and comment stay those of the printer before.
    const struct {
        int key;
        const char* printer;
        const char* location;
        const char* jobs;
        const char* comment;
    } steps[] = {
        {0, "Office", "Second floor", "3", "Colour laser"},
        {Qt::Key_Down, "Plain", "Second floor", "3", "Colour laser"},
        {Qt::Key_Down, "PDF", "", "0", "Writes PDF files"},
        {Qt::Key_Up, "Plain", "", "0", "Writes PDF files"},
        {Qt::Key_Up, "Office", "Second floor", "3", "Colour laser"},
    };
    for (const auto& s : steps) {
        if (s.key) QTest::keyClick(general.id215, Qt::Key(s.key));
        EXPECT_EQ(sheet->Printer().printer.name, s.printer);
        EXPECT_EQ(general.id394->text(), s.location) << s.printer;
        EXPECT_EQ(general.id395->text(), s.jobs) << s.printer;
        EXPECT_EQ(general.id396->text(), s.comment) << s.printer;
    }
    // Opened on a printer that cannot be read, the fields keep the template's empty text.
    sheet = Open(false, false, "Plain");
    Ui::PrintGeneralPage& plain = sheet->General()->Form();
    EXPECT_EQ(plain.id215->currentText(), "Plain");
    EXPECT_EQ(plain.id394->text(), "");
    EXPECT_EQ(plain.id395->text(), "");
    EXPECT_EQ(plain.id396->text(), "");
}

TEST_F(PrintSheetTest, LayoutChecksPagesPerSheetAndMargins) {
    struct {
        const char* rows;
        const char* left;
        const char* footer;
        bool measures;
        const char* message;
    } cases[] = {
        {"1", "0.42", "0.42", true, nullptr},
        {"10", "1", "2", true, nullptr},
        {"0", "1", "2", true, "Please enter an integer between 1 and 10."},
        {"11", "1", "2", true, "Please enter an integer between 1 and 10."},
        {"1", "0.4", "2", true, "The minimum margin for the current printer is 0.42."},
        {"1", "x", "2", true, "The minimum margin for the current printer is 0.42."},
        {"1", "1", "0.41", true, "The minimum margin for the current printer is 0.42."},
        {"1", "0", "0", false, nullptr}, // nothing to measure with: no margin checks
    };
    for (const auto& c : cases) {
        printers.measures = c.measures;
        auto sheet = Open(true);
        Ui::PrintLayoutPage& form = sheet->Layout()->Form();
        form.id205->setText(c.rows);
        form.id405->setText(c.left);
        form.id210->setText(c.footer);
        ui.boxes.clear();
        EXPECT_EQ(sheet->Layout()->OnApply(), c.message == nullptr) << c.rows << " " << c.left;
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u) << c.rows << " " << c.left;
            EXPECT_EQ(ui.boxes[0], c.message);
        }
    }
    printers.measures = true;
    auto sheet = Open(true, true);
    sheet->Layout()->Form().id405->setText("0.1");
    ui.boxes.clear();
    EXPECT_FALSE(sheet->Layout()->OnApply());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "The minimum margin for the current printer is 0.165.");
    sheet->Layout()->Form().id405->setText("0.2");
    // The header and the footer each hold 127 characters; one more is refused with the
    // focus on that text, never cut when stored.
    Ui::PrintLayoutPage& form = sheet->Layout()->Form();
    for (QLineEdit* text : {form.id259, form.id208}) {
        const QString before = text->text();
        text->setText(QString(127, 'h') + QString::fromUtf8("\u00e9")); // two bytes in UTF-8
        ui.boxes.clear();
        EXPECT_FALSE(sheet->Layout()->OnApply());
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0], "Please enter no more than 127 characters.");
        EXPECT_EQ(sheet->Layout()->RefusedControl(), text);
        text->setText(QString(126, 'h') + QString::fromUtf8("\u00e9"));
        EXPECT_TRUE(sheet->Layout()->OnApply());
        text->setText(before);
    }
}

// A printer whose four minimum margins all differ: each edit is held to its own edge's
// minimum, accepted at it and refused just under it, upright and turned to landscape (where
// the upright left edge becomes the bottom one).
TEST_F(PrintSheetTest, EachMarginIsHeldToItsOwnEdgesMinimum) {
    const double minimum[4] = {3, 5, 7, 9}; // left, top, right, bottom, millimetres
    std::copy(minimum, minimum + 4, printers.printers[0].minMargins);
    struct Edit {
        CNumberEdit* Ui::PrintLayoutPage::*edit;
        int edge; // index into left, top, right, bottom
    };
    const Edit edits[] = {
        {&Ui::PrintLayoutPage::id405, 0},  {&Ui::PrintLayoutPage::id207, 2},
        {&Ui::PrintLayoutPage::id1006, 1}, {&Ui::PrintLayoutPage::id1005, 3},
        {&Ui::PrintLayoutPage::id406, 1},  {&Ui::PrintLayoutPage::id210, 3},
    };
    for (bool landscape : {false, true}) {
        // Landscape: left, top, right, bottom take the upright top, right, bottom, left.
        const double turned[4] = {minimum[1], minimum[2], minimum[3], minimum[0]};
        const double* edges = landscape ? turned : minimum;
        for (const Edit& e : edits) {
            const double mm = edges[e.edge];
            for (bool under : {false, true}) {
                SCOPED_TRACE(std::to_string(landscape) + " edge " + std::to_string(e.edge) +
                             (under ? " under" : " at"));
                auto sheet = Open(true);
                Ui::PrintLayoutPage& form = sheet->Layout()->Form();
                (landscape ? form.id189 : form.id400)->click();
                for (const Edit& other : edits) (form.*other.edit)->setText("2");
                const QString at = QString::number(mm / 10);
                (form.*e.edit)->setText(under ? QString::number(mm / 10 - 0.01) : at);
                ui.boxes.clear();
                EXPECT_EQ(sheet->Layout()->OnApply(), !under);
                if (under) {
                    ASSERT_EQ(ui.boxes.size(), 1u);
                    EXPECT_EQ(ui.boxes[0],
                              "The minimum margin for the current printer is " + at + ".");
                } else {
                    EXPECT_TRUE(ui.boxes.empty());
                }
            }
        }
    }
}

TEST_F(PrintSheetTest, ContentChecksScaleFirstPageAndLists) {
    // 128 characters, one more than a list may have.
    static const std::string longList = QString("1,").repeated(64).toStdString();
    const char* kLongList = longList.c_str();
    struct {
        bool fit;
        const char* scale;
        const char* first;
        const char* rows;
        const char* columns;
        const char* message;
    } cases[] = {
        {false, "10", "1", "1,2,5-6,8", "1-3", nullptr},
        {false, "1000", "65534", "2097152", "2047", nullptr},
        {true, "5", "1", "", "", "Please enter an integer between 10 and 1000."},
        {false, "1001", "1", "", "", "Please enter an integer between 10 and 1000."},
        {false, "100", "0", "", "", "Please enter an integer between 1 and 65534."},
        {false, "100", "65535", "", "", "Please enter an integer between 1 and 65534."},
        {false, "100", "1", "2-2097153", "", "Invalid value."},
        {false, "100", "1", "", "A-C", "Invalid value."},
        {false, "100", "1", "", "2048", "Invalid value."},
        {false, "100", "1", "", kLongList, "Please enter no more than 127 characters."},
        {false, "100", "1", kLongList + 1, "", nullptr},
    };
    for (const auto& c : cases) {
        auto sheet = Open(true);
        Ui::PrintContentPage& form = sheet->Content()->Form();
        (c.fit ? form.id189 : form.id400)->click();
        form.id205->setText(c.scale);
        form.id257->setText(c.first);
        form.id405->setText(c.rows);
        form.id207->setText(c.columns);
        ui.boxes.clear();
        EXPECT_EQ(sheet->Content()->OnApply(), c.message == nullptr) << c.scale << " " << c.rows;
        if (c.message) {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0], c.message) << c.scale << " " << c.rows;
        }
    }
}

// A flag a file holds as any value but 0 is set: the boxes show it ticked, and OK without a
// change keeps it set.
TEST_F(PrintSheetTest, FlagsOfAnyValueButZeroAreSet) {
    for (const uint8_t value : {1, 2, 255}) {
        record.rowHeadings = value;
        record.columnHeadings = value;
        record.onFirstPage = value;
        record.collate = value;
        record.fitToSheetSize = value;
        auto sheet = Open(false);
        const Ui::PrintContentPage& content = sheet->Content()->Form();
        EXPECT_TRUE(content.id1001->isChecked()) << int(value);
        EXPECT_TRUE(content.id218->isChecked()) << int(value);
        EXPECT_TRUE(content.id216->isChecked()) << int(value);
        EXPECT_TRUE(content.id189->isChecked()) << int(value);
        EXPECT_TRUE(sheet->General()->Form().id218->isChecked()) << int(value);
        VisitAll(*sheet);
        sheet->accept();
        PageSetupRecord out = record;
        DeviceMode mode;
        ASSERT_TRUE(sheet->Outcome(out, mode)) << int(value);
        EXPECT_EQ(std::vector<int>({out.rowHeadings, out.columnHeadings, out.onFirstPage,
                                    out.collate, out.fitToSheetSize}),
                  std::vector<int>({1, 1, 1, 1, 1}))
            << int(value);
    }
    record.rowHeadings = record.columnHeadings = record.onFirstPage = record.collate = 0;
    record.fitToSheetSize = 0;
    auto sheet = Open(false);
    EXPECT_FALSE(sheet->Content()->Form().id1001->isChecked());
    EXPECT_FALSE(sheet->Content()->Form().id216->isChecked());
    EXPECT_TRUE(sheet->Content()->Form().id400->isChecked());
    EXPECT_FALSE(sheet->General()->Form().id218->isChecked());
}

// The lowest bit set of each alignment group counts, as printing places the page.
TEST_F(PrintSheetTest, LayoutShowsTheAlignmentBitThatCounts) {
    const struct {
        uint8_t stored;
        int horizontal, vertical;
    } cases[] = {{0, 0, 0},  {3, 0, 0},  {5, 0, 0},  {7, 0, 0},  {6, 1, 0},  {4, 2, 0},
                 {24, 0, 0}, {40, 0, 0}, {56, 0, 0}, {48, 0, 1}, {32, 0, 2}, {2 | 32, 1, 2}};
    for (const auto& c : cases) {
        record.alignment = c.stored;
        auto sheet = Open(true);
        const Ui::PrintLayoutPage& form = sheet->Layout()->Form();
        EXPECT_EQ(form.id1019->currentIndex(), c.horizontal) << int(c.stored);
        EXPECT_EQ(form.id1021->currentIndex(), c.vertical) << int(c.stored);
    }
}

// A change of one alignment alone is stored, the other kept: each list changed by its keys.
TEST_F(PrintSheetTest, AnAlignmentChangedAloneIsStored) {
    const struct {
        bool vertical; // the list changed
        uint8_t stored, expected;
    } cases[] = {
        {true, kPageAlignLeft | kPageAlignTop, kPageAlignLeft | kPageAlignMiddle},
        {true, kPageAlignRight | kPageAlignMiddle, kPageAlignRight | kPageAlignBottom},
        {false, kPageAlignLeft | kPageAlignTop, kPageAlignCenter | kPageAlignTop},
        {false, kPageAlignCenter | kPageAlignBottom, kPageAlignRight | kPageAlignBottom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.stored) + (c.vertical ? " vertical" : " horizontal"));
        record.alignment = c.stored;
        auto sheet = Open(true);
        sheet->show();
        sheet->Tabs()->setCurrentIndex(0);
        Ui::PrintLayoutPage& form = sheet->Layout()->Form();
        QComboBox* list = c.vertical ? form.id1021 : form.id1019;
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);
        sheet->accept();
        ASSERT_EQ(sheet->result(), QDialog::Accepted);
        PageSetupRecord out = record;
        DeviceMode mode;
        ASSERT_TRUE(sheet->Outcome(out, mode));
        EXPECT_EQ(int(out.alignment), int(c.expected));
    }
}

TEST_F(PrintSheetTest, FitKeepsTheStoredScale) {
    record.scale = 80;
    auto sheet = Open(true);
    sheet->Tabs()->setCurrentIndex(1);
    Ui::PrintContentPage& form = sheet->Content()->Form();
    form.id205->setText("150");
    form.id189->click();
    sheet->accept();
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(record, mode));
    EXPECT_EQ(record.fitToSheetSize, 1);
    EXPECT_EQ(record.scale, 80);
}

TEST_F(PrintSheetTest, CancelKeepsWhatTheLastApplyStored) {
    auto sheet = Open(true);
    Ui::PrintLayoutPage& form = sheet->Layout()->Form();
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    form.id405->setText("2");
    EXPECT_TRUE(sheet->ApplyButton()->isEnabled());
    ASSERT_TRUE(sheet->ApplyNow());
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled());
    form.id405->setText("3");
    sheet->Tabs()->setCurrentIndex(1); // leaving the page reads it again
    sheet->reject();
    EXPECT_TRUE(sheet->CancelPressed());
    PageSetupRecord out = record;
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(out, mode));
    EXPECT_DOUBLE_EQ(out.marginLeft, 20);

    auto untouched = Open(true);
    untouched->Layout()->Form().id405->setText("3");
    untouched->reject();
    PageSetupRecord same = record;
    EXPECT_FALSE(untouched->Outcome(same, mode));
    EXPECT_EQ(std::memcmp(&same, &record, sizeof same), 0);
}

TEST_F(PrintSheetTest, RefusedPagesKeepTheSheetOpen) {
    auto sheet = Open(false);
    sheet->show();
    sheet->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(sheet.get()));
    sheet->Tabs()->setCurrentIndex(1);
    sheet->Layout()->Form().id205->setText("0");
    // Refused: the message shows over the page it is about, which stays; the rows take the
    // focus, also once the event that switched has been handled.
    int shownAtBox = -1;
    ui.onBox = [&] { shownAtBox = sheet->Tabs()->currentIndex(); };
    sheet->Tabs()->setCurrentIndex(2);
    ui.onBox = nullptr;
    EXPECT_EQ(shownAtBox, 1);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 1);
    EXPECT_TRUE(sheet->Layout()->Form().id205->hasFocus());
    sheet->Tabs()->tabBar()->setFocus();
    EXPECT_TRUE(testwait::UntilFocused(sheet->Layout()->Form().id205));
    sheet->Layout()->Form().id205->setText("2");
    sheet->Tabs()->setCurrentIndex(0);
    sheet->General()->Form().id257->setText("0");
    sheet->Tabs()->setCurrentIndex(1); // refused again, on General
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 0);
    sheet->General()->Form().id257->setText("2");
    sheet->Tabs()->setCurrentIndex(1);
    sheet->Layout()->Form().id205->setText("12");
    sheet->Tabs()->setCurrentIndex(0);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 1);
    sheet->Layout()->Form().id205->setText("3");
    sheet->Tabs()->setCurrentIndex(0);
    sheet->Tabs()->setCurrentIndex(1);
    sheet->Layout()->Form().id205->setText("1");
    // A printer with a wider border makes the Layout page refuse its margins at OK: the
    // sheet stays open on that page.
    sheet->Tabs()->setCurrentIndex(0);
    ASSERT_EQ(sheet->General()->Form().id215->itemText(1), "Plain");
    std::fill(std::begin(printers.printers[1].minMargins),
              std::end(printers.printers[1].minMargins), 30.0);
    sheet->General()->FillPrinterList();
    sheet->General()->Form().id215->setCurrentIndex(1);
    sheet->General()->OnPrinterCloseUp();
    ui.boxes.clear();
    sheet->accept();
    EXPECT_NE(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(sheet->Tabs()->currentIndex(), 1);
    EXPECT_TRUE(sheet->Layout()->Form().id405->hasFocus());
    EXPECT_FALSE(sheet->Applied());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "The minimum margin for the current printer is 3.");
}

TEST_F(PrintSheetTest, FontButtonChoosesFontAndColour) {
    record.headerFont.color = 0x000000FF;
    auto sheet = Open(true);
    ui.answerFont = [](LogFont& font, uint32_t& color) {
        std::strcpy(font.faceName, "Mono");
        font.italic = 1;
        color = 0x0000FF00;
        return true;
    };
    sheet->Layout()->Form().id408->click();
    EXPECT_EQ(ui.startFontColor, 0x000000FFu);
    EXPECT_FALSE(sheet->ApplyButton()->isEnabled()); // the font does not count as a change
    sheet->accept();
    DeviceMode mode;
    ASSERT_TRUE(sheet->Outcome(record, mode));
    EXPECT_STREQ(record.headerFont.font.faceName, "Mono");
    EXPECT_EQ(record.headerFont.font.italic, 1);
    EXPECT_EQ(record.headerFont.color, 0x0000FF00u);
    EXPECT_EQ(record.headerFont.colorGiven, 1);

    ui.answerFont = nullptr; // cancelled: nothing changes
    auto again = Open(true);
    again->Layout()->Form().id408->click();
    EXPECT_STREQ(again->Layout()->HeaderFont().faceName, "Mono");
}

// The Font dialog's OK stores only what the user changed: a header font left unset keeps its
// empty face and size 0 (the defaults), whatever else was ticked.
TEST_F(PrintSheetTest, FontOkStoresOnlyWhatWasChanged) {
    struct Row {
        const char* how;
        std::function<void(LogFont&)> change;
        const char* face;
        uint8_t size, weight, italic, underline, strikeout;
    };
    const Row rows[] = {
        {"nothing", [](LogFont&) {}, "", 0, 0, 0, 0, 0},
        {"italic", [](LogFont& f) { f.italic = 1; }, "", 0, 0, 1, 0, 0},
        {"bold", [](LogFont& f) { f.weight = 700; }, "", 0, 2, 0, 0, 0},
        {"size 12", [](LogFont& f) { f.height = -16; }, "", 12, 0, 0, 0, 0},
        {"face", [](LogFont& f) { std::strcpy(f.faceName, "Mono"); }, "Mono", 0, 0, 0, 0, 0},
        {"underline, strikeout",
         [](LogFont& f) {
             f.underline = 1;
             f.strikeOut = 1;
         },
         "", 0, 0, 0, 1, 1},
        {"face in other case",
         [](LogFont& f) {
             for (char* c = f.faceName; *c; ++c) *c = char(std::toupper(uint8_t(*c)));
         },
         "", 0, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        InitPageSetup(record);
        ASSERT_EQ(record.headerFont.font.faceName[0], '\0');
        ASSERT_EQ(record.headerFont.font.size, 0);
        ui.answerFont = [&row](LogFont& font, uint32_t&) {
            row.change(font);
            return true;
        };
        auto sheet = Open(true);
        sheet->Layout()->Form().id408->click();
        sheet->accept();
        DeviceMode mode;
        ASSERT_TRUE(sheet->Outcome(record, mode));
        const FontRecord& font = record.headerFont.font;
        EXPECT_STREQ(font.faceName, row.face);
        EXPECT_EQ(font.size, row.size);
        EXPECT_EQ(font.weight, row.weight);
        EXPECT_EQ(font.italic, row.italic);
        EXPECT_EQ(font.underline, row.underline);
        EXPECT_EQ(font.strikeout, row.strikeout);
    }
}

// The built-in PDF printer has no properties to show: the button is off while it is chosen.
TEST_F(PrintSheetTest, PropertiesAreOffForTheBuiltInPdfPrinter) {
    for (const char* name : {"Office", kPdfPrinterName, "Plain"}) {
        SCOPED_TRACE(name);
        auto sheet = Open(false, false, name);
        ASSERT_EQ(sheet->Printer().printer.name, name);
        EXPECT_EQ(sheet->General()->Form().id1014->isEnabled(),
                  std::string(name) != kPdfPrinterName);
    }
}

TEST_F(PrintSheetTest, PrintSetupAddsAPrinterTheListLacks) {
    auto sheet = Open(false);
    PrinterEntry added = printers.printers[1];
    added.name = "Annex";
    sheet->printSetup = [&](QWidget*, DeviceMode& mode) {
        mode = DefaultDeviceMode(added, "Letter");
        return true;
    };
    Ui::PrintGeneralPage& form = sheet->General()->Form();
    const int before = form.id215->count();
    form.id1014->click();
    ASSERT_EQ(form.id215->count(), before + 1);
    EXPECT_EQ(form.id215->currentText(), "Annex");
    EXPECT_EQ(sheet->Printer().printer.name, "Annex");
    EXPECT_EQ(sheet->Layout()->Form().id229->currentText(), "Bin 2");
    form.id1014->click(); // known now: not added twice
    EXPECT_EQ(form.id215->count(), before + 1);
}

} // namespace vl

namespace vl {

TEST(PrintSetup, OutputToAFileIsThePdfPrinter) {
    dialogtest::FakeUi ui;
    PrinterEntry office;
    office.name = "Office";
    office.papers = PdfPrinter().papers;
    struct Printers : IPrinterService {
        std::vector<PrinterEntry> list;
        std::vector<PrinterEntry> SystemPrinters() const override { return list; }
        std::string DocumentsFolder() const override { return "/tmp"; }
    } printers;
    printers.list = {office};
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A5));
    printer.setPageOrientation(QPageLayout::Landscape);
    const DeviceMode mode = ModeOfPrinter(printer, printers);
    EXPECT_TRUE(mode.printer.builtInPdf);
    EXPECT_EQ(mode.printer.name, "PDF");
    EXPECT_EQ(mode.paper.name, "A5");
    EXPECT_TRUE(mode.landscape);
}

} // namespace vl
