#include "dialogs/dialoguiservices.h"
#include "dialogs/zoomdlg.h"
#include "tests/dialogs/dialogtest.h"
#include "ui_zoomdlg.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace vl;
using namespace vl::dialogtest;

namespace {

struct Applied {
    std::vector<std::pair<uint16_t, bool>> calls;
    CZoomDlg::ApplyFn Fn() {
        return [this](uint16_t z, bool all) { calls.push_back({z, all}); };
    }
};

QPoint Center() {
    return QGuiApplication::primaryScreen()->availableGeometry().center();
}

} // namespace

TEST(ZoomDialog, BuiltAsTheTemplate) {
    FakeUi ui;
    CZoomDlg dialog(nullptr, 100, Center(), nullptr);
    Ui::ZoomDialog& f = dialog.Form();
    EXPECT_EQ(f.label400->text(), "400%");
    EXPECT_EQ(f.label40->text(), "40%");
    EXPECT_EQ(f.id216->text(), "All worksheets");
    EXPECT_EQ(f.labelZoom->text(), "Zoom");
    EXPECT_EQ(f.id411->orientation(), Qt::Vertical);
    EXPECT_EQ(f.id411->minimum(), 0);
    EXPECT_EQ(f.id411->maximum(), 18);
    EXPECT_EQ(f.id411->singleStep(), 1);
    EXPECT_EQ(f.id411->tickInterval(), 1);
    EXPECT_FALSE(f.id216->isChecked());
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(dialog.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

TEST(ZoomDialog, PositionsAndZooms) {
    const std::pair<int, int> shown[] = {{400, 0}, {100, 15}, {110, 15}, {40, 18},
                                         {60, 17}, {399, 1},  {380, 1}};
    for (const auto& [zoom, position] : shown)
        EXPECT_EQ(CZoomDlg::PositionOfZoom(zoom), position) << zoom;
    const std::pair<int, int> zooms[] = {{0, 400}, {14, 120}, {15, 100}, {16, 80}, {18, 40}};
    for (const auto& [position, zoom] : zooms) EXPECT_EQ(CZoomDlg::ZoomOfPosition(position), zoom);
}

TEST(ZoomDialog, EachSliderMoveApplies) {
    FakeUi ui;
    for (const int step : {-1, 1}) {
        Applied applied;
        CZoomDlg dialog(nullptr, 110, Center(), applied.Fn());
        QSlider* slider = dialog.Form().id411;
        EXPECT_EQ(slider->value(), 15);
        EXPECT_TRUE(applied.calls.empty());
        dialog.Form().id216->click(); // ticking alone applies nothing
        EXPECT_TRUE(applied.calls.empty());
        slider->setValue(15 + step);
        ASSERT_EQ(applied.calls.size(), 1u);
        EXPECT_EQ(applied.calls[0], std::make_pair(uint16_t(step < 0 ? 120 : 80), true));
        EXPECT_EQ(dialog.Zoom(), step < 0 ? 120 : 80);
        // Dragging reports each position, and the release once more.
        slider->setSliderDown(true);
        slider->setSliderPosition(3);
        slider->setSliderDown(false);
        EXPECT_EQ(applied.calls.back(), std::make_pair(uint16_t(340), true));
        EXPECT_GE(applied.calls.size(), 3u);
    }
}

TEST(ZoomDialog, PlacedAboveAndLeftOfThePointInsideRightAndBottom) {
    const QRect area(0, 0, 1000, 700);
    const QSize size(100, 200);
    const struct {
        QPoint at, placed;
    } cases[] = {
        {{500, 500}, {398, 298}},  // lower-right corner 2 pixels off the point
        {{1200, 500}, {900, 298}}, // right edge kept inside
        {{500, 1000}, {398, 500}}, // bottom edge kept inside
        {{50, 100}, {-52, -102}},  // left and top may leave the area
    };
    for (const auto& c : cases) EXPECT_EQ(CZoomDlg::Placement(c.at, size, area), c.placed);
}

TEST(ZoomDialog, APressOutsideClosesOnlyWhileTheFocusIsElsewhere) {
    FakeUi fake;
    CDialogUiServices services(fake);
    QWidget other;
    other.setGeometry(0, 0, 400, 300);
    other.show();
    for (const bool focusInside : {true, false}) {
        Applied applied;
        ASSERT_TRUE(services.ZoomDialog(nullptr, Center(), 100, applied.Fn()));
        QPointer<CZoomDlg> dialog = services.OpenZoomDialog();
        ASSERT_TRUE(dialog && dialog->isVisible());
        if (focusInside) {
            QApplication::setActiveWindow(dialog);
            dialog->Form().id411->setFocus();
        } else {
            QApplication::setActiveWindow(&other);
            other.setFocus();
        }
        QTest::mousePress(&other, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&other, Qt::LeftButton, {}, QPoint(5, 5));
        QApplication::processEvents();
        EXPECT_EQ(bool(dialog), focusInside);
        if (dialog) {
            // A press inside leaves it open whatever has the focus.
            QApplication::setActiveWindow(&other);
            other.setFocus();
            QTest::mousePress(dialog->Form().id216, Qt::LeftButton);
            QApplication::processEvents();
            EXPECT_TRUE(dialog);
        }
    }
    // Opening again replaces the pop-up; Esc closes it.
    services.ZoomDialog(nullptr, Center(), 100, nullptr);
    QPointer<CZoomDlg> first = services.OpenZoomDialog();
    services.ZoomDialog(nullptr, Center(), 200, nullptr);
    QApplication::processEvents();
    EXPECT_FALSE(first);
    QPointer<CZoomDlg> second = services.OpenZoomDialog();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Form().id411->value(), CZoomDlg::PositionOfZoom(200));
    QTest::keyClick(second, Qt::Key_Escape);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(second);
}
