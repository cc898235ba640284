#pragma once
// Watches the frame's menus: while one is open, status-bar pane 0 shows the prompt of its
// highlighted item; once the last closes, the pane's own text again. Qt's own status tips
// stay out of the bar.

#include <QObject>
#include <QPointer>

namespace vl {

class CStatusBarWnd;

class CMenuPrompts : public QObject {
public:
    explicit CMenuPrompts(CStatusBarWnd* bar, QObject* parent = nullptr);

    // Shows the prompt of the item highlighted in the open menu, or ends the prompt when
    // none of the frame's menus is open.
    void Refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<CStatusBarWnd> bar_;
    bool pending_ = false;
};

} // namespace vl
