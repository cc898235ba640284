// The binary body reader on bodies built field by field: every count, length and index at
// its limit and one past it, truncations, and the bodies of older format versions.

#include "files/workbookopen.h"
#include "filestestutil.h"
#include "model/sheetsettings.h"
#include "model/viewtransform.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

class BodyBuilder {
public:
    explicit BodyBuilder(uint8_t version = 3) : version_(version) {}

    BodyBuilder& U8(uint8_t v) { return Raw(&v, 1); }
    BodyBuilder& U16(uint16_t v) { return Raw(RecordBytes(v, 2, StoreU16)); }
    BodyBuilder& U32(uint32_t v) { return Raw(RecordBytes(v, 4, StoreU32)); }
    BodyBuilder& Raw(const void* p, size_t n) {
        bytes_.insert(bytes_.end(), static_cast<const uint8_t*>(p),
                      static_cast<const uint8_t*>(p) + n);
        return *this;
    }
    BodyBuilder& Raw(const Bytes& b) { return Raw(b.data(), b.size()); }
    BodyBuilder& Text(const std::string& s) { return Raw(s.data(), s.size()); }
    BodyBuilder& Zeros(size_t n) { return Raw(Bytes(n)); }

    // Document fields with empty texts and default panes.
    BodyBuilder& Head() { return Zeros(178).U16(1).U16(100).U16(0).U16(100); }
    BodyBuilder& NoLists() { return version_ >= 3 ? U16(0) : U32(0); }
    BodyBuilder& Fonts(int n) { return U8(uint8_t(n)).Zeros(size_t(n) * kFontRecordSize); }
    BodyBuilder& Styles(int n, const StyleRecord& style = StyleRecord{}) {
        U16(uint16_t(n));
        for (int i = 0; i < n; ++i) Raw(RecordBytes(style, kStyleRecordSize, WriteStyleRecord));
        return *this;
    }
    // Lists, fonts, styles and no inspected cells.
    BodyBuilder& Tables(int fonts = 1, int styles = 1) {
        return NoLists().Fonts(fonts).Styles(styles).U32(0);
    }
    BodyBuilder& Item(const std::string& name, uint8_t type, uint8_t flag = 0, uint16_t level = 1) {
        return U8(uint8_t(name.size())).Text(name).U16(level).U8(type).U8(flag);
    }
    BodyBuilder& ColumnsAllEqual() {
        return version_ >= 2 ? U16(kMaxColumns).Zeros(6) : U16(kMaxColumns).U32(0);
    }
    BodyBuilder& DefaultSettings() {
        PageSetupRecord page;
        InitPageSetup(page);
        ViewSettingsRecord view;
        InitViewSettings(view);
        return Raw(RecordBytes(page, kPageSetupRecordSize, WritePageSetupRecord))
            .Raw(RecordBytes(view, kViewSettingsRecordSize, WriteViewSettingsRecord));
    }
    // The parts of a worksheet after its containers, all empty.
    BodyBuilder& EmptySheetTail() {
        return ColumnsAllEqual().U32(0).U32(0).U32(0).DefaultSettings();
    }
    // An empty worksheet "S" as the tree's item: a body without a worksheet is refused.
    BodyBuilder& SheetItem() { return Item("S", TREE_TYPE_WORKSHEET, 1).U32(0).EmptySheetTail(); }
    BodyBuilder& OneSheet() { return U32(1).SheetItem(); }
    // A container of one chart with `series` series.
    BodyBuilder& Chart(const ContainerSettings& c, const ChartSettings& chart, int series,
                       const SeriesSettings& s = {}) {
        Raw(RecordBytes(c, kContainerSettingsRecordSize, WriteContainerSettingsRecord));
        Raw(RecordBytes(chart, kChartSettingsRecordSize, WriteChartSettingsRecord));
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        if (version_ >= 3) Raw(RecordBytes(identity, kViewMatrixRecordSize, WriteViewMatrixRecord));
        for (int i = 0; i < series; ++i)
            Raw(RecordBytes(s, kSeriesSettingsRecordSize, WriteSeriesSettingsRecord));
        return *this;
    }

