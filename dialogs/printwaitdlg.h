#pragma once
// The wait shown while the print system is slow to take a job: a modal box with the
// printer's name and Cancel, which holds the keyboard (Escape cancels) so that nothing typed
// meanwhile acts in the windows under it.

#include "print/printsystemcall.h"

#include <QString>
#include <memory>

class QDialog;

namespace vl {

class CPrintWaitBox : public IPrintWait {
public:
    explicit CPrintWaitBox(const QString& text);
    ~CPrintWaitBox() override;
    bool Cancelled() const override { return *cancelled_; }
    QDialog* Dialog() const { return dialog_.get(); }

private:
    std::unique_ptr<QDialog> dialog_;
    std::shared_ptr<bool> cancelled_ = std::make_shared<bool>(false);
};

// Lets the print system's long waits show CPrintWaitBox.
void ShowPrintWaitsInBoxes();

} // namespace vl
