#pragma once
// The UI services of the program with the dialogs added: the choosers, the wait for a held
// file, the password, the text-file and xBase options, Options, Protection, Sort, Statistics
// and Zoom. Everything else goes to `base`.

#include "ui/uiservices.h"

#include <QPointer>

namespace vl {

class CZoomDlg;

class CDialogUiServices : public IUiServices {
public:
    explicit CDialogUiServices(IUiServices& base);
    ~CDialogUiServices() override;
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override;
    QString GetOpenFileName(const QString& caption, const QString& folder,
                            const QString& filter) override;
    QString GetSaveFileName(const QString& caption, const QString& folder,
                            const QString& filter) override;
    void Beep() override;
    void SetWaitCursor(bool on) override;
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override;
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override;
    QString ChooseFolder(const QString& title, const QString& start) override;
    int WaitForFile(const QString& path, const IClock& clock,
                    const std::function<bool()>& retry) override;
    int AskPassword(bool readOnlyOffered, QString& password, bool& readOnly) override;
    int TextFileDialog(TextFileSettings& settings, bool save) override;
    int XBaseDialog(XBaseSaveOptions& options, const QString& path, bool save) override;
    bool ChooseColor(uint32_t& color, uint32_t customColors[16]) override;
    bool ChooseFontWithColor(LogFont& font, uint32_t& color, int minPoints, int maxPoints) override;
    int RunDialog(QDialog& dialog) override;
    int AskBookmarkName(QString& name) override;
    int ChangeSizeDialog(QWidget* parent, bool columnWidth, int& value) override;
    bool HasChangeSizeDialog() const override { return true; }
    int SortDialog(SortSettings& settings) override;
    bool HasSortDialog() const override { return true; }
    int OptionsDialog(QWidget* parent) override;
    bool HasOptionsDialog() const override { return true; }
    int ProtectionDialog(QWidget* parent, ProtectionChoice& choice) override;
    bool HasProtectionDialog() const override { return true; }
    int StatisticsDialog(QWidget* parent, CWorkbook& book, const CellRange& selection) override;
    bool HasStatisticsDialog() const override { return true; }
    // One pop-up at a time: a new one replaces the one still open.
    bool ZoomDialog(QWidget* owner, const QPoint& at, uint16_t zoom,
                    const std::function<void(uint16_t, bool)>& apply) override;
    bool HasZoomDialog() const override { return true; }
    CZoomDlg* OpenZoomDialog() const;

private:
    IUiServices& base_;
    QPointer<CZoomDlg> zoom_;
    bool zoomAllWorksheets_ = false; // the Zoom pop-up's "All worksheets", kept between openings
    QPointer<QObject> filters_[2];   // the key filters these services put in place
};

} // namespace vl
