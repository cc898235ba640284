#include "platform/core/alloc.h"
#include "platform/core/filestream.h"
#include "tempfiles.h"
#include "tests/common/recordlock.h"

#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <vector>
#include <zlib.h>

namespace vl {

using tempfiles::ReadBytes;
using tempfiles::TempFolder;
using tempfiles::WriteBytes;

namespace {

std::vector<uint8_t> Pattern(size_t n, uint8_t seed = 7) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = uint8_t(i * 31 + seed + (i >> 9));
    return v;
}

// A stream `s` on files of a folder of the test's own.
class FileStreamTest : public ::testing::Test {
protected:
    bool Open(CFileStream& stream, const char* name, const char* mode, bool gzip = false,
              int32_t buffer = kFileBufferSize) {
        return stream.Open(dir.Path(name).c_str(), mode, gzip, buffer);
    }
    bool Open(const char* name, const char* mode, bool gzip = false,
              int32_t buffer = kFileBufferSize) {
        return Open(s, name, mode, gzip, buffer);
    }

    TempFolder dir;
    CFileStream s;
};

} // namespace

TEST_F(FileStreamTest, OpenFailuresByCause) {
    const std::tuple<const char*, const char*, bool, uint8_t> cases[] = {
        {"missing", "rb", true, kStreamOpenRead},
        {"missing", "r+b", true, kStreamOpenRead},
        {"no/such/folder", "w+b", false, kStreamOpenWrite},
        {"x", "q", false, kStreamOpenWrite},
    };
    for (auto [name, mode, gzip, error] : cases) {
        EXPECT_FALSE(Open(name, mode, gzip)) << name << " " << mode;
        EXPECT_EQ(std::pair(s.GetError(), s.IsOpen()), std::pair(error, false)) << mode;
    }
    // Success clears what an earlier open left.
    EXPECT_TRUE(Open("new", "w+b"));
    EXPECT_EQ(std::tuple(s.GetError(), s.IsOpen(), s.IsReadOnly(), s.GetPath()),
              std::tuple(kErrorNone, true, false, dir.Path("new")));
}

