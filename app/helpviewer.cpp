#include "app/helpviewer.h"

#include <QDesktopServices>
#include <QEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

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

// `place` moved onto `screen` as far as it fits.
QRect KeptOn(QRect place, const QRect& screen) {
    place.moveLeft(
        std::max(screen.left(), std::min(place.left(), screen.right() - place.width() + 1)));
    place.moveTop(
        std::max(screen.top(), std::min(place.top(), screen.bottom() - place.height() + 1)));
    return place;
}

} // namespace

QRect HelpPlaceBeside(const QRect& dialog, const QSize& help, const QRect& screen) {
    const int room[] = {screen.right() - dialog.right(), dialog.left() - screen.left(),
                        screen.bottom() - dialog.bottom(), dialog.top() - screen.top()};
    const bool across[] = {true, true, false, false}; // the room is a width
    // The window cut to a side's room, the side given by its index.
    const auto placed = [&](int side, int limit) {
        QSize size = help;
        if (across[side])
            size.setWidth(std::min(size.width(), limit));
        else
            size.setHeight(std::min(size.height(), limit));
        const QPoint at[] = {{dialog.right() + 1, dialog.top()},
                             {dialog.left() - size.width(), dialog.top()},
                             {dialog.left(), dialog.bottom() + 1},
                             {dialog.left(), dialog.top() - size.height()}};
        return KeptOn(QRect(at[side], size), screen);
    };
    const auto needed = [&](int side, const QSize& size) {
        return across[side] ? size.width() : size.height();
    };
    for (int side = 0; side < 4; ++side)
        if (room[side] >= needed(side, help)) return placed(side, room[side]);
    // No side holds the whole window: the one with the most room, where a smaller window
    // still reads, or else the whole window over the dialog.
    int best = 0;
    for (int side = 1; side < 4; ++side)
        if (room[side] - needed(side, help) > room[best] - needed(best, help)) best = side;
    if (room[best] >= needed(best, kSmallestHelp)) return placed(best, room[best]);
    return placed(best, needed(best, help));
}

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
    // A topic shown before the window had its size is found again once it is laid out; a
    // scroll of the user's own ends that.
    browser_->viewport()->installEventFilter(this);
    connect(browser_->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { followTopic_ = false; });
    resize(760, 600);
}

bool CHelpViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == browser_->viewport() && event->type() == QEvent::Resize && followTopic_)
        QTimer::singleShot(0, this, [this] {
            if (followTopic_) ScrollToTopic();
        });
    if (watched == browser_->viewport() && event->type() == QEvent::MouseButtonPress)
        yieldTo_ = nullptr; // the user's click: the keyboard is wanted here now
    if (watched == modal_ && event->type() == QEvent::Hide) FollowOwner(nullptr);
    return QDialog::eventFilter(watched, event);
}

bool CHelpViewer::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && yieldTo_ && yieldTo_->isVisible() &&
        shown_.isValid() && shown_.elapsed() < kYieldMs) {
        // A window manager that activates every new window, whatever it was asked for.
        QTimer::singleShot(0, yieldTo_, [dialog = yieldTo_] { dialog->activateWindow(); });
    }
    return QDialog::event(event);
}

void CHelpViewer::ScrollToTopic() {
    if (anchor_.isEmpty())
        browser_->verticalScrollBar()->setValue(0);
    else
        browser_->scrollToAnchor(anchor_);
}

void CHelpViewer::FollowOwner(QWidget* modal) {
    if (modal_) modal_->removeEventFilter(this);
    modal_ = modal;
    if (modal_) modal_->installEventFilter(this);
    // A window that stands for another (transient) is not blocked by that one's modality.
    QWidget* owner = modal ? modal->window() : parentWidget();
    QWindow* window = windowHandle();
    if (window && owner && owner->windowHandle()) window->setTransientParent(owner->windowHandle());
}

void CHelpViewer::ShowFor(QWidget* modal) {
    yieldTo_ = nullptr;
    if (!modal) {
        FollowOwner(nullptr);
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        show();
        raise();
        activateWindow();
        return;
    }
    // Before the native window is made: it is read there.
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    winId(); // the native window, so that it can stand for the dialog before it is shown
    FollowOwner(modal);
    const QRect dialog = modal->window()->frameGeometry();
    const QScreen* screen = modal->window()->screen();
    if (screen) {
        // Placed by its frame, sized by its inside.
        const QRect outer = frameGeometry(), inner = geometry();
        const QRect place = HelpPlaceBeside(dialog, outer.size(), screen->availableGeometry());
        setGeometry(place.adjusted(inner.left() - outer.left(), inner.top() - outer.top(),
                                   inner.right() - outer.right(), inner.bottom() - outer.bottom()));
    }
    yieldTo_ = modal->window();
    shown_.start();
    show();
    FollowOwner(modal); // showing may have put the frame back as the window's owner
    raise();
}

bool CHelpViewer::ShowTopic(const QString& page) {
    QString anchor = page;
    anchor.chop(page.endsWith(QLatin1String(".htm")) ? 4 : 0);
    QTextDocument* doc = browser_->document();
    const int at = AnchorPosition(*doc, anchor);
    browser_->setTextCursor(QTextCursor(doc->findBlock(at < 0 ? 0 : at)));
    anchor_ = at < 0 ? QString() : anchor;
    followTopic_ = true;
    ScrollToTopic();
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
