#include "dialogs/numberedit.h"
#include "tests/common/waits.h"
#include "tests/dialogs/dialogtest.h"

#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace vl;
using vl::dialogtest::FakeClock;
using vl::dialogtest::FakeUi;

TEST(NumberEdit, Steps) {
    struct Row {
        CNumberEdit::Kind kind;
        double minimum, maximum;
        int decimals;
        char separator;
        const char* text;
        int delta;
        bool result;
        const char* after;
    };
    using K = CNumberEdit;
    const Row rows[] = {
        {K::kInteger, 1, 10, 0, '.', "10", 1, true, "10"},
        {K::kInteger, 1, 10, 0, '.', "9", 1, true, "10"},
        {K::kInteger, 1, 10, 0, '.', "7 ", 1, true, "8"},
        {K::kInteger, 1, 10, 0, '.', " 7", -1, true, "6"},
        {K::kInteger, 1, 10, 0, '.', "7a", 1, false, "7a"},
        {K::kInteger, 1, 10, 0, '.', "-", 1, false, "-"},
        {K::kInteger, 1, 10, 0, '.', "", 1, true, "1"},
        {K::kInteger, 1, 10, 0, '.', "2", -1, true, "1"},
        {K::kInteger, 1, 10, 0, '.', "1", -1, true, "1"},
        {K::kInteger, -5, 10, 0, '.', "-4", -1, true, "-5"},
        {K::kDecimal, 0, 5, 2, '.', "1.25", 1, true, "1.35"},
        {K::kDecimal, 0, 5, 2, ',', "1,25", 1, true, "1,35"},
        {K::kDecimal, 0, 5, 2, '.', "1.1", 9, true, "2"},
        {K::kDecimal, 0, 5, 2, '.', "4.95", 1, true, "5"},
        {K::kDecimal, 0, 5, 2, '.', "0.05", -1, true, "0"},
        {K::kDecimal, 0, 5, 2, '.', "1.2x", 1, false, "1.2x"},
        {K::kColumnLetters, 1, 2047, 0, '.', "A", 1, true, "B"},
        {K::kColumnLetters, 1, 2047, 0, '.', "z", 1, true, "AA"},
        {K::kColumnLetters, 1, 2047, 0, '.', "A", -1, true, "A"},
        {K::kColumnLetters, 1, 2047, 0, '.', "1", 1, false, "1"},
        {K::kPlain, 0, 0, 0, '.', "abc", 1, true, "abc"},
    };
    for (const Row& row : rows) {
        FakeUi ui;
        CNumberEdit edit;
        if (row.kind == K::kInteger) edit.SetInteger(int32_t(row.minimum), int32_t(row.maximum));
        if (row.kind == K::kDecimal) edit.SetDecimal(row.minimum, row.maximum, row.decimals);
        if (row.kind == K::kColumnLetters)
            edit.SetColumnLetters(int32_t(row.minimum), int32_t(row.maximum));
        edit.SetDecimalSeparator(row.separator);
        edit.setText(row.text);
        EXPECT_EQ(edit.Step(row.delta), row.result) << row.text;
        EXPECT_EQ(edit.text().toStdString(), row.after) << row.text;
        EXPECT_EQ(ui.beeps, row.result ? 0 : 1) << row.text;
    }
}

TEST(NumberEdit, FiltersTypedCharacters) {
    struct Row {
        CNumberEdit::Kind kind;
        char separator;
        char typed;
        bool accepted;
    };
    using K = CNumberEdit;
    const Row rows[] = {
        {K::kInteger, '.', '-', true},        {K::kInteger, '.', '7', true},
        {K::kInteger, '.', 'a', false},       {K::kInteger, '.', '.', false},
        {K::kDecimal, ',', ',', true},        {K::kDecimal, ',', '.', false},
        {K::kDecimal, '.', '-', true},        {K::kColumnLetters, '.', '-', false},
        {K::kColumnLetters, '.', 'q', true},  {K::kColumnLetters, '.', 'Z', true},
        {K::kColumnLetters, '.', '1', false}, {K::kPlain, '.', '#', true},
    };
    for (const Row& row : rows) {
        FakeUi ui;
        CNumberEdit edit;
        if (row.kind == K::kInteger) edit.SetInteger(0, 100);
        if (row.kind == K::kDecimal) edit.SetDecimal(0, 100, 2);
        if (row.kind == K::kColumnLetters) edit.SetColumnLetters(1, 2047);
        edit.SetDecimalSeparator(row.separator);
        edit.setText("X");
        QTest::keyClick(&edit, row.typed);
        const QString expected = row.accepted ? QString("X") + QChar(row.typed) : QString("X");
        EXPECT_EQ(edit.text(), expected) << row.typed;
        EXPECT_EQ(ui.beeps, row.accepted ? 0 : 1) << row.typed;
    }
    // Control keys pass in every kind.
    FakeUi ui;
    CNumberEdit edit;
    edit.SetColumnLetters(1, 2047);
    edit.setText("AB");
    edit.end(false);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_F1);
    EXPECT_EQ(edit.text(), "A");
    EXPECT_EQ(ui.beeps, 0);
}

