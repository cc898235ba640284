#pragma once
// The wait shown while the print system is slow to take a job. From the wait's start the
// user's input acts nowhere: keys are kept and, after the wait, reach the widget they were
// typed into, in order; clicks are dropped. Once the hand-over is late a modal box with the
// printer's name and Cancel shows and holds the keyboard (Escape cancels).

#include "print/printsystemcall.h"

#include <QString>
#include <memory>

class QDialog;

namespace vl {

class CTypeAheadHold;

class CPrintWaitBox : public IPrintWait {
public:
    explicit CPrintWaitBox(const QString& text);
    ~CPrintWaitBox() override;
    void Show() override;
    bool Cancelled() const override { return *cancelled_; }
    QDialog* Dialog() const { return dialog_.get(); }

private:
    QString text_;
    std::unique_ptr<CTypeAheadHold> hold_;
    std::unique_ptr<QDialog> dialog_;
    std::shared_ptr<bool> cancelled_ = std::make_shared<bool>(false);
};

// Lets the print system's long waits show CPrintWaitBox.
void ShowPrintWaitsInBoxes();

} // namespace vl
