// The format commands of the window: the six format pages opened on the selection's common
// formatting, the four font toggles, row heights and column widths, and the Statistics and
// Protection dialogs.

#include "app/frametoolbars.h"
#include "app/mainframe.h"
#include "dialogs/formatpageapi.h"
#include "formula/edit/sizecommands.h"
#include "model/formatattribute.h"
#include "model/rowcolumnsizes.h"
#include "model/selectionstyles.h"
#include "platform/core/cp1252.h"
#include "render/metrics.h"
#include "resources/commandids.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/formatapply.h"
#include "workbookwnd/waitcursor.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QPointer>
#include <QToolBar>
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <utility>

namespace vl {

namespace {

constexpr int kPageCommands[] = {ID_FORMAT_FONT,      ID_FORMAT_CELL, ID_FORMAT_STYLE,
                                 ID_FORMAT_ALIGNMENT, ID_FORMAT_LIST, ID_FORMAT_WORKSHEET};

bool IsPageCommand(int id) {
    for (int page : kPageCommands)
        if (page == id) return true;
    return false;
}

} // namespace

void CWorkbookWnd::RegisterFormatCommands() {
    auto& c = commands_;
    for (int id : kPageCommands) c[id] = [this, id] { OnFormat(id); };
    for (int id : {int(ID_BOLD), int(ID_ITALIC), int(ID_UNDERLINE), int(ID_FONT_STYLE_4)})
        c[id] = [this, id] { OnFontStyleToggle(id); };
    c[ID_ROW_HEIGHT] = [this] { OnChangeSize(false); };
    c[ID_AUTO_ROW_HEIGHT] = [this] { OnAutoSize(false); };
    c[ID_COLUMN_WIDTH] = [this] { OnChangeSize(true); };
    c[ID_AUTO_COLUMN_WIDTH] = [this] { OnAutoSize(true); };
    c[ID_FILE_STATISTICS] = [this] { OnFileStatistics(); };
    c[ID_FILE_PROTECTION] = [this] { OnFileProtection(); };
}

bool CWorkbookWnd::FormatCommandAvailable(int id) const {
    if (IsPageCommand(id)) return Pages() != nullptr;
    if (id == ID_ROW_HEIGHT || id == ID_COLUMN_WIDTH) return UiServices().HasChangeSizeDialog();
    if (id == ID_FILE_STATISTICS) return UiServices().HasStatisticsDialog();
    if (id == ID_FILE_PROTECTION) return UiServices().HasProtectionDialog();
    return true;
}

IFormatPages* CWorkbookWnd::Pages() const {
    return frame_ ? frame_->FormatPages() : nullptr;
}

CWorkbookWnd* CWorkbookWnd::FormatTarget() {
    if (!frame_) return this;
    return AsWorkbookWnd(frame_->GetActiveWorkbookWnd());
}

namespace {

// The screen point under the active cell's left edge, kept inside the grid.
QPoint BelowActiveCell(CWorksheetView& view) {
    const CellRange& sel = view.Selection();
    const DcRect box = view.GetRangeRect({sel.c1, sel.r1, sel.c1, sel.r1});
    const QRect grid = view.viewport()->rect();
    const QPoint point(std::clamp(box.left, grid.left(), grid.right()),
                       std::clamp(box.bottom + 1, grid.top(), grid.bottom()));
    return view.viewport()->mapToGlobal(point);
}

} // namespace

void CWorkbookWnd::OnFormat(int id) {
    IFormatPages* pages = Pages();
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!pages || !view || !sheet) return;
    FormatPageRequest request;
    request.parent = frame_ ? static_cast<QWidget*>(frame_) : this;
    // The pages drop down under their button while the bar shows it, else under the active
    // cell (the menu's items must not do nothing with the bar hidden).
    QToolBar* bar = frame_ ? frame_->Toolbar(kFormattingBar) : nullptr;
    QAction* action = frame_ ? frame_->ToolAction(id) : nullptr;
    QWidget* button = bar && action ? bar->widgetForAction(action) : nullptr;
    if (bar && bar->isVisible() && button && button->isVisible())
        request.point = button->mapToGlobal(QPoint(0, button->height()));
    else if (frame_)
        request.point = BelowActiveCell(*view);
    else
        request.point = mapToGlobal(QPoint(0, 0));
    view->EndCellEdit(kEditStay);
    QPointer<CWorkbookWnd> self(this);
    auto target = [self]() -> CWorkbookWnd* { return self ? self->FormatTarget() : nullptr; };
    if (id == ID_FORMAT_WORKSHEET) {
        pages->OpenBackgroundPage(request, sheet->view, [target](const ViewSettingsRecord& v) {
            CWorkbookWnd* wnd = target();
            return wnd && ApplyBackgroundFormat(*wnd, v);
        });
        return;
    }
    OpenFormatPane(id, request);
}

