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
    out.book = NewWorkbook();
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

} // namespace vl::xmltest
