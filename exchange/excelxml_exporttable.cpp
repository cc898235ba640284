// Writing one worksheet's "Table": its expanded size, the columns that differ from the
// default, and each used row with its cells. Cells and style runs are walked together in
// store order, so the cost follows the records, not the rectangle they span.

#include "exchange/excelxmlparts.h"
#include "files/xmlfields.h"
#include "formula/literals.h"
#include "model/cellrecord.h"
#include "model/formatstore.h"
#include "platform/core/bytes.h"
#include "values/formatdouble.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace vl {

namespace {

constexpr uint16_t kSizeMask = 0x0FFF;
constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

uint16_t SizeOf(uint16_t word) {
    return (word >> 1) & kSizeMask;
}

std::string StyleRef(uint16_t style) {
    return "s" + std::to_string(style + 20);
}

void WriteColumns(CXmlWriter& w, const CWorksheet& ws, int dpi, int level) {
    for (uint16_t i = 0; i < kMaxColumns; ++i) {
        const ColumnEntry& e = ws.formats.columns[i];
        const uint16_t style = e.style & kStyleIndexMask, width = SizeOf(e.width);
        const bool custom = e.width & 1;
        const bool sized = width != 0 && width != GetDefaultColumnWidth();
        if (!style && !custom && !sized) continue;
        XmlAttributeText a;
        a.Int("ss:Index", i + 1);
        if (style) a.Raw("ss:StyleID", StyleRef(style));
        if (custom)
            a.Raw("ss:AutoFitWidth", "0").Raw("ss:Width", ExcelPointsText(width, dpi));
        else if (sized)
            a.Raw("ss:Width", ExcelPointsText(width, dpi));
        w.WriteTag("Column", a.str(), kXmlEmptyTag, level, 1);
    }
}

std::vector<uint16_t> RowHeights(const CWorksheet& ws) {
    std::vector<uint16_t> heights;
    heights.reserve(ws.formats.rowHeights.ItemCount());
    for (const Page* page = ws.formats.rowHeights.FirstPage(); page; page = page->next)
        for (uint32_t at = 0; at + 2 <= page->used; at += 2)
            heights.push_back(LoadU16(page->payload + at));
    heights.resize(ws.formats.rowHeights.ItemCount());
    return heights;
}

bool HasHeight(uint16_t entry) {
    const uint16_t height = SizeOf(entry);
    return (entry & 1) || (height != 0 && height != GetDefaultRowHeight());
}

// The row's own attributes; empty when its height is the automatic default.
std::string HeightAttributes(uint16_t entry, int dpi) {
    const uint16_t height = SizeOf(entry);
    XmlAttributeText a;
    if (entry & 1)
        a.Raw("ss:AutoFitHeight", "0").Raw("ss:Height", ExcelPointsText(height, dpi));
    else if (height != 0 && height != GetDefaultRowHeight())
        a.Raw("ss:Height", ExcelPointsText(height, dpi));
    return a.str();
}

void WriteErrorData(CXmlWriter& w, uint8_t code) {
    const uint8_t flags = uint8_t(code << 4);
    const std::string_view name =
        flags >= kErrDivZero && flags <= kErrValue ? GetFormulaErrorText(flags) : "#N/A!";
    w.WriteTag("Data", "ss:Type=\"Error\"", kXmlStartTag, 0, 0);
    w.EncodeText(name);
    w.WriteTag("Data", {}, kXmlEndTag, 0, 0);
}

void WriteNumberData(CXmlWriter& w, double value) {
    // No number text stands for infinity or NaN; computing them gives this error.
    if (!std::isfinite(value)) return WriteErrorData(w, kErrNum >> 4);
    w.WriteTag("Data", "ss:Type=\"Number\"", kXmlStartTag, 0, 0);
    w.WriteRaw(XmlNumberText(value));
    w.WriteTag("Data", {}, kXmlEndTag, 0, 0);
}

void WriteTextData(CXmlWriter& w, std::string_view text) {
    w.WriteTag("Data", "ss:Type=\"String\"", kXmlStartTag, 0, 0);
    w.EncodeText(ExcelXmlSafeText(text));
    w.WriteTag("Data", {}, kXmlEndTag, 0, 0);
}

void WriteCell(CXmlWriter& w, uint16_t column, const uint8_t* rec, uint16_t style, int level,
               const ExcelSheetNames* names) {
    XmlAttributeText a(w.Utf8());
    a.Int("ss:Index", column + 1);
    if (style) a.Raw("ss:StyleID", StyleRef(style));
    if (!rec) return w.WriteTag("Cell", a.str(), kXmlEmptyTag, level, 1);
    const uint8_t error = cell::Error(rec);
    if (cell::IsFormula(rec)) {
        const uint8_t result = cell::ResultFlags(rec);
        bool lost = false;
        a.Text("ss:Formula", ExcelXmlSafeText(ExcelFormulaText(cell::Formula(rec), names, &lost)));
        if (result & kResultArray)
            a.Raw("ss:ArrayRange", "RC:R[" + std::to_string(cell::ArrayHeight(rec) - 1) + "]C[" +
                                       std::to_string(cell::ArrayWidth(rec) - 1) + "]");
        w.WriteTag("Cell", a.str(), kXmlStartTag, level, 0);
        // A formula that lost a folder range holds no value the file could give it back.
        if (lost)
            WriteErrorData(w, kErrRef >> 4);
        else if (error)
            WriteErrorData(w, error);
        else if (result & kResultNumber)
            WriteNumberData(w, cell::CachedNumber(rec));
        else if (result & kResultText)
            WriteTextData(w, cell::CachedText(rec));
    } else {
        w.WriteTag("Cell", a.str(), kXmlStartTag, level, 0);
        if (error)
            WriteErrorData(w, error);
        else if (cell::IsText(rec))
            WriteTextData(w, cell::Text(rec));
        else
            WriteNumberData(w, cell::Number(rec));
    }
    w.WriteTag("Cell", {}, kXmlEndTag, 0, 1);
}

// The cells and runs of one row, in column order; a run's columns without a cell of their
// own are written as cells of the run's style.
void WriteRowCells(CXmlWriter& w, const std::vector<const uint8_t*>& cells,
                   const std::vector<FormatRun>& runs, int level, const ExcelSheetNames* names) {
    std::size_t i = 0, j = 0;
    uint32_t next = 0; // the first column not yet written
    while (i < cells.size() || j < runs.size()) {
        const uint32_t cellColumn = i < cells.size() ? cell::Column(cells[i]) : kNone;
        uint32_t runColumn = kNone;
        while (j < runs.size()) {
            const uint32_t first = std::max<uint32_t>(runs[j].firstColumn, next);
            const uint32_t last = std::min<uint32_t>(runs[j].lastColumn, kLastColumn);
            if (first <= last) {
                runColumn = first;
                break;
            }
            ++j;
        }
        const uint32_t c = std::min(cellColumn, runColumn);
        if (c == kNone) break;
        const bool covered = j < runs.size() && runs[j].firstColumn <= c && runs[j].lastColumn >= c;
        const uint16_t style = covered ? runs[j].style : 0;
        WriteCell(w, uint16_t(c), cellColumn == c ? cells[i++] : nullptr, style, level, names);
        next = c + 1;
    }
}

struct TableWalk {
    CellCursor cellCursor;
    CellCursor runCursor;
    const uint8_t* cell = nullptr;
    const uint8_t* run = nullptr;
    std::vector<const uint8_t*> rowCells;
    std::vector<FormatRun> rowRuns;

