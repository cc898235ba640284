#pragma once
// The program's help. There is no help file: a topic opens the README's section on it in a
// reader window of the program (the README is built into the program, so it is there
// wherever the program runs), and Online Help opens the project's documentation address
// with the desktop's handler for web addresses.

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace vl {

// The project's documentation address, the one place it is named.
inline constexpr char kOnlineHelpAddress[] = "https://vorlane.example/help/";

// The README heading that answers a help topic (the topic ids of the Help commands and of
// the dialogs' Help buttons); the README's title for any other id.
QString HelpTopicSection(int topic);

// Opens kOnlineHelpAddress with the desktop's handler; false when none took it.
bool OpenOnlineHelp();

class CHelpViewer : public QDialog {
public:
    explicit CHelpViewer(QWidget* parent);
    // Scrolls the README to the heading titled `section` and puts the cursor on it; false
    // (the README's start shown) when it has no such heading.
    bool ShowSection(const QString& section);
    // The heading the cursor stands on; empty for none.
    QString CurrentHeading() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

} // namespace vl
