#include "app/helpviewer.h"

#include <QDesktopServices>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#ifndef VORLANE_ONLINE_HELP_URL
#define VORLANE_ONLINE_HELP_URL ""
#endif

namespace vl {

namespace {

// The position of the anchor named `name`; -1 when the document has none.
int AnchorPosition(const QTextDocument& doc, const QString& name) {
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name))
                return it.fragment().position();
    return -1;
}

} // namespace

QString OnlineHelpAddress() {
    return QString::fromUtf8(VORLANE_ONLINE_HELP_URL).trimmed();
}

bool OpenOnlineHelp(const QString& address) {
    return !address.isEmpty() && QDesktopServices::openUrl(QUrl(address));
}

CHelpViewer::CHelpViewer(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Vorlane Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(true);
    browser_->setSource(QUrl(QString::fromLatin1(kHelpDocument)));
    resize(760, 600);
}

bool CHelpViewer::ShowTopic(const QString& page) {
    QString anchor = page;
    anchor.chop(page.endsWith(QLatin1String(".htm")) ? 4 : 0);
    QTextDocument* doc = browser_->document();
    const int at = AnchorPosition(*doc, anchor);
    browser_->setTextCursor(QTextCursor(doc->findBlock(at < 0 ? 0 : at)));
    if (at < 0)
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(anchor);
    return at >= 0;
}

QString CHelpViewer::CurrentHeading() const {
    const QTextBlock block = browser_->textCursor().block();
    return block.blockFormat().headingLevel() ? block.text().trimmed() : QString();
}

QStringList CHelpViewer::Anchors() const {
    QStringList names;
    const QTextDocument* doc = browser_->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            names += it.fragment().charFormat().anchorNames();
    return names;
}

} // namespace vl
