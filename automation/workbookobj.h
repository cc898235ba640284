#pragma once
// The Workbook object: a whole workbook document inside an automation object, with no
// window and outside the frame's table of open documents, driven through IWorksheet and
// ITree. Its tree starts empty; NewDocument or a load gives it worksheets.

#include "automation/interfaces.h"
#include "automation/serverlock.h"
#include "model/exchangesettings.h"
#include "model/rangedescriptor.h"

#include <functional>
#include <memory>
#include <string>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;
struct ParsedCellRef;

class CWorkbookObj final : public IAutomationObject,
                           public IWorksheet,
                           public ITree,
                           public std::enable_shared_from_this<CWorkbookObj> {
public:
    // A new object with an empty document; E_OUTOFMEMORY when it cannot be had.
    static HRESULT Create(std::shared_ptr<CWorkbookObj>& out);
    ~CWorkbookObj() override;
    CWorkbookObj(const CWorkbookObj&) = delete;
    CWorkbookObj& operator=(const CWorkbookObj&) = delete;

    CWorkbook& Document() { return *doc_; }
    CEvalContext& Context() { return *ctx_; }

    // IAutomationObject
    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    IWorksheet* QueryWorksheet() override { return this; }
    ITree* QueryTree() override { return this; }

    // IWorksheet: the document (workbookobj.cpp)
    HRESULT get_WorksheetTree(std::shared_ptr<ITree>& tree) override;
    HRESULT put_WorksheetTree(ITree* tree) override;
    HRESULT NewDocument() override;
    HRESULT UpdateWorksheet() override;
    // IWorksheet: files (workbookfiles.cpp)
    HRESULT Load(const CBstr& path, const CBstr& password, int32_t format,
                 ITextFileInfo* textFileInfo, IXBaseInfo* xbaseInfo) override;
    HRESULT Save() override;
    HRESULT SaveAs(const CBstr& path) override;
    HRESULT SaveAsDatabase(const CBstr& path, IXBaseInfo* xbaseInfo) override;
    HRESULT SaveAsTextFile(const CBstr& path, ITextFileInfo* textFileInfo) override;
    HRESULT SaveAsExcelFile(const CBstr& path) override;
    HRESULT GetProtection(CBstr& password, int32_t& allowReadOnly) override;
    HRESULT SetProtection(const CBstr& password, int32_t allowReadOnly) override;
    HRESULT SaveRangeAsImage(const CBstr& range, const CBstr& path, double gamma) override;
    HRESULT SaveContainerAsImage(int32_t containerId, const CBstr& path, double gamma) override;
    // IWorksheet: cells (workbookcells.cpp)
    HRESULT Clear(const CBstr& range, int32_t clearType) override;
    HRESULT GetValue(const CBstr& cell, CVariant& value) override;
    HRESULT PutValue(const CBstr& cell, const CVariant& value) override;
    HRESULT GetFormula(const CBstr& cell, CBstr& formula) override;
    HRESULT PutFormula(const CBstr& cell, const CBstr& formula) override;
    HRESULT GetRange(const CBstr& range, std::shared_ptr<CSafeArray>& values) override;
    HRESULT PutRange(const CBstr& range, const CSafeArray* values) override;
    HRESULT GetStyleID(const CBstr& cell, int32_t& id) override;
    HRESULT PutStyleID(const CBstr& cell, int32_t id) override;
    // IWorksheet: formats and page setup (workbookformat.cpp)
    HRESULT CreateFormatInfo(std::shared_ptr<IAutomationObject>& info) override;
    HRESULT format(const CBstr& range, int32_t formatType, IFormatInfo* info) override;
    HRESULT CreatePageInfo(std::shared_ptr<IAutomationObject>& info) override;
    HRESULT GetPageSettings(IPageInfo* info) override;
    HRESULT SetPageSettings(IPageInfo* info) override;
    // IWorksheet: printing (workbookprint.cpp)
    HRESULT PrintAll() override;
    HRESULT PrintRange(const CBstr& range) override;
    HRESULT PrintPages(const CBstr& pages) override;
    HRESULT PrintContainer(int32_t containerId) override;

    // ITree (workbooktree.cpp)
    HRESULT GetItemCount(int32_t& count) override;
    HRESULT GetFirstChildOf(int32_t folder, int32_t& child) override;
    HRESULT GetNextItem(int32_t item, int32_t& next) override;
    HRESULT GetPreviousItem(int32_t item, int32_t& previous) override;
    HRESULT InsertItem(int32_t insertAt, int32_t type, const CBstr& name, int32_t& index) override;
    HRESULT DeleteItem(int32_t item) override;
    HRESULT GetItemName(int32_t item, CBstr& name) override;
    HRESULT SetItemName(int32_t item, const CBstr& name) override;
    HRESULT IsWorksheet(int32_t item, int32_t& result) override;
    HRESULT IsFolder(int32_t item, int32_t& result) override;
    HRESULT GetItemPath(int32_t item, CBstr& path) override;
    HRESULT GetItemIndex(const CBstr& path, int32_t& index) override;
    HRESULT SetActiveWorksheet(const CBstr& path) override;
    HRESULT GetActiveWorksheet(CBstr& path) override;
    HRESULT UpdateWorkbook() override;

private:
    CWorkbookObj() = default;

    // The active worksheet with the evaluator pointed at it; null when the tree has none,
    // with `hr` the reported error 13.
    CWorksheet* ActiveSheet(HRESULT& hr);
    HRESULT Recalculate(const Guid& iid);
    HRESULT ReportDocumentError(const Guid& iid, uint32_t line = 0);
    // Parses a reference and finds the active worksheet: S_OK, E_INVALIDARG or error 13.
    HRESULT PrepareCells(const CBstr& text, CWorksheet*& sheet, CellRange& range);
    // The save worker: the document as `kind` (0 native in `form` 1 to 4, 1 text, 2 Excel
    // 2003 XML, 3 to 6 xBase: the active worksheet) to `path`.
    bool SaveToFile(const char* path, uint8_t kind, uint8_t form);
    // A save to `path` would write over the document's file while its load left part of it
    // out: every saving method then answers S_FALSE and changes nothing.
    bool KeepsLeftOutFile(const std::string& path) const;
    HRESULT LoadXBase(CWorkbook& loaded, uint8_t format, IXBaseInfo& info);
    // The descriptors and header of a table from an XBaseInfo object.
    // `tooLong` when the record or the header would not fit a table.
    HRESULT FillDescriptors(IXBaseInfo& info, XBaseSaveOptions& options, uint32_t count,
                            bool& tooLong);
    // The form a save writes: the document's, else the profile's, binary when protected.
    uint8_t SaveForm();
    // Prints the active worksheet by the print selection of its page setup: S_OK, or S_FALSE
    // with the reason in the document's error code.
    HRESULT PrintDocument(CWorksheet& sheet);

    CServerLockHold lock_;
    std::unique_ptr<CWorkbook> doc_;
    std::unique_ptr<CEvalContext> ctx_;
    // Fields and texts of the document's file its load left out; no save writes over it.
    uint32_t leftOut_ = 0;
    // What the last save refused to write otherwise than the worksheet shows it, which the
    // reported error describes.
    std::string writtenOtherwise_;
};

// The pause before a wrong password is reported (2,000 ms); tests put in their own.
void SetWrongPasswordPause(std::function<void(int milliseconds)> pause);

} // namespace vl
