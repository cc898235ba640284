#pragma once
// The toolbars by keys, as desktop programs of the kind offer them: with the menu bar taken by
// F10 or Alt, Ctrl+Tab goes on to the first toolbar and from toolbar to toolbar (Ctrl+Shift+Tab
// back), and round to the menu bar. In a toolbar the arrows, Tab and Shift+Tab, Home and End
// move from button to button; Return or Space presses the button, Down, Alt+Down or F4 opens
// its drop-down; each gives the keys back first to where they were before the bar took them,
// as Escape does. The button that has the keys shows a focus frame and its raised face.

#include <QObject>
#include <QPointer>
#include <QWidget>

class QToolBar;

namespace vl {

class CMainFrame;

class CToolbarKeys : public QObject {
public:
    explicit CToolbarKeys(CMainFrame& frame);

    // The visible toolbars in the order Ctrl+Tab walks them.
    QList<QToolBar*> Bars() const;
    // What the keys reach in `bar`, in order: its enabled buttons and boxes.
    static QList<QWidget*> Items(QToolBar* bar);
    // The toolbar that has the keys, null when none has.
    QToolBar* BarWithKeys() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnBarKey(QToolBar* bar, QWidget* item, int key, Qt::KeyboardModifiers modifiers);
    void EnterBar(int index, bool last);
    void EnterMenuBar();
    void GoHome();
    void Press(QWidget* item, bool dropDown);
    int DropDownId(QWidget* item) const;

    CMainFrame& frame_;
    QPointer<QWidget> home_; // where the keys go back to
};

} // namespace vl
