#include "dialogs/optionsdlg.h"

#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "dialogs/numberedit.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"
#include "ui_optionsdlg.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QRegularExpression>
#include <cstring>

namespace vl {

const int kAutoMinutes[12] = {0, 1, 2, 3, 5, 10, 15, 20, 25, 30, 45, 60};

namespace {

struct Bounds {
    int minimum;
    int maximum;
};
constexpr Bounds kUndo{2, 200};
constexpr Bounds kCopy{1, 16};
constexpr Bounds kOpacity{10, 100};

void FillMinutes(QComboBox* list, int setting) {
    list->addItem(QStringLiteral("Never"));
    int chosen = 0;
    for (int i = 1; i < int(std::size(kAutoMinutes)); ++i) {
        const int m = kAutoMinutes[i];
        QString text = QStringLiteral("After %1 %2").arg(m).arg(m == 1 ? "min" : "mins");
        if (i == 1) text += QStringLiteral(" (of inactivity)");
        list->addItem(text);
        if (m <= setting) chosen = i;
    }
    list->setCurrentIndex(chosen);
}

QString FaceText(const char* face) {
    return QString::fromStdString(Cp1252ToUtf8(face));
}

bool ReadBounded(CNumberEdit* edit, Bounds b, int& value) {
    int64_t v = 0;
    if (!ReadWholeNumber(*edit, v) || v < b.minimum || v > b.maximum) {
        RefuseInput(edit);
        return false;
    }
    value = int(v);
    return true;
}

} // namespace

COptionsDlg::COptionsDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OptionsDialog>()) {
    ui_->setupUi(this);
    ui_->id205->SetInteger(kUndo.minimum, kUndo.maximum);
    ui_->id257->SetInteger(kCopy.minimum, kCopy.maximum);
    ui_->id207->SetInteger(kOpacity.minimum, kOpacity.maximum);
    AttachUpDown(ui_->id369, ui_->id205);
    AttachUpDown(ui_->id370, ui_->id257);
    AttachUpDown(ui_->id1008, ui_->id207);
    Fill();
    connect(ui_->id207, &QLineEdit::textChanged, this, &COptionsDlg::PreviewOpacity);
    connect(ui_->id408, &QPushButton::clicked, this, &COptionsDlg::Browse);
    connect(ui_->id1, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->id9, &QPushButton::clicked, this, [] {
        if (CFormatPage::showHelp) CFormatPage::showHelp(kHelpTopic);
    });
    ui_->id1->setDefault(true);
    // The first field is typed over, as in the other dialogs.
    ui_->id205->selectAll();
}

COptionsDlg::~COptionsDlg() = default;

void COptionsDlg::Fill() {
    const SettingsProfile& p = Profile();
    ui_->id216->setChecked(!p.addressingA1);
    ui_->id1001->setChecked(p.hideCellMarkers);
    ui_->id218->setChecked(p.showFormulas);
    ui_->id1007->setChecked(p.autoFormatting);
    ui_->id205->setText(QString::number(p.undoLevel));
    ui_->id257->setText(QString::number(p.copyLevel));
    ui_->id207->setText(QString::number(p.opacity));
    FillMinutes(ui_->id215, p.autoSave);
    FillMinutes(ui_->id1059, p.autoClose);
    ui_->id229->setCurrentIndex(p.updateMode >= 1 && p.updateMode <= 4 ? p.updateMode - 1 : -1);
    ui_->id1019->setCurrentIndex(p.fileFormat >= 1 && p.fileFormat <= 4 ? p.fileFormat - 1 : 0);
    ui_->id1021->setCurrentIndex(p.whenEnterPressed <= 4 ? p.whenEnterPressed : -1);
    ui_->id405->setText(QString::fromStdString(p.folder));
    // Every family once, names compared without case.
    QStringList seen;
    for (const QString& family : QFontDatabase::families()) {
        if (!HoldsFaceName(family) || seen.contains(family, Qt::CaseInsensitive)) continue;
        seen << family;
        ui_->id221->addItem(family);
    }
    const QString face = FaceText(p.font.faceName);
    int at = int(seen.indexOf(QRegularExpression("^" + QRegularExpression::escape(face) + "$",
                                                 QRegularExpression::CaseInsensitiveOption)));
    // A profile font the screen lacks (drawn with a stand-in) still shows, and OK keeps it.
    if (at < 0 && !face.isEmpty()) {
        ui_->id221->insertItem(0, face);
        at = 0;
    }
    ui_->id221->setCurrentIndex(at);
    for (const QComboBox* list :
         {ui_->id215, ui_->id1059, ui_->id229, ui_->id1019, ui_->id1021, ui_->id221})
        shown_.emplace_back(list, list->currentIndex());
    ApplyProfileOpacity(this);
}

