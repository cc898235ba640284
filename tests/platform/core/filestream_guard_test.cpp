// What the stream refuses to read: files that are not regular files, compressed streams cut
// short, and bytes past the last 32-bit position. And the same file opened twice.

#include "gzipfill.h"
#include "platform/core/filestream.h"
#include "tempfiles.h"

#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace vl {

using tempfiles::TempFolder;
using tempfiles::WriteBytes;

namespace {

std::vector<uint8_t> Gzip(const std::string& text) {
    uLongf size = compressBound(uLong(text.size())) + 32;
    std::vector<uint8_t> out(size);
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = out.data();
    z.avail_out = uInt(size);
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Reading from a pipe with no writer would wait for ever, a device may never end: neither
// opens, in any mode, and nothing is read.
TEST(FileStreamGuard, OnlyRegularFilesOpen) {
    TempFolder dir;
    const std::string fifo = dir.Path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* mode;
        uint8_t error;
    } cases[] = {
        {fifo, "rb", kStreamOpenRead},        {fifo, "r+b", kStreamOpenRead},
        {fifo, "w+b", kStreamOpenWrite},      {dir.Dir(), "rb", kStreamOpenRead},
        {"/dev/zero", "rb", kStreamOpenRead}, {"/dev/null", "w+b", kStreamOpenWrite},
    };
    for (const auto& c : cases) {
        CFileStream s;
        EXPECT_FALSE(s.Open(c.path.c_str(), c.mode, true, kFileBufferSize)) << c.path;
        EXPECT_EQ(std::pair(s.GetError(), s.IsOpen()), std::pair(c.error, false)) << c.path;
    }
    struct stat st;
    ASSERT_EQ(stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)); // still the pipe: "w" did not replace it
    CFileStream s;
    WriteBytes(dir.Path("plain"), {1, 2, 3});
    EXPECT_TRUE(s.Open(dir.Path("plain").c_str(), "rb", true, kFileBufferSize));
    uint8_t b[3] = {};
    EXPECT_EQ(s.Read(b, 3), 3); // blocking again: a whole read
}

// Every way of reading at the place where a gzip layer stopped fails with the error it
// stopped with, and none goes back to inflate the file again from its start.
void ExpectStoppedWithoutRewinding(CFileStream& s, int32_t at, ErrorCode error) {
    uint8_t b[4] = {};
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(s.Read(b, 4), 0);
        EXPECT_EQ(s.Peek(), 0);
        EXPECT_TRUE(s.IsEof());
        EXPECT_EQ(s.CompareAhead("a", 1), 1);
        EXPECT_TRUE(s.Seek(kSeekStart, at));
        EXPECT_EQ(s.ReadAt(b, 1, kSeekStart, at), 0);
    }
    EXPECT_EQ(std::pair(s.GetPosition(), s.GetError()), std::pair(at, uint8_t(error)));
    EXPECT_EQ(s.GetRewinds(), 0);
}

} // namespace

// A compressed stream that ends early is the format error, whatever its length, and a whole
// one reads; an empty file is still an empty file.
TEST(FileStreamGuard, CutCompressedStreamIsTheFormatError) {
    TempFolder dir;
    const std::vector<uint8_t> whole = Gzip("<?xml version=\"1.0\"?><Workbook/>");
    const std::string path = dir.Path("book");
    for (size_t length = 1; length < whole.size(); ++length) {
        WriteBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
        CFileStream s;
        ASSERT_TRUE(s.Open(path.c_str(), "rb", true, kFileBufferSize));
        uint8_t b[11];
        const int32_t n = s.Read(b, 11);
        // Two bytes that are not the gzip magic read as they stand.
        if (length == 1) {
            EXPECT_EQ(std::pair(n, s.GetError()), std::pair(1, uint8_t(kErrorNone)));
            continue;
        }
        EXPECT_EQ(std::pair(n, s.GetError()), std::pair(0, uint8_t(kErrorFileFormat))) << length;
        ExpectStoppedWithoutRewinding(s, 0, kErrorFileFormat);
    }
    WriteBytes(path, whole);
    CFileStream s;
    ASSERT_TRUE(s.Open(path.c_str(), "rb", true, kFileBufferSize));
    uint8_t b[5];
    EXPECT_EQ(s.Read(b, 5), 5);
    EXPECT_EQ(s.GetError(), kErrorNone);
    WriteBytes(path, {});
    ASSERT_TRUE(s.Open(path.c_str(), "rb", true, kFileBufferSize));
    EXPECT_EQ(std::pair(s.Read(b, 5), s.GetError()), std::pair(0, uint8_t(kErrorNone)));
}

