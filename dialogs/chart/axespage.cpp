#include "dialogs/chart/axespage.h"

#include "dialogs/combos.h"
#include "dialogs/fontdialog.h"
#include "model/chart.h"
#include "platform/core/cp1252.h"
#include "platform/core/screen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <charconv>
#include <cstring>

namespace vl {

namespace {

enum : uint16_t {
    kLabelsVertical = 1,
    kLabelsHorizontal = 2,
    kTitleVertical = 4,
    kTitleHorizontal = 8,
    kMajorTicks = 16,
    kMinorTicks = 32,
};

} // namespace

CChartAxesPage::CChartAxesPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Type:"), this), 0, 0);
    type_ = Named(new QComboBox(this), 215);
    for (const char* t : {"None", "Primary", "Secondary", "Dual"})
        type_->addItem(QString::fromLatin1(t));
    grid->addWidget(type_, 0, 1, 1, 2);
    auto* styleLabel = new QLabel(QStringLiteral("&Style:"), this);
    grid->addWidget(styleLabel, 1, 0);
    style_ = Named(new CLineStyleCombo(this), 229);
    styleLabel->setBuddy(style_);
    color_ = Unsqueezed(Named(new CColorCombo(this), 1019));
    grid->addWidget(style_, 1, 1, 1, 2);
    grid->addWidget(color_, 1, 3);
    major_ = Named(new QCheckBox(QStringLiteral("Major tick marks:"), this), 216);
    grid->addWidget(major_, 2, 0);
    majorCount_ = AddSpinField(this, grid, 2, 1, 205, 369, 0, 16776960);
    minor_ = Named(new QCheckBox(QStringLiteral("Minor tick marks:"), this), 218);
    grid->addWidget(minor_, 3, 0);
    minorCount_ = AddSpinField(this, grid, 3, 1, 257, 370, 0, 16776960);
    title_ = Named(new QCheckBox(QStringLiteral("Title:"), this), 1001);
    titleHorizontal_ = Named(new QRadioButton(QStringLiteral("Horizontal"), this), 400);
    titleVertical_ = Named(new QRadioButton(QStringLiteral("Vertical"), this), 189);
    labels_ = Named(new QCheckBox(QStringLiteral("Labels:"), this), 1007);
    labelsHorizontal_ = Named(new QRadioButton(QStringLiteral("Horizontal"), this), 282);
    labelsVertical_ = Named(new QRadioButton(QStringLiteral("Vertical"), this), 1051);
    for (auto [a, b] : {std::pair{titleHorizontal_, titleVertical_},
                        std::pair{labelsHorizontal_, labelsVertical_}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(a);
        group->addButton(b);
    }
    grid->addWidget(title_, 4, 0);
    grid->addWidget(titleHorizontal_, 4, 1);
    grid->addWidget(titleVertical_, 4, 2);
    grid->addWidget(labels_, 5, 0);
    grid->addWidget(labelsHorizontal_, 5, 1);
    grid->addWidget(labelsVertical_, 5, 2);
    grid->addWidget(new QLabel(QStringLiteral("Scale:"), this), 6, 0);
    scale_ = Named(new QComboBox(this), 1021);
    for (const char* t : {"Linear", "Log2", "LogE", "Log10"})
        scale_->addItem(QString::fromLatin1(t));
    grid->addWidget(scale_, 6, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), this), 7, 0);
    name_ = Named(new QLineEdit(this), 405);
    name_->setMaxLength(127);
    grid->addWidget(name_, 7, 1, 1, 2);
    auto* font = Named(new QPushButton(QStringLiteral("Font..."), this), 408);
    grid->addWidget(font, 7, 3);
    grid->setRowStretch(8, 1);
    connect(font, &QPushButton::clicked, this, [this] { EditChartFont(font_); });
    Reset();
}

void CChartAxesPage::Reset() {
    type_->setCurrentIndex(0);
    scale_->setCurrentIndex(0);
    style_->Init(1, false);
    const COLORREF text = GetSystemColor(kColorWindowText);
    color_->Init(text, text, true);
    for (QCheckBox* box : {major_, minor_, title_, labels_}) box->setChecked(false);
    for (QLineEdit* e :
         {static_cast<QLineEdit*>(majorCount_), static_cast<QLineEdit*>(minorCount_), name_})
        e->clear();
    titleHorizontal_->setChecked(true);
    labelsHorizontal_->setChecked(true);
}

