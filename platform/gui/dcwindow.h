#pragma once
// What a window offers the drawing code: a device context over its back-buffer image,
// taken for one drawing operation and given back. Windows paint that image in their
// paint event; nothing draws on a window outside it.

namespace vl {

class CDeviceContext;

class CDcWindow {
public:
    virtual ~CDcWindow() = default;
    // Null when the window has no image to draw into.
    virtual CDeviceContext* GetDC() = 0;
    virtual void ReleaseDC(CDeviceContext* dc) = 0;
};

} // namespace vl
