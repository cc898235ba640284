#include "workbookwnd/documentopen.h"

#include "core/settings.h"
#include "exchange/excelxml.h"
#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "platform/core/pathlimit.h"
#include "render/canvas.h"
#include "render/metrics.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/workbookwnd.h"

#include <algorithm>
#include <iterator>

namespace vl {

namespace {

constexpr FileFilter kOpenFilters[] = {
    {"Vorlane (*.vln;*.vlb)", "*.vln;*.vlb", kFileNative, true},
    {"Text (*.txt;*.csv;*.tsv)", "*.txt;*.csv;*.tsv", kFileText, false},
    {"Excel 2003 XML (*.xml)", "*.xml", kFileExcelXml, false},
    {"dBase III+ (*.dbf)", "*.dbf", kFileDBase3, false},
    {"dBase IV (*.dbf)", "*.dbf", kFileDBase4, false},
    {"FoxPro 2.x (*.dbf)", "*.dbf", kFileFoxPro, false},
    {"Clipper (*.dbf)", "*.dbf", kFileClipper, false},
    {"All Files (*.*)", "*", kFileNative, false},
};

constexpr FileFilter kSaveFilters[] = {
    {"Vorlane (*.vln)", "*.vln", kFileNative, false},
    {"Text (*.txt;*.csv;*.tsv)", "*.txt;*.csv;*.tsv", kFileText, false},
    {"Excel 2003 XML (*.xml)", "*.xml", kFileExcelXml, false},
    {"dBase III+ (*.dbf)", "*.dbf", kFileDBase3, false},
    {"dBase IV (*.dbf)", "*.dbf", kFileDBase4, false},
    {"FoxPro 2.x (*.dbf)", "*.dbf", kFileFoxPro, false},
    {"Clipper (*.dbf)", "*.dbf", kFileClipper, false},
    {"All Files (*.*)", "*", kFileNative, false},
};

struct Extension {
    const char* text;
    uint8_t type;
};
constexpr Extension kExtensions[] = {
    {".vln", kFileNative}, {".vlb", kFileNative},   {".txt", kFileText},   {".csv", kFileText},
    {".tsv", kFileText},   {".xml", kFileExcelXml}, {".dbf", kFileDBase4},
};

// Files whose header offers a plain copy open read-only without the password.
bool OffersPlainCopy(uint8_t encryption) {
    return encryption == 1 || encryption == 3;
}

// A rewrite in place that was cut short left the whole file it was writing aside: the user
// may put it back before the torn file is read, while the file is still as that cut left it.
// False when that was chosen and failed.
bool OfferInterruptedSave(CWorkbook& book, const std::string& path) {
    const std::string target = FollowLinks(path);
    if (OfferedSaveCopy(target).empty()) return true;
    const int answer = UiServices().MessageBox(
        QStringLiteral("A save of %1 was cut short, and the file may be incomplete. A whole "
                       "copy of the workbook that save was writing was kept.\n\nPut that "
                       "copy in place of the file and open it?")
            .arg(QString::fromStdString(path)),
        AppTitle(), MB_YESNO | MB_ICONEXCLAMATION);
    if (answer != IDYES) return true;
    book.error = RestoreInterruptedSave(target);
    if (book.error == kStreamInUse) book.error = kStreamOpenWrite;
    return book.error == kErrorNone;
}

bool OpenWaiting(CWorkbook& book, const std::string& path) {
    if (!OfferInterruptedSave(book, path)) return false;
    if (OpenDocumentFile(book, path.c_str())) return true;
    if (book.error != kStreamInUse) return false;
    // Another process holds the file: wait for it as long as the user lets us.
    const int answer = UiServices().WaitForFile(QString::fromStdString(path), ProcessClock(), [&] {
        return OpenDocumentFile(book, path.c_str()) || book.error != kStreamInUse;
    });
    if (answer != IDOK) {
        book.error = kErrorNone;
        return false;
    }
    if (!book.stream.IsOpen()) return false;
    book.error = kErrorNone; // the wait is over: the file is no longer in use
    return true;
}

// The options of a text file, or the summary and character set of a table (whose header
// is read for it), before the file is read; false on Cancel (error 0) or a bad header.
bool AskForeignOptions(CWorkbook& book, const std::string& path, uint8_t type) {
    int answer = IDOK;
    if (type == kFileText) {
        answer = UiServices().TextFileDialog(book.textFile, false);
    } else if (type >= kFileDBase3 && type <= kFileClipper) {
        book.xbase.format = type;
        if (!ReadDbfHeader(book, book.xbase)) return false;
        answer = UiServices().XBaseDialog(book.xbase, QString::fromStdString(path), false);
    }
    if (answer == IDOK) return true;
    book.error = kErrorNone;
    return false;
}

QString CutFieldsMessage(uint32_t count) {
    return QStringLiteral("%1 fields of the file do not fit the worksheet: they lie past its "
                          "last column (%2) or row (%3), or hold more than a cell's %4 "
                          "characters. They were left out or cut; a save over the file asks "
                          "first, as it would lose them.")
        .arg(count)
        .arg(kMaxColumns)
        .arg(kMaxRows)
        .arg(kMaxCellText);
}

} // namespace

const FileFilter* OpenFilters(std::size_t& count) {
    count = std::size(kOpenFilters);
    return kOpenFilters;
}

const FileFilter* SaveFilters(std::size_t& count) {
    count = std::size(kSaveFilters);
    return kSaveFilters;
}

bool GetFileTypeFromExtension(const std::string& name, uint8_t& type) {
    type = kFileNative;
    if (name.size() < 4) return false;
    const std::string tail = name.substr(name.size() - 4);
    for (const Extension& e : kExtensions) {
        if (CompareNoCase(tail.c_str(), e.text) == 0) {
            type = e.type;
            return true;
        }
    }
    return false;
}

bool ReadNativeDocument(CWorkbook& book) {
    uint8_t kind = 0, encryption = 0;
    if (!DetectWorkbookFormat(book, kind, encryption)) return false;
    std::string password;
    bool plain = false;
    if (encryption != 0) {
        QString typed;
        if (UiServices().AskPassword(OffersPlainCopy(encryption), typed, plain) != IDOK) {
            book.error = kErrorNone;
            return false;
        }
        password = Utf8ToCp1252(typed.toStdString());
    }
    UiServices().SetWaitCursor(true);
    const bool ok = OpenWorkbookFile(book, encryption && !plain ? password.c_str() : nullptr);
    UiServices().SetWaitCursor(false);
    if (ok) UpdateWorkbookCharts(book);
    return ok;
}

bool ReadExcelXmlDocument(CWorkbook& book, CCellDisplay& display) {
    CCanvas canvas;
    canvas.AttachWindow(nullptr);
    const RowAutoFit fit = [&](CWorkbook& wb, CWorksheet& ws, uint32_t first, uint32_t last) {
        AutoFitRowHeights(wb, display, canvas, ws, first, last);
    };
    UiServices().SetWaitCursor(true);
    const bool ok = ReadExcelXml(book, fit, kScreenDpi);
    UiServices().SetWaitCursor(false);
    if (ok) UpdateWorkbookCharts(book);
    return ok;
}

bool ReadForeignDocument(CWorkbook& book, uint8_t type, uint32_t* cutFields) {
    // The option dialogs of text files and tables take their settings as they stand.
    bool ok = false;
    UiServices().SetWaitCursor(true);
    if (type == kFileText) {
        std::unique_ptr<CEvalContext> ctx(new (std::nothrow) CEvalContext);
        ok = ctx ? ImportTextFile(book, *ctx, cutFields)
                 : (book.error = kErrorWorksheetMemory, false);
    } else if (type >= kFileDBase3 && type <= kFileClipper) {
        book.xbase.format = type;
        ok = ImportXBase(book);
    } else {
        book.error = kErrorFileFormat;
    }
    UiServices().SetWaitCursor(false);
    // A table is the form its version byte names, which its memo file is written in.
    if (ok) book.fileFamily = type == kFileText ? type : book.xbase.format;
    return ok;
}

bool OpenDocument(CWorkbookWnd& window, const std::string& path, uint8_t type) {
    CWorkbook& book = window.Book();
    // Past the limit every route shares, a path is refused as one that cannot be opened.
    if (path.size() > kMaxPathBytes) {
        book.error = kStreamOpenRead;
        return false;
    }
    // A table whose save with its memo was cut is settled before it is read.
    if (type >= kFileDBase3 && type <= kFileClipper) FinishXBaseSave(path);
    if (!OpenWaiting(book, path)) return false;
    book.readOnly = book.stream.IsReadOnly() ? 1 : 0;
    type = FormOfFileBytes(book.stream, type);
    uint32_t cutFields = 0;
    bool ok = false;
    if (type == kFileNative) {
        ok = ReadNativeDocument(book);
    } else if (type == kFileExcelXml) {
        ok = ReadExcelXmlDocument(book, window.Display());
        if (ok) book.fileFamily = kFileExcelXml;
    } else {
        ok = AskForeignOptions(book, path, type) && ReadForeignDocument(book, type, &cutFields);
    }
    if (!ok) {
        book.stream.Close();
        return false;
    }
    window.SetPath(path);
    window.SetCutFields(cutFields);
    window.SyncContext();
    // The texts an import left out (characters outside the code page), the properties it cut,
    // what it set aside and the fields past the worksheet's limits are counted to the user
    // once the rest is read.
    if (const std::string lost = ImportLossText(book); type != kFileNative && !lost.empty())
        ShowMessageText(QString::fromLatin1(lost));
    if (cutFields != 0) ShowMessageText(CutFieldsMessage(cutFields));
    return true;
}

void ShowOpenError(const CWorkbook& book) {
    if (book.error == kErrorNone) return;
    // The XML reader's codes are shown with the line where reading stopped.
    if (book.error >= kErrorXmlMemory && book.error <= kErrorXmlData)
        ShowErrorMessageAtLine(book.error, int(book.xmlErrorLine));
    else
        ShowErrorMessage(book.error);
}

// Recent paths are the system's bytes (UTF-8), kept whole.
void RemoveRecentFile(const std::string& path) {
    const std::string& entry = path;
    auto& files = Profile().recentFiles;
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const std::string& f) {
                                   return CompareNoCase(f.c_str(), entry.c_str()) == 0;
                               }),
                files.end());
}

void AddRecentFile(const std::string& path) {
    RemoveRecentFile(path);
    // A path the profile cannot hold is not listed: cut, it would name another file.
    std::string listed = path;
    if (listed.size() > kMaxPathBytes) return;
    auto& files = Profile().recentFiles;
    files.insert(files.begin(), std::move(listed));
    if (files.size() > size_t(kMaxRecentFiles)) files.resize(kMaxRecentFiles);
}

} // namespace vl
