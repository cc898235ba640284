#include "callharness.h"

#include "formula/functable.h"
#include "formula/literals.h"
#include "formula/tokenizer.h"
#include "platform/core/number.h"

#include <functional>

namespace vl::stattest {

namespace {

void MakeRecord(CellBuffer& b, uint16_t column, uint32_t row, const Cell& cell) {
    if (auto* n = std::get_if<double>(&cell))
        MakeNumberCell(b, column, row, *n);
    else if (auto* t = std::get_if<std::string>(&cell))
        MakeTextCell(b, column, row, *t);
    else if (auto* e = std::get_if<ErrorValue>(&cell))
        MakeNumberCell(b, column, row, 0, uint8_t(e->code >> 4));
}

Cell CellOf(const uint8_t* r) {
    FormulaError error = FormulaError(r[0] & 0xF0);
    if (error) return ErrorValue{error};
    if (cell::IsText(r)) return std::string(cell::Text(r));
    return cell::Number(r);
}

// The arguments of a call's text, split at the commas outside texts and arrays; none for
// a blank text.
std::vector<std::string_view> SplitArguments(std::string_view text) {
    std::vector<std::string_view> out;
    if (text.find_first_not_of(' ') == std::string_view::npos) return out;
    bool quoted = false;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ',';
        quoted = quoted != (c == '"');
        depth += quoted ? 0 : (c == '{') - (c == '}');
        if (quoted || depth || c != ',') continue;
        std::string_view argument = text.substr(start, i - start);
        std::size_t first = argument.find_first_not_of(' ');
        out.push_back(first == std::string_view::npos
                          ? std::string_view()
                          : argument.substr(first, argument.find_last_not_of(' ') + 1 - first));
        start = i + 1;
    }
    return out;
}

} // namespace

CallHarness::CallHarness() {
    EXPECT_TRUE(BindStatisticsBuiltins());
}

void CallHarness::Put(uint16_t column, uint32_t row, const Cell& cell) {
    if (std::holds_alternative<std::monostate>(cell)) return;
    CellBuffer b;
    MakeRecord(b, column, row, cell);
    CellCursor cursor;
    ASSERT_TRUE(sheet.PutCell(b.bytes, cursor));
}

void CallHarness::PutColumn(uint16_t column, uint32_t row, const std::vector<Cell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) Put(column, uint32_t(row + i), cells[i]);
}

void CallHarness::PutFormula(uint16_t column, uint32_t row, const Cell& result) {
    FormulaHead head;
    head.resultFlags = kResultCalculated;
    std::string text;
    if (auto* t = std::get_if<std::string>(&result)) {
        head.resultFlags |= kResultText;
        text = *t;
    } else if (auto* n = std::get_if<double>(&result)) {
        head.resultFlags |= kResultNumber;
        head.cachedNumber = *n;
    }
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, "=x", text));
    if (auto* e = std::get_if<ErrorValue>(&result)) cell::SetError(b.bytes, uint8_t(e->code >> 4));
    CellCursor cursor;
    ASSERT_TRUE(sheet.PutCell(b.bytes, cursor));
}

void CallHarness::Push(const Arg& arg) {
    FormulaToken& slot = ClearOperand(ctx.values[++ctx.valueCount]);
    if (auto* n = std::get_if<double>(&arg)) {
        slot.type = kTokenNumber;
        slot.number = *n;
    } else if (auto* a = std::get_if<Area>(&arg)) {
        slot.type = kTokenArea;
        slot.firstColumn = a->c1;
        slot.firstRow = a->r1;
        slot.lastColumn = a->c2;
        slot.lastRow = a->r2;
        slot.cells = a->store ? a->store : &sheet;
    }
}

void CallHarness::Push(std::string_view argument) {
    static const TokenSyntax syntax{&InternalSeparators(), false, RefStyle::kA1};
    FormulaToken& slot = ClearOperand(ctx.values[++ctx.valueCount]);
    slot.type = kTokenEmpty;
    if (argument == "NA()" || argument == "1/0") {
        slot.type = kTokenNumber;
        slot.error = argument[0] == 'N' ? kErrNA : kErrDivZero;
    }
    if (argument.empty() || slot.error) return;
    std::size_t pos = argument[0] == '-' ? 1 : 0;
    if (argument[0] == '#') {
        // An error literal: an entry of no type carrying the code.
        EXPECT_TRUE(ScanErrorLiteral(argument, slot.error, pos)) << argument;
    } else {
        ctx.currentCells = &sheet;
        ReadFormulaToken(ctx, argument, pos, slot, syntax);
        if (argument[0] == '-') slot.number = -slot.number;
        // A number out of range is for the function to refuse.
        if (slot.type == kTokenNumber) slot.error = 0;
    }
    FormulaToken last;
    if (ReadFormulaToken(ctx, argument, pos, last, syntax) == kTokenRange) {
        ReadFormulaToken(ctx, argument, pos, last, syntax);
        slot.type = kTokenArea;
        slot.firstColumn = slot.column;
        slot.firstRow = slot.row;
        slot.lastColumn = last.column;
        slot.lastRow = last.row;
        ReadFormulaToken(ctx, argument, pos, last, syntax);
    }
    EXPECT_EQ(last.type, kTokenEnd) << "unread: " << argument.substr(pos);
    EXPECT_EQ(ctx.status, 0) << argument;
}

Outcome CallHarness::Call(const char* name, const std::vector<Arg>& args) {
    return Run(name, [&] {
        for (const Arg& a : args) Push(a);
        return args.size();
    });
}

