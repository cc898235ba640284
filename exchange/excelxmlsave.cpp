#include "exchange/excelxmlsave.h"

#include "exchange/excelxml.h"
#include "files/workbooksave.h"
#include "values/isodate.h"
#include "values/localtime.h"

#include <string>

namespace vl {

namespace {

std::string LocalIsoTime(int64_t now) {
    return FormatIsoDateTime(LocalDateTimeAt(now)) + "Z";
}

} // namespace

void PrepareExcelXmlProperties(DocumentProperties& p, const char* user, int64_t now, bool fresh) {
    CopyTextField(p.lastAuthor, user, sizeof p.lastAuthor);
    if (fresh || !p.author[0]) CopyTextField(p.author, user, sizeof p.author);
    const std::string time = LocalIsoTime(now);
    CopyTextField(p.lastSaved, time.c_str(), sizeof p.lastSaved);
    if (fresh || !p.created[0]) CopyTextField(p.created, time.c_str(), sizeof p.created);
    if (!p.version[0]) CopyTextField(p.version, "10.2625", sizeof p.version);
}

bool SaveExcelXmlFile(CWorkbook& workbook, const char* path, int logPixelsY) {
    const auto write = [logPixelsY](CWorkbook& book) { return WriteExcelXml(book, logPixelsY); };
    if (!SaveWorkbookFileWith(workbook, path, false, write)) return false;
    workbook.fileFamily = kFileExcelXml;
    return true;
}

} // namespace vl
