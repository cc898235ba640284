#include "workbookwnd/mousewheelwnd.h"

#include "workbookwnd/environment.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace vl {

namespace {

constexpr int kPictureSize = 28;

// Picture 448: a circle with four arrow heads.
QImage MakePicture() {
    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    const QPointF c(kPictureSize / 2.0, kPictureSize / 2.0);
    p.drawEllipse(c, 2.5, 2.5);
    for (int quarter = 0; quarter < 4; ++quarter) {
        p.save();
        p.translate(c);
        p.rotate(90.0 * quarter);
        QPainterPath head;
        head.moveTo(0, -11);
        head.lineTo(-4, -6);
        head.lineTo(4, -6);
        head.closeSubpath();
        p.fillPath(head, Qt::black);
        p.restore();
    }
    return image;
}

// Cursors 449 to 457: a dot, or an arrow towards one of eight directions.
QCursor MakeCursor(int id) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::white);
    p.translate(12, 12);
    if (id == 449) {
        p.drawEllipse(QPointF(0, 0), 4, 4);
    } else {
        // 450 right, 451 up-right, 452 up, 453 up-left, 454 down-right, 455 down, 456 left,
        // 457 down-left.
        static const double kAngles[] = {0, -45, -90, -135, 45, 90, 180, 135};
        p.rotate(kAngles[id - 450]);
        p.drawLine(QPointF(-8, 0), QPointF(8, 0));
        p.drawLine(QPointF(8, 0), QPointF(3, -5));
        p.drawLine(QPointF(8, 0), QPointF(3, 5));
    }
    return QCursor(pixmap, 12, 12);
}

} // namespace

CMouseWheelWnd::CMouseWheelWnd(CWorksheetView* view)
    : QWidget(view, Qt::Popup | Qt::FramelessWindowHint), view_(view), timer_(MakeWorkbookTimer()),
      picture_(MakePicture()) {
    setObjectName(QStringLiteral("CMouseWheelWnd"));
    setFixedSize(picture_.size());
}

CMouseWheelWnd::~CMouseWheelWnd() {
    timer_->Disarm();
}

void CMouseWheelWnd::Create(QPoint origin) {
    origin_ = origin;
    move(origin - QPoint(width() / 2, height() / 2));
    show();
    timer_->Arm(kTickMs, [this] { ScrollLoop(); });
}

int CMouseWheelWnd::CursorId(QPoint cursor) const {
    const int dx = cursor.x() - origin_.x(), dy = cursor.y() - origin_.y();
    const int halfX = width() / 2 + 3, halfY = height() / 2 + 3;
    if (std::abs(dx) <= halfX && std::abs(dy) <= halfY) return 449;
    const double angle = std::atan2(-double(dy), double(dx)) * 180.0 / M_PI;
    static const int kByOctant[] = {456, 457, 455, 454, 450, 451, 452, 453};
    int octant = int(std::floor((angle + 180.0 + 22.5) / 45.0)) % 8;
    return kByOctant[octant];
}

int CMouseWheelWnd::AxisStep(int d, int half, int& pause, bool& page) {
    const int a = std::abs(d);
    page = false;
    if (a > half + 50) {
        page = true;
        pause = 0;
    } else if (a > half + 30) {
        pause = 0;
    } else if (a > half + 15) {
        pause = 100;
    } else if (a > half + 3) {
        pause = 400;
    } else {
        return -1;
    }
    return d > 0 ? 1 : 0;
}

int CMouseWheelWnd::Tick(QPoint cursor) {
    setCursor(MakeCursor(CursorId(cursor)));
    const int dx = cursor.x() - origin_.x(), dy = cursor.y() - origin_.y();
    int pauseX = 0, pauseY = 0;
    bool pageX = false, pageY = false;
    const int stepX = AxisStep(dx, width() / 2, pauseX, pageX);
    const int stepY = AxisStep(dy, height() / 2, pauseY, pageY);
    if (stepX >= 0) view_->OnHScroll(pageX ? stepX + SB_PAGELEFT : stepX);
    if (stepY >= 0) view_->OnVScroll(pageY ? stepY + SB_PAGEUP : stepY);
    if (stepX >= 0 && stepY >= 0) return std::min(pauseX, pauseY);
    return stepX >= 0 ? pauseX : stepY >= 0 ? pauseY : 0;
}

void CMouseWheelWnd::ScrollLoop() {
    const int pause = Tick(QCursor::pos());
    // The pause is the next tick's delay: nothing waits on the user-interface thread.
    if (isVisible()) timer_->Arm(std::max(kTickMs, pause), [this] { ScrollLoop(); });
}

void CMouseWheelWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture_);
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CMouseWheelWnd::keyPressEvent(QKeyEvent* event) {
    // A key ends the auto-scroll, which held the keyboard while it ran; every key but Escape
    // then acts where the keyboard goes back to, so nothing typed is lost.
    hide();
    if (event->key() == Qt::Key_Escape) return;
    QWidget* target = QApplication::focusWidget();
    if (!target || target == this) target = view_;
    QKeyEvent again(event->type(), event->key(), event->modifiers(), event->text(),
                    event->isAutoRepeat(), ushort(event->count()));
    QApplication::sendEvent(target, &again);
}

void CMouseWheelWnd::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->Disarm();
}

} // namespace vl
