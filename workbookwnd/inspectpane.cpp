#include "workbookwnd/inspectpane.h"

#include "core/settings.h"
#include "formula/addresstext.h"
#include "formula/celltext.h"
#include "model/cellstyle.h"
#include "model/stylerecords.h"
#include "model/styles.h"
#include "model/workbook.h"
#include "model/worksheettree.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "platform/core/screen.h"
#include "resources/commandids.h"
#include "resources/menus.h"
#include "resources/strings.h"
#include "ui/commandprompts.h"
#include "ui/messages.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPen>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <algorithm>
#include <strings.h>

namespace vl {

namespace {

constexpr int kEntryRole = Qt::UserRole;
constexpr int kInitialWidths[4] = {180, 180, 180, 120};

QString FromCp1252(const char* text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

// The watch list draws a focus frame round its area while it has the keyboard and no entry
// is current (an empty list), so that F6 into it shows where the keys went.
class CInspectList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void paintEvent(QPaintEvent* event) override {
        QListWidget::paintEvent(event);
        if (!hasFocus() || currentItem()) return;
        // Drawn here, not by the style, which draws a focus frame only after a Tab.
        QPainter painter(viewport());
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(viewport()->rect().adjusted(1, 1, -1, -1));
    }
    void focusInEvent(QFocusEvent* event) override {
        QListWidget::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QListWidget::focusOutEvent(event);
        viewport()->update();
    }
};

// Draws one watch-list row: four single-line texts, each in its header column.
class InspectDelegate : public QStyledItemDelegate {
public:
    InspectDelegate(CInspectPane& pane) : QStyledItemDelegate(&pane), pane_(pane) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const uint32_t entry = index.data(kEntryRole).toUInt();
        const bool selected = option.state & QStyle::State_Selected;
        painter->save();
        if (selected) painter->fillRect(option.rect, option.palette.highlight());
        QColor color =
            selected ? option.palette.highlightedText().color() : option.palette.text().color();
        if (pane_.EntryUnresolved(entry)) color = QColor(255, 0, 0);
        painter->setPen(color);
        const QHeaderView* header = pane_.Header();
        for (int column = 0; column < 4; ++column) {
            QRect cell(header->sectionViewportPosition(column), option.rect.top(),
                       header->sectionSize(column), option.rect.height());
            cell.adjust(2, 0, -2, 0);
            const QString text = option.fontMetrics.elidedText(pane_.EntryText(entry, column),
                                                               Qt::ElideRight, cell.width());
            painter->drawText(cell, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.rect = option.rect;
            focus.state = option.state;
            QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter);
        }
        painter->restore();
    }

private:
    CInspectPane& pane_;
};

} // namespace

InspectLayout ComputeInspectLayout(int width, int height, int h, int b) {
    InspectLayout out;
    out.columnWidth = std::max(100, width / 4);
    out.header = QRect(0, 0, width, h);
    out.list = QRect(0, h - 1, width, std::max(0, height - 2 * h));
    for (int i = 0; i < 4; ++i) out.buttons[i] = QRect(width - (4 - i) * b - 1, height - h, b, h);
    out.buttonsShown = height - h > h;
    out.edit = QRect(1, height - h, width - 4 * b - 2, h - 1);
    out.editShown = out.edit.width() >= 1 && out.buttonsShown;
    return out;
}

