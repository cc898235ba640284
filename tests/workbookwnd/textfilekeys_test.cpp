// Text files through the window with the real option dialogs answered by keys: what a save
// would write otherwise than the grid shows is named before it is written, what an open
// could not take is said and guards the file from a save over it, a separator equal to the
// quoting symbol is refused, and a workbook keeps its form whatever its file's name.
#include "dialogs/textfiledlg.h"
#include "formula/celltext.h"
#include "modaldialogkeys.h"
#include "model/exchangesettings.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "ui_textfiledlg.h"
#include "wndtest.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vl {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TextFileKeysTest : public wndtest::WindowTest {
protected:
    using Dialog = CTextFileDlg;

    void SaveAsText(const std::string& path, const std::function<void(Dialog&)>& use) {
        ui.savePath = QString::fromStdString(path);
        ui.saveIndex = 2;
        wndtest::WithModalDialog<Dialog>(ui, *Active(), ID_FILE_SAVE_AS, use);
        ui.saveIndex = 1;
    }
    CWorkbookWnd* OpenText(const std::string& path) {
        CWorkbookWnd* opened = nullptr;
        wndtest::WithModalDialogDuring<Dialog>(
            ui, [&] { opened = OpenWindow(path); },
            [](Dialog& d) { QTest::keyClick(d.windowHandle(), Qt::Key_Return); });
        return opened;
    }
    static void TypeInto(QWidget* field, const QString& text) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    static void Press(Dialog& d, Qt::Key key) { QTest::keyClick(d.windowHandle(), key); }
    // Save As with the options `use` chooses: the question names the loss in `words`;
    // Cancel writes nothing, No writes the file.
    void CancelThenAgree(const std::string& path, const std::function<void(Dialog&)>& use,
                         const QString& words) {
        ui.answers = {IDCANCEL};
        SaveAsText(path, use);
        EXPECT_EQ(BoxesSaying(words), 1);
        EXPECT_FALSE(std::filesystem::exists(path));
        ui.answers = {IDNO};
        SaveAsText(path, use);
        EXPECT_EQ(BoxesSaying(words), 2);
    }
    int BoxesSaying(const QString& words) const {
        int n = 0;
        for (const auto& box : ui.boxes) n += box.text.contains(words) ? 1 : 0;
        return n;
    }
    // Types into the cell, characters past ASCII as the text of their key events.
    void EnterAny(uint16_t column, uint32_t row, const QString& text) {
        StartTyping(column, row, QString());
        for (const QChar c : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : View();
            if (c.unicode() < 128)
                QTest::keyClick(target, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            Settle();
        }
        Key(Qt::Key_Return);
    }
    // The value a cell shows, without its format.
    std::string Shown(uint16_t column, uint32_t row) const {
        const uint8_t* r = FindCell(Book().tree.active->cells, row, column);
        std::string text;
        if (!r || !FormatCellValue(r, StandardFormat{}, text)) return "<none>";
        return text;
    }
    void CloseActive() {
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
};

// Fixed widths 4,2: 1E-20 and 123456789012345678 would be cut into other numbers, and
// 0.000012345 in the widths typed: the save names the loss first; No writes, Cancel does not.
TEST_F(TextFileKeysTest, AFixedWidthThatCutsNumbersAsksFirst) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("1E-20"));
    Enter(1, 0, QStringLiteral("123456789012345678"));
    Enter(0, 1, QStringLiteral("abcdef"));
    const std::string path = TempPath("fixed.txt");
    const auto fixedWidths = [](Dialog& d) {
        QTest::keyClick(d.windowHandle(), Qt::Key_F, Qt::AltModifier);
        TypeInto(d.Form().id257, QStringLiteral("4,2"));
        Press(d, Qt::Key_Return);
    };
    CancelThenAgree(path, fixedWidths,
                    QStringLiteral("2 numbers longer than their fields' widths"));
    EXPECT_EQ(Book().textFile.useFixedColWidths, 1);
    EXPECT_EQ(ReadAll(path), "1e-21.\r\nabcd");
    // A number that fits asks nothing.
    Enter(0, 0, QStringLiteral("12"));
    Enter(1, 0, QStringLiteral("3"));
    ui.boxes.clear();
    SaveAsText(path, [](Dialog& d) { Press(d, Qt::Key_Return); });
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadAll(path), "12  3 \r\nabcd");
}

