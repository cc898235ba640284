#pragma once
// Helpers of the exchange tests: files written into a folder of the test's own, imported into
// a new workbook or exported from one, and cells described in one short text.

#include "exchange/foreignfile.h"
#include "model/workbook.h"
#include "tests/platform/core/tempfiles.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vl::exchangetest {

using tempfiles::TempFolder;

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// A workbook whose stream is open for reading on `path`.
std::unique_ptr<CWorkbook> OpenForImport(const std::string& path);

// "n:5", "t:abc", "f:=1+2", "" for no cell; an error value adds "!" and its code ("t:!7").
std::string CellAt(const CWorksheet& sheet, uint16_t column, uint32_t row);
// Every cell of the sheet as "A1=n:5" items, in store order, joined by "|".
std::string AllCells(const CWorksheet& sheet);

void PutText(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& text);
void PutNumber(CWorksheet& sheet, uint16_t column, uint32_t row, double value);

// Runs `write` through the save beside `path` and returns the bytes written, or "<failed>".
std::string SaveBytes(CWorkbook& book, const std::string& path,
                      const std::function<bool(CWorkbook&)>& write);

// The same through the table save, which puts the table and its memo in place together.
std::string SaveTableBytes(CWorkbook& book, const CWorksheet& sheet, const std::string& path,
                           const std::function<bool(CWorkbook&)>& fieldList);

} // namespace vl::exchangetest
