#include "files/binaryform.h"

#include "files/binarybody.h"
#include "files/bodyio.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace vl {

namespace {

constexpr int32_t kCheckBlock = 4096;
constexpr uint8_t kLastEncryption = 4;

bool HasPlainCopy(uint8_t code) {
    return code == 1 || code == 3;
}

int KeyBits(char encryptionDigit) {
    return encryptionDigit == '2' ? kKeyBits128 : encryptionDigit == '1' ? kKeyBits40 : 0;
}

std::string_view PasswordOf(const CWorkbook& book) {
    return {book.password, strnlen(book.password, kPasswordSize)};
}

uint32_t FillerLength(uint8_t d) {
    return std::max<uint32_t>(1, 4u * d);
}

// The failure of a load: the stream's status when it has one, else `code`.
bool LoadFailure(CWorkbook& book, ErrorCode code) {
    book.error = book.stream.GetError() != kErrorNone ? book.stream.GetError() : code;
    return false;
}

// d, the filler and the stored digest, decrypted; false when the file ends first.
bool ReadDigestBlock(CFileStream& s, CryptoContext& ctx, uint8_t digest[kMd5Size]) {
    uint8_t d = 0;
    if (s.ReadDecrypt(&d, 1, &ctx) != 1) return false;
    std::vector<uint8_t> filler(FillerLength(d));
    if (s.ReadDecrypt(filler.data(), int32_t(filler.size()), &ctx) != int32_t(filler.size()))
        return false;
    return s.ReadDecrypt(digest, kMd5Size, &ctx) == kMd5Size;
}

// Decrypts everything after the digest once to see whether the password is right, then
// starts the key stream over and leaves the stream at the start of the body.
bool CheckPassword(CWorkbook& book, const char* password, int bits, CryptoContext& ctx) {
    CFileStream& s = book.stream;
    if (!DeriveRc4Key(password, bits, ctx)) return LoadFailure(book, kErrorCryptKey);
    const int32_t start = s.GetPosition();
    uint8_t stored[kMd5Size];
    if (!ReadDigestBlock(s, ctx, stored)) return LoadFailure(book, kErrorFileFormat);
    CMd5 md5;
    uint8_t block[kCheckBlock];
    while (const int32_t n = s.ReadDecrypt(block, kCheckBlock, &ctx)) md5.Update(block, size_t(n));
    if (s.GetError() != kErrorNone) return LoadFailure(book, kErrorFileFormat);
    uint8_t computed[kMd5Size];
    md5.Final(computed);
    if (std::memcmp(computed, stored, kMd5Size) != 0) {
        book.error = kErrorInvalidPassword;
        return false;
    }
    if (!DeriveRc4Key(password, bits, ctx)) return LoadFailure(book, kErrorCryptKey);
    if (!s.Seek(kSeekStart, start) || !ReadDigestBlock(s, ctx, stored))
        return LoadFailure(book, kErrorFileFormat);
    return true;
}

// Forgets the values-only copy before the full workbook is read over it.
void DiscardContent(CWorkbook& book) {
    book.ClearContent();
    book.fileFamily = book.fileKind = 0;
    book.error = kErrorNone;
    book.password[0] = 0;
}

bool WriteEncryptedPart(CWorkbook& book, CryptoContext& ctx, const uint8_t digest[kMd5Size]) {
    CFileStream& s = book.stream;
    const uint8_t d = digest[0];
    const std::vector<uint8_t> filler(FillerLength(d), digest[1]);
    s.WriteEncrypt(&d, 1, &ctx);
    s.WriteEncrypt(filler.data(), int32_t(filler.size()), &ctx);
    s.WriteEncrypt(digest, kMd5Size, &ctx);
    return WriteBinaryWorkbookBody(book, s, &ctx, kBodyFull);
}

} // namespace

void BuildBinaryHeader(uint8_t encryption, char header[kBinaryHeaderSize]) {
    std::memset(header, '0', kBinaryHeaderSize);
    header[0] = '3';
    if (encryption >= 1 && encryption <= kLastEncryption) {
        header[1] = encryption >= 3 ? '2' : '1';
        header[2] = HasPlainCopy(encryption) ? '1' : '0';
    }
}

uint8_t EncryptionCodeOf(char encryptionDigit, bool plainCopy) {
    if (encryptionDigit == '1') return plainCopy ? 1 : 2;
    if (encryptionDigit == '2') return plainCopy ? 3 : 4;
    return 0;
}

void ReleaseWorkbookCrypto(CryptoContext& ctx) {
    ReleaseCrypto(ctx);
}

bool ComputeWorkbookDigest(CWorkbook& workbook, uint8_t digest[kMd5Size]) {
    CDigestSink sink;
    ErrorCode error = kErrorNone;
    if (!SerializeWorkbookBody(workbook, sink, kBodyFull, error)) {
        workbook.error = error;
        return false;
    }
    sink.Final(digest);
    return true;
}

bool SaveBinaryWorkbook(CWorkbook& workbook) {
    const uint8_t code = workbook.encryption;
    if (code > kLastEncryption) {
        workbook.error = kErrorCryptKey;
        return false;
    }
    char header[kBinaryHeaderSize];
    BuildBinaryHeader(code, header);
    CFileStream& s = workbook.stream;
    s.Write(header, kBinaryHeaderSize);
    if (HasPlainCopy(code) && !WriteBinaryWorkbookBody(workbook, s, nullptr, kBodyPlainCopy))
        return false;
    if (code == 0) return WriteBinaryWorkbookBody(workbook, s, nullptr, kBodyFull);
    CryptoContext ctx;
    if (!DeriveRc4Key(PasswordOf(workbook), KeyBits(header[1]), ctx)) {
        workbook.error = kErrorCryptKey;
        return false;
    }
    uint8_t digest[kMd5Size];
    const bool ok =
        ComputeWorkbookDigest(workbook, digest) && WriteEncryptedPart(workbook, ctx, digest);
    ReleaseWorkbookCrypto(ctx);
    return ok;
}

bool LoadBinaryWorkbook(CWorkbook& workbook, const char* password) {
    CFileStream& s = workbook.stream;
    char header[kBinaryHeaderSize];
    if (!s.Seek(kSeekStart, 0) || s.Read(header, kBinaryHeaderSize) != kBinaryHeaderSize)
        return LoadFailure(workbook, kErrorFileFormat);
    const int version = header[0] - '0';
    if (version < 1 || version > 3) return LoadFailure(workbook, kErrorFileFormat);
    const uint8_t code = EncryptionCodeOf(header[1], header[2] != '0');
    workbook.encryption = code;
    if (HasPlainCopy(code)) {
        if (!ReadBinaryWorkbookBody(workbook, s, uint8_t(version), nullptr)) return false;
        if (!password) {
            workbook.readOnly = 1;
            return true;
        }
        DiscardContent(workbook);
    }
    CryptoContext ctx;
    if (code != 0) {
        if (!password) {
            workbook.error = kErrorInvalidPassword;
            return false;
        }
        if (!CheckPassword(workbook, password, KeyBits(header[1]), ctx)) {
            ReleaseWorkbookCrypto(ctx);
            return false;
        }
    }
    const bool ok = ReadBinaryWorkbookBody(workbook, s, uint8_t(version), code ? &ctx : nullptr);
    CopyTextField(workbook.password, password ? password : "", kPasswordSize);
    ReleaseWorkbookCrypto(ctx);
    return ok;
}

} // namespace vl
