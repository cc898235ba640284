#include "platform/core/crypto.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

std::string Hex(const uint8_t* p, size_t n) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::string Md5Hex(const std::string& text) {
    CMd5 md5;
    md5.Update(text.data(), text.size());
    uint8_t out[kMd5Size];
    md5.Final(out);
    return Hex(out, kMd5Size);
}

// The key stream of an RC4 key given byte by byte.
std::vector<uint8_t> KeyStream(const uint8_t* key, size_t keyLength, size_t n) {
    arcfour_ctx ctx;
    arcfour_set_key(&ctx, keyLength, key);
    std::vector<uint8_t> out(n, 0);
    arcfour_crypt(&ctx, n, out.data(), out.data());
    return out;
}

} // namespace

TEST(Crypto, Md5OfKnownTexts) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    // Fed in pieces, the same hash.
    CMd5 md5;
    md5.Update("a", 1);
    md5.Update("bc", 2);
    uint8_t out[kMd5Size];
    md5.Final(out);
    EXPECT_EQ(Hex(out, kMd5Size), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Crypto, Rc4KnownVector) {
    const uint8_t key[] = {'K', 'e', 'y'};
    std::vector<uint8_t> text = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
    const std::vector<uint8_t> stream = KeyStream(key, 3, text.size());
    for (size_t i = 0; i < text.size(); ++i) text[i] ^= stream[i];
    EXPECT_EQ(Hex(text.data(), text.size()), "bbf316e8d940af0ad3");
}

// The key is the password's MD5 cut to 16 or 5 bytes, with nothing added.
TEST(Crypto, KeysAreTheHashCutToTheirLength) {
    const uint8_t hash[] = {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0,
                            0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72}; // MD5("abc")
    for (int bits : {kKeyBits128, kKeyBits40}) {
        CryptoContext ctx;
        ASSERT_TRUE(DeriveRc4Key("abc", bits, ctx));
        std::vector<uint8_t> bytes(300, 0);
        ASSERT_TRUE(Rc4Crypt(ctx, bytes.data(), 100));
        ASSERT_TRUE(Rc4Crypt(ctx, bytes.data() + 100, 200)); // the stream runs on
        EXPECT_EQ(bytes, KeyStream(hash, bits == kKeyBits128 ? 16 : 5, 300)) << bits;
    }
}

TEST(Crypto, EmptyPasswordHashesNothingAndOtherLengthsFail) {
    const uint8_t emptyHash[] = {0xd4, 0x1d, 0x8c, 0xd9, 0x8f, 0x00, 0xb2, 0x04,
                                 0xe9, 0x80, 0x09, 0x98, 0xec, 0xf8, 0x42, 0x7e};
    CryptoContext ctx;
    ASSERT_TRUE(DeriveRc4Key("", kKeyBits128, ctx));
    std::vector<uint8_t> bytes(32, 0);
    ASSERT_TRUE(Rc4Crypt(ctx, bytes.data(), bytes.size()));
    EXPECT_EQ(bytes, KeyStream(emptyHash, 16, 32));
    EXPECT_FALSE(DeriveRc4Key("abc", 64, ctx));
    EXPECT_FALSE(ctx.hasKey);
    EXPECT_FALSE(Rc4Crypt(ctx, bytes.data(), bytes.size()));
}

TEST(Crypto, TestHookFailsDerivation) {
    CryptoContext ctx;
    SetKeyDerivationFailure(true);
    EXPECT_FALSE(DeriveRc4Key("abc", kKeyBits128, ctx));
    SetKeyDerivationFailure(false);
    EXPECT_FALSE(ctx.hasKey);
    EXPECT_TRUE(DeriveRc4Key("abc", kKeyBits128, ctx));
    ReleaseCrypto(ctx);
    EXPECT_FALSE(ctx.hasKey);
}

} // namespace vl
