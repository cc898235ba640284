#pragma once
// Helpers of the model tests. storetest: record builders, a whole-store dump, the structural
// checks every edit must keep, hand-built page chains and an allocation-failure guard.
// modeltest: cells and runs put by position, array formulas, dumps of stores, workbooks built
// from a list of tree items, containers, a snapshot of a whole workbook to compare after a
// failed edit, a loop that runs an edit out of memory, and serialised records against dumps.

#include "model/cellstore.h"
#include "model/container.h"
#include "model/formatstore.h"
#include "model/rangeops.h"
#include "model/undosnapshot.h"
#include "model/workbook.h"
#include "newhook.h"
#include "platform/core/alloc.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace vl::storetest {

// Restores the allocator's normal behaviour when a test ends, however it ends.
struct AllocFailGuard {
    explicit AllocFailGuard(long successes) { SetAllocFailAfter(successes); }
    ~AllocFailGuard() { SetAllocFailAfter(-1); }
};

inline std::vector<uint8_t> Number(uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    MakeNumberCell(b, column, row, value);
    return {b.bytes, b.bytes + b.size};
}

inline std::vector<uint8_t> Text(uint16_t column, uint32_t row, size_t length, char fill = 't') {
    CellBuffer b;
    EXPECT_TRUE(MakeTextCell(b, column, row, std::string(length, fill)));
    return {b.bytes, b.bytes + b.size};
}

// A text record of exactly `size` bytes.
inline std::vector<uint8_t> Sized(uint16_t column, uint32_t row, size_t size, char fill = 's') {
    return Text(column, row, size - kTextHead, fill);
}

inline bool Put(CCellStore& store, const std::vector<uint8_t>& record, CellCursor& cursor) {
    return store.PutCell(record.data(), cursor);
}

inline bool Put(CCellStore& store, const std::vector<uint8_t>& record) {
    CellCursor cursor;
    return store.PutCell(record.data(), cursor);
}

// Every record of the store, in chain order.
inline std::vector<std::vector<uint8_t>> Dump(const CCellStore& store) {
    std::vector<std::vector<uint8_t>> out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) out.emplace_back(r, r + cell::Length(r));
    return out;
}

// Records lie in increasing (row, column) order, fill each page without a gap, no page
// is empty or over-full, the links agree both ways and the page count matches the chain.
inline ::testing::AssertionResult Consistent(const CCellStore& store) {
    uint32_t pages = 0;
    bool haveLast = false;
    uint32_t lastRow = 0;
    uint16_t lastColumn = 0;
    const Page* prev = nullptr;
    for (const Page* p = store.FirstPage(); p; prev = p, p = p->next) {
        ++pages;
        if (p->prev != prev) return ::testing::AssertionFailure() << "broken back link";
        if (p->used == 0 || p->used > kPagePayload)
            return ::testing::AssertionFailure() << "page " << pages << " used " << p->used;
        uint32_t offset = 0;
        while (offset < p->used) {
            const uint8_t* r = p->payload + offset;
            const uint32_t len = cell::CheckedLength(r);
            if (len == 0 || offset + len > p->used)
                return ::testing::AssertionFailure() << "record overruns page " << pages;
            if (haveLast && !cell::Before(lastRow, lastColumn, cell::Row(r), cell::Column(r)))
                return ::testing::AssertionFailure()
                       << "order broken at row " << cell::Row(r) << " col " << cell::Column(r);
            haveLast = true;
            lastRow = cell::Row(r);
            lastColumn = cell::Column(r);
            offset += len;
        }
    }
    if (pages != store.PageCount())
        return ::testing::AssertionFailure()
               << "page count " << store.PageCount() << " but chain " << pages;
    return ::testing::AssertionSuccess();
}

// A chain of pages holding the given records, page by page, for AdoptPages.
inline Page* MakeChain(const std::vector<std::vector<std::vector<uint8_t>>>& pages) {
    Page* first = nullptr;
    Page* last = nullptr;
    for (const auto& records : pages) {
        auto* page = static_cast<Page*>(AllocBlock(sizeof(Page)));
        page->next = nullptr;
        page->prev = last;
        page->used = 0;
        for (const auto& r : records) {
            std::memcpy(page->payload + page->used, r.data(), r.size());
            page->used = uint16_t(page->used + r.size());
        }
        if (last)
            last->next = page;
        else
            first = page;
        last = page;
    }
    return first;
}