// The formulas of an opened text file show their results at once, and Ctrl+S answered No
// (the formulas themselves are not kept) writes the results, never 0, with nothing typed.
TEST_F(TextFileKeysTest, FormulasOfAnOpenedFileAreCalculated) {
    const std::string path = TempPath("sums.csv");
    WriteAll(path, "item,qty,price,total\r\nA,2,3.5,=B2*C2\r\nB,1,4,=B3*C3\r\n,,,=SUM(D2:D3)");
    ASSERT_NE(OpenText(path), nullptr);
    EXPECT_EQ(CellText(3, 1), "=B2*C2");
    EXPECT_EQ(Shown(3, 1), "7");
    EXPECT_EQ(Shown(3, 3), "11");
    ui.answers = {IDNO};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(BoxesSaying(QStringLiteral("formulas")), 1);
    EXPECT_EQ(ReadAll(path), "item,qty,price,total\r\nA,2,3.5,7\r\nB,1,4,4\r\n,,,11");
}

// A field past the double range opens as its text, as typed; nothing reads it as infinite.
TEST_F(TextFileKeysTest, NumbersPastTheRangeOpenAsTheirText) {
    const std::string path = TempPath("huge.csv");
    WriteAll(path, "1e309,-1e400,1e308,=A1&\"!\"");
    ASSERT_NE(OpenText(path), nullptr);
    EXPECT_EQ(CellText(0, 0), "1e309");
    EXPECT_EQ(CellText(1, 0), "-1e400");
    EXPECT_EQ(Shown(2, 0), "1E+308");
    EXPECT_EQ(Shown(3, 0), "1e309!");
}

// The section sign typed as the separator of a UTF-8 file, by keys: the open reads its
// fields, and a save writes the sign in UTF-8 again.
TEST_F(TextFileKeysTest, ASeparatorPastAsciiWorksInUtf8) {
    const std::string path = TempPath("section.csv");
    WriteAll(path, "caf\xC3\xA9\xC2\xA7"
                   "b\xC2\xA7"
                   "12");
    const auto section = [](Dialog& d) {
        d.Form().id215->setFocus();
        Press(d, Qt::Key_End); // "other"
        TypeInto(d.Form().id205, QString::fromUtf8("\u00A7"));
        d.Form().id1021->setFocus();
        Press(d, Qt::Key_Home); // UTF-8
        Press(d, Qt::Key_Return);
    };
    CWorkbookWnd* opened = nullptr;
    wndtest::WithModalDialogDuring<Dialog>(
        ui, [&] { opened = OpenWindow(path); }, section);
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(CellText(0, 0), "caf\xE9");
    EXPECT_EQ(CellText(1, 0), "b");
    EXPECT_EQ(Shown(2, 0), "12");
    const std::string copy = TempPath("copy.csv");
    SaveAsText(copy, [](Dialog& d) { Press(d, Qt::Key_Return); });
    EXPECT_EQ(ReadAll(copy), "caf\xC3\xA9\xC2\xA7"
                             "b\xC2\xA7"
                             "12");
}

