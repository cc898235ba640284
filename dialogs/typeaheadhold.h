#pragma once
// While the program is busy in a wait of its own, what the user types must neither act at once
// nor vanish. A hold takes the application's input from its start: keys are kept with the
// widget that would have had them, and posted to it again, in order, when the hold ends;
// clicks, wheels and close requests are dropped, as a modal window drops them. Input for the
// window let through (the wait's own box) goes its way, except keys typed before it showed:
// the X server sent them to the window under it, and the program hands them to the box only
// once it has the keyboard; they are kept with the others.

#include <QAbstractNativeEventFilter>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

class QKeyEvent;
class QWidget;

namespace vl {

class CTypeAheadHold : public QObject, public QAbstractNativeEventFilter {
public:
    CTypeAheadHold();
    ~CTypeAheadHold() override;
    // Input for `window` and its children goes through from now on.
    void LetThrough(QWidget* window) { open_ = window; }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Kept {
        QPointer<QObject> target;
        std::unique_ptr<QKeyEvent> key;
    };
    bool ForOpenWindow(const QObject* watched) const;
    bool TypedBeforeTheBox(const QKeyEvent& key);

    QPointer<QWidget> open_;
    std::vector<Kept> kept_;
    // Key code and time of the keys handed on to the box after it took the keyboard.
    std::vector<std::pair<unsigned, unsigned long>> handedOn_;
};

} // namespace vl
