// The order of cell values as an order: random mixed values compared in both directions and
// sorted in every order they may come in.
#include "edittestutil.h"
#include "formula/edit/rowsort.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace vl {

namespace {

// A value as the test writes it and the class the order must give it: 'E' error, 'N' number
// or text that spells one (`value`), 'T' other text, '0' empty.
struct Spec {
    enum Kind { kNumber, kText, kError, kErrorText, kFormulaNumber, kFormulaText, kEmpty } kind;
    double value = 0;
    std::string text;
    uint8_t error = 0;
    char expected = '0';
};

Spec Number(double v) {
    return {Spec::kNumber, v, "", 0, 'N'};
}
Spec NumericText(const char* t, double v) {
    return {Spec::kText, v, t, 0, 'N'};
}
Spec OtherText(const char* t) {
    return {Spec::kText, 0, t, 0, 'T'};
}

// Every kind of value, the rare shapes on purpose: -0, texts that spell numbers with blanks,
// signs and exponents, texts that almost do, a typed "#N/A", case pairs, errors on numbers
// and on a text, formula results, empty cells.
std::vector<Spec> Pool() {
    std::vector<Spec> pool = {
        Number(0),
        Number(-0.0),
        Number(1),
        Number(-1),
        Number(2),
        Number(3),
        Number(-2),
        Number(-3),
        Number(-5),
        Number(0.5),
        Number(2.5),
        Number(100),
        Number(-25),
        Number(1e300),
        Number(-1e300),
        Number(7),
        NumericText(" 1", 1),
        NumericText("1", 1),
        NumericText("1 ", 1),
        NumericText("1.0", 1),
        NumericText("1e0", 1),
        NumericText("1E0", 1),
        NumericText("-5", -5),
        NumericText(" -5 ", -5),
        NumericText("- 5", -5),
        NumericText("-0", -0.0),
        NumericText("0", 0),
        NumericText(".5", 0.5),
        NumericText("5e-1", 0.5),
        NumericText("2", 2),
        NumericText("2.50", 2.5),
        NumericText("-2.5e1", -25),
        NumericText("1e2", 100),
        NumericText("1E+2", 100),
        NumericText("3", 3),
        NumericText("-1", -1),
        OtherText("banana"),
        OtherText("Banana"),
        OtherText("BANANA"),
        OtherText("apple"),
        OtherText("#N/A"),
        OtherText("#n/a"),
        OtherText(""),
        OtherText("  "),
        OtherText("+1"),
        OtherText("1e"),
        OtherText("12a"),
        OtherText("1 2"),
        OtherText("1e999"),
        OtherText("1e-310"),
        OtherText("x"),
        OtherText("Zebra"),
        OtherText("\xE9t\xE9"),
        OtherText("\xC9T\xC9"),
        OtherText("-"),
    };
    for (uint8_t code : {1, 2, 4, 5, 7}) pool.push_back({Spec::kError, 3, "", code, 'E'});
    pool.push_back({Spec::kErrorText, 0, "2", 4, 'E'});
    pool.push_back({Spec::kFormulaNumber, 2, "", 0, 'N'});
    pool.push_back({Spec::kFormulaText, 2, "2", 0, 'N'});
    pool.push_back({Spec::kFormulaText, 0, "pear", 0, 'T'});
    pool.push_back({Spec::kEmpty, 0, "", 0, '0'});
    return pool;
}

void Put(CCellStore& store, uint32_t row, const Spec& s) {
    CellBuffer b;
    FormulaHead head;
    switch (s.kind) {
    case Spec::kNumber:
        ASSERT_TRUE(MakeNumberCell(b, 0, row, s.value));
        break;
    case Spec::kText:
        ASSERT_TRUE(MakeTextCell(b, 0, row, s.text));
        break;
    case Spec::kError:
        ASSERT_TRUE(MakeNumberCell(b, 0, row, s.value, s.error));
        break;
    case Spec::kErrorText:
        ASSERT_TRUE(MakeTextCell(b, 0, row, s.text));
        cell::SetError(b.bytes, s.error);
        break;
    case Spec::kFormulaNumber:
        head.cachedNumber = s.value;
        ASSERT_TRUE(MakeFormulaCell(b, 0, row, head, "R1C2"));
        break;
    case Spec::kFormulaText:
        head.resultFlags = kResultText;
        ASSERT_TRUE(MakeFormulaCell(b, 0, row, head, "R1C2", s.text));
        break;
    case Spec::kEmpty:
        return;
    }
    edittest::PutRecord(store, b);
}

std::string Label(const Spec& s) {
    switch (s.kind) {
    case Spec::kNumber:
        return FormatDouble(s.value);
    case Spec::kError:
    case Spec::kErrorText:
        return "error " + std::to_string(s.error);
    case Spec::kFormulaNumber:
        return "=" + FormatDouble(s.value);
    case Spec::kEmpty:
        return "(empty)";
    default:
        return (s.kind == Spec::kFormulaText ? "=\"" : "\"") + s.text + "\"";
    }
}

// The specs written one a row into a store, compared through the row comparison.
struct CColumn {
    explicit CColumn(const std::vector<Spec>& s) : specs(s) {
        for (uint32_t i = 0; i < specs.size(); ++i) Put(store, i, specs[i]);
    }
    int Compare(uint32_t i, uint32_t j, uint8_t ascending) {
        const uint8_t* a = FindCell(store, i, 0);
        const uint8_t* b = FindCell(store, j, 0);
        const int c = CompareRows(ctx, &a, &b, 1, &ascending);
        return (c > 0) - (c < 0);
    }
    std::vector<uint32_t> Sort(uint8_t ascending) {
        std::vector<uint32_t> perm(specs.size());
        const uint16_t column = 0;
        EXPECT_TRUE(SortRows(ctx, store, 0, uint32_t(perm.size() - 1), 1, &column, &ascending,
                             perm.data()));
        return perm;
    }