TEST(NumberEdit, UpDownAcceleratesByTheClock) {
    FakeClock clock;
    CUpDown upDown(clock);
    std::vector<int> deltas;
    upDown.onStep = [&](int delta) { deltas.push_back(delta); };
    struct Row {
        int64_t advance;
        int direction;
        bool held;
        int delta;
    };
    // By default 1, then 5 after 4 seconds and 10 after 6.
    const Row rows[] = {{0, 1, false, 1},  {3, 1, true, 1},   {1, 1, true, 5},
                        {1, 1, true, 5},   {1, 1, true, 10},  {0, -1, false, -1},
                        {3, -1, true, -1}, {1, -1, true, -5}, {10, -1, true, -10}};
    for (const Row& row : rows) {
        clock.now += row.advance;
        upDown.Press(row.direction, row.held);
        ASSERT_FALSE(deltas.empty());
        EXPECT_EQ(deltas.back(), row.delta) << clock.now;
        EXPECT_EQ(upDown.Position(), CUpDown::kParked);
    }
    // Another acceleration: 1, then 5 after 1 second and 10 after 2.
    upDown.SetAcceleration({{0, 1}, {1, 5}, {2, 10}});
    const Row other[] = {
        {0, 1, false, 1}, {1, 1, true, 5}, {1, 1, true, 10}, {5, 1, true, 10}, {0, 1, false, 1}};
    for (const Row& row : other) {
        clock.now += row.advance;
        upDown.Press(row.direction, row.held);
        EXPECT_EQ(deltas.back(), row.delta) << clock.now;
    }
    // A click on a button is one step.
    deltas.clear();
    QTest::mouseClick(upDown.DownButton(), Qt::LeftButton);
    EXPECT_EQ(deltas, std::vector<int>{-1});
}

// Up and Down typed in a field with arrows beside it step it, within its bounds, as the
// arrows do; with a modifier they do not. Tab passes from field to field, not to the arrows.
TEST(NumberEdit, ArrowKeysInTheFieldStepIt) {
    FakeUi ui;
    FakeClock clock;
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new CNumberEdit(&window);
    auto* upDown = new CUpDown(clock, &window);
    auto* next = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(upDown);
    layout->addWidget(next);
    edit->SetInteger(1, 10);
    upDown->onStep = [edit](int delta) { edit->Step(delta); };
    upDown->SetBuddy(edit);
    edit->setText("8");
    window.show();
    window.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&window));
    edit->setFocus();
    ASSERT_TRUE(testwait::UntilFocused(edit));
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* after;
    } rows[] = {{Qt::Key_Up, Qt::NoModifier, "9"},       {Qt::Key_Up, Qt::NoModifier, "10"},
                {Qt::Key_Up, Qt::NoModifier, "10"},      {Qt::Key_Down, Qt::NoModifier, "9"},
                {Qt::Key_Down, Qt::ShiftModifier, "9"},  {Qt::Key_Up, Qt::ControlModifier, "9"},
                {Qt::Key_Down, Qt::KeypadModifier, "8"}, {Qt::Key_Left, Qt::NoModifier, "8"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(testwait::PressKey(row.key, row.modifiers));
        EXPECT_EQ(edit->text(), row.after)
            << QKeySequence(row.key | row.modifiers).toString().toStdString();
    }
    for (int i = 0; i < 9; ++i) ASSERT_TRUE(testwait::PressKey(Qt::Key_Down));
    EXPECT_EQ(edit->text(), "1");
    EXPECT_EQ(ui.beeps, 0);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
    EXPECT_EQ(QApplication::focusWidget(), next);
    EXPECT_EQ(upDown->UpButton()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(upDown->DownButton()->focusPolicy(), Qt::NoFocus);
}
