#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "dialogs/stylepage.h"
#include "dialogs/stylesubpages.h"
#include "platform/core/bytes.h"
#include "tests/common/waits.h"
#include "tests/dialogs/dialogtest.h"
#include "ui_stylename.h"
#include "ui_stylepage.h"
#include "values/formatdefaults.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <cstring>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

class StylePageTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = Profile().userNumericFormats; }
    void TearDown() override { Profile().userNumericFormats = saved_; }

    std::vector<StandardFormat> applied;
    ApplyNumberFormatFn Record() {
        return [this](const StandardFormat& f) {
            applied.push_back(f);
            return true;
        };
    }
    template <class T> static T* Child(CStylePage& page, const char* name) {
        T* child = page.SubPage()->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

private:
    std::vector<UserNumericFormat> saved_;
};

StandardFormat Family(uint8_t kind) {
    StandardFormat f;
    f.kind = kind;
    DefaultStandardParams(kind, f.params);
    return f;
}

class NamingUi : public FakeUi {
public:
    int RunDialog(QDialog& dialog) override {
        auto& d = dynamic_cast<CStyleNameDlg&>(dialog);
        proposed.push_back(d.Name());
        d.Form().id205->setText("Mine");
        return QDialog::Accepted;
    }
    std::vector<QString> proposed;
};

} // namespace

TEST_F(StylePageTest, ShowsItsControlsAndSubPages) {
    Profile().userNumericFormats = {{"Two places", "0.00"}};
    CStylePage page(nullptr, Family(STD_STYLE_GENERAL), nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.label1020->text(), "&Available styles:"}, {ui.label394->text(), "&Options:"},
        {ui.label205->text(), "&Pattern:"},           {ui.id408->text(), "Add &User Style..."},
        {ui.id410->text(), "&Delete User Style"},     {ui.id1020->item(0)->text(), "Default"},
        {ui.id1020->item(6)->text(), "Date/Time"},    {ui.id1020->item(9)->text(), "Scientific"},
        {ui.id1020->item(10)->text(), "Two places"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(ui.id205->maxLength(), 1024);
    EXPECT_FALSE(ui.id410->isEnabled());
    // Each family's sub-page: a control, its text or item count.
    struct Sub {
        uint8_t family;
        const char* name;
        QString text;
        int items;
    };
    const Sub subs[] = {
        {1, "id1007", "Negative numbers in &parentesis", -1},
        {1, "id215", "", 15},
        {2, "id229", "", 4},
        {2, "id1001", "Negative numbers in &red", -1},
        {4, "id216", "&Use system day-month-year order", -1},
        {4, "id1020", "", 11},
        {5, "id1020", "", 10},
        {6, "id218", "&Place time string before date string", -1},
        {8, "id189", "Denominator &value:", -1},
        {9, "id218", "Fixed &exponent value:", -1},
    };
    for (const Sub& sub : subs) {
        ASSERT_TRUE(page.Choose(sub.family));
        QWidget* w = page.SubPage()->findChild<QWidget*>(sub.name);
        ASSERT_NE(w, nullptr) << int(sub.family) << sub.name;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(b->text(), sub.text);
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            EXPECT_EQ(c->count(), sub.items);
        } else {
            EXPECT_EQ(qobject_cast<QListWidget*>(w)->count(), sub.items);
        }
    }
    CStyleNameDlg name(nullptr, "x");
    EXPECT_EQ(name.windowTitle(), "User Style Name");
    EXPECT_EQ(name.Form().id205->maxLength(), 49);
}

TEST_F(StylePageTest, GeneralRedAloneIsNegatives1) {
    CStylePage page(nullptr, Family(STD_STYLE_GENERAL), Record());
    page.show();
    QTest::mouseClick(Child<QCheckBox>(page, "id1002"), Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0].kind, STD_STYLE_GENERAL);
    EXPECT_EQ(applied[0].params[fmtparam::kNegativeStyle], 1);
    CStylePage again(nullptr, applied[0], nullptr);
    EXPECT_TRUE(again.SubPage()->findChild<QCheckBox*>("id1002")->isChecked());
    EXPECT_FALSE(again.SubPage()->findChild<QCheckBox*>("id1007")->isChecked());
}

