#include "dialogs/fontdialog.h"

#include "dialogs/combos.h"
#include "dialogs/dialogutil.h"
#include "platform/core/cp1252.h"
#include "ui/uiutil.h"
#include "ui_fontdialog.h"

#include <QEventLoop>
#include <QFontDatabase>
#include <QPointer>

namespace vl {

namespace {

constexpr int kDpi = 96;

QString FromCp1252(const char* text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

} // namespace

CFontColorDlg::CFontColorDlg(QWidget* parent, int minPoints, int maxPoints)
    : QDialog(parent), ui_(std::make_unique<Ui::FontColorDialog>()), minPoints_(minPoints),
      maxPoints_(maxPoints) {
    ui_->setupUi(this);
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isSmoothlyScalable(family) && HoldsFaceName(family))
            ui_->faces->addItem(family);
    static const int kSizes[] = {4,  5,  6,  7,  8,  9,  10, 11, 12, 14,
                                 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    for (int points : kSizes)
        if (points >= minPoints && points <= maxPoints)
            ui_->sizes->addItem(QString::number(points));
    const COLORREF windowText = GetSystemColor(kColorWindowText);
    ui_->color->Init(windowText, windowText, false);
    OnRowPicked(*ui_->sizes, this,
                [this](int row) { ui_->size->setText(ui_->sizes->item(row)->text()); });
    connect(ui_->buttons, &QDialogButtonBox::accepted, this, &CFontColorDlg::accept);
    connect(ui_->buttons, &QDialogButtonBox::rejected, this, &CFontColorDlg::reject);
    for (QCheckBox* box : {ui_->bold, ui_->italic, ui_->underline, ui_->strikeout})
        connect(box, &QCheckBox::toggled, this, [this] { ShowSample(); });
    OnRowPicked(*ui_->faces, this, [this](int) { ShowSample(); });
    connect(ui_->size, &QLineEdit::textChanged, this, [this] { ShowSample(); });
}

CFontColorDlg::~CFontColorDlg() = default;

void CFontColorDlg::SetChoice(const LogFont& font, COLORREF color) {
    const QString face = FromCp1252(font.faceName);
    ui_->faces->setCurrentRow(-1);
    for (int i = 0; i < ui_->faces->count(); ++i) {
        if (ui_->faces->item(i)->text().compare(face, Qt::CaseInsensitive) == 0) {
            ui_->faces->setCurrentRow(i);
            break;
        }
    }
    const int points = font.height < 0 ? (-font.height * 72 + kDpi / 2) / kDpi : font.height;
    ui_->size->setText(QString::number(points));
    ui_->bold->setChecked(font.weight >= 600);
    ui_->italic->setChecked(font.italic != 0);
    ui_->underline->setChecked(font.underline != 0);
    ui_->strikeout->setChecked(font.strikeOut != 0);
    ui_->color->Init(color, GetSystemColor(kColorWindowText), false);
    ShowSample();
}

bool CFontColorDlg::ReadSize(int& points) const {
    bool ok = false;
    points = ui_->size->text().trimmed().toInt(&ok);
    return ok && points >= minPoints_ && points <= maxPoints_;
}

bool CFontColorDlg::Choice(LogFont& font, COLORREF& color) const {
    int points = 0;
    if (!ReadSize(points)) return false;
    font.height = -(points * kDpi + 36) / 72;
    font.weight = ui_->bold->isChecked() ? 700 : 400;
    font.italic = ui_->italic->isChecked() ? 1 : 0;
    font.underline = ui_->underline->isChecked() ? 1 : 0;
    font.strikeOut = ui_->strikeout->isChecked() ? 1 : 0;
    // A face not installed stays as it is until the user picks one.
    if (const int row = PickedRow(*ui_->faces); row >= 0) {
        const std::string face = Utf8ToCp1252(ui_->faces->item(row)->text().toStdString());
        const size_t n = std::min(face.size(), size_t(kFaceNameSize - 1));
        std::fill(std::begin(font.faceName), std::end(font.faceName), '\0');
        std::copy_n(face.data(), n, font.faceName);
    }
    color = ui_->color->GetColor();
    return true;
}

void CFontColorDlg::accept() {
    int points = 0;
    if (!ReadSize(points)) {
        UiServices().MessageBox(
            QString("Size must be between %1 and %2 points.").arg(minPoints_).arg(maxPoints_),
            windowTitle(), MB_OK | MB_ICONEXCLAMATION);
        ui_->size->setFocus();
        return;
    }
    QDialog::accept();
}

void CFontColorDlg::ShowSample() {
    QFont sample;
    if (const int row = PickedRow(*ui_->faces); row >= 0)
        sample.setFamily(ui_->faces->item(row)->text());
    int points = 0;
    if (ReadSize(points)) sample.setPointSize(points);
    sample.setBold(ui_->bold->isChecked());
    sample.setItalic(ui_->italic->isChecked());
    sample.setUnderline(ui_->underline->isChecked());
    sample.setStrikeOut(ui_->strikeout->isChecked());
    ui_->sample->setFont(sample);
}

void KeepChangedFont(FontRecord& record, const LogFont& before, const LogFont& after) {
    FontRecord chosen = record;
    LogFontToStyleFont(chosen, after);
    FontRecord given = record;
    LogFontToStyleFont(given, before);
    if (QString::fromLatin1(after.faceName)
            .compare(QString::fromLatin1(before.faceName), Qt::CaseInsensitive) != 0)
        std::copy(std::begin(chosen.faceName), std::end(chosen.faceName), record.faceName);
    if (chosen.size != given.size) record.size = chosen.size;
    // The chooser knows bold or not: a thin or heavy weight left unticked stays as it was.
    if ((after.weight >= 600) != (before.weight >= 600)) record.weight = chosen.weight;
    if (after.italic != before.italic) record.italic = chosen.italic;
    if (after.underline != before.underline) record.underline = chosen.underline;
    if (after.strikeOut != before.strikeOut) record.strikeout = chosen.strikeout;
}

bool EditChartFont(ColoredFont& record) {
    LogFont font;
    StyleFontToLogFont(record.font, font);
    const COLORREF windowText = GetSystemColor(kColorWindowText);
    uint32_t color = record.colorGiven ? record.color : windowText;
    const LogFont before = font;
    if (!UiServices().ChooseFontWithColor(font, color, 4, 72)) return false;
    KeepChangedFont(record.font, before, font);
    record.colorGiven = color == windowText ? 0 : 1;
    record.color = color;
    return true;
}

} // namespace vl
