// Lookups recalculated over random tables (sorted and not, duplicates, texts and numbers
// mixed, errors, formula cells, empty cells) against a plain walk of every cell kept here,
// pass after pass with the table changed between passes and, within a pass, by an array
// formula that spills into it after lookups have searched it.
#include "formula/approxnumber.h"
#include "formula/operands.h"
#include "functions/general/wildcard.h"
#include "functiontestutil.h"
#include "model/rangeops.h"

#include <random>
#include <vector>

namespace vl::test {

namespace {

// The vertical table: keys in A, values in B, from row 41; the anchor in A40 spills
// three elements into A41:A43. The horizontal one: keys in row 101, values in row 102.
constexpr uint32_t kTop = 40;
constexpr uint32_t kSpill = 3;
constexpr uint32_t kAcrossRow = 100;
constexpr uint32_t kKeys = 12;
constexpr uint32_t kEarly = 0;  // lookups searched before the anchor spills
constexpr uint32_t kLate = 150; // and after

struct Sought {
    bool isText = false;
    double number = 0;
    std::string text;
};

struct Hit {
    bool any = false;
    uint16_t column = 0;
    uint32_t row = 0;
};

// One cell's key as the lookup functions read it (the operand readers), and whether it
// takes part.
bool ReadKey(CEvalContext& ctx, const uint8_t* r, const Sought& v, double& number,
             std::string& text) {
    FormulaToken value;
    ClearOperand(value);
    CellToOperand(ctx, value, r);
    number = 0;
    text.clear();
    if (v.isText) {
        GetStringArg(ctx, value, text);
        return true;
    }
    if (value.type == kTokenText) {
        // A text of blanks reads as 0 elsewhere but holds no number to match.
        const bool read = GetStringArg(ctx, value, text) == 0;
        return read && text.find_first_not_of(' ') != std::string::npos &&
               TextAsNumber(text, number);
    }
    return GetNumberArg(ctx, value, number) == 0;
}

// The walk of every cell of the rectangle by rows, then columns.
Hit Walk(CEvalContext& ctx, const CCellStore& cells, const CellRange& rect, const Sought& v,
         int type) {
    Hit hit;
    double bestNumber = 0;
    std::string bestText;
    for (uint32_t row = rect.r1; row <= rect.r2; ++row)
        for (uint16_t column = rect.c1; column <= rect.c2; ++column) {
            const uint8_t* r = FindCell(cells, row, column);
            double number = 0;
            std::string text;
            if (!r || !ReadKey(ctx, r, v, number, text)) continue;
            // Numbers equal to 15 significant digits are equal.
            const int toV = v.isText ? CompareNoCase(text.c_str(), v.text.c_str())
                                     : CompareApprox(number, v.number);
            const int toBest = v.isText ? CompareNoCase(text.c_str(), bestText.c_str())
                                        : CompareApprox(number, bestNumber);
            bool take = false;
            if (type == 0) {
                uint8_t full = 0;
                take = v.isText ? MatchWildcard(v.text, text, &full) == 0 && full
                                : ApproxEqual(number, v.number);
            } else if (type == 1) {
                take = toV <= 0 && (!hit.any || toBest > 0);
            } else {
                take = toV >= 0 && (!hit.any || toBest < 0);
            }
            if (!take) continue;
            hit = {true, uint16_t(column - rect.c1), row - rect.r1};
            bestNumber = number;
            bestText = text;
            if (type == 0) return hit;
        }
    return hit;
}

std::string Shown(const CCellStore& cells, uint32_t row, uint16_t column) {
    const uint8_t* r = FindCell(cells, row, column);
    return r ? ShownRecord(r) : "0";
}

std::string ShownNumber(double x) {
    CellBuffer b;
    MakeNumberCell(b, 0, 0, x);
    return ShownRecord(b.data());
}

const double kNumbers[] = {-1, 0, 1, 2, 2, 2.5, 3, 7, 10, 100, 0.3, 0.1 * 3, 0.30000000000001};
const char* const kTexts[] = {"a", "A", "ab", "AB", "b", "abc", "10", "9", " 3 ", "zz", "", "é"};
const char* const kFormulas[] = {"=2+1",   "=\"ab\"", "=1/0",   "=NA()",
                                 "=\"9\"", "=2.5*1",  "=0.1*3", "=1-0.7"};
const char* const kSoughtTexts[] = {"a",  "AB", "b*", "a?", "*",     "~*",      "",
                                    "10", "9",  "zz", "É",  "#N/A!", "#DIV/0!", "b"};

class RandomLookups {
public:
    explicit RandomLookups(uint32_t seed) : random_(seed) {}

