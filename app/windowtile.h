#pragma once
// Window > Tile: the workbook windows stacked top to bottom, each as wide as the area; from
// four windows on, in columns of such stacks.

#include <QRect>
#include <vector>

class QMdiArea;

namespace vl {

// The places of `count` windows in `area`, the first at the top left, column by column; the
// last columns take one window more when they do not share out evenly.
std::vector<QRect> HorizontalTiles(int count, const QRect& area);
// Places the area's windows that are not minimised, the active one first.
void TileHorizontally(QMdiArea& mdi);

} // namespace vl
