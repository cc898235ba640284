// The option dialogs on the open and save roads of text files and tables: what they are shown,
// what their answers change, and that Cancel reads or writes nothing.
#include "exchange/xbase.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/documentopen.h"

#include <QMdiArea>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vl {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class OptionDialogsTest : public wndtest::WindowTest {
protected:
    void CloseActive() {
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
};

TEST_F(OptionDialogsTest, OpeningATextFileAsksItsOptions) {
    const std::string csv = TempPath("semi.csv");
    { std::ofstream(csv, std::ios::binary) << "a;b\r\n1;2"; }
    ui.textAnswer = [](TextFileSettings& s, bool) {
        s.separator = ';';
        return IDCANCEL;
    };
    EXPECT_EQ(OpenWindow(csv), nullptr);
    EXPECT_EQ(ui.textDialogs, std::vector<bool>{false});
    EXPECT_TRUE(ui.boxes.empty()); // Cancel is no failure
    EXPECT_EQ(OpenDocumentCount(), 0);
    ui.textAnswer = [](TextFileSettings& s, bool) {
        s.separator = ';';
        return IDOK;
    };
    ASSERT_NE(OpenWindow(csv), nullptr);
    EXPECT_EQ(CellText(1, 0), "b");
    EXPECT_EQ(CellText(1, 1), "2");
    EXPECT_EQ(Book().textFile.separator, ';');
    // Save and Reload take the stored settings without asking.
    Enter(2, 0, QStringLiteral("c"));
    Active()->HandleCommand(ID_FILE_SAVE);
    EXPECT_EQ(ui.textDialogs.size(), 2u);
    EXPECT_EQ(ReadAll(csv), "a;b;c\r\n1;2");
    // Save As asks, in save mode; Cancel writes nothing.
    const std::string copy = TempPath("copy.txt");
    ui.savePath = QString::fromStdString(copy);
    ui.saveIndex = 2;
    ui.textAnswer = [](TextFileSettings&, bool) { return IDCANCEL; };
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(ui.textDialogs.back(), true);
    EXPECT_FALSE(std::filesystem::exists(copy));
    ui.textAnswer = [](TextFileSettings& s, bool) {
        s.separator = '|';
        return IDOK;
    };
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(ReadAll(copy), "a|b|c\r\n1|2");
    ui.saveIndex = 1;
}

TEST_F(OptionDialogsTest, TablesShowTheirFieldsBeforeReadingAndWriting) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("name"));
    Enter(1, 0, QStringLiteral("size"));
    Enter(0, 1, QStringLiteral("x"));
    Enter(1, 1, QStringLiteral("12"));
    const std::string dbf = TempPath("t.dbf");
    ui.savePath = QString::fromStdString(dbf);
    ui.saveIndex = 6; // FoxPro 2.x
    uint32_t fieldsShown = 0;
    ui.xbaseAnswer = [&](XBaseSaveOptions& o, bool) {
        fieldsShown = FieldCount(o);
        return IDCANCEL;
    };
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(ui.xbaseDialogs.size(), 1u);
    EXPECT_EQ(ui.xbaseDialogs[0], std::make_pair(QString::fromStdString(dbf), true));
    EXPECT_EQ(fieldsShown, 2u);
    EXPECT_FALSE(std::filesystem::exists(dbf));
    EXPECT_EQ(Book().fileFamily, kFileNative);
    // The list as the dialog left it is what gets written.
    ui.xbaseAnswer = [](XBaseSaveOptions& o, bool) {
        std::memcpy(o.fieldDescriptors, "LABEL\0\0\0\0\0", 10);
        o.encoding = 3;
        return IDOK;
    };
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(Book().fileFamily, kFileFoxPro);
    const std::string table = ReadAll(dbf);
    ASSERT_GT(table.size(), 64u);
    EXPECT_EQ(table.substr(32, 6), std::string("LABEL\0", 6));
    CloseActive();
    ui.saveIndex = 1;
    // Opening shows the header read from the file, in open mode.
    ui.xbaseAnswer = [&](XBaseSaveOptions& o, bool) {
        fieldsShown = FieldCount(o);
        return IDOK;
    };
    ASSERT_NE(OpenWindow(dbf), nullptr);
    ASSERT_EQ(ui.xbaseDialogs.size(), 3u);
    EXPECT_EQ(ui.xbaseDialogs[2].second, false);
    EXPECT_EQ(fieldsShown, 2u);
    EXPECT_EQ(CellText(0, 0), "LABEL");
    EXPECT_EQ(CellText(1, 1), "12");
    CloseActive();
    ui.xbaseAnswer = [](XBaseSaveOptions&, bool) { return IDCANCEL; };
    EXPECT_EQ(OpenWindow(dbf), nullptr);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(OpenDocumentCount(), 0);
}

} // namespace

} // namespace vl
