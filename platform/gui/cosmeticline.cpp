#include "platform/gui/cosmeticline.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace vl {

namespace {

// On and off pixels of each dashed style, starting with "on"; empty for solid lines.
struct DashPattern {
    int count;
    int lengths[6];
};
DashPattern DashesOf(uint32_t style) {
    switch (style) {
    case PS_DASH:
        return {2, {18, 6}};
    case PS_DOT:
        return {2, {3, 3}};
    case PS_DASHDOT:
        return {4, {9, 6, 3, 6}};
    case PS_DASHDOTDOT:
        return {6, {9, 3, 3, 3, 3, 3}};
    default:
        return {0, {}};
    }
}

// Walks the dash pattern one pixel at a time.
class DashWalk {
public:
    explicit DashWalk(uint32_t style) : pattern_(DashesOf(style)) {}
    bool On() const { return pattern_.count == 0 || index_ % 2 == 0; }
    void Step() {
        if (pattern_.count == 0) return;
        if (++used_ >= pattern_.lengths[index_]) {
            used_ = 0;
            index_ = (index_ + 1) % pattern_.count;
        }
    }

private:
    DashPattern pattern_;
    int index_ = 0;
    int used_ = 0;
};

} // namespace

void DrawCosmeticLine(QPainter& painter, DcPoint from, DcPoint to, const DcPen& pen) {
    const int64_t dx = int64_t(to.x) - from.x;
    const int64_t dy = int64_t(to.y) - from.y;
    const bool alongX = std::llabs(dx) >= std::llabs(dy);
    const int64_t steps = alongX ? std::llabs(dx) : std::llabs(dy);
    if (steps == 0) return;
    const int64_t major = alongX ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    const int64_t minorSpan = alongX ? dy : dx;
    const QColor color = ToQColor(pen.color);
    if (minorSpan == 0 && pen.style == PS_SOLID) {
        // A level or upright solid line is one run: no need to walk its pixels.
        const int64_t last = (alongX ? from.x : from.y) + (steps - 1) * major;
        const int64_t a = std::min<int64_t>(alongX ? from.x : from.y, last);
        if (alongX)
            painter.fillRect(QRect(int(a), int(from.y), int(steps), 1), color);
        else
            painter.fillRect(QRect(int(from.x), int(a), 1, int(steps)), color);
        return;
    }
    DashWalk dashes(pen.style);
    // Pixels of one run share the minor coordinate and the dash state; each run is one fill.
    int64_t runStart = 0;
    int64_t runMinor = 0;
    bool inRun = false;
    auto flush = [&](int64_t end) {
        if (!inRun) return;
        const int64_t a = std::min(runStart, end), length = std::llabs(end - runStart) + 1;
        if (alongX)
            painter.fillRect(QRect(int(a), int(runMinor), int(length), 1), color);
        else
            painter.fillRect(QRect(int(runMinor), int(a), 1, int(length)), color);
        inRun = false;
    };
    int64_t lastMajor = 0;
    for (int64_t i = 0; i < steps; ++i) {
        // The minor offset rounded half away from the start.
        const int64_t offset = (2 * i * std::llabs(minorSpan) + steps) / (2 * steps);
        const int64_t minor = (alongX ? from.y : from.x) + (minorSpan < 0 ? -offset : offset);
        const int64_t at = (alongX ? from.x : from.y) + i * major;
        if (inRun && (!dashes.On() || minor != runMinor)) flush(lastMajor);
        if (dashes.On() && !inRun) {
            inRun = true;
            runStart = at;
            runMinor = minor;
        }
        lastMajor = at;
        dashes.Step();
    }
    flush(lastMajor);
}

} // namespace vl
