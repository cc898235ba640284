// Memo files: block numbers and layouts of each format, and memo files that must give an
// empty text instead of a read past their end.
#include "exchange/memofile.h"
#include "files/savetarget.h"
#include "platform/core/bytes.h"
#include "tests/exchange/exchangetestutil.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

struct Written {
    std::vector<uint32_t> blocks;
    std::string file;
};

Written WriteMemos(const TempFolder& dir, uint8_t format, const std::vector<std::string>& texts) {
    Written w;
    const std::string table = dir.Path("memo.dbf");
    const std::string memo = MemoFilePath(table, format);
    CMemoWriter writer(memo, table, format);
    uint8_t error = 0;
    EXPECT_TRUE(writer.Prepare(error));
    for (const std::string& t : texts) {
        uint32_t block = 0;
        EXPECT_TRUE(writer.Write(t, block, error));
        w.blocks.push_back(block);
    }
    EXPECT_TRUE(writer.Finish(error));
    // The finished file waits for its table, which a test plays here.
    EXPECT_EQ(std::rename(PairPath(memo).c_str(), memo.c_str()), 0);
    w.file = ReadFile(memo);
    return w;
}

TEST(MemoFile, Names) {
    EXPECT_EQ(MemoFilePath("/a.b/t.dbf", 3), "/a.b/t.dbt");
    EXPECT_EQ(MemoFilePath("/a.b/t", 4), "/a.b/t.dbt");
    EXPECT_EQ(MemoFilePath("/a.b/t.x.DBF", 5), "/a.b/t.x.fpt");
    EXPECT_EQ(MemoFilePath("t.dbf", 6), "t.dbt");
}

TEST(MemoFile, BlocksOfEachFormat) {
    struct Case {
        uint8_t format;
        std::vector<std::string> texts;
        std::vector<uint32_t> blocks;
        uint32_t size;
    };
    const std::vector<Case> cases = {
        {3, {std::string(510, 'a'), std::string(511, 'b'), "c", "c"}, {1, 2, 4, 5}, 6 * 512},
        {6, {"", "x"}, {0, 1}, 2 * 512},
        {4, {std::string(504, 'a'), std::string(505, 'b'), "c"}, {1, 2, 4}, 5 * 512},
        {5, {std::string(56, 'a'), std::string(57, 'b'), "c"}, {8, 9, 11}, 12 * 64},
    };
    for (const Case& c : cases) {
        TempFolder dir;
        const Written w = WriteMemos(dir, c.format, c.texts);
        EXPECT_EQ(w.blocks, c.blocks) << int(c.format);
        ASSERT_EQ(w.file.size(), c.size) << int(c.format);
        const auto* bytes = reinterpret_cast<const uint8_t*>(w.file.data());
        CMemoReader reader;
        ASSERT_TRUE(reader.Open(dir.Path("memo.dbf"), c.format));
        for (size_t i = 0; i < c.texts.size(); ++i) {
            std::string text;
            EXPECT_TRUE(reader.Read(c.blocks[i], text));
            EXPECT_EQ(text, c.texts[i]) << int(c.format) << " " << i;
        }
        if (c.format == 5) {
            EXPECT_EQ(bytes[6], 0x00);
            EXPECT_EQ(bytes[7], 0x40);
            EXPECT_EQ(bytes[3], 12); // next free block, big-endian
        } else {
            EXPECT_EQ(LoadU32(bytes), c.size / 512);
        }
        if (c.format == 4) {
            EXPECT_EQ(w.file.substr(8, 8), std::string("MEMO\0\0\0\0", 8));
            EXPECT_EQ(LoadU16(bytes + 20), 512);
            EXPECT_EQ(w.file.substr(512, 8), std::string("\xFF\xFF\x08\x00\x00\x02\x00\x00", 8));
        }
        if (c.format == 3) {
            EXPECT_EQ(w.file.substr(512 + 510, 2), "\x1A\x1A");
        }
    }
}

