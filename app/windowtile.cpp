#include "app/windowtile.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <cmath>

namespace vl {

std::vector<QRect> HorizontalTiles(int count, const QRect& area) {
    std::vector<QRect> tiles;
    if (count <= 0) return tiles;
    const int columns = std::max(1, int(std::sqrt(double(count))));
    const int rows = count / columns, fuller = count % columns;
    for (int c = 0; c < columns; ++c) {
        const int left = area.left() + area.width() * c / columns;
        const int right = area.left() + area.width() * (c + 1) / columns;
        const int inColumn = rows + (c >= columns - fuller ? 1 : 0);
        for (int r = 0; r < inColumn; ++r) {
            const int top = area.top() + area.height() * r / inColumn;
            const int bottom = area.top() + area.height() * (r + 1) / inColumn;
            tiles.emplace_back(left, top, right - left, bottom - top);
        }
    }
    return tiles;
}

void TileHorizontally(QMdiArea& mdi) {
    std::vector<QMdiSubWindow*> windows;
    const auto history = mdi.subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if ((*it)->isVisible() && !(*it)->isMinimized()) windows.push_back(*it);
    const std::vector<QRect> tiles = HorizontalTiles(int(windows.size()), mdi.viewport()->rect());
    for (size_t i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized()) windows[i]->showNormal();
        windows[i]->setGeometry(tiles[i]);
    }
}

} // namespace vl