    void Build() {
        // Some tables long enough to span several blocks of the bisection.
        rows_ = 1 + (Draw(4) == 0 ? Draw(160) : Draw(24));
        sorted_ = Draw(2) == 0;
        double last = -2;
        for (uint32_t i = 0; i < rows_; ++i) {
            const uint32_t row = kTop + 1 + kSpill + i;
            const std::string a = "A" + std::to_string(row + 1);
            if (sorted_) {
                last += Draw(3) * 0.5; // steps of 0 make duplicates
                book_.Number(a, last);
            } else {
                PutRandomKey(a);
            }
            book_.Number("B" + std::to_string(row + 1), 1000 + i);
            const std::string across = Column(uint16_t(i)) + std::to_string(kAcrossRow + 1);
            if (sorted_)
                book_.Number(across, last);
            else
                PutRandomKey(across);
            book_.Number(Column(uint16_t(i)) + std::to_string(kAcrossRow + 2), 2000 + i);
        }
        for (uint32_t k = 0; k < kKeys; ++k) {
            PutLookups(kEarly + k);
            PutLookups(kLate + k);
        }
        Anchor();
    }

    // Some keys of the table replaced or cleared, the spill given new values.
    void Change() {
        for (uint32_t n = Draw(4); n-- > 0;) {
            const uint32_t i = Draw(rows_);
            const std::string a = "A" + std::to_string(kTop + 1 + kSpill + i + 1);
            if (sorted_)
                book_.Number(a, -2 + 0.5 * double(i));
            else
                PutRandomKey(a);
        }
        for (uint32_t k = 0; k < 2 * kKeys; ++k)
            PutSought((k < kKeys ? kEarly : kLate) + k % kKeys);
        Anchor();
    }

    void Recalculate() {
        ASSERT_TRUE(book_.Recalc());
        served_ += book_.Ctx().lookups.Served();
    }

    // The early lookups, calculated again once the anchor has spilled, meet the table as the
    // late ones do.
    void Check() {
        for (uint32_t k = 0; k < kKeys; ++k) {
            CheckRow(kEarly + k, book_.Sheet().cells);
            CheckRow(kLate + k, book_.Sheet().cells);
        }
    }

    uint64_t Served() const { return served_; }

private:
    uint32_t Draw(uint32_t n) { return uint32_t(random_() % n); }

    static std::string Column(uint16_t c) {
        std::string name;
        for (uint32_t n = uint32_t(c) + 1; n > 0; n = (n - 1) / 26)
            name.insert(name.begin(), char('A' + (n - 1) % 26));
        return name;
    }

    void PutRandomKey(const std::string& a1) {
        switch (Draw(5)) {
        case 0:
            book_.Number(a1, kNumbers[Draw(std::size(kNumbers))]);
            break;
        case 1:
            book_.Text(a1, kTexts[Draw(std::size(kTexts))]);
            break;
        case 2:
            book_.Formula(a1, kFormulas[Draw(std::size(kFormulas))]);
            break;
        case 3: {
            CellCursor cursor;
            const Place p = At(a1);
            ClearRect(book_.Sheet().cells, CellRange{p.column, p.row, p.column, p.row}, nullptr,
                      false);
            break;
        }
        default:
            book_.Number(a1, Draw(rows_ + 4));
            break;
        }
    }

    // A sought value in E of the row: a number (between and on the keys) or a text.
    void PutSought(uint32_t row) {
        const std::string e = "E" + std::to_string(row + 1);
        Sought& v = sought_[row];
        v.isText = Draw(3) == 0;
        if (v.isText) {
            v.text = kSoughtTexts[Draw(std::size(kSoughtTexts))];
            book_.Text(e, v.text);
        } else {
            // Now and then a decimal that computed keys miss by a unit of the last place.
            v.number = Draw(8) == 0 ? 0.3 : -2.5 + 0.25 * Draw(4 * rows_ + 40);
            book_.Number(e, v.number);
        }
    }

    std::string Rows() const {
        return std::to_string(kTop + 2) + ":$B$" + std::to_string(kTop + 1 + kSpill + rows_);
    }
    std::string Keys() const {
        return "$A$" + std::to_string(kTop + 2) + ":$A$" +
               std::to_string(kTop + 1 + kSpill + rows_);
    }
    std::string Across() const {
        return "$A$" + std::to_string(kAcrossRow + 1) + ":$" + Column(uint16_t(rows_ - 1)) + "$" +
               std::to_string(kAcrossRow + 2);
    }

