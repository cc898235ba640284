#pragma once
// The program's help: the user's help document (docs/help/), built into the program with its
// pictures so that it is there wherever the program runs, shown in a reader window of the
// program. A help topic's page ("printing.htm") is the anchor of that name without its
// ending ("printing") in the document. Online Help opens the address the build was given,
// and the same help window while it was given none.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QTextBrowser;

namespace vl {

// Where the help document lies among the program's resources.
inline constexpr char kHelpDocument[] = "qrc:/help/help/vorlane.html";

// The address Online Help opens (the build's VORLANE_ONLINE_HELP_URL); empty for none.
QString OnlineHelpAddress();

// Opens `address` with the desktop's handler; false when none took it.
bool OpenOnlineHelp(const QString& address);

// The smallest help window that still reads.
inline constexpr QSize kSmallestHelp(200, 150);

// Where a help window of size `help` goes beside the dialog `dialog` on the screen area
// `screen`: right of it, else left of it, else below, else above, so that the dialog stays
// in view; where none holds it, on the side with the most room, made smaller to fit when
// it stays at least kSmallestHelp there, else whole; always kept on the screen.
QRect HelpPlaceBeside(const QRect& dialog, const QSize& help, const QRect& screen);

class CHelpViewer : public QDialog {
public:
    explicit CHelpViewer(QWidget* parent);
    // Scrolls to the topic of the page `page` ("printing.htm") and puts the cursor on it;
    // false (the document's start shown) when the document has no such topic. The topic is
    // scrolled to again when the window is laid out anew, until the user scrolls.
    bool ShowTopic(const QString& page);
    // Shows the window for the user to read. Over a modal dialog the window is shown beside
    // it, out of the dialog's reach for blocking, and the dialog keeps the keyboard; without
    // one the window comes forward and takes the keyboard.
    void ShowFor(QWidget* modal);
    // The heading the cursor stands on; empty for none.
    QString CurrentHeading() const;
    // Every anchor the document names, in order.
    QStringList Anchors() const;
    QTextBrowser* Browser() const { return browser_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ScrollToTopic();
    void FollowOwner(QWidget* modal);

    QTextBrowser* browser_;
    QString anchor_;           // the topic shown last; empty for the document's start
    bool followTopic_ = false; // the topic is kept in view until the user scrolls
    QPointer<QWidget> modal_;  // the dialog the window stands beside, while it is open
    // The dialog that gets the keyboard back when the window is activated on showing, until
    // kYieldMs have passed or the user clicks into the window.
    QPointer<QWidget> yieldTo_;
    QElapsedTimer shown_;
    static constexpr qint64 kYieldMs = 1500;
};

} // namespace vl
