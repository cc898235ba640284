#pragma once
// A recorded sheet made small enough for the preview without losing its one-pixel lines:
// played back at the printer's resolution band by band, and each block of n x n printer
// pixels kept as its average colour, or as the darkness of a line that crosses it whole.

#include <QImage>
#include <QPicture>
#include <QSize>

namespace vl {

// The smallest reduction whose blocks come out at least one window pixel wide at `factor`.
int PreviewReduction(double factor);

// The sheet of `paper` printer pixels reduced by `n` (at least 1): (w + n - 1) / n wide.
QImage ReducedSheet(const QPicture& picture, QSize paper, int n);

} // namespace vl
