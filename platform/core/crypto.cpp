#include "platform/core/crypto.h"

#include <cstring>

namespace vl {

namespace {
bool g_failDerivation = false;
} // namespace

void CMd5::Update(const void* bytes, size_t n) {
    if (n) md5_update(&ctx_, n, static_cast<const uint8_t*>(bytes));
}

void CMd5::Final(uint8_t out[kMd5Size]) {
    md5_digest(&ctx_, kMd5Size, out);
}

bool DeriveRc4Key(std::string_view password, int bits, CryptoContext& ctx) {
    ReleaseCrypto(ctx);
    if (g_failDerivation || (bits != kKeyBits40 && bits != kKeyBits128)) return false;
    CMd5 md5;
    md5.Update(password.data(), password.size());
    uint8_t hash[kMd5Size];
    md5.Final(hash);
    arcfour_set_key(&ctx.key, bits == kKeyBits128 ? 16 : 5, hash);
    std::memset(hash, 0, sizeof hash);
    ctx.hasKey = true;
    return true;
}

bool Rc4Crypt(CryptoContext& ctx, uint8_t* bytes, size_t n) {
    if (!ctx.hasKey) return false;
    if (n) arcfour_crypt(&ctx.key, n, bytes, bytes);
    return true;
}

void ReleaseCrypto(CryptoContext& ctx) {
    std::memset(&ctx.key, 0, sizeof ctx.key);
    ctx.hasKey = false;
}

void SetKeyDerivationFailure(bool fail) {
    g_failDerivation = fail;
}

} // namespace vl
