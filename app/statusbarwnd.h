#pragma once
// The frame's status bar: six panes laid out by StatusPaneEdges; panes 4 and 5 are drawn
// raised and work as buttons.

#include <QIcon>
#include <QStatusBar>
#include <QString>
#include <array>
#include <functional>

namespace vl {

class CStatusBarWnd : public QStatusBar {
public:
    explicit CStatusBarWnd(QWidget* parent = nullptr);

    void SetPaneText(int pane, const QString& text);
    QString PaneText(int pane) const { return texts_[pane]; }
    // What the pane shows now: pane 0 gives way to a menu prompt, then to a message.
    QString ShownText(int pane) const;
    // While a menu is open pane 0 shows the prompt of its highlighted item (empty for
    // none); afterwards its own text again.
    void ShowMenuPrompt(const QString& prompt);
    void EndMenuPrompt();
    bool InMenu() const { return inMenu_; }
    void SetPaneIcon(const QIcon& icon);
    bool HasPaneIcon() const { return !icon_.isNull(); }
    void ClearPanes();

    // Horizontal border and gap between panes, and twelve "X" in the bar's font.
    int Border() const { return 0; }
    int Gap() const { return 2; }
    int TextWidth() const;
    // The rectangle of a pane in the bar's coordinates.
    QRect PaneRect(int pane) const;

    // Receives the command of a click on pane 4 or 5.
    void SetCommandSink(std::function<void(int)> sink) { sink_ = std::move(sink); }
    int PressedPane() const { return pressed_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::array<QString, 6> texts_;
    QString prompt_;
    bool inMenu_ = false;
    QIcon icon_;
    int pressed_ = 0; // 4 or 5 while a press is tracked
    bool sunken_ = false;
    std::function<void(int)> sink_;
};

} // namespace vl
