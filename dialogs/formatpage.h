#pragma once
// The frame every format page shares: a window placed at a screen point inside the
// screen's work area that takes the keyboard when shown and gives it back when closed, a
// toolbar with Copy, Paste, Help and Close, the opacity setting, and closing when the user
// presses a mouse button outside it while the focus is elsewhere.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QToolBar;

namespace vl {

// Puts a form's body above OK and Cancel in a dialog titled as the form; returns the body
// to set the form up on.
QWidget* AddFormWithOkCancel(QDialog& dialog);

// Pixels of a size in dialog units of the 8-point default font.
QSize DialogUnitsToPixels(int width, int height);

// A mouse press outside the visible window while the keyboard focus is not in it: what
// closes the pop-ups.
bool PressedOutsideWithoutFocus(const QWidget& window, const QEvent* event);

class CFormatPage : public QDialog {
public:
    static constexpr int kCopy = 57634;
    static constexpr int kPaste = 57637;
    static constexpr int kHelp = 9;
    static constexpr int kClose = 2;

    CFormatPage(QWidget* parent, int command, int helpTopic);
    ~CFormatPage() override;
    // The frame command that opened the page (57696 Font, ...).
    int Command() const { return command_; }
    QToolBar* ToolBar() const { return toolBar_; }
    // The widget the page's form is set up on, under the toolbar.
    QWidget* Body() const { return body_; }
    QAction* Action(int id) const;
    // Moves the page to the point, shifted left and up as far as it must to stay inside
    // the work area of the screen under the point; then shows it with the keyboard on its
    // first control.
    void ShowAt(const QPoint& point);
    // Where the keyboard goes back to when the user closes the page (Close or Escape);
    // without one, to the page's owner.
    void ReturnFocusTo(QWidget* widget) { returnFocus_ = widget; }
    QWidget* ReturnFocus() const { return returnFocus_; }
    // The help topic shown for Help; the program routes it to the frame.
    static std::function<void(int topic)> showHelp;

protected:
    // Copy stores the page's record in its kind's clipboard; Paste puts it back.
    virtual void OnCopy() = 0;
    virtual void OnPaste() = 0;
    virtual bool ClipboardFilled() const = 0;
    void UpdatePaste();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Shifted left and up as far as needed to lie inside the work area of its screen.
    void KeepInsideWorkArea();

private:
    void FocusFirstControl();
    void NoteHandBack();

    QPointer<QWidget> returnFocus_;
    bool handBack_ = false;
    // Set while a page just shown holds on to the keyboard its owner takes back.
    bool holdKeyboard_ = false;
    static constexpr int kHoldKeyboardMs = 1000;
    int command_;
    int helpTopic_;
    QToolBar* toolBar_;
    QWidget* body_;
};

} // namespace vl
