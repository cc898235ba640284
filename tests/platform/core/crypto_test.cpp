#include "platform/core/crypto.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (uint8_t b : bytes) s += {digits[b >> 4], digits[b & 15]};
    return s;
}

// The MD5 of the pieces fed one after the other.
std::vector<uint8_t> Md5(std::initializer_list<std::string> pieces) {
    CMd5 md5;
    for (const std::string& piece : pieces) md5.Update(piece.data(), piece.size());
    std::vector<uint8_t> out(kMd5Size);
    md5.Final(out.data());
    return out;
}

// The key stream of an RC4 key given byte by byte.
std::vector<uint8_t> KeyStream(const std::vector<uint8_t>& key, size_t keyLength, size_t n) {
    arcfour_ctx ctx;
    arcfour_set_key(&ctx, keyLength, key.data());
    std::vector<uint8_t> out(n, 0);
    arcfour_crypt(&ctx, n, out.data(), out.data());
    return out;
}

} // namespace

TEST(Crypto, Md5OfKnownTextsWholeAndInPieces) {
    EXPECT_EQ(Hex(Md5({""})), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Hex(Md5({"abc"})), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Hex(Md5({"a", "bc"})), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(Crypto, Rc4KnownVector) {
    std::vector<uint8_t> text = {'P', 'l', 'a', 'i', 'n', 't', 'e', 'x', 't'};
    const std::vector<uint8_t> stream = KeyStream({'K', 'e', 'y'}, 3, text.size());
    for (size_t i = 0; i < text.size(); ++i) text[i] ^= stream[i];
    EXPECT_EQ(Hex(text), "bbf316e8d940af0ad3");
}

// The key is the password's MD5 cut to 16 or 5 bytes, with nothing added; an empty password
// hashes nothing.
TEST(Crypto, KeysAreTheHashCutToTheirLength) {
    for (const char* password : {"abc", ""}) {
        for (int bits : {kKeyBits128, kKeyBits40}) {
            CryptoContext ctx;
            ASSERT_TRUE(DeriveRc4Key(password, bits, ctx));
            std::vector<uint8_t> bytes(300, 0);
            ASSERT_TRUE(Rc4Crypt(ctx, bytes.data(), 100));
            ASSERT_TRUE(Rc4Crypt(ctx, bytes.data() + 100, 200)); // the stream runs on
            EXPECT_EQ(bytes, KeyStream(Md5({password}), bits == kKeyBits128 ? 16 : 5, 300))
                << '"' << password << "\" " << bits;
        }
    }
}

TEST(Crypto, OtherKeyLengthsAndTheTestHookFailDerivation) {
    CryptoContext ctx;
    uint8_t bytes[4] = {};
    EXPECT_FALSE(DeriveRc4Key("abc", 64, ctx));
    EXPECT_FALSE(ctx.hasKey);
    EXPECT_FALSE(Rc4Crypt(ctx, bytes, 4));
    SetKeyDerivationFailure(true);
    EXPECT_FALSE(DeriveRc4Key("abc", kKeyBits128, ctx));
    SetKeyDerivationFailure(false);
    EXPECT_FALSE(ctx.hasKey);
    EXPECT_TRUE(DeriveRc4Key("abc", kKeyBits128, ctx));
    ReleaseCrypto(ctx);
    EXPECT_FALSE(ctx.hasKey);
}

} // namespace vl