TEST_F(StylePageTest, ScientificExponentLimits) {
    struct Row {
        const char* typed;
        bool applied;
        uint8_t form, magnitude;
    };
    const Row rows[] = {{"-5", true, 2, 5},    {"99", true, 1, 99},    {"-99", true, 2, 99},
                        {"100", false, 0, 10}, {"-100", false, 0, 10}, {"150", false, 0, 10}};
    for (const Row& row : rows) {
        FakeUi ui;
        applied.clear();
        CStylePage page(nullptr, Family(STD_STYLE_SCIENTIFIC), Record());
        page.show();
        Child<QCheckBox>(page, "id218")->setChecked(true);
        auto* edit = Child<QLineEdit>(page, "id205");
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, row.typed);
        EXPECT_TRUE(applied.empty()) << row.typed; // nothing while the digits come
        QTest::keyClick(edit, Qt::Key_Return);
        const StandardFormat last = applied.empty() ? StandardFormat{} : applied.back();
        if (row.applied) {
            ASSERT_FALSE(applied.empty()) << row.typed;
            EXPECT_EQ(last.params[fmtparam::kExponentForm], row.form) << row.typed;
            EXPECT_EQ(last.params[fmtparam::kExponentNumber], row.magnitude) << row.typed;
            CStylePage again(nullptr, last, nullptr);
            EXPECT_EQ(again.SubPage()->findChild<QLineEdit*>("id205")->text(), row.typed);
        } else {
            EXPECT_GE(ui.beeps, 1) << row.typed;
            // Neither the refused value nor its first digits applied.
            EXPECT_TRUE(applied.empty()) << row.typed;
            // Choosing another entry is refused and the list stays.
            EXPECT_FALSE(page.Choose(1));
            EXPECT_EQ(page.Current(), STD_STYLE_SCIENTIFIC);
            EXPECT_EQ(page.Form().id1020->currentRow(), STD_STYLE_SCIENTIFIC);
            // So is a move by keys in the list: it goes back to the entry shown.
            QTest::keyClick(page.Form().id1020, Qt::Key_Up);
            QCoreApplication::processEvents();
            EXPECT_EQ(page.Current(), STD_STYLE_SCIENTIFIC) << row.typed;
            EXPECT_EQ(PickedRow(*page.Form().id1020), STD_STYLE_SCIENTIFIC) << row.typed;
            EXPECT_TRUE(applied.empty()) << row.typed;
        }
    }
}

TEST_F(StylePageTest, TypingAPatternLeavesTheFamily) {
    CStylePage page(nullptr, Family(STD_STYLE_CURRENCY), Record());
    page.show();
    auto* edit = page.Form().id205;
    edit->setFocus();
    edit->clear();
    QTest::keyClicks(edit, "0.0");
    ASSERT_FALSE(applied.empty());
    EXPECT_EQ(applied.back().kind, STD_STYLE_USER_DEFINED);
    EXPECT_STREQ(applied.back().code, "0.0");
    EXPECT_EQ(page.Current(), -1);
    EXPECT_EQ(page.Form().id1020->currentRow(), -1);
}

