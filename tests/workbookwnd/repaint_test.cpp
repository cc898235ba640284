// What the grid shows after typing, moving and selecting equals a repaint of the whole
// view, and committing a value leaves the row as high as the text needs.

#include "model/workbook.h"
#include "render/metrics.h"
#include "wndtest.h"
#include "workbookwnd/celleditor.h"

#include <QTest>

namespace vl {

namespace {

class RepaintTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        View()->Render();
    }
    // The picture now, and the one a repaint of everything gives; the first pixel that
    // differs is reported.
    ::testing::AssertionResult SameAsFullRepaint() {
        Settle();
        const QImage shown = View()->Render().copy();
        View()->InvalidateAll();
        const QImage clean = View()->Render().copy();
        if (shown == clean) return ::testing::AssertionSuccess();
        for (int y = 0; y < clean.height(); ++y)
            for (int x = 0; x < clean.width(); ++x)
                if (shown.pixel(x, y) != clean.pixel(x, y))
                    return ::testing::AssertionFailure()
                           << "first differing pixel at " << x << "," << y;
        return ::testing::AssertionFailure() << "sizes differ";
    }
    int32_t RowHeight(uint32_t row) const { return GetRowHeight(*Book().tree.active, row, 100); }
};

TEST_F(RepaintTest, TypedEntriesLeaveNothingOfTheOldCursorBehind) {
    const int32_t height = RowHeight(0);
    struct Case {
        const char* text;
        int key;
    };
    // Down, Up, Right and Left end the edits, texts and numbers alike.
    const Case cases[] = {{"Pear", Qt::Key_Down},  {"apple", Qt::Key_Down}, {"12.5", Qt::Key_Right},
                          {"Mango", Qt::Key_Down}, {"7", Qt::Key_Up},       {"=1+2", Qt::Key_Left},
                          {"x", Qt::Key_Return}};
    View()->setFocus();
    for (const Case& c : cases) {
        Type(QString::fromLatin1(c.text));
        Key(c.key);
        EXPECT_TRUE(SameAsFullRepaint()) << c.text;
    }
    for (uint32_t row = 0; row < 4; ++row) EXPECT_EQ(RowHeight(row), height) << row;
}

TEST_F(RepaintTest, ALongTextCutShortOrFreedAgainLeavesNoTrail) {
    // A text running past the right edge from B16; each step changes how far it flows.
    Enter(1, 15, QString(300, QLatin1Char('w')));
    ASSERT_TRUE(SameAsFullRepaint());
    struct Step {
        uint16_t column;
        const char* text;
    };
    const Step steps[] = {{2, "=1"}, {2, ""}, {5, "x"}, {1, "short"}, {1, ""}};
    View()->setFocus();
    for (const Step& s : steps) {
        Select(s.column, 15);
        if (*s.text) {
            Type(QString::fromLatin1(s.text));
        } else {
            Key(Qt::Key_F2);
            View()->Editor()->selectAll();
            Key(Qt::Key_Backspace);
        }
        Key(Qt::Key_Return);
        EXPECT_TRUE(SameAsFullRepaint()) << s.column << " " << s.text;
    }
}

// An array typed, typed again larger and smaller, and typed over: the cells it spreads over
// or leaves are drawn at once, and so are texts beside them that flow into the cells it left.
TEST_F(RepaintTest, TypedArraysRepaintTheCellsTheySpreadOverAndLeave) {
    Enter(0, 0, QStringLiteral("-3"));
    Enter(0, 1, QStringLiteral("-5"));
    Enter(0, 2, QStringLiteral("4"));
    Enter(3, 2, QString(30, QLatin1Char('w'))); // flows over E3 once it is free
    struct Step {
        const char* typed;
        const char* second; // E2 afterwards
    } steps[] = {
        {"=A1:A2*2", "-10"}, {"=A1:A3*2", "-10"}, {"=A1:A2*3", "-15"},
        {"9", ""},           {"=A1:A3", "-5"},    {"", ""},
    };
    View()->setFocus();
    for (const Step& s : steps) {
        Select(4, 0);
        if (*s.typed) {
            Type(QString::fromLatin1(s.typed));
        } else {
            Key(Qt::Key_F2);
            View()->Editor()->selectAll();
            Key(Qt::Key_Backspace);
        }
        Key(Qt::Key_Return);
        EXPECT_EQ(CellText(4, 1), s.second) << s.typed;
        EXPECT_TRUE(SameAsFullRepaint()) << s.typed;
    }
}

// A formula taken back by Ctrl+Z and put back by Ctrl+Y shows as it did when typed: its
// error right-aligned as errors are, whether the walk or the formula itself made it.
TEST_F(RepaintTest, UndoAndRedoShowAFormulaAsTyped) {
    struct Case {
        uint32_t row;
        const char* formula;
    } cases[] = {{1, "=B2"}, {2, "=1/0"}, {3, "=\"t\""}, {4, "=B5+1"}};
    for (const auto& [row, formula] : cases) {
        Enter(1, row, QString::fromLatin1(formula));
        Select(3, 6);
        ASSERT_TRUE(SameAsFullRepaint());
        const QImage shown = View()->Render().copy();
        View()->setFocus();
        Key(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(CellText(1, row), "") << formula;
        Key(Qt::Key_Y, Qt::ControlModifier);
        ASSERT_EQ(CellText(1, row), formula);
        Select(3, 6);
        EXPECT_TRUE(SameAsFullRepaint()) << formula;
        EXPECT_TRUE(View()->Render() == shown) << formula;
    }
}

TEST_F(RepaintTest, SelectionChangesRepaintWhatTheyCover) {
    View()->setFocus();
    QTest::keyPress(View(), Qt::Key_Shift);
    for (int key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
        Key(key, Qt::ShiftModifier);
        EXPECT_TRUE(SameAsFullRepaint()) << key;
    }
    QTest::keyRelease(View(), Qt::Key_Shift);
    Key(Qt::Key_Right);
    EXPECT_TRUE(SameAsFullRepaint());
}

} // namespace

} // namespace vl
