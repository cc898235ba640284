// Random bytes as texts, wildcard patterns, number-format codes and reference texts through
// the text, lookup, reference, array, logical and information built-ins: no crash, no hang,
// and each formula leaves one result with no stray string or temporary array.
#include "formula/evaluator.h"
#include "functions/bindall/bindall.h"
#include "harness.h"
#include "model/workbook.h"

namespace {

using namespace vl;

// Formulas in the stored form: R1C1 to R4C1 hold the four texts, R1C2 to R4C2 numbers.
const char* const kFormulas[] = {
    "=MID(R1C1,R1C2,R2C2)",
    "=LEFT(R1C1,R3C2)&RIGHT(R2C1,R4C2)",
    "=SEARCH(R2C1,R1C1,R1C2)",
    "=FIND(R2C1,R1C1,R2C2)",
    "=SUBSTITUTE(R1C1,R2C1,R3C1,R1C2)",
    "=REPLACE(R1C1,R1C2,R2C2,R3C1)",
    "=REPT(R2C1,R3C2)",
    "=CONCATENATE(R1C1:R4C2)",
    "=PROPER(R1C1)&TRIM(R2C1)&CLEAN(R3C1)&UPPER(R4C1)",
    "=CODE(R1C1)+LEN(R2C1)+EXACT(R1C1,R2C1)",
    "=TEXT(R1C2,R3C1)",
    "=FIXED(R1C2,R2C2,R3C2)",
    "=DOLLAR(R2C2,R3C2)",
    "=VALUE(R1C1)",
    "=INDIRECT(R4C1,1)",
    "=INDIRECT(R4C1,0)",
    "=SUM(INDIRECT(R4C1,1))",
    "=ADDRESS(R1C2,R2C2,R3C2,R4C2,R1C1)",
    "=OFFSET(R1C1,R1C2,R2C2,R3C2,R4C2)",
    "=INDEX(R1C1:R4C2,R1C2,R2C2)",
    "=INDEX(R1C1:R4C2,R1C2:R4C2,)",
    "=CHOOSE(R1C2,R1C1,R2C1,R1C1:R4C1)",
    "=VLOOKUP(R2C1,R1C1:R4C2,2,R3C2)",
    "=HLOOKUP(R1C2,R1C1:R4C2,R2C2,0)",
    "=LOOKUP(R1C1,R1C1:R4C1,R1C2:R4C2)",
    "=MATCH(R2C1,R1C1:R4C2,R4C2)",
    "=SORT(R1C1:R4C2,1,R1C2,2,0)",
    "=UNIQUE(R1C1:R4C1,R2C2)",
    "=TRANSPOSE(R1C1:R4C2)",
    "=AND(R1C1:R4C2)+OR(R1C2,R2C1)+NOT(R3C2)",
    "=IF(R1C2,R1C1,R2C1:R3C1)",
    "=IF(R1C1:R4C1,R1C2,R2C1)",
    "=COUNTBLANK(R1C1:R4C2,R1C1)+ISBLANK(R2C1)+ISNUMBER(R3C1)+N(R4C1)",
    "=TYPE(R1C1)+ERRORTYPE(R2C1)+ISEVEN(R1C2)+ISREF(R3C1)+ISTEXT(R4C1)",
};

struct Book {
    std::unique_ptr<CWorkbook> workbook = CreateWorkbook();
    std::unique_ptr<CEvalContext> ctx = std::make_unique<CEvalContext>();
    CWorksheet* sheet = AsWorksheet(workbook->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sheet1", 1));
    Book() {
        BindAllFunctions();
        ctx->worksheetList = workbook->tree.first;
        ctx->currentCells = &sheet->cells;
    }
};

Book& TheBook() {
    static auto* book = new Book();
    return *book;
}

// Splits the input at NUL bytes into up to four texts; the byte after each NUL is also a
// small number for column B.
void FillCells(Book& book, std::string_view input) {
    CCellStore& cells = book.sheet->cells;
    cells.FreeAll();
    CellCursor cursor;
    std::size_t start = 0;
    for (uint32_t row = 0; row < 4; ++row) {
        std::size_t end = input.find('\0', start);
        if (end == std::string_view::npos) end = input.size();
        std::string_view text = input.substr(start, end - start);
        CellBuffer b;
        if (MakeTextCell(b, 0, row, text)) cells.PutCell(b.data(), cursor);
        double number = end + 1 < input.size() ? double(int8_t(input[end + 1])) : double(row);
        MakeNumberCell(b, 1, row, number);
        cells.PutCell(b.data(), cursor);
        start = end < input.size() ? end + 1 : input.size();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 20000) return 0;
    Book& book = TheBook();
    FillCells(book, std::string_view(reinterpret_cast<const char*>(data), size));
    CEvalContext& ctx = *book.ctx;
    for (const char* formula : kFormulas) {
        const uint16_t kind = EvaluateFormulaText(ctx, formula, 9, 19);
        fuzz::Require(kind != 0); // every formula here is well formed
        fuzz::RequireOnlyResult(ctx, kind);
    }
    return 0;
}
