#include "files/workbooksave.h"

#include "files/binaryform.h"
#include "files/workbookopen.h"
#include "files/xmlworkbook.h"
#include "model/workbook.h"
#include "values/isodate.h"

#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace vl {

namespace {

constexpr int kTemporaryNameTries = 100;

void StampSave(CWorkbook& book) {
    CopyTextField(book.lastSavedUser, SaveUserName().c_str(), kLastSavedUserSize);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    IsoDateTime date;
    date.hasDate = date.hasTime = 1;
    date.year = local.tm_year + 1900;
    date.month = local.tm_mon + 1;
    date.day = local.tm_mday;
    date.hour = local.tm_hour;
    date.minute = local.tm_min;
    date.second = local.tm_sec;
    CopyTextField(book.lastSavedDate, FormatIsoDateTime(date).c_str(), kLastSavedDateSize);
}

// A new file beside the target, under a name no other file has.
bool OpenTemporary(CFileStream& stream, const std::string& target, bool gzip) {
    const std::string::size_type slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        const std::string name =
            dir + "." + base + ".~" + std::to_string(getpid()) + "." + std::to_string(i);
        if (stream.Open(name.c_str(), "w+bx", gzip, kFileBufferSize)) return true;
        if (!CFileStream::FileExists(name.c_str())) return false;
    }
    return false;
}

bool WriteForm(CWorkbook& book, const WorkbookWriter& write) {
    if (!write(book)) return false;
    if (book.stream.Flush()) return true;
    book.error = book.stream.GetError();
    return false;
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
                          const WorkbookWriter& write) {
    if (!path) {
        workbook.error = kErrorFileFormat;
        return false;
    }
    CFileStream document;
    if (!OpenTemporary(document, path, gzip)) {
        workbook.error = document.GetError() ? document.GetError() : uint8_t(kStreamOpenWrite);
        return false;
    }
    workbook.CompactStyleTables();
    StampSave(workbook);
    // The new file takes the document's place; the old one waits in `document`.
    workbook.stream.Swap(document);
    bool ok = WriteForm(workbook, write);
    if (ok && !workbook.stream.RenameTo(path)) {
        workbook.error = workbook.stream.GetError();
        ok = false;
    }
    if (!ok) {
        const std::string temporary = workbook.stream.GetPath();
        workbook.stream.Close();
        CFileStream::DeleteFile(temporary.c_str(), nullptr);
        workbook.stream.Swap(document);
        return false;
    }
    if (document.IsOpen()) document.Close();
    return true;
}

} // namespace vl
