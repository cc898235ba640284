#include "bodybuilder.h"
#include "files/workbookopen.h"
#include "filestestutil.h"

#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

using Build = std::function<void(BodyBuilder&)>;

// Reads a body from a file into a new workbook.
std::unique_ptr<CWorkbook> ReadBody(const TempFolder& dir, const std::vector<uint8_t>& body,
                                    uint8_t version, bool& ok) {
    WriteBytes(dir.Path("body"), body);
    auto book = NewBlockObject<CWorkbook>();
    ok = book->stream.Open(dir.Path("body").c_str(), "rb", false, kFileBufferSize) &&
         ReadBinaryWorkbookBody(*book, book->stream, version, nullptr);
    return book;
}

// A body of one worksheet whose parts after the containers come from `tail`.
Build Sheet(const Build& tail, int containers = 0, const Build& containerParts = {}) {
    return [=](BodyBuilder& b) {
        b.Head().Tables().U32(1).Item("S", TREE_TYPE_WORKSHEET, 1).U32(uint32_t(containers));
        if (containerParts) containerParts(b);
        tail(b);
    };
}

Build Columns(const Build& columns) {
    return Sheet([=](BodyBuilder& b) {
        columns(b);
        b.U32(0).U32(0).U32(0).DefaultSettings();
    });
}

Build Rows(const Build& rows) {
    return Sheet([=](BodyBuilder& b) {
        b.ColumnsAllEqual();
        rows(b);
        b.U32(0).U32(0).DefaultSettings();
    });
}

// One page of format runs, then one page of cells.
Build Pages(const Build& runs, const Build& cells) {
    return Sheet([=](BodyBuilder& b) {
        b.ColumnsAllEqual().U32(0);
        runs(b);
        cells(b);
        b.DefaultSettings();
    });
}

Build NoPages() {
    return [](BodyBuilder& b) { b.U32(0); };
}

std::vector<uint8_t> Number(uint16_t column, uint32_t row, uint8_t error = 0) {
    CellBuffer c;
    MakeNumberCell(c, column, row, 1.5, error);
    return {c.bytes, c.bytes + c.size};
}

Build CellPage(const std::vector<std::vector<uint8_t>>& records, int usedDelta = 0) {
    return [=](BodyBuilder& b) {
        size_t used = 0;
        for (const auto& r : records) used += r.size();
        b.U32(1).U16(uint16_t(int(used) + usedDelta));
        for (const auto& r : records) b.Raw(r.data(), r.size());
        if (usedDelta > 0) b.Zeros(size_t(usedDelta));
    };
}

Build RunPage(const std::vector<FormatRun>& runs, int usedDelta = 0) {
    return [=](BodyBuilder& b) {
        b.U32(1).U16(uint16_t(int(runs.size() * kFormatRunSize) + usedDelta));
        for (const FormatRun& run : runs) {
            uint8_t p[kFormatRunSize];
            StoreFormatRun(p, run);
            b.Raw(p, sizeof p);
        }
        if (usedDelta > 0) b.Zeros(size_t(usedDelta));
    };
}

Build WithStyle(const StyleRecord& style, int fonts = 1) {
    return [=](BodyBuilder& b) { b.Head().NoLists().Fonts(fonts).Styles(1, style).U32(0).U32(0); };
}

Build WithList(uint16_t index, const std::string& name, size_t entry, uint16_t count = 1) {
    return [=](BodyBuilder& b) {
        b.Head().U16(count);
        for (uint16_t i = 0; i < count; ++i) {
            b.U16(uint16_t(index + i)).U16(uint16_t(name.size())).Text(name).U32(1);
            b.U16(uint16_t(entry)).Text(std::string(entry, 'e'));
        }
        b.Fonts(1).Styles(1).U32(0).U32(0);
    };
}

Build WithInspected(uint16_t column, uint32_t row) {
    return [=](BodyBuilder& b) {
        uint8_t p[kInspectedCellRecordSize];
        WriteInspectedCellRecord(p, InspectedCellRecord{{column, row, kRefCell}, "", ""});
        b.Head().NoLists().Fonts(1).Styles(1).U32(1).Raw(p, sizeof p).U32(0);
    };
}

