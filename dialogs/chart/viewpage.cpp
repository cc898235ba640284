#include "dialogs/chart/viewpage.h"

#include "model/chart.h"

#include <QEvent>
#include <QListWidget>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace vl {

namespace {

constexpr SeriesView k2D[11] = {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {2, 0, 0}, {2, 1, 0}, {2, 1, 1},
                                {3, 0, 0}, {4, 1, 0}, {4, 1, 1}, {5, 0, 0}, {6, 0, 0}};
constexpr SeriesView k3D[11] = {{7, 0, 0}, {7, 1, 0},  {7, 1, 1},  {8, 0, 0},  {8, 1, 0}, {8, 1, 1},
                                {9, 0, 0}, {10, 0, 0}, {10, 1, 0}, {10, 1, 1}, {11, 0, 0}};

int StackOffset(const SeriesView& v) {
    return v.stacked && v.relative ? 2 : v.stacked ? 1 : 0;
}

class PreviewDelegate : public QStyledItemDelegate {
public:
    PreviewDelegate(CChartViewPage& page, QObject* parent)
        : QStyledItemDelegate(parent), page_(page) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        p->save();
        p->setClipRect(option.rect);
        p->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        const QImage& image = page_.Preview(index.row());
        p->drawImage(option.rect.center() - image.rect().center(), image);
        p->restore();
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(option.palette.text().color(), 1, Qt::DotLine));
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {page_.ItemSide(), page_.ItemSide()};
    }

private:
    CChartViewPage& page_;
};

} // namespace

SeriesView ViewOfIndex(uint8_t chartType, int index) {
    if (chartType == kChartXY) return {6, 0, 0};
    const bool threeD = chartType == kChart3D;
    if (index < 0 || index > 10) return {uint8_t(threeD ? 7 : 1), 0, 0};
    return threeD ? k3D[index] : k2D[index];
}

int IndexOfView(uint8_t chartType, const SeriesView& v) {
    if (chartType == kChartXY) return 0;
    if (chartType == kChart3D) {
        switch (v.kind) {
        case 7:
            return StackOffset(v);
        case 8:
            return 3 + StackOffset(v);
        case 10:
            return 7 + StackOffset(v);
        case 9:
            return 6;
        case 11:
            return 10;
        default:
            return 0;
        }
    }
    switch (v.kind) {
    case 1:
        return StackOffset(v);
    case 2:
        return 3 + StackOffset(v);
    case 3:
        return 6;
    case 4:
        return v.relative ? 8 : 7;
    case 5:
        return 9;
    case 6:
        return 10;
    default:
        return 0;
    }
}

int ViewCount(uint8_t chartType) {
    return chartType == kChartXY ? 1 : 11;
}

CChartViewPage::CChartViewPage(QWidget* parent) : CChartPage(parent) {
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("id1020"));
    list_->setViewMode(QListView::IconMode);
    list_->setFlow(QListView::LeftToRight);
    list_->setWrapping(false);
    list_->setMovement(QListView::Static);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSpacing(0);
    list_->setItemDelegate(new PreviewDelegate(*this, list_));
    list_->viewport()->installEventFilter(this);
    layout->addWidget(list_);
    FillList();
}

int CChartViewPage::ItemSide() const {
    const int bar = list_->horizontalScrollBar()->sizeHint().height();
    return std::max(24, list_->viewport()->height() > bar ? list_->viewport()->height() : 64);
}

bool CChartViewPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) {
        for (QImage& image : cache_) image = QImage();
        list_->setGridSize(QSize(ItemSide(), ItemSide()));
    }
    return CChartPage::eventFilter(watched, event);
}

const QImage& CChartViewPage::Preview(int index) {
    static const QImage none;
    if (index < 0 || index >= 11) return none;
    const int size = ItemSide() - 8;
    QImage& image = cache_[index];
    if (image.isNull() || image.width() != size)
        image = DrawViewPreview(type_, index, std::max(size, 8));
    return image;
}

void CChartViewPage::FillList() {
    const QSignalBlocker block(list_);
    list_->clear();
    for (int i = 0; i < ViewCount(type_); ++i) list_->addItem(QString());
    list_->setGridSize(QSize(ItemSide(), ItemSide()));
}

bool CChartViewPage::Exchange(bool save, CChart* chart, int item) {
    const bool selected = chart && item >= 0 && item < kChartSeries;
    if (save) {
        if (!selected) return true;
        SeriesSettings& s = chart->series[item].settings;
        if (s.role != 1) return true;
        const SeriesView v = ViewOfIndex(chart->settings.type, list_->currentRow());
        s.kind = v.kind;
        s.stacked = v.stacked;
        s.relative = v.relative;
        return true;
    }
    list_->setEnabled(false);
    const uint8_t type = chart ? chart->settings.type : uint8_t(kChart2D);
    if (type != type_)
        for (QImage& image : cache_) image = QImage();
    type_ = type;
    FillList();
    if (!selected || chart->series[item].settings.role != 1) return true;
    const SeriesSettings& s = chart->series[item].settings;
    list_->setEnabled(true);
    const QSignalBlocker block(list_);
    list_->setCurrentRow(IndexOfView(type_, {s.kind, s.stacked, s.relative}));
    return true;
}

} // namespace vl
