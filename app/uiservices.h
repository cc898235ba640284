#pragma once
// Everything that waits for the user or signals to them outside a window's own drawing:
// message boxes, file dialogs, beeps and the wait cursor. The program uses the Qt services;
// tests install a double that answers at once, so nothing blocks in a modal loop.

#include <QString>
#include <cstdint>
#include <functional>

class QMessageBox;
class QWidget;

namespace vl {

class IClock;

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
    MB_TASKMODAL = 0x2000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

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
    // The wait for a file another process holds: shows the path and the time waited by
    // `clock`, calls `retry` once a second until it returns true (IDOK) or the user gives up
    // (IDCANCEL).
    virtual int WaitForFile(const QString& path, const IClock& clock,
                            const std::function<bool()>& retry);
    // The password of a protected workbook: IDOK with the password typed, or with `readOnly`
    // set when the file offers a copy that opens without it and the user chose that; IDCANCEL.
    virtual int AskPassword(bool readOnlyOffered, QString& password, bool& readOnly);
    // The "Bookmark Name" dialog: IDOK with 1 to 255 characters in `name`, or IDCANCEL.
    virtual int AskBookmarkName(QString& name);
};

// The services in use: the Qt ones until SetUiServices installs others.
IUiServices& UiServices();
// Installs `services` (not owned); null restores the Qt ones.
void SetUiServices(IUiServices* services);
// The window that boxes are transient for (the main frame); null for none.
void SetMessageOwner(QWidget* owner);
QWidget* MessageOwner();

// The box the Qt services show: application-modal, transient for `owner`, with the buttons
// and icon of `flags`. The caller shows it with open(); its result is IDOK, IDYES, ...
QMessageBox* BuildMessageBox(const QString& text, const QString& title, uint32_t flags,
                             QWidget* owner);
// The answer of a finished box built by BuildMessageBox.
int MessageBoxAnswer(const QMessageBox& box);

} // namespace vl
