#include "dialogs/fontpage.h"

#include "dialogs/dialogutil.h"
#include "platform/core/cp1252.h"
#include "ui_fontpage.h"

#include <QFontDatabase>
#include <cstring>

namespace vl {

namespace {

constexpr int kSizes[] = {6, 8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

struct {
    bool filled = false;
    ColoredFont record;
} g_clipboard;

} // namespace

QStringList CFontPage::Faces() {
    QStringList faces;
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isSmoothlyScalable(family) && HoldsFaceName(family) &&
            !faces.contains(family, Qt::CaseInsensitive))
            faces << family;
    std::stable_sort(faces.begin(), faces.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return faces;
}

CFontPage::CFontPage(QWidget* parent, const ColoredFont& font, ApplyFontFn apply)
    : CFormatPage(parent, kCommand, 8), ui_(std::make_unique<Ui::FontPage>()), record_(font),
      apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    ui_->id1020->addItems(Faces());
    for (int size : kSizes) ui_->id1058->addItem(QString::number(size));
    ui_->id215->Init(0, GetSystemColor(kColorWindowText), true);
    OnRowPicked(*ui_->id1020, this, [this](int) { Change(4); });
    OnRowPicked(*ui_->id1058, this, [this](int) { Change(3); });
    connect(ui_->id216, &QCheckBox::clicked, this, [this] { Change(6); });
    connect(ui_->id218, &QCheckBox::clicked, this, [this] { Change(7); });
    connect(ui_->id1001, &QCheckBox::clicked, this, [this] { Change(8); });
    connect(ui_->id1007, &QCheckBox::clicked, this, [this] { Change(9); });
    connect(ui_->id215, &QComboBox::activated, this, [this] { Change(11); });
    ui_->id215->onCustomChosen = [this] { Change(11); };
    connect(ui_->id408, &QPushButton::clicked, this, [this] {
        SetDefaultFont(record_.font);
        record_.colorGiven = 0;
        record_.color = GetSystemColor(kColorWindowText);
        Fill();
        if (apply_) apply_(record_, 10);
    });
    Fill();
}

CFontPage::~CFontPage() = default;

void CFontPage::Fill() {
    filling_ = true;
    ui_->id1020->setCurrentRow(-1);
    ui_->id1058->setCurrentRow(-1);
    // The face by its whole name: a prefix would take another family for a missing one.
    const QString face = QString::fromStdString(Cp1252ToUtf8(record_.font.faceName));
    if (!face.isEmpty()) {
        for (int i = 0; i < ui_->id1020->count(); ++i) {
            if (ui_->id1020->item(i)->text().compare(face, Qt::CaseInsensitive) == 0) {
                ui_->id1020->setCurrentRow(i);
                break;
            }
        }
    }
    for (size_t i = 0; i < std::size(kSizes); ++i)
        if (kSizes[i] == record_.font.size) ui_->id1058->setCurrentRow(int(i));
    ui_->id216->setChecked(record_.font.weight == 2);
    ui_->id218->setChecked(record_.font.italic != 0);
    ui_->id1001->setChecked(record_.font.underline != 0);
    ui_->id1007->setChecked(record_.font.strikeout != 0);
    const COLORREF windowText = GetSystemColor(kColorWindowText);
    ui_->id215->Init(record_.colorGiven ? record_.color : windowText, windowText,
                     record_.colorGiven == 0);
    filling_ = false;
}

void CFontPage::Read() {
    // A face or size not offered stays as it is until the user picks one.
    if (const int row = PickedRow(*ui_->id1020); row >= 0) {
        const std::string face = Utf8ToCp1252(ui_->id1020->item(row)->text().toStdString());
        std::memset(record_.font.faceName, 0, sizeof record_.font.faceName);
        std::memcpy(record_.font.faceName, face.data(),
                    std::min(face.size(), sizeof record_.font.faceName - 1));
    }
    if (const int row = PickedRow(*ui_->id1058); row >= 0) record_.font.size = uint8_t(kSizes[row]);
    record_.font.weight = ui_->id216->isChecked() ? 2 : 0;
    record_.font.italic = ui_->id218->isChecked() ? 1 : 0;
    record_.font.underline = ui_->id1001->isChecked() ? 1 : 0;
    record_.font.strikeout = ui_->id1007->isChecked() ? 1 : 0;
    record_.colorGiven = ui_->id215->IsDefault() ? 0 : 1;
    record_.color = ui_->id215->GetColor();
}

void CFontPage::Change(uint8_t code) {
    if (filling_) return;
    Read();
    if (apply_) apply_(record_, code);
}

void CFontPage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.record = record_;
}

void CFontPage::OnPaste() {
    record_ = g_clipboard.record;
    Fill();
    if (apply_) apply_(record_, 10);
}

bool CFontPage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
