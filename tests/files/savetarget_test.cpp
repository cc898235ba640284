// Where a save writes: through links, over linked and held files, into folders that take no
// new file, and what interrupted saves left.

#include "files/savetarget.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "filestestutil.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl {

using namespace filestest;

namespace {

namespace fs = std::filesystem;

bool IsRoot() {
    return geteuid() == 0;
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_ino;
}

// The workbook the file holds, as its text in the XML form would show it.
void ExpectHolds(const std::string& path, const CWorkbook& expected) {
    bool ok = false;
    auto loaded = LoadFromPath(path, nullptr, ok);
    ASSERT_TRUE(ok) << path;
    ExpectSameWorkbook(expected, *loaded);
}

} // namespace

// A link stays a link and the file it names is written; a file of two names keeps both; a
// writable file in a folder that takes no new file is rewritten where it is. Each time the
// saved file is the document and nothing is left beside it.
TEST(SaveTarget, LinksAndFoldersKeepWhatTheyAre) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string real = dir.Path("real.vlb"), link = dir.Path("link.vlb");
    const std::string twin = dir.Path("twin.vlb");
    WriteBytes(real, {'o', 'l', 'd'});
    ASSERT_EQ(symlink("real.vlb", link.c_str()), 0);
    ASSERT_TRUE(SaveWorkbookFile(*book, link.c_str(), kFileBinary)) << int(book->error);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(book->stream.GetPath(), real);
    book->stream.Close();
    ExpectHolds(real, *book);

    ASSERT_EQ(::link(real.c_str(), twin.c_str()), 0);
    const ino_t inode = Inode(real);
    ASSERT_TRUE(SaveWorkbookFile(*book, twin.c_str(), kFileXmlCompressed)) << int(book->error);
    EXPECT_EQ(std::pair(Inode(real), Inode(twin)), std::pair(inode, inode));
    EXPECT_TRUE(book->stream.IsOpen());
    // The document's own file, rewritten through its own stream.
    ASSERT_TRUE(SaveWorkbookFile(*book, real.c_str(), kFileBinary)) << int(book->error);
    EXPECT_EQ(std::pair(Inode(real), Inode(twin)), std::pair(inode, inode));
    book->stream.Close();
    ExpectHolds(twin, *book);
    EXPECT_EQ(fs::hard_link_count(real), 2u);

    if (IsRoot()) GTEST_SKIP() << "permissions do not bind the superuser";
    const std::string inner = dir.Path("locked"), file = inner + "/book.vlb";
    fs::create_directory(inner);
    WriteBytes(file, {});
    chmod(inner.c_str(), 0555);
    EXPECT_TRUE(SaveWorkbookFile(*book, file.c_str(), kFileBinaryCompressed));
    EXPECT_FALSE(SaveWorkbookFile(*book, (inner + "/new.vlb").c_str(), kFileBinary));
    EXPECT_EQ(book->error, kStreamOpenWrite);
    chmod(inner.c_str(), 0755);
    book->stream.Close();
    ExpectHolds(file, *book);
    EXPECT_EQ(std::distance(fs::directory_iterator(inner), fs::directory_iterator()), 1);
}

