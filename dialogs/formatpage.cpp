#include "dialogs/formatpage.h"

#include "core/settings.h"
#include "dialogs/toolpictures.h"
#include "ui/uiutil.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace vl {

std::function<void(int topic)> CFormatPage::showHelp;

namespace {

// Qt gives an opening dialog's keyboard to the first control in creation order, and the
// buttons are made before the form the caller fills in. Once the form is built (a dialog
// is polished before it first shows), its first control takes the keyboard instead.
class CFormTakesKeyboard : public QObject {
public:
    CFormTakesKeyboard(QDialog& dialog, QWidget* form) : QObject(&dialog), form_(form) {
        dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Polish) return false;
        watched->removeEventFilter(this);
        QWidget* dialog = form_->window();
        if (!dialog->focusWidget())
            for (QWidget* w = form_->nextInFocusChain(); w != form_; w = w->nextInFocusChain()) {
                if (!form_->isAncestorOf(w)) continue;
                if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(dialog)) {
                    w->setFocus();
                    break;
                }
            }
        deleteLater();
        return false;
    }

private:
    QWidget* form_;
};

} // namespace

QWidget* AddFormWithOkCancel(QDialog& dialog) {
    auto* body = new QWidget(&dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    new CFormTakesKeyboard(dialog, body);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(body);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return body;
}

QSize DialogUnitsToPixels(int width, int height) {
    QFont font;
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int average = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return QSize((width * average + 2) / 4, (height * metrics.height() + 4) / 8);
}

CFormatPage::CFormatPage(QWidget* parent, int command, int helpTopic)
    // A dialog window, not a tool one: the frame's menu keys stay working in a tool window
    // of the frame and took the page's own mnemonics (Alt+S opened Settings, not "Around
    // &Selection").
    : QDialog(parent), command_(command), helpTopic_(helpTopic), toolBar_(new QToolBar(this)),
      body_(new QWidget(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // A page dropped down under its button: a window manager gives it a title and a close
    // button, nothing to minimize (it would stay open out of sight) or maximize.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addWidget(toolBar_, 0, Qt::AlignRight);
    layout->addWidget(body_);
    setMinimumSize(DialogUnitsToPixels(264, 168));
    toolBar_->setIconSize(QSize(16, 16));
    const struct {
        int id;
        const char* text;
    } buttons[] = {
        {kCopy, "Copy"}, {kPaste, "Paste"}, {0, nullptr}, {kHelp, "Help"}, {kClose, "Close"}};
    int picture = 0;
    for (const auto& b : buttons) {
        if (!b.text) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = toolBar_->addAction(QString::fromLatin1(b.text));
        action->setData(b.id);
        ShowToolPicture(*action, kFormatPageList, picture++);
    }
    connect(Action(kCopy), &QAction::triggered, this, [this] {
        OnCopy();
        UpdatePaste();
    });
    connect(Action(kPaste), &QAction::triggered, this, [this] {
        if (ClipboardFilled()) OnPaste();
    });
    connect(Action(kHelp), &QAction::triggered, this, [this] {
        if (showHelp) showHelp(helpTopic_);
    });
    connect(Action(kClose), &QAction::triggered, this, &QDialog::close);
    qApp->installEventFilter(this);
}

CFormatPage::~CFormatPage() {
    qApp->removeEventFilter(this);
}

QAction* CFormatPage::Action(int id) const {
    for (QAction* action : toolBar_->actions())
        if (action->data().toInt() == id) return action;
    return nullptr;
}

void CFormatPage::UpdatePaste() {
    Action(kPaste)->setEnabled(ClipboardFilled());
}

void CFormatPage::ShowAt(const QPoint& point) {
    UpdatePaste();
    // Enter presses no default button here (see keyPressEvent): no button is drawn as one,
    // as the dialog would draw the first of them when shown.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
    move(point);
    show(); // the frame's size is known once shown
    // The control with the keyboard shows it from the start, not only after a Tab.
    ShowFocusFromTheStart(*this);
    KeepInsideWorkArea();
    SetWindowOpacity(this, Profile().opacity);
    // Shown alone it may stay without the keyboard, which then went on to the grid under it.
    FocusFirstControl();
    raise();
    activateWindow();
    // Without a window manager the owner can take the keyboard back just after, when the menu
    // that opened the page lets go of its grab: the page holds on to it until the user acts.
    holdKeyboard_ = true;
    QTimer::singleShot(kHoldKeyboardMs, this, [this] { holdKeyboard_ = false; });
}

void CFormatPage::KeepInsideWorkArea() {
    const QPoint point = pos();
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    QPoint at = point;
    at.setX(std::max(std::min(at.x(), area.right() + 1 - size.width()), area.left()));
    at.setY(std::max(std::min(at.y(), area.bottom() + 1 - size.height()), area.top()));
    if (at != point) move(at);
}

void CFormatPage::keyPressEvent(QKeyEvent* event) {
    // A page has no default button: Enter ends a typed number, which its edit takes, and
    // never presses the page's first button; a focused button is pressed, as by Space.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            button && isAncestorOf(button))
            button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CFormatPage::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !holdKeyboard_ || isActiveWindow()) return;
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner || QApplication::activeWindow() != owner) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (holdKeyboard_ && isVisible() && !isActiveWindow()) activateWindow();
        },
        Qt::QueuedConnection);
}