TEST_F(StylePageTest, UserStylesAreFoundDeletedAndKeptShort) {
    Profile().userNumericFormats = {{"A", "0.0"}, {"B", "0.000"}};
    StandardFormat typed;
    typed.kind = STD_STYLE_USER_DEFINED;
    std::strcpy(typed.code, "0.000");
    {
        CStylePage page(nullptr, typed, Record());
        EXPECT_EQ(page.Current(), 11);
        ASSERT_TRUE(page.Choose(10));
        page.DeleteUserStyle();
        EXPECT_EQ(page.Current(), STD_STYLE_SCIENTIFIC);
        EXPECT_EQ(applied.back().kind, STD_STYLE_SCIENTIFIC);
        ASSERT_EQ(Profile().userNumericFormats.size(), 1u);
        EXPECT_EQ(Profile().userNumericFormats[0].pattern, "0.000");
    }
    // A pattern over 49 characters is no user style.
    NamingUi ui;
    CStylePage page(nullptr, Family(STD_STYLE_GENERAL), Record());
    page.show();
    page.Form().id205->setText(QString(50, '0'));
    page.AddUserStyle();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Please enter no more than 49 characters.");
    EXPECT_EQ(Profile().userNumericFormats.size(), 1u);
    page.Form().id205->setText(QString(49, '0'));
    page.AddUserStyle();
    EXPECT_EQ(ui.proposed.back(), "Style 11.");
    ASSERT_EQ(Profile().userNumericFormats.size(), 2u);
    EXPECT_EQ(Profile().userNumericFormats[1].name, "Mine");
    EXPECT_EQ(Profile().userNumericFormats[1].pattern, std::string(49, '0'));
    // Typing past 49 into a user style makes it a typed pattern and keeps the style.
    ASSERT_TRUE(page.Choose(11));
    auto* edit = page.Form().id205;
    edit->setFocus();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_0);
    EXPECT_EQ(page.Current(), -1);
    EXPECT_EQ(Profile().userNumericFormats[1].pattern, std::string(49, '0'));
    EXPECT_EQ(std::strlen(applied.back().code), 50u);
}

TEST_F(StylePageTest, FiftyProfileStylesHaveARecordEach) {
    Profile().userNumericFormats.clear();
    for (int i = 0; i < kMaxUserNumericFormats; ++i)
        Profile().userNumericFormats.push_back({"S" + std::to_string(i), std::to_string(i)});
    CStylePage page(nullptr, Family(STD_STYLE_GENERAL), Record());
    EXPECT_EQ(page.Form().id1020->count(), 60);
    ASSERT_TRUE(page.Choose(59));
    EXPECT_STREQ(applied.back().code, "49");
    page.AddUserStyle(); // the table is full
    EXPECT_EQ(Profile().userNumericFormats.size(), 50u);
}

// Every family chosen on the page, and pasted back after another, applies a format that a
// saved workbook keeps: a family never leaves the page with a setting a file refuses.
TEST_F(StylePageTest, EveryFamilyAppliesAValidFormat) {
    CStylePage page(nullptr, Family(STD_STYLE_DEFAULT), Record());
    page.show();
    for (int entry = STD_STYLE_GENERAL; entry <= STD_STYLE_SCIENTIFIC; ++entry) {
        applied.clear();
        page.Form().id1020->setCurrentRow(entry);
        ASSERT_FALSE(applied.empty()) << entry;
        EXPECT_EQ(applied.back().kind, entry);
        EXPECT_TRUE(IsValidStandardFormat(applied.back())) << entry;
        EXPECT_NE(applied.back().code[0], 0) << entry;
    }
    // Fraction copied, Scientific chosen, Fraction pasted: the copy's settings come back.
    page.Form().id1020->setCurrentRow(STD_STYLE_FRACTION);
    page.Action(CFormatPage::kCopy)->trigger();
    page.Form().id1020->setCurrentRow(STD_STYLE_SCIENTIFIC);
    applied.clear();
    page.Action(CFormatPage::kPaste)->trigger();
    ASSERT_FALSE(applied.empty());
    EXPECT_EQ(applied.back().kind, STD_STYLE_FRACTION);
    EXPECT_EQ(applied.back().params[fmtparam::kDenominatorDigits], 1);
    EXPECT_TRUE(IsValidStandardFormat(applied.back()));
}