void CWorkbookWnd::OpenFormatPane(int id, FormatPageRequest request) {
    IFormatPages* pages = Pages();
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!pages || !view || !sheet) return;
    view->EndCellEdit(kEditStay);
    const CellRange sel = view->Selection();
    SelectionStyle merged =
        CompareSelectionStyles(book_->styles, sel.c1, sel.c2, sel.r1, sel.r2, sheet->formats);
    request.mixed = merged.mixed;
    QPointer<CWorkbookWnd> self(this);
    auto target = [self]() -> CWorkbookWnd* { return self ? self->FormatTarget() : nullptr; };
    auto applyStyle = [target](const StyleRecord& style, uint8_t code) {
        CWorkbookWnd* wnd = target();
        return wnd && ApplyBorderFormat(*wnd, style, code);
    };
    switch (id) {
    case ID_FORMAT_LIST: {
        // A list the page removed leaves no cell of this workbook pointing at its slot; the
        // removal, the selection's change and the other cells losing the list are one edit.
        auto removed = std::make_shared<std::optional<std::pair<uint16_t, DropDownListRecord>>>();
        request.listRemoved = [removed](uint16_t list, const DropDownListRecord& record) {
            *removed = std::make_pair(list, record);
        };
        auto applyList = [self, applyStyle, removed](const StyleRecord& style, uint8_t code) {
            if (!self) return false;
            const uint64_t before = self->book_->undo.claims;
            const bool applied = applyStyle(style, code);
            if (removed->has_value()) {
                CWorkbook& book = *self->book_;
                CWorksheetView* view = self->GetActiveView();
                const CellRange sel = view ? view->Selection() : CellRange{};
                book.RecordUndoListRemoval(sel, sel.c1, sel.r1, (*removed)->first,
                                           std::move((*removed)->second),
                                           book.undo.claims != before);
                removed->reset();
                self->SetModified(true);
                if (view) view->InvalidateAll();
            } else {
                ForgetRemovedDropDownLists(self->book_->styles, self->book_->dropDownLists);
            }
            return applied;
        };
        pages->OpenListPage(request, merged.style, book_->dropDownLists, applyList);
        break;
    }
    case ID_FORMAT_FONT: {
        ColoredFont font;
        font.font = merged.font;
        const FontRecord& standard = DefaultFontRecord();
        if (!font.font.faceName[0])
            std::memcpy(font.font.faceName, standard.faceName, sizeof font.font.faceName);
        if (!font.font.size) font.font.size = standard.size;
        font.colorGiven = merged.style.fontRef.colorGiven;
        font.color = merged.style.fontRef.color;
        pages->OpenFontPage(request, font, [target](const ColoredFont& f, uint8_t code) {
            CWorkbookWnd* wnd = target();
            return wnd && wnd->ApplyFontChoice(f, code);
        });
        break;
    }
    case ID_FORMAT_ALIGNMENT:
        // The page's whole alignment includes its rotation bar.
        pages->OpenAlignmentPage(
            request, merged.style, [applyStyle](const StyleRecord& style, uint8_t code) {
                return applyStyle(style,
                                  code == kAttrAlignment ? uint8_t(kAttrAlignmentRotation) : code);
            });
        break;
    case ID_FORMAT_STYLE:
        pages->OpenStylePage(
            request, merged.style.numberFormat, [target](const StandardFormat& format) {
                CWorkbookWnd* wnd = target();
                if (!wnd) return false;
                StyleRecord style;
                style.numberFormat = format;
                const uint8_t code = format.kind < 10 ? kAttrNumberFormat : kAttrNumberFormatCode;
                return ApplySelectionFormat(*wnd, code, style, FontRecord{});
            });
        break;
    case ID_FORMAT_CELL:
        if (!merged.style.borderSides && !merged.style.borderLine.style)
            merged.style.borderLine.style = FORMAT_LINE_SOLID;
        pages->OpenBorderPage(request, merged.style, applyStyle);
        break;
    default:
        break;
    }
}

bool CWorkbookWnd::ApplyFontChoice(const ColoredFont& font, uint8_t code) {
    StyleRecord style;
    style.fontRef.colorGiven = font.colorGiven;
    style.fontRef.color = font.color;
    return ApplySelectionFormat(*this, code, style, font.font);
}

