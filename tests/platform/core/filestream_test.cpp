#include "platform/core/alloc.h"
#include "platform/core/filestream.h"
#include "tempfiles.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
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

} // namespace

TEST(FileStream, OpenFailuresByCause) {
    TempFolder dir;
    CFileStream s;
    EXPECT_FALSE(s.Open(dir.Path("missing").c_str(), "rb", true, kFileBufferSize));
    EXPECT_EQ(s.GetError(), kStreamOpenRead);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_FALSE(s.Open(dir.Path("missing").c_str(), "r+b", true, kFileBufferSize));
    EXPECT_EQ(s.GetError(), kStreamOpenRead);
    EXPECT_FALSE(s.Open(dir.Path("no/such/folder").c_str(), "w+b", false, kFileBufferSize));
    EXPECT_EQ(s.GetError(), kStreamOpenWrite);
    EXPECT_FALSE(s.Open(dir.Path("x").c_str(), "q", false, kFileBufferSize));
    EXPECT_EQ(s.GetError(), kStreamOpenWrite);
    // Success clears what an earlier open left.
    EXPECT_TRUE(s.Open(dir.Path("new").c_str(), "w+b", false, kFileBufferSize));
    EXPECT_EQ(s.GetError(), kStreamOk);
    EXPECT_TRUE(s.IsOpen());
    EXPECT_FALSE(s.IsReadOnly());
    EXPECT_EQ(s.GetPath(), dir.Path("new"));
}

// An open file is held exclusively, even against a second open in this process; only that
// is "in use", and a writer turned away leaves the file as it was.
TEST(FileStream, SecondOpenOfAnOpenFileIsInUse) {
    TempFolder dir;
    const std::string path = dir.Path("held");
    WriteBytes(path, {1, 2, 3});
    CFileStream first, second;
    ASSERT_TRUE(first.Open(path.c_str(), "rb", true, kFileBufferSize));
    EXPECT_TRUE(first.IsReadOnly());
    for (const char* mode : {"rb", "r+b"}) {
        EXPECT_FALSE(second.Open(path.c_str(), mode, true, kFileBufferSize));
        EXPECT_EQ(second.GetError(), kStreamInUse) << mode;
    }
    EXPECT_FALSE(second.Open(path.c_str(), "w+b", false, kFileBufferSize));
    EXPECT_EQ(second.GetError(), kStreamOpenWrite);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Open(path.c_str(), "r+b", true, kFileBufferSize));
    EXPECT_FALSE(second.IsReadOnly());
}

TEST(FileStream, BufferThatCannotBeHadIs42) {
    TempFolder dir;
    CFileStream s;
    {
        SetAllocFailAfter(0);
        EXPECT_FALSE(s.Open(dir.Path("f").c_str(), "w+b", false, kFileBufferSize));
        SetAllocFailAfter(-1);
    }
    EXPECT_EQ(s.GetError(), kStreamBuffer);
    EXPECT_FALSE(s.IsOpen());
    EXPECT_FALSE(s.Open(dir.Path("f").c_str(), "w+b", false, 0));
    EXPECT_EQ(s.GetError(), kStreamBuffer);
    // A buffer once had is kept for a later open that asks for no more.
    ASSERT_TRUE(s.Open(dir.Path("f").c_str(), "w+b", false, kFileBufferSize));
    const long before = AllocationCount();
    ASSERT_TRUE(s.Open(dir.Path("g").c_str(), "w+b", false, 1000));
    EXPECT_EQ(AllocationCount(), before);
}

TEST(FileStream, EmptyFileReadsNothing) {
    TempFolder dir;
    WriteBytes(dir.Path("empty"), {});
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("empty").c_str(), "rb", true, kFileBufferSize));
    uint8_t b[4];
    EXPECT_EQ(s.Read(b, 4), 0);
    EXPECT_TRUE(s.IsEof());
    EXPECT_EQ(s.Peek(), 0);
    EXPECT_EQ(s.CompareAhead("a", 1), 1);
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.GetError(), kStreamOk);
}

// Writing exactly one window's bytes writes it once and leaves an empty window behind it;
// a seek inside the window touches no file.
TEST(FileStream, WindowIsWrittenWhenFullAndNotBefore) {
    TempFolder dir;
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("w").c_str(), "w+b", false, kFileBufferSize));
    const std::vector<uint8_t> data = Pattern(kFileBufferSize);
    ASSERT_TRUE(s.Write(data.data(), 100));
    ASSERT_TRUE(s.Seek(kSeekStart, 10));
    EXPECT_EQ(s.GetLength(), 0);
    ASSERT_TRUE(s.Seek(kSeekStart, 0));
    ASSERT_TRUE(s.Write(data.data(), kFileBufferSize));
    EXPECT_EQ(s.GetPosition(), kFileBufferSize);
    EXPECT_EQ(s.GetLength(), kFileBufferSize);
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
TEST(FileStream, RandomAccessMatchesAByteVector) {
    TempFolder dir;
    const std::string path = dir.Path("r");
    CFileStream s;
    ASSERT_TRUE(s.Open(path.c_str(), "w+b", false, 37));
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
    EXPECT_EQ(ReadBytes(path), model);
}

