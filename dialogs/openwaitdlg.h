#pragma once
// The wait for a file that another process holds: the path, the time waited, and a retry on
// every tenth tick of a counter that every such wait of the run shares.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

namespace Ui {
class OpenWaitDialog;
}

namespace vl {

class IClock;

class COpenWaitDlg : public QDialog {
public:
    static constexpr int kTickMs = 1000;
    static constexpr uint32_t kRetryTicks = 10;

    // `retry` opens the file; true ends the wait with IDOK.
    COpenWaitDlg(QWidget* parent, const QString& path, const IClock& clock,
                 std::function<bool()> retry);
    ~COpenWaitDlg() override;
    Ui::OpenWaitDialog& Form() { return *ui_; }
    QTimer* Timer() const { return timer_; }
    // One tick of the timer: the time waited, and a retry on every tenth tick of the run.
    void Tick();
    // The ticks of every wait since the program started.
    static uint32_t& SharedTicks();

private:
    std::unique_ptr<Ui::OpenWaitDialog> ui_;
    const IClock& clock_;
    std::function<bool()> retry_;
    int64_t start_;
    QTimer* timer_;
};

// "hh:mm:ss" of a time waited.
QString ElapsedTimeText(int64_t seconds);

} // namespace vl