    std::vector<Spec> specs;
    CEvalContext ctx;
    CCellStore store;
};

int ClassRank(char c, bool ascending) {
    const char* order = ascending ? "ENT0" : "NTE0";
    return int(std::string_view(order).find(c));
}

// Checks every pair and triple of the column in one direction against the axioms of a
// strict weak order and against what the order must keep.
void CheckOrder(CColumn& col, uint8_t ascending) {
    const uint32_t n = uint32_t(col.specs.size());
    std::vector<int> c(size_t(n) * n), other(size_t(n) * n);
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = 0; j < n; ++j) {
            c[i * n + j] = col.Compare(i, j, ascending);
            other[i * n + j] = col.Compare(i, j, !ascending);
        }
    const char* dir = ascending ? " ascending" : " descending";
    for (uint32_t i = 0; i < n; ++i) {
        const Spec& a = col.specs[i];
        ASSERT_EQ(c[i * n + i], 0) << Label(a) << dir;
        for (uint32_t j = 0; j < n; ++j) {
            const Spec& b = col.specs[j];
            const int ab = c[i * n + j];
            auto pair = [&] { return Label(a) + " vs " + Label(b) + dir; };
            ASSERT_EQ(ab, -c[j * n + i]) << pair();
            const int ra = ClassRank(a.expected, ascending), rb = ClassRank(b.expected, ascending);
            if (ra != rb) {
                ASSERT_EQ(ab, ra < rb ? -1 : 1) << pair();
                continue;
            }
            // Inside a class the other direction is the exact reverse.
            ASSERT_EQ(other[i * n + j], -ab) << pair();
            if (a.expected == 'N' && a.value != b.value) {
                ASSERT_EQ(ab, (a.value < b.value) == bool(ascending) ? -1 : 1) << pair();
            }
            const bool aText = a.kind == Spec::kText || a.kind == Spec::kFormulaText;
            const bool bText = b.kind == Spec::kText || b.kind == Spec::kFormulaText;
            if (a.expected == 'N' && aText != bText) {
                ASSERT_NE(ab, 0) << pair();
            }
        }
    }
    for (uint32_t i = 0; i < n; ++i)
        for (uint32_t j = 0; j < n; ++j)
            for (uint32_t k = 0; k < n; ++k) {
                const int ij = c[i * n + j], jk = c[j * n + k], ik = c[i * n + k];
                const bool kept = ij < 0 && jk <= 0    ? ik < 0
                                  : ij <= 0 && jk < 0  ? ik < 0
                                  : ij == 0 && jk == 0 ? ik == 0
                                                       : true;
                ASSERT_TRUE(kept) << Label(col.specs[i]) << ", " << Label(col.specs[j]) << ", "
                                  << Label(col.specs[k]) << dir;
            }
}

