#include "files/workbookopen.h"
#include "filestestutil.h"
#include "platform/core/alloc.h"
#include "tests/platform/core/gzipfill.h"
#include "v6fixtures.h"

#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace vl {

using namespace filestest;

namespace {

void WriteGzip(const std::string& path, const std::string& content) {
    gzFile gz = gzopen(path.c_str(), "wb");
    ASSERT_NE(gz, nullptr);
    gzwrite(gz, content.data(), unsigned(content.size()));
    gzclose(gz);
}

// The tree of a new workbook: the worksheet "Worksheet1" alone, at level 1 and current.
void ExpectNewTree(const CWorkbook& book) {
    const CTreeItem* first = book.tree.first;
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "Worksheet1");
    EXPECT_EQ(Of(first->next == nullptr, first->IsWorksheet(), first->level,
                 book.tree.active == first, book.tree.worksheetCount, book.tree.folderCount),
              Of(1, 1, 1, 1, 1, 0));
}

} // namespace

TEST(WorkbookOpen, DetectionByTheFirstElevenBytes) {
    struct Case {
        std::string content;
        bool gzip;
        bool ok;
        uint8_t kind;
        uint8_t code;
    } cases[] = {
        {"", false, true, kFileEmpty, 0},
        {"<?xml version=\"1.0\"?>", false, true, kFileXml, 0},
        {"<?xml version=\"1.0\"?>", true, true, kFileXmlCompressed, 0},
        {"<?xml", false, true, kFileXml, 0}, // short, but the five bytes are there
        {"30000000000", false, true, kFileBinary, 0},
        {"30000000000", true, true, kFileBinaryCompressed, 0},
        {"31100000000", false, true, kFileBinary, 1},
        {"31000000000", false, true, kFileBinary, 2},
        {"32100000000", true, true, kFileBinaryCompressed, 3},
        {"32000000000", false, true, kFileBinary, 4},
        {"30100000000", false, true, kFileBinary, 0},
        {"33200000000", false, true, kFileBinary, 0},
        {"19999999999", false, true, kFileBinary, 0},
        {"Vorlane6000", false, true, kFileVersion6, 0},
        {"Vorlane6000 and whatever follows", true, true, kFileVersion6, 0},
        {"40000000000", false, false, 0, 0},
        {"00000000000", false, false, 0, 0},
        {"3000000000x", false, false, 0, 0},
        {"3000", false, false, 0, 0},
        {"<?xm", false, false, 0, 0},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        const std::string path = dir.Path("d");
        if (c.gzip)
            WriteGzip(path, c.content);
        else
            WriteBytes(path, Bytes(c.content.begin(), c.content.end()));
        auto book = CreateWorkbook();
        ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
        uint8_t kind = 99, code = 99;
        EXPECT_EQ(DetectWorkbookFormat(*book, kind, code), c.ok) << c.content;
        EXPECT_EQ(Of(kind, code, book->error),
                  Of(c.kind, c.code, c.ok ? kErrorNone : kErrorFileFormat))
            << c.content;
    }
    EXPECT_STREQ(GetErrorMessage(kErrorFileFormat),
                 "Invalid Vorlane file format\n\nPlease choose the correct format from the "
                 "'Files of type' list in the 'Open' dialog box.");
}

// An empty file (a save cut short, a full disk) is no workbook: it is refused, in every
// form's name, rather than opened as an empty one a later save would put over it.
TEST(WorkbookOpen, AnEmptyFileIsRefused) {
    TempFolder dir;
    for (const char* name : {"empty.vlb", "empty.vln"}) {
        WriteBytes(dir.Path(name), {});
        auto book = CreateWorkbook();
        book->fileKind = 3;
        ASSERT_TRUE(OpenDocumentFile(*book, dir.Path(name).c_str()));
        EXPECT_FALSE(OpenWorkbookFile(*book, nullptr)) << name;
        EXPECT_EQ(book->error, kErrorFileFormat) << name;
        EXPECT_EQ(book->fileKind, 3) << name;
    }
}

TEST(WorkbookOpen, BinaryFilesRecordTheirKind) {
    TempFolder dir;
    auto original = MakeRichWorkbook();
    for (bool gzip : {false, true}) {
        ASSERT_TRUE(SaveToPath(*original, dir.Path("b"), gzip));
        auto book = CreateWorkbook();
        book->fileFamily = 9;
        ASSERT_TRUE(OpenDocumentFile(*book, dir.Path("b").c_str()));
        ASSERT_TRUE(OpenWorkbookFile(*book, nullptr));
        EXPECT_EQ(Of(book->fileKind, book->fileFamily, book->stream.IsReadOnly()),
                  Of(gzip ? kFileBinaryCompressed : kFileBinary, 0, 0));
        ExpectSameWorkbook(*original, *book);
    }
}

