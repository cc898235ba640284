// Random workbooks of arrays and the formulas that read them, on two worksheets, with readers
// placed before and after what they read: one recalculation gives what a second one gives,
// arrays nothing reads change nothing, and a recalculation of one worksheet changes on the
// other only what the first reads.
#include "functions/general/randomfunctions.h"
#include "functions/numeric/numericbuiltins.h"
#include "functions/numeric/statbuiltins.h"
#include "functiontestutil.h"
#include "tests/common/shards.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace vl::test {

namespace {

// The random workbooks each test builds; the sanitizer builds may want fewer.
constexpr uint32_t kWorkbooks = 150;
constexpr uint32_t kRows = 18;
constexpr uint16_t kColumns = 8;

std::string Name(uint16_t column, uint32_t row) {
    return std::string(1, char('A' + column)) + std::to_string(row + 1);
}

struct Cell {
    int sheet;
    uint16_t column;
    uint32_t row;
};

// One cell or array of the workbook; an item reads only items made before it, so nothing
// is circular unless it reads its own elements on purpose.
struct Item {
    Cell at;
    uint16_t width = 1;
    uint32_t height = 1;
    std::string text;                // a number or a formula
    std::vector<std::string> beside; // the cells right of it, in the same row
    std::vector<int> reads;
    int counterCap = -1; // a counter: what its second element shows after n recalculations,
                         // min(n, cap), or n for 0
};

class CRandomBook {
public:
    // With `zeroRandom`, random numbers come in as 0*RAND(), so that results are fixed.
    // With `withNeighbours`, arrays that shrink have others placed where they shrink from.
    CRandomBook(uint32_t seed, bool withVolatile, bool withSelfReaders, bool zeroRandom = false,
                bool withSearches = false, bool withNeighbours = false)
        : rng_(seed), volatile_(withVolatile), selfReaders_(withSelfReaders),
          zeroRandom_(zeroRandom), searches_(withSearches), neighbours_(withNeighbours) {
        for (int i = 0; i < 28; ++i) AddItem();
    }

    const std::vector<Item>& Items() const { return items_; }

    // The book with every item, and `unrelated` arrays nothing reads in columns of their own.
    // With `unread`, half the formulas also name cells they never read: another formula's cell
    // in a branch not taken (AE1 stays empty), and cells of the folder F or of the worksheet
    // AE2 names, whose worksheet S3 is empty.
    void Build(FunctionBook& book, int unrelated = 0, bool unread = false) const {
        CWorksheet* sheets[2] = {&book.AddSheet("S1"), &book.AddSheet("S2")};
        book.AddFolder("F");
        book.AddSheet("S3", 2);
        std::mt19937 rng(uint32_t(items_.size()) * 31 + uint32_t(items_[0].at.row));
        for (CWorksheet* s : sheets) book.Text(*s, "AE2", "\\F\\S3");
        for (const Item& item : items_) {
            CWorksheet& s = *sheets[item.at.sheet];
            const std::string a1 = Name(item.at.column, item.at.row);
            if (item.text[0] == '=')
                book.Formula(s, a1, item.text + (unread ? UnreadTerm(item, rng) : ""));
            else
                book.Number(s, a1, std::stod(item.text));
            for (std::size_t i = 0; i < item.beside.size(); ++i) {
                const std::string b1 = Name(uint16_t(item.at.column + 1 + i), item.at.row);
                if (item.beside[i][0] == '=')
                    book.Formula(s, b1, item.beside[i]);
                else
                    book.Number(s, b1, std::stod(item.beside[i]));
            }
        }
        for (int i = 0; i < unrelated; ++i)
            book.Formula(*sheets[i % 2], Name(uint16_t(kColumns + 2), uint32_t(3 * i)), "={7;8}");
    }

    // New values for every number.
    void Renumber(FunctionBook& book, uint32_t seed) const {
        std::mt19937 rng(seed);
        for (const Item& item : items_)
            if (item.text[0] != '=') {
                CWorksheet& s = *AsWorksheet(Nth(book, item.at.sheet));
                book.Number(s, Name(item.at.column, item.at.row), double(rng() % 9));
            }
    }