// The (row, column) keys of the records on each page.
inline std::vector<std::vector<std::pair<uint32_t, uint16_t>>> PageKeys(const CCellStore& s) {
    std::vector<std::vector<std::pair<uint32_t, uint16_t>>> out;
    for (const Page* p = s.FirstPage(); p; p = p->next) {
        out.emplace_back();
        for (uint32_t offset = 0; offset < p->used;) {
            const uint8_t* r = p->payload + offset;
            out.back().emplace_back(cell::Row(r), cell::Column(r));
            offset += cell::Length(r);
        }
    }
    return out;
}

// The columns of the records on each page, pages parted by " | ".
inline std::string Layout(const CCellStore& s) {
    std::string out;
    for (const Page* p = s.FirstPage(); p; p = p->next) {
        out += out.empty() ? "" : " |";
        for (uint32_t offset = 0; offset < p->used; offset += cell::Length(p->payload + offset))
            out += " " + std::to_string(cell::Column(p->payload + offset));
    }
    return out;
}

// What a failed edit must leave as it was: the records, the page and free-byte counts, the
// free pages and the blocks in use.
inline auto StoreState(const CCellStore& s) {
    return std::tuple(Dump(s), s.PageCount(), s.FreeBytes(), s.FreePageCount(), LiveBlockCount());
}

} // namespace vl::storetest

namespace vl::modeltest {

using Key = std::pair<uint32_t, uint16_t>; // row, column
using Cells = std::map<Key, std::vector<uint8_t>>;
using RunKey = std::tuple<uint32_t, uint16_t, uint16_t, uint16_t>; // row, first, last, style
using Runs = std::vector<RunKey>;
using storetest::AllocFailGuard;

inline void Put(CCellStore& store, const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(store.PutCell(b.bytes, cursor));
}

inline void PutNumber(CCellStore& store, uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    Put(store, b);
}

inline void PutText(CCellStore& store, uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    Put(store, b);
}

// Numbers r * 10 + c (times `scale` for the row) over the rectangle.
inline void PutGrid(CCellStore& store, const CellRange& r, double scale = 10) {
    for (uint32_t row = r.r1; row <= r.r2; ++row)
        for (uint16_t c = r.c1; c <= r.c2; ++c) PutNumber(store, c, row, row * scale + c);
}

// An array formula anchored at (column, row) spreading over width x height cells, with its
// element cells filled.
inline void PutArray(CCellStore& store, uint16_t column, uint32_t row, uint16_t width,
                     uint32_t height, uint8_t error = 0) {
    FormulaHead head;
    head.arrayWidth = width;
    head.arrayHeight = height;
    head.resultFlags = kResultArray | kResultNumber;
    head.flags = uint8_t(kCellFormula | (error << 4));
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, "R1C1:R2C2"));
    Put(store, b);
    for (uint32_t r = row; r < row + height; ++r) {
        for (uint16_t c = column; c < column + width; ++c) {
            if (c == column && r == row) continue;
            ASSERT_TRUE(MakeNumberCell(b, c, r, c * 1000.0 + r));
            b.bytes[0] |= kCellArrayElement;
            Put(store, b);
        }
    }
}

inline Cells Dump(const CCellStore& store) {
    Cells out;
    CellCursor cursor{kAdvance, store.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        out[{cell::Row(r), cell::Column(r)}] = std::vector<uint8_t>(r, r + cell::Length(r));
    return out;
}

inline double NumberAt(const CCellStore& store, uint16_t column, uint32_t row) {
    const uint8_t* r = FindCell(store, row, column);
    return r && cell::IsNumber(r) ? cell::Number(r) : -1;
}

inline std::vector<uint8_t> Moved(std::vector<uint8_t> bytes, uint16_t column, uint32_t row) {
    StoreU16(bytes.data() + 1, column);
    StoreU32(bytes.data() + 3, row);
    return bytes;
}

inline void PutRun(CFormatStore& f, FormatRun run) {
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(f, run, cursor));
}

