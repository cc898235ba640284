#include "dialogs/chart/windowpage.h"

#include "core/settings.h"
#include "dialogs/combos.h"
#include "dialogs/filedlg.h"
#include "dialogs/formatpage.h"
#include "model/chart.h"
#include "model/container.h"
#include "platform/core/screen.h"
#include "resources/strings.h"
#include "ui/messageowner.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "values/formatdouble.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>

namespace vl {

namespace {

constexpr double kDefaultParams[6] = {0.11, 0.66, -1.1, 1.1, -1.1, 1.1};
constexpr int kParamIds[6] = {205, 257, 405, 207, 1006, 1005};
constexpr const char* kParamLabels[6] = {
    "Z&r:", "Z&i:", "&X-min.:", "X-&max.:", "&Y-min.:", "Y-m&ax.:"};
constexpr int kColorIds[16] = {215,  229,  1019, 1021, 221,  1059, 220,  1028,
                               1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036};
constexpr size_t kMaxPath = kImagePathSize - 1;

// The record keeps the path's own bytes (UTF-8): a longer one would be cut and name another
// file, so it is refused with a box, whether browsed or typed. The page owns the box, so that
// the keys come back to it once the box is answered, whichever window the closing chooser left
// active.
bool PathFits(QWidget& page, const QString& path) {
    if (path.toStdString().size() <= kMaxPath) return true;
    page.window()->raise();
    page.window()->activateWindow();
    const CMessageOwnerScope owner(&page);
    ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION, QString::number(kMaxPath));
    return false;
}

// The image folder and filter of the last Browse, for the run.
QString g_folder;
int g_filter = 1;

} // namespace

CFractalPropertiesDlg::CFractalPropertiesDlg(FractalSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Fractal Properties"));
    QWidget* body = AddFormWithOkCancel(*this);
    auto* grid = new QGridLayout(body);
    for (int i = 0; i < 6; ++i) {
        auto* label = new QLabel(QString::fromLatin1(kParamLabels[i]), body);
        edits_[i] = Named(new QLineEdit(body), kParamIds[i]);
        edits_[i]->setMaxLength(329);
        edits_[i]->setText(
            QString::fromStdString(FormatDouble(settings.params[i], &UserSeparators())));
        label->setBuddy(edits_[i]);
        grid->addWidget(label, i / 2, (i % 2) * 2);
        grid->addWidget(edits_[i], i / 2, (i % 2) * 2 + 1);
    }
    auto* table = new QGroupBox(QStringLiteral("Color table"), body);
    auto* tg = new QGridLayout(table);
    const COLORREF window = GetSystemColor(kColorWindow);
    for (int i = 0; i < 16; ++i) {
        colors_[i] = Named(new CColorCombo(table), kColorIds[i]);
        colors_[i]->Init(settings.colors[i], window, false);
        tg->addWidget(new QLabel(QStringLiteral("%1.").arg(i + 1), table), i / 4, (i % 4) * 2);
        tg->addWidget(colors_[i], i / 4, (i % 4) * 2 + 1);
    }
    grid->addWidget(table, 3, 0, 1, 4);
    auto* reset = Named(new QPushButton(QStringLiteral("Rese&t"), body), 408);
    grid->addWidget(reset, 4, 3);
    connect(reset, &QPushButton::clicked, this, [this] { OnReset(); });
}

void CFractalPropertiesDlg::OnReset() {
    const COLORREF window = GetSystemColor(kColorWindow);
    for (int i = 0; i < 16; ++i) colors_[i]->Init(ChartPaletteColor(i), window, false);
    for (int i = 0; i < 6; ++i)
        edits_[i]->setText(
            QString::fromStdString(FormatDouble(kDefaultParams[i], &UserSeparators())));
}

void CFractalPropertiesDlg::accept() {
    std::array<double, 6> read{};
    for (int i = 0; i < 6; ++i) {
        if (!ReadChartNumber(*edits_[i], read[i])) {
            UiServices().Beep();
            edits_[i]->setFocus();
            return;
        }
    }
    settings_.params = read;
    for (int i = 0; i < 16; ++i)
        if (colors_[i]->currentIndex() >= 0) settings_.colors[i] = colors_[i]->GetColor();
    QDialog::accept();
}

