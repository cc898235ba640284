#pragma once
// The print property sheet: the General, Layout and Content pages over a worksheet's page
// settings and a working copy of the chosen printer. Print shows all three pages, Page
// Setup the last two; each mode reopens on the page that was last active in it.

#include "model/sheetsettings.h"
#include "print/printerservice.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QLocale;
class QPushButton;
class QTabWidget;

namespace vl {

class CNumberEdit;
class CUpDown;
class CPrintSheet;
class CPrintGeneralPage;
class CPrintLayoutPage;
class CPrintContentPage;

// What every page of the sheet answers: its controls read and checked when it is left or
// applied, and the sheet told of every change.
class CPrintPage : public QWidget {
public:
    explicit CPrintPage(CPrintSheet& sheet);
    // Moves the page's values into its controls, or back (false after a beep at a control
    // that does not hold an integer).
    virtual bool Exchange(bool save) = 0;
    virtual bool Validate() = 0;
    virtual void Load(const PageSetupRecord& record) = 0;
    virtual void Store(PageSetupRecord& record) const = 0;

    void OnSetActive();
    // False keeps the page up.
    bool OnKillActive();
    // Sets the sheet's applied flag to the outcome.
    bool OnApply();
    void OnQueryCancel();
    bool Visited() const { return visited_; }
    // Gives the focus to the control the last refusal named, once the page is shown again.
    void FocusRefused();
    // The control the last refusal named.
    QWidget* RefusedControl() const { return refused_; }

protected:
    // Tells the sheet the page changed, unless the controls are being filled.
    void Changed();
    // Beeps, shows string `id` with its arguments, focuses `control`; false.
    bool Refuse(QWidget* control, int id, const QString& first = QString(),
                const QString& second = QString());
    // Reads an unsigned integer, beeping and focusing the control when it holds none.
    bool ReadUnsigned(QWidget* control, const QString& text, uint32_t& value);
    CPrintSheet& sheet_;
    bool filling_ = false;

private:
    bool visited_ = false;
    QWidget* refused_ = nullptr;
};

class CPrintSheet : public QDialog {
public:
    CPrintSheet(QWidget* owner, bool pageSetupMode, bool inches, const IPrinterService& printers,
                const QString& caption);
    ~CPrintSheet() override;

    // The page each mode opens on; both 0 when the program starts.
    static int& StartPage(bool pageSetupMode);

    void SetPrinter(const DeviceMode& mode) { mode_ = mode; }
    DeviceMode& Printer() { return mode_; }
    const IPrinterService& Printers() const { return printers_; }
    bool PageSetupMode() const { return pageSetupMode_; }
    bool Inches() const { return inches_; }

    // The record into the pages, and the pages back into a record and the printer's mode.
    void LoadPageSettings(const PageSetupRecord& record);
    void StorePageSettings(PageSetupRecord& record);
    // What the caller stores once the sheet is closed: after OK the pages' values, after
    // Cancel those of the last Apply that succeeded; false when there is nothing to store.
    bool Outcome(PageSetupRecord& record, DeviceMode& mode);

    bool Applied() const { return applied_; }
    bool CancelPressed() const { return cancelPressed_; }
    void SetApplied(bool applied) { applied_ = applied; }
    void SetCancelPressed() { cancelPressed_ = true; }
    void SetPageChanged(CPrintPage* page, bool changed);

    // Null in page-setup mode.
    CPrintGeneralPage* General() const { return general_; }
    CPrintLayoutPage* Layout() const { return layout_; }
    CPrintContentPage* Content() const { return content_; }
    QTabWidget* Tabs() const { return tabs_; }
    QPushButton* ApplyButton() const { return applyButton_; }
    // The Apply button: true when every page took its values; they are then kept for Cancel.
    bool ApplyNow();
    // The system's Print Setup: true with the mode chosen there. Tests answer it.
    std::function<bool(QWidget* parent, DeviceMode& mode)> printSetup;

    void accept() override;
    void reject() override;

private:
    CPrintPage* PageAt(int index) const;
    void OnTabChanged(int index);
    void ShowPage(int index);
    bool ApplyPages();

    const IPrinterService& printers_;
    bool pageSetupMode_;
    bool inches_;
    DeviceMode mode_;
    PageSetupRecord loaded_;
    std::optional<PageSetupRecord> lastApplied_;
    DeviceMode lastAppliedMode_;
    bool applied_ = false;
    bool cancelPressed_ = false;
    bool switching_ = false;
    int activeIndex_ = -1;
    std::vector<CPrintPage*> changed_;
    CPrintGeneralPage* general_ = nullptr;
    CPrintLayoutPage* layout_ = nullptr;
    CPrintContentPage* content_ = nullptr;
    QTabWidget* tabs_;
    QPushButton* applyButton_;
};

// Puts an up-down into the holder of the form; each step steps the edit and calls `changed`.
CUpDown* AttachUpDown(QWidget* holder, CNumberEdit* edit, const std::function<void()>& changed);

// A text field of the page settings (Windows-1252), and one stored: at most 127 bytes, the
// rest zeros.
QString PageText(const char* field);
void SetPageText(char* field, const QString& text);

// Inches where the locale measures in them, centimetres elsewhere.
bool UsesInches(const QLocale& locale);
// Millimetres in inches (to the thousandth) or centimetres.
double LengthInUnit(double millimetres, bool inches);
// Millimetres as the pages show them, in inches or centimetres with `decimals` digits.
std::string LengthText(double millimetres, bool inches, int decimals, char decimal);
// A shown length back in millimetres; false when the text is no number.
bool LengthMillimetres(const std::string& text, bool inches, char decimal, double& millimetres);

} // namespace vl