    static CTreeItem* Nth(FunctionBook& book, int n) {
        CTreeItem* t = book.Book().tree.first;
        for (; t && !t->IsWorksheet(); t = t->next) {
        }
        for (int i = 0; i < n && t; ++i)
            for (t = t->next; t && !t->IsWorksheet(); t = t->next) {
            }
        return t;
    }

private:
    int Pick(int n) { return int(rng_() % uint32_t(n)); }

    // A term adding nothing, on half the formulas, that names a cell of another formula.
    std::string UnreadTerm(const Item& from, std::mt19937& rng) const {
        if (rng() % 2) return "";
        std::vector<const Item*> formulas;
        for (const Item& it : items_)
            if (it.text[0] == '=' && &it != &from) formulas.push_back(&it);
        if (formulas.empty()) return "";
        const Item& it = *formulas[rng() % formulas.size()];
        const std::string a1 = Name(uint16_t(it.at.column + rng() % it.width),
                                    uint32_t(it.at.row + rng() % it.height));
        const std::string cell = it.at.sheet == from.at.sheet
                                     ? a1
                                     : "'\\S" + std::to_string(it.at.sheet + 1) + "'!" + a1;
        switch (rng() % 3) {
        case 0:
            return "+IF($AE$1," + cell + ",0)";
        case 1:
            return "+SUM('\\F'!" + a1 + ")";
        default:
            return "+SUM($AE$2!" + a1 + ")";
        }
    }

    bool Free(const Cell& c, uint16_t w, uint32_t h) const {
        if (c.column + w > kColumns || c.row + h > kRows) return false;
        for (const Item& it : items_)
            if (it.at.sheet == c.sheet && c.column < it.at.column + it.width &&
                it.at.column < c.column + w && c.row < it.at.row + it.height &&
                it.at.row < c.row + h)
                return false;
        return true;
    }

    // A cell of an earlier item, and the reference to it as seen from `from`.
    std::string Reference(const Cell& from, int& item, Cell& target, bool sameSheet) {
        for (int tries = 0; tries < 50; ++tries) {
            item = Pick(int(items_.size()));
            const Item& it = items_[std::size_t(item)];
            if (sameSheet && it.at.sheet != from.sheet) continue;
            target = {it.at.sheet, uint16_t(it.at.column + Pick(it.width)),
                      uint32_t(it.at.row + uint32_t(Pick(int(it.height))))};
            const std::string a1 = Name(target.column, target.row);
            return target.sheet == from.sheet
                       ? a1
                       : "'\\S" + std::to_string(target.sheet + 1) + "'!" + a1;
        }
        item = -1;
        return "";
    }