// Refused before anything is written: the target, the document and its stream stay as they
// were.
TEST(SaveTarget, RefusedTargetsChangeNothing) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string own = dir.Path("own.vlb"), held = dir.Path("held.vlb");
    ASSERT_TRUE(SaveWorkbookFile(*book, own.c_str(), kFileBinary));
    const Bytes ownBytes = ReadBytes(own);
    WriteBytes(held, {'h', 'e', 'l', 'd'});
    auto other = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*other, held.c_str()));

    struct Case {
        std::string path;
        uint8_t error;
        bool asUser; // permissions do not bind the superuser
    } cases[] = {
        {held, kStreamInUse, false},
        {dir.Dir(), kStreamOpenWrite, false},
        {dir.Path("readonly.vlb"), kStreamOpenWrite, true},
    };
    WriteBytes(cases[2].path, {'r', 'o'});
    chmod(cases[2].path.c_str(), 0444);
    for (const Case& c : cases) {
        if (c.asUser && IsRoot()) continue;
        const Bytes before = fs::is_regular_file(c.path) ? ReadBytes(c.path) : Bytes{};
        book->error = kErrorNone;
        EXPECT_FALSE(SaveWorkbookFile(*book, c.path.c_str(), kFileBinary)) << c.path;
        EXPECT_EQ(book->error, c.error) << c.path;
        if (fs::is_regular_file(c.path)) {
            EXPECT_EQ(ReadBytes(c.path), before) << c.path;
            EXPECT_EQ(fs::status(c.path).permissions(),
                      c.asUser ? fs::perms(0444) : fs::perms(0644))
                << c.path;
        }
        EXPECT_TRUE(book->stream.IsOpen() && book->stream.GetPath() == own) << c.path;
    }
    EXPECT_EQ(ReadBytes(own), ownBytes);
    // The held file's holder still holds it.
    EXPECT_TRUE(other->stream.IsOpen());
    EXPECT_EQ(ReadBytes(held), (Bytes{'h', 'e', 'l', 'd'}));

    // A workbook without a worksheet writes nothing at all.
    auto empty = CreateWorkbook();
    const std::string none = dir.Path("none.vlb");
    EXPECT_FALSE(SaveWorkbookFile(*empty, none.c_str(), kFileXml));
    EXPECT_EQ(empty->error, kErrorNoWorksheet);
    EXPECT_FALSE(fs::exists(none));
}

// What a save that was killed left beside its file goes with the next save of that file;
// a save still running (its file held), other names and other files' leftovers stay.
TEST(SaveTarget, NextSaveRemovesLeftovers) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string path = dir.Path("book.vlb");
    const std::string prefix = TemporaryPrefix(path);
    EXPECT_EQ(prefix, dir.Path(".book.vlb.~"));
    const std::string dead1 = prefix + "4242.0", dead2 = prefix + "77.13";
    const std::string running = prefix + "99.0";
    const std::string notOurs[] = {prefix + "12", prefix + "1.2.3", prefix + "x.1", prefix + "1.",
                                   dir.Path(".other.vlb.~1.0")};
    for (const std::string& p : {dead1, dead2, running}) WriteBytes(p, {1});
    for (const std::string& p : notOurs) WriteBytes(p, {1});
    CFileStream live;
    ASSERT_TRUE(live.Open(running.c_str(), "r+b", false, 512));
    ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileXml));
    EXPECT_FALSE(fs::exists(dead1));
    EXPECT_FALSE(fs::exists(dead2));
    EXPECT_TRUE(fs::exists(running));
    for (const std::string& p : notOurs) EXPECT_TRUE(fs::exists(p)) << p;
}

// A copy a cut rewrite kept belongs to that save: a later save of the file written whole, by
// either road, drops it, so that no open offers an older workbook over the newer one. The
// copies are kept in the state folder, which a reboot leaves; those older versions left in
// the temporary folder are still found.
TEST(SaveTarget, AKeptCopyGoesWithTheNextWholeSave) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string path = dir.Path("kept.vlb");
    ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileXml));
    const std::string state = dir.Path("state"), temporary = dir.Path("tmp");
    fs::create_directories(temporary);
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
    const std::string inState = PrivatePath(path);
    ASSERT_EQ(inState.rfind(state + "/Vorlane/saves/", 0), 0u) << inState;
    EXPECT_EQ(fs::status(state + "/Vorlane/saves").permissions() & fs::perms::all,
              fs::perms::owner_all);
    const char* oldTemporary = std::getenv("TMPDIR");
    const std::string keptTemporary = oldTemporary ? oldTemporary : "";
    ASSERT_EQ(setenv("TMPDIR", temporary.c_str(), 1), 0);
    const std::string olderFolder = temporary + "/vorlane-" + std::to_string(geteuid());
    ASSERT_EQ(mkdir(olderFolder.c_str(), S_IRWXU), 0);
    const std::string older = olderFolder + inState.substr(inState.rfind('/')) + ".~saved";
    for (const std::string& copy : {TemporaryPrefix(path) + "saved", inState + ".~saved", older}) {
        WriteBytes(copy, {'c'});
        EXPECT_EQ(InterruptedSaveCopy(path), copy);
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileXml)) << copy;
        EXPECT_FALSE(fs::exists(copy)) << copy;
        EXPECT_TRUE(InterruptedSaveCopy(path).empty()) << copy;
    }
    oldTemporary ? setenv("TMPDIR", keptTemporary.c_str(), 1) : unsetenv("TMPDIR");
    unsetenv("XDG_STATE_HOME");
}