std::vector<Spec> Draw(std::mt19937& rng, const std::vector<Spec>& pool, uint32_t n) {
    std::vector<Spec> out;
    for (uint32_t i = 0; i < n; ++i) {
        if (rng() % 5 == 0) {
            const double v = double(int(rng() % 13) - 6) / double(1 + rng() % 4);
            out.push_back(Number(v == 0 && rng() % 2 ? -0.0 : v));
        } else {
            out.push_back(pool[rng() % pool.size()]);
        }
    }
    return out;
}

} // namespace

TEST(SortOrder, IsAStrictWeakOrderInBothDirections) {
    CColumn whole(Pool());
    for (uint8_t ascending : {1, 0}) CheckOrder(whole, ascending);
    std::mt19937 rng(61);
    for (int round = 0; round < 30; ++round) {
        CColumn col(Draw(rng, Pool(), 40));
        for (uint8_t ascending : {1, 0}) CheckOrder(col, ascending);
    }
}

// Whatever order the values come in, the sort gives the same values, equal ones in the order
// they came; that is the order a stable sort by the comparison gives.
TEST(SortOrder, EveryPermutationSortsAlike) {
    std::mt19937 rng(5);
    const std::vector<Spec> pool = Pool();
    for (int round = 0; round < 40; ++round) {
        const std::vector<Spec> values = Draw(rng, pool, 1 + rng() % 60);
        for (uint8_t ascending : {1, 0}) {
            std::vector<Spec> first;
            for (int shuffle = 0; shuffle < 4; ++shuffle) {
                std::vector<Spec> input = values;
                std::shuffle(input.begin(), input.end(), rng);
                CColumn col(input);
                const std::vector<uint32_t> perm = col.Sort(ascending);
                std::vector<uint32_t> stable(input.size());
                std::iota(stable.begin(), stable.end(), 0u);
                std::stable_sort(stable.begin(), stable.end(), [&](uint32_t a, uint32_t b) {
                    return col.Compare(a, b, ascending) < 0;
                });
                ASSERT_EQ(perm, stable) << "round " << round;
                std::vector<Spec> sorted;
                for (uint32_t row : perm) sorted.push_back(input[row]);
                if (first.empty()) {
                    first = sorted;
                    continue;
                }
                // Position by position the values are equal to those of the first sort.
                std::vector<Spec> both = first;
                both.insert(both.end(), sorted.begin(), sorted.end());
                CColumn pair(both);
                for (uint32_t p = 0; p < sorted.size(); ++p)
                    ASSERT_EQ(pair.Compare(p, uint32_t(first.size() + p), ascending), 0)
                        << Label(first[p]) << " against " << Label(sorted[p]) << " at " << p;
            }
        }
    }
}

// The cycles of the old comparison: each triple now has one order, the same from every side.
TEST(SortOrder, FormerCyclesHaveOneOrder) {
    struct Case {
        std::vector<Spec> ascending; // strictly increasing
    };
    const Case cases[] = {
        {{NumericText("-5", -5), Number(-1), NumericText(" 1", 1)}},
        {{NumericText("2", 2), Number(3), OtherText("#N/A")}},
        {{Number(1), NumericText(" 1", 1), NumericText("1", 1)}},
        {{Number(1), OtherText("banana")}},
        {{Number(-0.0), NumericText("-0", -0.0), NumericText("0", 0)}},
        {{NumericText("9", 9), NumericText("10", 10), OtherText("1e")}},
    };
    for (const Case& c : cases) {
        CColumn col(c.ascending);
        const uint32_t n = uint32_t(c.ascending.size());
        for (uint32_t i = 0; i < n; ++i)
            for (uint32_t j = 0; j < n; ++j) {
                const int expected = i < j ? -1 : i > j ? 1 : 0;
                const bool mixed = c.ascending[i].expected != c.ascending[j].expected;
                EXPECT_EQ(col.Compare(i, j, 1), expected)
                    << Label(c.ascending[i]) << " vs " << Label(c.ascending[j]);
                // Descending reverses all but a number against a text that spells none.
                EXPECT_EQ(col.Compare(i, j, 0), mixed ? expected : -expected)
                    << Label(c.ascending[i]) << " vs " << Label(c.ascending[j]) << " descending";
            }
    }
    // Equal numbers and texts equal but for case.
    CColumn equal({Number(0), Number(-0.0), OtherText("banana"), OtherText("BANANA"),
                   NumericText("1e2", 100), NumericText("1E2", 100)});
    for (uint8_t ascending : {1, 0})
        for (uint32_t i = 0; i < 6; i += 2) EXPECT_EQ(equal.Compare(i, i + 1, ascending), 0) << i;
}

} // namespace vl
