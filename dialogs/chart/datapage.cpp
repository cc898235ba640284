#include "dialogs/chart/datapage.h"

#include "core/settings.h"
#include "dialogs/formatpageapi.h"
#include "model/chart.h"
#include "platform/core/cp1252.h"
#include "values/formatdouble.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

namespace vl {

namespace {

QLineEdit* LimitedEdit(QWidget* parent, int id, int length) {
    auto* e = Named(new QLineEdit(parent), id);
    e->setMaxLength(length);
    return e;
}

std::string Text(const QLineEdit* e) {
    return Utf8ToCp1252(e->text().toStdString());
}

// Stores the text without its final run of white space.
void StoreTrimmed(const QLineEdit* e, char (&field)[kChartTextSize]) {
    std::string text = Text(e).substr(0, kChartTextSize - 1);
    while (!text.empty() && std::isspace(uint8_t(text.back()))) text.pop_back();
    std::memcpy(field, text.c_str(), text.size() + 1);
}

} // namespace

CChartDataPage::CChartDataPage(QWidget* parent, IFormatPages* pages)
    : CChartPage(parent), pages_(pages) {
    auto* grid = new QGridLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Show range"), this);
    auto* range = new QGridLayout(group);
    from_ = Named(new QCheckBox(QStringLiteral("From value:"), group), 216);
    fromValue_ = LimitedEdit(group, 205, 329);
    to_ = Named(new QCheckBox(QStringLiteral("To value:"), group), 218);
    toValue_ = LimitedEdit(group, 257, 329);
    range->addWidget(from_, 0, 0);
    range->addWidget(fromValue_, 0, 1);
    range->addWidget(to_, 1, 0);
    range->addWidget(toValue_, 1, 1);
    grid->addWidget(group, 0, 0, 1, 2);
    xDomain_ = LimitedEdit(this, 405, 127);
    errorBars_ = LimitedEdit(this, 207, 127);
    grid->addWidget(new QLabel(QStringLiteral("X Domain:"), this), 1, 0);
    grid->addWidget(xDomain_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Error bars:"), this), 2, 0);
    grid->addWidget(errorBars_, 2, 1);
    format408_ = Named(new QPushButton(QStringLiteral("Numeric Format..."), this), 408);
    grid->addWidget(format408_, 3, 1, Qt::AlignRight);
    grid->setRowStretch(4, 1);
    connect(format408_, &QPushButton::clicked, this, [this] { OnNumericFormat(); });
}

void CChartDataPage::OnNumericFormat() {
    if (!pages_) return;
    FormatPageRequest request;
    request.parent = this;
    request.point = format408_->mapToGlobal(format408_->rect().bottomLeft());
    pages_->OpenStylePage(request, format_, [this](const StandardFormat& chosen) {
        format_ = chosen;
        return true;
    });
}

void CChartDataPage::Fill(CChart* chart, int item) {
    EnableDlgItems(this, false, {216, 205, 218, 257, 405, 207, 408});
    from_->setChecked(false);
    to_->setChecked(false);
    for (QLineEdit* e : {fromValue_, toValue_, xDomain_, errorBars_}) e->clear();
    format_ = StandardFormat{};
    if (!chart || item < 0 || item >= kChartSeries) return;
    const SeriesSettings& s = chart->series[item].settings;
    if (s.role != 1 && s.role != 2) return;
    const bool xy = chart->settings.type == kChartXY;
    const bool data = s.role == 1;
    EnableDlgItems(this, true, {216, 205, 218, 257, 408});
    // A data series of any type names the series its labels' X texts come from.
    xDomain_->setEnabled(data);
    errorBars_->setEnabled((data && s.kind == 6) || xy);
    const SeparatorSet& user = UserSeparators();
    if (s.rangeFlags & kFromValueGiven) {
        from_->setChecked(true);
        fromValue_->setText(QString::fromStdString(FormatDouble(s.fromValue, &user)));
    }
    if (s.rangeFlags & kToValueGiven) {
        to_->setChecked(true);
        toValue_->setText(QString::fromStdString(FormatDouble(s.toValue, &user)));
    }
    const auto show = [](QLineEdit* e, const char* text) {
        e->setText(QString::fromStdString(Cp1252ToUtf8(text)));
    };
    if (data) show(xDomain_, s.relatedX);
    if ((data && (s.kind == 6 || xy)) || (!data && xy)) show(errorBars_, s.relatedSigma);
    format_ = s.numberFormat;
}

bool CChartDataPage::ReadLimit(QCheckBox* box, QLineEdit* edit, double& value, uint16_t& flags,
                               uint16_t bit) {
    if (!box->isChecked()) return true;
    double parsed = 0;
    if (!ReadChartNumber(*edit, parsed)) return Refuse(edit);
    value = parsed;
    flags |= bit;
    return true;
}

bool CChartDataPage::Exchange(bool save, CChart* chart, int item) {
    if (!save) {
        Fill(chart, item);
        return true;
    }
    if (!chart || item < 0 || item >= kChartSeries) return true;
    SeriesSettings& s = chart->series[item].settings;
    if (s.role != 1 && s.role != 2) return true;
    s.rangeFlags &= uint16_t(~(kFromValueGiven | kToValueGiven));
    if (!ReadLimit(from_, fromValue_, s.fromValue, s.rangeFlags, kFromValueGiven)) return false;
    if (!ReadLimit(to_, toValue_, s.toValue, s.rangeFlags, kToValueGiven)) return false;
    const bool xy = chart->settings.type == kChartXY;
    if (s.role == 1) {
        StoreTrimmed(xDomain_, s.relatedX);
        if (s.kind == 6 || xy) StoreTrimmed(errorBars_, s.relatedSigma);
    } else if (xy) {
        StoreTrimmed(errorBars_, s.relatedSigma);
    }
    s.numberFormat = format_;
    return true;
}

} // namespace vl