CInspectPane::CInspectPane(CWorkbookWnd& wnd) : wnd_(wnd) {
    auto* model = new QStandardItemModel(0, 4, this);
    model->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Address"),
                                      QStringLiteral("Formula"), QStringLiteral("Value")});
    header_ = new QHeaderView(Qt::Horizontal, this);
    header_->setModel(model);
    // Clicking a column sorts nothing.
    header_->setSectionsClickable(true);
    header_->setSortIndicatorShown(false);
    for (int i = 0; i < 4; ++i) header_->resizeSection(i, kInitialWidths[i]);
    list_ = new CInspectList(this);
    list_->setItemDelegate(new InspectDelegate(*this));
    list_->setUniformItemSizes(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit_ = new QLineEdit(this);
    // The record keeps its terminator in the 128 bytes.
    edit_->setMaxLength(kInspectedNameSize - 1);
    const char* labels[4] = {"Add", "Remove", "Remove All", "Go To"};
    for (int i = 0; i < 4; ++i) buttons_[i] = new QPushButton(QString::fromLatin1(labels[i]), this);
    connect(header_, &QHeaderView::sectionResized, list_->viewport(),
            qOverload<>(&QWidget::update));
    connect(buttons_[kAdd], &QPushButton::clicked, this, [this] { ShowAddMenu(); });
    connect(buttons_[kRemove], &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(buttons_[kRemoveAll], &QPushButton::clicked, this, [this] { RemoveAll(); });
    connect(buttons_[kGoTo], &QPushButton::clicked, this, [this] { GoToSelected(); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { GoToSelected(); });
}

int CInspectPane::ButtonWidth() const {
    const int text = buttons_[0]->fontMetrics().horizontalAdvance(QStringLiteral("Remove All"));
    return text + text / 5;
}

void CInspectPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const InspectLayout layout =
        ComputeInspectLayout(width(), height(), kMenuBarHeight, ButtonWidth());
    for (int i = 0; i < 4; ++i) header_->resizeSection(i, layout.columnWidth);
    header_->setGeometry(layout.header);
    list_->setGeometry(layout.list);
    for (int i = 0; i < 4; ++i) {
        buttons_[i]->setGeometry(layout.buttons[i]);
        buttons_[i]->setVisible(layout.buttonsShown);
    }
    edit_->setGeometry(layout.edit);
    edit_->setVisible(layout.editShown);
}

void CInspectPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const COLORREF face = GetSystemColor(kColorButtonFace);
    painter.fillRect(QRect(0, height() - kMenuBarHeight, width(), kMenuBarHeight),
                     QColor(RedOf(face), GreenOf(face), BlueOf(face)));
}

bool CInspectPane::Reload() {
    list_->clear();
    CPagedList& watch = wnd_.Book().inspectedCells;
    for (uint32_t i = 0; i < watch.ItemCount(); ++i) {
        auto* item = new QListWidgetItem();
        item->setData(kEntryRole, i);
        item->setSizeHint(QSize(0, kMenuBarHeight));
        list_->addItem(item);
    }
    if (list_->count() > 0) list_->setCurrentRow(0);
    return list_->count() == int(watch.ItemCount());
}

void CInspectPane::SelectRow(int row) {
    if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
}

CWorksheet* CInspectPane::SheetOf(const InspectedCellRecord& entry) const {
    for (CTreeItem* p = wnd_.Book().tree.first; p; p = p->next) {
        std::string path;
        if (p->IsWorksheet() && BuildTreeItemPath(p, path, false) &&
            strcasecmp(path.c_str(), entry.worksheet) == 0)
            return static_cast<CWorksheet*>(p);
    }
    return nullptr;
}

bool CInspectPane::EntryUnresolved(uint32_t index) {
    InspectedCellRecord entry;
    if (!GetInspectedCell(wnd_.Book().inspectedCells, index, entry)) return true;
    CWorksheet* sheet = SheetOf(entry);
    return !sheet || !FindCell(sheet->cells, entry.cell.row, entry.cell.column);
}

QString CInspectPane::EntryText(uint32_t index, int column) {
    InspectedCellRecord entry;
    if (!GetInspectedCell(wnd_.Book().inspectedCells, index, entry)) return {};
    if (column == kName) return FromCp1252(entry.name);
    if (column == kAddress) {
        RangeDescriptor range;
        MakeRangeDescriptor({entry.cell.column, entry.cell.row, entry.cell.column, entry.cell.row},
                            &range);
        return FromCp1252(entry.worksheet) + QLatin1Char('!') +
               QString::fromStdString(FormatRangeText(range, Profile().addressingA1 == 0));
    }
    CWorksheet* sheet = SheetOf(entry);
    const uint8_t* cell =
        sheet ? FindCell(sheet->cells, entry.cell.row, entry.cell.column) : nullptr;
    if (!cell) return {};
    std::string text;
    if (column == kFormula) {
        if (!cell::IsFormula(cell)) return {};
        // The formula reads its worksheet as the active one for the moment.
        CEvalContext* ctx = wnd_.EvalContext();
        CCellStore* before = ctx->currentCells;
        ctx->currentCells = &sheet->cells;
        text = GetFormulaUserText(*ctx, cell);
        ctx->currentCells = before;
    } else {
        CellCursor runs;
        const uint16_t style =
            StyleIndexAt(sheet->formats, entry.cell.row, entry.cell.column, runs);
        FormatCellValue(cell, GetStyleRecord(wnd_.Book().styles, style).numberFormat, text);
    }
    return QString::fromStdString(Cp1252ToUtf8(text));
}

