#include "dialogs/chart/stylepage.h"

#include "core/clock.h"
#include "dialogs/combos.h"
#include "dialogs/fontdialog.h"
#include "dialogs/formatpage.h"
#include "model/chart.h"
#include "platform/core/screen.h"
#include "ui/uiservices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <charconv>

namespace vl {

namespace {

struct ProportionRow {
    const char* label;
    int edit, spin;
    int minimum;
};

constexpr ProportionRow kProportions[5] = {
    {"&Column/Bar size:", 205, 369, 1},   {"&Stacked column/bar size:", 257, 370, 1},
    {"&Pie split:", 405, 1008, 0},        {"3D-line &width:", 207, 1009, 1},
    {"3D-pie &tickness:", 1006, 1010, 1},
};

} // namespace

CChartStyleAdvancedDlg::CChartStyleAdvancedDlg(ChartProportions& values, QWidget* parent)
    : QDialog(parent), values_(values) {
    setWindowTitle(QStringLiteral("Advance Chart Style Settings"));
    QWidget* body = AddFormWithOkCancel(*this);
    auto* grid = new QGridLayout(body);
    for (int i = 0; i < 5; ++i) {
        const ProportionRow& row = kProportions[i];
        auto* label = new QLabel(QString::fromLatin1(row.label), body);
        grid->addWidget(label, i, 0);
        edits_[i] = AddSpinField(body, grid, i, 1, row.edit, row.spin, row.minimum, 100);
        label->setBuddy(edits_[i]);
        edits_[i]->setText(QString::number(values[i]));
        grid->addWidget(new QLabel(QStringLiteral("%"), body), i, 3);
    }
}

void CChartStyleAdvancedDlg::accept() {
    ChartProportions read{};
    for (int i = 0; i < 5; ++i) {
        int64_t value = 0;
        if (!ReadWholeNumber(edits_[i]->text(), kProportions[i].minimum, 100, value)) {
            UiServices().Beep();
            edits_[i]->setFocus();
            return;
        }
        read[i] = uint8_t(value);
    }
    values_ = read;
    QDialog::accept();
}

CChartStylePage::CChartStylePage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    visible_ = Named(new QCheckBox(QStringLiteral("Visible"), this), 216);
    grid->addWidget(visible_, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Data point labels:"), this), 1, 0);
    labels_ = Named(new QComboBox(this), 215);
    for (const char* text : {"No labels", "X-values", "Y-values (Data)", "X / Y", "Y / X"})
        labels_->addItem(QString::fromLatin1(text));
    grid->addWidget(labels_, 1, 1, 1, 2);
    auto* font = Named(new QPushButton(QStringLiteral("Font..."), this), 410);
    grid->addWidget(font, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Fill style:"), this), 2, 0);
    pattern_ = Named(new CPatternCombo(this), 229);
    patternColor_ = Unsqueezed(Named(new CColorCombo(this), 1019));
    background_ = Unsqueezed(Named(new CColorCombo(this), 1021));
    grid->addWidget(pattern_, 2, 1);
    grid->addWidget(patternColor_, 2, 2);
    grid->addWidget(background_, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Line style:"), this), 3, 0);
    lineStyle_ = Named(new CLineStyleCombo(this), 221);
    lineColor_ = Unsqueezed(Named(new CColorCombo(this), 1059));
    grid->addWidget(lineStyle_, 3, 1);
    grid->addWidget(lineColor_, 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Scatter symbol:"), this), 4, 0);
    symbol_ = Named(new CSymbolCombo(this), 220);
    grid->addWidget(symbol_, 4, 1);
    connect_ = Named(new QCheckBox(QStringLiteral("Connect points"), this), 218);
    grid->addWidget(connect_, 4, 2);
    sliceText_ = Named(new QLineEdit(this), 205);
    sliceText_->setReadOnly(true);
    auto* sliceSpin = Named(new CUpDown(ProcessClock(), this), 369);
    sliceSpin->onStep = [this](int delta) { StepSlice(delta); };
    sliceSpin->SetBuddy(sliceText_);
    grid->addWidget(sliceText_, 5, 1);
    grid->addWidget(sliceSpin, 5, 2, Qt::AlignLeft);
    auto* advanced = Named(new QPushButton(QStringLiteral("Advanced..."), this), 408);
    grid->addWidget(advanced, 5, 3);
    grid->setRowStretch(6, 1);
    connect(font, &QPushButton::clicked, this, [this] { EditChartFont(labelFont_); });
    connect(advanced, &QPushButton::clicked, this, [this] { OnAdvanced(); });
    Reset();
}

void CChartStylePage::OnAdvanced() {
    CChartStyleAdvancedDlg dlg(proportions_, this);
    UiServices().RunDialog(dlg);
}

void CChartStylePage::ShowSlice() {
    sliceText_->setText(QStringLiteral("Pie Style %1.").arg(slice_ + 1));
}

void CChartStylePage::ShowFill(const InteriorFill& fill, bool withPatterns) {
    const COLORREF window = GetSystemColor(kColorWindow);
    pattern_->Init(fill.pattern, withPatterns, false);
    patternColor_->Init(fill.patternColorGiven ? fill.patternColor : window, window,
                        !fill.patternColorGiven);
    background_->Init(fill.backgroundColorGiven ? fill.backgroundColor : window, window,
                      !fill.backgroundColorGiven);
}

void CChartStylePage::Reset() {
    visible_->setChecked(true);
    labels_->setCurrentIndex(0);
    labelFont_ = ColoredFont{};
    fillPatterns_ = true;
    InteriorFill solid;
    solid.pattern = 1;
    ShowFill(solid, true);
    lineStyle_->Init(1, true);
    const COLORREF text = GetSystemColor(kColorWindowText);
    lineColor_->Init(text, text, true);
    symbol_->Init(4);
    connect_->setChecked(true);
    ShowSlice();
}

void CChartStylePage::StepSlice(int delta) {
    int next = slice_;
    if (delta < 0 && slice_ > 0)
        next = slice_ - 1;
    else if (delta < 1 || slice_ > 14)
        return;
    else
        next = slice_ + 1;
    if (next == slice_) return;
    GetFillFormatFromCombos(*pattern_, *patternColor_, *background_, slices_[slice_]);
    slice_ = next;
    ShowSlice();
    ShowFill(slices_[slice_], fillPatterns_);
}

bool CChartStylePage::Exchange(bool save, CChart* chart, int item) {
    const bool selected = chart && item >= 0 && item < kChartSeries;
    if (save) {
        if (!selected) return true;
        SeriesSettings& s = chart->series[item].settings;
        if (s.role == 1) {
            s.visible = visible_->isChecked() ? 1 : 0;
            if (labelsShown_) {
                if (labels_->currentIndex() >= 0) s.labels = uint8_t(labels_->currentIndex());
                s.font = labelFont_;
            }
            if (fillShown_) {
                GetFillFormatFromCombos(*pattern_, *patternColor_, *background_, s.fill);
                slices_[slice_] = s.fill;
            }
            std::copy(slices_.begin(), slices_.end(), s.sliceFills);
            if (lineShown_) GetLineFormatFromCombos(*lineStyle_, *lineColor_, s.line);
            if (s.kind == 6) {
                s.connectingLine = s.line;
                s.symbol = GetComboItemData(*symbol_);
                if (!connect_->isChecked()) s.connectingLine.style = 0;
            }
        }
        ChartSettings& c = chart->settings;
        c.barSize = proportions_[0];
        c.stackBarSize = proportions_[1];
        c.pieSplit = proportions_[2];
        c.lineWidth3D = proportions_[3];
        c.pieThickness3D = proportions_[4];
        return true;
    }
    EnableDlgItems(this, false, {216, 215, 229, 1019, 1021, 221, 1059, 220, 218, 410, 369});
    Reset();
    labelsShown_ = fillShown_ = lineShown_ = false;
    if (!selected) return true;
    const SeriesSettings& s = chart->series[item].settings;
    const bool threeD = chart->settings.type == kChart3D;
    if (s.role == 1) {
        EnableDlgItems(this, true, {216, 229, 1019, 1021});
        if (!threeD) EnableDlgItems(this, true, {215, 410});
        const bool line = s.kind == 3 || s.kind == 6;
        if (line) EnableDlgItems(this, true, {221, 1059});
        if (s.kind == 6) EnableDlgItems(this, true, {220, 218});
        if (IsPieKind(s.kind)) EnableDlgItems(this, true, {216, 215, 369});
        visible_->setChecked(s.visible != 0);
        labelsShown_ = !threeD || s.kind == 11;
        if (labelsShown_) {
            labels_->setCurrentIndex(s.labels <= 4 ? s.labels : -1);
            labelFont_ = s.font;
        }
        fillShown_ = s.kind != 3;
        fillPatterns_ = !threeD;
        if (fillShown_) ShowFill(s.fill, fillPatterns_);
        std::copy(std::begin(s.sliceFills), std::end(s.sliceFills), slices_.begin());
        lineShown_ = line;
        if (line) {
            lineStyle_->Init(s.line.style, s.kind == 3);
            const COLORREF text = GetSystemColor(kColorWindowText);
            lineColor_->Init(s.line.colorGiven ? s.line.color : text, text, !s.line.colorGiven);
        }
        if (s.kind == 6) {
            symbol_->Init(s.symbol);
            connect_->setChecked(s.connectingLine.style != 0);
        }
    }
    const ChartSettings& c = chart->settings;
    proportions_ = {c.barSize, c.stackBarSize, c.pieSplit, c.lineWidth3D, c.pieThickness3D};
    return true;
}

} // namespace vl
