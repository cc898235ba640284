// The cell methods of IWorksheet: values, formulas, ranges and style indexes of the active
// worksheet. None of them recalculates.
#include "automation/typelib.h"
#include "automation/workbookobj.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "functions/general/variantvalue.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vl {

namespace {

constexpr int64_t kLastCellError = 12; // #SYNTAX!, the last error GetValue can give

bool IsSingleCell(const CellRange& r) {
    return r.c1 == r.c2 && r.r1 == r.r2;
}

// The value of one cell record as a client sees it.
CVariant CellVariant(const uint8_t* r) {
    if (!r) return CVariant::Empty();
    if (const uint8_t error = cell::Error(r)) return CVariant::Integer(VT_UI1, error);
    if (cell::IsNumber(r)) return CVariant::R8(cell::Number(r));
    if (cell::IsText(r)) return CVariant::Bstr(std::string(CBstr::FromAnsi(cell::Text(r)).Utf8()));
    if (cell::ResultFlags(r) & kResultText)
        return CVariant::Bstr(std::string(CBstr::FromAnsi(cell::CachedText(r)).Utf8()));
    return CVariant::R8(cell::CachedNumber(r));
}

enum class Stored { kRecord, kEmpty, kRefused };

// The record a value writes (at column 0, row 0): an error number 1 to 12, a number or a text.
Stored ValueRecord(CEvalContext& ctx, const CVariant& value, CellBuffer& out) {
    const CVariant& v = value.vt == (VT_BYREF | VT_VARIANT) && value.ref ? *value.ref : value;
    if (v.vt & VT_ARRAY) return Stored::kRefused;
    if (v.vt == VT_UI1) {
        if (v.integer < 1 || v.integer > kLastCellError) return Stored::kRefused;
        MakeNumberCell(out, 0, 0, 0, uint8_t(v.integer));
        return Stored::kRecord;
    }
    if (v.vt == VT_BSTR) {
        // A text goes in whole, up to what a cell holds; one with a character outside the
        // code page is refused, not stored with "?" for it.
        const std::string text = Utf8ToCp1252(v.text);
        if (Cp1252ToUtf8(text) != v.text) return Stored::kRefused;
        return MakeTextCell(out, 0, 0, text) ? Stored::kRecord : Stored::kRefused;
    }
    ctx.stringPool.ResetStringStack();
    FormulaToken token;
    VariantToValue(ctx, v, token);
    if (token.type == kTokenArray) ctx.scratch.ReleaseArrays();
    if (token.error) return Stored::kRefused;
    if (token.type == kTokenEmpty) return Stored::kEmpty;
    if (token.type == kTokenNumber) {
        MakeNumberCell(out, 0, 0, token.number);
        return Stored::kRecord;
    }
    if (token.type == kTokenText) {
        const std::string text(ctx.stringPool.PopTempString());
        return MakeTextCell(out, 0, 0, text) ? Stored::kRecord : Stored::kRefused;
    }
    return Stored::kRefused;
}

// The record at a cell; the row index of its block is built first, as readers do, so that
// reading many cells finds each row at once.
const uint8_t* ReadCell(CCellStore& cells, uint32_t row, uint16_t column) {
    const uint32_t block = row / kRowBlockRows;
    if (!cells.BlockValid(block)) {
        CellCursor cursor;
        cells.BuildRowBlockIndex(block, cursor);
    }
    return FindCell(cells, row, column);
}

bool PutAt(CCellStore& cells, CellBuffer& record, uint16_t column, uint32_t row,
           CellCursor& cursor) {
    StoreU16(record.bytes + 1, column);
    StoreU32(record.bytes + 3, row);
    return cells.PutCell(record.bytes, cursor);
}

} // namespace

HRESULT CWorkbookObj::GetValue(const CBstr& text, CVariant& value) {
    value = CVariant::Empty();
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    if (!IsSingleCell(r)) {
        const std::string shown =
            GetCellText(*ctx_, sheet->cells, r.c1, r.r1, r.c2, r.r2, false, true);
        value = CVariant::Bstr(std::string(CBstr::FromAnsi(shown).Utf8()));
        return S_OK;
    }
    value = CellVariant(ReadCell(sheet->cells, r.r1, r.c1));
    return S_OK;
}

HRESULT CWorkbookObj::PutValue(const CBstr& text, const CVariant& value) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    CellBuffer record;
    const Stored kind = ValueRecord(*ctx_, value, record);
    if (kind == Stored::kRefused) return E_INVALIDARG;
    CellCursor cursor;
    // One cell that anchors no array formula is simply replaced, from where it was found.
    const uint8_t* old =
        IsSingleCell(r) ? FindCellFromCursor(sheet->cells, r.r1, r.c1, cursor) : nullptr;
    if (!old) cursor = CellCursor{};
    if (kind == Stored::kRecord && IsSingleCell(r) && (!old || !cell::IsFormula(old)))
        return PutAt(sheet->cells, record, r.c1, r.r1, cursor) ? S_OK : E_OUTOFMEMORY;
    cursor = CellCursor{};
    ClearRect(sheet->cells, CellRange{r.c1, r.r1, r.c2, r.r2}, nullptr, false);
    if (kind == Stored::kEmpty) return S_OK;
    for (uint32_t row = r.r1; row <= r.r2; ++row)
        for (uint32_t column = r.c1; column <= r.c2; ++column)
            if (!PutAt(sheet->cells, record, uint16_t(column), row, cursor)) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT CWorkbookObj::GetRange(const CBstr& text, std::shared_ptr<CSafeArray>& values) {
    values.reset();
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    const uint32_t rows = r.r2 - r.r1 + 1, columns = uint32_t(r.c2 - r.c1) + 1;
    std::shared_ptr<CSafeArray> array = CSafeArray::Create({{0, rows}, {0, columns}});
    if (!array) return E_OUTOFMEMORY;
    for (uint32_t i = 0; i < rows; ++i) {
        for (uint32_t j = 0; j < columns; ++j) {
            const uint8_t* record = ReadCell(sheet->cells, r.r1 + i, uint16_t(r.c1 + j));
            if (!record) continue;
            const int32_t index[2] = {int32_t(i), int32_t(j)};
            if (array->PutElement(index, CellVariant(record)) != S_OK) return E_FAIL;
        }
    }
    values = std::move(array);
    return S_OK;
}

