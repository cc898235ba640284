// Excel 2003 XML through the window: opened by its extension and through its filter, rows
// fitted to what they hold, saved in the same form, reloaded, and refused with its line.

#include "formula/celltext.h"
#include "model/formatstore.h"
#include "model/rangestyle.h"
#include "model/stylerecords.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QMdiArea>
#include <fstream>
#include <iterator>

namespace vl {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Two rows: one of plain text, one in an 18-point font that the fitting makes taller.
const char* const kDocument =
    "<?xml version=\"1.0\"?>\n<Workbook "
    "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n"
    "<Styles><Style ss:ID=\"s21\"><Font ss:Size=\"18\"/></Style></Styles>\n"
    "<Worksheet ss:Name=\"Imported\"><Table>\n"
    "<Row><Cell><Data ss:Type=\"String\">plain</Data></Cell></Row>\n"
    "<Row><Cell ss:StyleID=\"s21\"><Data ss:Type=\"Number\">42</Data></Cell></Row>\n"
    "</Table></Worksheet></Workbook>\n";

class ExcelXmlWindowTest : public wndtest::WindowTest {
protected:
    std::string Written(const std::string& name, const std::string& content) {
        const std::string path = TempPath(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    uint16_t RowEntry(uint32_t row) const {
        CPagedList& heights = AsWorksheet(Book().tree.active)->formats.rowHeights;
        return row < heights.ItemCount() ? *heights.GetItem2(row) : 0;
    }
    void CloseActive() {
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
    // The cell as the grid shows it, through its style's number format.
    std::string ShownText(uint16_t column, uint32_t row) const {
        const CWorksheet& sheet = *AsWorksheet(Book().tree.active);
        const uint8_t* r = FindCell(sheet.cells, row, column);
        if (!r) return {};
        const uint16_t style = CellStyleIndex(sheet.formats, row, column);
        std::string text;
        FormatCellValue(r, GetStyleRecord(Book().styles, style).numberFormat, text);
        return text;
    }
};

TEST_F(ExcelXmlWindowTest, OpensByExtensionAndFitsItsRows) {
    const std::string path = Written("sheet.xml", kDocument);
    ASSERT_NE(OpenWindow(path), nullptr);
    EXPECT_STREQ(Book().tree.active->name, "Imported");
    EXPECT_EQ(CellText(0, 0), "plain");
    EXPECT_EQ(CellText(0, 1), "42");
    EXPECT_EQ(Book().fileFamily, kFileExcelXml);
    // The big font's row is measured taller than the plain one; neither is a custom height.
    const uint16_t plain = RowEntry(0) >> 1, big = RowEntry(1) >> 1;
    EXPECT_GT(big, plain);
    EXPECT_EQ(RowEntry(1) & 1, 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ExcelXmlWindowTest, OpensThroughItsFilterWhateverTheExtension) {
    const std::string path = Written("sheet.data", kDocument);
    ui.openPath = QString::fromStdString(path);
    ui.openIndex = 3;
    frame->OnCommand(ID_FILE_OPEN);
    Settle();
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(CellText(0, 0), "plain");
}

TEST_F(ExcelXmlWindowTest, SaveWritesTheSameFormAndReloadReadsIt) {
    const std::string path = Written("saved.xml", kDocument);
    ASSERT_NE(OpenWindow(path), nullptr);
    Enter(1, 0, QStringLiteral("added"));
    Active()->HandleCommand(ID_FILE_SAVE);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(Active()->IsModified());
    const std::string saved = ReadAll(path);
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(saved.find("<Data ss:Type=\"String\">added</Data>"), std::string::npos);
    EXPECT_NE(saved.find("<Version>10.2625</Version>"), std::string::npos);
    EXPECT_NE(saved.find("Z</LastSaved>"), std::string::npos);
    Enter(1, 0, QStringLiteral("changed"));
    ui.answers = {IDYES};
    Active()->HandleCommand(ID_FILE_RELOAD);
    EXPECT_EQ(CellText(1, 0), "added");
    EXPECT_EQ(Book().fileFamily, kFileExcelXml);
}

// A control character the file cannot hold is content the form loses: Ctrl+S asks first,
// Cancel writes nothing, No writes the file without it (and asks no more for that loss); a
// second such cell is another loss and asks again.
TEST_F(ExcelXmlWindowTest, ControlCharactersAreALossTheUserIsAskedAbout) {
    const std::string path = Written("controls.xml", kDocument);
    ASSERT_NE(OpenWindow(path), nullptr);
    const std::string before = ReadAll(path);
    const auto questions = [this] {
        int n = 0;
        for (const auto& box : ui.boxes)
            n += box.text.contains(QStringLiteral("more than this file's form keeps")) ? 1 : 0;
        return n;
    };
    // Tab, line feed and carriage return are kept: nothing to ask.
    Enter(1, 0, QStringLiteral("=\"a\"&CHAR(9)"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(questions(), 0);
    EXPECT_FALSE(Active()->IsModified());
    const std::string tabbed = ReadAll(path);
    EXPECT_NE(tabbed, before);

    Enter(2, 0, QStringLiteral("=\"b\"&CHAR(1)"));
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(questions(), 1);
    EXPECT_TRUE(ui.boxes.back().text.contains(
        QStringLiteral("\n- 1 text with control characters (left out of it)")));
    EXPECT_EQ(ReadAll(path), tabbed);
    EXPECT_TRUE(Active()->IsModified());

    ui.answers = {IDNO};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(questions(), 2);
    EXPECT_FALSE(Active()->IsModified());
    const std::string saved = ReadAll(path);
    EXPECT_NE(saved.find("<Data ss:Type=\"String\">b</Data>"), std::string::npos);
    // Tab is written as a reference XML takes; byte 1 not at all.
    EXPECT_NE(saved.find("<Data ss:Type=\"String\">a&#09;</Data>"), std::string::npos);
    EXPECT_EQ(saved.find("&#01;"), std::string::npos);
    EXPECT_EQ(saved.find('\x01'), std::string::npos);
    Enter(3, 0, QStringLiteral("x"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(questions(), 2);
    EXPECT_NE(ReadAll(path).find(">x</Data>"), std::string::npos);

    Enter(4, 0, QStringLiteral("=CHAR(2)"));
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(questions(), 3);
    EXPECT_TRUE(Active()->IsModified());
}

TEST_F(ExcelXmlWindowTest, ABadFileShowsItsCodeAndLine) {
    const std::string path = Written(
        "bad.xml",
        "<?xml version=\"1.0\"?>\n<Workbook "
        "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">\n\n<Worksheet ss:Name=\"A\">"
        "<Table><Row ss:Index=\"0\"/></Table></Worksheet></Workbook>");
    EXPECT_EQ(OpenWindow(path), nullptr);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Invalid xml element data (c_data)\nLine: 4"));
}

// The names the form gives its built-in formats show a number and a date as those formats
// do, not as codes spelled by their letters.
TEST_F(ExcelXmlWindowTest, NamedFormatsShowAsTheFormatsTheyName) {
    const struct {
        const char* name;
        const char* number; // 1234.5678
        const char* date;   // 2006-01-31T13:10:05.000, a text shown as itself by no date format
    } cases[] = {
        {"General", "1234.5678", "2006-01-31T13:10:05.000"},
        {"General Number", "1234.5678", "2006-01-31T13:10:05.000"},
        {"General Date", "1234.5678", "1/31/2006 13:10"},
        {"Long Date", "1234.5678", "Tuesday, January 31, 2006"},
        {"Medium Date", "1234.5678", "31-Jan-06"},
        {"Long Time", "1234.5678", "1:10:05 PM"},
        {"Medium Time", "1234.5678", "1:10 PM"},
        {"Short Time", "1234.5678", "13:10"},
        {"Euro Currency",
         "\x80"
         " 1,234.57",
         "2006-01-31T13:10:05.000"},
        {"Fixed", "1234.57", "2006-01-31T13:10:05.000"},
        {"Standard", "1,234.57", "2006-01-31T13:10:05.000"},
        {"Percent", "123456.78%", "2006-01-31T13:10:05.000"},
        {"Scientific", "1.23E+03", "2006-01-31T13:10:05.000"},
        {"Yes/No", "Yes", "2006-01-31T13:10:05.000"},
        {"True/False", "True", "2006-01-31T13:10:05.000"},
        {"On/Off", "On", "2006-01-31T13:10:05.000"},
    };
    std::string styles, rows;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string id = "s" + std::to_string(21 + i);
        styles += "<Style ss:ID=\"" + id + "\"><NumberFormat ss:Format=\"" + cases[i].name +
                  "\"/></Style>";
        rows += "<Row><Cell ss:StyleID=\"" + id +
                "\"><Data ss:Type=\"Number\">1234.5678</Data></Cell><Cell ss:StyleID=\"" + id +
                "\"><Data ss:Type=\"DateTime\">2006-01-31T13:10:05.000</Data></Cell></Row>";
    }
    const std::string path =
        Written("named.xml", "<?xml version=\"1.0\"?>\n<Workbook "
                             "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                             "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Styles>" +
                                 styles + "</Styles><Worksheet ss:Name=\"N\"><Table>" + rows +
                                 "</Table></Worksheet></Workbook>");
    ASSERT_NE(OpenWindow(path), nullptr);
    for (uint32_t r = 0; r < std::size(cases); ++r) {
        EXPECT_EQ(ShownText(0, r), cases[r].number) << cases[r].name;
        EXPECT_EQ(ShownText(1, r), cases[r].date) << cases[r].name;
    }
}

// The "Default" style is what unstyled cells show: saved as a native XML workbook and opened
// again, they keep its number format, font, alignment and fill.
TEST_F(ExcelXmlWindowTest, TheDefaultStyleSurvivesTheNativeXmlForm) {
    const std::string path = Written(
        "default.xml",
        "<?xml version=\"1.0\"?>\n<Workbook "
        "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Styles>"
        "<Style ss:ID=\"Default\" ss:Name=\"Normal\"><Alignment ss:Horizontal=\"Right\"/>"
        "<Font ss:FontName=\"Courier New\" ss:Size=\"14\" ss:Bold=\"1\"/>"
        "<Interior ss:Color=\"#FFFF00\" ss:Pattern=\"Solid\"/>"
        "<NumberFormat ss:Format=\"0.000\"/></Style>"
        "<Style ss:ID=\"s21\"><NumberFormat ss:Format=\"0.0\"/></Style></Styles>"
        "<Worksheet ss:Name=\"D\"><Table><Row><Cell><Data ss:Type=\"Number\">1.5</Data></Cell>"
        "<Cell ss:StyleID=\"s21\"><Data ss:Type=\"Number\">2.25</Data></Cell></Row>"
        "</Table></Worksheet></Workbook>");
    ASSERT_NE(OpenWindow(path), nullptr);
    ASSERT_EQ(ShownText(0, 0), "1.500");
    const StyleRecord imported = Book().styles.styles[0];
    const FontRecord font = Book().styles.fonts[imported.fontRef.fontIndex];
    const std::string native = TempPath("default.vln");
    Active()->HandleCommand(ID_FORMAT_XML);
    ui.savePath = QString::fromStdString(native);
    ui.saveIndex = 1;
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(ui.boxes.empty());
    ASSERT_EQ(ReadAll(native).rfind("<?xml", 0), 0u);
    CloseActive();
    ASSERT_NE(OpenWindow(native), nullptr);
    EXPECT_EQ(ShownText(0, 0), "1.500");
    EXPECT_EQ(ShownText(1, 0), "2.3");
    const StyleRecord& back = Book().styles.styles[0];
    EXPECT_STREQ(back.numberFormat.code, imported.numberFormat.code);
    EXPECT_TRUE(FontRecordEquals(Book().styles.fonts[back.fontRef.fontIndex], font));
    EXPECT_EQ(back.horizontalAlignment, imported.horizontalAlignment);
    EXPECT_EQ(back.fill.pattern, imported.fill.pattern);
    EXPECT_EQ(back.fill.backgroundColor, imported.fill.backgroundColor);
}

// Cells past the form's last row are a loss the save names and asks about; agreed to, the
// file leaves them out, so that other programs still open it.
TEST_F(ExcelXmlWindowTest, CellsPastTheFormsLastRowAreALossTheUserIsAskedAbout) {
    const std::string path = Written("rows.xml", kDocument);
    ASSERT_NE(OpenWindow(path), nullptr);
    const std::string before = ReadAll(path);
    Enter(0, 1048575, QStringLiteral("last"));
    Enter(0, 1048576, QStringLiteral("past"));
    Enter(1, 2000000, QStringLiteral("far"));
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("\n- 2 cells past row 1,048,576")))
        << ui.boxes[0].text.toStdString();
    EXPECT_EQ(ReadAll(path), before);
    ui.answers = {IDNO};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Active()->IsModified());
    const std::string saved = ReadAll(path);
    EXPECT_NE(saved.find(">last</Data>"), std::string::npos);
    EXPECT_EQ(saved.find(">past</Data>"), std::string::npos);
    EXPECT_EQ(saved.find(">far</Data>"), std::string::npos);
    EXPECT_NE(saved.find("ss:ExpandedRowCount=\"1048576\""), std::string::npos);
}

// A document in UTF-16 (each byte of `latin1` taken as its code point), with its byte-order
// mark.
std::string Utf16Le(const std::string& latin1) {
    std::string out = "\xFF\xFE";
    for (const char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

// What other programs open is opened, by Ctrl+O as by name: a UTF-16 document whose cells and
// columns name styles it does not define and whose active worksheet is no whole number. The
// default style and the first worksheet stand in, and the message names what was set aside.
TEST_F(ExcelXmlWindowTest, WhatOtherProgramsOpenOpensAndNamesWhatWasSetAside) {
    const std::string body =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<Workbook "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n"
        "<ExcelWorkbook><ActiveSheet>1.5</ActiveSheet></ExcelWorkbook>\n"
        "<Styles><Style ss:ID=\"s21\" ss:Parent=\"Heading\"><NumberFormat "
        "ss:Format=\"0.00\"/></Style></Styles>\n"
        "<Worksheet ss:Name=\"First\"><Table><Column ss:StyleID=\"wide\"/>\n"
        "<Row><Cell ss:StyleID=\"ce9\"><Data ss:Type=\"String\">caf\xE9</Data></Cell>"
        "<Cell ss:StyleID=\"s21\"><Data ss:Type=\"Number\"> 5 </Data></Cell></Row>\n"
        "</Table></Worksheet><Worksheet ss:Name=\"Second\"/></Workbook>\n";
    const std::string path = Written("utf16.xml", Utf16Le(body));
    ASSERT_NE(OpenWindow(Written("first.xml", kDocument)), nullptr);
    CWorkbookWnd* first = Active();
    ui.openPath = QString::fromStdString(path);
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_NE(Active(), first);
    ASSERT_NE(Active(), nullptr);
    EXPECT_STREQ(Book().tree.active->name, "First");
    EXPECT_EQ(CellText(0, 0), "caf\xE9");
    EXPECT_EQ(ShownText(1, 0), "5.00");
    EXPECT_EQ(Book().fileFamily, kFileExcelXml);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorStylesUnknown)) +
                                    QStringLiteral(" 3\n") +
                                    QString::fromLatin1(GetErrorMessage(kErrorActiveSheetBad)) +
                                    QStringLiteral(" 1"));
    // Saved, the file is UTF-8 and holds what was read; nothing is asked about.
    ui.boxes.clear();
    Enter(2, 0, QStringLiteral("more"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_TRUE(ui.boxes.empty());
    const std::string saved = ReadAll(path);
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
    EXPECT_NE(saved.find(">caf\xC3\xA9</Data>"), std::string::npos);
}

} // namespace

} // namespace vl
