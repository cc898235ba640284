// The file methods of IWorksheet: loading and saving the native forms, and the password.
// Loading builds the new document aside and takes it only when it was read whole, so a
// failed load leaves the object's document as it was.
#include "automation/cellreftext.h"
#include "automation/documentservices.h"
#include "automation/errorreport.h"
#include "automation/typelib.h"
#include "automation/workbookobj.h"
#include "core/settings.h"
#include "exchange/excelxml.h"
#include "exchange/excelxmlsave.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"

#include <chrono>
#include <thread>

namespace vl {

namespace {

constexpr size_t kLoadPathBuffer = 260;
constexpr size_t kSavePathBuffer = 257; // 256 bytes and the terminator
constexpr size_t kMinPassword = 6;
constexpr int kWrongPasswordPauseMs = 2000;
constexpr int32_t kLastLoadFormat = 6;

std::function<void(int)>& PausePtr() {
    static std::function<void(int)> pause = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    return pause;
}

// A path in the program's code page, not empty and within the buffer.
bool PathText(const CBstr& path, size_t buffer, std::string& out) {
    return path.ToAnsi(buffer, out) && !out.empty();
}

// Row heights through the program's document services, when it installed them.
RowAutoFit ServicesAutoFit() {
    IDocumentServices* services = GetDocumentServices();
    if (!services) return nullptr;
    return [services](CWorkbook& wb, CWorksheet& ws, uint32_t first, uint32_t last) {
        services->AutoFitRows(wb, ws, first, last);
    };
}

} // namespace

void SetWrongPasswordPause(std::function<void(int)> pause) {
    PausePtr() = std::move(pause);
}

HRESULT CWorkbookObj::Load(const CBstr& path, const CBstr& password, int32_t format,
                           ITextFileInfo* textFileInfo, IXBaseInfo* xbaseInfo) {
    std::string file, key;
    if (!PathText(path, kLoadPathBuffer, file)) return E_INVALIDARG;
    if (!password.IsEmpty() && !password.ToAnsi(kPasswordSize, key)) return E_INVALIDARG;
    // An unknown format opens nothing: the document and its file stay as they were.
    if (format < 0 || format > kLastLoadFormat) return S_OK;
    if ((format == 1 && !textFileInfo) || (format >= 3 && !xbaseInfo)) return E_INVALIDARG;
    // Text and xBase files come with their exchange code.
    if (format != kFileNative && format != kFileExcelXml) return E_FAIL;
    std::unique_ptr<CWorkbook> loaded = CreateWorkbook();
    if (!loaded) return E_OUTOFMEMORY;
    // The object's own file is opened again: its lock is lent to the new stream for the
    // load and taken back when the load fails, so the old document keeps its file.
    const bool ownFile = doc_->stream.IsOpen() && doc_->stream.IsSameFile(file.c_str());
    if (ownFile) doc_->stream.HoldLock(false);
    uint32_t line = 0;
    const bool opened = OpenDocumentFile(*loaded, file.c_str());
    bool read = false;
    if (opened && format == kFileExcelXml) {
        read = ReadExcelXml(*loaded, ServicesAutoFit());
        line = loaded->xmlErrorLine;
        if (read) loaded->fileFamily = kFileExcelXml;
    } else if (opened) {
        read = OpenWorkbookFile(*loaded, key.empty() ? nullptr : key.c_str(), &line);
    }
    if (!read) {
        loaded->stream.Close();
        if (ownFile) doc_->stream.HoldLock(true);
        // No one waits for a file held elsewhere here: it cannot be opened for reading.
        doc_->error = loaded->error == kStreamInUse ? uint8_t(kStreamOpenRead) : loaded->error;
        if (doc_->error == kErrorInvalidPassword) PausePtr()(kWrongPasswordPauseMs);
        return ReportDocumentError(IID_IWorksheet, opened ? line : 0);
    }
    UpdateWorkbookCharts(*loaded);
    doc_ = std::move(loaded);
    return S_OK;
}

uint8_t CWorkbookObj::SaveForm() {
    uint8_t form = doc_->fileKind;
    if (form < kFormatXml || form > kFormatBinaryCompressed) form = Profile().fileFormat;
    if (form < kFormatXml || form > kFormatBinaryCompressed) form = kFormatBinary;
    // Only the binary form carries a password.
    if (doc_->encryption != 0 && form != kFormatBinary && form != kFormatBinaryCompressed)
        form = kFormatBinary;
    doc_->fileKind = form;
    return form;
}

bool CWorkbookObj::SaveToFile(const char* path, uint8_t form, uint8_t kind) {
    const bool excel = kind == kFileExcelXml;
    if (!(excel ? SaveExcelXmlFile(*doc_, path) : SaveWorkbookFile(*doc_, path, form))) {
        // A client does not wait for a file held elsewhere: it cannot be opened.
        if (doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
        return false;
    }
    if (!excel) doc_->fileFamily = 0;
    return true;
}

HRESULT CWorkbookObj::Save() {
    if (doc_->readOnly || !doc_->stream.IsOpen()) return S_FALSE;
    const std::string path = doc_->stream.GetPath();
    if (!SaveToFile(path.c_str(), SaveForm(), doc_->fileFamily))
        return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::SaveAs(const CBstr& path) {
    std::string file;
    if (!PathText(path, kSavePathBuffer, file)) return E_INVALIDARG;
    if (doc_->readOnly && doc_->encryption != 0) return S_FALSE;
    if (!SaveToFile(file.c_str(), SaveForm(), kFileNative))
        return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::SaveAsDatabase(const CBstr& path, IXBaseInfo* xbaseInfo) {
    std::string file;
    if (!PathText(path, kSavePathBuffer, file) || !xbaseInfo) return E_INVALIDARG;
    return E_FAIL; // xBase tables come with the exchange code
}

HRESULT CWorkbookObj::SaveAsTextFile(const CBstr& path, ITextFileInfo* textFileInfo) {
    std::string file;
    if (!PathText(path, kSavePathBuffer, file) || !textFileInfo) return E_INVALIDARG;
    return E_FAIL; // text files come with the exchange code
}

HRESULT CWorkbookObj::SaveAsExcelFile(const CBstr& path) {
    std::string file;
    if (!PathText(path, kSavePathBuffer, file)) return E_INVALIDARG;
    if (!SaveExcelXmlFile(*doc_, file.c_str())) return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::GetProtection(CBstr& password, int32_t& allowReadOnly) {
    if (doc_->encryption != 0) password = CBstr::FromAnsi(doc_->password);
    allowReadOnly = doc_->readOnly ? 1 : 0;
    return S_OK;
}

HRESULT CWorkbookObj::SetProtection(const CBstr& password, int32_t allowReadOnly) {
    if (doc_->readOnly) return S_FALSE;
    if (password.IsEmpty()) {
        doc_->encryption = 0;
        return S_OK;
    }
    // Checked whole before anything is stored: a refused password changes nothing.
    std::string key;
    if (!password.ToAnsi(kPasswordSize, key) || key.size() < kMinPassword) return E_INVALIDARG;
    CopyTextField(doc_->password, key.c_str(), kPasswordSize);
    doc_->encryption = allowReadOnly != 0 ? 3 : 4;
    return S_OK;
}

HRESULT CWorkbookObj::SaveRangeAsImage(const CBstr& range, const CBstr& path, double gamma) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    std::string file;
    if (!PathText(path, kLoadPathBuffer, file)) return E_INVALIDARG;
    if (const HRESULT hr = PrepareCells(range, sheet, r); hr != S_OK) return hr;
    IDocumentServices* services = GetDocumentServices();
    std::string sheetPath;
    if (!services || !BuildTreeItemPath(sheet, sheetPath, false)) return E_FAIL;
    if (services->SaveRangeAsImage(*doc_, sheetPath.c_str(), r, file.c_str(), gamma)) return S_OK;
    return ReportDocumentError(IID_IWorksheet);
}

HRESULT CWorkbookObj::SaveContainerAsImage(int32_t containerId, const CBstr& path, double gamma) {
    std::string file;
    if (!PathText(path, kLoadPathBuffer, file)) return E_INVALIDARG;
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    CContainer* found = nullptr;
    for (CContainer* c = sheet->firstContainer; c && !found; c = c->next)
        if (c->settings.id == containerId) found = c;
    if (!found) {
        doc_->error = kErrorContainerNotFound;
        return ReportDocumentError(IID_IWorksheet);
    }
    IDocumentServices* services = GetDocumentServices();
    std::string sheetPath;
    if (!services || !BuildTreeItemPath(sheet, sheetPath, false)) return E_FAIL;
    if (services->SaveContainerAsImage(*doc_, sheetPath.c_str(), found->settings.id, file.c_str(),
                                       gamma))
        return S_OK;
    return ReportDocumentError(IID_IWorksheet);
}

} // namespace vl