    const std::vector<uint8_t>& Data() const { return bytes_; }
    uint8_t Version() const { return version_; }

private:
    uint8_t version_;
    std::vector<uint8_t> bytes_;
};

using Build = std::function<void(BodyBuilder&)>;

// A container whose layout fields lie in their ranges (a zero layout is refused).
ContainerSettings UsableContainer() {
    ContainerSettings c;
    c.id = 1;
    c.columns = c.rows = c.horzSpacing = c.vertSpacing = 1;
    return c;
}

// Reads a body from a file into a new workbook.
std::unique_ptr<CWorkbook> Read(const BodyBuilder& b, bool& ok) {
    TempFolder dir;
    WriteBytes(dir.Path("b"), b.Data());
    auto book = NewBlockObject<CWorkbook>();
    ok = book->stream.Open(dir.Path("b").c_str(), "rb", false, kFileBufferSize) &&
         ReadBinaryWorkbookBody(*book, book->stream, b.Version(), nullptr);
    return book;
}

// A body of one worksheet whose parts after the containers come from `tail`.
Build Sheet(const Build& tail, const Build& containers = {}) {
    return [=](BodyBuilder& b) {
        b.Head().Tables().U32(1).Item("S", TREE_TYPE_WORKSHEET, 1).U32(containers ? 1 : 0);
        if (containers) containers(b);
        tail(b);
    };
}

Build Columns(const Build& columns) {
    return Sheet([=](BodyBuilder& b) {
        columns(b);
        b.U32(0).U32(0).U32(0).DefaultSettings();
    });
}

// R rows, a first run of rows of one height and perhaps a second run.
Build Rows(uint32_t r, uint32_t first, uint16_t height, uint32_t second = 0) {
    return Sheet([=](BodyBuilder& b) {
        b.ColumnsAllEqual().U32(r).U32(first).U16(height);
        if (second) b.U32(second).U16(2);
        b.U32(0).U32(0).DefaultSettings();
    });
}

// One page of format runs, then one page of cells.
Build Pages(const Build& runs, const Build& cells) {
    return Sheet([=](BodyBuilder& b) {
        b.ColumnsAllEqual().U32(0);
        runs ? runs(b) : void(b.U32(0));
        cells ? cells(b) : void(b.U32(0));
        b.DefaultSettings();
    });
}

Bytes Number(uint16_t column, uint32_t row, uint8_t error = 0) {
    CellBuffer c;
    MakeNumberCell(c, column, row, 1.5, error);
    return {c.bytes, c.bytes + c.size};
}

Build CellPage(const std::vector<Bytes>& records, int usedDelta = 0) {
    return [=](BodyBuilder& b) {
        size_t used = 0;
        for (const auto& r : records) used += r.size();
        b.U32(1).U16(uint16_t(int(used) + usedDelta));
        for (const auto& r : records) b.Raw(r);
        if (usedDelta > 0) b.Zeros(size_t(usedDelta));
    };
}

Build RunPage(const std::vector<FormatRun>& runs, int usedDelta = 0) {
    return [=](BodyBuilder& b) {
        b.U32(1).U16(uint16_t(int(runs.size() * kFormatRunSize) + usedDelta));
        for (const FormatRun& run : runs) b.Raw(RecordBytes(run, kFormatRunSize, StoreFormatRun));
        if (usedDelta > 0) b.Zeros(size_t(usedDelta));
    };
}

Build Doc(int fonts, int styles) {
    return [=](BodyBuilder& b) { b.Head().Tables(fonts, styles).OneSheet(); };
}

