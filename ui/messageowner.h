#pragma once
// The owner of the boxes a window opens about itself.

#include <QPointer>
#include <QWidget>

namespace vl {

// While it stands, boxes and dialogs opened are owned by `owner` (while it is shown): a window
// that refuses what was given to it owns its refusal, stays under it and gets the keyboard back
// when it closes, whichever window the system has made active meanwhile.
class CMessageOwnerScope {
public:
    explicit CMessageOwnerScope(QWidget* owner);
    ~CMessageOwnerScope();
    CMessageOwnerScope(const CMessageOwnerScope&) = delete;
    CMessageOwnerScope& operator=(const CMessageOwnerScope&) = delete;

private:
    QPointer<QWidget> previous_;
};

} // namespace vl