// A copy another user's cut save left is theirs: our save neither offers it nor removes it.
TEST(SaveTarget, AnotherUsersKeptCopyIsLeftToThem) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to give a file to another user";
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string path = dir.Path("shared.vlb");
    ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileBinary));
    const std::string theirs = TemporaryPrefix(path) + "saved";
    WriteBytes(theirs, {'c'});
    ASSERT_EQ(chown(theirs.c_str(), 4242, 4242), 0);
    EXPECT_TRUE(InterruptedSaveCopy(path).empty());
    ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileBinary));
    EXPECT_TRUE(fs::exists(theirs));
    ExpectHolds(path, *book);
    DropInterruptedSaveCopies(path);
    EXPECT_TRUE(fs::exists(theirs));
}

// A torn shared file: a file of two names (so every save rewrites it in place) beside the
// whole copy another user's cut save kept. Our save keeps its own copy in our private folder
// meanwhile and drops only that: theirs stays, byte for byte, until they save.
TEST(SaveTarget, AnInPlaceSaveBesideAnotherUsersCopyLeavesItToThem) {
    if (!IsRoot()) GTEST_SKIP() << "needs root to give a file to another user";
    TempFolder dir;
    const std::string state = dir.Path("state");
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
    auto book = MakeRichWorkbook();
    const std::string path = dir.Path("torn.vlb"), twin = dir.Path("twin.vlb");
    WriteBytes(path, {'t', 'o', 'r', 'n'});
    ASSERT_EQ(::link(path.c_str(), twin.c_str()), 0);
    const std::string theirs = TemporaryPrefix(path) + "saved";
    WriteBytes(theirs, {'w', 'h', 'o', 'l', 'e'});
    ASSERT_EQ(chown(theirs.c_str(), 4242, 4242), 0);
    auto fresh = MakeRichWorkbook();
    ASSERT_TRUE(SaveWorkbookFile(*fresh, path.c_str(), kFileBinary));
    EXPECT_EQ(ReadBytes(theirs), (Bytes{'w', 'h', 'o', 'l', 'e'}));
    EXPECT_EQ(fs::hard_link_count(path), 2u);
    fresh->stream.Close();
    ExpectHolds(twin, *fresh);
    EXPECT_TRUE(InterruptedSaveCopy(path).empty());
    EXPECT_FALSE(fs::exists(PrivatePath(path) + ".~saved"));
    // A copy of our own beside it is an older cut save of ours: the whole save replaces it.
    ASSERT_EQ(chown(theirs.c_str(), 0, 0), 0);
    ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileBinary));
    EXPECT_FALSE(fs::exists(theirs));
    unsetenv("XDG_STATE_HOME");
}

// A save killed before its copy was made leaves its temporary in the private folder, which no
// later save of another file clears: the next start removes it, and nothing a running save
// holds or a cut rewrite kept.
TEST(SaveTarget, TheStartClearsWhatDeadSavesLeftInThePrivateFolder) {
    TempFolder dir;
    const std::string state = dir.Path("state");
    ASSERT_EQ(setenv("XDG_STATE_HOME", state.c_str(), 1), 0);
    const std::string aside = PrivatePath(dir.Path("book.vlb"));
    ASSERT_FALSE(aside.empty());
    const std::string prefix = TemporaryPrefix(aside);
    const std::string dead = prefix + "4242.0", running = prefix + "99.1";
    const std::string kept = aside + ".~saved", other = aside + ".~x.1";
    // A temporary name starts with a dot: one without it is no save's.
    const std::string undotted = aside + ".~4242.0";
    for (const std::string& p : {dead, running, kept, other, undotted}) WriteBytes(p, {1});
    CFileStream live;
    ASSERT_TRUE(live.Open(running.c_str(), "r+b", false, 512));
    RemoveStalePrivateSaves();
    EXPECT_FALSE(fs::exists(dead));
    for (const std::string& p : {running, kept, other, undotted}) EXPECT_TRUE(fs::exists(p)) << p;
    unsetenv("XDG_STATE_HOME");
}

