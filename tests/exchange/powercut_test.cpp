// Saves cut by kill -9 at random moments, on each road a save takes: a plain file replaced by
// a renamed new one (in the binary and the XML form), a file of two names and a file in a
// folder that takes no new file (both rewritten in place), a table with its memo file, an
// Excel 2003 XML spreadsheet and a text file. After every cut the file under its
// name is a whole old or new version, or a rewrite in place was cut and a whole copy of the new
// version waits for the next open; the memo always belongs to the table beside it. Every cut
// is followed by a reboot's emptying of the temporary folder: nothing kept may live there.

#include "exchange/excelxml.h"
#include "exchange/excelxmlsave.h"
#include "exchange/foreignfile.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/evalcontext.h"
#include "model/workbook.h"
#include "tests/exchange/exchangetestutil.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vl {
namespace {

using namespace exchangetest;
namespace fs = std::filesystem;

constexpr int kCuts = 50;
constexpr uint32_t kRows = 1500;
constexpr uint32_t kMemoRows = 300;

enum class Road { kPlain, kLinked, kNoNewFile, kTable, kSpreadsheet, kText, kXmlForm };

// The spreadsheet road writes under a name as long as the folder takes (255 bytes), whose
// temporary files go by a short name of their own.
const std::string kLongName = std::string(251, 'x') + ".xml";

// Row r of version `tag` holds the text "<tag>-r" and the number r * tag; a table's version
// also holds a memo text made of the tag.
std::unique_ptr<CWorkbook> Version(char tag, bool table) {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    CWorksheet& sheet = *book->tree.active;
    const uint32_t rows = table ? kMemoRows : kRows;
    if (table) {
        PutText(sheet, 0, 0, "NAME");
        PutText(sheet, 1, 0, "NOTE");
    }
    for (uint32_t r = 1; r <= rows; ++r) {
        PutText(sheet, 0, r, std::string(1, tag) + "-" + std::to_string(r));
        if (table)
            PutText(sheet, 1, r, std::string(300 + r % 7, tag));
        else
            PutNumber(sheet, 1, r, double(r) * tag);
    }
    return book;
}

// The cells of each version, as AllCells gives them.
struct Versions {
    std::string a, b;
};

bool IsSpreadsheet(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".xml") == 0;
}

bool EndsWith(const std::string& path, const char* extension) {
    const std::size_t n = std::strlen(extension);
    return path.size() > n && path.compare(path.size() - n, n, extension) == 0;
}

// The cells of the worksheet the file holds, or empty when it cannot be read whole.
std::string LoadedCells(const std::string& path, bool table) {
    auto book = CreateWorkbook();
    if (IsSpreadsheet(path)) {
        if (!OpenDocumentFile(*book, path.c_str()) || !ReadExcelXml(*book, nullptr)) return {};
    } else if (EndsWith(path, ".csv")) {
        CEvalContext ctx;
        if (!OpenDocumentFile(*book, path.c_str()) || !ImportTextFile(*book, ctx)) return {};
    } else if (table) {
        if (!book->stream.Open(path.c_str(), "rb", false, kFileBufferSize)) return {};
        book->xbase.format = 3;
        book->xbase.encoding = 2;
        if (!ImportXBase(*book)) return {};
    } else if (!OpenDocumentFile(*book, path.c_str()) || !OpenWorkbookFile(*book, nullptr)) {
        return {};
    }
    return book->tree.active ? AllCells(*book->tree.active) : std::string();
}

// The version the file holds whole, or 0.
char LoadedVersion(const Versions& versions, const std::string& path, bool table) {
    const std::string cells = LoadedCells(path, table);
    return cells.empty() ? 0 : cells == versions.a ? 'A' : cells == versions.b ? 'B' : 0;
}

