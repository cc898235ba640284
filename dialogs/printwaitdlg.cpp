#include "dialogs/printwaitdlg.h"

#include "core/settings.h"
#include "dialogs/typeaheadhold.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <qguiapplication_platform.h>
#include <string>
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

// The wait's box: `text`, Cancel and whatever the caller adds above Cancel; Escape, Cancel
// and the close button set `cancelled`. It holds the keyboard until it goes.
std::unique_ptr<QDialog> MakeWaitBox(const QString& text, const QString& name,
                                     const std::shared_ptr<bool>& cancelled, CTypeAheadHold& hold,
                                     QLabel** label = nullptr, QProgressBar** bar = nullptr) {
    auto dialog = std::make_unique<QDialog>(MessageOwner());
    QDialog& box = *dialog;
    box.setObjectName(name);
    box.setWindowTitle(AppTitle());
    auto* layout = new QVBoxLayout(&box);
    auto* shown = new QLabel(text, &box);
    layout->addWidget(shown);
    if (label) *label = shown;
    if (bar) {
        *bar = new QProgressBar(&box);
        (*bar)->setMinimumWidth(shown->fontMetrics().averageCharWidth() * 40);
        layout->addWidget(*bar);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &box);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    // Escape and the window's close button end the wait as Cancel does.
    QObject::connect(&box, &QDialog::rejected, [cancelled] { *cancelled = true; });
    // A box to read and cancel: a window manager gives it no minimize or maximize button.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    box.setWindowModality(Qt::ApplicationModal);
    hold.LetThrough(&box);
    new CMinimizeOff(box);
    box.show();
    box.activateWindow();
    return dialog;
}

// A count with the user's thousands separator: 7,844.
QString Grouped(uint32_t n) {
    std::string digits = std::to_string(n);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(size_t(at), 1, UserSeparators().thousands);
    return QString::fromLatin1(digits.c_str());
}

// What the box tells at a step: the pages made, or the page painting of the pages.
QString ProgressText(PrintStage stage, uint32_t pages, uint32_t total) {
    if (stage == PrintStage::kPaginating)
        return QStringLiteral("Dividing the worksheet into pages: %1 made").arg(Grouped(pages));
    return QStringLiteral("Printing page %1 of %2")
        .arg(Grouped(std::min(pages + 1, total)), Grouped(total));
}

// Between steps the windows get their events this often: enough to paint and answer a key
// at once, rarely enough to cost the work nothing.
constexpr qint64 kProgressEventsMs = 25;

} // namespace

CPrintWaitBox::CPrintWaitBox(const QString& text)
    : text_(text), hold_(std::make_unique<CTypeAheadHold>()) {}

void CPrintWaitBox::Show() {
    if (!dialog_) dialog_ = MakeWaitBox(text_, QStringLiteral("printWait"), cancelled_, *hold_);
}

CPrintWaitBox::~CPrintWaitBox() {
    // The box goes first: the keys kept meanwhile go to the window under it.
    dialog_.reset();
    hold_.reset();
}

CPrintProgressBox::CPrintProgressBox() : hold_(std::make_unique<CTypeAheadHold>()) {
    started_.start();
    lastEvents_.start();
}

CPrintProgressBox::~CPrintProgressBox() {
    Finished();
}

void CPrintProgressBox::Finished() {
    // The box goes first: the keys kept meanwhile go to the window under it.
    dialog_.reset();
    label_ = nullptr;
    bar_ = nullptr;
    hold_.reset();
}

void CPrintProgressBox::Show() {
    dialog_ =
        MakeWaitBox(QString(), QStringLiteral("printProgress"), cancelled_, *hold_, &label_, &bar_);
}

bool CPrintProgressBox::Step(PrintStage stage, uint32_t pages, uint32_t done, uint32_t total) {
    if (*cancelled_) return false;
    if (!hold_) return true; // finished: nothing shows any more
    // Only the windows' thread has windows to keep painting.
    if (!QCoreApplication::instance() ||
        QThread::currentThread() != QCoreApplication::instance()->thread())
        return true;
    if (lastEvents_.elapsed() < kProgressEventsMs) return true;
    if (!dialog_ && started_.elapsed() >= kPrintWaitShownAfterMs) Show();
    if (dialog_) {
        label_->setText(ProgressText(stage, pages, total));
        // Counts stay far inside the bar's range: pages and rows both end below 2^22.
        bar_->setRange(0, int(std::min<uint32_t>(total, INT32_MAX)));
        bar_->setValue(int(std::min(done, total)));
    }
    // The hold keeps the keys for the windows under the box; the box takes its own.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastEvents_.restart();
    return !*cancelled_;
}

void ShowPrintWaitsInBoxes() {
    SetPrintWaitFactory([](const std::string& text) -> std::unique_ptr<IPrintWait> {
        return std::make_unique<CPrintWaitBox>(QString::fromStdString(text));
    });
}

} // namespace vl