// The memo file a table has is not touched while the new one is written: the new file waits
// under its pair name, starts at block 1, and one that is dropped unfinished leaves nothing.
TEST(MemoFile, TheOldMemoStaysUntilTheTablePutsTheNewInPlace) {
    TempFolder dir;
    std::string file(512, '\0');
    file[0] = 2;
    file += "old\x1A\x1A";
    const std::string memo = dir.Path("memo.dbt");
    WriteFile(memo, file);
    {
        CMemoWriter writer(memo, dir.Path("memo.dbf"), 3);
        uint32_t block = 0;
        uint8_t error = 0;
        ASSERT_TRUE(writer.Prepare(error));
        ASSERT_TRUE(writer.Write("new", block, error));
        EXPECT_EQ(block, 1u);
        ASSERT_TRUE(writer.Finish(error));
    }
    EXPECT_EQ(ReadFile(memo), file);
    const std::string waiting = ReadFile(PairPath(memo));
    ASSERT_EQ(waiting.size(), 1024u);
    EXPECT_EQ(waiting.substr(512, 5), "new\x1A\x1A");
    std::filesystem::remove(PairPath(memo));
    {
        CMemoWriter dropped(memo, dir.Path("memo.dbf"), 3);
        uint32_t block = 0;
        uint8_t error = 0;
        ASSERT_TRUE(dropped.Write("lost", block, error));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(MemoFile, LongTextsAreCutAtTheCellLimit) {
    for (uint8_t format : {3, 4, 5}) {
        TempFolder dir;
        const Written w = WriteMemos(dir, format, {std::string(kMaxCellText + 5, 'z')});
        CMemoReader reader;
        ASSERT_TRUE(reader.Open(dir.Path("memo.dbf"), format));
        std::string text;
        EXPECT_TRUE(reader.Read(w.blocks[0], text));
        EXPECT_EQ(text.size(), kMaxCellText) << int(format);
    }
}

struct BadMemo {
    const char* name;
    uint8_t format;
    std::string file;
    uint32_t block;
};

std::string Header(uint8_t format, uint16_t blockSize) {
    std::string h(512, '\0');
    if (format == 4) {
        h[20] = char(blockSize & 0xFF);
        h[21] = char(blockSize >> 8);
    } else if (format == 5) {
        h[6] = char(blockSize >> 8);
        h[7] = char(blockSize & 0xFF);
    }
    return h;
}

TEST(MemoFile, DamagedFilesGiveEmptyTexts) {
    const std::vector<BadMemo> cases = {
        {"dBase IV block size 0", 4, Header(4, 0) + std::string(512, 'x'), 1},
        {"FoxPro block size 0", 5, Header(5, 0) + std::string(512, 'x'), 8},
        {"stored length 3", 4,
         Header(4, 512) + std::string("\xFF\xFF\x08\x00\x03\x00\x00\x00", 8) + "abc", 1},
        {"block past the end", 4, Header(4, 512), 7},
        {"huge block", 5, Header(5, 64), 0xFFFFFFFF},
        {"cut block head", 5, Header(5, 64) + "\x00\x00", 8},
        {"dBase III past the end", 3, Header(3, 0), 2},
    };
    for (const BadMemo& c : cases) {
        TempFolder dir;
        WriteFile(MemoFilePath(dir.Path("t.dbf"), c.format), c.file);
        CMemoReader reader;
        ASSERT_TRUE(reader.Open(dir.Path("t.dbf"), c.format)) << c.name;
        std::string text = "before";
        EXPECT_TRUE(reader.Read(c.block, text)) << c.name;
        EXPECT_EQ(text, "") << c.name;
    }
    // A length past the end reads what the file holds (here from the ".ftp" older saves of
    // ours named a FoxPro memo file).
    TempFolder dir;
    WriteFile(dir.Path("t.ftp"), Header(5, 64) + std::string("\0\0\0\1\0\0\1\0abc", 11));
    CMemoReader reader;
    ASSERT_TRUE(reader.Open(dir.Path("t.dbf"), 5));
    std::string text;
    EXPECT_TRUE(reader.Read(8, text));
    EXPECT_EQ(text, "abc");
}

// Other programs name FoxPro memo files ".fpt".
TEST(MemoFile, FoxProOtherName) {
    TempFolder dir;
    WriteFile(dir.Path("t.fpt"), Header(5, 64) + std::string("\0\0\0\1\0\0\0\2hi", 10));
    CMemoReader reader;
    ASSERT_TRUE(reader.Open(dir.Path("t.dbf"), 5));
    std::string text;
    EXPECT_TRUE(reader.Read(8, text));
    EXPECT_EQ(text, "hi");
    CMemoReader missing;
    EXPECT_FALSE(missing.Open(dir.Path("t.dbf"), 4));
}

} // namespace
} // namespace vl