bool Save(CWorkbook& book, const std::string& path, bool table) {
    const bool ok =
        table ? SaveXBaseFile(
                    book, *book.tree.active, path,
                    [](CWorkbook& b) { return BuildXBaseFieldList(b, *b.tree.active, b.xbase, 3); })
        : IsSpreadsheet(path) ? SaveExcelXmlFile(book, path.c_str())
        : EndsWith(path, ".csv")
            ? SaveAside(book, path.c_str(),
                        [](CWorkbook& b) { return ExportTextFile(b, *b.tree.active); })
            : SaveWorkbookFile(book, path.c_str(), EndsWith(path, ".vlx") ? kFileXml : kFileBinary);
    book.stream.Close();
    return ok;
}

// A small file system of its own whose folder has room for one file only, where the
// superuser may mount one; else a folder without write permission (which binds others).
class NoNewFileFolder {
public:
    explicit NoNewFileFolder(const std::string& dir) : dir_(dir + "/full") {
        fs::create_directory(dir_);
        if (geteuid() == 0) {
            mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=16m,nr_inodes=2") == 0;
            return;
        }
    }
    ~NoNewFileFolder() {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        chmod(dir_.c_str(), 0755);
    }
    // Makes the file and closes the folder; false when this system allows neither way.
    bool Hold(const std::string& file) {
        if (geteuid() == 0 && !mounted_) return false;
        tempfiles::WriteBytes(file, {'x'});
        if (!mounted_) chmod(dir_.c_str(), 0555);
        const std::string probe = dir_ + "/probe";
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return true;
        close(fd);
        unlink(probe.c_str());
        return false;
    }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
    bool mounted_ = false;
};

