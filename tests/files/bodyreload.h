#pragma once
// What the tests of loaded values share: a new workbook as the program makes one, its body
// read back through a file by the binary reader, and its XML save read back.

#include "filestestutil.h"
#include "reloadcheck.h"

#include <gtest/gtest.h>
#include <memory>

namespace vl::filestest {

// A workbook as the program makes a new one.
inline std::unique_ptr<CWorkbook> NewBook() {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    return book;
}

inline CWorksheet& Sheet(CWorkbook& book) {
    return *AsWorksheet(book.tree.active);
}

// The body of `book` read back from a file; `ok` tells whether the binary reader took it.
inline std::unique_ptr<CWorkbook> ThroughBody(CWorkbook& book, bool& ok) {
    TempFolder dir;
    WriteBytes(dir.Path("body"), BodyOf(book));
    auto loaded = CreateWorkbook();
    ok = loaded->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize) &&
         ReadBinaryWorkbookBody(*loaded, loaded->stream, reloadcheck::kNewestBodyVersion, nullptr);
    loaded->stream.Close();
    return loaded;
}

// `book` saved as XML and read back; `text` is what was saved.
inline std::unique_ptr<CWorkbook> ThroughXml(CWorkbook& book, std::string& text) {
    EXPECT_TRUE(reloadcheck::XmlText(book, text));
    auto again = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(text);
    EXPECT_TRUE(ReadXmlWorkbook(*again, reader)) << int(again->error);
    return again;
}

inline std::unique_ptr<CWorkbook> ThroughXml(CWorkbook& book) {
    std::string text;
    return ThroughXml(book, text);
}

} // namespace vl::filestest
