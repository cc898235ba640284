#include "bodybuilder.h"
#include "filestestutil.h"
#include "model/viewtransform.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

std::unique_ptr<CWorkbook> Read(const BodyBuilder& b, bool& ok) {
    TempFolder dir;
    WriteBytes(dir.Path("b"), b.Bytes());
    auto book = NewBlockObject<CWorkbook>();
    ok = book->stream.Open(dir.Path("b").c_str(), "rb", false, kFileBufferSize) &&
         ReadBinaryWorkbookBody(*book, book->stream, b.Version(), nullptr);
    return book;
}

BodyBuilder& OldListRecord(BodyBuilder& b, uint16_t list, uint8_t flags, const std::string& text) {
    b.U16(list).U8(flags).U8(uint8_t(text.size())).Text(text).Zeros(30 - text.size());
    return b;
}

// One worksheet holding `containers` containers of one chart each with these rotations.
void SheetWithCharts(BodyBuilder& b, int containers, int16_t rotationX) {
    b.Item("S", TREE_TYPE_WORKSHEET).U32(uint32_t(containers));
    for (int i = 0; i < containers; ++i) {
        ContainerSettings c;
        c.id = 500; // what the record says does not count in older files
        c.objectCount = 1;
        ChartSettings chart;
        chart.type = kChart3D;
        chart.rotationX = rotationX;
        chart.seriesCount = 1;
        b.Container(c).Chart(chart, b.Version() >= 3).Series(SeriesSettings{});
    }
    b.EmptySheetTail();
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
    b.Fonts(1).Styles(1).U32(0).U32(0);
    bool ok = false;
    auto book = Read(b, ok);
    ASSERT_TRUE(ok) << int(book->error);
    EXPECT_STREQ(book->dropDownLists[2].name, "List 3.");
    EXPECT_EQ(book->dropDownLists[2].entries,
              (std::vector<std::string>{"abcd", std::string(30, 'z')}));
    EXPECT_STREQ(book->dropDownLists[6].name, "List 7.");
    EXPECT_TRUE(book->dropDownLists[6].entries.empty());
    EXPECT_STREQ(book->dropDownLists[99].name, "List 100.");
    EXPECT_FALSE(DropDownListInUse(book->dropDownLists[0]));

    for (uint16_t list : {0, 101}) {
        BodyBuilder bad(2);
        bad.Head().U32(1);
        OldListRecord(bad, list, 0, "x");
        bad.Fonts(1).Styles(1).U32(0).U32(0);
        Read(bad, ok);
        EXPECT_FALSE(ok) << list;
    }
}

// Containers of older files are numbered over the whole file, and their charts' view
// matrices are rebuilt from the rotations; version 3 keeps the stored matrix.
TEST(BodyVersions, OlderContainersAndChartMatrices) {
    for (uint8_t version : {2, 3}) {
        BodyBuilder b(version);
        b.Head().Tables().U32(2);
        SheetWithCharts(b, 2, 90);
        SheetWithCharts(b, 1, 90);
        bool ok = false;
        auto book = Read(b, ok);
        ASSERT_TRUE(ok) << int(version);
        std::vector<uint16_t> ids;
        for (CTreeItem* p = book->tree.first; p; p = p->next)
            for (CContainer* c = AsWorksheet(p)->firstContainer; c; c = c->next)
                ids.push_back(c->settings.id);
        if (version == 2)
            EXPECT_EQ(ids, (std::vector<uint16_t>{1, 2, 3}));
        else
            EXPECT_EQ(ids, (std::vector<uint16_t>{500, 500, 500}));
        float expected[16];
        SetIdentityMatrix(expected);
        if (version == 2) ApplyChartTransform(expected, kRotateX, ChartDegreesToRadians(90));
        const CChart& chart = *AsWorksheet(book->tree.first)->firstContainer->slots[0].chart;
        EXPECT_EQ(chart.settings.type, kChart3D);
        EXPECT_EQ(chart.settings.rotationX, 90);
        EXPECT_EQ(0, std::memcmp(chart.viewMatrix, expected, sizeof expected)) << int(version);
        EXPECT_NEAR(chart.viewMatrix[6], version == 2 ? -1.0f : 0.0f, 1e-6);
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
    EXPECT_EQ(book->tree.worksheetCount, 3u);
    EXPECT_EQ(book->tree.folderCount, 1u);
    EXPECT_STREQ(book->tree.active->name, "Sheet1");
    const ColumnEntry& packed = AsWorksheet(book->tree.first)->formats.columns[9];
    EXPECT_EQ(packed.width, 0x1234);
    EXPECT_EQ(packed.style, 2);
    EXPECT_EQ(packed.autoRowHeight, 0);
    EXPECT_EQ(AsWorksheet(book->tree.first)->formats.columns[10].width, 0);
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
