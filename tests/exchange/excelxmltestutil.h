#pragma once
// Helpers of the Excel 2003 XML tests: documents read from and written to memory, and a
// document built around a body.

#include "exchange/excelxml.h"
#include "model/workbook.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl::excelxmltest {

struct Imported {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
    ErrorCode error = 0;
    uint32_t line = 0;
    CWorksheet& First() const { return *AsWorksheet(book->tree.first); }
};

inline Imported Import(const std::string& document, int dpi = 96,
                       const RowAutoFit& autoFit = nullptr) {
    Imported out;
    out.book = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(document);
    out.ok = ReadExcelXml(*out.book, reader, autoFit, dpi);
    out.error = out.book->error;
    out.line = out.book->xmlErrorLine;
    return out;
}

// A document of the body's elements after the declaration and the root's start tag.
inline std::string Doc(const std::string& body,
                       const std::string& declaration = "<?xml version=\"1.0\"?>") {
    return declaration +
           "\n<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
           "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n" +
           body + "\n</Workbook>\n";
}

// One worksheet with the given table content.
inline std::string Sheet(const std::string& table, const std::string& options = "") {
    return Doc("<Worksheet ss:Name=\"S\"><Table>" + table + "</Table>" + options + "</Worksheet>");
}

// With VORLANE_EXCEL_PEER_DIR set, keeps the document and the cells this program reads from
// it in that folder, for LibreOffice to read them too (tools/peer-read-excelxml.py).
void KeepForPeer(const std::string& document);

inline std::string Export(CWorkbook& book, int dpi = 96) {
    CXmlWriter writer;
    EXPECT_TRUE(WriteExcelXml(book, writer, dpi));
    KeepForPeer(writer.Memory());
    return writer.Memory();
}

} // namespace vl::excelxmltest
