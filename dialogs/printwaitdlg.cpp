#include "dialogs/printwaitdlg.h"

#include "dialogs/typeaheadhold.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <cstdlib>
#include <cstring>
#include <qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace vl {

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_NONE);
    std::free(reply);
    return atom;
}

// Some window managers (openbox) draw minimize and maximize buttons on every dialog whatever
// its hints say, and minimizing a modal one hides the whole program. A window whose type list
// names a toolbar first, then a dialog, keeps its title and Close there but gets neither
// (a window manager takes the first type it knows). Window managers read the type when they
// map the window: it is set as the window is made, before it is shown (making the window
// sooner through winId() brought extra windows of the program onto the screen).
class CMinimizeOff : public QObject {
public:
    explicit CMinimizeOff(QWidget& box) : QObject(&box), box_(box) { box.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WinIdChange && box_.internalWinId()) Name();
        return false;
    }

private:
    void Name() {
        auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection()) return;
        xcb_connection_t* c = x11->connection();
        const xcb_atom_t types[2] = {Atom(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                                     Atom(c, "_NET_WM_WINDOW_TYPE_DIALOG")};
        const xcb_atom_t property = Atom(c, "_NET_WM_WINDOW_TYPE");
        if (property == XCB_NONE || types[0] == XCB_NONE || types[1] == XCB_NONE) return;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(box_.internalWinId()), property,
                            XCB_ATOM_ATOM, 32, 2, types);
        xcb_flush(c);
    }

    QWidget& box_;
};

} // namespace

CPrintWaitBox::CPrintWaitBox(const QString& text)
    : text_(text), hold_(std::make_unique<CTypeAheadHold>()) {}

void CPrintWaitBox::Show() {
    if (dialog_) return;
    dialog_ = std::make_unique<QDialog>(MessageOwner());
    QDialog& box = *dialog_;
    box.setObjectName(QStringLiteral("printWait"));
    box.setWindowTitle(AppTitle());
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(text_, &box));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &box);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    // Escape and the window's close button end the wait as Cancel does.
    QObject::connect(&box, &QDialog::rejected, [cancelled = cancelled_] { *cancelled = true; });
    // A box to read and cancel: a window manager gives it no minimize or maximize button.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    box.setWindowModality(Qt::ApplicationModal);
    hold_->LetThrough(&box);
    new CMinimizeOff(box);
    box.show();
    box.activateWindow();
}

CPrintWaitBox::~CPrintWaitBox() {
    // The box goes first: the keys kept meanwhile go to the window under it.
    dialog_.reset();
    hold_.reset();
}

void ShowPrintWaitsInBoxes() {
    SetPrintWaitFactory([](const std::string& text) -> std::unique_ptr<IPrintWait> {
        return std::make_unique<CPrintWaitBox>(QString::fromStdString(text));
    });
}

} // namespace vl
