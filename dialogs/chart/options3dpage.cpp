#include "dialogs/chart/options3dpage.h"

#include "core/clock.h"
#include "model/chart.h"
#include "model/viewtransform.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>

namespace vl {

namespace {

constexpr double kPi = 3.14159265358979;

QSlider* Slider(QWidget* parent, int id, int minimum, int maximum, int ticks) {
    auto* s = Named(new QSlider(Qt::Horizontal, parent), id);
    s->setRange(minimum, maximum);
    s->setTickInterval(ticks);
    s->setTickPosition(QSlider::TicksBelow);
    s->setSingleStep(1);
    return s;
}

} // namespace

CChart3DOptionsPage::CChart3DOptionsPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Rotate:"), this), 0, 0);
    const std::pair<const char*, int> axes[3] = {{"X-", 369}, {"Y-", 370}, {"Z-", 1008}};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(axes[i].first), this), 0, 1 + 2 * i);
        auto* spin = Named(new CUpDown(ProcessClock(), this), axes[i].second);
        spin->SetAcceleration({{0, 1}, {1, 5}, {2, 10}});
        const int axis = i + 1;
        spin->onStep = [this, axis](int delta) { OnRotate(axis, delta); };
        grid->addWidget(spin, 0, 2 + 2 * i);
    }
    auto* reset = Named(new QPushButton(QStringLiteral("Reset"), this), 408);
    grid->addWidget(reset, 0, 7);
    perspective_ = Named(new QCheckBox(QStringLiteral("&Perspective:"), this), 216);
    distance_ = Slider(this, 411, 1, 12, 1);
    grid->addWidget(perspective_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Close"), this), 1, 2);
    grid->addWidget(distance_, 1, 3, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Far"), this), 1, 7);
    lampHorizontal_ = Slider(this, 422, 0, 180, 18);
    lampVertical_ = Slider(this, 425, 0, 180, 18);
    auto* horizontal = new QLabel(QStringLiteral("&Horz. lamp position:"), this);
    horizontal->setBuddy(lampHorizontal_);
    grid->addWidget(horizontal, 2, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Left"), this), 2, 2);
    grid->addWidget(lampHorizontal_, 2, 3, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Right"), this), 2, 7);
    auto* vertical = new QLabel(QStringLiteral("&Vert. lamp position:"), this);
    vertical->setBuddy(lampVertical_);
    grid->addWidget(vertical, 3, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Low"), this), 3, 2);
    grid->addWidget(lampVertical_, 3, 3, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("High"), this), 3, 7);
    grid->setRowStretch(4, 1);
    perspective_->setChecked(true);
    distance_->setValue(10);
    lampHorizontal_->setValue(80);
    lampVertical_->setValue(100);
    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
    connect(perspective_, &QCheckBox::clicked, this, [this] { Apply(); });
    for (QSlider* s : {distance_, lampHorizontal_, lampVertical_})
        connect(s, &QSlider::valueChanged, this, [this] { Apply(); });
}

void CChart3DOptionsPage::Apply() {
    if (apply) apply();
}

void CChart3DOptionsPage::OnRotate(int axis, int delta) {
    if (!chart_) return;
    float* m = chart_->viewMatrix;
    if (axis == 1) {
        const double a = -delta * kPi * 0.005555555555555556;
        const float c = float(std::cos(a)), s = float(std::sin(a));
        const float r[16] = {1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1};
        float out[16];
        MultiplyMatrix4(r, m, out);
        std::copy(out, out + 16, m);
    } else if (axis == 2) {
        ApplyChartTransform(m, kRotateY, -delta * kPi / 180);
    } else {
        ApplyChartTransform(m, kRotateZ, delta * kPi / 180);
    }
    Apply();
}

void CChart3DOptionsPage::OnReset() {
    if (!chart_) return;
    SetIdentityMatrix(chart_->viewMatrix);
    Apply();
}

bool CChart3DOptionsPage::Exchange(bool save, CChart* chart, int) {
    if (save) {
        // Only a page filled from this 3D chart stores: the disabled page of another chart
        // shows defaults that would overwrite what the chart keeps for a later 3D view.
        if (!chart || chart != chart_ || chart->settings.type != kChart3D) return true;
        ChartSettings& c = chart->settings;
        if (!perspective_->isChecked())
            c.perspective = 100;
        else if (distance_->value() >= 1 && distance_->value() <= 12)
            c.perspective = uint16_t(kPerspectiveSteps[distance_->value() - 1]);
        c.lightDirectionX = uint16_t(180 - lampHorizontal_->value());
        c.lightDirectionY = uint16_t(180 - lampVertical_->value());
        return true;
    }
    EnableDlgItems(this, false, {369, 370, 1008, 408, 216, 411, 422, 425});
    const QSignalBlocker b1(perspective_), b2(distance_), b3(lampHorizontal_), b4(lampVertical_);
    perspective_->setChecked(true);
    distance_->setValue(10);
    lampHorizontal_->setValue(80);
    lampVertical_->setValue(100);
    chart_ = nullptr;
    if (!chart || chart->settings.type != kChart3D) return true;
    chart_ = chart;
    EnableDlgItems(this, true, {369, 370, 1008, 408, 216, 411, 422, 425});
    const ChartSettings& c = chart->settings;
    if (c.perspective == 0 || c.perspective >= 100) {
        perspective_->setChecked(false);
        distance_->setValue(10);
    } else {
        int position = 12;
        for (int i = 0; i < 12; ++i)
            if (kPerspectiveSteps[i] >= c.perspective) {
                position = i + 1;
                break;
            }
        distance_->setValue(position);
    }
    lampHorizontal_->setValue(180 - std::min<int>(c.lightDirectionX, 180));
    lampVertical_->setValue(180 - std::min<int>(c.lightDirectionY, 180));
    return true;
}

} // namespace vl