    void AddItem() {
        static const struct {
            const char* pattern; // X: the reference read
            uint16_t width;
            uint32_t height;
        } arrays[] = {{"={1;2;3}*X", 1, 3},
                      {"={1,2}+X", 2, 1},
                      {"={1,2;3,4}*X", 2, 2},
                      {"=IF(X>4,{1;2;3},{4;5})+0", 1, 3},
                      {"=IF(X>4,{1,2},{3})*2", 2, 1}};
        for (int tries = 0; tries < 100; ++tries) {
            Item item;
            item.at = {Pick(2), uint16_t(Pick(kColumns)), uint32_t(Pick(int(kRows)))};
            int kind = items_.size() < 6 ? 0 : Pick(volatile_ ? 10 : 9);
            if (searches_ && kind != 0 && Pick(5) == 0) {
                kind = 10;
                item.width = 3;
            }
            if (kind == 1 || kind == 2) {
                const auto& a = arrays[Pick(int(std::size(arrays)))];
                item.width = a.width;
                item.height = a.height;
                item.text = a.pattern;
            }
            if (kind == 7 && selfReaders_) item.height = 2;
            if (kind == 9) item.height = 2;
            if (!Free(item.at, item.width, item.height)) continue;
            int read = -1;
            Cell target{};
            const std::string x =
                kind == 0 ? ""
                          : Reference(item.at, read, target, kind == 5 || kind == 6 || kind == 10);
            if (kind != 0 && read < 0) continue;
            switch (kind) {
            case 0:
                item.text = std::to_string(Pick(9));
                break;
            case 1:
            case 2:
                item.text.replace(item.text.find('X'), 1, x);
                if (zeroRandom_ && Pick(2)) item.text += "+0*RAND()";
                break;
            case 3:
                item.text = "=" + x + "+1";
                break;
            case 4: { // the whole area of an earlier array, or the one cell
                const Item& it = items_[std::size_t(read)];
                if (it.at.sheet != item.at.sheet) {
                    item.text = "=" + x + "*3";
                    break;
                }
                item.text = "=SUM(" + Name(it.at.column, it.at.row) + ":" +
                            Name(uint16_t(it.at.column + it.width - 1), it.at.row + it.height - 1) +
                            ")";
                break;
            }
            case 5:
                item.text = "=INDIRECT(\"" + x + "\",1)*2";
                break;
            case 6: // from its own cell to one below and right of it
                if (target.row < item.at.row || target.column < item.at.column) continue;
                item.text = "=OFFSET(" + Name(item.at.column, item.at.row) + "," +
                            std::to_string(target.row - item.at.row) + "," +
                            std::to_string(target.column - item.at.column) + ",1,1)+1";
                break;
            case 7: // an array over a reference built from text, or reading its own element
                item.height = 2;
                if (selfReaders_ && Pick(2) == 0) {
                    const std::string own = Name(item.at.column, item.at.row + 1);
                    const bool capped = Pick(2);
                    item.text = capped ? "={0;0}+IF(" + own + "<5," + own + "+1,5)"
                                       : "={0;0}+INDIRECT(\"" + own + "\",1)+1";
                    item.counterCap = capped ? 5 : 0;
                    // Half of them in a loop with a formula beside them reading their element.
                    if (Pick(2)) {
                        item.width = 2;
                        item.beside = {"=" + own + "*2"};
                        item.text +=
                            "+0*SUM(" + Name(uint16_t(item.at.column + 1), item.at.row) + ")";
                    }
                    read = -1;
                } else if (target.sheet == item.at.sheet) {
                    item.text = "={1;1}*INDIRECT(\"" + Name(target.column, target.row) + "\",1)";
                } else {
                    item.text = "={1;1}*" + x;
                }
                break;
            case 8:
                item.text = "=" + x + "-1";
                break;
            case 9: // random numbers over a reference
                item.text = zeroRandom_ ? "={1;1}*" + x + "+0*RAND()" : "={1;1}*RAND()+" + x;
                break;
            case 10: // a search whose trials alone read the cell, its objective and variable
                Search(item, x);
                break;
            }
            if (!Free(item.at, item.width, item.height)) continue;
            if (read >= 0) item.reads.push_back(read);
            items_.push_back(item);
            if (neighbours_ && Pick(2)) AddNeighbour();
            return;
        }
    }

    // An array whose area takes the cell the last item, an array that shrinks, gives up: it
    // spreads only while that one is small.
    void AddNeighbour() {
        const Item& last = items_.back();
        if (last.text.rfind("=IF(", 0) != 0) return;
        Item item;
        if (last.height == 3) { // {1;2;3} or {4;5}: its third row goes
            item.at = {last.at.sheet, uint16_t(last.at.column - 1), last.at.row + 2};
            item.text = "={5,6}";
            item.width = 2;
            if (last.at.column == 0) return;
        } else { // {1,2} or {3}: its second column goes
            item.at = {last.at.sheet, uint16_t(last.at.column + 1), last.at.row - 1};
            item.text = "={5;6}";
            item.height = 2;
            if (last.at.row == 0) return;
        }
        if (!Free(item.at, 1, 1)) return;
        items_.push_back(item);
    }

    // The objective reads the variable itself when evaluated on its own, `x` through
    // INDIRECT in the trials.
    void Search(Item& item, const std::string& x) {
        const std::string f = Name(uint16_t(item.at.column + 1), item.at.row);
        const std::string v = Name(uint16_t(item.at.column + 2), item.at.row);
        if (Pick(2)) {
            item.text = "=ROOT(" + f + "," + v + ",-1000,1000,1e-9)";
            item.beside = {"=" + v + "-INDIRECT(IF(" + v + ">-5000,\"" + x + "\",\"" + v + "\"),1)",
                           "-10000"};
        } else {
            item.text = "=MINSIMPLEX(" + f + "," + v + ":" + v + ",{1},0.3,,,1)";
            item.beside = {"=(" + v + "-INDIRECT(IF(" + v + ">=5,\"" + x + "\",\"" + v +
                               "\"),1)-10)^2-" + v,
                           "0"};
        }
    }

