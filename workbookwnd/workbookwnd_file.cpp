#include "core/settings.h"
#include "exchange/excelxmlsave.h"
#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "platform/core/cp1252.h"
#include "platform/core/pathlimit.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/documentopen.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/inspectpane.h"
#include "workbookwnd/treepane.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QDir>
#include <QFileInfo>

namespace vl {

namespace {

uint8_t EffectiveForm(uint8_t fileFormat) {
    return fileFormat ? fileFormat : Profile().fileFormat;
}

// Forgets the document's content; with `keepModes` its source format, file format and
// read-only flag stay.
void EmptyDocument(CWorkbook& book, bool keepModes) {
    book.ClearContent();
    book.ApplyUndoLevelSetting();
    book.error = kErrorNone;
    book.encryption = 0;
    book.password[0] = 0;
    if (keepModes) return;
    book.fileFamily = book.fileKind = 0;
    book.readOnly = 0;
}

} // namespace

void CWorkbookWnd::ForgetLeftOut() {
    // The file written holds the whole workbook: nothing of it is left out any more.
    cutFields_ = 0;
    book_->refusedTexts = 0;
}

bool CWorkbookWnd::PasswordCheck(uint8_t sourceFormat) {
    if (book_->encryption == 0) return true;
    if (sourceFormat != kFileNative) {
        ShowStringMessage(IDS_PROTECTION_IGNORED, MB_OK | MB_ICONINFORMATION);
        return true;
    }
    const uint8_t form = EffectiveForm(book_->fileKind);
    if (form == kFormatBinary || form == kFormatBinaryCompressed) return true;
    if (ShowStringMessage(IDS_USE_BINARY_FORMAT, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return false;
    book_->fileKind = kFormatBinary;
    return true;
}

void CWorkbookWnd::OnFileSave() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    if (!HasOpenFile()) {
        SaveAs();
        return;
    }
    if (book_->readOnly) {
        // Nothing can be written, and the changes must not look saved.
        book_->error = kStreamOpenWrite;
        ShowErrorMessage(kStreamOpenWrite);
        UpdateStatus();
        return;
    }
    if (!PasswordCheck(book_->fileFamily)) return;
    if (!SaveToFile(nullptr, book_->fileFamily, book_->fileKind, false)) return;
    // What the file's form could not take stays unsaved: the title and Close say so.
    partsUnsaved_ = FormLosesContent(*book_, book_->fileFamily);
    SetModified(false);
    UpdateTitle();
    UpdateStatus();
    AddRecentFile(path_);
}

void CWorkbookWnd::OnFileSaveAs() {
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    SaveAs();
}

bool CWorkbookWnd::SaveAs() {
    if (HasOpenFile() && book_->readOnly && book_->encryption) return false;
    QString folder;
    if (HasOpenFile() && !path_.empty())
        folder = QFileInfo(QString::fromStdString(path_)).absolutePath();
    else if (!DialogMemory().lastFolder.empty())
        folder = QString::fromStdString(DialogMemory().lastFolder);
    else if (!Profile().folder.empty())
        folder = QString::fromStdString(Profile().folder);
    else
        folder = QDir::homePath();
    std::size_t count = 0;
    const FileFilter* filters = SaveFilters(count);
    CFileDlg dialog(false, QStringLiteral("Save As"), QString(), QString(),
                    QtFilterList(filters, count), DialogMemory().saveIndex, folder);
    if (dialog.DoModal() != IDOK) return false;
    const QFileInfo info(dialog.GetFileName());
    DialogMemory().lastFolder = dialog.GetDirectory().toStdString();
    const int index = std::clamp<int>(dialog.FilterIndex(), 1, int(count));
    DialogMemory().saveIndex = index;
    const uint8_t format = filters[index - 1].type;
    if (!PasswordCheck(format)) return false;
    const std::string path = info.absoluteFilePath().toStdString();
    if (!SaveToFile(&path, format, book_->fileKind, true)) return false;
    // The file written is the document's now, and it holds it for writing.
    book_->readOnly = 0;
    path_ = path;
    book_->fileFamily = format;
    partsUnsaved_ = FormLosesContent(*book_, format);
    SetModified(false);
    UpdateTitle();
    UpdateStatus();
    AddRecentFile(path_);
    return true;
}

bool CWorkbookWnd::SaveAsNative() {
    std::size_t count = 0;
    const FileFilter* filters = SaveFilters(count);
    for (std::size_t i = 0; i < count; ++i)
        if (filters[i].type == kFileNative) {
            DialogMemory().saveIndex = int(i + 1);
            break;
        }
    return SaveAs();
}

std::string CWorkbookWnd::PartialSaveKey(uint8_t family, const std::string& target) const {
    std::string loss = FormLossKey(*book_, family);
    if (const uint32_t left = LeftOutOf(target)) loss += " left " + std::to_string(left);
    return loss.empty() ? loss : target + '\n' + loss;
}

uint32_t CWorkbookWnd::LeftOutOf(const std::string& target) const {
    const uint32_t left = cutFields_ + book_->refusedTexts;
    return WritesOverLeftOut(book_->stream, left, target) ? left : 0;
}

bool CWorkbookWnd::PartialSavePending() const {
    const std::string key = PartialSaveKey(book_->fileFamily, path_);
    return !key.empty() && key != partialAgreed_;
}

bool CWorkbookWnd::ConfirmPartialSave(uint8_t family, const std::string& target) {
    const std::string key = PartialSaveKey(family, target);
    if (key.empty() || key == partialAgreed_) return true;
    // The form chosen again in the Save As that Yes opened: the user knows what it keeps.
    if (offeringNative_) {
        partialAgreed_ = key;
        return true;
    }
    QString text;
    const std::string lost = FormLossText(*book_, family);
    if (!lost.empty()) {
        const QString kept = family == kFileExcelXml
                                 ? QStringLiteral("its worksheets without folders or charts")
                                 : QStringLiteral("the values of the active worksheet only");
        text = QStringLiteral("The workbook holds more than this file's form keeps: it saves "
                              "%1, and the rest stays unsaved:%2\n\n")
                   .arg(kept, QString::fromStdString(Cp1252ToUtf8(lost)));
    }
    if (const uint32_t left = LeftOutOf(target))
        text += QStringLiteral("The file holds %1 fields or texts that the workbook did not take "
                               "when it was read (past the worksheet's limits, longer than a "
                               "cell, or outside the code page): a save over the file loses "
                               "them.\n\n")
                    .arg(left);
    const int answer = UiServices().MessageBox(
        text + QStringLiteral("Save the workbook as a Vorlane workbook instead?"), AppTitle(),
        MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    // Only No agrees to the loss; Cancel, or Yes with its Save As cancelled, agrees to nothing.
    if (answer == IDNO) {
        partialAgreed_ = key;
        return true;
    }
    if (answer == IDYES) {
        offeringNative_ = true;
        SaveAsNative();
        offeringNative_ = false;
    }
    return false;
}

bool CWorkbookWnd::SaveToFile(const std::string* path, uint8_t sourceFormat, uint8_t fileFormat,
                              bool withDialogs) {
    // Past the limit every route shares, a target is refused as one that cannot be written.
    if ((path ? *path : path_).size() > kMaxPathBytes) {
        book_->error = kStreamOpenWrite;
        ShowErrorMessage(kStreamOpenWrite);
        return false;
    }
    // A text file's or a table's losses depend on the options its dialog chooses (widths, the
    // code page): asked after it. A table over a file its open cut is asked about first, as
    // its field list may not be made.
    const std::string& asked = path ? *path : path_;
    const bool textOptions = withDialogs && sourceFormat == kFileText;
    const bool tableOptions = withDialogs && sourceFormat >= kFileDBase3 &&
                              sourceFormat <= kFileClipper && LeftOutOf(asked) == 0;
    if (!textOptions && !tableOptions && !ConfirmPartialSave(sourceFormat, asked)) return false;
    const bool excel = sourceFormat == kFileExcelXml;
    if (sourceFormat != kFileNative && !excel) return SaveForeign(path, sourceFormat, withDialogs);
    const uint8_t form = EffectiveForm(fileFormat);
    if (!excel && (form < kFormatXml || form > kFormatBinaryCompressed)) {
        book_->error = kErrorFileFormat;
        ShowErrorMessage(kErrorFileFormat);
        return false;
    }
    StorePaneLayout();
    if (CWorksheetView* view = GetActiveView()) view->StoreViewPosition();
    const std::string& target = path ? *path : path_;
    UiServices().SetWaitCursor(true);
    bool ok = false;
    if (excel) {
        PrepareExcelXmlProperties(book_->properties, SaveUserName().c_str(),
                                  ProcessClock().NowSeconds(), withDialogs);
        ok = SaveExcelXmlFile(*book_, target.c_str());
    } else {
        ok = SaveWorkbookFile(*book_, target.c_str(), form);
    }
    UiServices().SetWaitCursor(false);
    if (!ok) {
        // A target held elsewhere is one that cannot be written: the code for "in use" has
        // no message of its own and would show "No error".
        if (book_->error == kStreamInUse) book_->error = kStreamOpenWrite;
        ShowErrorMessage(book_->error);
        return false;
    }
    // A form chosen only by the profile stays the profile's.
    book_->fileKind = fileFormat;
    ForgetLeftOut();
    return true;
}

bool CWorkbookWnd::SaveForeign(const std::string* path, uint8_t type, bool withDialogs) {
    CWorksheet* sheet = book_->tree.active;
    const bool text = type == kFileText;
    if (!sheet || (!text && (type < kFileDBase3 || type > kFileClipper))) {
        book_->error = sheet ? kErrorFileFormat : kErrorNoWorksheet;
        ShowErrorMessage(book_->error);
        return false;
    }
    if (CWorksheetView* view = GetActiveView()) view->StoreViewPosition();
    // The shared save road follows links and refuses held or read-only targets.
    const std::string target = path ? *path : path_;
    // Save As shows the options, and a table's field list as the worksheet gives it now,
    // which the user may change; Save takes the stored text settings and a fresh field list.
    bool listed = false;
    if (withDialogs && text &&
        (UiServices().TextFileDialog(book_->textFile, true) != IDOK ||
         !ConfirmPartialSave(type, target)))
        return false;
    if (withDialogs && !text) {
        if (!BuildXBaseFieldList(*book_, *sheet, book_->xbase, type)) {
            ShowErrorMessage(book_->error);
            return false;
        }
        const QString shown = QString::fromStdString(target);
        if (UiServices().XBaseDialog(book_->xbase, shown, true) != IDOK) return false;
        // The code page chosen there decides which texts would lose characters.
        if (!ConfirmPartialSave(type, target)) return false;
        listed = true;
    }
    UiServices().SetWaitCursor(true);
    const bool ok = text ? SaveAside(*book_, target.c_str(),
                                     [&](CWorkbook& book) { return ExportTextFile(book, *sheet); })
                         : SaveXBaseFile(*book_, *sheet, target, [&](CWorkbook& book) {
                               return listed || BuildXBaseFieldList(book, *sheet, book.xbase, type);
                           });
    UiServices().SetWaitCursor(false);
    if (!ok) {
        if (book_->error == kStreamInUse) book_->error = kStreamOpenWrite;
        ShowErrorMessage(book_->error);
    }
    if (ok) ForgetLeftOut();
    return ok;
}

void CWorkbookWnd::OnFileReload() {
    if (!HasOpenFile()) return;
    CWorksheetView* view = GetActiveView();
    if (view) view->CancelCellEdit();
    if (modified_ && ShowStringMessage(IDS_RELOAD_CHANGES, MB_YESNO | MB_ICONQUESTION,
                                       QString::fromStdString(path_)) != IDYES)
        return;
    EmptyDocument(*book_, true);
    cutFields_ = 0;
    CFileStream& stream = book_->stream;
    // save target: the document's own held file, read again; nothing is written.
    bool ok = stream.Reopen(stream.IsReadOnly() ? "rb" : "r+b", true);
    if (!ok) book_->error = stream.GetError();
    book_->readOnly = stream.IsReadOnly() ? 1 : 0;
    if (ok && book_->fileFamily == kFileNative)
        ok = ReadNativeDocument(*book_);
    else if (ok && book_->fileFamily == kFileExcelXml)
        ok = ReadExcelXmlDocument(*book_, display_);
    else if (ok)
        ok = ReadForeignDocument(*book_, book_->fileFamily, &cutFields_);
    if (!ok) {
        const ErrorCode error = book_->error;
        const uint32_t line = book_->xmlErrorLine;
        stream.Close();
        EmptyDocument(*book_, false);
        if (!NewWorkbook(*book_)) book_->error = kErrorWorksheetMemory;
        if (book_->error == kErrorNone) book_->error = error;
        book_->xmlErrorLine = line;
        ShowOpenError(*book_);
    }
    book_->FreeUndoHistoryEntries();
    book_->InitUndoHistory();
    book_->ApplyUndoLevelSetting();
    SyncContext();
    treeCtl_->Fill();
    inspectCtl_->Reload();
    if (view) view->LoadViewPosition();
    modified_ = false;
    partsUnsaved_ = false;
    UpdateTitle();
    UpdateStatus();
}

} // namespace vl