HRESULT CWorkbookObj::PutRange(const CBstr& text, const CSafeArray* values) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    if (!values) return E_INVALIDARG;
    // Every element is converted before a cell changes, so that a refused one leaves the
    // range as it was. The cell at an offset from the corner takes the element at that
    // offset from the array's lower bounds; one not there is empty.
    const bool table = values->Dimensions() == 2;
    const uint32_t rows = table ? std::min(r.r2 - r.r1 + 1, values->Bound(0).count) : 0;
    const uint32_t columns =
        table ? std::min(uint32_t(r.c2 - r.c1) + 1, values->Bound(1).count) : 0;
    std::vector<uint8_t> staging;
    std::vector<uint32_t> ends; // of each record in `staging`
    std::vector<std::pair<uint16_t, uint32_t>> places;
    CellBuffer record;
    CVariant element;
    for (uint32_t i = 0; i < rows; ++i) {
        for (uint32_t j = 0; j < columns; ++j) {
            const int32_t index[2] = {int32_t(values->Bound(0).lowerBound + int64_t(i)),
                                      int32_t(values->Bound(1).lowerBound + int64_t(j))};
            if (values->GetElement(index, element) != S_OK) continue;
            const Stored kind = ValueRecord(*ctx_, element, record);
            if (kind == Stored::kRefused) return E_INVALIDARG;
            if (kind == Stored::kEmpty) continue;
            staging.insert(staging.end(), record.bytes, record.bytes + record.size);
            ends.push_back(uint32_t(staging.size()));
            places.emplace_back(uint16_t(r.c1 + j), r.r1 + i);
        }
    }
    ClearRect(sheet->cells, CellRange{r.c1, r.r1, r.c2, r.r2}, nullptr, false);
    CellCursor cursor;
    for (size_t k = 0, start = 0; k < ends.size(); start = ends[k++]) {
        std::memcpy(record.bytes, staging.data() + start, ends[k] - start);
        record.size = uint32_t(ends[k] - start);
        if (!PutAt(sheet->cells, record, places[k].first, places[k].second, cursor))
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CWorkbookObj::GetFormula(const CBstr& text, CBstr& formula) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    if (!IsSingleCell(r)) {
        formula =
            CBstr::FromAnsi(GetCellText(*ctx_, sheet->cells, r.c1, r.r1, r.c2, r.r2, false, true));
        return S_OK;
    }
    const uint8_t* record = FindCell(sheet->cells, r.r1, r.c1);
    if (!record || !cell::IsFormula(record)) return S_FALSE;
    formula = CBstr::FromAnsi(GetFormulaUserText(*ctx_, record));
    return S_OK;
}

HRESULT CWorkbookObj::PutFormula(const CBstr& text, const CBstr& formula) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    std::string stored;
    if (!formula.ToAnsiExact(kMaxFormulaText + 1, stored)) return E_INVALIDARG;
    // Only a formula that can be stored in its internal form is taken.
    if (!TranslateFormula(*ctx_, stored, r.c1, r.r1, true)) return E_INVALIDARG;
    FormulaHead head;
    head.arrayWidth = 1;
    head.arrayHeight = 1;
    CellBuffer record;
    if (!MakeFormulaCell(record, r.c1, r.r1, head, stored)) return E_INVALIDARG;
    CellCursor cursor;
    return sheet->cells.PutCell(record.bytes, cursor) ? S_OK : E_OUTOFMEMORY;
}

HRESULT CWorkbookObj::Clear(const CBstr& text, int32_t clearType) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    if (clearType == typelib::EDIT_CLEAR_DATA) {
        ClearRect(sheet->cells, CellRange{r.c1, r.r1, r.c2, r.r2}, nullptr, true);
    } else if (clearType == typelib::EDIT_CLEAR_FORMAT) {
        if (!ClearFormatRect(sheet->formats, CellRange{r.c1, r.r1, r.c2, r.r2}, nullptr, true))
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CWorkbookObj::GetStyleID(const CBstr& text, int32_t& id) {
    id = 0;
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    const std::vector<FormatRun> runs = RunsInRect(sheet->formats, {r.c1, r.r1, r.c1, r.r1});
    if (!runs.empty()) id = runs.front().style;
    return S_OK;
}

HRESULT CWorkbookObj::PutStyleID(const CBstr& text, int32_t id) {
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    // A run holds a 16-bit index: a larger one would be stored as another style.
    if (id < 0 || id > 0xFFFF) return E_INVALIDARG;
    // The style replaces the cells' own: runs of a row never overlap.
    if (!ClearFormatRect(sheet->formats, CellRange{r.c1, r.r1, r.c2, r.r2}, nullptr, false))
        return E_OUTOFMEMORY;
    CellCursor cursor;
    for (uint32_t row = r.r1; row <= r.r2; ++row) {
        const FormatRun run{r.c1, r.c2, row, uint16_t(id)};
        if (!PutFormatRun(sheet->formats, run, cursor)) return E_OUTOFMEMORY;
    }
    return S_OK;
}

} // namespace vl
