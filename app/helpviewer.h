#pragma once
// The program's help: the user's help document (docs/help/), built into the program with its
// pictures so that it is there wherever the program runs, shown in a reader window of the
// program. A help topic's page ("printing.htm") is the anchor of that name without its
// ending ("printing") in the document. Online Help opens the address the build was given,
// and the same help window while it was given none.

#include <QDialog>
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

class CHelpViewer : public QDialog {
public:
    explicit CHelpViewer(QWidget* parent);
    // Scrolls to the topic of the page `page` ("printing.htm") and puts the cursor on it;
    // false (the document's start shown) when the document has no such topic.
    bool ShowTopic(const QString& page);
    // The heading the cursor stands on; empty for none.
    QString CurrentHeading() const;
    // Every anchor the document names, in order.
    QStringList Anchors() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace vl