bool CChartAxesPage::ReadTicks(CNumberEdit* edit, uint16_t& stored) {
    // A count is stored plus one: more than 65,533 would be a value no file form reads back.
    int64_t value = 0;
    if (!ReadWholeNumber(edit->text(), 0, kMostTicks, value)) return Refuse(edit);
    stored = uint16_t(value + 1);
    return true;
}

bool CChartAxesPage::Exchange(bool save, CChart* chart, int item) {
    const bool selected = chart && item >= 0 && item < kChartSeries;
    SeriesSettings* s = selected ? &chart->series[item].settings : nullptr;
    const bool shown = s && !IsPieKind(s->kind) && s->role >= 1 && s->role <= 3;
    const bool values = shown && s->role != 3;
    if (save) {
        if (!shown) return true;
        if (type_->currentIndex() >= 0) s->axisType = uint8_t(type_->currentIndex());
        GetLineFormatFromCombos(*style_, *color_, s->axisLine);
        s->axisFlags = major_->isChecked() ? kMajorTicks : 0;
        if (values) {
            if (!ReadTicks(majorCount_, s->periods)) return false;
            if (minor_->isChecked()) s->axisFlags |= kMinorTicks;
            if (!ReadTicks(minorCount_, s->subperiods)) return false;
        }
        if (title_->isChecked()) {
            if (titleHorizontal_->isChecked())
                s->axisFlags |= kTitleHorizontal;
            else if (titleVertical_->isChecked())
                s->axisFlags |= kTitleVertical;
        }
        if (labels_->isChecked()) {
            if (labelsHorizontal_->isChecked())
                s->axisFlags |= kLabelsHorizontal;
            else if (labelsVertical_->isChecked())
                s->axisFlags |= kLabelsVertical;
        }
        if (values && scale_->currentIndex() >= 0) s->scale = uint8_t(scale_->currentIndex());
        const std::string name = Utf8ToCp1252(name_->text().toStdString()).substr(0, 127);
        std::memcpy(s->axisTitle, name.c_str(), name.size() + 1);
        s->axisFont = font_;
        return true;
    }
    EnableDlgItems(this, false,
                   {215, 229, 1019, 216, 218, 205, 257, 369, 370, 1001, 1007, 400, 189, 282, 1051,
                    1021, 405, 408});
    Reset();
    if (!shown) return true;
    EnableDlgItems(this, true, {215, 229, 1019, 216, 1001, 1007, 400, 189, 282, 1051, 405, 408});
    if (values) EnableDlgItems(this, true, {218, 205, 257, 369, 370, 1021});
    type_->setCurrentIndex(s->axisType <= 3 ? s->axisType : -1);
    style_->Init(s->axisLine.style, false);
    const COLORREF text = GetSystemColor(kColorWindowText);
    color_->Init(s->axisLine.colorGiven ? s->axisLine.color : text, text, !s->axisLine.colorGiven);
    major_->setChecked(s->axisFlags & kMajorTicks);
    if (values) {
        majorCount_->setText(QString::number(int(s->periods) - 1));
        minor_->setChecked(s->axisFlags & kMinorTicks);
        minorCount_->setText(QString::number(int(s->subperiods) - 1));
    }
    title_->setChecked(s->axisFlags & (kTitleVertical | kTitleHorizontal));
    (s->axisFlags & kTitleVertical ? titleVertical_ : titleHorizontal_)->setChecked(true);
    labels_->setChecked(s->axisFlags & (kLabelsVertical | kLabelsHorizontal));
    (s->axisFlags & kLabelsVertical ? labelsVertical_ : labelsHorizontal_)->setChecked(true);
    if (values) scale_->setCurrentIndex(s->scale <= 3 ? s->scale : -1);
    name_->setText(QString::fromStdString(Cp1252ToUtf8(s->axisTitle)));
    font_ = s->axisFont;
    return true;
}

} // namespace vl
