#include "app/helpviewer.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vl {

QString HelpTopicSection(int topic) {
    static const char* const kSections[] = {
        "Printing", "Protection", "Containers", "Charts",  "Charts",  "Charts",
        "Formats",  "Formats",    "Formats",    "Formats", "Formats", "Formats",
        "Settings", "Text files", "Tables",     "Support", "Formulas"};
    return QString::fromLatin1(topic >= 2 && topic <= 18 ? kSections[topic - 2] : "Vorlane");
}

bool OpenOnlineHelp() {
    return QDesktopServices::openUrl(QUrl(QString::fromLatin1(kOnlineHelpAddress)));
}

CHelpViewer::CHelpViewer(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Vorlane Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    QFile readme(QStringLiteral(":/doc/README.md"));
    if (readme.open(QIODevice::ReadOnly))
        browser_->setMarkdown(QString::fromUtf8(readme.readAll()));
    resize(720, 560);
}

bool CHelpViewer::ShowSection(const QString& section) {
    QTextDocument* doc = browser_->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || block.text().trimmed() != section) continue;
        QTextCursor cursor(block);
        browser_->setTextCursor(cursor);
        const QRectF box = doc->documentLayout()->blockBoundingRect(block);
        browser_->verticalScrollBar()->setValue(int(box.top()));
        return true;
    }
    browser_->setTextCursor(QTextCursor(doc));
    browser_->verticalScrollBar()->setValue(0);
    return false;
}

QString CHelpViewer::CurrentHeading() const {
    const QTextBlock block = browser_->textCursor().block();
    return block.blockFormat().headingLevel() ? block.text().trimmed() : QString();
}

} // namespace vl