    uint32_t NextRow() const {
        return std::min(cell ? cell::Row(cell) : kNone, run ? LoadFormatRun(run).row : kNone);
    }
    void TakeRow(uint32_t row) {
        rowCells.clear();
        rowRuns.clear();
        for (; cell && cell::Row(cell) == row; cell = NextCellRecord(cellCursor))
            rowCells.push_back(cell);
        for (; run && LoadFormatRun(run).row == row; run = FormatRunCursorNext(runCursor))
            rowRuns.push_back(LoadFormatRun(run));
    }
};

void WriteRows(CXmlWriter& w, const CWorksheet& ws, uint32_t lastRow, int dpi, int level,
               const ExcelSheetNames* names) {
    const std::vector<uint16_t> heights = RowHeights(ws);
    TableWalk walk;
    walk.cellCursor = CellCursor{kAdvance, ws.cells.FirstPage(), 0};
    walk.runCursor = CellCursor{kAdvance, ws.formats.runs.FirstPage(), 0};
    walk.cell = NextCellRecord(walk.cellCursor);
    walk.run = FormatRunCursorNext(walk.runCursor);
    uint32_t heightRow = 0; // rows below it have been looked at for heights
    for (;;) {
        uint32_t row = walk.NextRow();
        // A row with a height of its own among the used rows is written even without cells.
        const uint32_t heightEnd = std::min<uint64_t>(heights.size(), uint64_t(lastRow) + 1);
        while (heightRow < heightEnd && heightRow < row && !HasHeight(heights[heightRow]))
            ++heightRow;
        if (heightRow < heightEnd && heightRow < row) row = heightRow;
        // The rows past the form's last are left out (a loss the save asked about): a reader
        // refuses the whole file for them.
        if (row == kNone || row > kExcelXmlLastRow) break;
        const std::string height = row < heights.size() ? HeightAttributes(heights[row], dpi) : "";
        heightRow = row + 1;
        walk.TakeRow(row);
        std::string attributes = "ss:Index=\"" + std::to_string(uint64_t(row) + 1) + "\"";
        if (!height.empty()) attributes += " " + height;
        if (walk.rowCells.empty() && walk.rowRuns.empty()) {
            w.WriteTag("Row", attributes, kXmlEmptyTag, level, 1);
            continue;
        }
        w.WriteTag("Row", attributes, kXmlStartTag, level, 1);
        WriteRowCells(w, walk.rowCells, walk.rowRuns, level + 1, names);
        w.WriteTag("Row", {}, kXmlEndTag, level, 1);
    }
}

} // namespace