Build WithChart(int series, uint8_t userGrids = 0, uint8_t slices = 16) {
    return Sheet([](BodyBuilder& b) { b.EmptySheetTail(); }, 1,
                 [=](BodyBuilder& b) {
                     ContainerSettings c;
                     c.objectCount = 1;
                     ChartSettings chart;
                     chart.type = kChart2D;
                     chart.seriesCount = uint8_t(series);
                     b.Container(c).Chart(chart);
                     SeriesSettings s;
                     s.userGridCount = userGrids;
                     s.sliceFillCount = slices;
                     for (int i = 0; i < series; ++i) b.Series(s);
                 });
}

StyleRecord StyleWith(uint8_t font, uint16_t list, uint8_t kind) {
    StyleRecord s;
    s.fontRef.fontIndex = font;
    s.dropDownList = list;
    s.numberFormat.kind = kind;
    return s;
}

struct LimitCase {
    const char* name;
    Build build;
    bool valid;
};

} // namespace

// Every count, length, index and position is tried at its limit and one past it: the first
// reads, the second is the format error.
TEST(BodyReaderFaults, LimitsAndOnePast) {
    const std::string text8173(kMaxCellText, 't');
    CellBuffer fullText;
    MakeTextCell(fullText, 0, 0, text8173);
    const std::vector<uint8_t> full(fullText.bytes, fullText.bytes + fullText.size);
    auto columnRuns = [](int first, int total) {
        return [=](BodyBuilder& b) {
            b.U16(uint16_t(first)).Zeros(6).U16(uint16_t(total - first)).Zeros(6);
        };
    };
    const LimitCase cases[] = {
        {"128 fonts", [](BodyBuilder& b) { b.Head().NoLists().Fonts(128).Styles(1).U32(0).U32(0); },
         true},
        {"129 fonts", [](BodyBuilder& b) { b.Head().NoLists().Fonts(129).Styles(1).U32(0).U32(0); },
         false},
        {"no font", [](BodyBuilder& b) { b.Head().NoLists().Fonts(0).Styles(1).U32(0).U32(0); },
         false},
        {"512 styles",
         [](BodyBuilder& b) { b.Head().NoLists().Fonts(1).Styles(512).U32(0).U32(0); }, true},
        {"513 styles",
         [](BodyBuilder& b) { b.Head().NoLists().Fonts(1).Styles(513).U32(0).U32(0); }, false},
        {"no style", [](BodyBuilder& b) { b.Head().NoLists().Fonts(1).Styles(0).U32(0).U32(0); },
         false},
        {"font index 1 of 2", WithStyle(StyleWith(1, 0, 0), 2), true},
        {"font index 2 of 2", WithStyle(StyleWith(2, 0, 0), 2), false},
        {"list number 100", WithStyle(StyleWith(0, 100, 0)), true},
        {"list number 101", WithStyle(StyleWith(0, 101, 0)), false},
        {"format kind 10", WithStyle(StyleWith(0, 0, 10)), true},
        {"format kind 11", WithStyle(StyleWith(0, 0, 11)), false},
        {"list index 99", WithList(99, "n", 3), true},
        {"list index 100", WithList(100, "n", 3), false},
        {"100 lists", WithList(0, "n", 3, 100), true},
        {"101 lists", WithList(0, "n", 3, 101), false},
        {"name of 29", WithList(5, std::string(29, 'n'), 3), true},
        {"name of 30", WithList(5, std::string(30, 'n'), 3), false},
        {"entry of 1024", WithList(5, "n", 1024), true},
        {"entry of 1025", WithList(5, "n", 1025), false},
        {"inspected column 2046", WithInspected(2046, 0), true},
        {"inspected column 2047", WithInspected(2047, 0), false},
        {"inspected last row", WithInspected(0, kLastRow), true},
        {"inspected row past the end", WithInspected(0, kMaxRows), false},
        {"item name of 127",
         [](BodyBuilder& b) { b.Head().Tables().U32(1).Item(std::string(127, 'f'), 2); }, true},
        {"item name of 128",
         [](BodyBuilder& b) { b.Head().Tables().U32(1).Item(std::string(128, 'f'), 2); }, false},
        {"two items of two",
         [](BodyBuilder& b) { b.Head().Tables().U32(2).Item("a", 2).Item("b", 2); }, true},
        {"one item of two", [](BodyBuilder& b) { b.Head().Tables().U32(2).Item("a", 2); }, false},
        {"column runs of 2047", Columns(columnRuns(1000, kMaxColumns)), true},
        {"column runs of 2048", Columns(columnRuns(1000, kMaxColumns + 1)), false},
        {"column run of 0", Columns([](BodyBuilder& b) { b.U16(0).Zeros(6).ColumnsAllEqual(); }),
         false},
        {"column style 0 of 1",
         Columns([](BodyBuilder& b) { b.U16(kMaxColumns).U16(7).U16(0xF000).U16(3); }), true},
        {"column style 1 of 1",
         Columns([](BodyBuilder& b) { b.U16(kMaxColumns).U16(7).U16(1).U16(3); }), false},
        {"all rows", Rows([](BodyBuilder& b) { b.U32(kMaxRows).U32(kMaxRows).U16(36); }), true},
        {"a row past them",
         Rows([](BodyBuilder& b) { b.U32(kMaxRows + 1).U32(kMaxRows + 1).U16(36); }), false},
        {"row runs past R", Rows([](BodyBuilder& b) { b.U32(5).U32(3).U16(1).U32(3).U16(2); }),
         false},
        {"row run of 0", Rows([](BodyBuilder& b) { b.U32(5).U32(0).U16(1).U32(5).U16(2); }), false},
        {"run page of 8180",
         Pages(
             [](BodyBuilder& b) {
                 b.U32(1).U16(8180);
                 for (uint32_t i = 0; i < 818; ++i) {
                     uint8_t p[kFormatRunSize];
                     StoreFormatRun(p, {0, 2046, i, 0});
                     b.Raw(p, sizeof p);
                 }
             },
             NoPages()),
         true},
        {"run page of 8190", Pages(RunPage({}, 8190), NoPages()), false},
        {"run page not of whole runs", Pages(RunPage({{0, 1, 0, 0}}, 5), NoPages()), false},
        {"run style past the table", Pages(RunPage({{0, 1, 0, 1}}), NoPages()), false},
        {"run to column 2047", Pages(RunPage({{0, 2047, 0, 0}}), NoPages()), false},
        {"run backwards", Pages(RunPage({{5, 4, 0, 0}}), NoPages()), false},
        {"runs out of order", Pages(RunPage({{0, 1, 9, 0}, {0, 1, 8, 0}}), NoPages()), false},
        {"cell page of 8182", Pages(NoPages(), CellPage({full})), true},
        {"cell page of 8183", Pages(NoPages(), CellPage({full}, 1)), false},
        {"records short of used", Pages(NoPages(), CellPage({Number(0, 0)}, 5)), false},
        {"text past used", Pages(NoPages(), CellPage({full}, -1)), false},
        {"records in order", Pages(NoPages(), CellPage({Number(5, 1), Number(0, 2)})), true},
        {"records out of order", Pages(NoPages(), CellPage({Number(0, 2), Number(5, 1)})), false},
        {"two records at one cell", Pages(NoPages(), CellPage({Number(3, 3), Number(3, 3)})),
         false},
        {"cell in column 2046, last row", Pages(NoPages(), CellPage({Number(2046, kLastRow)})),
         true},
        {"cell in column 2047", Pages(NoPages(), CellPage({Number(2047, 0)})), false},
        {"cell past the last row", Pages(NoPages(), CellPage({Number(0, kMaxRows)})), false},
        {"error 12", Pages(NoPages(), CellPage({Number(0, 0, 12)})), true},
        {"error 13", Pages(NoPages(), CellPage({Number(0, 0, 13)})), false},
        {"16 series", WithChart(16), true},
        {"17 series", WithChart(17), false},
        {"16 user grid lines", WithChart(1, 16), true},
        {"17 user grid lines", WithChart(1, 17), false},
        {"17 slice fills", WithChart(1, 0, 17), false},
    };
    TempFolder dir;
    for (const LimitCase& c : cases) {
        BodyBuilder b;
        c.build(b);
        bool ok = false;
        auto book = ReadBody(dir, b.Bytes(), 3, ok);
        EXPECT_EQ(ok, c.valid) << c.name;
        EXPECT_EQ(book->error, c.valid ? kErrorNone : kErrorFileFormat) << c.name;
        // Whatever was kept is a consistent tree.
        uint32_t sheets = 0, folders = 0;
        for (CTreeItem* p = book->tree.first; p; p = p->next)
            (p->IsWorksheet() ? sheets : folders)++;
        EXPECT_EQ(sheets, book->tree.worksheetCount) << c.name;
        EXPECT_EQ(folders, book->tree.folderCount) << c.name;
    }
}

