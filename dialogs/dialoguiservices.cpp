#include "dialogs/dialoguiservices.h"

#include "dialogs/dialogutil.h"
#include "dialogs/fontdialog.h"
#include "dialogs/openwaitdlg.h"
#include "dialogs/optionsdlg.h"
#include "dialogs/protectiondlg.h"
#include "dialogs/sortdlg.h"
#include "dialogs/statisticsdlg.h"
#include "dialogs/textfiledlg.h"
#include "dialogs/xbasedlg.h"
#include "dialogs/zoomdlg.h"
#include "ui/uiutil.h"
#include "ui_zoomdlg.h"

#include <QEventLoop>
#include <QPointer>

namespace vl {

CDialogUiServices::~CDialogUiServices() {
    delete zoom_.data();
    // The keys of the dialogs go back to what they were before these services.
    for (const QPointer<QObject>& filter : filters_) delete filter.data();
}

CDialogUiServices::CDialogUiServices(IUiServices& base)
    : base_(base), filters_{ButtonsAtOnceByLetter(), MoveOptionsByArrows()} {}

CZoomDlg* CDialogUiServices::OpenZoomDialog() const {
    return zoom_.data();
}

int CDialogUiServices::MessageBox(const QString& text, const QString& title, uint32_t flags) {
    return base_.MessageBox(text, title, flags);
}
QString CDialogUiServices::GetOpenFileName(const QString& caption, const QString& folder,
                                           const QString& filter) {
    return base_.GetOpenFileName(caption, folder, filter);
}
QString CDialogUiServices::GetSaveFileName(const QString& caption, const QString& folder,
                                           const QString& filter) {
    return base_.GetSaveFileName(caption, folder, filter);
}
void CDialogUiServices::Beep() {
    base_.Beep();
}
void CDialogUiServices::SetWaitCursor(bool on) {
    base_.SetWaitCursor(on);
}
QString CDialogUiServices::ChooseOpenFile(const QString& caption, const QString& folder,
                                          const QString& filters, int& index) {
    return base_.ChooseOpenFile(caption, folder, filters, index);
}
QString CDialogUiServices::ChooseSaveFile(const QString& caption, const QString& folder,
                                          const QString& filters, int& index) {
    return base_.ChooseSaveFile(caption, folder, filters, index);
}
QString CDialogUiServices::ChooseFolder(const QString& title, const QString& start) {
    return base_.ChooseFolder(title, start);
}
int CDialogUiServices::AskBookmarkName(QString& name) {
    return base_.AskBookmarkName(name);
}
int CDialogUiServices::RunDialog(QDialog& dialog) {
    return base_.RunDialog(dialog);
}
bool CDialogUiServices::ChooseColor(uint32_t& color, uint32_t customColors[16]) {
    return base_.ChooseColor(color, customColors);
}

int CDialogUiServices::WaitForFile(const QString& path, const IClock& clock,
                                   const std::function<bool()>& retry) {
    COpenWaitDlg dialog(MessageOwner(), path, clock, retry);
    return RunModal(dialog);
}

int CDialogUiServices::AskPassword(bool readOnlyOffered, QString& password, bool& readOnly) {
    CPasswordDlg dialog(MessageOwner(), readOnlyOffered);
    readOnly = false;
    if (RunModal(dialog) != IDOK) return IDCANCEL;
    readOnly = dialog.ReadOnlyChosen();
    if (!readOnly) password = dialog.Password();
    return IDOK;
}

int CDialogUiServices::TextFileDialog(TextFileSettings& settings, bool save) {
    CTextFileDlg dialog(MessageOwner(), settings, save);
    return RunModal(dialog);
}

int CDialogUiServices::XBaseDialog(XBaseSaveOptions& options, const QString& path, bool save) {
    CXBaseDlg dialog(MessageOwner(), options, path, save ? CXBaseDlg::kSave : CXBaseDlg::kOpen);
    return RunModal(dialog);
}

int CDialogUiServices::SortDialog(SortSettings& settings) {
    CSortDlg dialog(MessageOwner(), settings);
    return RunModal(dialog);
}

int CDialogUiServices::OptionsDialog(QWidget* parent) {
    COptionsDlg dialog(parent ? parent : MessageOwner());
    return RunModal(dialog);
}

int CDialogUiServices::ProtectionDialog(QWidget* parent, ProtectionChoice& choice) {
    CProtectionDlg dialog(parent ? parent : MessageOwner(), choice);
    return RunModal(dialog);
}

int CDialogUiServices::StatisticsDialog(QWidget* parent, CWorkbook& book,
                                        const CellRange& selection) {
    CStatisticsDlg dialog(parent ? parent : MessageOwner(), book, selection);
    return RunModal(dialog);
}

bool CDialogUiServices::ZoomDialog(QWidget* owner, const QPoint& at, uint16_t zoom,
                                   const std::function<void(uint16_t, bool)>& apply) {
    delete zoom_.data();
    // The flag outlives each pop-up: the next one opens ticked as the last move left it.
    zoom_ = new CZoomDlg(
        owner, zoom, at,
        [this, apply](uint16_t percent, bool all) {
            zoomAllWorksheets_ = all;
            if (apply) apply(percent, all);
        },
        zoomAllWorksheets_);
    // Opened by keys or by a click, the slider takes the keyboard: arrows move it, Escape
    // closes it.
    ShowTakingKeyboard(*zoom_, zoom_->Form().id411);
    return true;
}

bool CDialogUiServices::ChooseFontWithColor(LogFont& font, uint32_t& color, int minPoints,
                                            int maxPoints) {
    QPointer<CFontColorDlg> dialog = new CFontColorDlg(MessageOwner(), minPoints, maxPoints);
    dialog->SetChoice(font, color);
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->open();
    loop.exec();
    bool chosen = dialog && dialog->result() == QDialog::Accepted;
    if (chosen) chosen = dialog->Choice(font, color);
    delete dialog;
    return chosen;
}

} // namespace vl
