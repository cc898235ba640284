#include "dialogs/zoomdlg.h"

#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "ui_zoomdlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace vl {

int CZoomDlg::PositionOfZoom(int zoom) {
    return kLastPosition - (zoom - 40) / 20;
}

uint16_t CZoomDlg::ZoomOfPosition(int position) {
    return uint16_t((20 - position) * 20);
}

QPoint CZoomDlg::Placement(const QPoint& at, const QSize& size, const QRect& area) {
    QPoint p(at.x() - size.width() - 2, at.y() - size.height() - 2);
    if (p.x() + size.width() > area.right() + 1) p.setX(area.right() + 1 - size.width());
    if (p.y() + size.height() > area.bottom() + 1) p.setY(area.bottom() + 1 - size.height());
    return p;
}

CZoomDlg::CZoomDlg(QWidget* owner, uint16_t zoom, const QPoint& at, ApplyFn apply,
                   bool allWorksheets)
    : QDialog(owner, Qt::Tool | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::ZoomDialog>()),
      apply_(std::move(apply)), zoom_(zoom), allWorksheets_(allWorksheets) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    QSlider* slider = ui_->id411;
    slider->setRange(0, kLastPosition);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setTickInterval(1);
    slider->setTickPosition(QSlider::TicksBothSides);
    // Position 0 (400 percent) at the top.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setValue(PositionOfZoom(zoom));
    ui_->id216->setChecked(allWorksheets_);
    connect(slider, &QSlider::valueChanged, this, &CZoomDlg::Report);
    connect(slider, &QSlider::sliderReleased, this, &CZoomDlg::Report);
    connect(this, &QDialog::finished, this, &QWidget::close);
    adjustSize();
    QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), at);
    move(Placement(at, frameGeometry().size(), area));
    ApplyProfileOpacity(this);
    qApp->installEventFilter(this);
}

CZoomDlg::~CZoomDlg() {
    qApp->removeEventFilter(this);
}

void CZoomDlg::Report() {
    allWorksheets_ = ui_->id216->isChecked();
    zoom_ = ZoomOfPosition(ui_->id411->value());
    if (apply_) apply_(zoom_, allWorksheets_);
}

void CZoomDlg::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    // Every move is applied already: there is nothing to confirm, and a pop-up that ignored
    // Return kept the keys typed next for the cell.
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool CZoomDlg::eventFilter(QObject* watched, QEvent* event) {
    if (PressedOutsideWithoutFocus(*this, event)) close(); // the press still reaches its target
    return QDialog::eventFilter(watched, event);
}

} // namespace vl