// Readers share a file, even against a second open in this process; a writer has it alone.
// Only a lock conflict is "in use", and a writer turned away leaves the file as it was.
TEST_F(FileStreamTest, SecondOpenOfAnOpenFileIsInUse) {
    WriteBytes(dir.Path("held"), {1, 2, 3});
    CFileStream second;
    ASSERT_TRUE(Open("held", "rb", true));
    EXPECT_TRUE(s.IsReadOnly());
    for (auto [mode, error] :
         {std::pair("rb", kErrorNone), {"r+b", kStreamInUse}, {"w+b", kStreamOpenWrite}}) {
        EXPECT_EQ(Open(second, "held", mode, mode[0] == 'r'), error == kErrorNone) << mode;
        EXPECT_EQ(second.GetError(), error) << mode;
        second.Close();
    }
    EXPECT_EQ(ReadBytes(dir.Path("held")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(s.Close());
    ASSERT_TRUE(Open("held", "r+b", true));
    for (const char* mode : {"rb", "r+b", "r+bn"}) {
        EXPECT_FALSE(Open(second, "held", mode, true)) << mode;
        EXPECT_EQ(second.GetError(), kStreamInUse) << mode;
    }
    // A reader that takes no hold still reads what the writer holds alone, read-only.
    ASSERT_TRUE(Open(second, "held", "rbn", true));
    EXPECT_TRUE(second.IsReadOnly());
    uint8_t bytes[3] = {};
    EXPECT_EQ(second.ReadAt(bytes, 3, kSeekStart, 0), 3);
    EXPECT_EQ(bytes[2], 3);
    second.Close();
    EXPECT_TRUE(s.Close());
    EXPECT_TRUE(Open(second, "held", "r+b", true));
    EXPECT_FALSE(second.IsReadOnly());
}

// Another process's record lock, of either kind and either owner, on the whole file or a
// single byte of it, keeps writers out as a flock hold does: "r+b" is in use, "w+b" refused
// with the file left as it was. Readers still read it; once the lock is gone, a writer opens.
TEST_F(FileStreamTest, ARecordLockElsewhereKeepsWritersOut) {
    using testlock::RecordLock;
    const std::vector<uint8_t> bytes = {1, 2, 3, 4};
    const std::string path = dir.Path("locked");
    for (const RecordLock kind : {RecordLock::kProcessRead, RecordLock::kProcessWrite,
                                  RecordLock::kOfdRead, RecordLock::kOfdWrite}) {
        for (const off_t start : {0, 3}) {
            SCOPED_TRACE(std::string(testlock::LockName(kind)) + " from " + std::to_string(start));
            WriteBytes(path, bytes);
            testlock::RecordLockingProcess holder(path, kind, start, start ? 1 : 0);
            ASSERT_TRUE(holder.Held());
            CFileStream stream;
            for (auto [mode, error] : {std::pair("r+b", kStreamInUse),
                                       {"w+b", kStreamOpenWrite},
                                       {"ab", kStreamOpenWrite},
                                       {"rb", kErrorNone}}) {
                EXPECT_EQ(Open(stream, "locked", mode), error == kErrorNone) << mode;
                EXPECT_EQ(std::pair(stream.GetError(), stream.IsOpen()),
                          std::pair(uint8_t(error), error == kErrorNone))
                    << mode;
            }
            EXPECT_TRUE(stream.IsReadOnly());
            stream.Close();
            EXPECT_EQ(ReadBytes(path), bytes);
            holder.Release();
            EXPECT_TRUE(Open(stream, "locked", "r+b"));
            EXPECT_FALSE(stream.IsReadOnly());
        }
    }
}

TEST_F(FileStreamTest, BufferThatCannotBeHadIs42) {
    SetAllocFailAfter(0);
    EXPECT_FALSE(Open("f", "w+b"));
    SetAllocFailAfter(-1);
    EXPECT_EQ(std::pair(s.GetError(), s.IsOpen()), std::pair(uint8_t(kStreamBuffer), false));
    EXPECT_FALSE(Open("f", "w+b", false, 0));
    EXPECT_EQ(s.GetError(), kStreamBuffer);
    // A buffer once had is kept for a later open that asks for no more.
    ASSERT_TRUE(Open("f", "w+b"));
    const long before = AllocationCount();
    ASSERT_TRUE(Open("g", "w+b", false, 1000));
    EXPECT_EQ(AllocationCount(), before);
}

TEST_F(FileStreamTest, EmptyFileReadsNothing) {
    WriteBytes(dir.Path("empty"), {});
    ASSERT_TRUE(Open("empty", "rb", true));
    uint8_t b[4];
    EXPECT_EQ(s.Read(b, 4), 0);
    EXPECT_TRUE(s.IsEof());
    EXPECT_EQ(s.Peek(), 0);
    EXPECT_EQ(std::pair(s.GetPosition(), s.GetError()), std::pair(0, uint8_t(kErrorNone)));
}

// Writing exactly one window's bytes writes it once and leaves an empty window behind it;
// a seek inside the window touches no file.
TEST_F(FileStreamTest, WindowIsWrittenWhenFullAndNotBefore) {
    ASSERT_TRUE(Open("w", "w+b"));
    const std::vector<uint8_t> data = Pattern(kFileBufferSize);
    ASSERT_TRUE(s.Write(data.data(), 100));
    ASSERT_TRUE(s.Seek(kSeekStart, 10));
    EXPECT_EQ(s.GetLength(), 0);
    ASSERT_TRUE(s.Seek(kSeekStart, 0));
    ASSERT_TRUE(s.Write(data.data(), kFileBufferSize));
    EXPECT_EQ(std::pair(s.GetPosition(), s.GetLength()),
              std::pair(kFileBufferSize, kFileBufferSize));
    ASSERT_TRUE(s.Write(data.data(), 1));
    EXPECT_EQ(s.GetLength(), kFileBufferSize);
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(s.GetLength(), kFileBufferSize + 1);
    EXPECT_TRUE(s.Close());
    std::vector<uint8_t> expected = data;
    expected.push_back(data[0]);
    EXPECT_EQ(ReadBytes(dir.Path("w")), expected);
}

// Random writes, reads and seeks through a small window agree with a plain byte vector.
TEST_F(FileStreamTest, RandomAccessMatchesAByteVector) {
    ASSERT_TRUE(Open("r", "w+b", false, 37));
    std::vector<uint8_t> model;
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFF; };
    for (int step = 0; step < 4000; ++step) {
        const int32_t at = int32_t(next() % (model.size() + 20));
        const int32_t n = int32_t(next() % 90);
        if (next() % 2) {
            const std::vector<uint8_t> bytes = Pattern(size_t(n), uint8_t(step));
            ASSERT_TRUE(s.WriteAt(bytes.data(), n, kSeekStart, at));
            if (model.size() < size_t(at + n)) model.resize(size_t(at + n), 0);
            std::copy(bytes.begin(), bytes.end(), model.begin() + at);
        } else {
            std::vector<uint8_t> got(size_t(n) + 1, 0xEE);
            const int32_t count = s.ReadAt(got.data(), n, kSeekStart, at);
            const int32_t expect =
                at >= int32_t(model.size()) ? 0 : std::min<int32_t>(n, int32_t(model.size()) - at);
            ASSERT_EQ(count, expect) << "step " << step;
            for (int32_t i = 0; i < count; ++i) ASSERT_EQ(got[size_t(i)], model[size_t(at + i)]);
            EXPECT_EQ(got[size_t(count)], 0xEE); // nothing past what was read
        }
    }
    ASSERT_TRUE(s.Close());
    EXPECT_EQ(ReadBytes(dir.Path("r")), model);
}

TEST_F(FileStreamTest, SeekFromTheEnd) {
    WriteBytes(dir.Path("p"), Pattern(50));
    ASSERT_TRUE(Open("p", "r+b"));
    ASSERT_TRUE(s.Seek(kSeekEnd, -20)); // the offset does not count
    EXPECT_EQ(s.GetPosition(), 50);
    ASSERT_TRUE(s.Write("xy", 2)); // unwritten bytes count as part of the end
    ASSERT_TRUE(s.Seek(kSeekEnd, 0));
    EXPECT_EQ(s.GetPosition(), 52);
    EXPECT_TRUE(s.Close());
    // Any gzip layer refuses, even one that reads a plain file as it is.
    for (const char* mode : {"w+b", "rb"}) {
        CFileStream gz;
        ASSERT_TRUE(Open(gz, "p", mode, true));
        EXPECT_FALSE(gz.Seek(kSeekEnd, 0));
        EXPECT_EQ(gz.GetError(), kStreamSeek);
    }
}

TEST_F(FileStreamTest, GzipLayerReadsCompressedAndPlainFilesAlike) {
    const std::vector<uint8_t> data = Pattern(700000);
    ASSERT_TRUE(Open("c", "w+b", true, 1000));
    EXPECT_TRUE(s.IsCompressed());
    ASSERT_TRUE(s.Write(data.data(), int32_t(data.size())));
    ASSERT_TRUE(s.Flush());
    ASSERT_TRUE(s.Close());
    const std::vector<uint8_t> stored = ReadBytes(dir.Path("c"));
    ASSERT_GE(stored.size(), 2u);
    EXPECT_EQ(std::pair(stored[0], stored[1]), std::pair(uint8_t(0x1F), uint8_t(0x8B)));
    WriteBytes(dir.Path("p"), data);
    for (const char* name : {"c", "p"}) {
        ASSERT_TRUE(Open(name, "rb", true));
        EXPECT_EQ(s.IsCompressed(), name[0] == 'c');
        std::vector<uint8_t> back(data.size() + 10);
        EXPECT_EQ(s.Read(back.data(), int32_t(back.size())), int32_t(data.size()));
        back.resize(data.size());
        EXPECT_EQ(back, data) << name;
        EXPECT_TRUE(s.IsEof());
        // A backward seek outside the window reads the gzip stream again from its start.
        uint8_t b[3];
        EXPECT_EQ(s.ReadAt(b, 3, kSeekStart, 1), 3);
        EXPECT_EQ(b[2], data[3]);
        EXPECT_EQ(s.GetLength(), int32_t(ReadBytes(dir.Path(name)).size()));
        EXPECT_TRUE(s.Close());
    }
}

TEST_F(FileStreamTest, PeekNextAndCompareAheadConsumeNothing) {
    WriteBytes(dir.Path("t"), {'<', '?', 'x', 'm', 'l', 0xF0});
    ASSERT_TRUE(Open("t", "rb", false, 4)); // comparisons cross the 4-byte window's edge
    const std::tuple<const char*, int32_t, int> cases[] = {
        {"<?xml", 5, 0},      {"<?xmm", 5, 1},      {"<?xmk", 5, -1},
        {"", 0, 0},           {"<?xml\xF0!", 7, 1}, // runs past the end
        {"<?xml\x7F", 6, -1},                       // bytes compare unsigned
    };
    for (auto [literal, length, result] : cases) {
        EXPECT_EQ(s.CompareAhead(literal, length), result) << literal;
        EXPECT_EQ(s.GetPosition(), 0);
    }
    EXPECT_EQ(s.Peek(), '<');
    ASSERT_TRUE(s.Next());
    ASSERT_TRUE(s.Skip(3));
    EXPECT_EQ(s.Peek(), 'l');
    s.SavePosition();
    ASSERT_TRUE(s.Skip(2));
    EXPECT_TRUE(s.IsEof());
    EXPECT_EQ(s.CompareAhead("a", 1), 1);
    EXPECT_EQ(s.GetPosition(), 6);
    ASSERT_TRUE(s.RestorePosition());
    EXPECT_EQ(s.Peek(), 'l');
    EXPECT_FALSE(s.IsEof());
}

TEST_F(FileStreamTest, EncryptionRunsOneKeyStreamAcrossChunksAndCalls) {
    const std::vector<uint8_t> data = Pattern(5000), original = data;
    CryptoContext key, once, again;
    for (CryptoContext* k : {&key, &once, &again})
        ASSERT_TRUE(DeriveRc4Key("secret", kKeyBits128, *k));
    ASSERT_TRUE(Open("e", "w+b"));
    ASSERT_TRUE(s.WriteEncrypt(data.data(), 5000, &key));
    EXPECT_EQ(data, original);
    ASSERT_TRUE(s.Close());
    std::vector<uint8_t> expected = data;
    ASSERT_TRUE(Rc4Crypt(once, expected.data(), expected.size()));
    EXPECT_EQ(ReadBytes(dir.Path("e")), expected);
    // Read back in uneven pieces under a fresh key.
    ASSERT_TRUE(Open("e", "rb", false, 777));
    std::vector<uint8_t> back(5000);
    int32_t done = 0;
    for (int32_t piece : {1, 2047, 2049, 903})
        done += s.ReadDecrypt(back.data() + done, piece, &again);
    EXPECT_EQ(done, 5000);
    EXPECT_EQ(back, data);
}

TEST_F(FileStreamTest, EncryptionWithoutAKeyFails) {
    ASSERT_TRUE(Open("k", "w+b"));
    CryptoContext none;
    EXPECT_FALSE(s.WriteEncrypt("abc", 3, &none));
    EXPECT_EQ(s.GetError(), kStreamEncrypt);
    ASSERT_TRUE(s.Write("abc", 3));
    ASSERT_TRUE(s.Seek(kSeekStart, 0));
    uint8_t b[3];
    EXPECT_EQ(s.ReadDecrypt(b, 3, &none), 0);
    EXPECT_EQ(s.GetError(), kStreamDecrypt);
    EXPECT_EQ(s.ReadDecrypt(b, 3, nullptr), 3); // no context: plain
}

// The first close, seek or read/write error sticks; Close reports a failed write-back.
TEST_F(FileStreamTest, FirstErrorSticksAndCloseReportsIt) {
    // A file that may not grow past 5 bytes: the write-back of 10 falls short.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small{5, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ASSERT_TRUE(Open("full", "w+b", false, 64));
    ASSERT_TRUE(s.Write("0123456789", 10));
    EXPECT_FALSE(s.Flush());
    EXPECT_EQ(s.GetError(), kStreamRead);
    EXPECT_FALSE(s.Seek(kSeekCurrent, -100));
    EXPECT_EQ(s.GetError(), kStreamRead);
    EXPECT_FALSE(s.Close());
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(std::pair(s.GetError(), s.IsOpen()), std::pair(uint8_t(kStreamRead), false));
}

TEST_F(FileStreamTest, ReadErrorAndSeekErrorCodes) {
    // A file opened only for writing cannot be read.
    ASSERT_TRUE(Open("writeonly", "wb"));
    uint8_t b[4];
    EXPECT_EQ(s.Read(b, 4), 0);
    EXPECT_EQ(s.GetError(), kStreamRead);
    WriteBytes(dir.Path("f"), Pattern(10));
    ASSERT_TRUE(Open("f", "rb"));
    EXPECT_FALSE(s.Seek(kSeekStart, -1));
    EXPECT_EQ(s.GetError(), kStreamSeek);
    EXPECT_EQ(s.ReadAt(b, 4, kSeekCurrent, -5), 0);
}

// An error kept from an earlier call does not turn the end of the file into a failure:
// a read that runs into the end still hands over the bytes it copied.
TEST_F(FileStreamTest, ReadToTheEndAfterAnEarlierErrorKeepsItsBytes) {
    const std::vector<uint8_t> data = Pattern(10);
    WriteBytes(dir.Path("f"), data);
    for (const bool gzip : {false, true}) {
        ASSERT_TRUE(Open("f", "rb", gzip, 4));
        EXPECT_FALSE(s.Seek(kSeekStart, -1));
        ASSERT_EQ(s.GetError(), kStreamSeek);
        std::vector<uint8_t> back(16, 0xEE);
        EXPECT_EQ(s.ReadAt(back.data(), 16, kSeekStart, 3), 7);
        EXPECT_EQ(std::vector<uint8_t>(back.begin(), back.begin() + 7),
                  std::vector<uint8_t>(data.begin() + 3, data.end()));
        EXPECT_EQ(back[7], 0xEE);
        EXPECT_EQ(std::tuple(s.GetPosition(), s.IsEof(), s.GetError()),
                  std::tuple(10, true, uint8_t(kStreamSeek)));
    }
}

TEST_F(FileStreamTest, ReopenStartsAPassOverTheSameFile) {
    WriteBytes(dir.Path("doc"), Pattern(5000));
    EXPECT_FALSE(s.Reopen("w+b", true));
    ASSERT_TRUE(Open("doc", "r+b", true));
    uint8_t b[10];
    ASSERT_EQ(s.Read(b, 10), 10);
    s.SavePosition();
    ASSERT_TRUE(s.Reopen("w+b", true));
    EXPECT_EQ(std::tuple(s.GetPosition(), s.GetLength(), s.IsCompressed()), std::tuple(0, 0, true));
    const std::vector<uint8_t> data = Pattern(3000, 99);
    ASSERT_TRUE(s.Write(data.data(), 3000));
    ASSERT_TRUE(s.Flush());
    ASSERT_TRUE(s.Reopen("rb", true));
    EXPECT_TRUE(s.IsCompressed());
    std::vector<uint8_t> back(3000);
    EXPECT_EQ(s.Read(back.data(), 3000), 3000);
    EXPECT_EQ(back, data);
    ASSERT_TRUE(s.RestorePosition()); // the saved position survives
    EXPECT_EQ(s.GetPosition(), 10);
    EXPECT_TRUE(s.Close());
    EXPECT_FALSE(s.Close());
}

TEST_F(FileStreamTest, NamedFileQueries) {
    const std::string path = dir.Path("q");
    uint8_t size = 0, deleted = 0;
    EXPECT_FALSE(CFileStream::FileExists(path.c_str()));
    EXPECT_EQ(CFileStream::GetFileSize(path.c_str(), &size), 0);
    EXPECT_FALSE(CFileStream::DeleteFile(path.c_str(), &deleted));
    EXPECT_EQ(std::pair(size, deleted),
              std::pair(uint8_t(kStreamFileSize), uint8_t(kStreamDelete)));
    WriteBytes(path, Pattern(123));
    EXPECT_TRUE(CFileStream::FileExists(path.c_str()));
    EXPECT_EQ(CFileStream::GetFileSize(path.c_str(), nullptr), 123);
    EXPECT_TRUE(CFileStream::DeleteFile(path.c_str(), nullptr));
    EXPECT_FALSE(CFileStream::FileExists(path.c_str()));
}

// A file written aside replaces the document under its name, keeps the document's
// permissions and stays held.
TEST_F(FileStreamTest, RenameReplacesTheTargetAndKeepsTheLock) {
    const std::string target = dir.Path("doc.vlb");
    WriteBytes(target, {9, 9});
    chmod(target.c_str(), 0640);
    CFileStream clash, other;
    ASSERT_TRUE(Open("tmp", "w+bx"));
    EXPECT_FALSE(Open(clash, "tmp", "w+bx"));
    ASSERT_TRUE(s.Write("new", 3));
    ASSERT_TRUE(s.Flush());
    ASSERT_TRUE(s.RenameTo(target.c_str()));
    EXPECT_EQ(s.GetPath(), target);
    EXPECT_FALSE(CFileStream::FileExists(dir.Path("tmp").c_str()));
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(Open(other, "doc.vlb", "rb", true));
    EXPECT_EQ(other.GetError(), kStreamInUse);
    EXPECT_FALSE(s.RenameTo(dir.Path("no/such/place").c_str()));
    EXPECT_EQ(s.GetError(), kStreamWrite);
}

TEST_F(FileStreamTest, SwapExchangesOpenFiles) {
    WriteBytes(dir.Path("a"), {'a'});
    CFileStream b;
    ASSERT_TRUE(Open("a", "rb"));
    s.Swap(b);
    EXPECT_FALSE(s.IsOpen());
    ASSERT_TRUE(b.IsOpen());
    EXPECT_EQ(b.Peek(), 'a');
    EXPECT_EQ(b.GetPath(), dir.Path("a"));
}

} // namespace vl
