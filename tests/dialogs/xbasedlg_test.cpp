#include "dialogs/numberedit.h"
#include "dialogs/xbasedlg.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "platform/core/alloc.h"
#include "platform/core/bytes.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/modaltest.h"
#include "ui/uiutil.h"
#include "ui_xbasedlg.h"
#include "ui_xbasefielddlg.h"
#include "tests/common/waits.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <cstring>

using namespace vl;
using namespace vl::dialogtest;

namespace {

struct Fields {
    const char* name;
    char type;
    uint8_t length, decimals;
};

// Options with a header dated 7 August (stored year 107), 42 records, and `fields`.
struct Table {
    XBaseSaveOptions options;
    Table(uint8_t format, std::initializer_list<Fields> fields) {
        options.format = format;
        options.encoding = 2;
        const uint32_t count = uint32_t(fields.size());
        EXPECT_TRUE(AllocateDescriptors(options, count));
        uint32_t i = 0, record = 1;
        for (const Fields& f : fields) {
            uint8_t* d = options.fieldDescriptors + i++ * 32;
            std::memcpy(d, f.name, std::strlen(f.name));
            d[kFieldTypeByte] = uint8_t(f.type);
            d[kFieldLengthByte] = f.length;
            d[kFieldDecimalsByte] = f.decimals;
            record += FieldLength(d, format);
        }
        options.header[0] = 3;
        options.header[1] = 107;
        options.header[2] = 8;
        options.header[3] = 7;
        StoreU32(options.header + 4, 42);
        StoreU16(options.header + 8, uint16_t(count * 32 + 33));
        StoreU16(options.header + 10, uint16_t(record));
    }
    ~Table() { ReleaseXBaseSaveOptions(options); }
    std::vector<uint8_t> Bytes() const {
        std::vector<uint8_t> b(options.header, options.header + 32);
        b.insert(b.end(), options.fieldDescriptors,
                 options.fieldDescriptors + FieldCount(options) * 32);
        return b;
    }
};

QStringList Row(QTreeWidget* list, int i) {
    QTreeWidgetItem* item = list->topLevelItem(i);
    return {item->text(0), item->text(1), item->text(2)};
}

} // namespace

TEST(XBaseDialog, TitlesButtonsAndSummary) {
    FakeUi ui;
    const struct {
        uint8_t format;
        CXBaseDlg::Mode mode;
        const char* title;
    } cases[] = {
        {kXBaseDBase3, CXBaseDlg::kOpen, "Open dBase III+ File"},
        {kXBaseDBase4, CXBaseDlg::kSave, "Save dBase IV File"},
        {kXBaseFoxPro, CXBaseDlg::kSave, "Save FoxPro 2.x File"},
        {kXBaseClipper, CXBaseDlg::kOpen, "Open Clipper File"},
        {9, CXBaseDlg::kOpen, "Open  File"},
    };
    for (const auto& c : cases) {
        Table t(c.format, {{"NAME", 'C', 20, 0}});
        CXBaseDlg dialog(nullptr, t.options, "/data/PEOPLE.DBF", c.mode);
        Ui::XBaseDialog& f = dialog.Form();
        EXPECT_EQ(dialog.windowTitle(), c.title);
        EXPECT_EQ(f.id408->isHidden(), c.mode == CXBaseDlg::kOpen);
        EXPECT_EQ(f.id408->text(), "&Edit...");
        EXPECT_EQ(f.id394->text(), "people.dbf,  42 record(s),  last saved: 8/7/2007");
        EXPECT_EQ(f.label400->text(), "Character set:");
        EXPECT_EQ(f.id400->text(), "&ANSI");
        EXPECT_EQ(f.id189->text(), "&OEM");
        EXPECT_TRUE(f.id400->isChecked());
        QTreeWidget* list = f.id1020;
        EXPECT_EQ(list->columnCount(), 3);
        EXPECT_EQ(list->headerItem()->text(0), "Field Name");
        EXPECT_EQ(list->headerItem()->text(1), "Field Type");
        EXPECT_EQ(list->headerItem()->text(2), "Length (Decimals)");
    }
}