TEST(SaveTarget, FollowLinksEndsAtTheFileNamed) {
    TempFolder dir;
    const std::string a = dir.Path("a"), b = dir.Path("b"), c = dir.Path("c");
    ASSERT_EQ(symlink("b", a.c_str()), 0);
    ASSERT_EQ(symlink(c.c_str(), b.c_str()), 0);
    EXPECT_EQ(FollowLinks(a), c); // c need not exist
    EXPECT_EQ(FollowLinks(c), c);
    const std::string loop = dir.Path("loop");
    ASSERT_EQ(symlink("loop", loop.c_str()), 0);
    EXPECT_EQ(FollowLinks(loop), loop); // gives up; the save then fails on it
}

} // namespace vl

namespace vl {

// A file of two names is rewritten in place; a writer that fails midway leaves it byte for
// byte as it was, the workbook with its document and both names on one file, and nothing
// beside it. The same for the document's own file.
TEST(SaveTarget, AFailedInPlaceSaveLeavesTheFileWhole) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    const std::string own = dir.Path("own.vlb"), twin = dir.Path("twin.vlb");
    const std::string other = dir.Path("other.vlb");
    ASSERT_TRUE(SaveWorkbookFile(*book, own.c_str(), kFileBinary));
    ASSERT_EQ(::link(own.c_str(), twin.c_str()), 0);
    WriteBytes(other, {'o', 't', 'h', 'e', 'r'});
    const std::string otherTwin = dir.Path("other-twin.vlb");
    ASSERT_EQ(::link(other.c_str(), otherTwin.c_str()), 0);
    const auto failing = [](CWorkbook& b) {
        const char half[] = "half a form";
        b.stream.Write(half, int32_t(sizeof half));
        b.error = kStreamWrite;
        return false;
    };
    for (const std::string& target : {other, own}) {
        const Bytes before = ReadBytes(target);
        const ino_t inode = Inode(target);
        book->error = kErrorNone;
        EXPECT_FALSE(SaveWorkbookFileWith(*book, target.c_str(), true, failing)) << target;
        EXPECT_EQ(book->error, kStreamWrite) << target;
        EXPECT_EQ(ReadBytes(target), before) << target;
        EXPECT_EQ(Inode(target), inode) << target;
        EXPECT_EQ(fs::hard_link_count(target), 2u) << target;
        EXPECT_TRUE(book->stream.IsOpen() && book->stream.GetPath() == own) << target;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 4)
            << target;
    }
    // A sound save over the other file still goes in place and is the new document.
    ASSERT_TRUE(SaveWorkbookFile(*book, other.c_str(), kFileBinaryCompressed));
    EXPECT_EQ(fs::hard_link_count(other), 2u);
    EXPECT_EQ(book->stream.GetPath(), other);
    book->stream.Close();
    ExpectHolds(otherTwin, *book);
}

} // namespace vl

namespace vl {

// A file that is no document goes the same road: a writer that fails leaves the target, a
// plain file or one of two names, byte for byte as it was and nothing beside it; a held
// target is refused before the writer runs; a sound write replaces it.
TEST(SaveTarget, FilesOtherThanWorkbooksTakeTheSameRoad) {
    TempFolder dir;
    const std::string plain = dir.Path("plain.png"), twin = dir.Path("twin.png");
    WriteBytes(plain, {'o', 'l', 'd'});
    const std::string linked = dir.Path("linked.png");
    WriteBytes(linked, {'t', 'w', 'o'});
    ASSERT_EQ(::link(linked.c_str(), twin.c_str()), 0);
    int runs = 0;
    const auto failing = [&runs](CFileStream& file) {
        ++runs;
        file.Write("half", 4);
        return false;
    };
    for (const std::string& target : {plain, linked}) {
        const Bytes before = ReadBytes(target);
        EXPECT_EQ(WriteSaveTarget(target.c_str(), failing), kStreamWrite) << target;
        EXPECT_EQ(ReadBytes(target), before) << target;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 3)
            << target;
    }
    EXPECT_EQ(runs, 2);
    // Held by a document: refused, the writer never runs.
    auto holder = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*holder, plain.c_str()));
    EXPECT_EQ(WriteSaveTarget(plain.c_str(), failing), kStreamInUse);
    EXPECT_EQ(runs, 2);
    holder->stream.Close();
    const auto sound = [](CFileStream& file) { return file.Write("new", 3); };
    for (const std::string& target : {plain, twin}) {
        EXPECT_EQ(WriteSaveTarget(target.c_str(), sound), kErrorNone) << target;
        EXPECT_EQ(ReadBytes(target), (Bytes{'n', 'e', 'w'})) << target;
    }
    EXPECT_EQ(Inode(linked), Inode(twin));
    EXPECT_EQ(ReadBytes(linked), (Bytes{'n', 'e', 'w'}));
    EXPECT_EQ(WriteSaveTarget(dir.Path("no/such/folder.png").c_str(), sound), kStreamOpenWrite);
    EXPECT_EQ(WriteSaveTarget(dir.Dir().c_str(), sound), kStreamOpenWrite);
}

} // namespace vl

