#include "callharness.h"

#include "formula/functable.h"
#include "formula/literals.h"
#include "platform/core/alloc.h"
#include "platform/core/number.h"
#include "tests/formula/evaltestutil.h"

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

// Reads the argument text left to right.
class ArgumentReader {
public:
    explicit ArgumentReader(std::string_view text) : s_(text) {}

    std::vector<Arg> All() {
        std::vector<Arg> args;
        if (Peek() == '\0') return args;
        do args.push_back(One());
        while (Eat(','));
        EXPECT_EQ(Peek(), '\0') << "unread: " << s_.substr(i_);
        return args;
    }

private:
    char Peek() {
        while (i_ < s_.size() && s_[i_] == ' ') ++i_;
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    bool Eat(char c) {
        if (Peek() != c) return false;
        ++i_;
        return true;
    }
    bool Word(std::string_view w) {
        if (Peek() == '\0' || s_.substr(i_, w.size()) != w) return false;
        i_ += w.size();
        return true;
    }
    Arg One() {
        char c = Peek();
        if (c == ',' || c == '\0') return Omit{};
        if (c == '{') return Array();
        if (Word("NA()")) return Failed{kErrNA};
        if (Word("1/0")) return Failed{kErrDivZero};
        if (c >= 'A' && c <= 'Z') {
            Ref first = Reference();
            if (!Eat(':')) return first;
            Ref last = Reference();
            return Area{first.column, first.row, last.column, last.row};
        }
        Cell cell = Element();
        if (auto* e = std::get_if<ErrorValue>(&cell)) return *e;
        if (auto* t = std::get_if<std::string>(&cell)) return *t;
        return std::get<double>(cell);
    }
    Ref Reference() {
        std::size_t start = i_;
        while (i_ < s_.size() &&
               ((s_[i_] >= 'A' && s_[i_] <= 'Z') || (s_[i_] >= '0' && s_[i_] <= '9')))
            ++i_;
        test::Place p = test::At(s_.substr(start, i_ - start));
        return Ref{p.column, p.row};
    }
    // A number, a text, an error or nothing.
    Cell Element() {
        char c = Peek();
        if (c == ',' || c == ';' || c == '}') return Cell{};
        if (c == '"') {
            std::size_t end = s_.find('"', i_ + 1);
            std::string text(s_.substr(i_ + 1, end - i_ - 1));
            i_ = end + 1;
            return text;
        }
        FormulaError code = 0;
        std::size_t length = 0;
        if (ScanErrorLiteral(s_.substr(i_), code, length)) {
            i_ += length;
            return ErrorValue{code};
        }
        double value = 0;
        NumberScan scan = ScanNumber(s_.substr(i_), value);
        EXPECT_GT(scan.length, 0u) << "no number at " << s_.substr(i_);
        i_ += scan.length;
        return value;
    }
    ArrayArg Array() {
        ArrayArg a;
        Eat('{');
        a.rows.emplace_back();
        for (;;) {
            a.rows.back().push_back(Element());
            if (Eat(';'))
                a.rows.emplace_back();
            else if (!Eat(','))
                break;
        }
        EXPECT_TRUE(Eat('}')) << s_;
        return a;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

} // namespace

std::vector<Arg> ParseArguments(std::string_view text) {
    return ArgumentReader(text).All();
}

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
    } else if (auto* t = std::get_if<std::string>(&arg)) {
        slot.type = kTokenText;
        ASSERT_TRUE(ctx.stringPool.PushString(*t));
    } else if (auto* e = std::get_if<ErrorValue>(&arg)) {
        slot.type = kTokenEmpty;
        slot.error = e->code;
    } else if (auto* f = std::get_if<Failed>(&arg)) {
        slot.type = kTokenNumber;
        slot.error = f->code;
    } else if (std::holds_alternative<Omit>(arg)) {
        slot.type = kTokenEmpty;
    } else if (auto* r = std::get_if<Ref>(&arg)) {
        slot.type = kTokenReference;
        slot.column = r->column;
        slot.row = r->row;
        slot.cells = &sheet;
    } else if (auto* a = std::get_if<Area>(&arg)) {
        slot.type = kTokenArea;
        slot.firstColumn = a->c1;
        slot.firstRow = a->r1;
        slot.lastColumn = a->c2;
        slot.lastRow = a->r2;
        slot.cells = a->store ? a->store : &sheet;
    } else if (auto* array = std::get_if<ArrayArg>(&arg)) {
        CArrayBuilder builder(ctx);
        uint16_t columns = 0;
        for (uint32_t row = 0; row < array->rows.size(); ++row) {
            const auto& cells = array->rows[row];
            columns = std::max<uint16_t>(columns, uint16_t(cells.size()));
            for (uint16_t col = 0; col < cells.size(); ++col) {
                if (std::holds_alternative<std::monostate>(cells[col])) continue;
                CellBuffer b;
                MakeRecord(b, col, row, cells[col]);
                ASSERT_TRUE(builder.PutRecord(b.bytes));
            }
        }
        ASSERT_TRUE(
            PushArrayValue(ctx, slot, builder.Detach(), columns, uint32_t(array->rows.size())));
    }
}

Outcome CallHarness::Call(const char* name, const std::vector<Arg>& args) {
    Outcome o;
    uint16_t index = 0;
    std::size_t end = 0;
    std::string text = std::string(name) + "(";
    EXPECT_TRUE(FindBuiltinFunction(text, index, end)) << name;
    ctx.status = 0;
    uint16_t first = uint16_t(ctx.valueCount + 1);
    for (const Arg& a : args) Push(a);
    FormulaToken& call = ClearOperand(ctx.values[++ctx.valueCount]);
    call.type = kTokenFunction;
    call.functionIndex = index;
    call.firstArgument = args.empty() ? ctx.valueCount : first;
    if (setNewFailAfter) setNewFailAfter(newFailAfter);
    SetAllocFailAfter(blockFailAfter);
    bool evaluated = EvalToken(ctx);
    if (setNewFailAfter) setNewFailAfter(-1);
    SetAllocFailAfter(-1);
    if (!evaluated) {
        o.status = ctx.status;
        o.tidy = ctx.valueCount == first + args.size();
        ReleaseTemporaries(ctx, ctx.valueCount, uint16_t(ctx.valueCount - first + 1));
        ctx.valueCount = uint16_t(first - 1);
        o.tidy = o.tidy && ctx.stringPool.count == 0 && ctx.scratch.arrayCount == 0;
        return o;
    }
    o.tidy = ctx.valueCount == first;
    FormulaToken& slot = ctx.values[first];
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

Outcome CallHarness::Call(std::string_view call) {
    std::size_t open = call.find('(');
    std::string name(call.substr(0, open));
    return Call(name.c_str(), ParseArguments(call.substr(open + 1, call.size() - open - 2)));
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