    std::mt19937 rng_;
    bool volatile_;
    bool selfReaders_;
    bool zeroRandom_;
    bool searches_;
    bool neighbours_;
    std::vector<Item> items_;
};

using Snapshot = std::map<std::string, std::string>;

// What every cell of both worksheets shows; numbers to the last bit.
Snapshot Take(FunctionBook& book, uint16_t columns = kColumns) {
    Snapshot out;
    for (int s = 0; s < 2; ++s) {
        CWorksheet& sheet = *AsWorksheet(CRandomBook::Nth(book, s));
        for (uint32_t r = 0; r < kRows; ++r)
            for (uint16_t c = 0; c < columns; ++c) {
                const uint8_t* rec = FindCell(sheet.cells, r, c);
                std::string shown = ShownRecord(rec);
                if (rec && !(rec[0] & 0xF0) && !cell::IsText(rec) &&
                    !(cell::IsFormula(rec) && (cell::ResultFlags(rec) & kResultText))) {
                    const double v =
                        cell::IsNumber(rec) ? cell::Number(rec) : cell::CachedNumber(rec);
                    char bits[32];
                    std::snprintf(bits, sizeof bits, "%a", v);
                    shown = bits;
                }
                out[std::to_string(s) + "!" + Name(c, r)] = shown;
            }
    }
    return out;
}

std::string Differences(const Snapshot& a, const Snapshot& b) {
    std::string out;
    for (const auto& [place, shown] : a)
        if (b.at(place) != shown) out += place + ": " + shown + " then " + b.at(place) + "\n";
    return out;
}

} // namespace

TEST(SpreadSettleRandom, OneRecalculationGivesWhatASecondOneGives) {
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, false, false, false, false, true);
        FunctionBook book;
        shape.Build(book);
        ASSERT_TRUE(book.Recalc());
        const Snapshot first = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(first, Take(book)), "");
        shape.Renumber(book, seed * 7);
        ASSERT_TRUE(book.Recalc());
        const Snapshot changed = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(changed, Take(book)), "");
    }
}

// ROOT and MINSIMPLEX whose objectives read spread cells only in their trials.
TEST(SpreadSettleRandom, SearchesGiveInOneRecalculationWhatASecondGives) {
    ASSERT_TRUE(BindNumericMethodBuiltins());
    int searches = 0;
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, false, false, false, true);
        for (const Item& item : shape.Items()) searches += !item.beside.empty();
        FunctionBook book;
        shape.Build(book);
        ASSERT_TRUE(book.Recalc());
        const Snapshot first = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(first, Take(book)), "");
        shape.Renumber(book, seed * 5);
        ASSERT_TRUE(book.Recalc());
        const Snapshot changed = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(changed, Take(book)), "");
    }
    EXPECT_GT(searches, int(2 * kWorkbooks));
}

// Nor do cells formulas name but never read.
TEST(SpreadSettleRandom, ArraysNothingReadsChangeNoResult) {
    int counters = 0;
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, false, true, false, false, true);
        FunctionBook alone;
        shape.Build(alone);
        FunctionBook crowded;
        shape.Build(crowded, 12, true);
        for (int pass = 0; pass < 2; ++pass) {
            ASSERT_TRUE(alone.Recalc());
            ASSERT_TRUE(crowded.Recalc());
            const Snapshot shown = Take(alone);
            ASSERT_EQ(Differences(shown, Take(crowded)), "") << pass;
            // Each counter, in a loop or not, steps once per recalculation.
            for (const Item& item : shape.Items()) {
                if (item.counterCap < 0) continue;
                const int n = pass + 1;
                const int want = item.counterCap ? std::min(n, item.counterCap) : n;
                const std::string place =
                    std::to_string(item.at.sheet) + "!" + Name(item.at.column, item.at.row + 1);
                char bits[32];
                std::snprintf(bits, sizeof bits, "%a", double(want));
                EXPECT_EQ(shown.at(place), bits) << place << " " << item.text;
                ++counters;
            }
        }
    }
    EXPECT_GT(counters, int(kWorkbooks));
}

// The items of S2 that S1's formulas read, those read by them, and so on.
std::set<int> ReadFromFirstSheet(const std::vector<Item>& items) {
    std::set<int> read;
    std::vector<int> stack;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].at.sheet == 0) stack.push_back(int(i));
    std::set<int> seen(stack.begin(), stack.end());
    while (!stack.empty()) {
        const int i = stack.back();
        stack.pop_back();
        for (int j : items[std::size_t(i)].reads) {
            if (items[std::size_t(j)].at.sheet == 1) read.insert(j);
            if (seen.insert(j).second) stack.push_back(j);
        }
    }
    return read;
}

