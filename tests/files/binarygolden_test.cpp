#include "files/workbookopen.h"
#include "filestestutil.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vl {

using namespace filestest;

namespace {

std::unique_ptr<CWorkbook> NewBook() {
    auto book = NewBlockObject<CWorkbook>();
    EXPECT_TRUE(NewWorkbook(*book));
    return book;
}

Bytes Md5Of(const Bytes& bytes) {
    CMd5 md5;
    md5.Update(bytes.data(), bytes.size());
    Bytes out(kMd5Size);
    md5.Final(out.data());
    return out;
}

// The encrypted part of a file, decrypted with the password's key.
Bytes Decrypt(const Bytes& part, const char* password, int bits) {
    CryptoContext key;
    EXPECT_TRUE(DeriveRc4Key(password, bits, key));
    Bytes out = part;
    Rc4Crypt(key, out.data(), out.size());
    return out;
}

bool OnlyZeros(const Bytes& b, size_t from, size_t to) {
    return std::all_of(b.begin() + long(from), b.begin() + long(to),
                       [](uint8_t v) { return v == 0; });
}

} // namespace

TEST(BinaryGolden, HeaderOfEachEncryptionCode) {
    const char* headers[] = {"30000000000", "31100000000", "31000000000", "32100000000",
                             "32000000000"};
    TempFolder dir;
    for (uint8_t code = 0; code <= 4; ++code) {
        auto book = NewBook();
        book->encryption = code;
        ASSERT_TRUE(SaveToPath(*book, dir.Path("h"), false));
        const Bytes file = ReadBytes(dir.Path("h"));
        EXPECT_EQ(std::string(file.begin(), file.begin() + 11), headers[code]);
    }
}

// A new workbook: one font of 135 zero bytes, one style whose only non-zero bytes are the two
// indents, one worksheet with every default.
TEST(BinaryGolden, BodyOfANewWorkbook) {
    auto book = NewBook();
    const Bytes body = BodyOf(*book);
    EXPECT_TRUE(OnlyZeros(body, 0, 178));
    EXPECT_EQ(LoadU16(&body[178]), 1);   // tree pane shown
    EXPECT_EQ(LoadU16(&body[180]), 100); // its width
    EXPECT_EQ(LoadU16(&body[182]), 0);
    EXPECT_EQ(LoadU16(&body[184]), 100);
    EXPECT_EQ(LoadU16(&body[186]), 0); // no drop-down lists
    EXPECT_EQ(body[188], 1);           // font count
    EXPECT_TRUE(OnlyZeros(body, 189, 189 + 135));
    const size_t style = 189 + 135 + 2;
    EXPECT_EQ(LoadU16(&body[style - 2]), 1);
    for (size_t i = 0; i < kStyleRecordSize; ++i) {
        const uint8_t expected = i == 1134 ? 4 : i == 1135 ? 2 : 0;
        ASSERT_EQ(body[style + i], expected) << i;
    }
    size_t at = style + kStyleRecordSize;
    EXPECT_EQ(LoadU32(&body[at]), 0u); // inspected cells
    EXPECT_EQ(LoadU32(&body[at + 4]), 1u);
    at += 8;
    EXPECT_EQ(body[at], 10);
    EXPECT_EQ(std::string(body.begin() + long(at) + 1, body.begin() + long(at) + 11), "Worksheet1");
    at += 11;
    EXPECT_EQ(LoadU16(&body[at]), 1); // level
    EXPECT_EQ(body[at + 2], 1);       // worksheet
    EXPECT_EQ(body[at + 3], 1);       // the current one
    EXPECT_EQ(LoadU32(&body[at + 4]), 0u);
    EXPECT_EQ(LoadU16(&body[at + 8]), kMaxColumns); // one run of equal columns
    EXPECT_TRUE(OnlyZeros(body, at + 10, at + 16));
    EXPECT_TRUE(OnlyZeros(body, at + 16, at + 28)); // R, P and Q all 0
    at += 28;
    EXPECT_EQ(LoadU16(&body[at + 292]), 100);          // page setup follows
    EXPECT_EQ(body[at + kPageSetupRecordSize + 8], 1); // then the view's background kind
    EXPECT_EQ(body.size(), at + kPageSetupRecordSize + kViewSettingsRecordSize);
}

