#include "dialogs/chart/wallspage.h"

#include "dialogs/combos.h"
#include "dialogs/fontdialog.h"
#include "model/chart.h"
#include "platform/core/cp1252.h"
#include "platform/core/screen.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <charconv>
#include <cstring>

namespace vl {

namespace {

constexpr int kExpandWidth = 0;
constexpr int kExpandHeight = 1;

} // namespace

CChartWallsPage::CChartWallsPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Fill style:"), this), 0, 0);
    pattern_ = Named(new CPatternCombo(this), 215);
    patternColor_ = Unsqueezed(Named(new CColorCombo(this), 229));
    background_ = Unsqueezed(Named(new CColorCombo(this), 1019));
    grid->addWidget(pattern_, 0, 1);
    grid->addWidget(patternColor_, 0, 2);
    grid->addWidget(background_, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Border style:"), this), 1, 0);
    borderStyle_ = Named(new CLineStyleCombo(this), 1021);
    borderColor_ = Unsqueezed(Named(new CColorCombo(this), 221));
    grid->addWidget(borderStyle_, 1, 1);
    grid->addWidget(borderColor_, 1, 2);
    xy_ = Named(new QCheckBox(QStringLiteral("XY chart wall"), this), 216);
    yz_ = Named(new QCheckBox(QStringLiteral("YZ chart wall"), this), 218);
    floor_ = Named(new QCheckBox(QStringLiteral("Chart floor"), this), 1001);
    grid->addWidget(xy_, 2, 0);
    grid->addWidget(yz_, 2, 1);
    grid->addWidget(floor_, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Chart width:"), this), 3, 0);
    width_ = AddSpinField(this, grid, 3, 1, 205, 369, kViewSizeMin, kViewSizeMax);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("Chart height:"), this), 4, 0);
    height_ = AddSpinField(this, grid, 4, 1, 257, 370, kViewSizeMin, kViewSizeMax);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 4, 3);
    width_->setMaxLength(4);
    height_->setMaxLength(4);
    grid->setRowStretch(5, 1);
    Reset();
}

void CChartWallsPage::Reset() {
    const COLORREF text = GetSystemColor(kColorWindowText);
    const COLORREF window = GetSystemColor(kColorWindow);
    borderStyle_->Init(1, false);
    borderColor_->Init(text, text, true);
    pattern_->Init(1, true, true);
    patternColor_->Init(window, window, true);
    background_->Init(window, window, true);
    for (QCheckBox* box : {xy_, yz_, floor_}) box->setChecked(false);
    width_->setText(QStringLiteral("100"));
    height_->setText(QStringLiteral("100"));
}

bool CChartWallsPage::ReadPercent(CNumberEdit* edit, uint8_t& stored) {
    int64_t value = 0;
    // What the file readers refuse (0) is refused here too, or the workbook would not open.
    if (!ReadWholeNumber(edit->text(), kViewSizeMin, kViewSizeMax, value)) return Refuse(edit);
    stored = uint8_t(value);
    return true;
}

bool CChartWallsPage::Exchange(bool save, CChart* chart, int) {
    if (!chart) return true;
    ChartSettings& c = chart->settings;
    const bool threeD = c.type == kChart3D;
    if (save) {
        GetLineFormatFromCombos(*borderStyle_, *borderColor_, c.planeBorder);
        GetFillFormatFromCombos(*pattern_, *patternColor_, *background_, c.planeFill);
        c.planeXY = xy_->isChecked() ? 1 : 0;
        if (threeD) {
            c.planeYZ = yz_->isChecked() ? 1 : 0;
            c.planeXZ = floor_->isChecked() ? 1 : 0;
        }
        return ReadPercent(width_, c.viewWidth) && ReadPercent(height_, c.viewHeight);
    }
    EnableDlgItems(this, false, {218, 1001});
    Reset();
    if (threeD) EnableDlgItems(this, true, {218, 1001});
    const COLORREF text = GetSystemColor(kColorWindowText);
    const COLORREF window = GetSystemColor(kColorWindow);
    const BorderLine& b = c.planeBorder;
    borderStyle_->Init(b.style, false);
    borderColor_->Init(b.colorGiven ? b.color : text, text, !b.colorGiven);
    const InteriorFill& f = c.planeFill;
    pattern_->Init(f.pattern, !threeD, !threeD);
    patternColor_->Init(f.patternColorGiven ? f.patternColor : window, window,
                        !f.patternColorGiven);
    background_->Init(f.backgroundColorGiven ? f.backgroundColor : window, window,
                      !f.backgroundColorGiven);
    xy_->setChecked(c.planeXY != 0);
    if (threeD) {
        yz_->setChecked(c.planeYZ != 0);
        floor_->setChecked(c.planeXZ != 0);
    }
    width_->setText(QString::number(c.viewWidth));
    height_->setText(QString::number(c.viewHeight));
    return true;
}

