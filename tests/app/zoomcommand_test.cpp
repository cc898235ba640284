#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "resources/commandids.h"

#include <QMdiArea>
#include <QTest>

namespace vl {

namespace {

// A window that reports its zoom and records the zooms applied to it.
class ZoomedWnd : public apptest::FakeWorkbookWnd {
public:
    using FakeWorkbookWnd::FakeWorkbookWnd;
    uint16_t ActiveZoom() const override { return zoom; }
    void ApplyZoom(uint16_t z, bool all) override { applied.push_back({z, all}); }
    void CommitCellEdit() override { ++editsEnded; }
    uint16_t zoom = 140;
    int editsEnded = 0;
    std::vector<std::pair<uint16_t, bool>> applied;
};

class ZoomFactory : public IWorkbookWndFactory {
public:
    IWorkbookWnd* Create(QWidget* parent, const QString&) override {
        made = new ZoomedWnd(parent);
        return made;
    }
    ZoomedWnd* made = nullptr;
};

// Records where the pop-up would open and keeps its apply callback.
class ZoomUi : public apptest::FakeUi {
public:
    bool ZoomDialog(QWidget* owner, const QPoint& point, uint16_t z,
                    const std::function<void(uint16_t, bool)>& fn) override {
        ++opened;
        shownOwner = owner;
        at = point;
        zoom = z;
        apply = fn;
        return true;
    }
    bool HasZoomDialog() const override { return true; }
    int opened = 0;
    QWidget* shownOwner = nullptr;
    QPoint at;
    uint16_t zoom = 0;
    std::function<void(uint16_t, bool)> apply;
};

} // namespace

TEST(ZoomCommand, TheStatusBarPaneOpensThePopUpOverIt) {
    Profile() = SettingsProfile{};
    ZoomUi ui;
    apptest::FakeClock clock;
    ZoomFactory factory;
    CMainFrame frame(nullptr, clock, &factory);
    frame.OnCreate();
    frame.resize(900, 600);
    frame.show();
    // Without a workbook there is nothing to zoom.
    frame.OnCommand(ID_ZOOM);
    EXPECT_EQ(ui.opened, 0);
    frame.OnCommand(ID_FILE_NEW);
    ASSERT_NE(factory.made, nullptr);
    CStatusBarWnd* bar = frame.StatusBarWnd();
    const QRect pane = bar->PaneRect(5);
    QTest::mousePress(bar, Qt::LeftButton, {}, pane.center());
    QTest::mouseRelease(bar, Qt::LeftButton, {}, pane.center());
    ASSERT_EQ(ui.opened, 1);
    EXPECT_EQ(ui.shownOwner, &frame);
    EXPECT_EQ(ui.zoom, 140);
    EXPECT_EQ(ui.at, bar->mapToGlobal(pane.topRight()));
    EXPECT_EQ(factory.made->editsEnded, 1);
    ui.apply(220, false);
    ui.apply(60, true);
    EXPECT_EQ(factory.made->applied,
              (std::vector<std::pair<uint16_t, bool>>{{220, false}, {60, true}}));
    Profile() = SettingsProfile{};
}

} // namespace vl