// The last byte a 32-bit position reaches reads; the one after it fails at once, never
// wraps. Sparse files take no room.
TEST(FileStreamGuard, BytesPastTheLastPositionFail) {
    TempFolder dir;
    const std::string path = dir.Path("big");
    for (const off_t size : {off_t(INT32_MAX), off_t(INT32_MAX) + 1}) {
        const int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
        CFileStream s;
        ASSERT_TRUE(s.Open(path.c_str(), "rb", false, kFileBufferSize));
        ASSERT_TRUE(s.Seek(kSeekStart, INT32_MAX - 3));
        uint8_t b[8];
        EXPECT_EQ(s.Read(b, 3), 3) << size;
        EXPECT_EQ(s.GetPosition(), INT32_MAX);
        const bool beyond = size > INT32_MAX;
        EXPECT_EQ(s.Read(b, 1), 0) << size;
        EXPECT_EQ(s.GetError(), beyond ? uint8_t(kErrorFileFormat) : uint8_t(kErrorNone)) << size;
        EXPECT_EQ(s.GetPosition(), INT32_MAX);
    }
}

// The same through a gzip layer: one pass of inflating reaches the last position, the byte
// after it is refused there, and nothing afterwards inflates the file again. A step back
// into the file does go back to its start, and counts.
// Each inflates 2 GiB, so the two sizes run as tests of their own, side by side.
class CompressedPastTheLast : public ::testing::TestWithParam<uint64_t> {};

TEST_P(CompressedPastTheLast, BytesFailInOnePass) {
    TempFolder dir;
    const std::string path = dir.Path("big.gz");
    {
        const uint64_t size = GetParam();
        tempfiles::WriteGzipFill(path, "", ' ', size, "");
        CFileStream s;
        ASSERT_TRUE(s.Open(path.c_str(), "rb", true, kFileBufferSize));
        ASSERT_TRUE(s.IsCompressed());
        // A full window, then one of the 3 bytes up to the last position.
        ASSERT_TRUE(s.Seek(kSeekStart, INT32_MAX - kFileBufferSize - 3));
        std::vector<uint8_t> b(kFileBufferSize + 3);
        EXPECT_EQ(s.Read(b.data(), kFileBufferSize + 3), kFileBufferSize + 3) << size;
        EXPECT_EQ(std::pair(b[0], b[kFileBufferSize + 2]), std::pair(uint8_t(' '), uint8_t(' ')));
        EXPECT_EQ(s.GetPosition(), INT32_MAX);
        if (size > uint64_t(INT32_MAX)) {
            ExpectStoppedWithoutRewinding(s, INT32_MAX, kErrorFileFormat);
        } else {
            EXPECT_EQ(s.Read(b.data(), 1), 0);
            EXPECT_TRUE(s.IsEof());
            EXPECT_EQ(std::pair(s.GetError(), s.GetRewinds()), std::pair(uint8_t(kErrorNone), 0));
        }
        EXPECT_EQ(s.ReadAt(b.data(), 2, kSeekStart, 1), 2);
        EXPECT_EQ(s.GetRewinds(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(FileStreamGuard, CompressedPastTheLast,
                         ::testing::Values(uint64_t(INT32_MAX), uint64_t(INT32_MAX) + 1));

// A second open of a file held for writing is refused until the holder lends its lock;
// taken back, the lock is shared: readers stay beside it and writers are refused.
TEST(FileStreamGuard, SameFileAndLentLock) {
    TempFolder dir;
    const std::string path = dir.Path("doc"), link = dir.Path("link");
    WriteBytes(path, {1, 2, 3});
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    WriteBytes(dir.Path("other"), {1, 2, 3});
    CFileStream holder, second;
    ASSERT_TRUE(holder.Open(path.c_str(), "r+b", true, kFileBufferSize));
    EXPECT_TRUE(holder.IsSameFile(path.c_str()));
    EXPECT_TRUE(holder.IsSameFile(link.c_str()));
    EXPECT_FALSE(holder.IsSameFile(dir.Path("other").c_str()));
    EXPECT_FALSE(holder.IsSameFile(dir.Path("missing").c_str()));
    EXPECT_FALSE(second.Open(path.c_str(), "rb", true, kFileBufferSize));
    EXPECT_EQ(second.GetError(), kStreamInUse);
    ASSERT_TRUE(holder.HoldLock(false));
    ASSERT_TRUE(second.Open(link.c_str(), "rb", true, kFileBufferSize));
    EXPECT_TRUE(holder.HoldLock(true));
    second.Close();
    EXPECT_FALSE(second.Open(path.c_str(), "r+b", true, kFileBufferSize));
    EXPECT_EQ(second.GetError(), kStreamInUse);
    ASSERT_TRUE(second.Open(path.c_str(), "rb", true, kFileBufferSize));
    second.Close();
    // A writer that has the file alone keeps the lock from being taken back.
    ASSERT_TRUE(holder.HoldLock(false));
    ASSERT_TRUE(second.Open(path.c_str(), "r+b", true, kFileBufferSize));
    EXPECT_FALSE(holder.HoldLock(true));
    second.Close();
    EXPECT_TRUE(holder.HoldLock(true));
    EXPECT_FALSE(CFileStream().HoldLock(true));
}

} // namespace vl