CChartTitlesPage::CChartTitlesPage(QWidget* parent) : CChartPage(parent) {
    auto* layout = new QGridLayout(this);
    auto* titles = new QGroupBox(QStringLiteral("Chart titles"), this);
    auto* tg = new QGridLayout(titles);
    title_ = Named(new QLineEdit(titles), 205);
    subtitle_ = Named(new QLineEdit(titles), 257);
    for (QLineEdit* e : {title_, subtitle_}) e->setMaxLength(127);
    auto* titleFont = Named(new QPushButton(QStringLiteral("Font..."), titles), 408);
    auto* subtitleFont = Named(new QPushButton(QStringLiteral("Font..."), titles), 410);
    tg->addWidget(new QLabel(QStringLiteral("Title:"), titles), 0, 0);
    tg->addWidget(title_, 0, 1);
    tg->addWidget(titleFont, 0, 2);
    tg->addWidget(new QLabel(QStringLiteral("Subtitle:"), titles), 1, 0);
    tg->addWidget(subtitle_, 1, 1);
    tg->addWidget(subtitleFont, 1, 2);
    auto* legend = new QGroupBox(QStringLiteral("Legend"), this);
    auto* lg = new QGridLayout(legend);
    position_ = Named(new QComboBox(legend), 215);
    for (const char* t : {"No legend", "Left", "Top", "Right", "Bottom"})
        position_->addItem(QString::fromLatin1(t));
    expand_ = Named(new QComboBox(legend), 1019);
    expand_->addItems({QStringLiteral("Width"), QStringLiteral("Height")});
    align_ = Named(new QComboBox(legend), 229);
    align_->addItems({QStringLiteral("Start"), QStringLiteral("Center"), QStringLiteral("Bottom")});
    auto* legendFont = Named(new QPushButton(QStringLiteral("Font..."), legend), 409);
    lg->addWidget(new QLabel(QStringLiteral("Position:"), legend), 0, 0);
    lg->addWidget(position_, 0, 1);
    lg->addWidget(new QLabel(QStringLiteral("Expand:"), legend), 1, 0);
    lg->addWidget(expand_, 1, 1);
    lg->addWidget(new QLabel(QStringLiteral("Align:"), legend), 2, 0);
    lg->addWidget(align_, 2, 1);
    lg->addWidget(legendFont, 0, 2);
    layout->addWidget(titles, 0, 0);
    layout->addWidget(legend, 1, 0);
    layout->setRowStretch(2, 1);
    connect(titleFont, &QPushButton::clicked, this, [this] { EditChartFont(fonts_[0]); });
    connect(subtitleFont, &QPushButton::clicked, this, [this] { EditChartFont(fonts_[1]); });
    connect(legendFont, &QPushButton::clicked, this, [this] { EditChartFont(fonts_[2]); });
    align_->setEnabled(false);
    align_->setCurrentIndex(1);
    position_->setCurrentIndex(0);
    expand_->setCurrentIndex(kExpandHeight);
}

bool CChartTitlesPage::Exchange(bool save, CChart* chart, int) {
    if (!chart) return true;
    ChartSettings& c = chart->settings;
    if (save) {
        StoreEditText(title_, c.titleText[0], kChartTextSize);
        StoreEditText(subtitle_, c.titleText[1], kChartTextSize);
        c.titleFont[0] = fonts_[0];
        c.titleFont[1] = fonts_[1];
        c.legendFont = fonts_[2];
        const int p = position_->currentIndex();
        const bool height = expand_->currentIndex() == kExpandHeight;
        c.legendCode = p < 1 ? 0 : uint8_t(height ? 2 * p - 1 : 2 * p);
        return true;
    }
    align_->setEnabled(false);
    align_->setCurrentIndex(1);
    title_->setText(QString::fromStdString(Cp1252ToUtf8(c.titleText[0])));
    subtitle_->setText(QString::fromStdString(Cp1252ToUtf8(c.titleText[1])));
    fonts_[0] = c.titleFont[0];
    fonts_[1] = c.titleFont[1];
    fonts_[2] = c.legendFont;
    const int code = c.legendCode <= 8 ? c.legendCode : 0;
    position_->setCurrentIndex((code + 1) / 2);
    expand_->setCurrentIndex(code == 0 || code % 2 ? kExpandHeight : kExpandWidth);
    return true;
}

} // namespace vl
