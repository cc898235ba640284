// A table and its memo file are saved together: both aside, then put in place as a pair, so
// that a failed or cut save leaves the old pair whole or the new one; a table named like its
// own memo is refused.
#include "exchange/excelxmlsave.h"
#include "exchange/foreignfile.h"
#include "exchange/memofile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/savetarget.h"
#include "tests/exchange/exchangetestutil.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl {
namespace {

using namespace exchangetest;
namespace fs = std::filesystem;

std::unique_ptr<CWorkbook> MemoBook(char fill, uint32_t rows) {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    PutText(*book->tree.active, 0, 0, "NOTE");
    for (uint32_t r = 1; r <= rows; ++r)
        PutText(*book->tree.active, 0, r, std::string(300 + r, fill));
    return book;
}

std::string SaveTable(CWorkbook& book, const std::string& path, uint8_t format = 3) {
    return SaveTableBytes(book, *book.tree.active, path, [format](CWorkbook& b) {
        return BuildXBaseFieldList(b, *b.tree.active, b.xbase, format);
    });
}

// The texts of the table read back with its memo, or "<failed>".
std::string ReadTable(const std::string& path, uint8_t format = 3) {
    auto book = OpenForImport(path);
    book->xbase.format = format;
    book->xbase.encoding = 2;
    if (!ImportXBase(*book)) return "<failed>";
    return AllCells(*book->tree.active);
}

std::size_t FilesIn(const std::string& dir) {
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Each state a cut pair save can leave, settled by the next open or save: a memo that waits
// without its table goes (the old pair stays), one that waits with it is put in place with it,
// a table that waits alone (its memo is in place already) is put in place.
TEST(XBasePair, ACutPairSaveIsSettledByTheNextOpen) {
    TempFolder dir;
    const std::string table = dir.Path("t.dbf"), memo = dir.Path("t.dbt");
    auto oldBook = MemoBook('o', 2), newBook = MemoBook('n', 3);
    ASSERT_NE(SaveTable(*newBook, table), "<failed>");
    const std::string newTable = ReadFile(table), newMemo = ReadFile(memo);
    ASSERT_NE(SaveTable(*oldBook, table), "<failed>");
    const std::string oldTable = ReadFile(table), oldMemo = ReadFile(memo);
    const std::string oldCells = ReadTable(table);
    ASSERT_NE(newMemo, oldMemo);
    struct Case {
        const char* what;
        bool tableWaits, memoWaits;
        bool becomesNew;
    } const cases[] = {
        {"the memo waits alone", false, true, false},
        {"both wait", true, true, true},
        {"the table waits alone", true, false, true},
        {"nothing waits", false, false, false},
    };
    for (const Case& c : cases) {
        WriteFile(table, oldTable);
        // Where the table waits alone, its memo was put in place already.
        WriteFile(memo, c.tableWaits && !c.memoWaits ? newMemo : oldMemo);
        if (c.tableWaits) WriteFile(PairPath(table), newTable);
        if (c.memoWaits) WriteFile(PairPath(memo), newMemo);
        // The pair waits readable by its owner only; put in place, it takes the old files'
        // permissions.
        for (const std::string& p : {table, memo}) {
            chmod(p.c_str(), 0644);
            chmod(PairPath(p).c_str(), 0600);
        }
        FinishXBaseSave(table);
        for (const std::string& p : {table, memo})
            EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
                      fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                          fs::perms::others_read)
                << c.what << " " << p;
        EXPECT_EQ(ReadFile(table), c.becomesNew ? newTable : oldTable) << c.what;
        EXPECT_EQ(ReadFile(memo), c.becomesNew ? newMemo : oldMemo) << c.what;
        EXPECT_FALSE(fs::exists(PairPath(table))) << c.what;
        EXPECT_FALSE(fs::exists(PairPath(memo))) << c.what;
        EXPECT_EQ(FilesIn(dir.Dir()), 2u) << c.what;
        if (!c.becomesNew) {
            EXPECT_EQ(ReadTable(table), oldCells) << c.what;
        }
    }
}

// A save that fails while it writes (a memo text that cannot go, here a table already there
// under the memo's pair name that is a folder) leaves the old pair byte for byte and nothing
// beside it.
TEST(XBasePair, AFailedSaveKeepsTheOldPair) {
    TempFolder dir;
    const std::string table = dir.Path("t.dbf"), memo = dir.Path("t.dbt");
    auto oldBook = MemoBook('o', 2), newBook = MemoBook('n', 3);
    ASSERT_NE(SaveTable(*oldBook, table), "<failed>");
    const std::string oldTable = ReadFile(table), oldMemo = ReadFile(memo);
    fs::create_directory(PairPath(memo));
    EXPECT_EQ(SaveTable(*newBook, table), "<failed>");
    EXPECT_NE(newBook->error, kErrorNone);
    fs::remove(PairPath(memo));
    EXPECT_EQ(ReadFile(table), oldTable);
    EXPECT_EQ(ReadFile(memo), oldMemo);
    EXPECT_EQ(FilesIn(dir.Dir()), 2u);
}

// A file system of 64 KiB of its own, where the superuser may mount one.
struct SmallFileSystem {
    explicit SmallFileSystem(std::string at) : path(std::move(at)) {
        fs::create_directory(path);
        mounted = geteuid() == 0 && mount("tmpfs", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFileSystem() {
        if (mounted) umount2(path.c_str(), MNT_DETACH);
    }
    std::string path;
    bool mounted = false;
};

// On a full file system the save fails and the old pair stays whole (where the superuser may
// mount a small one for the test).
TEST(XBasePair, AFullDiskKeepsTheOldPair) {
    TempFolder dir;
    SmallFileSystem small(dir.Path("small"));
    if (!small.mounted) GTEST_SKIP() << "no small file system can be mounted here";
    const std::string table = small.path + "/t.dbf", memo = small.path + "/t.dbt";
    auto oldBook = MemoBook('o', 2), newBook = MemoBook('n', 150);
    ASSERT_NE(SaveTable(*oldBook, table), "<failed>");
    const std::string oldTable = ReadFile(table), oldMemo = ReadFile(memo);
    EXPECT_EQ(SaveTable(*newBook, table), "<failed>");
    EXPECT_NE(newBook->error, kErrorNone);
    EXPECT_EQ(ReadFile(table), oldTable);
    EXPECT_EQ(ReadFile(memo), oldMemo);
    EXPECT_EQ(FilesIn(small.path), 2u);
}

// The other foreign forms on a full file system: the save fails with the stream's code (38,
// a write-back that wrote fewer bytes), and
// the old file stays byte for byte with nothing beside it.
TEST(XBasePair, AFullDiskKeepsTheOldTextAndSpreadsheet) {
    TempFolder dir;
    SmallFileSystem small(dir.Path("small"));
    if (!small.mounted) GTEST_SKIP() << "no small file system can be mounted here";
    auto oldBook = MemoBook('o', 2), newBook = MemoBook('n', 400);
    for (const bool spreadsheet : {false, true}) {
        SCOPED_TRACE(spreadsheet);
        const std::string path = small.path + (spreadsheet ? "/t.xml" : "/t.csv");
        const auto save = [&](CWorkbook& book) {
            const bool ok = spreadsheet ? SaveExcelXmlFile(book, path.c_str())
                                        : SaveAside(book, path.c_str(), [](CWorkbook& b) {
                                              return ExportTextFile(b, *b.tree.active);
                                          });
            book.stream.Close();
            return ok;
        };
        ASSERT_TRUE(save(*oldBook)) << int(oldBook->error);
        const std::string before = ReadFile(path);
        ASSERT_FALSE(before.empty());
        newBook->error = kErrorNone;
        EXPECT_FALSE(save(*newBook));
        EXPECT_EQ(newBook->error, kStreamRead); // the short write-back's code
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_EQ(FilesIn(small.path), 1u);
        fs::remove(path);
    }
}

// A table whose name is its own memo's ("notes.dbt" in dBase III+, "notes.fpt" in FoxPro) is
// refused before anything is written; the FoxPro memo of "notes.dbt" is apart and goes.
TEST(XBasePair, ATableNamedLikeItsMemoIsRefused) {
    TempFolder dir;
    auto book = MemoBook('m', 2);
    struct Case {
        const char* name;
        uint8_t format;
        bool refused;
    } const cases[] = {{"notes.dbt", 3, true},
                       {"notes.dbt", 4, true},
                       {"notes.fpt", 5, true},
                       {"notes.dbt", 5, false}};
    for (const Case& c : cases) {
        const std::string path = dir.Path(c.name);
        fs::remove(path);
        book->error = kErrorNone;
        const std::string bytes = SaveTable(*book, path, c.format);
        EXPECT_EQ(bytes == "<failed>", c.refused) << c.name << " " << int(c.format);
        if (c.refused) {
            EXPECT_EQ(book->error, kStreamOpenWrite) << c.name;
            EXPECT_FALSE(fs::exists(path)) << c.name;
        } else {
            EXPECT_EQ(ReadTable(path, c.format).find("A1=t:NOTE|A2=t:mmm"), 0u) << c.name;
        }
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// A FoxPro table with a text field over 254 characters (its length split over two bytes) read
// in a format of one-byte lengths would misread every later field: refused (21); read as
// FoxPro, both fields come back.
TEST(XBaseRead, ASplitLengthReadInAnotherFormatIsRefused) {
    TempFolder dir;
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    CWorksheet& sheet = *book->tree.active;
    PutText(sheet, 0, 0, "LONG");
    PutText(sheet, 1, 0, "NEXT");
    PutText(sheet, 0, 1, std::string(300, 'l'));
    PutText(sheet, 1, 1, "next");
    const std::string path = dir.Path("fox.dbf");
    ASSERT_NE(SaveTableBytes(*book, sheet, path,
                             [](CWorkbook& b) {
                                 if (!BuildXBaseFieldList(b, *b.tree.active, b.xbase, 5))
                                     return false;
                                 // A Character field of 300: the length split over two bytes.
                                 uint8_t* d = b.xbase.fieldDescriptors;
                                 d[11] = 'C';
                                 SetFieldLength(d, 300, 5);
                                 FillXBaseHeader(b.xbase, 2, 1 + 300 + FieldLength(d + 32, 5), 0,
                                                 false);
                                 return true;
                             }),
              "<failed>");
    for (const uint8_t format : {3, 4}) {
        auto read = OpenForImport(path);
        read->xbase.format = format;
        EXPECT_FALSE(ImportXBase(*read)) << int(format);
        EXPECT_EQ(read->error, kErrorFileFormat) << int(format);
    }
    for (const uint8_t format : {5, 6}) {
        auto read = OpenForImport(path);
        read->xbase.format = format;
        ASSERT_TRUE(ImportXBase(*read)) << int(format);
        EXPECT_EQ(CellAt(*read->tree.active, 0, 1), "t:" + std::string(300, 'l'));
        EXPECT_EQ(CellAt(*read->tree.active, 1, 1), "t:next");
    }
}

// Two end-of-file bytes end a dBase III+ memo text: a text holding them, or ending in one, is
// refused (39) and nothing is written; dBase IV and FoxPro memos give their length and keep
// such a text whole, and Clipper keeps it in a text field.
TEST(XBaseRead, EndOfFileBytesInAMemo) {
    TempFolder dir;
    const std::string texts[] = {std::string(300, 'a') + "\x1A\x1A" + "b",
                                 std::string(300, 'a') + "\x1A",
                                 std::string(300, 'a') + "\x1A" + "b"};
    struct Case {
        uint8_t format;
        bool refused[3];
    } const cases[] = {{3, {true, true, false}},
                       {6, {false, false, false}}, // a Clipper text field holds 300
                       {4, {false, false, false}},
                       {5, {false, false, false}}};
    for (const Case& c : cases) {
        for (int i = 0; i < 3; ++i) {
            auto book = CreateWorkbook();
            ASSERT_TRUE(NewWorkbook(*book));
            PutText(*book->tree.active, 0, 0, "NOTE");
            PutText(*book->tree.active, 0, 1, texts[i]);
            const std::string path =
                dir.Path("m" + std::to_string(c.format) + std::to_string(i) + ".dbf");
            const std::string bytes = SaveTable(*book, path, c.format);
            EXPECT_EQ(bytes == "<failed>", c.refused[i]) << int(c.format) << " " << i;
            if (c.refused[i]) {
                EXPECT_EQ(book->error, kStreamWrite);
                EXPECT_FALSE(fs::exists(path));
                continue;
            }
            EXPECT_EQ(ReadTable(path, c.format), "A1=t:NOTE|A2=t:" + texts[i])
                << int(c.format) << " " << i;
        }
    }
}

} // namespace
} // namespace vl
