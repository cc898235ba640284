#include "platform/core/alloc.h"
#include "platform/core/bytes.h"
#include "platform/core/imagecodecs.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

using namespace vl;

namespace {

std::vector<uint8_t> ReadImage(const std::string& name) {
    std::ifstream f(std::string(VORLANE_TEST_DATA) + "/images/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

constexpr uint32_t K = 0xFF000000, R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF;
constexpr uint32_t Y = 0xFFFFFF00, C = 0xFF00FFFF, M = 0xFFFF00FF, W = 0xFFFFFFFF;
const std::vector<uint32_t> kPattern = {R, G, B, W, K, Y, C, M};

std::vector<uint32_t> Pixels(const PackedDib& dib, int32_t& w, int32_t& h) {
    std::vector<uint32_t> px;
    EXPECT_TRUE(DibToPixels32(dib, px, w, h));
    return px;
}

PackedDib MakeDib(int32_t w, int32_t h, uint8_t seed) {
    const size_t stride = size_t(DibStride(w, 24));
    const int32_t rows = h < 0 ? -h : h;
    PackedDib dib = PackedDib::Allocate(kDibHeaderSize + stride * rows);
    WriteDibHeader(dib.Data(), w, h, 24, uint32_t(stride * rows));
    for (size_t i = kDibHeaderSize; i < dib.Size(); ++i) dib.Data()[i] = uint8_t(i * 7 + seed);
    return dib;
}

} // namespace

TEST(LoadBmp, EveryFormGivesItsPixels) {
    const std::vector<uint32_t> ones = {W, K, W, K, K, K, W, W};
    const std::vector<uint32_t> rle8 = {R, G, K, W, K, Y, C, M};
    const std::tuple<const char*, uint16_t, std::vector<uint32_t>> cases[] = {
        {"bmp1.bmp", 1, ones},           {"bmp4.bmp", 4, kPattern},
        {"bmp8.bmp", 8, kPattern},       {"bmp16.bmp", 16, kPattern},
        {"bmp24.bmp", 24, kPattern},     {"bmp32.bmp", 32, kPattern},
        {"gap24.bmp", 24, kPattern},     {"rle8.bmp", 8, rle8},
        {"rle4.bmp", 4, kPattern},       {"v5fields.bmp", 16, kPattern},
        {"bigsize24.bmp", 24, kPattern},
    };
    for (const auto& [name, bits, want] : cases) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = ReadImage(name);
        uint8_t error = 99;
        PackedDib dib = LoadBmp(file.data(), file.size(), &error);
        ASSERT_TRUE(dib);
        EXPECT_EQ(error, 0);
        DibLayout l;
        ASSERT_TRUE(ReadDibLayout(dib, l));
        // The plain form: a 40-byte header, nothing compressed but bit fields.
        EXPECT_EQ(std::tuple(l.headerSize, l.bitCount), std::tuple(40u, bits));
        EXPECT_TRUE(l.compression == kDibCompressionNone ||
                    l.compression == kDibCompressionBitFields);
        EXPECT_EQ(l.rowsOffset + l.stride * l.Rows(), dib.Size());
        int32_t w = 0, h = 0;
        EXPECT_EQ(Pixels(dib, w, h), want);
        EXPECT_EQ(std::tuple(w, h), std::tuple(4, 2));
    }
}

TEST(LoadBmp, BadFilesGive52AndNoBlock) {
    const char* names[] = {"bad/short13.bmp", "bad/ba.bmp",    "bad/cut24.bmp",
                           "bad/planes2.bmp", "bad/bits7.bmp", "bad/colors300.bmp",
                           "bad/header64.bmp"};
    const long live = LiveBlockCount();
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = ReadImage(name);
        ASSERT_FALSE(file.empty());
        uint8_t error = 0;
        EXPECT_FALSE(LoadBmp(file.data(), file.size(), &error));
        EXPECT_EQ(error, kBadBitmap);
    }
    EXPECT_EQ(LiveBlockCount(), live);
}

TEST(LoadBmp, FourteenBytesIsTheShortestReadAndOutOfMemoryIs46) {
    std::vector<uint8_t> file = ReadImage("bmp24.bmp");
    uint8_t error = 0;
    EXPECT_FALSE(LoadBmp(file.data(), 13, &error));
    EXPECT_EQ(error, kBadBitmap);
    SetAllocFailAfter(0);
    EXPECT_FALSE(LoadBmp(file.data(), file.size(), &error));
    SetAllocFailAfter(-1);
    EXPECT_EQ(error, kImageOutOfMemory);
}