Build WithStyle(uint8_t font, uint16_t list, uint8_t kind, int fonts = 1) {
    StyleRecord s;
    s.fontRef.fontIndex = font;
    s.dropDownList = list;
    s.numberFormat.kind = kind;
    return [=](BodyBuilder& b) { b.Head().NoLists().Fonts(fonts).Styles(1, s).U32(0).OneSheet(); };
}

Build WithList(uint16_t index, const std::string& name, size_t entry, uint16_t count = 1) {
    return [=](BodyBuilder& b) {
        b.Head().U16(count);
        for (uint16_t i = 0; i < count; ++i) {
            b.U16(uint16_t(index + i)).U16(uint16_t(name.size())).Text(name).U32(1);
            b.U16(uint16_t(entry)).Text(std::string(entry, 'e'));
        }
        b.Fonts(1).Styles(1).U32(0).OneSheet();
    };
}

Build WithInspected(uint16_t column, uint32_t row) {
    const InspectedCellRecord r{{column, row, kRefCell}, "", ""};
    return [=](BodyBuilder& b) {
        b.Head().NoLists().Fonts(1).Styles(1).U32(1);
        b.Raw(RecordBytes(r, kInspectedCellRecordSize, WriteInspectedCellRecord)).OneSheet();
    };
}

Build WithItems(uint32_t count, int names, size_t length = 1) {
    return [=](BodyBuilder& b) {
        // The worksheet first, so that a count past the items written runs out of items.
        b.Head().Tables().U32(count + 1).SheetItem();
        for (int i = 0; i < names; ++i) b.Item(std::string(length, char('a' + i)), 2);
    };
}

Build WithChart(int series, uint8_t userGrids = 0, uint8_t slices = 16) {
    return Sheet([](BodyBuilder& b) { b.EmptySheetTail(); },
                 [=](BodyBuilder& b) {
                     ContainerSettings c = UsableContainer();
                     c.objectCount = 1;
                     ChartSettings chart = CChart(kChart2D).settings;
                     chart.seriesCount = uint8_t(series);
                     SeriesSettings s;
                     s.userGridCount = userGrids;
                     s.sliceFillCount = slices;
                     b.Chart(c, chart, series, s);
                 });
}

// A body that reads at its limit, and one past it that is a format error.
struct LimitCase {
    const char* name;
    Build atLimit, pastIt;
};

Build ColumnRuns(int first, int total) {
    return Columns([=](BodyBuilder& b) {
        b.U16(uint16_t(first)).Zeros(6).U16(uint16_t(total - first)).Zeros(6);
    });
}

Build ColumnStyle(uint16_t style) {
    return Columns([=](BodyBuilder& b) { b.U16(kMaxColumns).U16(7).U16(style).U16(3); });
}

Build FullRunPage() {
    return Pages(
        [](BodyBuilder& b) {
            b.U32(1).U16(8180);
            for (uint32_t i = 0; i < 818; ++i)
                b.Raw(RecordBytes(FormatRun{0, 2046, i, 0}, kFormatRunSize, StoreFormatRun));
        },
        {});
}

} // namespace