TEST(BinaryGolden, ContainerAndChartRecordSizes) {
    auto book = NewBook();
    CWorksheet& sheet = *AsWorksheet(book->tree.first);
    const size_t bare = BodyOf(*book).size();
    AddContainer(sheet, 1, {2, 0, 16});
    const size_t withCharts = BodyOf(*book).size();
    EXPECT_EQ(withCharts - bare, 984u + 3 * (732 + 64) + 18 * 3528);

    // A container without anchor, frame or charts is its 984 bytes and nothing else.
    auto plain = NewBlockObject<CContainer>();
    InitContainerDefaults(*plain, nullptr, nullptr);
    LinkContainer(sheet, std::move(plain));
    const Bytes body = BodyOf(*book);
    ASSERT_EQ(body.size(), withCharts + 984);
    // The second container ends where the column table begins.
    const size_t end = body.size() - kViewSettingsRecordSize - kPageSetupRecordSize - 20;
    const size_t c = end - 984;
    EXPECT_EQ(Bytes(body.begin() + long(c) + 2, body.begin() + long(c) + 7),
              (Bytes{1, 1, 4, 4, 100}));
    EXPECT_EQ(body[c + 16], 9);
    EXPECT_EQ(LoadI32(&body[c + 20]), 10);
    EXPECT_EQ(LoadI32(&body[c + 24]), 10);
    EXPECT_EQ(LoadI32(&body[c + 28]), 360);
    EXPECT_EQ(LoadI32(&body[c + 32]), 260);
    EXPECT_EQ(body[c + 576], 1);
    EXPECT_EQ(body[c + 968], 1);
    EXPECT_EQ(body[c + 976], 0);
    EXPECT_EQ(LoadU16(&body[end]), kMaxColumns);
}

// Without encryption the body follows the header directly; with it, d, the filler of the
// digest's second byte, the digest of the body and the body run as one RC4 stream.
TEST(BinaryGolden, FileLayoutOfEachCode) {
    TempFolder dir;
    for (uint8_t code = 0; code <= 4; ++code) {
        auto book = MakeRichWorkbook();
        book->encryption = code;
        CopyTextField(book->password, "key", kPasswordSize);
        ASSERT_TRUE(SaveToPath(*book, dir.Path("f"), false));
        const Bytes file = ReadBytes(dir.Path("f"));
        const Bytes full = BodyOf(*book);
        size_t at = 11;
        if (code == 1 || code == 3) {
            const Bytes plain = BodyOf(*book, kBodyPlainCopy);
            ASSERT_GE(file.size(), at + plain.size());
            EXPECT_EQ(Bytes(file.begin() + long(at), file.begin() + long(at + plain.size())),
                      plain);
            at += plain.size();
        }
        Bytes rest(file.begin() + long(at), file.end());
        if (code == 0) {
            EXPECT_EQ(rest, full);
            continue;
        }
        rest = Decrypt(rest, "key", code >= 3 ? kKeyBits128 : kKeyBits40);
        const Bytes digest = Md5Of(full);
        const size_t filler = std::max<size_t>(1, 4u * digest[0]);
        ASSERT_EQ(rest.size(), 1 + filler + 16 + full.size()) << int(code);
        EXPECT_EQ(rest[0], digest[0]);
        EXPECT_TRUE(std::all_of(rest.begin() + 1, rest.begin() + 1 + long(filler),
                                [&](uint8_t b) { return b == digest[1]; }));
        EXPECT_EQ(Bytes(rest.begin() + 1 + long(filler), rest.begin() + 17 + long(filler)), digest);
        EXPECT_EQ(Bytes(rest.begin() + 17 + long(filler), rest.end()), full);
        uint8_t computed[kMd5Size];
        ASSERT_TRUE(ComputeWorkbookDigest(*book, computed));
        EXPECT_EQ(Bytes(computed, computed + kMd5Size), digest);
    }
}

// d = 0 gives one filler byte and d = 255 gives 1,020; both files open with the password.
TEST(BinaryGolden, FillerLengthFollowsTheDigest) {
    TempFolder dir;
    for (int wanted : {0, 255}) {
        auto book = NewBook();
        book->encryption = 4;
        CopyTextField(book->password, "pw", kPasswordSize);
        uint8_t digest[kMd5Size] = {};
        for (int n = 0;; ++n) {
            ASSERT_LT(n, 20000);
            CopyTextField(book->lastSavedUser, std::to_string(n).c_str(), kLastSavedUserSize);
            ASSERT_TRUE(ComputeWorkbookDigest(*book, digest));
            if (digest[0] == wanted) break;
        }
        ASSERT_TRUE(SaveToPath(*book, dir.Path("d"), false));
        const size_t filler = wanted ? 1020 : 1;
        EXPECT_EQ(ReadBytes(dir.Path("d")).size(), 11 + 1 + filler + 16 + BodyOf(*book).size());
        bool ok = false;
        auto loaded = LoadFromPath(dir.Path("d"), "pw", ok);
        EXPECT_TRUE(ok) << wanted;
        EXPECT_STREQ(loaded->lastSavedUser, book->lastSavedUser);
    }
}

} // namespace vl