// Page order holds across pages; an empty page carries nothing and is dropped.
TEST(BodyReaderFaults, OrderAcrossPagesAndEmptyPages) {
    TempFolder dir;
    auto twoPages = [](uint32_t firstRow, uint32_t secondRow) {
        return Pages(NoPages(), [=](BodyBuilder& b) {
            const auto a = Number(0, firstRow), c = Number(0, secondRow);
            b.U32(3).U16(uint16_t(a.size())).Raw(a.data(), a.size()).U16(0);
            b.U16(uint16_t(c.size())).Raw(c.data(), c.size());
        });
    };
    for (bool ordered : {true, false}) {
        BodyBuilder b;
        twoPages(ordered ? 1 : 2, ordered ? 2 : 1)(b);
        bool ok = false;
        auto book = ReadBody(dir, b.Bytes(), 3, ok);
        EXPECT_EQ(ok, ordered);
        if (!ordered) continue;
        const CWorksheet* sheet = AsWorksheet(book->tree.first);
        EXPECT_EQ(sheet->cells.PageCount(), 2u);
        EXPECT_EQ(sheet->cells.FreeBytes(), 2 * (kPagePayload - kNumberRecordSize));
        EXPECT_NE(FindCell(sheet->cells, 2, 0), nullptr);
    }
}

