#pragma once
// The wait cursor for the length of a command, through the UI services.

#include "ui/uiservices.h"

namespace vl {

class WaitCursor {
public:
    WaitCursor() { UiServices().SetWaitCursor(true); }
    ~WaitCursor() { UiServices().SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace vl
