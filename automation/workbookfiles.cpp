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
#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/com/errorinfo.h"
#include "platform/core/cp1252.h"
#include "platform/core/pathlimit.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace vl {

namespace {

constexpr size_t kSeparatorBuffer = 260;
constexpr size_t kMinPassword = 6;
constexpr int kWrongPasswordPauseMs = 2000;
constexpr int32_t kLastLoadFormat = 6;

std::function<void(int)>& PausePtr() {
    static std::function<void(int)> pause = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    return pause;
}

// A path as the system's bytes (UTF-8, every character kept), not empty and no longer than
// the system opens.
bool PathText(const CBstr& path, std::string& out) {
    if (path.Utf8().empty() || path.Utf8().size() > kMaxPathBytes) return false;
    out = std::string(path.Utf8());
    return true;
}

// Row heights through the program's document services, when it installed them.
RowAutoFit ServicesAutoFit() {
    IDocumentServices* services = GetDocumentServices();
    if (!services) return nullptr;
    return [services](CWorkbook& wb, CWorksheet& ws, uint32_t first, uint32_t last) {
        services->AutoFitRows(wb, ws, first, last);
    };
}

// The settings of a TextFileInfo object, read as the load and the text save read them.
HRESULT ReadTextFileInfo(ITextFileInfo& info, TextFileSettings& settings) {
    int32_t fixed = 0, conversion = 0, encoding = 0;
    CBstr text;
    if (info.get_useFixedColWidths(fixed) != S_OK) return E_FAIL;
    settings.useFixedColWidths = fixed == 1 ? 1 : 0;
    if (fixed == 1) {
        std::shared_ptr<CSafeArray> widths;
        if (info.GetColumnWidths(widths) != S_OK || !widths || widths->Dimensions() != 1)
            return E_OUTOFMEMORY;
        const SafeArrayBound& bound = widths->Bound(0);
        for (uint32_t k = 0; k < bound.count; ++k) {
            const int64_t column = int64_t(bound.lowerBound) + k;
            CVariant element;
            const int32_t index[] = {int32_t(column)};
            if (column < 0 || column >= kMaxColumns) continue;
            if (Failed(widths->GetElement(index, element))) return E_OUTOFMEMORY;
            settings.columnWidths[column] = uint16_t(element.integer);
        }
    } else {
        std::string ansi;
        if (info.GetSeparator(text) != S_OK || !text.ToAnsi(kSeparatorBuffer, ansi) || ansi.empty())
            return E_FAIL;
        settings.separator = uint8_t(ansi[0]);
    }
    std::string quote;
    if (info.GetQuotingSymbol(text) != S_OK || !text.ToAnsi(kSeparatorBuffer, quote) ||
        quote.empty())
        return E_FAIL;
    settings.quotingSymbol = uint8_t(quote[0]);
    if (info.GetConversion(conversion) != S_OK || info.GetEncoding(encoding) != S_OK) return E_FAIL;
    settings.conversion = uint8_t(conversion);
    settings.encoding = uint8_t(encoding);
    return TextSeparatorUsable(settings) ? S_OK : E_INVALIDARG;
}

} // namespace

void SetWrongPasswordPause(std::function<void(int)> pause) {
    PausePtr() = std::move(pause);
}

