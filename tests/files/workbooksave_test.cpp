#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "filestestutil.h"
#include "values/isodate.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

std::vector<std::string> FolderEntries(const TempFolder& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// The saved file replaces the document, stays open and held, and reads back as it was.
TEST(WorkbookSave, SaveReplacesTheTargetAndKeepsItOpen) {
    TempFolder dir;
    const std::string path = dir.Path("book.vlb");
    WriteBytes(path, {});
    auto book = MakeRichWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
    for (uint8_t kind : {kFileBinaryCompressed, kFileBinary}) {
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kind)) << int(book->error);
        EXPECT_EQ(book->fileKind, kind);
        EXPECT_TRUE(book->stream.IsOpen() && book->stream.GetPath() == path);
        EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"book.vlb"});
        // Saved, the file is held as one just opened: another document can only read it.
        auto other = CreateWorkbook();
        EXPECT_TRUE(OpenDocumentFile(*other, path.c_str()));
        EXPECT_EQ(other->readOnly, 1);
        EXPECT_TRUE(other->stream.IsReadOnly());
    }
    EXPECT_NE(book->lastSavedUser[0], 0);
    IsoDateTime date;
    EXPECT_TRUE(ParseIsoDateTime(date, book->lastSavedDate));
    EXPECT_TRUE(date.hasDate && date.hasTime);
    book->stream.Close();
    auto loaded = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*loaded, path.c_str()));
    ASSERT_TRUE(OpenWorkbookFile(*loaded, nullptr));
    EXPECT_EQ(loaded->fileKind, kFileBinary);
    ExpectSameWorkbook(*book, *loaded);
}

// A save that cannot write everything leaves the target and the open document as they were
// and no file behind.
TEST(WorkbookSave, FailedSaveChangesNothing) {
    TempFolder dir;
    const std::string path = dir.Path("book.vlb");
    auto book = MakeRichWorkbook();
    ASSERT_TRUE(SaveToPath(*book, path, false));
    const Bytes before = ReadBytes(path);
    ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
    CContainer* container = AsWorksheet(book->tree.first->next)->firstContainer;

    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::function<void()> mend;
        uint8_t kind;
    } cases[] = {
        {"an object that is no chart", [&] { container->slots[0].kind = 2; },
         [&] { container->slots[0].kind = kObjectChart; }, kFileBinary},
        {"a slot without its chart", [&] { container->settings.objectCount = 4; },
         [&] { container->settings.objectCount = 3; }, kFileBinaryCompressed},
        {"17 series", [&] { container->slots[2].chart->settings.seriesCount = 17; },
         [&] { container->slots[2].chart->settings.seriesCount = 16; }, kFileBinary},
    };
    for (const Case& c : cases) {
        c.spoil();
        book->error = kErrorNone;
        EXPECT_FALSE(SaveWorkbookFile(*book, path.c_str(), c.kind)) << c.name;
        c.mend();
        EXPECT_EQ(book->error, kStreamWrite) << c.name;
        EXPECT_EQ(ReadBytes(path), before) << c.name;
        EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"book.vlb"}) << c.name;
        EXPECT_TRUE(book->stream.IsOpen() && book->stream.GetPath() == path) << c.name;
    }
    // The document is still open for reading.
    uint8_t kind = 0, code = 0;
    EXPECT_TRUE(DetectWorkbookFormat(*book, kind, code));
    EXPECT_EQ(kind, kFileBinary);
}

TEST(WorkbookSave, FolderThatDoesNotExistIs35) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    EXPECT_FALSE(SaveWorkbookFile(*book, dir.Path("no/such/book.vlb").c_str(), kFileBinary));
    EXPECT_EQ(book->error, kStreamOpenWrite);
    EXPECT_STREQ(GetErrorMessage(book->error), "Can't open the specified file for writing");
    EXPECT_FALSE(book->stream.IsOpen());
}

} // namespace vl
