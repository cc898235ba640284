// The series of the selected chart in the container properties window: the series row,
// the list, adding and removing series, the selection's reference, and Apply.

#include "dialogs/chart/chartpage.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "formula/translate.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <cstring>

namespace vl {

namespace {

// A series keeps its formula in a field of its own, shorter than a cell's formula.
constexpr std::size_t kMaxSeriesFormula = kDataArraySize - 1;

} // namespace

namespace {

// The formula as the user writes it, or as stored when it cannot be rewritten.
std::string ShownFormula(CEvalContext* ctx, const char* stored) {
    std::string text = stored;
    if (ctx && !text.empty() && (text[0] == '=' || text[0] == '+'))
        TranslateFormula(*ctx, text, 0, 0, false, CurrentUserNotation());
    return text;
}

// The three columns of a series under the header's sections.
class SeriesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    std::function<QString(int row, int column)> text;
    std::function<std::pair<int, int>(int column)> section;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        p->fillRect(option.rect, selected ? pal.highlight() : pal.base());
        p->setPen(selected ? pal.highlightedText().color() : pal.text().color());
        for (int c = 0; c < 3; ++c) {
            const auto [x, width] = section(c);
            const QRect r(x + 4, option.rect.top(), std::max(0, width - 8), option.rect.height());
            const QString elided =
                option.fontMetrics.elidedText(text(index.row(), c), Qt::ElideRight, r.width());
            p->drawText(r, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, elided);
        }
        if (option.state & QStyle::State_HasFocus) {
            QPen pen(Qt::DotLine);
            pen.setColor(p->pen().color());
            p->setPen(pen);
            p->drawRect(option.rect.adjusted(0, 0, -1, -1));
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), option.fontMetrics.height() + 3};
    }
};

} // namespace

void CContainerPropertiesDlg::Hint(const QString& text) {
    if (host_.hint) host_.hint(text);
}

void CContainerPropertiesDlg::FillSeriesList() {
    CChart* chart = SelectedChart();
    if (!list_->itemDelegate() || !dynamic_cast<SeriesDelegate*>(list_->itemDelegate())) {
        auto* delegate = new SeriesDelegate(list_);
        delegate->text = [this](int row, int column) {
            const CChart* c = SelectedChart();
            if (!c || row >= c->settings.seriesCount) return QString();
            const SeriesSettings& s = c->series[row].settings;
            if (column == 0)
                return QString::fromLatin1(
                    SeriesTypeLabel(c->settings.type, PositionOfRole(s.role)));
            const std::string text =
                column == 1 ? std::string(s.name)
                            : ShownFormula(host_.context ? host_.context() : nullptr, s.dataArray);
            return QString::fromStdString(Cp1252ToUtf8(text));
        };
        delegate->section = [this](int column) {
            return std::pair{header_->sectionViewportPosition(column),
                             header_->sectionSize(column)};
        };
        list_->setItemDelegate(delegate);
    }
    if (!chart) return;
    for (int i = 0; i < chart->settings.seriesCount; ++i) list_->addItem(QString());
}

bool CContainerPropertiesDlg::ReadRow(SeriesSettings& s, bool typeless) {
    const CChart* chart = SelectedChart();
    if (type_->currentIndex() >= 0)
        s.role = RoleOfPosition(chart->settings.type, type_->currentIndex());
    else if (typeless)
        s.role = 1;
    const std::string name = Utf8ToCp1252(name_->text().toStdString()).substr(0, 127);
    std::memcpy(s.name, name.c_str(), name.size() + 1);
    std::string typed = Utf8ToCp1252(formula_->text().toStdString());
    if (typed.size() > kMaxSeriesFormula) return false;
    if (!typed.empty() && (typed[0] == '=' || typed[0] == '+')) {
        // Only the internal notation is stored: a text that cannot be rewritten, or whose
        // rewritten form does not fit, leaves the stored formula.
        CEvalContext* ctx = host_.context ? host_.context() : nullptr;
        std::string internal;
        if (!ctx || !TranslateFormula(*ctx, typed, internal, 0, 0, true, CurrentUserNotation()) ||
            internal.size() > kMaxSeriesFormula)
            return false;
        typed = internal;
    }
    std::memcpy(s.dataArray, typed.c_str(), typed.size() + 1);
    return true;
}

