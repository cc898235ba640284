#include "dialogs/openwaitdlg.h"

#include "core/clock.h"
#include "dialogs/formatpage.h"
#include "ui/uiservices.h"
#include "ui_openwaitdlg.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QTimer>

namespace vl {

namespace {

// Wide enough for a usual path; longer ones lose their middle.
constexpr int kPathWidthUnits = 200;

} // namespace

QString ElapsedTimeText(int64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

uint32_t& COpenWaitDlg::SharedTicks() {
    static uint32_t ticks = 0;
    return ticks;
}

COpenWaitDlg::COpenWaitDlg(QWidget* parent, const QString& path, const IClock& clock,
                           std::function<bool()> retry)
    : QDialog(parent), ui_(std::make_unique<Ui::OpenWaitDialog>()), clock_(clock),
      retry_(std::move(retry)), start_(clock.NowSeconds()), timer_(new QTimer(this)) {
    ui_->setupUi(this);
    QLabel* name = ui_->id394;
    const int width = DialogUnitsToPixels(kPathWidthUnits, 8).width();
    name->setFixedWidth(width);
    name->setWordWrap(false);
    name->setText(QFontMetrics(name->font()).elidedText(path, Qt::ElideMiddle, width + 1));
    name->setToolTip(path);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(timer_, &QTimer::timeout, this, &COpenWaitDlg::Tick);
    connect(this, &QDialog::finished, timer_, &QTimer::stop);
    timer_->start(kTickMs);
}

COpenWaitDlg::~COpenWaitDlg() = default;

void COpenWaitDlg::Tick() {
    ui_->id395->setText(ElapsedTimeText(clock_.NowSeconds() - start_));
    if (++SharedTicks() % kRetryTicks != 0) return;
    if (!retry_ || !retry_()) return;
    timer_->stop();
    UiServices().Beep();
    accept();
}

} // namespace vl