void CFormatPage::FocusFirstControl() {
    for (QWidget* w = body_->nextInFocusChain(); w && w != body_; w = w->nextInFocusChain()) {
        if (body_->isAncestorOf(w) && w->isVisibleTo(this) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void CFormatPage::NoteHandBack() {
    // Only a page the user closed from the keyboard or its own button hands the keyboard
    // back; one closed by a press elsewhere leaves the focus where that press put it.
    const QWidget* focus = QApplication::focusWidget();
    handBack_ = isActiveWindow() || (focus && isAncestorOf(focus));
}

void CFormatPage::closeEvent(QCloseEvent* event) {
    NoteHandBack();
    QDialog::closeEvent(event);
}

void CFormatPage::reject() {
    NoteHandBack(); // Escape: the dialog closes without a close event
    QDialog::reject();
}

void CFormatPage::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous() || !handBack_) return;
    handBack_ = false;
    QWidget* target = returnFocus_ ? returnFocus_.data() : parentWidget();
    if (!target) return;
    target->activateWindow();
    if (returnFocus_) returnFocus_->setFocus(Qt::ActiveWindowFocusReason);
}

bool PressedOutsideWithoutFocus(const QWidget& window, const QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::MouseButtonPress && type != QEvent::NonClientAreaMouseButtonPress) ||
        !window.isVisible())
        return false;
    // A modal window (a question the page asks, say) runs its own loop: its presses are
    // not the page's to see, so answering it leaves the page open.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window) return false;
    const QWidget* focus = QApplication::focusWidget();
    const bool focusInside = focus && (focus == &window || window.isAncestorOf(focus));
    const QPoint global = static_cast<const QMouseEvent*>(event)->globalPosition().toPoint();
    const bool pressInside =
        QRect(window.mapToGlobal(QPoint(0, 0)), window.size()).contains(global);
    return !focusInside && !pressInside;
}

bool CFormatPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::NonClientAreaMouseButtonPress ||
        type == QEvent::KeyPress)
        holdKeyboard_ = false;
    if (PressedOutsideWithoutFocus(*this, event)) close(); // before the click is handled
    // The page's lists (an options page's too, made later) show which of them has the keys.
    if (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::Show)
        if (auto* list = qobject_cast<QAbstractItemView*>(watched); list && list->window() == this)
            ShowSelectionFocus(*list, list->hasFocus());
    return QDialog::eventFilter(watched, event);
}

} // namespace vl
