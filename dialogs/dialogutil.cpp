#include "dialogs/dialogutil.h"

#include "core/clock.h"
#include "core/fontrecord.h"
#include "core/settings.h"
#include "dialogs/numberedit.h"
#include "platform/core/cp1252.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>

namespace vl {

CUpDown* AttachUpDown(QWidget* placeholder, CNumberEdit* edit) {
    QWidget* parent = placeholder->parentWidget();
    auto* upDown = new CUpDown(ProcessClock(), parent);
    upDown->setObjectName(placeholder->objectName());
    if (parent && parent->layout()) delete parent->layout()->replaceWidget(placeholder, upDown);
    delete placeholder;
    upDown->onStep = [edit](int delta) { edit->Step(delta); };
    upDown->SetBuddy(edit);
    return upDown;
}

int PickedRow(const QListWidget& list) {
    const QListWidgetItem* item = list.currentItem();
    return item && item->isSelected() ? list.currentRow() : -1;
}

void OnRowPicked(QListWidget& list, QObject* context, std::function<void(int row)> picked) {
    // The selection, not the current row: the current row also moves when the list merely
    // takes the keyboard.
    QObject::connect(&list, &QListWidget::itemSelectionChanged, context,
                     [&list, picked = std::move(picked)] {
                         if (const int row = PickedRow(list); row >= 0) picked(row);
                     });
}

bool ReadWholeNumber(const QLineEdit& edit, int64_t& value) {
    const std::string text = edit.text().toStdString();
    if (edit.text().trimmed().isEmpty()) return false;
    return ParseInteger(text, value);
}

void RefuseInput(QWidget* control) {
    UiServices().Beep();
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control)) edit->selectAll();
}

bool OpenListOnDown(QComboBox& box, const QKeyEvent& event) {
    const auto held = Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier;
    if (event.key() != Qt::Key_Down || (event.modifiers() & held) || box.view()->isVisible())
        return false;
    box.showPopup();
    return true;
}

namespace {

class CExtendedListKeys : public QObject {
public:
    explicit CExtendedListKeys(QComboBox& box) : QObject(&box), box_(box) {
        box.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return watched == &box_ && event->type() == QEvent::KeyPress &&
               OpenListOnDown(box_, *static_cast<QKeyEvent*>(event));
    }

private:
    QComboBox& box_;
};

} // namespace

void UseExtendedListKeys(QComboBox& box) {
    new CExtendedListKeys(box);
}

int RunModal(QDialog& dialog) {
    QPointer<QDialog> guard(&dialog);
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.open();
    ShowFocusFromTheStart(dialog);
    loop.exec();
    return guard && dialog.result() == QDialog::Accepted ? IDOK : IDCANCEL;
}

namespace {

// Takes the keyboard back for its window while the window's owner takes it just after the
// window showed; gone at the user's first key or button, or after a second.
class CKeyboardHold : public QObject {
public:
    explicit CKeyboardHold(QWidget& window) : QObject(&window), window_(window) {
        qApp->installEventFilter(this);
        QTimer::singleShot(kHoldMs, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress ||
            type == QEvent::NonClientAreaMouseButtonPress) {
            qApp->removeEventFilter(this);
            deleteLater();
        } else if (type == QEvent::WindowActivate && watched->isWidgetType() &&
                   window_.parentWidget() && watched == window_.parentWidget()->window()) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (window_.isVisible() && QApplication::activeWindow() != &window_)
                        window_.activateWindow();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    static constexpr int kHoldMs = 1000;
    QWidget& window_;
};

} // namespace

namespace {

class CImmediateLetters : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->isEnabled() || static_cast<QShortcutEvent*>(event)->isAmbiguous())
            return false;
        button->setFocus(Qt::ShortcutFocusReason);
        button->click();
        return true;
    }
};

} // namespace

QObject* ButtonsAtOnceByLetter() {
    static QPointer<CImmediateLetters> filter;
    if (filter || !qApp) return nullptr;
    filter = new CImmediateLetters;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
    return filter;
}

void ShowTakingKeyboard(QWidget& window, QWidget* first) {
    window.show();
    // Opened to take the keyboard: the control that has it shows so from the start.
    ShowFocusFromTheStart(window);
    if (first) first->setFocus(Qt::ActiveWindowFocusReason);
    window.raise();
    window.activateWindow();
    new CKeyboardHold(window);
}

void ApplyProfileOpacity(QWidget* window) {
    SetWindowOpacity(window, Profile().opacity);
}

bool IsCp1252Text(const QString& text) {
    for (const char32_t cp : text.toUcs4())
        if (CodePointToCp1252(cp) == '?' && cp != U'?') return false;
    return true;
}

bool HoldsFaceName(const QString& face) {
    return IsCp1252Text(face) && Utf8ToCp1252(face.toStdString()).size() < kFaceNameSize;
}

} // namespace vl