TEST(XBaseDialog, FieldRowsAndTheCharacterSet) {
    FakeUi ui;
    Table t(kXBaseClipper, {{"NAME", 'C', 44, 1},
                            {"PRICE", 'N', 12, 2},
                            {"BORN", 'D', 8, 0},
                            {"OK", 'L', 1, 0},
                            {"NOTE", 'M', 10, 0},
                            {"ODD", 'Q', 7, 0}});
    t.options.encoding = 3;
    CXBaseDlg dialog(nullptr, t.options, "/x/t.dbf", CXBaseDlg::kOpen);
    QTreeWidget* list = dialog.Form().id1020;
    ASSERT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(Row(list, 0), QStringList({"1.  NAME", "Text", "300"}));
    EXPECT_EQ(Row(list, 1), QStringList({"2.  PRICE", "Numeric", "12 (2)"}));
    EXPECT_EQ(Row(list, 2), QStringList({"3.  BORN", "Date", "8"}));
    EXPECT_EQ(Row(list, 3), QStringList({"4.  OK", "Logical", "1"}));
    EXPECT_EQ(Row(list, 4), QStringList({"5.  NOTE", "Memo", "10"}));
    EXPECT_EQ(Row(list, 5), QStringList({"6.  ODD", "Unknown", "7"}));
    const QFontMetrics metrics(list->font());
    EXPECT_EQ(list->topLevelItem(0)->sizeHint(0).height(),
              metrics.height() + metrics.leading() + 3);
    EXPECT_TRUE(dialog.Form().id189->isChecked());
    dialog.Form().id400->setChecked(true);
    dialog.Form().id1->click();
    EXPECT_EQ(t.options.encoding, 2);
}

namespace {

// Counts the dialogs run and cancels each at once, so that a dialog that should not open is
// seen without waiting for it.
class CountingUi : public FakeUi {
public:
    int RunDialog(QDialog&) override {
        ++dialogsRun;
        return QDialog::Rejected;
    }
    int dialogsRun = 0;
};

} // namespace

// A table being read keeps its descriptors: a double click on a field, or the edit command,
// opens no field dialog, where the same in save mode opens one each.
TEST(XBaseDialog, OpenModeEditsNothing) {
    for (const CXBaseDlg::Mode mode : {CXBaseDlg::kOpen, CXBaseDlg::kSave}) {
        CountingUi ui;
        Table t(kXBaseDBase3, {{"NAME", 'C', 20, 0}});
        const auto before = t.Bytes();
        CXBaseDlg dialog(nullptr, t.options, "/x/t.dbf", mode);
        QTreeWidget* list = dialog.Form().id1020;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, testwait::kWindowWaitMs));
        list->setCurrentItem(list->topLevelItem(0));
        const QPoint row =
            list->viewport()->mapTo(&dialog, list->visualItemRect(list->topLevelItem(0)).center());
        QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, Qt::NoModifier, row);
        dialog.EditSelectedField();
        EXPECT_EQ(ui.dialogsRun, mode == CXBaseDlg::kOpen ? 0 : 2) << mode;
        dialog.Form().id1->click();
        EXPECT_EQ(t.Bytes(), before);
    }
}

