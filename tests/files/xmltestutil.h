#pragma once
// Helpers of the XML form tests: documents written to and read from memory, and small
// workbooks built cell by cell.

#include "files/xmlworkbook.h"
#include "model/workbook.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl::xmltest {

inline std::string WriteToMemory(CWorkbook& book) {
    CXmlWriter writer;
    EXPECT_TRUE(WriteXmlWorkbook(book, writer));
    return writer.Memory();
}

struct Loaded {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
    ErrorCode error = 0;
    uint32_t line = 0;
};

inline Loaded ReadFromMemory(const std::string& document) {
    Loaded out;
    out.book = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(document);
    out.ok = ReadXmlWorkbook(*out.book, reader);
    out.error = out.book->error;
    out.line = reader.ErrorLine();
    return out;
}

// A document of the given body inside the declaration and the root.
inline std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>\r\n" + body +
           "\r\n</Workbook>\r\n";
}

// A document of one worksheet holding `inner`.
inline std::string SheetDocument(const std::string& inner) {
    return Document("<Worksheet Name=\"S\">\r\n" + inner + "\r\n</Worksheet>");
}

inline CWorksheet& AddSheet(CWorkbook& book, const char* name = nullptr) {
    CTreeItem* item = book.AppendTreeItem(TREE_TYPE_WORKSHEET, name, 1);
    EXPECT_NE(item, nullptr);
    return *static_cast<CWorksheet*>(item);
}

inline void Put(CWorksheet& ws, const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(ws.cells.PutCell(b.bytes, cursor));
}

inline void PutNumber(CWorksheet& ws, uint16_t column, uint32_t row, double value,
                      uint8_t error = 0) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value, error));
    Put(ws, b);
}

inline void PutText(CWorksheet& ws, uint16_t column, uint32_t row, std::string_view text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    Put(ws, b);
}

// A formula with a number (or, with `cachedText`, a text) as its cached result.
inline void PutFormula(CWorksheet& ws, uint16_t column, uint32_t row, std::string_view formula,
                       double number, const char* cachedText = nullptr, uint8_t error = 0,
                       uint16_t width = 0, uint32_t height = 1) {
    FormulaHead head;
    head.flags = uint8_t(kCellFormula | (error << 4));
    head.arrayWidth = width ? width : 1;
    head.arrayHeight = height;
    head.resultFlags =
        uint8_t((cachedText ? kResultText : kResultNumber) | (width ? kResultArray : 0));
    head.cachedNumber = cachedText || error ? 0 : number;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, formula, cachedText ? cachedText : ""));
    Put(ws, b);
}

// The small workbook of the golden document: a folder, two worksheets, a font, two styles,
// a list and an inspected cell.
std::unique_ptr<CWorkbook> SampleWorkbook();
// The document the writer gives for it.
extern const char* const kSampleDocument;

} // namespace vl::xmltest
