#pragma once
// The middle button's auto-scroll window: a small picture at the press point; while it is
// up, the view scrolls towards the pointer, the faster the farther the pointer is, until a
// click elsewhere or a key closes it.

#include <QPoint>
#include <QWidget>
#include <memory>

namespace vl {

class CWorksheetView;
class ITimerHost;

class CMouseWheelWnd : public QWidget {
public:
    static constexpr int kTickMs = 10;

    explicit CMouseWheelWnd(CWorksheetView* view);
    ~CMouseWheelWnd() override;

    // Shows the window centred on the point (screen coordinates) and starts the ticks.
    void Create(QPoint origin);
    // One tick with the pointer at `cursor`: scrolls and returns the pause before the next
    // tick in milliseconds.
    int Tick(QPoint cursor);
    // The cursor shown for a pointer at `cursor`: 449 near the origin, else 450 to 457 by
    // direction.
    int CursorId(QPoint cursor) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ScrollLoop();
    // Scroll code and pause of one axis at distance `d` (-1 when it does not scroll).
    static int AxisStep(int d, int half, int& pause, bool& page);

    CWorksheetView* view_;
    std::unique_ptr<ITimerHost> timer_;
    QPoint origin_;
    QImage picture_;
};

} // namespace vl