TEST(XBaseDialog, SaveModeEditsACopyThatOkWritesBack) {
    FakeUi ui;
    for (const bool ok : {false, true}) {
        Table t(kXBaseDBase4, {{"NAME", 'C', 20, 0}, {"PRICE", 'N', 12, 2}});
        const auto before = t.Bytes();
        CXBaseDlg dialog(nullptr, t.options, "/x/t.dbf", CXBaseDlg::kSave);
        QTreeWidget* list = dialog.Form().id1020;
        list->setCurrentItem(list->topLevelItem(1));
        WhenModal([](QWidget* w) {
            Child<QLineEdit>(w, "id205")->setText("COST");
            Child<QLineEdit>(w, "id257")->setText("30");
            Child<QLineEdit>(w, "id405")->setText("4");
            Child<QPushButton>(w, "id1")->click();
        });
        dialog.Form().id408->click();
        EXPECT_EQ(Row(list, 1), QStringList({"2.  COST", "Numeric", "20 (4)"}));
        EXPECT_EQ(t.Bytes(), before); // nothing written yet
        (ok ? dialog.Form().id1 : dialog.Form().id2)->click();
        if (!ok) {
            EXPECT_EQ(t.Bytes(), before);
            continue;
        }
        const uint8_t* d = Descriptor(t.options, 1);
        EXPECT_EQ(FieldName(d), "COST");
        EXPECT_EQ(d[kFieldLengthByte], 20);
        EXPECT_EQ(d[kFieldDecimalsByte], 4);
        EXPECT_EQ(RecordLength(t.options), 1 + 20 + 20);
    }
}

TEST(XBaseDialog, CharacterLengthsByFormat) {
    FakeUi ui;
    const struct {
        uint8_t format;
        uint8_t lengthByte, decimals;
        uint16_t record;
    } cases[] = {{kXBaseDBase4, 254, 0, 1 + 254 + 5}, {kXBaseClipper, 44, 1, 1 + 300 + 5}};
    for (const auto& c : cases) {
        Table t(c.format, {{"NAME", 'C', 20, 0}, {"N", 'N', 5, 0}});
        CXBaseDlg dialog(nullptr, t.options, "/x/t.dbf", CXBaseDlg::kSave);
        EXPECT_TRUE(dialog.ApplyEdit(0, {"NAME", 'C', 300, 0}));
        dialog.Form().id1->click();
        const uint8_t* d = Descriptor(t.options, 0);
        EXPECT_EQ(d[kFieldLengthByte], c.lengthByte);
        EXPECT_EQ(d[kFieldDecimalsByte], c.decimals);
        EXPECT_EQ(RecordLength(t.options), c.record);
    }
}

// An edit that makes the record longer than 65,535 bytes shows error 61 and is not taken.
TEST(XBaseDialog, ARecordTooLongIsRefused) {
    FakeUi ui;
    Table t(kXBaseClipper, {{"A", 'C', 0xFF, 127}, {"B", 'C', 0xFE, 127}, {"C", 'C', 1, 0}});
    CXBaseDlg dialog(nullptr, t.options, "/x/t.dbf", CXBaseDlg::kSave);
    const std::vector<uint8_t> copy(dialog.Descriptors(), dialog.Descriptors() + 96);
    EXPECT_FALSE(dialog.ApplyEdit(2, {"C", 'C', 2, 0}));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].startsWith("Too many database fields"));
    EXPECT_EQ(std::vector<uint8_t>(dialog.Descriptors(), dialog.Descriptors() + 96), copy);
    EXPECT_EQ(dialog.Form().id1020->topLevelItem(2)->text(2), "1");
}

TEST(XBaseFieldDialog, BuiltAsTheTemplate) {
    FakeUi ui;
    CXBaseFieldDlg dialog(nullptr, {"NAME", 'C', 20, 0});
    Ui::XBaseFieldDialog& f = dialog.Form();
    EXPECT_EQ(dialog.windowTitle(), "xBase Field Definition");
    EXPECT_EQ(f.group->title(), "Field definition");
    EXPECT_EQ(f.label205->text(), "Field &name:");
    EXPECT_EQ(f.label215->text(), "Field &type:");
    EXPECT_EQ(f.label257->text(), "&Length:");
    EXPECT_EQ(f.label405->text(), "&Decimals:");
    QStringList types;
    for (int i = 0; i < f.id215->count(); ++i) types << f.id215->itemText(i);
    EXPECT_EQ(types, QStringList({"Character", "Numeric", "Float", "Logical", "Date", "Memo"}));
    EXPECT_EQ(f.id257->NumberKind(), CNumberEdit::kInteger);
    EXPECT_NE(dialog.findChild<CUpDown*>("id369"), nullptr);
    EXPECT_NE(dialog.findChild<CUpDown*>("id370"), nullptr);
}