TEST(PackedDib, HeaderCheckLimits) {
    // 32,767 a side passes and 32,768 fails; so does 1 GiB of rows against one byte more.
    const std::tuple<int64_t, int64_t, uint32_t, bool> cases[] = {
        {32767, 1, 24, true},      {32768, 1, 24, false},   {1, 32767, 24, true},
        {1, 32768, 24, false},     {0, 1, 24, false},       {16384, 16384, 32, true},
        {16384, 16385, 32, false}, {32767, 32767, 8, true},
    };
    for (const auto& [w, h, bits, ok] : cases)
        EXPECT_EQ(ImageSizeAllowed(w, h, bits), ok) << w << " x " << h << " x " << bits;
}

TEST(PackedDib, RowsMustLieInsideTheBlock) {
    PackedDib dib = MakeDib(3, 2, 0);
    DibLayout l;
    EXPECT_TRUE(ReadDibLayout(dib.Data(), dib.Size(), l));
    EXPECT_FALSE(ReadDibLayout(dib.Data(), dib.Size() - 1, l));
    StoreI32(dib.Data() + 8, 3); // one row more than stored
    EXPECT_FALSE(ReadDibLayout(dib.Data(), dib.Size(), l));
}

TEST(LoadJpeg, GreyColourAndFourChannelFilesGive24Bits) {
    const std::tuple<const char*, uint32_t> cases[] = {{"color.jpg", 0xC82828},
                                                       {"grey.jpg", 0x808080},
                                                       {"cmyk.jpg", 0xC82828},
                                                       {"ycck.jpg", 0xC82828}};
    for (const auto& [name, rgb] : cases) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = ReadImage(name);
        uint8_t error = 99;
        PackedDib dib = LoadJpeg(file.data(), file.size(), &error);
        ASSERT_TRUE(dib);
        EXPECT_EQ(error, 0);
        DibLayout l;
        ASSERT_TRUE(ReadDibLayout(dib, l));
        EXPECT_EQ(std::tuple(l.bitCount, l.width, l.height), std::tuple(uint16_t(24), 16, -16));
        int32_t w, h;
        const uint32_t p = Pixels(dib, w, h)[8 * 16 + 8];
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(int((p >> shift) & 255), int((rgb >> shift) & 255), 6) << shift;
    }
}

TEST(LoadJpeg, BrokenFilesGive49) {
    for (const char* name : {"bad/truncated.jpg", "bmp24.bmp"}) {
        const std::vector<uint8_t> file = ReadImage(name);
        uint8_t error = 0;
        EXPECT_FALSE(LoadJpeg(file.data(), file.size(), &error));
        EXPECT_EQ(error, kJpegReadError) << name;
    }
}

TEST(SaveJpeg, QualityZeroWritesTheBytesOf75AndOnePixelSaves) {
    PackedDib dib = MakeDib(20, -10, 3);
    std::vector<uint8_t> zero, q75, q30;
    uint8_t error = 99;
    ASSERT_TRUE(SaveJpeg(dib, zero, 0, &error));
    ASSERT_TRUE(SaveJpeg(dib, q75, 75, &error));
    ASSERT_TRUE(SaveJpeg(dib, q30, 30, &error));
    EXPECT_EQ(zero, q75);
    EXPECT_NE(q30, q75);
    std::vector<uint8_t> one;
    EXPECT_TRUE(SaveJpeg(MakeDib(1, 1, 9), one, 90, &error));
    PackedDib back = LoadJpeg(one.data(), one.size(), &error);
    ASSERT_TRUE(back);
    EXPECT_EQ(LoadI32(back.Data() + 4), 1);
}

