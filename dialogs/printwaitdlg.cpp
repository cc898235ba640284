#include "dialogs/printwaitdlg.h"

#include "dialogs/typeaheadhold.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vl {

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