void CContainerPropertiesDlg::ExchangeSeriesRow(bool save) {
    CChart* chart = SelectedChart();
    if (!chart || series_ < 0 || series_ >= chart->settings.seriesCount) return;
    SeriesSettings& s = chart->series[series_].settings;
    if (save) {
        char oldName[kChartTextSize];
        std::memcpy(oldName, s.name, sizeof oldName);
        formulaRefused_ = !ReadRow(s, false);
        CarrySeriesRename(*chart, series_, oldName);
        if (!formulaRefused_) chart->flags = 0;
        list_->viewport()->repaint();
        return;
    }
    formulaRefused_ = false;
    const int position = PositionOfRole(s.role);
    if (position >= 0) type_->setCurrentIndex(position);
    name_->setText(QString::fromStdString(Cp1252ToUtf8(s.name)));
    CEvalContext* ctx = host_.context ? host_.context() : nullptr;
    formula_->setText(QString::fromStdString(Cp1252ToUtf8(ShownFormula(ctx, s.dataArray))));
}

bool CContainerPropertiesDlg::RowBlocks() {
    if (!formulaRefused_) return false;
    UiServices().Beep();
    formula_->setFocus();
    return true;
}

void CContainerPropertiesDlg::OnSeriesChanged(int row) {
    if (row < 0 || row == series_) return;
    if (!ExchangeCurrentPage(true)) {
        const QSignalBlocker block(list_);
        list_->setCurrentRow(series_);
        ExchangeSeriesRow(false);
        return;
    }
    series_ = row;
    ExchangeSeriesRow(false);
    FillCurrentPage();
}

void CContainerPropertiesDlg::OnAddSeries() {
    CChart* chart = SelectedChart();
    if (!chart || !ExchangeCurrentPage(true) || RowBlocks()) return;
    if (chart->settings.seriesCount >= kChartSeries) return ShowErrorMessage(kErrorChartSeries);
    const int index = AddChartSeries(*chart);
    if (!ReadRow(chart->series[index].settings, true))
        chart->series[index].settings.dataArray[0] = 0;
    chart->flags = 0;
    const QSignalBlocker block(list_);
    list_->addItem(QString());
    list_->setCurrentRow(index);
    series_ = index;
    FillCurrentPage();
    // The row now edits the new series: a reference taken next replaces only its formula.
    Hint(QStringLiteral("Series %1 added. Press Apply to draw the chart. For another series, "
                        "press Add Series, select its cells and press Reference.")
             .arg(index + 1));
}

void CContainerPropertiesDlg::OnRemoveSeries() {
    CChart* chart = SelectedChart();
    if (!chart || series_ < 0 || !chart->settings.seriesCount) return;
    const int next = RemoveChartSeries(*chart, series_);
    const QSignalBlocker block(list_);
    delete list_->takeItem(series_);
    series_ = next;
    list_->setCurrentRow(next);
    formulaRefused_ = false;
    if (next < 0) {
        name_->clear();
        formula_->clear();
    }
    ExchangeSeriesRow(false);
    FillCurrentPage();
}

void CContainerPropertiesDlg::InsertSelectionReference() {
    std::string path, reference;
    if (!SelectedChart() || !host_.selection || !host_.selection(path, reference)) return;
    // The whole path, so that the series never reads another worksheet.
    const std::string text = "=" + QualifiedReference(path, reference);
    if (text.size() > kMaxSeriesFormula) {
        UiServices().Beep();
        formula_->setFocus();
        return;
    }
    formula_->setText(QString::fromStdString(Cp1252ToUtf8(text)));
    ExchangeSeriesRow(true);
    const CChart* chart = SelectedChart();
    if (series_ < 0 || series_ >= chart->settings.seriesCount)
        Hint(QStringLiteral("Press Add Series to make these cells a series of the chart, "
                            "then Apply to draw it."));
    else
        Hint(QStringLiteral("Series %1 now reads these cells. Press Apply to draw the chart; "
                            "to add a series instead, press Add Series before Reference.")
                 .arg(series_ + 1));
}

void CContainerPropertiesDlg::OnApply() {
    if (!ExchangeCurrentPage(true) || RowBlocks()) return;
    if (const int problem = ContainerApplyProblem(*work_)) {
        ShowStringMessage(problem, MB_ICONEXCLAMATION);
        return;
    }
    work_->selected = object_;
    if (host_.apply) host_.apply(*work_);
    Hint(QString());
}

} // namespace vl
