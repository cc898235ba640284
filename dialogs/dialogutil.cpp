#include "dialogs/dialogutil.h"

#include "core/clock.h"
#include "core/settings.h"
#include "dialogs/numberedit.h"
#include "platform/core/cp1252.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QDialog>
#include <QEventLoop>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

namespace vl {

CUpDown* AttachUpDown(QWidget* placeholder, CNumberEdit* edit) {
    QWidget* parent = placeholder->parentWidget();
    auto* upDown = new CUpDown(ProcessClock(), parent);
    upDown->setObjectName(placeholder->objectName());
    if (parent && parent->layout()) delete parent->layout()->replaceWidget(placeholder, upDown);
    delete placeholder;
    upDown->onStep = [edit](int delta) { edit->Step(delta); };
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

int RunModal(QDialog& dialog) {
    QPointer<QDialog> guard(&dialog);
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.open();
    loop.exec();
    return guard && dialog.result() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void ApplyProfileOpacity(QWidget* window) {
    SetWindowOpacity(window, Profile().opacity);
}

bool IsCp1252Text(const QString& text) {
    for (const char32_t cp : text.toUcs4())
        if (CodePointToCp1252(cp) == '?' && cp != U'?') return false;
    return true;
}

} // namespace vl