// Typed with the user's separators, a pattern is kept with the internal ones and may grow:
// the longest that a style holds is applied whole; one that would grow past it is refused
// with a message and the pattern before it comes back, never applied cut.
TEST_F(StylePageTest, APatternTooLongForAStyleIsRefusedNotCut) {
    FakeUi ui;
    CStylePage page(nullptr, Family(STD_STYLE_CURRENCY), Record());
    page.show();
    auto* edit = page.Form().id205;
    edit->setFocus();
    const QString unit = QStringLiteral("0 a");
    ASSERT_GT(FormatCodeFromUser(unit.toStdString()).size(), 3u); // the premise: it grows
    const QString whole(edit->maxLength(), '0');
    edit->setText(whole.chopped(1));
    QTest::keyClick(edit, '0');
    ASSERT_FALSE(applied.empty());
    EXPECT_EQ(std::string(applied.back().code), whole.toStdString());
    EXPECT_TRUE(ui.boxes.empty());
    const std::size_t before = applied.size();
    QString grown;
    while (grown.size() + unit.size() <= edit->maxLength()) grown += unit;
    ASSERT_GT(FormatCodeFromUser(grown.toStdString()).size(), std::size_t(kMaxFormatCode));
    edit->setText(grown.chopped(1));
    QTest::keyClick(edit, 'a');
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(edit->text(), whole);
    EXPECT_EQ(applied.size(), before);
    for (const StandardFormat& f : applied) EXPECT_LE(std::strlen(f.code), 1031u);
}

// A family's options come after the list by Tab, as they stand, and before the pattern; Alt+O
// reaches the first of them, for each family chosen in turn.
TEST_F(StylePageTest, TabAndAltOReachTheOptionsAfterTheList) {
    FakeUi ui;
    CStylePage page(nullptr, Family(STD_STYLE_DEFAULT), Record());
    page.show();
    page.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&page));
    auto* list = page.Form().id1020;
    for (const int entry : {STD_STYLE_GENERAL, STD_STYLE_CURRENCY, STD_STYLE_FRACTION}) {
        list->setFocus();
        ASSERT_TRUE(testwait::UntilFocused(list));
        list->setCurrentRow(entry);
        ASSERT_EQ(page.Current(), entry);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
        QWidget* first = QApplication::focusWidget();
        ASSERT_NE(first, nullptr) << entry;
        EXPECT_TRUE(page.SubPage()->isAncestorOf(first)) << entry;
        // Backwards from the pattern the last option comes before it.
        page.Form().id205->setFocus();
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab, Qt::ShiftModifier));
        EXPECT_TRUE(page.SubPage()->isAncestorOf(QApplication::focusWidget())) << entry;
        ASSERT_TRUE(testwait::PressKey(Qt::Key_O, Qt::AltModifier));
        EXPECT_EQ(QApplication::focusWidget(), first) << entry;
    }
}

// F2 in the list renames the user style picked there, as a double click does; on a standard
// entry it asks nothing.
TEST_F(StylePageTest, F2RenamesTheUserStylePicked) {
    Profile().userNumericFormats = {{"A", "0.0"}, {"B", "0.000"}};
    NamingUi ui;
    CStylePage page(nullptr, Family(STD_STYLE_GENERAL), Record());
    page.show();
    page.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&page));
    auto* list = page.Form().id1020;
    list->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(list));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F2));
    EXPECT_TRUE(ui.proposed.empty());
    ASSERT_TRUE(testwait::PressKey(Qt::Key_End)); // "B"
    ASSERT_EQ(page.Current(), 11);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_F2));
    ASSERT_EQ(ui.proposed.size(), 1u);
    EXPECT_EQ(ui.proposed[0], "B");
    EXPECT_EQ(Profile().userNumericFormats[1].name, "Mine");
    EXPECT_EQ(Profile().userNumericFormats[0].name, "A");
    EXPECT_EQ(list->item(11)->text(), "Mine");
    EXPECT_EQ(page.Current(), 11);
}
