#pragma once
// The Zoom pop-up: a frameless tool window with a vertical slider from 400 percent (top) to
// 40 (bottom) in steps of 20 that applies every move at once, for the active worksheet or,
// ticked, for all of them. A press outside closes it while the focus is elsewhere.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class ZoomDialog;
}

namespace vl {

class CZoomDlg : public QDialog {
public:
    using ApplyFn = std::function<void(uint16_t zoom, bool allWorksheets)>;
    static constexpr int kLastPosition = 18;

    // Placed with its lower-right corner 2 pixels left of and above `at` (screen point);
    // "All worksheets" ticked by `allWorksheets`.
    CZoomDlg(QWidget* owner, uint16_t zoom, const QPoint& at, ApplyFn apply,
             bool allWorksheets = false);
    ~CZoomDlg() override;
    Ui::ZoomDialog& Form() { return *ui_; }
    uint16_t Zoom() const { return zoom_; }
    // The flag as the last slider move read it.
    bool AllWorksheets() const { return allWorksheets_; }

    static int PositionOfZoom(int zoom);
    static uint16_t ZoomOfPosition(int position);
    // The top-left corner for a window of `size` at `at`: only the right and bottom edges
    // are kept inside `area`.
    static QPoint Placement(const QPoint& at, const QSize& size, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Return closes the pop-up as Escape does, keeping the zoom its moves applied.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Report();

    std::unique_ptr<Ui::ZoomDialog> ui_;
    ApplyFn apply_;
    uint16_t zoom_;
    bool allWorksheets_ = false;
};

} // namespace vl
