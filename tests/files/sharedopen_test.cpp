// Opening a workbook file that something else holds: another document (here or in another
// process) leaves it readable, a writer elsewhere makes it "in use", and only a lock
// conflict is "in use".

#include "files/workbookopen.h"
#include "filestestutil.h"
#include "model/workbook.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vl {

namespace {

using namespace filestest;

// What an open of the file gave: opened or not, read-only flag, error.
struct Outcome {
    bool opened;
    uint8_t readOnly;
    uint8_t error;
    bool operator==(const Outcome&) const = default;
};

Outcome OpenHere(const std::string& path) {
    auto book = CreateWorkbook();
    const bool opened = OpenDocumentFile(*book, path.c_str());
    return {opened, book->readOnly, book->error};
}

// The same open in a child process, whose exit status carries the outcome.
Outcome OpenInOtherProcess(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        const Outcome o = OpenHere(path);
        _exit((o.opened ? 128 : 0) | (o.readOnly ? 64 : 0) | (o.error & 63));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return {false, 0xFF, 0xFF};
    const int code = WEXITSTATUS(status);
    return {(code & 128) != 0, uint8_t((code & 64) ? 1 : 0), uint8_t(code & 63)};
}

// A lock on a descriptor of another program; -1 when it could not be had.
int ForeignLock(const std::string& path, int operation) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0 && flock(fd, operation | LOCK_NB) == 0) return fd;
    if (fd >= 0) close(fd);
    return -1;
}

} // namespace

TEST(SharedOpen, AHeldFileOpensReadOnlyAndAWriterMakesItInUse) {
    TempFolder dir;
    const std::string path = dir.Path("book.vln");
    WriteBytes(path, {'<', '?'});
    const Outcome writable{true, 0, kErrorNone}, readOnly{true, 1, kErrorNone},
        inUse{false, 0, kStreamInUse};
    struct Case {
        const char* holder;
        std::function<int()> hold; // a descriptor to close afterwards, or -1
        Outcome here, elsewhere;
    } const cases[] = {
        {"nobody", [] { return -1; }, writable, writable},
        {"a reader elsewhere", [&] { return ForeignLock(path, LOCK_SH); }, readOnly, readOnly},
        {"a writer elsewhere", [&] { return ForeignLock(path, LOCK_EX); }, inUse, inUse},
    };
    for (const Case& c : cases) {
        const int fd = c.hold();
        EXPECT_EQ(OpenHere(path), c.here) << c.holder;
        EXPECT_EQ(OpenInOtherProcess(path), c.elsewhere) << c.holder;
        if (fd >= 0) close(fd);
    }
    // A document keeps its file shared once open: a second document, here or in another
    // process, reads it; no writer elsewhere can have it meanwhile.
    auto holder = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*holder, path.c_str()));
    EXPECT_EQ(holder->readOnly, 0);
    EXPECT_FALSE(holder->stream.IsReadOnly());
    EXPECT_EQ(OpenHere(path), readOnly);
    EXPECT_EQ(OpenInOtherProcess(path), readOnly);
    EXPECT_EQ(ForeignLock(path, LOCK_EX), -1);
    auto reader = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*reader, path.c_str()));
    EXPECT_TRUE(reader->stream.IsReadOnly());
    holder->stream.Close();
    // The reader alone still keeps writers out, and a third document reads beside it.
    EXPECT_EQ(ForeignLock(path, LOCK_EX), -1);
    EXPECT_EQ(OpenHere(path), readOnly);
    reader->stream.Close();
    EXPECT_EQ(OpenHere(path), writable);
}

// A missing file is no file in use: it is reported as such and opens nothing read-only.
TEST(SharedOpen, OnlyALockConflictIsInUse) {
    TempFolder dir;
    EXPECT_EQ(OpenHere(dir.Path("missing.vln")), (Outcome{false, 0, kStreamOpenRead}));
    const std::string locked = dir.Path("locked.vln");
    WriteBytes(locked, {'1'});
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    // A file that may not be written opens read-only (the superuser may write it anyway).
    const Outcome o = OpenHere(locked);
    EXPECT_TRUE(o.opened);
    EXPECT_EQ(o.readOnly, geteuid() == 0 ? 0 : 1);
}

} // namespace vl
