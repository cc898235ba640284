#pragma once
// While the program is busy in a wait of its own, what the user types must neither act at once
// nor vanish. A hold takes the application's input from its start: keys are kept with the
// widget that would have had them, and posted to it again, in order, when the hold ends;
// clicks, wheels and close requests are dropped, as a modal window drops them. Input for the
// window let through (the wait's own box) goes its way.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QKeyEvent;
class QWidget;

namespace vl {

class CTypeAheadHold : public QObject {
public:
    CTypeAheadHold();
    ~CTypeAheadHold() override;
    // Input for `window` and its children goes through from now on.
    void LetThrough(QWidget* window) { open_ = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Kept {
        QPointer<QObject> target;
        std::unique_ptr<QKeyEvent> key;
    };
    bool ForOpenWindow(const QObject* watched) const;

    QPointer<QWidget> open_;
    std::vector<Kept> kept_;
};

} // namespace vl