void WriteExcelXmlTable(CXmlWriter& w, const CWorksheet& ws, int dpi, int level,
                        const ExcelSheetNames* names) {
    uint16_t c0 = 0, c1 = 0, f0 = 0, f1 = 0;
    uint32_t r0 = 0, r1 = 0, q0 = 0, q1 = 0;
    const bool cells = ws.cells.GetUsedRange(&c0, &c1, &r0, &r1);
    const bool runs = GetFormatRunsRange(ws.formats, &f0, &f1, &q0, &q1);
    const uint16_t lastColumn =
        std::min<uint16_t>(std::max(cells ? c1 : 0, runs ? f1 : 0), kLastColumn);
    const uint32_t lastRow = std::min(std::max(cells ? r1 : 0, runs ? q1 : 0), kExcelXmlLastRow);
    XmlAttributeText a;
    a.Int("ss:ExpandedColumnCount", lastColumn + 1)
        .Int("ss:ExpandedRowCount", int64_t(lastRow) + 1)
        .Raw("x:FullColumns", "1")
        .Raw("x:FullRows", "1");
    w.WriteTag("Table", a.str(), kXmlStartTag, level, 1);
    WriteColumns(w, ws, dpi, level + 1);
    WriteRows(w, ws, lastRow, dpi, level + 1, names);
    w.WriteTag("Table", {}, kXmlEndTag, level, 1);
}

std::string ExcelPointsText(uint16_t pixels, int logPixelsY) {
    const double points = std::floor(double(pixels) * 72 * 400 / logPixelsY + 0.5) / 400;
    return FormatDouble(points);
}

} // namespace vl
