#pragma once
// Everything that waits for the user or signals to them outside a window's own drawing:
// message boxes, file dialogs, beeps and the wait cursor. The program uses the Qt services;
// tests install a double that answers at once, so nothing blocks in a modal loop.

#include <QString>
#include <cstdint>
#include <functional>

class QDialog;
class QPoint;
class QMessageBox;
class QWidget;

namespace vl {

class CWorkbook;
class IClock;
struct CellRange;
struct LogFont;
struct TextFileSettings;
struct XBaseSaveOptions;

// Message-box buttons, icons and answers.
enum : uint32_t {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100, // the second button answers Return
    MB_TASKMODAL = 0x2000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// The Sort dialog's settings: five keys, each with a column position counted from 1 at the
// sorted range's first column; the first key alone is on at start.
struct SortKeySetting {
    uint32_t enabled = 0;
    uint32_t position = 1;
    uint32_t descending = 0;
};
struct SortSettings {
    SortKeySetting keys[5] = {{1, 1, 0}, {}, {}, {}, {}};
};

// What the Workbook Protection dialog edits: protection off or on, the encryption (0 RC4
// 40-bit, 1 RC4 128-bit), whether read-only access needs no password, and the password.
struct ProtectionChoice {
    bool on = false;
    int encryption = 0;
    bool allowReadOnly = false;
    QString password;
};

class IUiServices {
public:
    virtual ~IUiServices() = default;
    // Shows the text titled `title` with the buttons and icon of `flags`; the button pressed.
    virtual int MessageBox(const QString& text, const QString& title, uint32_t flags) = 0;
    // The chosen path, or the empty text when the user cancelled.
    virtual QString GetOpenFileName(const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
    virtual QString GetSaveFileName(const QString& caption, const QString& folder,
                                    const QString& filter) = 0;
    virtual void Beep() = 0;
    virtual void SetWaitCursor(bool on) = 0;

    // The file dialogs over a list of filters ("A (*.a);;B (*.b)"): `index` (from 1) comes in
    // as the filter offered first and goes back as the one chosen. The empty text on Cancel.
    // The defaults show Qt's own dialogs.
    virtual QString ChooseOpenFile(const QString& caption, const QString& folder,
                                   const QString& filters, int& index);
    virtual QString ChooseSaveFile(const QString& caption, const QString& folder,
                                   const QString& filters, int& index);
    // A folder chosen in a directory chooser titled `title` that starts at `start`; the empty
    // text on Cancel.
    virtual QString ChooseFolder(const QString& title, const QString& start);
    // The wait for a file another process holds: shows the path and the time waited by
    // `clock`, calls `retry` now and then until it returns true (IDOK) or the user gives up
    // (IDCANCEL).
    virtual int WaitForFile(const QString& path, const IClock& clock,
                            const std::function<bool()>& retry);
    // The password of a protected workbook: IDOK with the password typed, or with `readOnly`
    // set when the file offers a copy that opens without it and the user chose that; IDCANCEL.
    // The defaults have neither dialog and answer IDCANCEL; the dialogs' services bring them.
    virtual int AskPassword(bool readOnlyOffered, QString& password, bool& readOnly);
    // The options of a text file about to be read (`save` false) or written: IDOK with
    // `settings` as the user left them, or IDCANCEL with them untouched. The defaults take
    // the settings as they stand (IDOK).
    virtual int TextFileDialog(TextFileSettings& settings, bool save);
    // The xBase table of `path` read by ReadDbfHeader (`save` false) or about to be written
    // with the field list BuildXBaseFieldList gave: IDOK with `options` as the user left
    // them, or IDCANCEL. The defaults take the options as they stand (IDOK).
    virtual int XBaseDialog(XBaseSaveOptions& options, const QString& path, bool save);
    // The "Bookmark Name" dialog: IDOK with 1 to 255 characters in `name`, or IDCANCEL.
    virtual int AskBookmarkName(QString& name);
    // The Sort dialog over `settings`: IDOK with them as the user left them, or IDCANCEL.
    // The defaults have no dialog: they answer IDCANCEL and Sort stays disabled.
    virtual int SortDialog(SortSettings& settings);
    virtual bool HasSortDialog() const { return false; }
    // The "Change Width/Height" dialog of Row Height (`columnWidth` false) and Column Width:
    // IDOK with `value` (0 to 4095 pixels) as the user left it, or IDCANCEL with it
    // untouched. The defaults have no dialog: they answer IDCANCEL and both commands stay
    // disabled.
    virtual int ChangeSizeDialog(QWidget* parent, bool columnWidth, int& value);
    virtual bool HasChangeSizeDialog() const { return false; }
    // The Options dialog over the profile's settings, which it writes itself on OK: IDOK or
    // IDCANCEL. The defaults have no dialog: they answer IDCANCEL and Options stays disabled.
    virtual int OptionsDialog(QWidget* parent);
    virtual bool HasOptionsDialog() const { return false; }
    // The Workbook Protection dialog over `choice`: IDOK with it as the user left it, or
    // IDCANCEL with it untouched. Defaults as for Options.
    virtual int ProtectionDialog(QWidget* parent, ProtectionChoice& choice);
    virtual bool HasProtectionDialog() const { return false; }
    // The Statistics dialog counting `book` (its active worksheet and tree) and `selection`.
    virtual int StatisticsDialog(QWidget* parent, CWorkbook& book, const CellRange& selection);
    virtual bool HasStatisticsDialog() const { return false; }
    // The modeless Zoom pop-up placed by its lower-right corner at `at` (screen point), on
    // `zoom` percent; `apply` gets (zoom percent, all-worksheets flag) at every slider move.
    // False when no pop-up could be shown (the defaults have none).
    virtual bool ZoomDialog(QWidget* owner, const QPoint& at, uint16_t zoom,
                            const std::function<void(uint16_t, bool)>& apply);
    virtual bool HasZoomDialog() const { return false; }
    // The colour chooser, fully opened, starting at `color` (0x00BBGGRR) with the 16 custom
    // colours of `customColors`, which the caller keeps. True on OK, with `color` and the
    // table updated; on Cancel both stay.
    virtual bool ChooseColor(uint32_t& color, uint32_t customColors[16]);
    // The font chooser with a colour and sizes `minPoints` to `maxPoints`, starting at `font`
    // and `color`. True on OK with both updated. The default has no chooser and cancels; the
    // dialogs' services bring it.
    virtual bool ChooseFontWithColor(LogFont& font, uint32_t& color, int minPoints, int maxPoints);
    // A dialog that another window opens and waits for (a name asked by a page, say): shown
    // with open(), application-modal; the code it finished with (QDialog::Accepted, ...).
    virtual int RunDialog(QDialog& dialog);
};

// The services in use: the Qt ones until SetUiServices installs others.
IUiServices& UiServices();
// Installs `services` (not owned); null restores the Qt ones.
void SetUiServices(IUiServices* services);
// The window that boxes of the program are transient for (the main frame); null for none.
void SetMessageOwner(QWidget* owner);
QWidget* MessageFrame();
// The owner of a box or dialog opened now: the modal dialog open, else the program's active
// window (a modeless dialog, a page), else the main frame. Owned by the dialog it was opened
// from, a window stays above it and gives the keyboard back to it when it closes.
QWidget* MessageOwner();

// The box the Qt services show: application-modal, transient for `owner`, with the buttons
// and icon of `flags`. The caller shows it with open(); its result is IDOK, IDYES, ...
QMessageBox* BuildMessageBox(const QString& text, const QString& title, uint32_t flags,
                             QWidget* owner);
// The answer of a finished box built by BuildMessageBox.
int MessageBoxAnswer(const QMessageBox& box);

} // namespace vl