TEST(FileStream, SeekFromTheEnd) {
    TempFolder dir;
    WriteBytes(dir.Path("p"), Pattern(50));
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("p").c_str(), "r+b", false, kFileBufferSize));
    ASSERT_TRUE(s.Seek(kSeekEnd, -20)); // the offset does not count
    EXPECT_EQ(s.GetPosition(), 50);
    ASSERT_TRUE(s.Write("xy", 2)); // unwritten bytes count as part of the end
    ASSERT_TRUE(s.Seek(kSeekEnd, 0));
    EXPECT_EQ(s.GetPosition(), 52);
    EXPECT_TRUE(s.Close());

    // Any gzip layer refuses, even one that reads a plain file as it is.
    for (const char* mode : {"w+b", "rb"}) {
        CFileStream gz;
        ASSERT_TRUE(gz.Open(dir.Path("p").c_str(), mode, true, kFileBufferSize));
        EXPECT_FALSE(gz.Seek(kSeekEnd, 0));
        EXPECT_EQ(gz.GetError(), kStreamSeek);
    }
}

TEST(FileStream, GzipLayerReadsCompressedAndPlainFilesAlike) {
    TempFolder dir;
    const std::vector<uint8_t> data = Pattern(700000);
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("c").c_str(), "w+b", true, 1000));
    EXPECT_TRUE(s.IsCompressed());
    ASSERT_TRUE(s.Write(data.data(), int32_t(data.size())));
    ASSERT_TRUE(s.Flush());
    ASSERT_TRUE(s.Close());
    const std::vector<uint8_t> stored = ReadBytes(dir.Path("c"));
    ASSERT_GE(stored.size(), 2u);
    EXPECT_EQ(stored[0], 0x1F);
    EXPECT_EQ(stored[1], 0x8B);

    WriteBytes(dir.Path("p"), data);
    for (const char* name : {"c", "p"}) {
        ASSERT_TRUE(s.Open(dir.Path(name).c_str(), "rb", true, kFileBufferSize));
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

TEST(FileStream, PeekNextAndCompareAheadConsumeNothing) {
    TempFolder dir;
    WriteBytes(dir.Path("t"), {'<', '?', 'x', 'm', 'l', 0xF0});
    CFileStream s;
    // A window of 4 bytes makes the comparisons cross its edge.
    ASSERT_TRUE(s.Open(dir.Path("t").c_str(), "rb", false, 4));
    struct Case {
        const char* literal;
        int32_t length;
        int result;
    } cases[] = {
        {"<?xml", 5, 0},      {"<?xmm", 5, 1},      {"<?xmk", 5, -1},
        {"", 0, 0},           {"<?xml\xF0!", 7, 1}, // runs past the end
        {"<?xml\x7F", 6, -1},                       // bytes compare unsigned
    };
    for (const Case& c : cases) {
        EXPECT_EQ(s.CompareAhead(c.literal, c.length), c.result) << c.literal;
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

TEST(FileStream, EncryptionRunsOneKeyStreamAcrossChunksAndCalls) {
    TempFolder dir;
    const std::vector<uint8_t> data = Pattern(5000);
    const std::vector<uint8_t> original = data;
    CryptoContext key;
    ASSERT_TRUE(DeriveRc4Key("secret", kKeyBits128, key));
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("e").c_str(), "w+b", false, kFileBufferSize));
    ASSERT_TRUE(s.WriteEncrypt(data.data(), 5000, &key));
    EXPECT_EQ(data, original);
    ASSERT_TRUE(s.Close());

    CryptoContext once;
    ASSERT_TRUE(DeriveRc4Key("secret", kKeyBits128, once));
    std::vector<uint8_t> expected = data;
    ASSERT_TRUE(Rc4Crypt(once, expected.data(), expected.size()));
    EXPECT_EQ(ReadBytes(dir.Path("e")), expected);

    // Read back in uneven pieces under a fresh key.
    CryptoContext again;
    ASSERT_TRUE(DeriveRc4Key("secret", kKeyBits128, again));
    ASSERT_TRUE(s.Open(dir.Path("e").c_str(), "rb", false, 777));
    std::vector<uint8_t> back(5000);
    int32_t done = 0;
    for (int32_t piece : {1, 2047, 2049, 903})
        done += s.ReadDecrypt(back.data() + done, piece, &again);
    EXPECT_EQ(done, 5000);
    EXPECT_EQ(back, data);
}

TEST(FileStream, EncryptionWithoutAKeyFails) {
    TempFolder dir;
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("k").c_str(), "w+b", false, kFileBufferSize));
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
TEST(FileStream, FirstErrorSticksAndCloseReportsIt) {
    CFileStream s;
    ASSERT_TRUE(s.Open("/dev/full", "r+b", false, 64));
    ASSERT_TRUE(s.Write("0123456789", 10));
    EXPECT_FALSE(s.Flush());
    EXPECT_EQ(s.GetError(), kStreamRead);
    EXPECT_FALSE(s.Seek(kSeekCurrent, -100));
    EXPECT_EQ(s.GetError(), kStreamRead);
    EXPECT_FALSE(s.Close());
    EXPECT_EQ(s.GetError(), kStreamRead);
    EXPECT_FALSE(s.IsOpen());
}

