#pragma once
// References into other workbook files ("[file]Sheet" before "!"). The formula engine
// cannot open files itself: the file library installs a loader, and the shell installs
// access to its table of open documents, whose workbooks are read as they stand.

#include "formula/evalcontext.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CWorkbook;
class CWorksheet;

// Opens the native workbook file at `path` exclusively and reads it into the empty workbook;
// false when the file cannot be opened or read (the workbook is then thrown away).
using ExternalWorkbookLoader = bool (*)(CWorkbook& workbook, const char* path);
// The workbook of entry `index` of the main frame's open-document table; null for an
// empty entry.
using OpenDocumentEntry = CWorkbook* (*)(uint32_t index);

constexpr uint32_t kOpenDocumentEntries = 16;
// The file path and the worksheet name of a reference are each shorter than this.
constexpr std::size_t kExternalTextSize = 256;

// Null uninstalls; without a loader a workbook that is not open cannot be referenced.
void SetExternalWorkbookLoader(ExternalWorkbookLoader loader);
void SetOpenDocumentTable(OpenDocumentEntry entry);

// The first open workbook whose document path equals `path` in any case, compared as
// whole strings without normalising either; null when none.
CWorkbook* FindOpenWorkbook(std::string_view path);

// Entry `index` of the open-document table; null for an empty entry or without the table.
CWorkbook* OpenWorkbookAt(uint32_t index);
// The worksheet a qualifier "[path]name" names in a workbook open in a window; null when the
// text, the workbook or the worksheet is not there.
CWorksheet* FindOpenExternalWorksheet(std::string_view qualifier);

// Splits "[path]name", optionally opened by a quote whose match then ends the name (else
// "!" or the end does). Blanks before "]" are cut. False without the brackets or when the
// path or the name reaches kExternalTextSize characters.
bool ParseExternalReference(std::string_view text, std::string& path, std::string& name);

// Turns the reference or range `entry` into the value, the array of values or the error it
// names in the other workbook. Texts and arrays land on the caller's pool and array stack.
// False, with #REF! or #MEMORY! in the entry, when the text, the file or the item path is
// unusable; true otherwise (an item that names nothing is #REF! then).
bool ResolveExternalReference(CEvalContext& ctx, std::string_view text, FormulaToken& entry);

} // namespace vl
