#include "files/workbooksave.h"

#include "files/binaryform.h"
#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "files/xmlworkbook.h"
#include "model/workbook.h"
#include "values/isodate.h"
#include "values/localtime.h"

#include <cstdlib>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace vl {

namespace {

void StampSave(CWorkbook& book) {
    CopyTextField(book.lastSavedUser, SaveUserName().c_str(), kLastSavedUserSize);
    CopyTextField(book.lastSavedDate, FormatIsoDateTime(LocalDateTime()).c_str(),
                  kLastSavedDateSize);
}

bool WriteForm(CWorkbook& book, const WorkbookWriter& write) {
    book.CompactStyleTables();
    StampSave(book);
    if (!write(book)) return false;
    if (book.stream.Flush()) return true;
    book.error = book.stream.GetError();
    return false;
}

// Writes into a new file and renames it over the target only when every byte is on the disk.
bool SaveAside(CWorkbook& book, CFileStream& document, const std::string& target,
               const WorkbookWriter& write, const PlaceHook& partner) {
    // The new file takes the document's place; the old one waits in `document`.
    book.stream.Swap(document);
    bool ok = WriteForm(book, write);
    // With a partner, the finished file waits for it under its pair name.
    // save target: SaveWorkbookFileWith checked and holds the target.
    if (ok && partner && (!book.stream.RenameTo(PairPath(target).c_str()) || !partner())) {
        book.error = book.stream.ErrorOr(kStreamWrite);
        ok = false;
    }
    // save target: SaveWorkbookFileWith checked and holds the target.
    if (ok && !book.stream.RenameTo(target.c_str())) {
        book.error = book.stream.GetError();
        ok = false;
    }
    if (!ok) {
        const std::string temporary = book.stream.GetPath();
        book.stream.Close();
        CFileStream::DeleteFile(temporary.c_str(), nullptr);
        book.stream.Swap(document);
        return false;
    }
    if (document.IsOpen()) document.Close();
    return true;
}

// Rewrites the target itself, which keeps its other names and needs no room in its folder:
// the document's own file through its stream, any other through the held `guard`. The form
// is written aside first, so that a writer that fails leaves the target as it was; only a
// finished form is copied in.
bool RewriteInPlace(CWorkbook& book, const SaveTarget& target, CFileStream& guard, bool gzip,
                    const WorkbookWriter& write, const PlaceHook& partner) {
    CFileStream aside;
    if (!OpenAside(aside, target.path, gzip)) {
        book.error = aside.ErrorOr(kStreamOpenWrite);
        return false;
    }
    book.stream.Swap(aside);
    bool ok = WriteForm(book, write);
    const std::string written = book.stream.GetPath();
    book.stream.Close();
    book.stream.Swap(aside);
    if (!ok) CFileStream::DeleteFile(written.c_str(), nullptr);
    if (ok) {
        if (!target.own) book.stream.Swap(guard);
        ok = RewriteKeepingCopy(written, book.stream, target.path, partner);
        if (!ok) book.error = book.stream.ErrorOr(kStreamWrite);
        if (!ok && !target.own) {
            // Failed, the workbook keeps the document it had; saved, the target is its document.
            book.stream.Close();
            book.stream.Swap(guard);
        }
    }
    if (guard.IsOpen()) guard.Close();
    return ok;
}

} // namespace

std::string SaveUserName() {
    const passwd* user = getpwuid(geteuid());
    const char* name = user && user->pw_name ? user->pw_name : std::getenv("USER");
    std::string text = name ? name : "";
    if (text.size() > kLastSavedUserSize - 1) text.resize(kLastSavedUserSize - 1);
    return text;
}

bool SaveWorkbookFile(CWorkbook& workbook, const char* path, uint8_t kind) {
    if (!path || kind < kFileXml || kind > kFileBinaryCompressed) {
        workbook.error = kErrorFileFormat;
        return false;
    }
    const bool gzip = kind == kFileXmlCompressed || kind == kFileBinaryCompressed;
    const auto write = [kind](CWorkbook& book) {
        return kind >= kFileBinary ? SaveBinaryWorkbook(book) : WriteXmlWorkbook(book);
    };
    if (!SaveWorkbookFileWith(workbook, path, gzip, write)) return false;
    workbook.fileFamily = 0;
    workbook.fileKind = kind;
    return true;
}

bool SaveWorkbookFileWith(CWorkbook& workbook, const char* path, bool gzip,
                          const WorkbookWriter& write, const std::function<bool()>& partner) {
    if (!path) {
        workbook.error = kErrorFileFormat;
        return false;
    }
    // A workbook without a worksheet is no document any reader takes.
    if (workbook.tree.worksheetCount == 0) {
        workbook.error = kErrorNoWorksheet;
        return false;
    }
    SaveTarget target;
    CFileStream guard; // holds the target from the checks to the end of the save
    if (const ErrorCode refused = PrepareSaveTarget(path, workbook.stream, target, guard)) {
        workbook.error = refused;
        return false;
    }
    RemoveStaleSaves(target.path);
    CFileStream document;
    bool ok = false;
    if (!target.inPlace && OpenTemporary(document, target.path, gzip)) {
        ok = SaveAside(workbook, document, target.path, write, partner);
    } else if (target.exists) {
        // A folder that takes no new file can still have its files rewritten.
        ok = RewriteInPlace(workbook, target, guard, gzip, write, partner);
    } else {
        workbook.error = document.ErrorOr(kStreamOpenWrite);
    }
    // Written, the document keeps its file shared like one just opened; failed, a reader of
    // the target takes back the hold it lent.
    if (ok || target.lent) {
        if (guard.IsOpen()) guard.Close();
        workbook.stream.HoldLock(true);
    }
    if (ok) DropInterruptedSaveCopies(target.path);
    return ok;
}

} // namespace vl