// Every count, length, index and position is tried at its limit and one past it: the first
// reads, the second is the format error.
TEST(BodyReaderFaults, LimitsAndOnePast) {
    CellBuffer fullText;
    MakeTextCell(fullText, 0, 0, std::string(kMaxCellText, 't'));
    const Bytes full(fullText.bytes, fullText.bytes + fullText.size);
    const LimitCase cases[] = {
        {"fonts", Doc(128, 1), Doc(129, 1)},
        {"no font", {}, Doc(0, 1)},
        {"styles", Doc(1, 512), Doc(1, 513)},
        {"no style", {}, Doc(1, 0)},
        {"font index of 2", WithStyle(1, 0, 0, 2), WithStyle(2, 0, 0, 2)},
        {"list number", WithStyle(0, 100, 0), WithStyle(0, 101, 0)},
        {"format kind", WithStyle(0, 0, 10), WithStyle(0, 0, 11)},
        {"list index", WithList(99, "n", 3), WithList(100, "n", 3)},
        {"lists", WithList(0, "n", 3, 100), WithList(0, "n", 3, 101)},
        {"list name", WithList(5, std::string(29, 'n'), 3), WithList(5, std::string(30, 'n'), 3)},
        {"list entry", WithList(5, "n", 1024), WithList(5, "n", 1025)},
        {"inspected column", WithInspected(2046, 0), WithInspected(2047, 0)},
        {"inspected row", WithInspected(0, kLastRow), WithInspected(0, kMaxRows)},
        {"item name", WithItems(1, 1, 127), WithItems(1, 1, 128)},
        {"items of two", WithItems(2, 2), WithItems(2, 1)},
        {"column runs", ColumnRuns(1000, kMaxColumns), ColumnRuns(1000, kMaxColumns + 1)},
        {"column run of 0", {}, Columns([](BodyBuilder& b) {
             b.U16(0).Zeros(6).ColumnsAllEqual();
         })},
        {"column style of 1", ColumnStyle(0xF000), ColumnStyle(1)},
        {"rows", Rows(kMaxRows, kMaxRows, 36), Rows(kMaxRows + 1, kMaxRows + 1, 36)},
        {"row runs past R", {}, Rows(5, 3, 1, 3)},
        {"row run of 0", {}, Rows(5, 0, 1, 5)},
        {"run page", FullRunPage(), Pages(RunPage({}, 8190), {})},
        {"run page not of whole runs", {}, Pages(RunPage({{0, 1, 0, 0}}, 5), {})},
        {"run style past the table", {}, Pages(RunPage({{0, 1, 0, 1}}), {})},
        {"run to column 2047", {}, Pages(RunPage({{0, 2047, 0, 0}}), {})},
        {"run backwards", {}, Pages(RunPage({{5, 4, 0, 0}}), {})},
        {"runs out of order", {}, Pages(RunPage({{0, 1, 9, 0}, {0, 1, 8, 0}}), {})},
        {"cell page", Pages({}, CellPage({full})), Pages({}, CellPage({full}, 1))},
        {"records short of used", {}, Pages({}, CellPage({Number(0, 0)}, 5))},
        {"text past used", {}, Pages({}, CellPage({full}, -1))},
        {"records in order", Pages({}, CellPage({Number(5, 1), Number(0, 2)})),
         Pages({}, CellPage({Number(0, 2), Number(5, 1)}))},
        {"two records at one cell", {}, Pages({}, CellPage({Number(3, 3), Number(3, 3)}))},
        {"cell column", Pages({}, CellPage({Number(2046, kLastRow)})),
         Pages({}, CellPage({Number(2047, 0)}))},
        {"cell row", {}, Pages({}, CellPage({Number(0, kMaxRows)}))},
        {"error", Pages({}, CellPage({Number(0, 0, 12)})), Pages({}, CellPage({Number(0, 0, 13)}))},
        {"series", WithChart(16), WithChart(17)},
        {"user grid lines", WithChart(1, 16), WithChart(1, 17)},
        {"slice fills", {}, WithChart(1, 0, 17)},
    };
    for (const LimitCase& c : cases) {
        for (bool valid : {true, false}) {
            const Build& build = valid ? c.atLimit : c.pastIt;
            if (!build) continue;
            SCOPED_TRACE(std::string(c.name) + (valid ? " at the limit" : " past it"));
            BodyBuilder b;
            build(b);
            bool ok = false;
            auto book = Read(b, ok);
            EXPECT_EQ(ok, valid);
            EXPECT_EQ(book->error, valid ? kErrorNone : kErrorFileFormat);
            // Whatever was kept is a consistent tree.
            uint32_t sheets = 0, folders = 0;
            for (CTreeItem* p = book->tree.first; p; p = p->next)
                (p->IsWorksheet() ? sheets : folders)++;
            EXPECT_EQ(Of(sheets, folders), Of(book->tree.worksheetCount, book->tree.folderCount));
        }
    }
}

