#pragma once
// Reading a document into a workbook window: the file types and the filters of the open
// and save dialogs, the exclusive open with its wait while another process holds the file,
// the password of protected files, and the recent-file list.

#include "dialogs/filedlg.h"
#include "model/workbook.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

namespace vl {

class CCellDisplay;

class CWorkbook;
class CWorkbookWnd;

// The types a document is read as or written in are the workbook's file families
// (`FileFamily`, model/workbook.h).
using FileType = FileFamily;

const FileFilter* OpenFilters(std::size_t& count);
const FileFilter* SaveFilters(std::size_t& count);

// The type of a known extension (".vln", ".vlb", ".txt", ".csv", ".tsv", ".xml", ".dbf"),
// compared without regard to case; false (type 0) for any other name.
bool GetFileTypeFromExtension(const std::string& name, uint8_t& type);

// Opens the file exclusively (waiting while another process holds it, as long as the user
// lets it) and reads it as `type`. False with the workbook's error code set; an open that
// the user abandoned leaves error 0.
bool OpenDocument(CWorkbookWnd& window, const std::string& path, uint8_t type);
// Reads the native file already open in the workbook's stream, asking the password of a
// protected file; refreshes the charts of a workbook read whole.
bool ReadNativeDocument(CWorkbook& workbook);
// Reads the Excel 2003 XML file already open in the workbook's stream, fitting the rows of
// what it read to their content; refreshes the charts.
bool ReadExcelXmlDocument(CWorkbook& workbook, CCellDisplay& display);
// Imports the text file or xBase table (`type` 1 or 3 to 6) in the workbook's stream with
// the workbook's stored settings, and records the type; error 21 for any other type.
// `cutFields` receives how many fields of a text file the worksheet could not hold.
bool ReadForeignDocument(CWorkbook& workbook, uint8_t type, uint32_t* cutFields = nullptr);
// Shows the workbook's error code, with the line of the XML reader for its errors.
void ShowOpenError(const CWorkbook& workbook);

// The recent-file list of the profile (newest first, compared without regard to case).
void AddRecentFile(const std::string& path);
void RemoveRecentFile(const std::string& path);

} // namespace vl
