#pragma once
// The View page: the kind of a data series chosen from a row of small charts, one per kind,
// drawn from fixed sample numbers.

#include "dialogs/chart/chartpage.h"

#include <QImage>

class QListWidget;

namespace vl {

struct SeriesView {
    uint8_t kind, stacked, relative;
};

// The kind, stacking and relative flag of list entry `index` for the chart type.
SeriesView ViewOfIndex(uint8_t chartType, int index);
// The list entry that shows the series' view.
int IndexOfView(uint8_t chartType, const SeriesView& view);
// Entries the list offers: 11, or 1 for an XY chart.
int ViewCount(uint8_t chartType);
// The small chart of entry `index`, drawn on a white square of `size` pixels.
QImage DrawViewPreview(uint8_t chartType, int index, int size);

class CChartViewPage : public CChartPage {
public:
    explicit CChartViewPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    QListWidget* List() const { return list_; }
    // The picture of an entry at the list's item size, drawn once and kept.
    const QImage& Preview(int index);
    int ItemSide() const;

protected:
    // The list's viewport, not the page, gives the item size: a page on a hidden tab is
    // resized before its list is.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList();

    QListWidget* list_;
    uint8_t type_ = 1;
    QImage cache_[11];
};

} // namespace vl