TEST(SpreadSettleRandom, OneWorksheetRecalculatedChangesElsewhereOnlyWhatItReads) {
    BindRandomMatrixFunctions();
    int checked = 0;
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, true, true);
        FunctionBook book;
        shape.Build(book);
        ASSERT_TRUE(book.Recalc());
        shape.Renumber(book, seed * 11);
        const Snapshot before = Take(book);
        CWorksheet& s1 = *AsWorksheet(CRandomBook::Nth(book, 0));
        ASSERT_TRUE(book.Recalc(&s1.cells));
        const Snapshot after = Take(book);
        const std::set<int> read = ReadFromFirstSheet(shape.Items());
        for (std::size_t i = 0; i < shape.Items().size(); ++i) {
            const Item& item = shape.Items()[i];
            if (item.at.sheet != 1 || read.count(int(i))) continue;
            for (uint32_t r = 0; r < item.height; ++r)
                for (uint16_t c = 0; c < item.width; ++c) {
                    const std::string place =
                        "1!" + Name(uint16_t(item.at.column + c), item.at.row + r);
                    EXPECT_EQ(before.at(place), after.at(place)) << place << " " << item.text;
                    ++checked;
                }
        }
    }
    EXPECT_GT(checked, int(kWorkbooks * 10 / 3));
}

// A loop of two or three arrays on S1, each reading an element of the next, in the columns from
// `column` on and the rows from `row` on; some read a cell of the random book too.
void AddLoop(FunctionBook& book, std::mt19937& rng, uint16_t column, uint32_t row) {
    CWorksheet& s1 = *AsWorksheet(CRandomBook::Nth(book, 0));
    const int length = 2 + int(rng() % 2);
    for (int k = 0; k < length; ++k) {
        const uint16_t next = uint16_t(column + 2 * ((k + 1) % length));
        const std::string element = Name(next, row + 1 + rng() % 2);
        const std::string also =
            rng() % 2 ? "+" + Name(uint16_t(rng() % kColumns), rng() % kRows) : "";
        const std::string formula =
            rng() % 2 ? "={1;1;1}*(" + element + "+1)" + also
                      : "=IF(" + element + ">40,{1;2},{1;1;1}*" + element + "+2)" + also;
        book.Formula(s1, Name(uint16_t(column + 2 * k), row), formula);
    }
}

TEST(SpreadSettleRandom, ALoopOfArraysShowsTheSameBesideUnrelatedArraysAndLoops) {
    constexpr uint16_t kLoopColumn = kColumns + 4;
    int compared = 0;
    for (uint32_t seed = 1; seed <= kWorkbooks * 2 / 3; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, false, true);
        FunctionBook alone, crowded;
        shape.Build(alone);
        shape.Build(crowded, 12);
        std::mt19937 loopRng(seed), loopRngAgain(seed), others(seed * 3);
        AddLoop(alone, loopRng, kLoopColumn, 0);
        AddLoop(crowded, loopRngAgain, kLoopColumn, 0);
        for (uint32_t i = 0; i < seed % 4; ++i)
            AddLoop(crowded, others, uint16_t(kLoopColumn + 7), 4 * i);
        for (int pass = 0; pass < 3; ++pass) {
            ASSERT_TRUE(alone.Recalc());
            ASSERT_TRUE(crowded.Recalc());
            Snapshot a = Take(alone, uint16_t(kLoopColumn + 6));
            Snapshot b = Take(crowded, uint16_t(kLoopColumn + 6));
            // The unrelated arrays' own column.
            for (Snapshot* shot : {&a, &b})
                std::erase_if(*shot, [](const auto& cell) { return cell.first[2] == 'K'; });
            ASSERT_EQ(Differences(a, b), "") << pass;
            compared += int(a.size());
        }
    }
    EXPECT_GT(compared, int(kWorkbooks * 20 / 3));
}

