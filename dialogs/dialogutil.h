#pragma once
// What the dialogs share: the up-down beside a number edit, reading a whole number,
// refusing a control's input, running a dialog to its end, and the row picked in a list.

#include <QString>
#include <cstdint>
#include <functional>

class QComboBox;
class QDialog;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QObject;
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
// The row the user picked in a one-choice list: its current row while that row is selected,
// else -1. A list that takes the keyboard without a current row makes its first row current
// but leaves it unselected: no choice of the user's.
int PickedRow(const QListWidget& list);
// Calls `picked` with the row each time one is picked in the list, by key or click, while
// `context` lives.
void OnRowPicked(QListWidget& list, QObject* context, std::function<void(int row)> picked);
// The extended keyboard interface of a drop-down list: Down (no Alt, Ctrl or Shift) on the
// closed field opens the list, where the choice is made, instead of stepping the choice and
// applying each step. True when the key opened it and is spent.
bool OpenListOnDown(QComboBox& box, const QKeyEvent& event);
// Gives the box that interface for as long as it lives.
void UseExtendedListKeys(QComboBox& box);
// Shows the window with the keyboard on `first`. Without a window manager its owner can take
// the keyboard back just after, when the menu that opened the window lets go of its grab: the
// window takes it again until the user presses a key or a button, a second at most.
void ShowTakingKeyboard(QWidget& window, QWidget* first);
// From now on a button reached by its letter (Alt+letter) acts at once, as a click does,
// instead of a tenth of a second later: a Return typed right after would end its dialog
// before a box changed, and keys typed right after a button that opens a window would go to
// the button instead of that window. Returns the filter that does it when this call put it
// in place (deleting it ends the behaviour), else null.
QObject* ButtonsAtOnceByLetter();
// From now on the arrows move through a group of option buttons in order, round from the last
// to the first, whichever way the group stands. Returns the filter as above.
QObject* MoveOptionsByArrows();
// Text of the program's code page only: false when any character is outside Windows-1252.
bool IsCp1252Text(const QString& text);
// Whether a font record's face field holds the face name whole: in the code page and at most
// 127 bytes. A face it cannot hold would be stored changed and not found again, so the font
// lists leave it out.
bool HoldsFaceName(const QString& face);

} // namespace vl
