#include "dialogs/textfiledlg.h"
#include "tests/dialogs/dialogtest.h"
#include "ui_textfiledlg.h"

#include <QPushButton>
#include <QTest>
#include <cstring>
#include <memory>

using namespace vl;
using namespace vl::dialogtest;

namespace {

std::unique_ptr<TextFileSettings> Settings() {
    auto s = std::make_unique<TextFileSettings>();
    InitTextFileSettings(*s);
    return s;
}

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

} // namespace

TEST(TextFileDialog, BuiltAsTheTemplates) {
    FakeUi ui;
    auto s = Settings();
    for (const bool save : {false, true}) {
        CTextFileDlg dialog(nullptr, *s, save);
        Ui::TextFileDialog& f = dialog.Form();
        EXPECT_EQ(dialog.windowTitle(), save ? "Save Text File" : "Open Text File");
        EXPECT_EQ(f.id400->text(), "&Cell separator:");
        EXPECT_EQ(f.id189->text(), "&Fixed field widths:");
        EXPECT_EQ(Items(f.id215),
                  QStringList({"comma", "tab", "point", "semicolon", "space", "other"}));
        EXPECT_EQ(Items(f.id229), QStringList({"\"", "'"}));
        EXPECT_EQ(Items(f.id1019), QStringList({"No conversion", "Numbers & formulas"}));
        EXPECT_EQ(Items(f.id1021), QStringList({"UTF-8", "ANSI 8-bit", "ISO/OEM"}));
        EXPECT_EQ(f.label257->text(), "Enter widths of the subsequent fields separated by "
                                      "commas. For example, 10,8,15");
        EXPECT_EQ(f.label1019->isHidden(), save);
        EXPECT_EQ(f.id1019->isHidden(), save);
        EXPECT_EQ(f.id9->text(), save ? "Help" : "&Help");
        EXPECT_EQ(f.id205->maxLength(), 1);
        EXPECT_EQ(f.id229->lineEdit()->maxLength(), 1);
        EXPECT_EQ(f.id257->maxLength(), 2047 * 6 - 1);
    }
}

TEST(TextFileDialog, OpensOnTheRecord) {
    FakeUi ui;
    const struct {
        uint8_t separator, fixed, quote, encoding, conversion;
        int item;
        const char* edit;
        bool editEnabled;
        int encodingItem;
    } cases[] = {
        {';', 0, '"', 3, 1, 3, ";", false, 2},
        {'|', 1, '\'', 1, 0, 5, "|", true, 0},
        {'\t', 0, '"', 2, 1, 1, "\t", false, 1},
        {0, 0, '"', 9, 1, 5, "", true, -1},
    };
    for (const auto& c : cases) {
        auto s = Settings();
        s->separator = c.separator;
        s->useFixedColWidths = c.fixed;
        s->quotingSymbol = c.quote;
        s->encoding = c.encoding;
        s->conversion = c.conversion;
        CTextFileDlg dialog(nullptr, *s, false);
        Ui::TextFileDialog& f = dialog.Form();
        EXPECT_EQ(f.id215->currentIndex(), c.item);
        EXPECT_EQ(f.id205->text(), c.edit);
        EXPECT_EQ(f.id205->isEnabled(), c.editEnabled);
        EXPECT_EQ(f.id400->isChecked(), !c.fixed);
        EXPECT_EQ(f.id189->isChecked(), bool(c.fixed));
        EXPECT_EQ(f.id229->currentText(), QString(QChar(c.quote)));
        EXPECT_EQ(f.id1021->currentIndex(), c.encodingItem);
        EXPECT_EQ(f.id1019->currentText(), c.conversion ? "Numbers & formulas" : "No conversion");
    }
}

TEST(TextFileDialog, WidthsAsEachDialogShowsThem) {
    const struct {
        std::vector<uint16_t> widths;
        const char* open;
        const char* save;
    } cases[] = {
        {{10, 8, 15}, "10,8,15", "10,8,15"},
        {{10, 0, 15}, "10", "10,0,15"},
        {{0, 7}, "", "0,7"},
        {{}, "", ""},
        {{65535, 1}, "65535,1", "65535,1"},
    };
    for (const auto& c : cases) {
        auto s = Settings();
        std::copy(c.widths.begin(), c.widths.end(), s->columnWidths);
        EXPECT_EQ(WidthsText(*s, false), c.open);
        EXPECT_EQ(WidthsText(*s, true), c.save);
    }
    // Every width of the record, never cut at 6,141 or 1,024 characters.
    auto s = Settings();
    std::fill(s->columnWidths, s->columnWidths + kMaxColumns, uint16_t(65535));
    for (const bool save : {false, true}) {
        const std::string text = WidthsText(*s, save);
        EXPECT_EQ(text.size(), std::size_t(2047 * 6 - 1));
        FakeUi ui;
        CTextFileDlg dialog(nullptr, *s, save);
        EXPECT_EQ(dialog.Form().id257->text().toStdString(), text);
        s->useFixedColWidths = 1;
        dialog.Form().id189->setChecked(true);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(s->columnWidths[2046], 65535);
    }
}

