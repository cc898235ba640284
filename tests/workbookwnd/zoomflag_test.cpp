// The Zoom pop-up opened from the frame again and again: "All worksheets" is kept between
// openings as the last slider move read it.

#include "dialogs/dialoguiservices.h"
#include "dialogs/zoomdlg.h"
#include "resources/commandids.h"
#include "tests/common/popupkeys.h"
#include "ui_zoomdlg.h"
#include "wndtest.h"

#include <QCheckBox>
#include <QMenuBar>
#include <QPointer>
#include <QSlider>
#include <QTest>

namespace vl {

namespace {

class ZoomFlagTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetUiServices(&services);
        ASSERT_NE(NewWindow(), nullptr);
    }
    void TearDown() override {
        SetUiServices(&ui);
        WindowTest::TearDown();
    }
    CZoomDlg* Open() {
        frame->OnCommand(ID_ZOOM);
        Settle();
        return services.OpenZoomDialog();
    }
    CDialogUiServices services{ui};
};

TEST_F(ZoomFlagTest, AllWorksheetsIsKeptBetweenOpenings) {
    const struct {
        bool tick;  // the box as the user leaves it
        bool move;  // then a slider move
        bool shown; // the box at the next opening
    } steps[] = {
        {true, true, true},   // ticked and applied: kept
        {false, false, true}, // unticked without a move: the last move's flag stays
        {false, true, false}, // unticked and applied
        {true, false, false}, // ticked without a move: nothing kept
        {true, true, true},
    };
    CZoomDlg* zoom = Open();
    ASSERT_NE(zoom, nullptr);
    EXPECT_FALSE(zoom->Form().id216->isChecked());
    for (const auto& step : steps) {
        SCOPED_TRACE(std::to_string(step.tick) + std::to_string(step.move));
        QCheckBox* box = zoom->Form().id216;
        if (box->isChecked() != step.tick) QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_EQ(box->isChecked(), step.tick);
        QSlider* slider = zoom->Form().id411;
        const int before = slider->value();
        if (step.move) {
            // Up moves the slider one step towards 400 percent.
            QTest::keyClick(slider, Qt::Key_Up);
            Settle();
            ASSERT_NE(slider->value(), before);
            EXPECT_EQ(zoom->AllWorksheets(), step.tick);
        }
        const QPointer<CZoomDlg> closing = zoom;
        QTest::keyClick(zoom, Qt::Key_Escape);
        Settle();
        ASSERT_TRUE(closing.isNull() || !closing->isVisible());
        zoom = Open();
        ASSERT_NE(zoom, nullptr);
        EXPECT_EQ(zoom->Form().id216->isChecked(), step.shown);
    }
}

// View > Zoom... by keys: the pop-up takes the keyboard, Up moves its slider a step towards
// 400 percent, Escape or Return closes it, keeping the zoom, and the grid has the keys again.
TEST_F(ZoomFlagTest, OpenedByKeysItTakesTheKeyboardAndEscapeClosesIt) {
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    View()->setFocus();
    ASSERT_EQ(Active()->ActiveZoom(), 100);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        uint16_t zoom; // after Up
    } closings[] = {{Qt::Key_Escape, Qt::NoModifier, 120},
                    {Qt::Key_Return, Qt::NoModifier, 140},
                    {Qt::Key_Enter, Qt::KeypadModifier, 160}};
    for (const auto& c : closings) {
        SCOPED_TRACE(c.key);
        frame->OnIdle(); // the idle pass enables the command
        ASSERT_TRUE(testwait::PressKey(Qt::Key_V, Qt::AltModifier));
        ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Z));
        const QPointer<CZoomDlg> zoom = services.OpenZoomDialog();
        ASSERT_FALSE(zoom.isNull());
        ASSERT_TRUE(testwait::UntilActive(zoom));
        EXPECT_EQ(QApplication::focusWidget(), zoom->Form().id411);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Up));
        EXPECT_EQ(Active()->ActiveZoom(), c.zoom);
        ASSERT_TRUE(testwait::PressKey(c.key, c.modifiers));
        EXPECT_TRUE(testwait::Until([&] { return zoom.isNull() || !zoom->isVisible(); }));
        EXPECT_TRUE(testwait::UntilActive(frame.get()));
        EXPECT_TRUE(testwait::UntilFocused(View()));
        EXPECT_EQ(Active()->ActiveZoom(), c.zoom);
    }
}

// A menu of the frame opened from the zoom pop-up and closed by Escape, then the pop-up closed
// by Escape: the grid has the keys, and the first Alt pressed and released alone gives them to
// the menu bar, its first title highlighted; Escape gives them back to the grid.
TEST_F(ZoomFlagTest, AltAloneAfterAMenuUsedFromThePopUpReachesTheMenuBar) {
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    View()->setFocus();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        frame->OnIdle();
        ASSERT_TRUE(testwait::PressKey(Qt::Key_V, Qt::AltModifier));
        ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Z));
        const QPointer<CZoomDlg> zoom = services.OpenZoomDialog();
        ASSERT_FALSE(zoom.isNull());
        ASSERT_TRUE(testwait::UntilActive(zoom));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_F, Qt::AltModifier));
        ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        ASSERT_TRUE(testwait::Until([] { return !QApplication::activePopupWidget(); }));
        ASSERT_TRUE(testwait::UntilActive(zoom));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        ASSERT_TRUE(testwait::Until([&] { return zoom.isNull() || !zoom->isVisible(); }));
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        ASSERT_TRUE(testwait::UntilFocused(View()));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Alt));
        EXPECT_TRUE(testwait::UntilFocused(frame->menuBar()));
        EXPECT_NE(frame->menuBar()->activeAction(), nullptr);
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Escape));
        EXPECT_TRUE(testwait::UntilFocused(View()));
        EXPECT_EQ(frame->menuBar()->activeAction(), nullptr);
    }
}

} // namespace

} // namespace vl