CContainerWindowPage::CContainerWindowPage(QWidget* parent) : CChartPage(parent) {
    auto* layout = new QGridLayout(this);
    auto* border = new QGroupBox(QStringLiteral("Border"), this);
    auto* bg = new QGridLayout(border);
    borderStyle_ = Named(new CLineStyleCombo(border), 215);
    borderColor_ = Named(new CColorCombo(border), 229);
    auto* styleLabel = new QLabel(QStringLiteral("&Style:"), border);
    styleLabel->setBuddy(borderStyle_);
    bg->addWidget(styleLabel, 0, 0);
    bg->addWidget(borderStyle_, 0, 1);
    bg->addWidget(borderColor_, 0, 2);
    auto* back = new QGroupBox(QStringLiteral("Background:"), this);
    auto* kg = new QGridLayout(back);
    pattern_ = Named(new QRadioButton(QStringLiteral("&Pattern:"), back), 400);
    image_ = Named(new QRadioButton(QStringLiteral("&Image:"), back), 189);
    fractalKind_ = Named(new QRadioButton(QStringLiteral("&Fractal:"), back), 282);
    auto* kinds = new QButtonGroup(this);
    for (QRadioButton* r : {pattern_, image_, fractalKind_}) kinds->addButton(r);
    fill_ = Named(new CPatternCombo(back), 1019);
    fillColor_ = Named(new CColorCombo(back), 1021);
    fillBackground_ = Named(new CColorCombo(back), 221);
    path_ = Named(new QLineEdit(back), 205);
    path_->setMaxLength(int(kMaxPath));
    auto* browse = Named(new QPushButton(QStringLiteral("&Browse..."), back), 410);
    mode_ = Named(new QComboBox(back), 1059);
    mode_->addItems({QStringLiteral("Original size"), QStringLiteral("Fit to window"),
                     QStringLiteral("Wallpaper")});
    mode_->setCurrentIndex(0);
    auto* options = Named(new QPushButton(QStringLiteral("&Options..."), back), 408);
    kg->addWidget(pattern_, 0, 0);
    kg->addWidget(fill_, 0, 1);
    kg->addWidget(fillColor_, 0, 2);
    kg->addWidget(fillBackground_, 0, 3);
    kg->addWidget(image_, 1, 0);
    kg->addWidget(path_, 1, 1, 1, 2);
    kg->addWidget(browse, 1, 3);
    kg->addWidget(mode_, 2, 1, 1, 2);
    kg->addWidget(fractalKind_, 3, 0);
    kg->addWidget(options, 3, 1);
    layout->addWidget(border, 0, 0);
    layout->addWidget(back, 1, 0);
    layout->setRowStretch(2, 1);
    pattern_->setChecked(true);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowseImage(); });
    connect(options, &QPushButton::clicked, this, [this] { OnFractalProperties(); });
}

void CContainerWindowPage::OnBrowseImage() {
    const QString start = path_->text().isEmpty() ? g_folder : path_->text().left(256);
    std::size_t count = 0;
    const FileFilter* images = ImageFilters(count);
    CFileDlg dialog(true, QStringLiteral("Select Background Image"), QString(), QString(),
                    QtFilterList(images, count), g_filter, start, this);
    if (dialog.DoModal() != IDOK) return;
    const QString chosen = dialog.GetFileName();
    if (!PathFits(*this, chosen)) return;
    g_filter = dialog.FilterIndex();
    g_folder = dialog.GetDirectory();
    path_->setText(chosen);
}

void CContainerWindowPage::OnFractalProperties() {
    CFractalPropertiesDlg dlg(fractal_, this);
    UiServices().RunDialog(dlg);
}

bool CContainerWindowPage::Exchange(bool save, CContainer& container) {
    BorderLine& border = container.settings.border;
    BackgroundRecord& b = container.settings.background;
    if (save) {
        const std::string path = path_->text().toStdString(); // its bytes, whole
        if (!PathFits(*this, path_->text())) {
            path_->setFocus();
            return false;
        }
        GetLineFormatFromCombos(*borderStyle_, *borderColor_, border);
        GetFillFormatFromCombos(*fill_, *fillColor_, *fillBackground_, b.pattern);
        std::memcpy(b.imagePath, path.c_str(), path.size() + 1);
        const int mode = mode_->currentIndex();
        b.imageView = uint8_t(mode >= 0 && mode <= 2 ? mode : 0);
        b.zr = fractal_.params[0];
        b.zi = fractal_.params[1];
        b.minX = fractal_.params[2];
        b.maxX = fractal_.params[3];
        b.minY = fractal_.params[4];
        b.maxY = fractal_.params[5];
        std::copy(fractal_.colors.begin(), fractal_.colors.end(), b.fractalColors);
        if (pattern_->isChecked())
            b.kind = kBackgroundPattern;
        else if (image_->isChecked())
            b.kind = kBackgroundImage;
        else if (fractalKind_->isChecked())
            b.kind = kBackgroundFractal;
        return true;
    }
    const COLORREF text = GetSystemColor(kColorWindowText);
    const COLORREF window = GetSystemColor(kColorWindow);
    borderStyle_->Init(border.style, false);
    borderColor_->Init(border.colorGiven ? border.color : text, text, !border.colorGiven);
    const InteriorFill& f = b.pattern;
    fill_->Init(f.pattern, true, true);
    fillColor_->Init(f.patternColorGiven ? f.patternColor : window, window, !f.patternColorGiven);
    fillBackground_->Init(f.backgroundColorGiven ? f.backgroundColor : window, window,
                          !f.backgroundColorGiven);
    path_->setText(QString::fromStdString(b.imagePath));
    mode_->setCurrentIndex(b.imageView <= 2 ? b.imageView : 0);
    fractal_.params = {b.zr, b.zi, b.minX, b.maxX, b.minY, b.maxY};
    std::copy(std::begin(b.fractalColors), std::end(b.fractalColors), fractal_.colors.begin());
    if (b.kind == kBackgroundImage)
        image_->setChecked(true);
    else if (b.kind == kBackgroundFractal)
        fractalKind_->setChecked(true);
    else
        pattern_->setChecked(true);
    return true;
}

} // namespace vl
