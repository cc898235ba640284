#include "app/program/printservices.h"

#include "app/uiservices.h"
#include "formula/celltext.h"
#include "model/workbook.h"
#include "print/printjob.h"
#include "print/printpreview.h"

#include <QFileInfo>
#include <algorithm>

namespace vl {

namespace {

class CPreviewPane : public IPrintPreviewPane {
public:
    CPreviewPane(CEvalContext& ctx, bool showFormulas) : display_(ctx, showFormulas) {}
    bool Open(CWorkbook& workbook, CWorksheet& sheet, const DeviceMode& mode, QWidget* parent) {
        preview_ = CPrintPreview::Open(workbook, display_, sheet, mode, parent);
        return preview_ != nullptr;
    }
    QWidget* Widget() override { return preview_.get(); }
    int SheetCount() const override { return preview_->SheetCount(); }
    int CurrentSheet() const override { return preview_->CurrentSheet(); }
    void ShowSheet(int sheet) override { preview_->ShowSheet(sheet); }
    void ZoomIn() override { preview_->ZoomIn(); }
    void ZoomOut() override { preview_->ZoomOut(); }

private:
    CCellDisplay display_;
    std::unique_ptr<CPrintPreview> preview_;
};

} // namespace

void ResolvePrintSelection(CWorksheet& sheet) {
    PageSetupRecord& setup = sheet.pageSetup;
    // A container stored by the last printing stays: the window's selected container is not
    // reachable from here.
    if (setup.printRangeKind != kPrintCellRange && setup.printRangeKind != kPrintSelection) return;
    const CellRef* s = sheet.view.selection;
    const CellRange range{std::min(s[0].column, s[1].column), std::min(s[0].row, s[1].row),
                          std::max(s[0].column, s[1].column), std::max(s[0].row, s[1].row)};
    MakeRangeDescriptor(range, &setup.printRange);
    setup.printRangeKind = kPrintCellRange;
}

std::unique_ptr<IPrintPreviewPane>
CProgramPrintServices::OpenPreview(QWidget* parent, IWorkbookWnd& window, int& error) {
    CWorkbook* workbook = window.Workbook();
    CWorksheet* sheet = workbook ? workbook->tree.active : nullptr;
    CEvalContext* ctx = window.EvalContext();
    if (!sheet || !ctx) return nullptr;
    ResolvePrintSelection(*sheet);
    DeviceMode mode;
    ErrorCode code = kErrorNone;
    if (!SelectPrinter(printers_, sheet->pageSetup, mode, code)) {
        error = code;
        return nullptr;
    }
    auto pane = std::make_unique<CPreviewPane>(*ctx, workbook->showFormulas != 0);
    if (!pane->Open(*workbook, *sheet, mode, parent)) {
        error = workbook->error;
        return nullptr;
    }
    return pane;
}

int CProgramPrintServices::Print(QWidget*, IWorkbookWnd& window, bool all) {
    CWorkbook* workbook = window.Workbook();
    CWorksheet* active = workbook ? workbook->tree.active : nullptr;
    CEvalContext* ctx = window.EvalContext();
    if (!active || !ctx) return 0;
    std::vector<CWorksheet*> sheets;
    if (all) {
        for (CTreeItem* item = workbook->tree.first; item; item = item->next)
            if (CWorksheet* ws = AsWorksheet(item)) sheets.push_back(ws);
    } else {
        sheets.push_back(active);
    }
    for (CWorksheet* ws : sheets) ResolvePrintSelection(*ws);
    DeviceMode mode;
    ErrorCode code = kErrorNone;
    if (!SelectPrinter(printers_, active->pageSetup, mode, code)) return code;
    std::string path;
    if (mode.printer.builtInPdf) {
        const QString stem = QFileInfo(window.Title()).completeBaseName();
        const QString suggested =
            QString::fromStdString(FreePdfPath(printers_.DocumentsFolder(), stem.toStdString()));
        const QString chosen = UiServices().GetSaveFileName(QString(), suggested, "PDF (*.pdf)");
        if (chosen.isEmpty()) return 0;
        path = chosen.toStdString();
    }
    CCellDisplay display(*ctx, workbook->showFormulas != 0);
    const std::string title = window.Title().toStdString();
    return PrintWorksheets(*workbook, display, sheets, mode, path, title.c_str()).error;
}

} // namespace vl