// Arrays with 0*RAND() read arrays placed before and after them: one recalculation gives what a
// second one gives, as it does without random numbers.
TEST(SpreadSettleRandom, RandomArraysReadTheArraysAfterThemSettled) {
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, true, false, true);
        FunctionBook book;
        shape.Build(book, 0, seed % 2 == 0);
        ASSERT_TRUE(book.Recalc());
        const Snapshot first = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(first, Take(book)), "");
        shape.Renumber(book, seed * 5);
        ASSERT_TRUE(book.Recalc());
        const Snapshot changed = Take(book);
        ASSERT_TRUE(book.Recalc());
        ASSERT_EQ(Differences(changed, Take(book)), "");
    }
}

// Chains of arrays laid out bottom-up, each growing once the one below has, the lowest reading
// a number: after one recalculation a second changes nothing, whatever the number does.
TEST(SpreadSettleRandom, DeepChainsOfGrowingArraysSettleInOneRecalculation) {
    ASSERT_TRUE(BindStatisticsBuiltins());
    for (int n : {70, 200}) {
        SCOPED_TRACE(n);
        FunctionBook book;
        for (int k = 0; k < n; ++k) {
            const std::string test =
                k == n - 1 ? "$D$1>4" : "COUNT(A" + std::to_string(4 * k + 7) + ")>0";
            book.Formula("A" + std::to_string(4 * k + 1), "=IF(" + test + ",{1;2;3},{1;2})");
        }
        // The readers come after the chain in the walk.
        const std::string end = std::to_string(4 * n), sum = "B" + std::to_string(4 * n + 2),
                          count = "C" + std::to_string(4 * n + 2),
                          counted = "C" + std::to_string(4 * n + 3);
        book.Formula(sum, "=SUM(A1:A" + end + ")");
        book.Formula(count, "={1;1}*COUNT(A1:A" + end + ")");
        const auto column = [&] {
            std::string shown;
            for (uint32_t r = 0; r < uint32_t(4 * n); ++r)
                shown += ShownRecord(FindCell(book.Sheet().cells, r, 0)) + ",";
            return shown + book.Shown(sum) + "," + book.Shown(counted);
        };
        std::mt19937 rng{uint32_t(n)};
        for (int pass = 0; pass < 6; ++pass) {
            book.Number("D1", double(rng() % 9));
            ASSERT_TRUE(book.Recalc());
            const std::string once = column();
            ASSERT_TRUE(book.Recalc());
            ASSERT_EQ(once, column()) << pass;
            const bool grown = std::stod(book.Shown("D1")) > 4;
            EXPECT_EQ((std::vector<std::string>{book.Shown(sum), book.Shown(counted)}),
                      (std::vector<std::string>{std::to_string((grown ? 6 : 3) * n),
                                                std::to_string((grown ? 3 : 2) * n)}))
                << pass;
        }
    }
}

namespace {

constexpr int kDownstreamShards = 3;
class SpreadSettleDownstream : public ::testing::TestWithParam<int> {};

// Column J of S1 and S2: counters reading their own second element, each with a term naming a
// cell of a formula of the random book (downstream of numbers that change): taken or in a
// branch not taken, on the same worksheet, by path, by a worksheet name held in AE3 or worked
// out by an expression, or through the folder F, whose S3 holds a formula reading the cell.
// Column L: formulas drawing a random number (single cells or arrays) that read such a cell
// by the same routes. Returns the counters' anchors, as "sheet!A1".
std::vector<std::string> AddDownstreamReaders(FunctionBook& book, const std::vector<Item>& items,
                                              std::mt19937& rng) {
    std::vector<const Item*> formulas;
    for (const Item& it : items)
        if (it.text[0] == '=') formulas.push_back(&it);
    CWorksheet* sheets[3] = {AsWorksheet(CRandomBook::Nth(book, 0)),
                             AsWorksheet(CRandomBook::Nth(book, 1)),
                             AsWorksheet(CRandomBook::Nth(book, 2))};
    for (int s = 0; s < 2; ++s) book.Text(*sheets[s], "AE3", s == 0 ? "\\S2" : "\\S1");
    std::vector<std::string> counters;
    uint32_t folderRow = 0;
    // A cell of a formula, named from worksheet `from` by one of the routes.
    const auto named = [&](int from) {
        const Item& it = *formulas[rng() % formulas.size()];
        const std::string a1 = Name(uint16_t(it.at.column + rng() % it.width),
                                    uint32_t(it.at.row + rng() % it.height));
        const std::string sheet = std::to_string(it.at.sheet + 1);
        const bool other = it.at.sheet != from;
        switch (rng() % 5) {
        case 0:
            if (!other) return a1;
            [[fallthrough]];
        case 1:
            return "'\\S" + sheet + "'!" + a1;
        case 2:
            if (other) return "$AE$3!" + a1;
            [[fallthrough]];
        case 3:
            return "(\"\\S\"&\"" + sheet + "\")!" + a1;
        default: {
            const std::string place = Name(0, folderRow++);
            book.Formula(*sheets[2], place, "='\\S" + sheet + "'!" + a1 + "*0");
            return "SUM('\\F'!" + place + ")";
        }
        }
    };
    for (int s = 0; s < 2; ++s)
        for (uint32_t row = 0; row + 1 < kRows; row += 3) {
            const std::string counter = Name(kColumns + 1, row);
            const std::string own = Name(kColumns + 1, row + 1);
            const std::string x = named(s);
            const std::string term = rng() % 2 ? "+0*" + x : "+IF($AE$1," + x + ",0)";
            book.Formula(*sheets[s], counter,
                         "={0;0}+IF(" + own + "<1000," + own + "+1,1000)" + term);
            counters.push_back(std::to_string(s) + "!" + counter);
            const std::string shape = rng() % 2 ? "=" : "={1;1}*";
            book.Formula(*sheets[s], Name(kColumns + 3, row),
                         shape + "SUM(" + named(s) + ")+0*RAND()");
        }
    return counters;
}

} // namespace