    // F:H VLOOKUP by type 0, 1, -1; I:K HLOOKUP; L LOOKUP of two, M of three arguments;
    // N:P MATCH.
    void PutLookups(uint32_t row) {
        PutSought(row);
        const std::string e = "E" + std::to_string(row + 1);
        const std::string table = "$A$" + Rows();
        const char* const types[] = {"0", "1", "-1"};
        for (int t = 0; t < 3; ++t) {
            const std::string n = std::to_string(row + 1);
            book_.Formula(Column(uint16_t(5 + t)) + n,
                          "=VLOOKUP(" + e + "," + table + ",2," + types[t] + ")");
            book_.Formula(Column(uint16_t(8 + t)) + n,
                          "=HLOOKUP(" + e + "," + Across() + ",2," + types[t] + ")");
            book_.Formula(Column(uint16_t(13 + t)) + n,
                          "=MATCH(" + e + "," + Keys() + "," + types[t] + ")");
        }
        const std::string n = std::to_string(row + 1);
        book_.Formula("L" + n, "=LOOKUP(" + e + "," + table + ")");
        book_.Formula("M" + n, "=LOOKUP(" + e + "," + Keys() + ",$B$" +
                                   Rows().substr(0, Rows().find(':')) + ":$B$" +
                                   std::to_string(kTop + 1 + kSpill + rows_) + ")");
    }

    // An array of three constants in A40, spilling into the first rows of the table.
    void Anchor() {
        std::string array = "={";
        for (uint32_t i = 0; i < kSpill; ++i) {
            if (i) array += ";";
            array +=
                Draw(2) ? std::to_string(Draw(8)) : "\"" + std::string(kTexts[Draw(10)]) + "\"";
        }
        book_.Formula("A" + std::to_string(kTop + 1), array + "}");
    }

    void CheckRow(uint32_t row, const CCellStore& table) {
        const Sought& v = sought_[row];
        CEvalContext& ctx = book_.Ctx();
        const CCellStore& live = book_.Sheet().cells;
        const uint32_t first = kTop + 1, last = kTop + kSpill + rows_;
        const CellRange keys{0, first, 0, last};
        for (int t = 0; t < 3; ++t) {
            const int type = t == 0 ? 0 : (t == 1 ? 1 : -1);
            SCOPED_TRACE(::testing::Message() << "row " << row + 1 << " type " << type);
            Hit h = Walk(ctx, table, keys, v, type);
            EXPECT_EQ(Shown(live, row, uint16_t(5 + t)),
                      h.any ? Shown(table, first + h.row, 1) : "#N/A!")
                << "VLOOKUP";
            const CellRange top{0, kAcrossRow, uint16_t(rows_ - 1), kAcrossRow};
            h = Walk(ctx, live, top, v, type);
            EXPECT_EQ(Shown(live, row, uint16_t(8 + t)),
                      h.any ? Shown(live, kAcrossRow + 1, h.column) : "#N/A!")
                << "HLOOKUP";
            h = Walk(ctx, table, keys, v, type);
            EXPECT_EQ(Shown(live, row, uint16_t(13 + t)),
                      h.any ? ShownNumber(h.row + 1.0) : "#N/A!")
                << "MATCH";
        }
        const bool byRows = last - first >= 1;
        const CellRange searched = byRows ? keys : CellRange{0, first, 1, first};
        Hit h = Walk(ctx, table, searched, v, 1);
        const std::string two = !h.any   ? "#N/A!"
                                : byRows ? Shown(table, first + h.row, 1)
                                         : Shown(table, first, h.column);
        EXPECT_EQ(Shown(live, row, 11), two) << "LOOKUP of two";
        h = Walk(ctx, table, keys, v, 0);
        EXPECT_EQ(Shown(live, row, 12), h.any ? Shown(table, first + h.row, 1) : "#N/A!")
            << "LOOKUP of three";
        EXPECT_EQ(ctx.stringPool.count, 0);
    }

    std::mt19937 random_;
    FunctionBook book_;
    uint32_t rows_ = 0;
    bool sorted_ = false;
    Sought sought_[kLate + kKeys];
    uint64_t served_ = 0;
};

} // namespace

TEST(LookupIndexRandom, EveryLookupAgreesWithTheWalkPassAfterPass) {
    uint64_t served = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        RandomLookups test(seed);
        test.Build();
        for (int pass = 0; pass < 4; ++pass) {
            SCOPED_TRACE(::testing::Message() << "pass " << pass);
            if (pass) test.Change();
            test.Recalculate();
            test.Check();
            if (HasFailure()) return;
        }
        served += test.Served();
    }
    // The searches went through indexes, not only through the walk.
    EXPECT_GT(served, 60u * 4u * kKeys);
}

} // namespace vl::test