// A line of 2,050 fields and a field of 9,000 characters: the open says that three fields
// were left out and one cut, and the next Ctrl+S asks before writing over them.
TEST_F(TextFileKeysTest, FieldsPastTheLimitsAreSaidAndGuardTheFile) {
    std::string line;
    for (int i = 0; i < 2050; ++i) line += "f,";
    line.pop_back();
    const std::string bytes = line + "\r\n" + std::string(9000, 'x');
    const std::string path = TempPath("wide.csv");
    WriteAll(path, bytes);
    ASSERT_NE(OpenText(path), nullptr);
    EXPECT_EQ(BoxesSaying(QStringLiteral("4 fields of the file do not fit the worksheet")), 1);
    EXPECT_EQ(CellText(2046, 0), "f");
    Enter(0, 2, QStringLiteral("edit"));
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(BoxesSaying(QStringLiteral("The file holds 4 fields or texts")), 1);
    EXPECT_EQ(ReadAll(path), bytes);
    EXPECT_TRUE(Active()->IsModified());
    // No agrees: written, and a later save has nothing more to lose.
    ui.answers = {IDNO};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(BoxesSaying(QStringLiteral("The file holds 4 fields or texts")), 2);
    EXPECT_NE(ReadAll(path), bytes);
    EXPECT_FALSE(Active()->IsModified());
    Enter(1, 2, QStringLiteral("more"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(BoxesSaying(QStringLiteral("The file holds")), 2);
    EXPECT_FALSE(Active()->IsModified());
}

// Save As aimed at the file the open cut, in any type and by any name of that file (another
// spelling, a symbolic or a hard link), asks as Ctrl+S does; Cancel writes nothing.
TEST_F(TextFileKeysTest, ASaveAsOverTheCutFileAsksWhateverNamesIt) {
    std::string line;
    for (int i = 0; i < 2050; ++i) line += "f,";
    line.pop_back();
    const std::string path = TempPath("cut.csv");
    WriteAll(path, line);
    const std::string symbolic = TempPath("cut-symbolic.csv"), hard = TempPath("cut-hard.csv");
    std::filesystem::create_symlink(path, symbolic);
    std::filesystem::create_hard_link(path, hard);
    std::filesystem::create_directory(TempPath("sub"));
    ASSERT_NE(OpenText(path), nullptr);
    Enter(0, 1, QStringLiteral("edit"));
    const QString asked = QStringLiteral("The file holds 3 fields or texts");
    int boxes = 0;
    for (const std::string& target : {path, TempPath("sub/../cut.csv"), symbolic, hard}) {
        for (const int type : {1, 2, 3, 4}) {
            SCOPED_TRACE(target + " " + std::to_string(type));
            ui.answers = {IDCANCEL};
            if (type == 2) {
                SaveAsText(target, [](Dialog& d) { Press(d, Qt::Key_Return); });
            } else {
                ui.savePath = QString::fromStdString(target);
                ui.saveIndex = type;
                Command(ID_FILE_SAVE_AS);
                ui.saveIndex = 1;
            }
            EXPECT_EQ(BoxesSaying(asked), ++boxes);
            EXPECT_EQ(ReadAll(path), line);
            EXPECT_TRUE(Active()->IsModified());
        }
    }
    // Another file asks nothing.
    ui.savePath = QString::fromStdString(TempPath("other.vln"));
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(BoxesSaying(asked), boxes);
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_EQ(ReadAll(path), line);
}

// What follows a closing quote stays in the field, and a quote never closed quotes nothing.
TEST_F(TextFileKeysTest, TextAfterAClosingQuoteIsKept) {
    const std::string path = TempPath("quoted.csv");
    WriteAll(path, "\"Smith, John\" ,42\r\n\"ab\"cd,x\r\n\"open,1");
    ASSERT_NE(OpenText(path), nullptr);
    EXPECT_EQ(CellText(0, 0), "Smith, John ");
    EXPECT_EQ(CellText(1, 0), "42");
    EXPECT_EQ(CellText(0, 1), "\"ab\"cd");
    EXPECT_EQ(CellText(1, 1), "x");
    EXPECT_EQ(CellText(0, 2), "\"open");
    EXPECT_EQ(CellText(1, 2), "1");
}

// The separator typed as "other" equal to the quoting symbol is refused with a message and
// the dialog stays open; Escape then writes nothing.
TEST_F(TextFileKeysTest, ASeparatorEqualToTheQuoteIsRefused) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("a"));
    Enter(1, 0, QStringLiteral("b"));
    const std::string path = TempPath("same.csv");
    TextFileSettings kept = Book().textFile;
    SaveAsText(path, [&](Dialog& d) {
        d.Form().id215->setFocus();
        Press(d, Qt::Key_End); // "other"
        TypeInto(d.Form().id205, QStringLiteral("\""));
        Press(d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(BoxesSaying(QStringLiteral("must differ")), 1);
        Press(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(Book().textFile.separator, kept.separator);
    EXPECT_EQ(Active()->IsModified(), true);
}

// The euro typed as the separator of an OEM file, which has no byte for it: refused with a
// message saying so, the dialog stays open; Escape then writes nothing.
TEST_F(TextFileKeysTest, ASeparatorTheOemCodePageLacksIsRefused) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("a"));
    Enter(1, 0, QStringLiteral("b"));
    const std::string path = TempPath("euro.csv");
    SaveAsText(path, [&](Dialog& d) {
        d.Form().id215->setFocus();
        Press(d, Qt::Key_End); // "other"
        // A character past Latin-1 goes as the text of its key event.
        TypeInto(d.Form().id205, QString());
        QTest::sendKeyEvent(QTest::Click, d.Form().id205, Qt::Key_unknown,
                            QString::fromUtf8("\u20AC"), Qt::NoModifier);
        d.Form().id1021->setFocus();
        Press(d, Qt::Key_End); // ISO/OEM
        Press(d, Qt::Key_Return);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(BoxesSaying(QStringLiteral("The OEM code page has no character")), 1);
        Press(d, Qt::Key_Escape);
    });
    EXPECT_FALSE(std::filesystem::exists(path));
}

// ISO/OEM chosen by keys: the euro and the OE ligature have no place in the OEM code page,
// and the save says so before writing them as '?'.
TEST_F(TextFileKeysTest, TheOemGapsAreNamedBeforeSaving) {
    ASSERT_NE(NewWindow(), nullptr);
    EnterAny(0, 0, QString::fromUtf8("Price \u20AC"));
    EnterAny(1, 0, QString::fromUtf8("\u0152uvre"));
    EnterAny(2, 0, QString::fromUtf8("Gr\u00FC\u00DFe?"));
    const std::string path = TempPath("oem.csv");
    const auto oem = [](Dialog& d) {
        d.Form().id1021->setFocus();
        Press(d, Qt::Key_End); // ISO/OEM
        Press(d, Qt::Key_Return);
    };
    CancelThenAgree(path, oem, QStringLiteral("2 texts with characters the OEM code page lacks"));
    EXPECT_EQ(Book().textFile.encoding, 3);
    EXPECT_EQ(ReadAll(path), "Price ?,?uvre,Gr\x81\xE1"
                             "e?");
}

// A FoxPro table in the OEM code page chosen in its field dialog: the euro would be '?', and
// the save says so before writing, after the dialog that chose the code page. Cancel writes
// nothing; No writes; the ANSI code page asks nothing.
TEST_F(TextFileKeysTest, TheOemGapsOfATableAreNamedBeforeSaving) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("NAME"));
    EnterAny(0, 1, QString::fromUtf8("euro \u20AC5"));
    const std::string path = TempPath("oem.dbf");
    const QString words = QStringLiteral("1 text with characters the OEM code page lacks");
    uint8_t encoding = 3;
    ui.xbaseAnswer = [&](XBaseSaveOptions& o, bool) {
        o.encoding = encoding;
        return IDOK;
    };
    ui.savePath = QString::fromStdString(path);
    ui.saveIndex = 6; // FoxPro 2.x
    ui.answers = {IDCANCEL};
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(BoxesSaying(words), 1);
    EXPECT_FALSE(std::filesystem::exists(path));
    ui.answers = {IDNO};
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(BoxesSaying(words), 2);
    EXPECT_NE(ReadAll(path).find("euro ?5"), std::string::npos);
    encoding = 2;
    const std::string ansi = TempPath("ansi.dbf");
    ui.savePath = QString::fromStdString(ansi);
    Command(ID_FILE_SAVE_AS);
    ui.saveIndex = 1;
    EXPECT_EQ(BoxesSaying(words), 2);
    EXPECT_NE(ReadAll(ansi).find("euro \x80"
                                 "5"),
              std::string::npos);
}