TEST(XBaseFieldDialog, TypesSetLengthsAndEdits) {
    FakeUi ui;
    const struct {
        char start;
        int chosen;
        const char* length;
        const char* decimals;
        bool lengthOn, decimalsOn;
    } cases[] = {
        {'C', 3, "1", "0", false, false},  {'N', 4, "8", "0", false, false},
        {'C', 5, "10", "0", false, false}, {'L', 1, "1", "0", true, true},
        {'N', 0, "12", "3", true, false},  {'C', 2, "12", "3", true, false},
    };
    for (const auto& c : cases) {
        CXBaseFieldDlg dialog(nullptr, {"F", c.start, 12, 3});
        Ui::XBaseFieldDialog& f = dialog.Form();
        f.id215->setCurrentIndex(c.chosen);
        dialog.ChangeType(c.chosen);
        EXPECT_EQ(f.id257->text(), c.length) << c.start << c.chosen;
        EXPECT_EQ(f.id405->text(), c.decimals) << c.start << c.chosen;
        EXPECT_EQ(f.id257->isEnabled(), c.lengthOn);
        EXPECT_EQ(f.id405->isEnabled(), c.decimalsOn);
    }
    // A type not in the list selects nothing and keeps its letter.
    CXBaseFieldDlg other(nullptr, {"F", 'B', 10, 0});
    EXPECT_EQ(other.Form().id215->currentIndex(), -1);
    other.Form().id1->click();
    EXPECT_EQ(other.Field().type, 'B');
}

TEST(XBaseFieldDialog, OkChecksEachValue) {
    const struct {
        const char* name;
        const char* length;
        const char* decimals;
        bool ok;
        const char* focus;
    } cases[] = {
        {"ABCDEFGHIJ", "1", "0", true, ""},  {"AB\u4e2d", "1", "0", false, "id205"},
        {"A", "0", "0", false, "id257"},     {"A", "32767", "18", true, ""},
        {"A", "32768", "0", false, "id257"}, {"A", "", "0", false, "id257"},
        {"A", "5", "19", false, "id405"},    {"A", "5", "-1", false, "id405"},
    };
    for (const auto& c : cases) {
        FakeUi ui;
        CXBaseFieldDlg dialog(nullptr, {"F", 'N', 5, 0});
        dialog.show();
        Ui::XBaseFieldDialog& f = dialog.Form();
        f.id205->setText(c.name);
        f.id257->setText(c.length);
        f.id405->setText(c.decimals);
        f.id1->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.ok) << c.name << " " << c.length;
        EXPECT_EQ(ui.beeps, c.ok ? 0 : 1);
        if (c.ok) {
            EXPECT_EQ(dialog.Field().name, c.name);
        } else {
            ASSERT_NE(dialog.focusWidget(), nullptr);
            EXPECT_EQ(dialog.focusWidget()->objectName(), c.focus);
        }
    }
}

// The name edit takes ten characters from the keyboard: the eleventh is not typed, and the
// ten are accepted.
TEST(XBaseFieldDialog, TheNameEditTakesTenTypedCharacters) {
    const std::pair<const char*, const char*> typed[] = {
        {"ABCDEFGHI", "ABCDEFGHI"},
        {"ABCDEFGHIJ", "ABCDEFGHIJ"},
        {"ABCDEFGHIJK", "ABCDEFGHIJ"},
        {"ABCDEFGHIJKLM", "ABCDEFGHIJ"},
    };
    for (const auto& [keys, name] : typed) {
        FakeUi ui;
        CXBaseFieldDlg dialog(nullptr, {"F", 'C', 5, 0});
        dialog.show();
        QLineEdit* edit = dialog.Form().id205;
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(keys));
        EXPECT_EQ(edit->text(), name) << keys;
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << keys;
        EXPECT_EQ(dialog.Field().name, name);
        EXPECT_EQ(ui.beeps, 0);
    }
}