// Page order holds across pages; an empty page carries nothing and is dropped.
TEST(BodyReaderFaults, OrderAcrossPagesAndEmptyPages) {
    for (bool ordered : {true, false}) {
        BodyBuilder b;
        Pages({}, [=](BodyBuilder& b) {
            const Bytes a = Number(0, ordered ? 1 : 2), c = Number(0, ordered ? 2 : 1);
            b.U32(3).U16(uint16_t(a.size())).Raw(a).U16(0).U16(uint16_t(c.size())).Raw(c);
        })(b);
        bool ok = false;
        auto book = Read(b, ok);
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
    const Bytes body = BodyOf(*book);
    bool ok = false;
    Read(BodyBuilder().Raw(body), ok);
    ASSERT_TRUE(ok);
    for (size_t n = 0; n < body.size(); n += n < 400 ? 1 : 13) {
        auto read = Read(BodyBuilder().Raw(body.data(), n), ok);
        ASSERT_FALSE(ok) << n;
        ASSERT_EQ(read->error, kErrorFileFormat) << n;
    }
}

// A whole file cut short fails, compressed or encrypted; an encrypted one builds nothing.
TEST(BodyReaderFaults, TruncatedFilesFail) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
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

namespace {

BodyBuilder& OldListRecord(BodyBuilder& b, uint16_t list, uint8_t flags, const std::string& text) {
    return b.U16(list).U8(flags).U8(uint8_t(text.size())).Text(text).Zeros(30 - text.size());
}

} // namespace

// Older files keep lists as 30-character pieces chained into entries, named by number.
TEST(BodyVersions, OldDropDownListsAreJoinedAndNamed) {
    BodyBuilder b(2);
    b.Head().U32(6);
    OldListRecord(b, 3, 1, "ab");
    OldListRecord(b, 7, 2, "skipped");
    OldListRecord(b, 3, 2, "not this");
    OldListRecord(b, 3, 0, "cd");
    OldListRecord(b, 3, 0, std::string(30, 'z'));
    OldListRecord(b, 100, 0, "last");
    b.Fonts(1).Styles(1).U32(0).OneSheet();
    bool ok = false;
    auto book = Read(b, ok);
    ASSERT_TRUE(ok) << int(book->error);
    const DropDownListRecord* lists = book->dropDownLists;
    EXPECT_STREQ(lists[2].name, "List 3.");
    EXPECT_EQ(lists[2].entries, (std::vector<std::string>{"abcd", std::string(30, 'z')}));
    EXPECT_STREQ(lists[6].name, "List 7.");
    EXPECT_TRUE(lists[6].entries.empty());
    EXPECT_STREQ(lists[99].name, "List 100.");
    EXPECT_FALSE(DropDownListInUse(lists[0]));
    for (uint16_t list : {0, 101}) {
        BodyBuilder bad(2);
        OldListRecord(bad.Head().U32(1), list, 0, "x").Fonts(1).Styles(1).U32(0).OneSheet();
        Read(bad, ok);
        EXPECT_FALSE(ok) << list;
    }
    // A piece's length byte says at most 30: 31 is refused.
    BodyBuilder longer(2);
    longer.Head().U32(1).U16(3).U8(0).U8(31).Text(std::string(30, 'z'));
    longer.Fonts(1).Styles(1).U32(0).U32(0);
    Read(longer, ok);
    EXPECT_FALSE(ok);
}

// Containers of older files are numbered over the whole file, and their charts' view
// matrices are rebuilt from the rotations; version 3 keeps the stored matrix.
TEST(BodyVersions, OlderContainersAndChartMatrices) {
    for (uint8_t version : {2, 3}) {
        BodyBuilder b(version);
        b.Head().Tables().U32(2);
        ContainerSettings c = UsableContainer();
        c.id = 500; // what the record says does not count in older files
        c.objectCount = 1;
        ChartSettings chart = CChart(kChart3D).settings;
        chart.rotationX = 90;
        chart.seriesCount = 1;
        for (int containers : {2, 1}) {
            b.Item("S", TREE_TYPE_WORKSHEET).U32(uint32_t(containers));
            for (int i = 0; i < containers; ++i) b.Chart(c, chart, 1);
            b.EmptySheetTail();
        }
        bool ok = false;
        auto book = Read(b, ok);
        ASSERT_TRUE(ok) << int(version);
        Ints ids;
        for (CTreeItem* p = book->tree.first; p; p = p->next)
            for (CContainer* k = AsWorksheet(p)->firstContainer; k; k = k->next)
                ids.push_back(k->settings.id);
        EXPECT_EQ(ids, version == 2 ? Of(1, 2, 3) : Of(500, 500, 500));
        float expected[16];
        SetIdentityMatrix(expected);
        if (version == 2) ApplyChartTransform(expected, kRotateX, ChartDegreesToRadians(90));
        const CChart& read = *AsWorksheet(book->tree.first)->firstContainer->slots[0].chart;
        EXPECT_EQ(Of(read.settings.type, read.settings.rotationX), Of(kChart3D, 90));
        EXPECT_EQ(0, std::memcmp(read.viewMatrix, expected, sizeof expected)) << int(version);
        EXPECT_NEAR(read.viewMatrix[6], version == 2 ? -1.0f : 0.0f, 1e-6);
    }
}

// Version 1 has no item count and packs the column table into u32 values.
TEST(BodyVersions, VersionOneItemsRunToTheEnd) {
    BodyBuilder b(1);
    b.Head().NoLists().Fonts(1).Styles(3).U32(0);
    for (int i = 0; i < 3; ++i) {
        b.Item("Sheet" + std::to_string(i), TREE_TYPE_WORKSHEET, i == 1).U32(0);
        b.U16(10).U32(0xF0021234u).U16(kMaxColumns - 10).U32(0);
        b.U32(0).U32(0).U32(0).DefaultSettings();
    }
    b.Item("Folder", TREE_TYPE_FOLDER, 1);
    bool ok = false;
    auto book = Read(b, ok);
    ASSERT_TRUE(ok) << int(book->error);
    EXPECT_EQ(Of(book->tree.worksheetCount, book->tree.folderCount), Of(3, 1));
    EXPECT_STREQ(book->tree.active->name, "Sheet1");
    const ColumnEntry* columns = AsWorksheet(book->tree.first)->formats.columns;
    EXPECT_EQ(Of(columns[9].width, columns[9].style, columns[9].autoRowHeight, columns[10].width),
              Of(0x1234, 2, 0, 0));
    CTreeItem* folder = book->tree.first->next->next->next;
    EXPECT_TRUE(folder->IsFolder());
    EXPECT_EQ(folder->expanded, 1);
}

// Without a flagged worksheet the first one read is the current one; levels deeper than
// the item before allows are brought back.
TEST(BodyVersions, CurrentWorksheetAndLevels) {
    BodyBuilder b(3);
    b.Head().Tables().U32(3);
    b.Item("A", TREE_TYPE_WORKSHEET, 0, 1).U32(0).EmptySheetTail();
    b.Item("B", TREE_TYPE_WORKSHEET, 0, 7).U32(0).EmptySheetTail();
    b.Item("F", TREE_TYPE_FOLDER, 0, 1);
    bool ok = false;
    auto book = Read(b, ok);
    ASSERT_TRUE(ok);
    EXPECT_STREQ(book->tree.active->name, "A");
    EXPECT_EQ(book->tree.first->next->level, 1);
    EXPECT_EQ(book->tree.first->next->next->expanded, 0);
}

} // namespace vl
