#pragma once
// MD5 and RC4 for protected binary workbooks. The RC4 key is derived from the MD5 of the
// password's bytes without salt: its first 16 bytes for a 128-bit key, its first 5 for a
// 40-bit key. The key stream runs on across calls, so data encrypted in pieces gives the
// same bytes as data encrypted at once.

#include <cstddef>
#include <cstdint>
#include <nettle/arcfour.h>
#include <nettle/md5.h>
#include <string_view>

namespace vl {

constexpr int kMd5Size = 16;

class CMd5 {
public:
    CMd5() { md5_init(&ctx_); }
    void Update(const void* bytes, size_t n);
    // The hash of everything fed so far; the hash starts over afterwards.
    void Final(uint8_t out[kMd5Size]);

private:
    md5_ctx ctx_;
};

// The key of one save or load. Without a key, encryption and decryption fail.
struct CryptoContext {
    bool hasKey = false;
    arcfour_ctx key{};
};

// Key lengths in bits.
constexpr int kKeyBits40 = 40;
constexpr int kKeyBits128 = 128;

// Derives the key of `bits` (40 or 128) from the password; false for other lengths and
// while the test hook makes derivation fail.
bool DeriveRc4Key(std::string_view password, int bits, CryptoContext& ctx);
// Encrypts or decrypts in place (RC4 is its own inverse); false without a key.
bool Rc4Crypt(CryptoContext& ctx, uint8_t* bytes, size_t n);
// Forgets the key.
void ReleaseCrypto(CryptoContext& ctx);

// Test hook: while set, every key derivation fails.
void SetKeyDerivationFailure(bool fail);

} // namespace vl
