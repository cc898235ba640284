// Whole workbooks saved and loaded through files, plain and compressed: every record comes
// back, and saving again gives the same bytes.

#include "../platform/core/tempfiles.h"
#include "model/container.h"
#include "xmlrandomdraw.h"
#include "xmltestutil.h"

#include <algorithm>
#include <set>

namespace vl {
namespace xmltest {
namespace {

bool SaveTo(CWorkbook& book, const std::string& path, bool gzip) {
    if (!book.stream.Open(path.c_str(), "w+b", gzip, kFileBufferSize)) return false;
    const bool ok = WriteXmlWorkbook(book) && book.stream.Flush();
    return book.stream.Close() && ok;
}

std::unique_ptr<CWorkbook> LoadFrom(const std::string& path, bool& compressed) {
    auto book = CreateWorkbook();
    EXPECT_TRUE(book->stream.Open(path.c_str(), "rb", true, kFileBufferSize));
    compressed = book->stream.IsCompressed();
    EXPECT_TRUE(ReadXmlWorkbook(*book)) << int(book->error) << " at line " << book->xmlErrorLine;
    book->stream.Close();
    return book;
}

void RoundTrip(const RandomBookShape& shape, bool gzip) {
    tempfiles::TempFolder folder;
    auto book = RandomWorkbook(shape);
    const std::string first = folder.Path("first.vln"), second = folder.Path("second.vln");
    ASSERT_TRUE(SaveTo(*book, first, gzip));
    bool compressed = false;
    auto loaded = LoadFrom(first, compressed);
    EXPECT_EQ(compressed, gzip);
    ExpectSameWorkbook(*book, *loaded);
    ASSERT_TRUE(SaveTo(*loaded, second, gzip));
    const auto a = tempfiles::ReadBytes(first), b = tempfiles::ReadBytes(second);
    EXPECT_GT(a.size(), 1000u);
    EXPECT_TRUE(a == b);
    // The compressed form holds the same document as the plain one.
    EXPECT_TRUE(WriteToMemory(*book) == WriteToMemory(*loaded));
}

TEST(XmlRoundTrip, FullTablesPlain) {
    RoundTrip(RandomBookShape{1, 3, 400, true}, false);
}

TEST(XmlRoundTrip, FullTablesCompressed) {
    RoundTrip(RandomBookShape{2, 3, 400, true}, true);
}

TEST(XmlRoundTrip, ManySmallBooks) {
    for (uint32_t seed = 10; seed < 30; ++seed)
        RoundTrip(RandomBookShape{seed, 1 + int(seed % 4), 60, false}, seed % 2 == 0);
}

// What the drawn books hold, so that the round trips below are known to cover it.
struct Coverage {
    std::set<int> chartTypes, seriesKinds, backgrounds, objectKinds, legendCodes;
    int fullCharts = 0, loneSubtitles = 0, pieSlices = 0;

    void Add(const CWorkbook& book) {
        for (const CTreeItem* item = book.tree.first; item; item = item->next) {
            const CWorksheet* ws = AsWorksheet(item);
            if (!ws) continue;
            backgrounds.insert(ws->view.background.kind);
            for (const CContainer* c = ws->firstContainer; c; c = c->next) {
                backgrounds.insert(c->settings.background.kind);
                if (!c->settings.titleText[0][0] && c->settings.titleText[1][0]) ++loneSubtitles;
                for (int i = 0; i < c->settings.objectCount; ++i) {
                    objectKinds.insert(c->slots[i].kind);
                    if (c->slots[i].chart) AddChart(*c->slots[i].chart);
                }
            }
        }
    }
    void AddChart(const CChart& chart) {
        chartTypes.insert(chart.settings.type);
        legendCodes.insert(chart.settings.legendCode);
        if (chart.settings.seriesCount == kChartSeries) ++fullCharts;
        for (int i = 0; i < chart.settings.seriesCount; ++i) {
            const SeriesSettings& s = chart.series[i].settings;
            if (s.role != 1) continue;
            seriesKinds.insert(s.kind);
            if (s.kind == 5 || s.kind == 11) pieSlices = std::max<int>(pieSlices, s.sliceFillCount);
        }
    }
};

TEST(XmlRoundTrip, ContainersAndChartsOfEveryKind) {
    Coverage seen;
    for (uint32_t seed = 40; seed < 52; ++seed) {
        auto book = RandomWorkbook(RandomBookShape{seed, 2, 10, false, 4});
        seen.Add(*book);
        const std::string first = WriteToMemory(*book);
        Loaded loaded = ReadFromMemory(first);
        ASSERT_TRUE(loaded.ok) << int(loaded.error) << " at line " << loaded.line;
        ExpectSameWorkbook(*book, *loaded.book);
        EXPECT_TRUE(WriteToMemory(*loaded.book) == first) << "seed " << seed;
    }
    EXPECT_EQ(seen.chartTypes, (std::set<int>{1, 2, 3}));
    EXPECT_EQ(seen.seriesKinds, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(seen.backgrounds, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(seen.objectKinds, (std::set<int>{1, 2}));
    EXPECT_EQ(seen.legendCodes.size(), 9u);
    EXPECT_GT(seen.fullCharts, 3);
    EXPECT_GT(seen.loneSubtitles, 0);
    EXPECT_EQ(seen.pieSlices, 16);
}

TEST(XmlRoundTrip, ReadingDoesNotDependOnWhereTheStreamStands) {
    tempfiles::TempFolder folder;
    auto book = SampleWorkbook();
    const std::string path = folder.Path("sample.vln");
    ASSERT_TRUE(SaveTo(*book, path, false));
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(loaded->stream.Open(path.c_str(), "rb", true, kFileBufferSize));
    char skip[100];
    ASSERT_EQ(loaded->stream.Read(skip, sizeof skip), int32_t(sizeof skip));
    EXPECT_TRUE(ReadXmlWorkbook(*loaded));
    EXPECT_EQ(WriteToMemory(*loaded), SampleDocument());
}

TEST(XmlRoundTrip, StreamFailureWinsOverTheDocument) {
    tempfiles::TempFolder folder;
    const std::string path = folder.Path("short.vln");
    const std::string doc = SampleDocument();
    tempfiles::WriteBytes(path, std::vector<uint8_t>(doc.begin(), doc.end()));
    auto book = CreateWorkbook();
    // Opened for writing only: every read fails, so the stream's code is the result.
    ASSERT_TRUE(book->stream.Open(path.c_str(), "ab", false, kFileBufferSize));
    EXPECT_FALSE(ReadXmlWorkbook(*book));
    EXPECT_EQ(book->error, book->stream.GetError());
    EXPECT_NE(book->error, 0);
}

} // namespace
} // namespace xmltest
} // namespace vl
