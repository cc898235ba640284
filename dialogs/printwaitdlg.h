#pragma once
// The wait shown while the print system is slow to take a job. From the wait's start the
// user's input acts nowhere: keys are kept and, after the wait, reach the widget they were
// typed into, in order; clicks are dropped. Once the hand-over is late a modal box with the
// printer's name and Cancel shows and holds the keyboard (Escape cancels).

#include "print/printprogress.h"
#include "print/printsystemcall.h"

#include <QElapsedTimer>
#include <QString>
#include <memory>

class QDialog;
class QLabel;
class QProgressBar;

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

// A long printout's progress in the wait's box: the pages done of the pages, with a bar, and
// Cancel. The box shows once the work has run kPrintWaitShownAfterMs; from the start the
// windows keep painting and the user's input is held as during the wait. Escape, Cancel or
// the close button stop the work at the next page.
class CPrintProgressBox : public IPrintProgress {
public:
    CPrintProgressBox();
    ~CPrintProgressBox() override;
    bool Step(PrintStage stage, uint32_t pages, uint32_t done, uint32_t total) override;
    bool Stopped() const override { return *cancelled_; }
    void Finished() override;

private:
    void Show();

    std::unique_ptr<CTypeAheadHold> hold_;
    std::unique_ptr<QDialog> dialog_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QElapsedTimer started_, lastEvents_;
    std::shared_ptr<bool> cancelled_ = std::make_shared<bool>(false);
};

// Lets the print system's long waits show CPrintWaitBox.
void ShowPrintWaitsInBoxes();

} // namespace vl