Outcome CallHarness::Call(std::string_view call) {
    std::size_t open = call.find('(');
    std::string name(call.substr(0, open));
    return Run(name.c_str(), [&] {
        std::vector<std::string_view> args =
            SplitArguments(call.substr(open + 1, call.size() - open - 2));
        for (std::string_view a : args) Push(a);
        return args.size();
    });
}

Outcome CallHarness::Run(const char* name, const std::function<std::size_t()>& pushArguments) {
    Outcome o;
    uint16_t index = 0;
    std::size_t end = 0;
    std::string text = std::string(name) + "(";
    EXPECT_TRUE(FindBuiltinFunction(text, index, end)) << name;
    ctx.status = 0;
    uint16_t first = uint16_t(ctx.valueCount + 1);
    std::size_t count = pushArguments();
    FormulaToken& call = ClearOperand(ctx.values[++ctx.valueCount]);
    call.type = kTokenFunction;
    call.functionIndex = index;
    call.firstArgument = count == 0 ? ctx.valueCount : first;
    bool evaluated = EvalToken(ctx);
    o.tidy = ctx.valueCount == (evaluated ? first : first + count);
    FormulaToken& slot = ctx.values[first];
    if (!evaluated) {
        o.status = ctx.status;
        ReleaseTemporaries(ctx, ctx.valueCount, uint16_t(ctx.valueCount - first + 1));
        slot = FormulaToken{};
    }
    o.error = slot.error;
    o.number = slot.number;
    if (slot.type == kTokenText) {
        o.isText = true;
        o.text = std::string(ctx.stringPool.PopTempString());
    } else if (slot.type == kTokenArray) {
        o.isArray = true;
        o.columns = uint16_t(slot.lastColumn + 1);
        o.rows = slot.lastRow + 1;
        o.cells.assign(std::size_t(o.columns) * o.rows, Cell{});
        Page* chain = ctx.scratch.PopPointer();
        CellCursor cursor;
        cursor.flags = kAdvance;
        cursor.page = chain;
        while (const uint8_t* r =
                   GetNextCellInRange(cursor, CellRange{0, 0, slot.lastColumn, slot.lastRow}))
            o.cells[std::size_t(cell::Row(r)) * o.columns + cell::Column(r)] = CellOf(r);
        if (chain) ctx.scratch.cells.FreePageChain(chain);
    }
    o.tidy = o.tidy && ctx.stringPool.count == 0 && ctx.scratch.arrayCount == 0;
    ctx.valueCount = uint16_t(first - 1);
    return o;
}

namespace {

// A plain result: no status, no array, no text and nothing left behind.
::testing::AssertionResult IsPlain(const Outcome& o) {
    if (o.status || o.isText || o.isArray || !o.tidy)
        return ::testing::AssertionFailure() << "status " << int(o.status) << " text " << o.isText
                                             << " array " << o.isArray << " tidy " << o.tidy;
    return ::testing::AssertionSuccess();
}

} // namespace

::testing::AssertionResult IsNumber(const Outcome& o, std::string_view printed) {
    if (o.error) return ::testing::AssertionFailure() << "error " << int(o.error);
    if (auto plain = IsPlain(o); !plain) return plain;
    return MatchesPrinted(o.number, printed);
}

::testing::AssertionResult IsNumberNear(const Outcome& o, double expected, double tolerance) {
    if (o.error) return ::testing::AssertionFailure() << "error " << int(o.error);
    if (auto plain = IsPlain(o); !plain) return plain;
    if (std::fabs(o.number - expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << o.number << " is not within " << tolerance << " of " << expected;
}

::testing::AssertionResult IsError(const Outcome& o, FormulaError code) {
    if (o.status || !o.tidy || o.isArray || o.error != code)
        return ::testing::AssertionFailure()
               << "error " << int(o.error) << " number " << o.number << " instead of error "
               << int(code) << ", " << IsPlain(o).message();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsArray(const Outcome& o, uint32_t rows, const std::vector<Cell>& cells,
                                   double tolerance) {
    if (!o.isArray || !o.tidy || o.rows != rows || o.cells.size() != cells.size())
        return ::testing::AssertionFailure() << "array " << o.isArray << " tidy " << o.tidy
                                             << " rows " << o.rows << " cells " << o.cells.size();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const double* got = std::get_if<double>(&o.cells[i]);
        const double* want = std::get_if<double>(&cells[i]);
        bool same = got && want ? std::fabs(*got - *want) <= tolerance : o.cells[i] == cells[i];
        if (!same) return ::testing::AssertionFailure() << "cell " << i << " differs";
    }
    return ::testing::AssertionSuccess();
}

void RunRows(CallHarness& h, std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        Outcome o = h.Call(row.call);
        std::string_view expect(row.expect);
        FormulaError code = 0;
        std::size_t length = 0;
        if (expect == "#SYNTAX!")
            EXPECT_TRUE(o.status == kErrSyntax && o.tidy) << "status " << int(o.status);
        else if (ScanErrorLiteral(expect, code, length))
            EXPECT_TRUE(IsError(o, code));
        else if (expect[0] == '"')
            EXPECT_TRUE(o.isText && !o.error && o.tidy &&
                        o.text == expect.substr(1, expect.size() - 2))
                << o.text;
        else
            EXPECT_TRUE(IsNumber(o, expect));
    }
}

} // namespace vl::stattest