void CWorkbookWnd::OnFontStyleToggle(int id) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    view->EndCellEdit(kEditStay);
    const CellRange sel = view->Selection();
    const SelectionStyle merged =
        CompareSelectionStyles(book_->styles, sel.c1, sel.c2, sel.r1, sel.r2, sheet->formats);
    ColoredFont font;
    font.font = merged.font;
    font.colorGiven = merged.style.fontRef.colorGiven;
    font.color = merged.style.fontRef.color;
    // A mixed attribute is turned on, as is one that is off everywhere.
    auto flip = [&merged](uint8_t value, int flag, uint8_t on) -> uint8_t {
        return merged.mixed[flag] == 2 || value == 0 ? on : 0;
    };
    uint8_t code = 0;
    switch (id) {
    case ID_BOLD:
        font.font.weight = flip(font.font.weight == 2 ? 2 : 0, kMixWeight, 2);
        code = kAttrFontWeight;
        break;
    case ID_ITALIC:
        font.font.italic = flip(font.font.italic, kMixItalic, 1);
        code = kAttrFontItalic;
        break;
    case ID_UNDERLINE:
        font.font.underline = flip(font.font.underline, kMixUnderline, 1);
        code = kAttrFontUnderline;
        break;
    default:
        font.font.strikeout = flip(font.font.strikeout, kMixStrikeout, 1);
        code = kAttrFontStrikeout;
        break;
    }
    ApplyFontChoice(font, code);
}

bool CWorkbookWnd::AutoRowHeightTicked() const {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return false;
    return vl::AutoRowHeightTicked(sheet->formats, view->Selection().r1, view->Selection().r2);
}

void CWorkbookWnd::AfterSizeChange() {
    CWorksheetView* view = GetActiveView();
    view->InvalidateAll();
    view->UpdateScrollBars(false, true);
    view->SyncSplitPane();
    SetModified(true);
    UpdateStatus();
}

void CWorkbookWnd::OnChangeSize(bool columns) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    view->EndCellEdit(kEditStay);
    const CellRange sel = view->Selection();
    // The dialog starts at the first selected row's height or column's width.
    int size = columns ? GetColumnWidth(*sheet, sel.c1, 100) : GetRowHeight(*sheet, sel.r1, 100);
    if (UiServices().ChangeSizeDialog(this, columns, size) != IDOK) return;
    WaitCursor wait;
    bool recorded = false;
    if (SetSizesCommand(*book_, CurrentGridSelection(), columns, uint16_t(size), &recorded) !=
        CommandResult::kDone)
        ShowErrorMessage(book_->error);
    if (recorded) AfterSizeChange();
}

void CWorkbookWnd::OnAutoSize(bool columns) {
    CWorksheetView* view = GetActiveView();
    CWorksheet* sheet = book_->tree.active;
    if (!view || !sheet) return;
    view->EndCellEdit(kEditStay);
    WaitCursor wait;
    const CellRange sel = view->Selection();
    if (AutoSizeCommand(*book_, CurrentGridSelection(), columns) != CommandResult::kDone)
        return ShowErrorMessage(book_->error);
    if (columns) {
        view->RefitColumns(sel.c1, sel.c2);
        // Wrapped texts follow the new widths.
        uint16_t c1 = 0, c2 = 0;
        uint32_t r1 = 0, r2 = 0;
        if (sheet->cells.GetUsedRange(&c1, &c2, &r1, &r2)) view->RefitRows(r1, r2);
    } else {
        view->RefitRows(sel.r1, sel.r2);
    }
    AfterSizeChange();
}

void CWorkbookWnd::OnFileStatistics() {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    view->EndCellEdit(kEditStay);
    UiServices().StatisticsDialog(this, *book_, view->Selection());
}

void CWorkbookWnd::OnFileProtection() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    const uint8_t code = book_->encryption;
    ProtectionChoice choice;
    choice.on = code != 0;
    choice.encryption = code == 3 || code == 4 ? 1 : 0;
    choice.allowReadOnly = code == 1 || code == 3;
    choice.password = QString::fromStdString(Cp1252ToUtf8(book_->password));
    if (UiServices().ProtectionDialog(this, choice) != IDOK) return;
    if (choice.on) {
        book_->encryption = choice.encryption == 1 ? (choice.allowReadOnly ? 3 : 4)
                                                   : (choice.allowReadOnly ? 1 : 2);
        CopyTextField(book_->password, Utf8ToCp1252(choice.password.toStdString()).c_str(),
                      kPasswordSize);
    } else {
        book_->encryption = 0;
        book_->password[0] = 0;
    }
    SetModified(true);
    UpdateStatus();
}

uint16_t CWorkbookWnd::ActiveZoom() const {
    const CWorksheet* sheet = book_->tree.active;
    return sheet && sheet->view.scale ? sheet->view.scale : 100;
}

void CWorkbookWnd::CommitCellEdit() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
}

void CWorkbookWnd::ApplyZoom(uint16_t zoom, bool allWorksheets) {
    ApplyZoomToWindow(*this, zoom, allWorksheets);
}

} // namespace vl
