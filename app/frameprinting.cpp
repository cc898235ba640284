#include "app/frameprinting.h"

#include "dialogs/printgeneralpage.h"
#include "dialogs/printpreview.h"
#include "dialogs/printsheet.h"
#include "dialogs/printwaitdlg.h"
#include "formula/celltext.h"
#include "model/workbook.h"
#include "print/printjob.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cstring>

namespace vl {

namespace {

class CPreviewPane : public IPrintPreviewPane {
public:
    CPreviewPane(CEvalContext& ctx, bool showFormulas) : display_(ctx, showFormulas) {}
    bool Open(CWorkbook& workbook, CWorksheet& sheet, const DeviceMode& mode, QWidget* parent,
              const std::string& filePath) {
        CPrintProgressBox progress;
        preview_ =
            CPrintPreview::Open(workbook, display_, sheet, mode, parent, filePath, &progress);
        return preview_ != nullptr;
    }
    QWidget* Widget() override { return preview_.get(); }
    int SheetCount() const override { return preview_->SheetCount(); }
    int CurrentSheet() const override { return preview_->CurrentSheet(); }
    void ShowSheet(int sheet) override { preview_->ShowSheet(sheet); }
    void ZoomIn() override { preview_->ZoomIn(); }
    void ZoomOut() override { preview_->ZoomOut(); }
    int ZoomMode() const override { return preview_->ZoomMode(); }
    void SetZoomMode(int mode) override { preview_->SetZoomMode(mode); }
    double Zoom() const override { return preview_->Zoom(); }
    void SetZoomChanged(std::function<void()> notify) override {
        preview_->SetZoomChanged(std::move(notify));
    }

private:
    CCellDisplay display_;
    std::unique_ptr<CPrintPreview> preview_;
};

bool AsksForSelection(uint8_t kind) {
    return kind == kPrintCellRange || kind == kPrintContainer || kind == kPrintSelection;
}

// Paginates the printout with its progress shown: the code it is refused with, kErrorNone
// when it may go on, nothing when the user stopped it.
std::optional<ErrorCode> CheckBeforeAsking(CWorkbook& workbook,
                                           const std::vector<CWorksheet*>& sheets,
                                           const DeviceMode& mode, CCellDisplay& display) {
    CPrintProgressBox checking;
    const ErrorCode refused = CheckPagination(workbook, sheets, mode, true, &checking, &display);
    if (checking.Stopped()) return std::nullopt;
    return refused;
}

CellRange StoredSelection(const CWorksheet& sheet) {
    const CellRef* s = sheet.view.selection;
    return {std::min(s[0].column, s[1].column), std::min(s[0].row, s[1].row),
            std::max(s[0].column, s[1].column), std::max(s[0].row, s[1].row)};
}

} // namespace

std::string HeaderFilePath(const IWorkbookWnd& window) {
    return QFile::encodeName(window.FilePath()).toStdString();
}

void ResolvePrintSelection(CWorksheet& sheet, const CellRange* selection, uint16_t container) {
    PageSetupRecord& setup = sheet.pageSetup;
    if (!AsksForSelection(setup.printRangeKind)) return;
    if (container) {
        setup.printRangeKind = kPrintContainer;
        setup.printedContainer = container;
        return;
    }
    MakeRangeDescriptor(selection ? *selection : StoredSelection(sheet), &setup.printRange);
    setup.printRangeKind = kPrintCellRange;
}

CFramePrintServices::CFramePrintServices(const IPrinterService& printers)
    : inches(UsesInches(QLocale::system())), printers_(printers) {}

void CFramePrintServices::ResolveFromWindow(IWorkbookWnd& window, CWorksheet& sheet) const {
    CellRange range;
    uint16_t container = 0;
    if (window.ActiveSelection(range, container))
        ResolvePrintSelection(sheet, &range, container);
    else
        ResolvePrintSelection(sheet);
}

ErrorCode CFramePrintServices::ChoosePrinter(const PageSetupRecord& setup, DeviceMode& mode) {
    // The printer the sheet chose stands while the system still lists it with paper, as it
    // is now; else the page settings' printer (or the default one) is selected again.
    if (printer_) {
        const std::vector<PrinterEntry> printers = ListPrinters(printers_);
        const auto listed = std::find_if(printers.begin(), printers.end(), [&](const auto& p) {
            return p.name == printer_->printer.name && !p.papers.empty();
        });
        if (listed == printers.end())
            printer_.reset();
        else
            printer_->printer = *listed;
    }
    if (!printer_) return SelectPrinter(printers_, setup, mode);
    mode = *printer_;
    for (const PaperInfo& paper : mode.printer.papers)
        if (paper.name == setup.paperName) mode.paper = paper;
    mode.landscape = setup.landscape != 0;
    return kErrorNone;
}

CFramePrintServices::SheetAnswer
CFramePrintServices::RunSheet(QWidget* parent, IWorkbookWnd& window, CWorksheet& sheet,
                              bool pageSetupMode, DeviceMode& mode) {
    CPrintSheet dialog(parent, pageSetupMode, inches, printers_, AppTitle());
    dialog.SetPrinter(mode);
    dialog.LoadPageSettings(sheet.pageSetup);
    const int answer = UiServices().RunDialog(dialog);
    SheetAnswer result;
    PageSetupRecord record = sheet.pageSetup;
    if (dialog.Outcome(record, mode)) {
        // OK without a change leaves the workbook as it was, unmodified.
        uint8_t before[kPageSetupRecordSize], after[kPageSetupRecordSize];
        WritePageSetupRecord(before, sheet.pageSetup);
        WritePageSetupRecord(after, record);
        const bool changed = std::memcmp(before, after, sizeof after) != 0;
        sheet.pageSetup = record;
        // A printer without paper is refused by the job it was chosen for, and never kept:
        // the next sheet opens on a printer that can print.
        if (mode.printer.papers.empty())
            printer_.reset();
        else
            printer_ = mode;
        if (changed) window.SetModified(true);
        result.stored = true;
    }
    result.print = answer == QDialog::Accepted && !dialog.CancelPressed();
    result.toFile = dialog.General() && dialog.General()->PrintToFile();
    return result;
}

std::unique_ptr<IPrintPreviewPane> CFramePrintServices::OpenPreview(QWidget* parent,
                                                                    IWorkbookWnd& window) {
    CWorkbook* workbook = window.Workbook();
    CWorksheet* sheet = workbook ? workbook->tree.active : nullptr;
    CEvalContext* ctx = window.EvalContext();
    if (workbook) workbook->error = kErrorNone;
    if (!sheet || !ctx) return nullptr;
    ResolveFromWindow(window, *sheet);
    DeviceMode mode;
    if (const ErrorCode error = ChoosePrinter(sheet->pageSetup, mode)) {
        Fail(*workbook, error);
        return nullptr;
    }
    auto pane = std::make_unique<CPreviewPane>(*ctx, workbook->showFormulas != 0);
    if (!pane->Open(*workbook, *sheet, mode, parent, HeaderFilePath(window)))
        return nullptr; // the error recorded
    return pane;
}

ErrorCode CFramePrintServices::PageSetup(QWidget* parent, IWorkbookWnd& window) {
    CWorkbook* workbook = window.Workbook();
    CWorksheet* sheet = workbook ? workbook->tree.active : nullptr;
    if (!sheet) return kErrorNone;
    DeviceMode mode;
    if (const ErrorCode error = ChoosePrinter(sheet->pageSetup, mode)) return error;
    const SheetAnswer answer = RunSheet(parent, window, *sheet, true, mode);
    // The selected cells become the print range; the kind stays for printing to resolve.
    if (answer.stored && AsksForSelection(sheet->pageSetup.printRangeKind)) {
        CellRange range;
        uint16_t container = 0;
        if (!window.ActiveSelection(range, container)) range = StoredSelection(*sheet);
        MakeRangeDescriptor(range, &sheet->pageSetup.printRange);
    }
    return kErrorNone;
}

ErrorCode CFramePrintServices::Print(QWidget* parent, IWorkbookWnd& window, bool all) {
    CWorkbook* workbook = window.Workbook();
    CWorksheet* active = workbook ? workbook->tree.active : nullptr;
    CEvalContext* ctx = window.EvalContext();
    if (!active || !ctx) return kErrorNone;
    DeviceMode mode;
    if (const ErrorCode error = ChoosePrinter(active->pageSetup, mode)) return error;
    const SheetAnswer answer = RunSheet(parent, window, *active, false, mode);
    if (!answer.print) return kErrorNone;
    if (mode.printer.papers.empty()) return kErrorNoPrinter; // the sheet chose a paperless one
    std::vector<CWorksheet*> sheets;
    if (all) {
        for (CTreeItem* item = workbook->tree.first; item; item = item->next)
            if (CWorksheet* ws = AsWorksheet(item)) sheets.push_back(ws);
    } else {
        sheets.push_back(active);
    }
    for (CWorksheet* ws : sheets) {
        if (ws == active)
            ResolveFromWindow(window, *ws);
        else
            ResolvePrintSelection(*ws);
    }
    CCellDisplay display(*ctx, workbook->showFormulas != 0);
    std::string path;
    if (mode.printer.builtInPdf || answer.toFile) {
        // A printout too large to make is refused before the user names its file; the box
        // and its hold on the keys go before the file dialog asks.
        if (const auto refused = CheckBeforeAsking(*workbook, sheets, mode, display);
            !refused || *refused)
            return refused.value_or(kErrorNone);
        // The document's own name, not the window title with its worksheet and star.
        const QString file = window.FilePath();
        const QString stem =
            file.isEmpty() ? AppString(IDS_NEW_WORKBOOK) : QFileInfo(file).completeBaseName();
        // Beside the workbook's file, as Save As starts; a new workbook in the documents.
        const std::string folder = file.isEmpty() ? printers_.DocumentsFolder()
                                                  : QFileInfo(file).absolutePath().toStdString();
        const QString suggested = QString::fromStdString(FreePdfPath(folder, stem.toStdString()));
        const QString chosen = UiServices().GetSaveFileName(QString(), suggested, "PDF (*.pdf)");
        if (chosen.isEmpty()) return kErrorNone;
        path = chosen.toStdString();
    }
    const std::string filePath = HeaderFilePath(window);
    CPrintProgressBox progress;
    const ErrorCode error = PrintWorksheets(*workbook, display, sheets, mode, path,
                                            filePath.c_str(), true, &printers_, &progress)
                                .error;
    // A file held elsewhere cannot be written: "in use" has no message of its own.
    return error == kStreamInUse ? ErrorCode(kStreamOpenWrite) : error;
}

} // namespace vl
