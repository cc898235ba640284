#include "tests/exchange/exchangetestutil.h"

#include "exchange/xbase.h"
#include "platform/core/number.h"

#include <fstream>
#include <iterator>

namespace vl::exchangetest {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::unique_ptr<CWorkbook> OpenForImport(const std::string& path) {
    auto book = CreateWorkbook();
    EXPECT_TRUE(book->stream.Open(path.c_str(), "rb", false, kFileBufferSize)) << path;
    return book;
}

std::string CellAt(const CWorksheet& sheet, uint16_t column, uint32_t row) {
    const uint8_t* r = FindCell(sheet.cells, row, column);
    if (!r) return "";
    std::string out;
    if (cell::IsText(r))
        out = "t:" + std::string(cell::Text(r));
    else if (cell::IsNumber(r))
        out = "n:" + FormatNumberG(cell::Number(r), 15);
    else
        out = "f:" + std::string(cell::Formula(r));
    if (cell::Error(r)) out += "!" + std::to_string(cell::Error(r));
    return out;
}

std::string AllCells(const CWorksheet& sheet) {
    std::string out;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        if (!out.empty()) out += "|";
        out += std::string(1, char('A' + cell::Column(r) % 26)) + std::to_string(cell::Row(r) + 1) +
               "=" + CellAt(sheet, cell::Column(r), cell::Row(r));
    }
    return out;
}

void PutText(CWorksheet& sheet, uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

void PutNumber(CWorksheet& sheet, uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(b.bytes, cursor));
}

std::string SaveBytes(CWorkbook& book, const std::string& path,
                      const std::function<bool(CWorkbook&)>& write) {
    if (!SaveAside(book, path.c_str(), write)) return "<failed>";
    book.stream.Close();
    return ReadFile(path);
}

std::string SaveTableBytes(CWorkbook& book, const CWorksheet& sheet, const std::string& path,
                           const std::function<bool(CWorkbook&)>& fieldList) {
    if (!SaveXBaseFile(book, sheet, path, fieldList)) return "<failed>";
    book.stream.Close();
    return ReadFile(path);
}

} // namespace vl::exchangetest