// Every run of a store, in order.
inline Runs AllRuns(const CFormatStore& f) {
    Runs out;
    for (const FormatRun& r : RunsInRect(f, {0, 0, kLastColumn, kLastRow}))
        out.emplace_back(r.row, r.firstColumn, r.lastColumn, r.style);
    return out;
}

// The height entry of a row, 0 past the end of the list.
inline uint16_t Height(CWorksheet& ws, uint32_t row) {
    CPagedList& list = ws.formats.rowHeights;
    return row < list.ItemCount() ? *list.GetItem2(row) : 0;
}

// A workbook whose tree is given as (type, name, level) triples, in display order.
struct Item {
    uint8_t type;
    const char* name;
    uint16_t level;
};
constexpr uint8_t W = TREE_TYPE_WORKSHEET;
constexpr uint8_t F = TREE_TYPE_FOLDER;

inline std::unique_ptr<CWorkbook> BookWith(const std::vector<Item>& items) {
    auto book = CreateWorkbook();
    for (const Item& i : items) book->AppendTreeItem(i.type, i.name, i.level);
    return book;
}

inline CWorksheet& AddSheet(CWorkbook& book, const char* name = nullptr) {
    return *AsWorksheet(book.AppendTreeItem(TREE_TYPE_WORKSHEET, name, 1));
}

// A workbook of `count` worksheets whose style 1 wraps its text.
inline std::unique_ptr<CWorkbook> BookWithSheets(int count, uint32_t level = 20) {
    auto book = CreateWorkbook();
    for (int i = 0; i < count; ++i) AddSheet(*book);
    book->SetUndoLevel(level);
    book->styles.styles[1].wrapText = 1;
    book->styles.styleCount = 2;
    return book;
}

inline CWorksheet& Sheet(CWorkbook& book, int index) {
    return *AsWorksheet(GetTreeItemAt(index, book.tree.first));
}

// "name:level " of every item of a chain.
inline std::string Names(const CTreeItem* first) {
    std::string out;
    for (const CTreeItem* p = first; p; p = p->next)
        out += std::string(p->name) + ":" + std::to_string(p->level) + " ";
    return out;
}

inline CTreeItem* Named(CWorkbook& book, const char* name) {
    for (CTreeItem* p = book.tree.first; p; p = p->next)
        if (std::string(p->name) == name) return p;
    return nullptr;
}

inline std::unique_ptr<CContainer> NewContainer(uint16_t id,
                                                const ContainerFrame* frame = nullptr) {
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, frame);
    c->settings.id = id;
    return c;
}

inline std::unique_ptr<CContainer> ContainerWithChart(uint16_t id, uint8_t type) {
    auto c = NewContainer(id);
    c->slots[0].kind = kObjectChart;
    c->slots[0].chart = NewBlockObject<CChart>(type);
    c->settings.objectCount = 1;
    return c;
}

// What an edit that fails must leave as it was: the tree, each worksheet's cells, runs,
// row heights and column widths, and the counts of the style tables.
struct BookState {
    std::string tree;
    uint32_t worksheets, folders;
    std::vector<Cells> cells;
    std::vector<Runs> runs;
    std::vector<std::vector<uint16_t>> sizes;
    uint16_t styles;
    uint8_t fonts;
    bool operator==(const BookState&) const = default;
};

inline BookState StateOf(const CWorkbook& book) {
    BookState s{Names(book.tree.first), book.tree.worksheetCount, book.tree.folderCount, {}, {}, {},
                book.styles.styleCount, book.styles.fontCount};
    for (CTreeItem* p = book.tree.first; p; p = p->next) {
        CWorksheet* ws = AsWorksheet(p);
        if (!ws) continue;
        s.cells.push_back(Dump(ws->cells));
        s.runs.push_back(AllRuns(ws->formats));
        std::vector<uint16_t>& sizes = s.sizes.emplace_back();
        for (const ColumnEntry& c : ws->formats.columns)
            sizes.insert(sizes.end(), {c.width, c.style});
        for (uint32_t r = 0; r < ws->formats.rowHeights.ItemCount(); ++r)
            sizes.push_back(Height(*ws, r));
        while (sizes.size() > 2 * kMaxColumns && sizes.back() == 0) sizes.pop_back();
    }
    return s;
}