TEST(TextFileDialog, ReadsTheWidths) {
    const struct {
        const char* text;
        bool ok;
        std::vector<uint16_t> widths;
    } cases[] = {
        {"10; 8 15", true, {10, 8, 15}},
        {",,10,,", true, {10}},
        {"", true, {}},
        {"65535", true, {65535}},
        {"65536", false, {}},
        {"10,x", false, {}},
        {"10,-3", false, {}},
        {"1\t2", false, {}},
    };
    for (const auto& c : cases) {
        uint16_t widths[kMaxColumns];
        EXPECT_EQ(ParseWidths(c.text, widths), c.ok) << c.text;
        if (!c.ok) continue;
        std::vector<uint16_t> expected(kMaxColumns, 0);
        std::copy(c.widths.begin(), c.widths.end(), expected.begin());
        EXPECT_TRUE(std::equal(widths, widths + kMaxColumns, expected.begin())) << c.text;
    }
    // More than 2,047 widths: the record takes the first 2,047.
    std::string many;
    for (int i = 0; i < 2050; ++i) many += std::to_string(i + 1) + ",";
    uint16_t widths[kMaxColumns];
    EXPECT_TRUE(ParseWidths(many, widths));
    EXPECT_EQ(widths[2046], 2047);
}

TEST(TextFileDialog, OkStoresTheChoice) {
    FakeUi ui;
    auto s = Settings();
    s->separator = ',';
    s->conversion = 0;
    CTextFileDlg dialog(nullptr, *s, false);
    Ui::TextFileDialog& f = dialog.Form();
    f.id189->setChecked(true);
    f.id257->setText("10; 8 15");
    f.id229->setEditText("'");
    f.id1019->setCurrentIndex(1);
    f.id1021->setCurrentIndex(-1);
    f.id1->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(s->useFixedColWidths, 1);
    EXPECT_EQ(s->columnWidths[0], 10);
    EXPECT_EQ(s->columnWidths[1], 8);
    EXPECT_EQ(s->columnWidths[2], 15);
    EXPECT_EQ(s->columnWidths[3], 0);
    EXPECT_EQ(s->separator, ','); // not read with fixed widths
    EXPECT_EQ(s->quotingSymbol, '\'');
    EXPECT_EQ(s->conversion, 1);
    EXPECT_EQ(s->encoding, 2); // nothing selected
}

TEST(TextFileDialog, SeparatorChoices) {
    FakeUi ui;
    const struct {
        int item;
        const char* typed;
        uint8_t stored;
    } cases[] = {
        {5, "", 0}, {5, "|", '|'}, {1, nullptr, '\t'}, {4, nullptr, ' '}, {2, nullptr, '.'}};
    for (const auto& c : cases) {
        auto s = Settings();
        s->useFixedColWidths = 1;
        s->columnWidths[0] = 4;
        CTextFileDlg dialog(nullptr, *s, true);
        Ui::TextFileDialog& f = dialog.Form();
        f.id400->setChecked(true);
        f.id215->setCurrentIndex(c.item);
        Q_EMIT f.id215->activated(c.item);
        EXPECT_EQ(f.id205->isEnabled(), c.item == 5);
        if (c.typed) f.id205->setText(c.typed);
        f.id1->click();
        EXPECT_EQ(s->separator, c.stored);
        EXPECT_EQ(s->useFixedColWidths, 0);
        EXPECT_EQ(s->columnWidths[0], 4); // widths are not read for a separated file
    }
}

// A refused OK changes nothing, so Cancel afterwards leaves the record as it was.
TEST(TextFileDialog, RefusedWidthsLeaveTheRecordWhole) {
    for (const char* typed : {"10,x", "10,70000"}) {
        FakeUi ui;
        auto s = Settings();
        s->separator = ';';
        s->useFixedColWidths = 0;
        s->columnWidths[0] = 3;
        s->columnWidths[1] = 4;
        s->quotingSymbol = '"';
        s->encoding = 3;
        const auto before = std::make_unique<TextFileSettings>(*s);
        CTextFileDlg dialog(nullptr, *s, false);
        dialog.show();
        Ui::TextFileDialog& f = dialog.Form();
        f.id189->setChecked(true);
        f.id257->setText(typed);
        f.id229->setEditText("'");
        f.id1->click();
        EXPECT_EQ(ui.beeps, 1);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), f.id257);
        f.id2->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(std::memcmp(before.get(), s.get(), sizeof(TextFileSettings)), 0) << typed;
    }
}
