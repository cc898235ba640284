#pragma once
// Who holds the keyboard now, as the window system says: asked at the moment it matters,
// never remembered, since the program learns of a change of focus only when its events are
// read (on X, a tenth of a second later for a focus that leaves).

class QWindow;

namespace vl {

enum class KeyboardHolder {
    kThisProgram,    // a window of ours, or a window manager's frame around one
    kNobody,         // the screen itself: what a closing window that held it leaves
    kAnotherProgram, // a window no widget of ours holds
};

// `settle`: where the window system is not asked directly, the events it has queued are
// delivered first (never from inside an event's handling).
KeyboardHolder WhoHoldsTheKeyboard(bool settle = false);

} // namespace vl