void CInspectPane::ShowAddMenu() {
    std::size_t count = 0;
    const MenuLine* lines = InspectAddMenuLines(count);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    MarkPromptMenu(*menu);
    for (std::size_t i = 1; i < count; ++i) {
        if (!lines[i].text) continue;
        const int id = lines[i].id;
        QAction* action = menu->addAction(QString::fromLatin1(lines[i].text));
        SetItemCommand(*action, id);
        connect(action, &QAction::triggered, this, [this, id] { AddEntries(id); });
    }
    menu->popup(buttons_[kAdd]->mapToGlobal(QPoint(0, buttons_[kAdd]->height())));
}

void CInspectPane::AddEntries(int id) {
    CWorksheet* sheet = wnd_.Book().tree.active;
    CWorksheetView* view = wnd_.GetActiveView();
    if (!sheet || !view) return;
    view->EndCellEdit(kEditStay);
    InspectedCellRecord entry;
    std::string path;
    BuildTreeItemPath(sheet, path, false);
    CopyTextField(entry.worksheet, path.c_str(), kInspectedPathSize);
    CopyTextField(entry.name, Utf8ToCp1252(edit_->text().toStdString()).c_str(),
                  kInspectedNameSize);
    CellRange area = view->Selection();
    const bool any = id == ID_INSPECT_SELECTED ||
                     sheet->cells.GetUsedRange(&area.c1, &area.c2, &area.r1, &area.r2);
    bool stored = true;
    if (any) {
        CellCursor cursor{kAdvance, sheet->cells.StartPageForRow(area.r1), 0};
        while (const uint8_t* r = GetNextCellInRange(cursor, area)) {
            const bool formula = cell::IsFormula(r);
            if ((id == ID_INSPECT_ALL_FORMULAS && !formula) ||
                (id == ID_INSPECT_ERROR_FORMULAS && (!formula || !cell::Error(r))))
                continue;
            entry.cell = {cell::Column(r), cell::Row(r), kRefCell};
            if (!(stored = AppendInspectedCell(wnd_.Book().inspectedCells, entry))) break;
        }
    }
    Reload();
    SelectRow(list_->count() - 1);
    if (!stored) ShowErrorMessage(kErrorWorksheetMemory);
}

void CInspectPane::RemoveSelected() {
    const int row = list_->currentRow();
    if (row < 0) return;
    RemoveInspectedCell(wnd_.Book().inspectedCells, uint32_t(row));
    Reload();
    SelectRow(std::min(row, list_->count() - 1));
}

void CInspectPane::RemoveAll() {
    list_->clear();
    wnd_.Book().inspectedCells.Clear(false);
}

void CInspectPane::GoToSelected() {
    const int row = list_->currentRow();
    InspectedCellRecord entry;
    if (row < 0 || !GetInspectedCell(wnd_.Book().inspectedCells, uint32_t(row), entry)) return;
    CWorksheet* sheet = SheetOf(entry);
    if (!sheet) return ShowMessageText(AppString(IDS_INVALID_ADDRESS));
    if (CWorksheetView* view = wnd_.GetActiveView()) view->EndCellEdit(kEditStay);
    if (sheet != wnd_.Book().tree.active) wnd_.TreePane()->Select(sheet);
    wnd_.TreePane()->Control()->scrollToItem(wnd_.TreePane()->FindHandle(sheet));
    CWorksheetView* view = wnd_.GetActiveView();
    view->SetSelection({entry.cell.column, entry.cell.row, entry.cell.column, entry.cell.row});
    view->ScrollToCell(entry.cell.row, entry.cell.column);
    view->InvalidateAll();
    view->SyncSplitPane();
    wnd_.UpdateStatus();
}

} // namespace vl