// Runs `call` with ever larger budgets of blocks (pages) or of operator new until it
// succeeds; after every failure the workbook holds error 8 and `check` runs. Returns the
// failures seen.
inline int Exhaust(CWorkbook& book, bool pages, const std::function<bool()>& call,
                   const std::function<void(long)>& check) {
    int failures = 0;
    for (long budget = 0;; budget += pages ? 1 : 1 + budget / 8) {
        book.error = 0;
        bool done;
        if (pages) {
            AllocFailGuard guard(budget);
            done = call();
        } else {
            NewFailGuard guard(budget);
            done = call();
        }
        if (done) return failures;
        ++failures;
        EXPECT_EQ(book.error, kErrorWorksheetMemory) << "budget " << budget;
        check(budget);
        if (::testing::Test::HasFatalFailure()) return failures;
    }
}

// A serialised record against its expected bytes, kept as a hex dump in
// tests/data/model/<name>.hex: an offset label ending in ':' and up to 16 bytes a line; text
// after '#' is a note.
inline ::testing::AssertionResult MatchesDump(const std::vector<uint8_t>& bytes,
                                              const std::string& name) {
    std::ifstream in(std::string(VORLANE_TEST_DATA) + "/model/" + name + ".hex");
    if (!in) return ::testing::AssertionFailure() << "missing data file model/" << name << ".hex";
    const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::vector<uint8_t> expected;
    std::string line, word;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        while (words >> word)
            if (word.back() != ':')
                expected.push_back(uint8_t(digit(word[0]) * 16 + digit(word[1])));
    }
    if (expected.size() != bytes.size())
        return ::testing::AssertionFailure()
               << name << ": " << bytes.size() << " bytes, dump " << expected.size();
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != expected[i])
            return ::testing::AssertionFailure() << name << ": byte " << i << " is "
                                                 << int(bytes[i]) << ", dump " << int(expected[i]);
    return ::testing::AssertionSuccess();
}

// The bytes of a record written over a buffer of 0xEE bytes.
template <class T>
std::vector<uint8_t> Written(void (*write)(uint8_t*, const T&), const T& record, uint32_t size) {
    std::vector<uint8_t> b(size, 0xEE);
    write(b.data(), record);
    return b;
}

// The record written over a buffer of 0xEE bytes matches its dump, and read back it writes
// the same bytes again.
template <class T>
::testing::AssertionResult
WritesDump(const T& record, uint32_t size, void (*write)(uint8_t*, const T&),
           void (*read)(const uint8_t*, T&), const std::string& name, T* readBack = nullptr) {
    std::vector<uint8_t> b = Written(write, record, size), again(size, 0xEE);
    if (::testing::AssertionResult dump = MatchesDump(b, name); !dump) return dump;
    T own, &back = readBack ? *readBack : own;
    read(b.data(), back);
    write(again.data(), back);
    if (again != b) return ::testing::AssertionFailure() << name << " changes when read back";
    return ::testing::AssertionSuccess();
}

// A record read from bytes that differ from their neighbours and from the defaults, written
// back over 0xEE bytes, against its dump: each field lands where it was read from, and gaps
// and cut texts show as the writer fills them.
template <class T>
::testing::AssertionResult PatternRoundTrip(uint32_t size, void (*write)(uint8_t*, const T&),
                                            void (*read)(const uint8_t*, T&),
                                            const std::string& name) {
    std::vector<uint8_t> pattern(size);
    for (uint32_t i = 0; i < size; ++i)
        pattern[i] = uint8_t(1 + (i * 7 + i / 256 * 3) % 255); // no NUL ends a text early
    T record{};
    read(pattern.data(), record);
    const std::vector<uint8_t> b = Written(write, record, size);
    return MatchesDump(b, name);
}

} // namespace vl::modeltest
