#include "dialogs/backgroundpage.h"

#include "dialogs/filedlg.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui/messageowner.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui_backgroundpage.h"

#include <cstring>

namespace vl {

namespace {

struct {
    bool filled = false;
    ViewSettingsRecord record;
} g_clipboard;

// The folder and filter of the last Browse, kept for the next.
QString g_browseFolder;
int g_browseFilter = 1;

constexpr size_t kMaxPath = kImagePathSize - 1;

// A cut path would name another file: a longer one is refused with a box that the page owns,
// so that the keys come back to the page once it is answered.
bool PathFits(QWidget& page, const std::string& path) {
    if (path.size() <= kMaxPath) return true;
    page.raise();
    page.activateWindow();
    const CMessageOwnerScope owner(&page);
    ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION, QString::number(kMaxPath));
    return false;
}

} // namespace

CBackgroundPage::CBackgroundPage(QWidget* parent, const ViewSettingsRecord& view,
                                 ApplyBackgroundFn apply)
    : CFormatPage(parent, kCommand, 13), ui_(std::make_unique<Ui::BackgroundPage>()), record_(view),
      apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    for (QRadioButton* radio : {ui_->id400, ui_->id189})
        connect(radio, &QRadioButton::clicked, this, [this] { Change(); });
    connect(ui_->id216, &QCheckBox::clicked, this, [this] { Change(); });
    for (QComboBox* combo :
         {static_cast<QComboBox*>(ui_->id215), static_cast<QComboBox*>(ui_->id229),
          static_cast<QComboBox*>(ui_->id1019), ui_->id1021, static_cast<QComboBox*>(ui_->id221)})
        connect(combo, &QComboBox::activated, this, [this] { Change(); });
    for (CColorCombo* combo : {ui_->id229, ui_->id1019, ui_->id221})
        combo->onCustomChosen = [this] { Change(); };
    connect(ui_->id205, &QLineEdit::textEdited, this, [this] { Change(); });
    connect(ui_->id408, &QPushButton::clicked, this, [this] { Browse(); });
    Fill();
}

CBackgroundPage::~CBackgroundPage() = default;

void CBackgroundPage::Fill() {
    const BackgroundRecord& b = record_.background;
    ui_->id400->setChecked(b.kind != kBackgroundImage);
    ui_->id189->setChecked(b.kind == kBackgroundImage);
    ui_->id205->setText(QString::fromStdString(b.imagePath)); // the system's bytes
    ui_->id1021->setCurrentIndex(b.imageView <= 2 ? b.imageView : -1);
    const COLORREF window = GetSystemColor(kColorWindow);
    const InteriorFill& f = b.pattern;
    ui_->id215->Init(f.pattern, true, true);
    ui_->id229->Init(f.patternColorGiven ? f.patternColor : window, window, !f.patternColorGiven);
    ui_->id1019->Init(f.backgroundColorGiven ? f.backgroundColor : window, window,
                      !f.backgroundColorGiven);
    ui_->id216->setChecked(record_.showGrid != 0);
    const COLORREF face = GetSystemColor(kColorButtonFace);
    ui_->id221->Init(record_.gridColorGiven ? record_.gridColor : face, face,
                     !record_.gridColorGiven);
}

bool CBackgroundPage::Read() {
    const std::string path = ui_->id205->text().toStdString(); // kept whole
    if (!PathFits(*this, path)) return false;
    BackgroundRecord& b = record_.background;
    GetFillFormatFromCombos(*ui_->id215, *ui_->id229, *ui_->id1019, b.pattern);
    if (ui_->id189->isChecked())
        b.kind = kBackgroundImage;
    else
        b.kind = b.pattern.pattern == FORMAT_PAT_NONE ? 0 : kBackgroundPattern;
    std::memset(b.imagePath, 0, sizeof b.imagePath);
    std::memcpy(b.imagePath, path.data(), path.size());
    if (ui_->id1021->currentIndex() >= 0) b.imageView = uint8_t(ui_->id1021->currentIndex());
    record_.showGrid = ui_->id216->isChecked() ? 1 : 0;
    record_.gridColorGiven = ui_->id221->IsDefault() ? 0 : 1;
    record_.gridColor = ui_->id221->GetColor();
    return true;
}

void CBackgroundPage::Change() {
    if (Read() && apply_) apply_(record_);
}

void CBackgroundPage::Browse() {
    const QString start = ui_->id205->text().isEmpty() ? g_browseFolder : ui_->id205->text();
    std::size_t count = 0;
    const FileFilter* images = ImageFilters(count);
    CFileDlg dialog(true, "Select Background Image", QString(), QString(),
                    QtFilterList(images, count), g_browseFilter, start, this);
    if (dialog.DoModal() != IDOK) return;
    const QString chosen = dialog.GetFileName();
    if (!PathFits(*this, chosen.toStdString())) return;
    g_browseFilter = dialog.FilterIndex();
    g_browseFolder = dialog.GetDirectory();
    ui_->id205->setText(chosen);
    Change();
}

void CBackgroundPage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.record = record_;
}

void CBackgroundPage::OnPaste() {
    record_ = g_clipboard.record;
    Fill();
    if (apply_) apply_(record_);
}

bool CBackgroundPage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
