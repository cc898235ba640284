#pragma once
// Helpers of the workbook-file tests: a workbook that holds something of every kind, saving
// and loading through real files, a sink that keeps the body's bytes, and a comparison of two
// workbooks record by record.

#include "files/binarybody.h"
#include "files/binaryform.h"
#include "files/bodyio.h"
#include "model/chartrecords.h"
#include "model/container.h"
#include "model/inspectedcell.h"
#include "model/workbook.h"
#include "tests/platform/core/tempfiles.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl::filestest {

using tempfiles::ReadBytes;
using tempfiles::TempFolder;
using tempfiles::WriteBytes;
using Bytes = std::vector<uint8_t>;

class CVectorSink : public CBodySink {
public:
    void Put(const uint8_t* bytes, uint32_t n) override {
        data.insert(data.end(), bytes, bytes + n);
    }
    Bytes data;
};

// Several numbers as one value, so that a single comparison covers a whole record.
using Ints = std::vector<long>;
template <class... T> Ints Of(T... v) {
    return {long(v)...};
}

// A record (or a number) as its writer stores it.
template <class Record, class Write>
Bytes RecordBytes(const Record& r, uint32_t size, Write write) {
    Bytes bytes(size);
    write(bytes.data(), r);
    return bytes;
}

// The body of the workbook in full mode (or plain-copy mode).
Bytes BodyOf(CWorkbook& book, uint8_t mode = kBodyFull);

// Puts a cell record into a worksheet.
void PutCell(CWorksheet& sheet, const CellBuffer& cell);
void PutNumber(CWorksheet& sheet, uint16_t column, uint32_t row, double value);
void PutText(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& text);
// A formula with its cached number or (when `text` is given) its cached text.
void PutFormula(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& formula,
                double number, const char* text = nullptr, uint8_t error = 0);
// Appends a style with the given number format kind and decimals, and a font of its own.
uint16_t AddStyle(CWorkbook& book, uint8_t kind, uint8_t decimals, const char* face);
// A container of charts with these series counts (types cycling 1, 2, 3).
CContainer& AddContainer(CWorksheet& sheet, uint16_t id, const std::vector<int>& seriesCounts);

// A workbook holding every kind of thing the binary form stores, each field away from its
// default.
std::unique_ptr<CWorkbook> MakeRichWorkbook();

// Saves the workbook into `path` as it is (encryption code and password included).
bool SaveToPath(CWorkbook& book, const std::string& path, bool gzip);
// Loads a workbook from `path`; `ok` tells whether the load succeeded.
std::unique_ptr<CWorkbook> LoadFromPath(const std::string& path, const char* password, bool& ok);

// Every stored record of two workbooks is the same.
void ExpectSameWorkbook(const CWorkbook& a, const CWorkbook& b);

} // namespace vl::filestest
