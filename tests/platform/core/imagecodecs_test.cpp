#include "platform/core/alloc.h"
#include "platform/core/bytes.h"
#include "platform/core/imagecodecs.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <vector>
#include <zlib.h>

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

namespace {

void PutU32BE(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24), p[1] = uint8_t(v >> 16), p[2] = uint8_t(v >> 8), p[3] = uint8_t(v);
}

// palette.png with the IHDR's width and height replaced and its checksum made good again.
std::vector<uint8_t> PngOfSize(uint32_t width, uint32_t height) {
    std::vector<uint8_t> file = ReadImage("palette.png");
    PutU32BE(file.data() + 16, width);
    PutU32BE(file.data() + 20, height);
    PutU32BE(file.data() + 29, uint32_t(crc32(0, file.data() + 12, 17)));
    return file;
}

// color.jpg with the frame's height and width replaced (its SOF0 marker at byte 158).
std::vector<uint8_t> JpegOfSize(uint16_t width, uint16_t height) {
    std::vector<uint8_t> file = ReadImage("color.jpg");
    EXPECT_EQ(std::tuple(file.at(158), file.at(159)), std::tuple(0xFF, 0xC0));
    file[163] = uint8_t(height >> 8), file[164] = uint8_t(height);
    file[165] = uint8_t(width >> 8), file[166] = uint8_t(width);
    return file;
}

std::vector<uint8_t> BmpOfSize(int32_t width, int32_t height) {
    std::vector<uint8_t> file = ReadImage("bmp24.bmp");
    StoreI32(file.data() + 18, width);
    StoreI32(file.data() + 22, height);
    return file;
}

} // namespace

// Pictures whose headers claim no pixels, or more than the size limit, or far more than the
// file holds: each codec fails with its own code and leaves nothing allocated. A picture of
// no pixels is a broken file (its reader's code), not one too large for memory (46), which
// a picture past the size limit is.
TEST(ImageCodecs, ZeroSizedHugeAndDamagedHeaders) {
    enum Codec { kPng, kJpeg, kBmp };
    const struct Case {
        const char* name;
        Codec codec;
        std::vector<uint8_t> file;
        uint8_t error; // 0: read
    } cases[] = {
        {"png 0 wide", kPng, PngOfSize(0, 2), kPngReadError},
        {"png 0 high", kPng, PngOfSize(4, 0), kPngReadError},
        {"png 0 by 0", kPng, PngOfSize(0, 0), kPngReadError},
        {"png at the side limit, no rows", kPng, PngOfSize(32767, 1), kPngReadError},
        {"png a side too long", kPng, PngOfSize(32768, 1), kImageOutOfMemory},
        {"png 2^31 wide", kPng, PngOfSize(0x80000000u, 1), kImageOutOfMemory},
        {"png as given", kPng, PngOfSize(4, 2), 0},
        {"jpeg 0 wide", kJpeg, JpegOfSize(0, 16), kJpegReadError},
        {"jpeg 0 high", kJpeg, JpegOfSize(16, 0), kJpegReadError},
        {"jpeg at the side limit, data short: what is there", kJpeg, JpegOfSize(32767, 1), 0},
        {"jpeg a side too long", kJpeg, JpegOfSize(32768, 16), kImageOutOfMemory},
        {"jpeg past the library's limit", kJpeg, JpegOfSize(65535, 65535), kJpegReadError},
        {"jpeg smaller than its data", kJpeg, JpegOfSize(8, 8), 0},
        {"bmp 0 wide", kBmp, BmpOfSize(0, 2), kBadBitmap},
        {"bmp negative wide", kBmp, BmpOfSize(-4, 2), kBadBitmap},
        {"bmp 0 high", kBmp, BmpOfSize(4, 0), kBadBitmap},
        {"bmp a side too long", kBmp, BmpOfSize(32768, 1), kImageOutOfMemory},
        {"bmp more rows than held", kBmp, BmpOfSize(4, 3), kBadBitmap},
        {"bmp 2^31 high", kBmp, BmpOfSize(4, INT32_MIN), kImageOutOfMemory},
        {"bmp past 1 GiB", kBmp, BmpOfSize(30000, 30000), kImageOutOfMemory},
        {"bmp as given", kBmp, BmpOfSize(4, -2), 0},
    };
    const long live = LiveBlockCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t error = 99;
        PackedDib dib;
        switch (c.codec) {
        case kPng:
            dib = LoadPng(c.file.data(), c.file.size(), false, 0, &error);
            break;
        case kJpeg:
            dib = LoadJpeg(c.file.data(), c.file.size(), &error);
            break;
        case kBmp:
            dib = LoadBmp(c.file.data(), c.file.size(), &error);
            break;
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(bool(dib), c.error == 0);
        if (dib) {
            std::vector<uint32_t> px;
            int32_t w = 0, h = 0;
            EXPECT_TRUE(DibToPixels32(dib, px, w, h));
            EXPECT_EQ(px.size(), size_t(w) * size_t(h));
        }
    }
    EXPECT_EQ(LiveBlockCount(), live);
}

// A block of no pixels, or a damaged one, is no picture to write.
TEST(ImageCodecs, WritersRefuseEmptyAndDamagedBlocks) {
    PackedDib good = MakeDib(3, 2, 1);
    PackedDib noWidth = MakeDib(3, 2, 1);
    StoreI32(noWidth.Data() + 4, 0);
    PackedDib noHeight = MakeDib(3, 2, 1);
    StoreI32(noHeight.Data() + 8, 0);
    PackedDib cut = PackedDib::Allocate(good.Size() - 1);
    std::memcpy(cut.Data(), good.Data(), cut.Size());
    const long live = LiveBlockCount();
    for (const PackedDib* dib : {&noWidth, &noHeight, &cut}) {
        std::vector<uint8_t> out = {7};
        uint8_t error = 0;
        EXPECT_FALSE(SavePng(*dib, out, 0, &error));
        EXPECT_EQ(error, kPngWriteError);
        error = 0;
        EXPECT_FALSE(SaveJpeg(*dib, out, 0, &error));
        EXPECT_EQ(error, kJpegWriteError);
        EXPECT_EQ(out, std::vector<uint8_t>{7});
    }
    EXPECT_EQ(LiveBlockCount(), live);
}

// The gamma is stored in 100,000ths: 0.00016 and 6,250 are the ends libpng writes; past
// them, and for negative, infinite or missing numbers, the write fails with 54.
TEST(SavePng, GammaLimits) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<double, int64_t> cases[] = {
        {0.00016, 16},      {6250, 625000000}, {1, 100000}, {0.00015, -1},
        {6250.01, -1},      {-1, -1},          {inf, -1},   {-inf, -1},
        {std::nan(""), -1}, {21474.83648, -1}, {1e300, -1},
    };
    for (const auto& [gamma, stored] : cases) {
        std::vector<uint8_t> out;
        uint8_t error = 99;
        const bool ok = SavePng(MakeDib(2, 2, 1), out, gamma, &error);
        EXPECT_EQ(ok, stored >= 0) << gamma;
        EXPECT_EQ(error, ok ? 0 : kPngWriteError) << gamma;
        if (!ok) continue;
        const std::string bytes(out.begin(), out.end());
        const size_t at = bytes.find("gAMA");
        ASSERT_NE(at, std::string::npos);
        const uint8_t* v = out.data() + at + 4;
        EXPECT_EQ((v[0] << 24) | (v[1] << 16) | (v[2] << 8) | v[3], stored) << gamma;
    }
}