TEST(LoadPng, TransformsTable) {
    const uint32_t back = 0x00000000; // the given colour: black (COLORREF)
    const auto half = [](uint32_t c, uint32_t bg) {
        uint32_t out = 0xFF000000;
        for (int s : {0, 8, 16}) {
            const uint32_t a = (c >> s) & 255, b = (bg >> s) & 255;
            out |= ((a * 128 + b * 127 + 127) / 255) << s;
        }
        return out;
    };
    std::vector<uint32_t> onBlack, onBlue;
    for (uint32_t c : kPattern) {
        onBlack.push_back(half(c, 0));
        onBlue.push_back(half(c, 0x0000FF));
    }
    const std::vector<uint32_t> grey = {K, 0xFF555555, 0xFFAAAAAA, W, W, 0xFFAAAAAA, 0xFF555555, K};
    const std::tuple<const char*, std::vector<uint32_t>> cases[] = {
        {"palette.png", kPattern}, {"rgb16.png", kPattern},   {"gray.png", grey},
        {"alpha.png", onBlack},    {"alphabkgd.png", onBlue},
    };
    for (const auto& [name, want] : cases) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = ReadImage(name);
        uint8_t error = 99;
        PackedDib dib = LoadPng(file.data(), file.size(), false, back, &error);
        ASSERT_TRUE(dib);
        EXPECT_EQ(error, 0);
        EXPECT_EQ(LoadU16(dib.Data() + 14), 24);
        int32_t w, h;
        const std::vector<uint32_t> got = Pixels(dib, w, h);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i)
            for (int s : {0, 8, 16})
                EXPECT_NEAR(int((got[i] >> s) & 255), int((want[i] >> s) & 255), 1) << i;
    }
}

TEST(LoadPng, KeepAlphaGives32BitsWithTheAlpha) {
    const std::vector<uint8_t> file = ReadImage("alpha.png");
    uint8_t error = 99;
    PackedDib dib = LoadPng(file.data(), file.size(), true, 0, &error);
    ASSERT_TRUE(dib);
    DibLayout l;
    ASSERT_TRUE(ReadDibLayout(dib, l));
    EXPECT_EQ(l.bitCount, 32);
    const uint8_t* first = dib.Data() + l.rowsOffset;
    EXPECT_EQ(std::tuple(first[0], first[1], first[2], first[3]),
              std::tuple(0, 0, 255, 0x80)); // red, blue first, alpha kept
}

TEST(LoadPng, BadFilesGiveTheirCodes) {
    const std::tuple<const char*, uint8_t> cases[] = {{"bad/truncated.png", kPngReadError},
                                                      {"bmp24.bmp", kPngReadError},
                                                      {"bad/huge.png", kImageOutOfMemory}};
    const long live = LiveBlockCount();
    for (const auto& [name, code] : cases) {
        const std::vector<uint8_t> file = ReadImage(name);
        uint8_t error = 0;
        EXPECT_FALSE(LoadPng(file.data(), file.size(), false, 0, &error));
        EXPECT_EQ(error, code) << name;
    }
    EXPECT_EQ(LiveBlockCount(), live);
}

TEST(SavePng, RoundTripsExactlyAndWritesTheTopRowFirst) {
    PackedDib topDown = MakeDib(5, -3, 11);
    PackedDib bottomUp = MakeDib(5, 3, 0);
    // The same picture stored the other way up.
    const size_t stride = 16;
    for (int y = 0; y < 3; ++y)
        std::memcpy(bottomUp.Data() + 40 + stride * (2 - y), topDown.Data() + 40 + stride * y,
                    stride);
    std::vector<uint8_t> a, b;
    uint8_t error = 99;
    ASSERT_TRUE(SavePng(topDown, a, 0.5, &error));
    ASSERT_TRUE(SavePng(bottomUp, b, 0.5, &error));
    EXPECT_EQ(a, b);
    // At the default gamma reading undoes writing exactly.
    ASSERT_TRUE(SavePng(bottomUp, a, 0, &error));
    PackedDib back = LoadPng(a.data(), a.size(), false, 0, &error);
    ASSERT_TRUE(back);
    int32_t w1, h1, w2, h2;
    EXPECT_EQ(Pixels(back, w1, h1), Pixels(topDown, w2, h2));
}

TEST(SavePng, GammaZeroWrites45455) {
    std::vector<uint8_t> out;
    uint8_t error = 99;
    ASSERT_TRUE(SavePng(MakeDib(2, 2, 1), out, 0, &error));
    const std::string bytes(out.begin(), out.end());
    const size_t at = bytes.find("gAMA");
    ASSERT_NE(at, std::string::npos);
    const uint8_t* v = out.data() + at + 4;
    EXPECT_EQ((v[0] << 24) | (v[1] << 16) | (v[2] << 8) | v[3], 45455);
}

TEST(SavePng, AWriteErrorGives54AndFreesItsBuffers) {
    PackedDib dib = MakeDib(64, 64, 5);
    const long live = LiveBlockCount();
    std::vector<uint8_t> out = {1, 2, 3};
    uint8_t error = 0;
    SetAllocFailAfter(0); // the sink cannot grow
    EXPECT_FALSE(SavePng(dib, out, 0, &error));
    SetAllocFailAfter(-1);
    EXPECT_EQ(error, kPngWriteError);
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(LiveBlockCount(), live);
}