// Counters reading something downstream of an array whose elements change step once per
// recalculation, and formulas drawing random numbers that read such cells by any route show
// after one recalculation what a second one shows.
TEST_P(SpreadSettleDownstream, CountersStepOnceAndVolatileReadersAreFresh) {
    BindRandomMatrixFunctions();
    int counted = 0;
    for (uint32_t seed = 1; seed <= kWorkbooks; ++seed) {
        if (!shards::Takes(GetParam(), kDownstreamShards, seed)) continue;
        SCOPED_TRACE(seed);
        CRandomBook shape(seed, false, false);
        FunctionBook book;
        shape.Build(book);
        std::mt19937 rng(seed * 13);
        const std::vector<std::string> counters = AddDownstreamReaders(book, shape.Items(), rng);
        const uint16_t columns = kColumns + 4;
        ASSERT_TRUE(book.Recalc());
        Snapshot before = Take(book, columns);
        // The first recalculation spreads every counter for the first time, beside the
        // random book's arrays doing the same: each steps once, from its empty elements.
        for (const std::string& c : counters) {
            const std::string second = c.substr(0, 3) + std::to_string(std::stoi(c.substr(3)) + 1);
            EXPECT_EQ((std::vector<double>{std::strtod(before.at(c).c_str(), nullptr),
                                           std::strtod(before.at(second).c_str(), nullptr)}),
                      (std::vector<double>{1, 1}))
                << c;
        }
        for (int pass = 0; pass < 2; ++pass) {
            shape.Renumber(book, seed * 17 + uint32_t(pass));
            ASSERT_TRUE(book.Recalc());
            Snapshot once = Take(book, columns);
            ASSERT_TRUE(book.Recalc());
            Snapshot twice = Take(book, columns);
            for (const std::string& c : counters) {
                const std::string second =
                    c.substr(0, 3) + std::to_string(std::stoi(c.substr(3)) + 1);
                const double was = std::strtod(before.at(c).c_str(), nullptr);
                EXPECT_EQ((std::vector<double>{std::strtod(once.at(c).c_str(), nullptr),
                                               std::strtod(once.at(second).c_str(), nullptr),
                                               std::strtod(twice.at(c).c_str(), nullptr)}),
                          (std::vector<double>{was + 1, was + 1, was + 2}))
                    << c << " pass " << pass;
                for (Snapshot* shot : {&once, &twice}) shot->erase(c), shot->erase(second);
                ++counted;
            }
            ASSERT_EQ(Differences(once, twice), "") << pass;
            before = Take(book, columns);
        }
    }
    EXPECT_GT(counted, int(kWorkbooks * 4 / kDownstreamShards));
}

VORLANE_SHARDS(SpreadSettleDownstream, kDownstreamShards);

} // namespace vl::test