bool COptionsDlg::Picked(const QComboBox* list) const {
    for (const auto& [shown, index] : shown_)
        if (shown == list) return list->currentIndex() != index;
    return true;
}

void COptionsDlg::PreviewOpacity() {
    if (!isVisible() || !ui_->id207->hasFocus()) return;
    int64_t percent = 0;
    if (ReadWholeNumber(*ui_->id207, percent) && percent >= kOpacity.minimum &&
        percent <= kOpacity.maximum)
        SetWindowOpacity(this, int(percent));
}

void COptionsDlg::Browse() {
    const QString chosen =
        UiServices().ChooseFolder(QStringLiteral("Default Folder"), ui_->id405->text());
    if (!chosen.isEmpty()) ui_->id405->setText(chosen);
}

void COptionsDlg::accept() {
    int undo = 0, copy = 0, opacity = 0;
    if (!ReadBounded(ui_->id205, kUndo, undo) || !ReadBounded(ui_->id257, kCopy, copy) ||
        !ReadBounded(ui_->id207, kOpacity, opacity))
        return;
    // A folder is the system's bytes (UTF-8 here), kept whole; its field holds 255 of them.
    const std::string folder = ui_->id405->text().toStdString();
    if (folder.size() > std::size_t(kLongestFolder)) {
        ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION,
                          QString::number(kLongestFolder));
        ui_->id405->setFocus();
        return;
    }
    SettingsProfile& p = Profile();
    p.undoLevel = uint8_t(undo);
    p.copyLevel = uint8_t(copy);
    p.opacity = uint8_t(opacity);
    p.addressingA1 = ui_->id216->isChecked() ? 0 : 1;
    p.showFormulas = ui_->id218->isChecked() ? 1 : 0;
    p.hideCellMarkers = ui_->id1001->isChecked() ? 1 : 0;
    p.autoFormatting = ui_->id1007->isChecked() ? 1 : 0;
    if (ui_->id215->currentIndex() >= 0 && Picked(ui_->id215))
        p.autoSave = uint8_t(kAutoMinutes[ui_->id215->currentIndex()]);
    if (ui_->id1059->currentIndex() >= 0 && Picked(ui_->id1059))
        p.autoClose = uint8_t(kAutoMinutes[ui_->id1059->currentIndex()]);
    if (Picked(ui_->id229)) p.updateMode = uint8_t(std::max(ui_->id229->currentIndex(), 0) + 1);
    if (Picked(ui_->id1019)) p.fileFormat = uint8_t(std::max(ui_->id1019->currentIndex(), 0) + 1);
    if (Picked(ui_->id1021)) p.whenEnterPressed = uint8_t(std::max(ui_->id1021->currentIndex(), 0));
    p.folder = folder;
    if (ui_->id221->currentIndex() >= 0 && Picked(ui_->id221)) {
        const std::string face = Utf8ToCp1252(ui_->id221->currentText().toStdString());
        std::memset(p.font.faceName, 0, sizeof p.font.faceName);
        std::memcpy(p.font.faceName, face.data(),
                    std::min(face.size(), sizeof p.font.faceName - 1));
    }
    QDialog::accept();
}

} // namespace vl