HRESULT CWorkbookObj::Load(const CBstr& path, const CBstr& password, int32_t format,
                           ITextFileInfo* textFileInfo, IXBaseInfo* xbaseInfo) {
    std::string file, key;
    if (!PathText(path, file)) return E_INVALIDARG;
    if (!password.IsEmpty() && !password.ToAnsiExact(kPasswordSize, key)) return E_INVALIDARG;
    // An unknown format opens nothing: the document and its file stay as they were.
    if (format < 0 || format > kLastLoadFormat) return S_OK;
    if ((format == 1 && !textFileInfo) || (format >= 3 && !xbaseInfo)) return E_INVALIDARG;
    std::unique_ptr<CWorkbook> loaded = CreateWorkbook();
    if (!loaded) return E_OUTOFMEMORY;
    if (format == kFileText) {
        if (const HRESULT hr = ReadTextFileInfo(*textFileInfo, loaded->textFile); hr != S_OK)
            return hr;
    }
    // The object's own file is opened again: its lock is lent to the new stream for the
    // load and taken back when the load fails, so the old document keeps its file.
    // A table whose save with its memo was cut is settled before it is read.
    if (format >= kFileDBase3) FinishXBaseSave(file);
    // A rewrite in place cut short left a whole copy beside a file that may be torn. No one
    // can be asked which to take here: nothing is read, and the error says where to go. A copy
    // a whole save has outdated since is no reason to stop.
    if (!OfferedSaveCopy(FollowLinks(file)).empty()) {
        doc_->error = kErrorInterruptedSave;
        return ReportDocumentError(IID_IWorksheet);
    }
    const bool ownFile = doc_->stream.IsOpen() && doc_->stream.IsSameFile(file.c_str());
    if (ownFile) doc_->stream.HoldLock(false);
    uint32_t line = 0;
    bool opened = OpenDocumentFile(*loaded, file.c_str());
    // A file another process holds alone (a writer) is read as it is now, read-only, without
    // a hold: the client gets the workbook and Save answers S_FALSE.
    if (!opened && loaded->error == kStreamInUse &&
        loaded->stream.Open(file.c_str(), "rbn", true, kFileBufferSize)) {
        opened = true;
        loaded->error = kErrorNone;
    }
    HRESULT result = S_OK;
    bool read = false;
    uint32_t cutFields = 0;
    uint8_t form = uint8_t(format);
    if (opened) {
        loaded->readOnly = loaded->stream.IsReadOnly() ? 1 : 0;
        // As the window opens it: the form the file's bytes are; the format asked only
        // chooses among the forms its bytes allow.
        form = FormOfFileBytes(loaded->stream, form);
        if (form == kFileNative) {
            read = OpenWorkbookFile(*loaded, key.empty() ? nullptr : key.c_str(), &line);
            if (read) UpdateWorkbookCharts(*loaded);
        } else if (form == kFileExcelXml) {
            read = ReadExcelXml(*loaded, ServicesAutoFit());
            line = loaded->xmlErrorLine;
        } else if (form == kFileText) {
            std::unique_ptr<CEvalContext> ctx(new (std::nothrow) CEvalContext);
            if (!ctx) result = E_OUTOFMEMORY;
            read = ctx && ImportTextFile(*loaded, *ctx, &cutFields);
        } else {
            // The table's reader reports its own failures.
            result = LoadXBase(*loaded, form, *xbaseInfo);
            read = result == S_OK;
        }
    }
    if (!read) {
        loaded->stream.Close();
        if (ownFile) doc_->stream.HoldLock(true);
        if (result != S_OK) return result;
        // No one waits for a file held elsewhere here: it cannot be opened for reading.
        doc_->error = loaded->error;
        if (doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
        if (doc_->error == kErrorInvalidPassword) PausePtr()(kWrongPasswordPauseMs);
        return ReportDocumentError(IID_IWorksheet, opened ? line : 0);
    }
    if (form != kFileNative) {
        // A table is the form its version byte names, which its memo file is written in.
        loaded->fileFamily = form >= kFileDBase3 ? loaded->xbase.format : form;
        loaded->fileKind = Profile().fileFormat;
    }
    doc_ = std::move(loaded);
    leftOut_ = cutFields + doc_->refusedTexts;
    // An import that left out texts outside the code page, cut document properties to their
    // fields, set aside what it could not read or left out fields past the worksheet's limits
    // succeeds with S_FALSE, its error information saying how many: the client sees what it
    // has not got.
    if (form == kFileNative || (ImportLossText(*doc_).empty() && cutFields == 0)) return S_OK;
    ReportAutomationError(kErrorCodePageImport, IID_IWorksheet, 0);
    if (std::optional<ErrorInfo> info = TakeErrorInfo()) {
        info->description = ImportLossText(*doc_);
        if (cutFields != 0)
            info->description += (info->description.empty() ? "" : "\n") +
                                 std::to_string(cutFields) +
                                 " fields of the file lie past the worksheet's last column "
                                 "or row, or hold more than a cell's text: they were left "
                                 "out or cut.";
        SetErrorInfo(std::move(*info));
    }
    return S_FALSE;
}

HRESULT CWorkbookObj::LoadXBase(CWorkbook& loaded, uint8_t format, IXBaseInfo& info) {
    loaded.xbase.format = format;
    int32_t encoding = 0;
    if (info.GetEncoding(encoding) != S_OK) return E_FAIL;
    loaded.xbase.encoding = uint8_t(encoding);
    if (!ReadDbfHeader(loaded, loaded.xbase)) {
        doc_->error = loaded.error;
        return ReportDocumentError(IID_IWorksheet);
    }
    // The object describes the table it was given, in the table's format (its memo's, when
    // its version byte names one), so that a Character field's length reads back whole.
    format = loaded.xbase.format;
    const uint32_t count = FieldCount(loaded.xbase);
    if (info.SetXBaseFormat(format) != S_OK) return E_FAIL;
    if (info.SetFieldCount(int32_t(count)) != S_OK) return E_OUTOFMEMORY;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* d = Descriptor(loaded.xbase, i);
        const uint8_t type = d[kFieldTypeByte];
        const int32_t length = type == 'C' ? int32_t(FieldLength(d, format)) : d[kFieldLengthByte];
        if (info.SetField(int32_t(i), CBstr::FromAnsi(FieldName(d)), type, length,
                          d[kFieldDecimalsByte]) != S_OK)
            return E_FAIL;
    }
    if (!ImportXBase(loaded)) {
        doc_->error = loaded.error;
        return ReportDocumentError(IID_IWorksheet);
    }
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

bool CWorkbookObj::SaveToFile(const char* path, uint8_t kind, uint8_t form) {
    if (kind == kFileNative || kind == kFileExcelXml) {
        const bool excel = kind == kFileExcelXml;
        if (!(excel ? SaveExcelXmlFile(*doc_, path) : SaveWorkbookFile(*doc_, path, form))) {
            // A client does not wait for a file held elsewhere: it cannot be opened.
            if (doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
            return false;
        }
        doc_->fileFamily = kind;
        doc_->readOnly = 0; // the file written is the document's now, held for writing
        leftOut_ = 0;
        return true;
    }
    CWorksheet* sheet = doc_->tree.active;
    if (!sheet) {
        doc_->error = kErrorNoWorksheet;
        return false;
    }
    const std::string target = path;
    // No one can be asked here: a file that would hold other values than the worksheet shows
    // is not written, and the error counts them.
    if (kind == kFileText || (kind >= kFileDBase3 && kind <= kFileClipper)) {
        const ErrorCode refused = WrittenOtherwise(*doc_, kind, writtenOtherwise_);
        if (refused != kErrorNone) {
            doc_->error = refused;
            return false;
        }
    }
    bool ok = false;
    if (kind == kFileText)
        ok = SaveAside(*doc_, path, [&](CWorkbook& book) { return ExportTextFile(book, *sheet); });
    else if (kind >= kFileDBase3 && kind <= kFileClipper)
        ok = SaveXBaseFile(*doc_, *sheet, target, [](CWorkbook&) { return true; });
    else
        doc_->error = kErrorFileFormat;
    if (!ok && doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
    if (ok) doc_->readOnly = 0;
    if (ok) leftOut_ = 0; // the file written holds the whole worksheet
    return ok;
}

// A file its load left fields or texts out of would lose them: no one can be asked here, so no
// route writes over it, and the call changes nothing (a save under another name keeps both).
bool CWorkbookObj::KeepsLeftOutFile(const std::string& path) const {
    return WritesOverLeftOut(doc_->stream, leftOut_, path);
}

HRESULT CWorkbookObj::Save() {
    if (doc_->readOnly || !doc_->stream.IsOpen()) return S_FALSE;
    const std::string path = doc_->stream.GetPath();
    if (KeepsLeftOutFile(path)) return S_FALSE;
    if (!SaveToFile(path.c_str(), doc_->fileFamily, SaveForm()))
        return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::SaveAs(const CBstr& path) {
    std::string file;
    if (!PathText(path, file)) return E_INVALIDARG;
    if (doc_->readOnly && doc_->encryption != 0) return S_FALSE;
    if (KeepsLeftOutFile(file)) return S_FALSE;
    if (!SaveToFile(file.c_str(), kFileNative, SaveForm()))
        return ReportDocumentError(IID_IWorksheet);
    return S_OK;
}

HRESULT CWorkbookObj::SaveAsDatabase(const CBstr& path, IXBaseInfo* xbaseInfo) {
    std::string file;
    if (!PathText(path, file) || !xbaseInfo) return E_INVALIDARG;
    int32_t format = 0, count = 0, encoding = 0;
    if (xbaseInfo->GetXBaseFormat(format) != S_OK) return E_FAIL;
    if (format < kFileDBase3 || format > kFileClipper) return E_INVALIDARG;
    // A table without fields could not be read again.
    if (xbaseInfo->GetFieldCount(count) != S_OK || count < 1) return E_INVALIDARG;
    XBaseSaveOptions options;
    options.format = uint8_t(format);
    if (!AllocateDescriptors(options, uint32_t(count))) return E_OUTOFMEMORY;
    bool tooLong = false;
    HRESULT hr = FillDescriptors(*xbaseInfo, options, uint32_t(count), tooLong);
    if (hr == S_OK && xbaseInfo->GetEncoding(encoding) != S_OK) hr = E_FAIL;
    if (hr != S_OK || tooLong) {
        ReleaseXBaseSaveOptions(options);
        if (hr != S_OK) return hr;
        doc_->error = kErrorTooManyFields;
        return ReportDocumentError(IID_IWorksheet);
    }
    options.encoding = uint8_t(encoding);
    if (KeepsLeftOutFile(file)) {
        ReleaseXBaseSaveOptions(options);
        return S_FALSE;
    }
    ReleaseXBaseSaveOptions(doc_->xbase);
    doc_->xbase = options;
    if (!SaveToFile(file.c_str(), uint8_t(format), SaveForm()))
        return ReportDocumentError(IID_IWorksheet);
    doc_->fileFamily = uint8_t(format);
    return S_OK;
}

HRESULT CWorkbookObj::FillDescriptors(IXBaseInfo& info, XBaseSaveOptions& options, uint32_t count,
                                      bool& tooLong) {
    uint64_t recordLength = 1;
    bool memo = false;
    for (uint32_t i = 0; i < count; ++i) {
        CBstr name;
        uint8_t type = 0;
        int32_t length = 0, decimals = 0;
        if (info.GetField(int32_t(i), name, type, length, decimals) != S_OK) return E_FAIL;
        // A field never set (or refused by SetField) has no type: no reader takes the table.
        if (type < 'A' || type > 'Z') return E_INVALIDARG;
        uint8_t* d = options.fieldDescriptors + std::size_t(i) * kDescriptorSize;
        std::string ansi;
        name.ToAnsi(std::string::npos, ansi);
        std::memcpy(d, ansi.data(), std::min<std::size_t>(ansi.size(), kFieldNameLength));
        d[kFieldTypeByte] = type;
        d[kFieldLengthByte] = uint8_t(length);
        d[kFieldDecimalsByte] = uint8_t(decimals);
        recordLength += FieldLength(d, options.format);
        memo = memo || type == 'M';
    }
    const uint64_t limit = SplitsLengths(options.format) ? kLargestRecord - 1 : kLargestRecord;
    tooLong = recordLength > limit || count * kDescriptorSize + kXBaseHeaderSize + 1 >= 65535;
    FillXBaseHeader(options, count, uint32_t(recordLength), 0, memo);
    return S_OK;
}

HRESULT CWorkbookObj::SaveAsTextFile(const CBstr& path, ITextFileInfo* textFileInfo) {
    std::string file;
    if (!PathText(path, file) || !textFileInfo) return E_INVALIDARG;
    auto settings = std::make_unique<TextFileSettings>(doc_->textFile);
    if (const HRESULT hr = ReadTextFileInfo(*textFileInfo, *settings); hr != S_OK) return hr;
    if (KeepsLeftOutFile(file)) return S_FALSE;
    doc_->textFile = *settings;
    if (!SaveToFile(file.c_str(), kFileText, SaveForm()))
        return ReportDocumentError(IID_IWorksheet);
    doc_->fileFamily = kFileText;
    return S_OK;
}

HRESULT CWorkbookObj::SaveAsExcelFile(const CBstr& path) {
    std::string file;
    if (!PathText(path, file)) return E_INVALIDARG;
    if (KeepsLeftOutFile(file)) return S_FALSE;
    // Through the save worker, so that a held target is reported as every save reports it.
    if (!SaveToFile(file.c_str(), kFileExcelXml, doc_->fileKind))
        return ReportDocumentError(IID_IWorksheet);
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
    if (!password.ToAnsiExact(kPasswordSize, key) || key.size() < kMinPassword) return E_INVALIDARG;
    CopyTextField(doc_->password, key.c_str(), kPasswordSize);
    doc_->encryption = allowReadOnly != 0 ? 3 : 4;
    return S_OK;
}

HRESULT CWorkbookObj::SaveRangeAsImage(const CBstr& range, const CBstr& path, double gamma) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    std::string file;
    if (!PathText(path, file)) return E_INVALIDARG;
    if (const HRESULT hr = PrepareCells(range, sheet, r); hr != S_OK) return hr;
    IDocumentServices* services = GetDocumentServices();
    std::string sheetPath;
    if (!services || !BuildTreeItemPath(sheet, sheetPath, false)) return E_FAIL;
    if (services->SaveRangeAsImage(*doc_, sheetPath.c_str(), r, file.c_str(), gamma)) return S_OK;
    if (doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
    return ReportDocumentError(IID_IWorksheet);
}

HRESULT CWorkbookObj::SaveContainerAsImage(int32_t containerId, const CBstr& path, double gamma) {
    std::string file;
    if (!PathText(path, file)) return E_INVALIDARG;
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
    if (doc_->error == kStreamInUse) doc_->error = kStreamOpenRead;
    return ReportDocumentError(IID_IWorksheet);
}

} // namespace vl