TEST(FileStream, ReadErrorAndSeekErrorCodes) {
    TempFolder dir;
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Dir().c_str(), "rb", false, kFileBufferSize));
    uint8_t b[4];
    EXPECT_EQ(s.Read(b, 4), 0);
    EXPECT_EQ(s.GetError(), kStreamRead);

    WriteBytes(dir.Path("f"), Pattern(10));
    ASSERT_TRUE(s.Open(dir.Path("f").c_str(), "rb", false, kFileBufferSize));
    EXPECT_FALSE(s.Seek(kSeekStart, -1));
    EXPECT_EQ(s.GetError(), kStreamSeek);
    EXPECT_EQ(s.ReadAt(b, 4, kSeekCurrent, -5), 0);
}

TEST(FileStream, ReopenStartsAPassOverTheSameFile) {
    TempFolder dir;
    const std::string path = dir.Path("doc");
    WriteBytes(path, Pattern(5000));
    CFileStream s;
    EXPECT_FALSE(s.Reopen("w+b", true));
    ASSERT_TRUE(s.Open(path.c_str(), "r+b", true, kFileBufferSize));
    uint8_t b[10];
    ASSERT_EQ(s.Read(b, 10), 10);
    s.SavePosition();
    ASSERT_TRUE(s.Reopen("w+b", true));
    EXPECT_EQ(s.GetPosition(), 0);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_TRUE(s.IsCompressed());
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

TEST(FileStream, NamedFileQueries) {
    TempFolder dir;
    const std::string path = dir.Path("q");
    uint8_t status = 0;
    EXPECT_FALSE(CFileStream::FileExists(path.c_str()));
    EXPECT_EQ(CFileStream::GetFileSize(path.c_str(), &status), 0);
    EXPECT_EQ(status, kStreamFileSize);
    status = 0;
    EXPECT_FALSE(CFileStream::DeleteFile(path.c_str(), &status));
    EXPECT_EQ(status, kStreamDelete);
    WriteBytes(path, Pattern(123));
    EXPECT_TRUE(CFileStream::FileExists(path.c_str()));
    EXPECT_EQ(CFileStream::GetFileSize(path.c_str(), nullptr), 123);
    EXPECT_TRUE(CFileStream::DeleteFile(path.c_str(), nullptr));
    EXPECT_FALSE(CFileStream::FileExists(path.c_str()));
}

// A file written aside replaces the document under its name, keeps the document's
// permissions and stays held.
TEST(FileStream, RenameReplacesTheTargetAndKeepsTheLock) {
    TempFolder dir;
    const std::string target = dir.Path("doc.vlb");
    WriteBytes(target, {9, 9});
    chmod(target.c_str(), 0640);
    CFileStream s;
    ASSERT_TRUE(s.Open(dir.Path("tmp").c_str(), "w+bx", false, kFileBufferSize));
    CFileStream clash;
    EXPECT_FALSE(clash.Open(dir.Path("tmp").c_str(), "w+bx", false, kFileBufferSize));
    ASSERT_TRUE(s.Write("new", 3));
    ASSERT_TRUE(s.Flush());
    ASSERT_TRUE(s.RenameTo(target.c_str()));
    EXPECT_EQ(s.GetPath(), target);
    EXPECT_FALSE(CFileStream::FileExists(dir.Path("tmp").c_str()));
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    CFileStream other;
    EXPECT_FALSE(other.Open(target.c_str(), "rb", true, kFileBufferSize));
    EXPECT_EQ(other.GetError(), kStreamInUse);
    EXPECT_FALSE(s.RenameTo(dir.Path("no/such/place").c_str()));
    EXPECT_EQ(s.GetError(), kStreamWrite);
}

TEST(FileStream, SwapExchangesOpenFiles) {
    TempFolder dir;
    WriteBytes(dir.Path("a"), {'a'});
    CFileStream a, b;
    ASSERT_TRUE(a.Open(dir.Path("a").c_str(), "rb", false, kFileBufferSize));
    a.Swap(b);
    EXPECT_FALSE(a.IsOpen());
    ASSERT_TRUE(b.IsOpen());
    EXPECT_EQ(b.Peek(), 'a');
    EXPECT_EQ(b.GetPath(), dir.Path("a"));
}

} // namespace vl
