#include "dialogs/chart/gridpage.h"

#include "core/settings.h"
#include "dialogs/combos.h"
#include "dialogs/formatpage.h"
#include "dialogs/toolpictures.h"
#include "model/chart.h"
#include "platform/core/screen.h"
#include "ui/uiservices.h"
#include "values/formatdouble.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <algorithm>

namespace vl {

namespace {

QString ValueText(double value) {
    return QString::fromStdString(FormatDouble(value, &UserSeparators()));
}

void ShowLine(CLineStyleCombo& style, CColorCombo& color, const BorderLine& line) {
    const COLORREF text = GetSystemColor(kColorWindowText);
    style.Init(line.style, false);
    color.Init(line.colorGiven ? line.color : text, text, !line.colorGiven);
}

Qt::PenStyle PenOf(uint8_t style) {
    switch (style) {
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashLine;
    case 4:
        return Qt::DashDotLine;
    case 5:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

int PenWidth(uint8_t style) {
    return style == 7 ? 2 : style >= 8 ? 3 : 1;
}

QColor ColorOf(COLORREF c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A gridline: its value, then a sample of its line, its colour and the colour's name.
class GridlineDelegate : public QStyledItemDelegate {
public:
    GridlineDelegate(const CChartGridPage& page, QHeaderView& header, QObject* parent)
        : QStyledItemDelegate(parent), page_(page), header_(header) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const int i = index.row();
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->fillRect(option.rect, selected ? pal.highlight() : pal.base());
        const QColor text = selected ? pal.highlightedText().color() : pal.text().color();
        if (i < 0 || i >= CChartGridPage::kMostGridlines) return;
        const QRect first(header_.sectionViewportPosition(0) + 4, option.rect.top(),
                          header_.sectionSize(0) - 8, option.rect.height());
        const QRect second(header_.sectionViewportPosition(1) + 4, option.rect.top(),
                           header_.sectionSize(1) - 8, option.rect.height());
        p->setPen(text);
        p->drawText(first, Qt::AlignVCenter | Qt::TextSingleLine,
                    option.fontMetrics.elidedText(ValueText(page_.Value(i)), Qt::ElideRight,
                                                  first.width()));
        const BorderLine& line = page_.Line(i);
        const int middle = second.left() + second.width() / 2;
        const int y = second.center().y();
        if (line.style == 0) {
            p->drawText(QRect(second.left() + 5, second.top(), middle - 10 - second.left(),
                              second.height()),
                        Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("None"));
        } else {
            p->setPen(QPen(text, PenWidth(line.style), PenOf(line.style)));
            p->drawLine(second.left() + 5, y, middle - 5, y);
        }
        const COLORREF color = line.colorGiven ? line.color : GetSystemColor(kColorWindowText);
        const QRect swatch(middle - 5 + 2, second.top() + 3, 23, second.height() - 5);
        p->fillRect(swatch, ColorOf(color));
        p->setPen(text);
        p->drawRect(swatch);
        p->drawText(QRect(swatch.right() + 4, second.top(), second.right() - swatch.right() - 4,
                          second.height()),
                    Qt::AlignVCenter | Qt::TextSingleLine,
                    QString::fromLatin1(GetColorName(line.color, !line.colorGiven)));
    }

private:
    const CChartGridPage& page_;
    QHeaderView& header_;
};

} // namespace

CUserGridlineDlg::CUserGridlineDlg(double value, const BorderLine& line, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("User Defined Gridline"));
    QWidget* body = AddFormWithOkCancel(*this);
    auto* grid = new QGridLayout(body);
    auto* valueLabel = new QLabel(QStringLiteral("Gridline &value:"), body);
    value_ = Named(new QLineEdit(body), 205);
    value_->setMaxLength(329);
    value_->setText(ValueText(value));
    valueLabel->setBuddy(value_);
    auto* styleLabel = new QLabel(QStringLiteral("Gridline &style:"), body);
    style_ = Unsqueezed(Named(new CLineStyleCombo(body), 215));
    color_ = Unsqueezed(Named(new CColorCombo(body), 229));
    styleLabel->setBuddy(style_);
    ShowLine(*style_, *color_, line);
    grid->addWidget(valueLabel, 0, 0);
    grid->addWidget(value_, 0, 1, 1, 2);
    grid->addWidget(styleLabel, 1, 0);
    grid->addWidget(style_, 1, 1);
    grid->addWidget(color_, 1, 2);
}

void CUserGridlineDlg::accept() {
    double value = 0;
    if (!ReadChartNumber(*value_, value)) {
        UiServices().Beep();
        value_->setFocus();
        return;
    }
    read_ = value;
    GetLineFormatFromCombos(*style_, *color_, line_);
    QDialog::accept();
}

CChartGridPage::CChartGridPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Major gridlines style:"), this), 0, 0);
    majorStyle_ = Named(new CLineStyleCombo(this), 215);
    majorColor_ = Named(new CColorCombo(this), 229);
    grid->addWidget(majorStyle_, 0, 1);
    grid->addWidget(majorColor_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Minor gridlines style:"), this), 1, 0);
    minorStyle_ = Named(new CLineStyleCombo(this), 1019);
    minorColor_ = Named(new CColorCombo(this), 1021);
    grid->addWidget(minorStyle_, 1, 1);
    grid->addWidget(minorColor_, 1, 2);
    auto* header = new QHeaderView(Qt::Horizontal, this);
    auto* model = new QStandardItemModel(0, 2, header);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("User-defined Value"), QStringLiteral("Style")});
    header->setModel(model);
    header->setSectionResizeMode(QHeaderView::Fixed); // the columns keep their widths
    header->setStretchLastSection(true);
    header->setFixedHeight(header->fontMetrics().height() + 6);
    // The value column reaches to the right edge of the major style combo.
    header->resizeSection(
        0, header->fontMetrics().horizontalAdvance(QStringLiteral("User-defined Value")) + 24);
    list_ = Named(new QListWidget(this), 1020);
    list_->setItemDelegate(new GridlineDelegate(*this, *header, list_));
    grid->addWidget(header, 2, 0, 1, 3);
    grid->addWidget(list_, 3, 0, 2, 3);
    add_ = Named(new QToolButton(this), 33049);
    add_->setText(QStringLiteral("Add"));
    remove_ = Named(new QToolButton(this), 33050);
    remove_->setText(QStringLiteral("Remove"));
    ShowToolPicture(*add_, kContainerList, 5);
    ShowToolPicture(*remove_, kContainerList, 6);
    grid->addWidget(add_, 3, 3, Qt::AlignTop);
    grid->addWidget(remove_, 4, 3, Qt::AlignTop);
    logNote_ =
        new QLabel(QStringLiteral("A logarithmic axis draws no gridline at 0 or below."), this);
    logNote_->setObjectName(QStringLiteral("logNote"));
    logNote_->setWordWrap(true);
    logNote_->hide();
    grid->addWidget(logNote_, 5, 0, 1, 4);
    connect(add_, &QToolButton::clicked, this, [this] { OnAddGridline(); });
    connect(remove_, &QToolButton::clicked, this, [this] { OnRemoveGridline(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnEditGridline(); });
    editGridline = [this](double& value, BorderLine& line) {
        CUserGridlineDlg dlg(value, line, this);
        if (UiServices().RunDialog(dlg) != QDialog::Accepted) return false;
        value = dlg.Value();
        line = dlg.Line();
        return true;
    };
    ResetLines();
}

void CChartGridPage::ResetLines() {
    const BorderLine thin{1, 0, 0};
    ShowLine(*majorStyle_, *majorColor_, thin);
    ShowLine(*minorStyle_, *minorColor_, thin);
}

void CChartGridPage::UpdateLogNote() {
    const int n = std::min(list_->count(), kMostGridlines);
    const bool unseen =
        std::any_of(values_.begin(), values_.begin() + n, [](double v) { return !(v > 0); });
    logNote_->setVisible(logScale_ && unseen);
}

void CChartGridPage::OnAddGridline() {
    const int n = list_->count();
    if (n >= kMostGridlines) return UiServices().Beep();
    double value = 0;
    BorderLine line{1, 0, 0};
    if (!editGridline(value, line)) return;
    values_[n] = value;
    lines_[n] = line;
    list_->addItem(QString());
    UpdateLogNote();
}

void CChartGridPage::OnEditGridline() {
    const int i = list_->currentRow();
    if (i < 0 || i >= kMostGridlines) return;
    if (!editGridline(values_[i], lines_[i])) return;
    list_->viewport()->update();
    UpdateLogNote();
}

void CChartGridPage::OnRemoveGridline() {
    const int i = list_->currentRow();
    const int n = list_->count();
    if (i < 0 || i >= n) return;
    std::move(values_.begin() + i + 1, values_.begin() + n, values_.begin() + i);
    std::move(lines_.begin() + i + 1, lines_.begin() + n, lines_.begin() + i);
    delete list_->takeItem(i);
    list_->setCurrentRow(list_->count() ? std::min(i, list_->count() - 1) : -1);
    UpdateLogNote();
}

bool CChartGridPage::Exchange(bool save, CChart* chart, int item) {
    const bool selected = chart && item >= 0 && item < kChartSeries;
    SeriesSettings* s = selected ? &chart->series[item].settings : nullptr;
    const bool shown = s && !IsPieKind(s->kind) && s->role >= 1 && s->role <= 3;
    const bool user = shown && s->role != 3;
    if (save) {
        if (!shown) return true;
        GetLineFormatFromCombos(*majorStyle_, *majorColor_, s->majorGrid);
        GetLineFormatFromCombos(*minorStyle_, *minorColor_, s->minorGrid);
        if (user) {
            const int n = std::min(list_->count(), kMostGridlines);
            s->userGridCount = uint8_t(n);
            std::copy_n(values_.begin(), n, s->userGridValues);
            std::copy_n(lines_.begin(), n, s->userGridLines);
        }
        return true;
    }
    EnableDlgItems(this, false, {215, 229, 1019, 1021, 1020, 33049, 33050});
    ResetLines();
    list_->clear();
    logScale_ = false;
    UpdateLogNote();
    if (!shown) return true;
    EnableDlgItems(this, true, {215, 229, 1019, 1021, 1020});
    if (user) EnableDlgItems(this, true, {33049, 33050});
    ShowLine(*majorStyle_, *majorColor_, s->majorGrid);
    ShowLine(*minorStyle_, *minorColor_, s->minorGrid);
    if (!user) return true;
    const int n = std::min<int>(s->userGridCount, kMostGridlines);
    std::copy_n(s->userGridValues, n, values_.begin());
    std::copy_n(s->userGridLines, n, lines_.begin());
    for (int i = 0; i < n; ++i) list_->addItem(QString());
    logScale_ = s->scale >= 1 && s->scale <= 3;
    UpdateLogNote();
    return true;
}

} // namespace vl