// Every shorter prefix of a body is a body that ends too soon.
TEST(BodyReaderFaults, EveryTruncationFails) {
    auto book = NewBlockObject<CWorkbook>();
    ASSERT_TRUE(NewWorkbook(*book));
    CWorksheet& sheet = *AsWorksheet(book->tree.first);
    AddContainer(sheet, 1, {1});
    PutNumber(sheet, 1, 1, 2);
    AddDropDownEntry(book->dropDownLists[3], "entry");
    ASSERT_TRUE(SetFormatStoreRowEntry(sheet.formats, 3, 20, true));
    const std::vector<uint8_t> body = BodyOf(*book);
    TempFolder dir;
    bool ok = false;
    ReadBody(dir, body, 3, ok);
    ASSERT_TRUE(ok);
    for (size_t n = 0; n < body.size(); n += n < 400 ? 1 : 13) {
        auto read =
            ReadBody(dir, std::vector<uint8_t>(body.begin(), body.begin() + long(n)), 3, ok);
        ASSERT_FALSE(ok) << n;
        ASSERT_EQ(read->error, kErrorFileFormat) << n;
    }
}

} // namespace vl

namespace vl {

// A whole file cut short fails, compressed or encrypted; an encrypted one builds nothing.
TEST(BodyReaderFaults, TruncatedFilesFail) {
    TempFolder dir;
    auto book = filestest::MakeRichWorkbook();
    for (uint8_t code : {0, 4}) {
        for (bool gzip : {false, true}) {
            book->encryption = code;
            ASSERT_TRUE(SaveToPath(*book, dir.Path("t"), gzip));
            Bytes file = ReadBytes(dir.Path("t"));
            file.resize(file.size() / 2);
            WriteBytes(dir.Path("t"), file);
            bool ok = true;
            auto loaded = LoadFromPath(dir.Path("t"), "", ok);
            EXPECT_FALSE(ok) << int(code) << gzip;
            EXPECT_NE(loaded->error, kErrorNone);
            if (code) {
                EXPECT_EQ(loaded->tree.first, nullptr);
            }
        }
    }
}

} // namespace vl
