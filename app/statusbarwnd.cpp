#include "app/statusbarwnd.h"

#include "app/statustext.h"
#include "resources/commandids.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace vl {

CStatusBarWnd::CStatusBarWnd(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(true);
    setMinimumHeight(fontMetrics().height() + 8);
}

void CStatusBarWnd::SetPaneText(int pane, const QString& text) {
    if (texts_[pane] == text) return;
    texts_[pane] = text;
    update();
}

QString CStatusBarWnd::ShownText(int pane) const {
    if (pane != 0) return texts_[pane];
    if (inMenu_) return prompt_;
    const QString message = currentMessage();
    return message.isEmpty() ? texts_[0] : message;
}

void CStatusBarWnd::ShowMenuPrompt(const QString& prompt) {
    // A note of an earlier command does not come back when the menu closes.
    if (!inMenu_) clearMessage();
    if (inMenu_ && prompt_ == prompt) return;
    inMenu_ = true;
    prompt_ = prompt;
    update();
}

void CStatusBarWnd::EndMenuPrompt() {
    if (!inMenu_) return;
    inMenu_ = false;
    prompt_.clear();
    update();
}

void CStatusBarWnd::SetPaneIcon(const QIcon& icon) {
    icon_ = icon;
    update();
}

void CStatusBarWnd::ClearPanes() {
    for (QString& t : texts_) t.clear();
    icon_ = QIcon();
    update();
}

int CStatusBarWnd::TextWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("XXXXXXXXXXXX"));
}

QRect CStatusBarWnd::PaneRect(int pane) const {
    std::array<int, 6> edges = StatusPaneEdges(width(), Border(), Gap(), TextWidth());
    int left = pane == 0 ? Border() : edges[pane - 1] + Gap();
    return QRect(QPoint(left, 2), QPoint(edges[pane] - 1, height() - 3));
}

void CStatusBarWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int pane = 0; pane < 6; ++pane) {
        QRect r = PaneRect(pane);
        if (r.width() <= 0) continue;
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = r;
        frame.lineWidth = 1;
        bool raised = pane >= 4 && !(pane == pressed_ && sunken_);
        frame.state |= raised ? QStyle::State_Raised : QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        QRect inner = r.adjusted(3, 1, -3, -1);
        if (pane == 3 && !icon_.isNull()) {
            icon_.paint(&painter, inner);
            continue;
        }
        painter.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft, ShownText(pane));
    }
}

void CStatusBarWnd::mousePressEvent(QMouseEvent* event) {
    for (int pane : {4, 5}) {
        if (event->button() == Qt::LeftButton &&
            PaneRect(pane).contains(event->position().toPoint())) {
            pressed_ = pane;
            sunken_ = true;
            grabMouse();
            update();
            return;
        }
    }
    QStatusBar::mousePressEvent(event);
}

void CStatusBarWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) return QStatusBar::mouseMoveEvent(event);
    bool inside = PaneRect(pressed_).contains(event->position().toPoint());
    if (inside != sunken_) {
        sunken_ = inside;
        update();
    }
}

void CStatusBarWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_) return QStatusBar::mouseReleaseEvent(event);
    releaseMouse();
    int pane = pressed_;
    pressed_ = 0;
    sunken_ = false;
    update();
    if (!PaneRect(pane).contains(event->position().toPoint()) || !sink_) return;
    if (pane == 5)
        sink_(ID_ZOOM);
    else if (!texts_[4].contains(QLatin1String("param")) &&
             !texts_[4].contains(QLatin1String("Param")))
        sink_(ID_STATUS_PANE_CLICK);
}

} // namespace vl
