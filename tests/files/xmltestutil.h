#pragma once
// Helpers of the XML form tests: documents written to and read from memory, small workbooks
// built cell by cell, small documents around one container, chart or series, and the
// expected documents kept whole under tests/data/xml.

#include "files/xmlworkbook.h"
#include "model/workbook.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace vl::xmltest {

constexpr ErrorCode kElem = kErrorXmlElement, kAttr = kErrorXmlAttribute, kData = kErrorXmlData,
                    kMiss = kErrorXmlMissing;

inline std::string WriteToMemory(CWorkbook& book) {
    CXmlWriter writer;
    EXPECT_TRUE(WriteXmlWorkbook(book, writer));
    return writer.Memory();
}

// What one element writer gives.
inline std::string Written(const std::function<void(CXmlWriter&)>& write) {
    CXmlWriter w;
    write(w);
    w.Flush();
    return w.Memory();
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

// A document that must load.
inline Loaded Read(const std::string& document) {
    Loaded l = ReadFromMemory(document);
    EXPECT_TRUE(l.ok) << int(l.error) << " at line " << l.line;
    return l;
}

inline CWorksheet& SheetOf(const Loaded& l, int index = 0) {
    CTreeItem* item = l.book->tree.first;
    for (int i = 0; item && i < index; ++i) item = item->next;
    EXPECT_NE(AsWorksheet(item), nullptr);
    return *AsWorksheet(item);
}

// A malformed document, the code it fails with and the line it fails at (by default the
// line a one-line `inner` of SheetDocument stands on).
struct ErrorCase {
    std::string document;
    ErrorCode error;
    uint32_t line = 4;
};

inline void ExpectErrors(const std::vector<ErrorCase>& cases) {
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const ErrorCase& c = cases[i];
        Loaded l = ReadFromMemory(c.document);
        SCOPED_TRACE("row " + std::to_string(i) + ": " + c.document.substr(0, 160));
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.error, c.error);
        EXPECT_EQ(l.line, c.line);
    }
}

// A whole expected document; the test fails plainly when the file is missing.
inline std::string DataFile(const std::string& name) {
    const std::string path = std::string(VORLANE_TEST_DATA) + "/xml/" + name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << "missing data file " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A document of the given body inside the declaration and the root.
inline std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>\r\n" + body +
           "\r\n</Workbook>\r\n";
}

// A document of one worksheet holding `inner` from line 4 on.
inline std::string SheetDocument(const std::string& inner) {
    return Document("<Worksheet Name=\"S\">\r\n" + inner + "\r\n</Worksheet>");
}

inline std::string ContainerDoc(const std::string& inner,
                                const std::string& attributes = "ID='1'") {
    return SheetDocument("<Container " + attributes + ">" + inner + "</Container>");
}

inline std::string ObjectsDoc(const std::string& objects) {
    return ContainerDoc("<Objects>" + objects + "</Objects>");
}

// A chart element of the given name holding `body` and then `series` inside "DataSeries".
inline std::string ChartDoc(const std::string& name, const std::string& series,
                            const std::string& body = "", const std::string& tail = "") {
    return ObjectsDoc("<" + name + ">" + body + "<DataSeries>" + series + "</DataSeries>" + tail +
                      "</" + name + ">");
}

inline std::string X2D(const std::string& extra = "", const std::string& periods = "") {
    return "<X><Name/><RelatedSigma/><DataArray/><DataPeriods " + periods + "/>" + extra + "</X>";
}

// A value series of a 2D chart with the given presentation element and what follows it.
inline std::string Y2D(const std::string& style = "<Column><Font/><FillPattern/></Column>",
                       const std::string& extra = "", const std::string& dataArray = "<DataArray/>",
                       const std::string& periods = "") {
    return "<Y><Name/><RelatedSigma/><RelatedX/>" + dataArray + "<DataPeriods " + periods + "/>" +
           style + extra + "</Y>";
}

inline std::string Y3D(const std::string& style = "<Column><FillPattern/></Column>") {
    return "<Y><Name/><RelatedX/><DataArray/><DataPeriods/>" + style + "</Y>";
}

inline std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
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

// A record in its stored bytes, so that whole records compare at once.
template <class Record, class Writer>
std::vector<uint8_t> Bytes(const Record& r, Writer write, uint32_t size) {
    std::vector<uint8_t> out(size);
    write(out.data(), r);
    return out;
}

template <class Record, class Writer>
void ExpectSameBytes(const Record& a, const Record& b, Writer write, uint32_t size,
                     const std::string& what = "") {
    EXPECT_EQ(Bytes(a, write, size), Bytes(b, write, size)) << what;
}

// The small workbook of the golden document: a folder, two worksheets, a font, two styles,
// a list and an inspected cell.
std::unique_ptr<CWorkbook> SampleWorkbook();
// The document the writer gives for it.
inline std::string SampleDocument() {
    return DataFile("sample.xml");
}

} // namespace vl::xmltest