// A workbook saved as "x.csv" with the workbook type stays a workbook: reopened by its name
// it is read as what its bytes are, and Ctrl+S writes the workbook again.
TEST_F(TextFileKeysTest, AWorkbookUnderATextNameOpensAsAWorkbook) {
    for (const char* name : {"book.csv", "book.xml", "book.dbf"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(NewWindow(), nullptr);
        Enter(0, 0, QStringLiteral("kept"));
        Enter(1, 0, QStringLiteral("=1+2"));
        Command(ID_NEW_WORKSHEET);
        const std::string path = TempPath(name);
        ui.savePath = QString::fromStdString(path);
        ui.saveIndex = 1;
        Command(ID_FILE_SAVE_AS);
        const std::string saved = ReadAll(path);
        ASSERT_FALSE(saved.empty());
        CloseActive();
        ui.textDialogs.clear();
        ui.xbaseDialogs.clear();
        ASSERT_NE(OpenWindow(path), nullptr);
        EXPECT_TRUE(ui.textDialogs.empty());
        EXPECT_TRUE(ui.xbaseDialogs.empty());
        EXPECT_EQ(Book().fileFamily, kFileNative);
        EXPECT_EQ(Book().tree.worksheetCount, 2u);
        Enter(2, 0, QStringLiteral("more"));
        Key(Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(Active()->IsModified());
        CloseActive();
        ASSERT_NE(OpenWindow(path), nullptr);
        EXPECT_EQ(Book().tree.worksheetCount, 2u);
        EXPECT_EQ(Book().fileFamily, kFileNative);
        CloseActive();
    }
}

} // namespace

// An opened text file reads a two-digit year as typing does: 00-29 this century, 30-99 the
// last; a four-digit year is the year as written.
TEST_F(TextFileKeysTest, AnOpenedFileReadsTwoDigitYearsAsTypingDoes) {
    const std::string path = TempPath("years.csv");
    WriteAll(path, "12/31/99,1/1/30,12/31/29,1/1/00,1/1/2099\r\n");
    ASSERT_NE(OpenText(path), nullptr);
    const char* expected[] = {"1999-12-31", "1930-01-01", "2029-12-31", "2000-01-01", "2099-01-01"};
    for (uint16_t column = 0; column < std::size(expected); ++column) {
        const uint8_t* r = FindCell(Book().tree.active->cells, 0, column);
        ASSERT_TRUE(r && cell::IsText(r)) << column;
        EXPECT_EQ(cell::Text(r), expected[column]) << column;
    }
}

} // namespace vl
