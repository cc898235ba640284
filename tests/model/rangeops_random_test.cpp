// Random range operations on a worksheet, checked against a plain map of cells.

#include "modeltestutil.h"

namespace vl {

using namespace modeltest;

namespace {

constexpr uint16_t kColumns = 40;
constexpr uint32_t kRows = 240;

// Texts, constant errors, formulas with a cached text and numbers.
std::vector<uint8_t> RandomRecord(std::mt19937& rng, uint16_t column, uint32_t row) {
    CellBuffer b;
    FormulaHead head;
    head.resultFlags = kResultText;
    const uint32_t kind = rng() % 4;
    if (kind == 0) MakeTextCell(b, column, row, std::string(rng() % 40, char('a' + rng() % 26)));
    if (kind == 1) MakeNumberCell(b, column, row, 0, uint8_t(1 + rng() % 12));
    if (kind == 2) MakeFormulaCell(b, column, row, head, "R[1]C+2", std::string(rng() % 9, 'c'));
    if (kind == 3) MakeNumberCell(b, column, row, double(rng() % 100000) / 7);
    return {b.bytes, b.bytes + b.size};
}

CellRange RandomRect(std::mt19937& rng, uint16_t maxWidth, uint32_t maxHeight) {
    const uint16_t c1 = uint16_t(rng() % kColumns);
    const uint32_t r1 = rng() % kRows;
    return {c1, r1, uint16_t(c1 + rng() % maxWidth), uint32_t(r1 + rng() % maxHeight)};
}

void Erase(Cells& cells, const CellRange& r) {
    for (auto it = cells.begin(); it != cells.end();)
        it = RangeContains(r, it->first.second, it->first.first) ? cells.erase(it) : std::next(it);
}

// The cells of `from` that land inside `t` when (sc, sr) is put on t's top-left cell.
Cells Shifted(const Cells& cells, const CellRange& t, int64_t sc, int64_t sr) {
    Cells out;
    for (const auto& [key, bytes] : cells) {
        const int64_t c = key.second - sc + t.c1, r = key.first - sr + t.r1;
        if (c < t.c1 || c > t.c2 || r < t.r1 || r > t.r2) continue;
        out[{uint32_t(r), uint16_t(c)}] = Moved(bytes, uint16_t(c), uint32_t(r));
    }
    return out;
}

} // namespace

TEST(RangeOpsRandom, MatchesAMapOfCells) {
    for (uint32_t seed : {1u, 2u, 3u}) {
        std::mt19937 random(seed);
        auto book = CreateWorkbook();
        CWorksheet& ws = AddSheet(*book);
        Cells expected;
        for (int i = 0; i < 1500; ++i) {
            const uint16_t c = uint16_t(random() % kColumns);
            const uint32_t r = random() % kRows;
            const std::vector<uint8_t> bytes = RandomRecord(random, c, r);
            ASSERT_TRUE(storetest::Put(ws.cells, bytes));
            expected[{r, c}] = bytes;
        }
        ASSERT_EQ(Dump(ws.cells), expected);
        for (int step = 0; step < 250; ++step) {
            const uint32_t kind = random() % 4;
            if (kind == 0) {
                const CellRange r = RandomRect(random, 20, 60);
                ASSERT_TRUE(ClearRange(*book, ws, r));
                Erase(expected, r);
            } else if (kind == 1) {
                const CellRange t = RandomRect(random, 25, 80);
                const uint16_t sc = uint16_t(random() % kColumns);
                const uint32_t sr = random() % kRows;
                ASSERT_TRUE(CopyRange(*book, ws, t, ws, sc, sr, ViewOf(book->styles)));
                const Cells copied = Shifted(expected, t, sc, sr);
                Erase(expected, t);
                expected.insert(copied.begin(), copied.end());
            } else if (kind == 2) {
                const CellRange s = RandomRect(random, 20, 60);
                const uint16_t dc = uint16_t(random() % kColumns);
                const uint32_t dr = random() % kRows;
                const CellRange t{dc, dr, uint16_t(dc + s.c2 - s.c1), dr + s.r2 - s.r1};
                ASSERT_TRUE(MoveRange(*book, ws, ws, s, dc, dr, ViewOf(book->styles)));
                Cells inside;
                for (const auto& [key, bytes] : expected)
                    if (RangeContains(s, key.second, key.first)) inside[key] = bytes;
                const Cells moved = Shifted(inside, t, s.c1, s.r1);
                Erase(expected, s);
                Erase(expected, t);
                expected.insert(moved.begin(), moved.end());
            } else {
                const CellRange r = RandomRect(random, 15, 25);
                const CellRange extent{r.c1, r.r1, uint16_t(r.c1 + (r.r2 - r.r1)),
                                       r.r1 + (r.c2 - r.c1)};
                ASSERT_TRUE(TransposeRange(*book, ws, r));
                Cells turned;
                for (const auto& [key, bytes] : expected) {
                    if (!RangeContains(r, key.second, key.first)) continue;
                    const uint16_t c = uint16_t(r.c1 + (key.first - r.r1));
                    const uint32_t row = r.r1 + (key.second - r.c1);
                    turned[{row, c}] = Moved(bytes, c, row);
                }
                Erase(expected, r);
                Erase(expected, extent);
                expected.insert(turned.begin(), turned.end());
            }
            ASSERT_EQ(Dump(ws.cells), expected) << "seed " << seed << " step " << step;
            ASSERT_TRUE(storetest::Consistent(ws.cells));
        }
    }
}

} // namespace vl