// The older signed form opens through its reader and is saved back in a current form; its
// signature cut short is no file of any form.
TEST(WorkbookOpen, OlderSignedFormOpensWithFileKindZero) {
    TempFolder dir;
    const v6test::Bytes v6 = v6test::WriteV6File(v6test::MinimalFile()).data;
    struct Case {
        v6test::Bytes content;
        bool ok;
    } cases[] = {
        {v6, true},
        {v6test::Bytes(v6.begin(), v6.begin() + 11), false},
    };
    for (const Case& c : cases) {
        WriteBytes(dir.Path("f"), c.content);
        auto book = CreateWorkbook();
        book->fileKind = 3;
        book->fileFamily = 9;
        ASSERT_TRUE(OpenDocumentFile(*book, dir.Path("f").c_str()));
        EXPECT_EQ(OpenWorkbookFile(*book, nullptr), c.ok);
        EXPECT_EQ(Of(book->error, book->fileKind, book->fileFamily, book->tree.worksheetCount),
                  c.ok ? Of(kErrorNone, 0, 0, 1) : Of(kErrorFileFormat, 3, 9, 0));
    }
}

// A file that is open is "in use" to a second open; a missing file is 34 and is neither
// retried nor created.
// A compressed document whose blanks run one byte past the last position is refused with
// the format error after inflating it once, not again for every read the parser tries.
TEST(WorkbookOpen, CompressedPastTheLastPositionIsRefusedInOnePass) {
    TempFolder dir;
    const std::string path = dir.Path("blanks.vln");
    const std::string head = "<?xml version=\"1.0\"?>\n<Workbook>";
    tempfiles::WriteGzipFill(path, head, ' ', uint64_t(INT32_MAX) + 1 - head.size(), "</Workbook>");
    auto book = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
    EXPECT_FALSE(OpenWorkbookFile(*book, nullptr));
    EXPECT_EQ(book->error, kErrorFileFormat);
    EXPECT_EQ(book->stream.GetRewinds(), 0);
}

TEST(WorkbookOpen, DocumentOpenFailures) {
    TempFolder dir;
    const std::string path = dir.Path("doc.vlb");
    WriteBytes(path, {'3'});
    auto first = CreateWorkbook(), second = CreateWorkbook(), missing = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*first, path.c_str()));
    EXPECT_EQ(first->readOnly, 0);
    // Held by another document, the file opens read-only.
    EXPECT_TRUE(OpenDocumentFile(*second, path.c_str()));
    EXPECT_EQ(second->readOnly, 1);
    EXPECT_TRUE(second->stream.IsReadOnly());
    second->stream.Close();
    second->readOnly = 0;
    first->stream.Close();
    EXPECT_TRUE(OpenDocumentFile(*second, path.c_str()));
    EXPECT_EQ(second->readOnly, 0);
    EXPECT_FALSE(OpenDocumentFile(*missing, dir.Path("missing.vlb").c_str()));
    EXPECT_EQ(missing->error, kStreamOpenRead);
    EXPECT_STREQ(GetErrorMessage(missing->error), "Can't open the specified file for reading");
    EXPECT_FALSE(CFileStream::FileExists(dir.Path("missing.vlb").c_str()));
}

// A file that may be read but not written opens read-only.
TEST(WorkbookOpen, UnwritableFileOpensReadOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempFolder dir;
    const std::string path = dir.Path("ro.vlb");
    WriteBytes(path, {});
    chmod(path.c_str(), 0444);
    auto book = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
    EXPECT_EQ(Of(book->stream.IsReadOnly(), book->readOnly), Of(1, 1));
}

TEST(WorkbookOpen, NewWorkbookReplacesTheTreeOrLeavesItWhole) {
    auto book = MakeRichWorkbook();
    {
        SetAllocFailAfter(0);
        EXPECT_FALSE(NewWorkbook(*book));
        SetAllocFailAfter(-1);
    }
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(book->tree.worksheetCount, 3u);
    EXPECT_STREQ(book->tree.first->name, "Folder A");
    ASSERT_TRUE(NewWorkbook(*book));
    ExpectNewTree(*book);
}

} // namespace vl