// How long a save takes here, so that the cuts fall inside saves.
int64_t SaveNanoseconds(CWorkbook& book, const std::string& path, bool table) {
    timespec start{}, end{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    EXPECT_TRUE(Save(book, path, table));
    clock_gettime(CLOCK_MONOTONIC, &end);
    return (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
}

// The temporary folder and the state folder of the test's own, so that the reboot after a cut
// can empty the one as a boot does; both are put back afterwards.
class ScopedFolders {
public:
    explicit ScopedFolders(const std::string& root)
        : temporary_(root + "/tmp"), state_(root + "/state") {
        fs::create_directories(temporary_);
        fs::create_directories(state_);
        Keep("TMPDIR", temporary_);
        Keep("XDG_STATE_HOME", state_);
    }
    ~ScopedFolders() {
        for (const auto& [name, value] : kept_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    // What a boot does to the temporary folder.
    void Reboot() const {
        for (const auto& entry : fs::directory_iterator(temporary_)) fs::remove_all(entry.path());
    }
    const std::string& State() const { return state_; }

private:
    void Keep(const std::string& name, const std::string& value) {
        const char* old = std::getenv(name.c_str());
        kept_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::string temporary_, state_;
    std::vector<std::pair<std::string, std::optional<std::string>>> kept_;
};

void RunCuts(Road road) {
    TempFolder dir;
    TempFolder system;
    const ScopedFolders folders(system.Dir());
    const bool table = road == Road::kTable;
    std::unique_ptr<NoNewFileFolder> full;
    std::string path = dir.Path(table                        ? "cut.dbf"
                                : road == Road::kSpreadsheet ? kLongName
                                : road == Road::kText        ? "cut.csv"
                                : road == Road::kXmlForm     ? "cut.vlx"
                                                             : "cut.vlb");
    // A form that keeps less than the records: a version is what the form reads back of it.
    const bool readBack = road == Road::kSpreadsheet || road == Road::kText;
    if (road == Road::kNoNewFile) {
        full = std::make_unique<NoNewFileFolder>(dir.Dir());
        path = full->Dir() + "/cut.vlb";
        if (!full->Hold(path)) {
            GTEST_SKIP() << "no folder that takes no new file can be had here";
        }
    }
    auto a = Version('A', table), b = Version('B', table);
    Versions versions{AllCells(*a->tree.active), AllCells(*b->tree.active)};
    if (readBack) {
        ASSERT_TRUE(Save(*b, path, table)) << int(b->error);
        versions.b = LoadedCells(path, table);
    }
    ASSERT_TRUE(Save(*a, path, table)) << int(a->error);
    if (readBack) versions.a = LoadedCells(path, table);
    ASSERT_FALSE(versions.a.empty());
    ASSERT_NE(versions.a, versions.b);
    const std::string twin = dir.Path("twin.vlb");
    if (road == Road::kLinked) {
        ASSERT_EQ(link(path.c_str(), twin.c_str()), 0);
    }
    const int64_t span = std::max<int64_t>(SaveNanoseconds(*b, path, table), 100000) * 2;
    std::mt19937 random(0x89u + uint32_t(road));
    int copiesOffered = 0;
    for (int cut = 0; cut < kCuts; ++cut) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            for (int i = 0;; ++i) {
                Save(i % 2 ? *a : *b, path, table);
                if (i == 0 && write(ready[1], "s", 1) != 1) _exit(1);
            }
        }
        close(ready[1]);
        char byte = 0;
        // The first save of the child is whole; the cut falls somewhere in the saves after it.
        ASSERT_EQ(read(ready[0], &byte, 1), 1);
        close(ready[0]);
        const int64_t wait = std::uniform_int_distribution<int64_t>(0, span)(random);
        const timespec pause{0, long(wait)};
        nanosleep(&pause, nullptr);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        folders.Reboot();

        const std::string copy = InterruptedSaveCopy(FollowLinks(path));
        if (table) {
            FinishXBaseSave(path); // what the next open or save does first
            EXPECT_NE(LoadedVersion(versions, path, true), 0) << "cut " << cut;
            continue;
        }
        if (!copy.empty()) {
            // Cut in a rewrite in place: the copy is whole and private, and putting it back
            // (the open's offer) gives a whole file under both names.
            ++copiesOffered;
            struct stat st {};
            ASSERT_EQ(stat(copy.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 0777, 0600u) << copy;
            if (road == Road::kNoNewFile) {
                EXPECT_EQ(copy.rfind(folders.State() + "/Vorlane/saves/", 0), 0u) << copy;
            }
            EXPECT_NE(LoadedVersion(versions, copy, false), 0) << "cut " << cut;
            ASSERT_EQ(RestoreInterruptedSave(FollowLinks(path)), kErrorNone);
            EXPECT_TRUE(InterruptedSaveCopy(FollowLinks(path)).empty());
        }
        EXPECT_GT(fs::file_size(path), 0u) << "cut " << cut;
        EXPECT_NE(LoadedVersion(versions, path, false), 0) << "cut " << cut;
        if (road == Road::kLinked) {
            EXPECT_EQ(fs::hard_link_count(path), 2u) << "cut " << cut;
        }
    }
    // A sound save afterwards leaves nothing of the cut saves behind, here or in the private
    // temporary folder.
    ASSERT_TRUE(Save(*a, path, table));
    const std::string folder = path.substr(0, path.rfind('/'));
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "cut.vlb" || name == "cut.dbf" || name == "cut.dbt" ||
                    name == "cut.csv" || name == "cut.vlx" || name == "twin.vlb" ||
                    name == "full" || name == kLongName)
            << name;
    }
    const std::string aside = PrivatePath(FollowLinks(path));
    const std::string stem = aside.substr(aside.rfind('/') + 1);
    for (const auto& entry : fs::directory_iterator(aside.substr(0, aside.rfind('/'))))
        EXPECT_EQ(entry.path().filename().string().find(stem), std::string::npos) << entry.path();
    EXPECT_EQ(LoadedVersion(versions, path, table), 'A');
    ::testing::Test::RecordProperty("copies", copiesOffered);
}

} // namespace

TEST(PowerCut, APlainSave) {
    RunCuts(Road::kPlain);
}

TEST(PowerCut, AFileOfTwoNames) {
    RunCuts(Road::kLinked);
}

TEST(PowerCut, AFolderThatTakesNoNewFile) {
    RunCuts(Road::kNoNewFile);
}

TEST(PowerCut, ATableWithItsMemo) {
    RunCuts(Road::kTable);
}

TEST(PowerCut, ASpreadsheetOfTheLongestName) {
    RunCuts(Road::kSpreadsheet);
}

TEST(PowerCut, ATextFile) {
    RunCuts(Road::kText);
}

TEST(PowerCut, TheXmlForm) {
    RunCuts(Road::kXmlForm);
}

} // namespace vl
