// Excel 2003 XML through the window: opened by its extension and through its filter, rows
// fitted to what they hold, saved in the same form, reloaded, and refused with its line.

#include "model/formatstore.h"
#include "model/workbook.h"
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

} // namespace

} // namespace vl
