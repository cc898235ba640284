#pragma once
// What the modal dialogs share: the up-down beside a number edit, reading a whole number,
// refusing a control's input, and running a dialog to its end.

#include <QString>
#include <cstdint>

class QDialog;
class QLineEdit;
class QWidget;

namespace vl {

class CNumberEdit;
class CUpDown;
class IClock;

// The clock of the dialogs' up-downs.
// Puts an up-down in place of `placeholder` (taking its name); every step steps `edit`.
CUpDown* AttachUpDown(QWidget* placeholder, CNumberEdit* edit);
// A whole number with blanks around it; false for an empty text or any other character.
bool ReadWholeNumber(const QLineEdit& edit, int64_t& value);
// A value refused: a beep, and the focus on the control with its text selected.
void RefuseInput(QWidget* control);
// Shows the dialog application-modal and waits for it: IDOK when accepted, else IDCANCEL.
int RunModal(QDialog& dialog);
// Opacity from the profile's setting.
void ApplyProfileOpacity(QWidget* window);
// Text of the program's code page only: false when any character is outside Windows-1252.
bool IsCp1252Text(const QString& text);

} // namespace vl
