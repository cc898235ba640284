// Whole workbooks saved and loaded through files, plain and compressed: every record comes
// back, and saving again gives the same bytes.

#include "../platform/core/tempfiles.h"
#include "xmlrandomdraw.h"
#include "xmltestutil.h"

namespace vl::xmltest {
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
}

TEST(XmlRoundTrip, FullTablesPlainAndCompressed) {
    RoundTrip(RandomBookShape{1, 3, 400, true}, false);
    RoundTrip(RandomBookShape{2, 3, 400, true}, true);
}

// Small books with many containers, so that every chart type, series kind, background and
// object kind comes round.
TEST(XmlRoundTrip, ManySmallBooks) {
    for (uint32_t seed = 10; seed < 30; ++seed)
        RoundTrip(RandomBookShape{seed, 1 + int(seed % 4), 60, false, 4}, seed % 2 == 0);
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
} // namespace vl::xmltest