namespace vl {

// Every name the folder takes saves, by each road: a plain new file, a replaced one, and one
// of two names rewritten in place (its kept copy beside it). Names are counted in bytes ("ж"
// is two); past 255 the system refuses the name itself.
TEST(SaveTarget, EveryNameTheFolderTakesSaves) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    for (const std::size_t bytes :
         {std::size_t(230), std::size_t(240), std::size_t(254), std::size_t(255)}) {
        SCOPED_TRACE(bytes);
        std::string name;
        while (name.size() + 2 <= bytes - 4) name += "ж";
        name += std::string(bytes - 4 - name.size(), 'n') + ".vlb";
        ASSERT_EQ(name.size(), bytes);
        const std::string path = dir.Path(name);
        const std::size_t slash = TemporaryPrefix(path).rfind('/');
        EXPECT_LE(TemporaryPrefix(path).size() - slash - 1 + 10, 255u);
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileBinary)) << int(book->error);
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileXml)) << int(book->error);
        const std::string twin = dir.Path("twin" + std::to_string(bytes));
        ASSERT_EQ(::link(path.c_str(), twin.c_str()), 0);
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kFileBinaryCompressed))
            << int(book->error);
        book->stream.Close();
        EXPECT_EQ(fs::hard_link_count(path), 2u);
        ExpectHolds(twin, *book);
        EXPECT_TRUE(InterruptedSaveCopy(path).empty());
    }
    // Every file left is one of the saved names or its twin.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 8);
    std::string tooLong(256 - 4, 'n');
    const std::string past = dir.Path(tooLong + ".vlb");
    EXPECT_FALSE(SaveWorkbookFile(*book, past.c_str(), kFileBinary));
    std::error_code ec;
    EXPECT_FALSE(fs::exists(past, ec));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()), 8);
}

// A kept copy is offered while the file holds what its cut rewrite left: the copy's first
// bytes, whole or none, with at most zeros after them; any other byte is a save written since.
// Not offered, the copy stays where it was.
TEST(SaveTarget, AKeptCopyIsOfferedOnlyOverTheFileItsCutLeft) {
    TempFolder dir;
    const std::string path = dir.Path("torn.vlb");
    const std::string copy = TemporaryPrefix(path) + "saved";
    const Bytes whole = {'w', 'h', 'o', 'l', 'e', '!'};
    WriteBytes(copy, whole);
    const struct {
        Bytes file;
        bool offered;
    } cases[] = {
        {{}, true},
        {{'w', 'h', 'o'}, true},
        {{'w', 'h', 'o', 0, 0, 0}, true},
        {whole, true},
        {{'w', 'h', 'o', 'l', 'e', '!', 0}, true},
        {{'w', 'h', 'o', 'l', 'e', '!', 'x'}, false},
        {{'w', 'h', 'y'}, false},
        {{'w', 'h', 'o', 0, 'e'}, false},
        {{'n', 'e', 'w', 'e', 'r', '!'}, false},
        {{0}, true},
    };
    for (const auto& c : cases) {
        WriteBytes(path, c.file);
        EXPECT_EQ(OfferedSaveCopy(path), c.offered ? copy : std::string())
            << std::string(c.file.begin(), c.file.end());
        EXPECT_EQ(InterruptedSaveCopy(path), copy);
        EXPECT_EQ(ReadBytes(copy), whole);
    }
    // A file that cannot be read is left to the restore to judge.
    fs::remove(path);
    EXPECT_EQ(OfferedSaveCopy(path), copy);
}

} // namespace vl
