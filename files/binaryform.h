#pragma once
// The binary workbook form: an 11-digit header, then the body; with a password the body is
// RC4-encrypted under a key from the password's MD5, after a filler and an MD5 digest of the
// body that tells a wrong password from a damaged file, and optionally preceded by an
// unencrypted values-only copy that opens read-only without the password.

#include "platform/core/crypto.h"

#include <cstdint>

namespace vl {

class CWorkbook;

constexpr int kBinaryHeaderSize = 11;

// The header written for encryption code 0 to 4 ("30000000000", "31100000000", ...).
void BuildBinaryHeader(uint8_t encryption, char header[kBinaryHeaderSize]);
// The encryption code of a header's encryption digit, with or without a plain copy.
uint8_t EncryptionCodeOf(char encryptionDigit, bool plainCopy);

// Writes the workbook with its encryption code and password into its stream, which the
// caller has opened or rewound for writing and flushes afterwards.
bool SaveBinaryWorkbook(CWorkbook& workbook);
// Reads the workbook from its stream. Without a password a file with a plain copy opens
// read-only as that copy, and one without fails with 26; a wrong password fails with 26
// before anything of the body is built.
bool LoadBinaryWorkbook(CWorkbook& workbook, const char* password);
// The MD5 of the body as the full mode writes it.
bool ComputeWorkbookDigest(CWorkbook& workbook, uint8_t digest[kMd5Size]);
void ReleaseWorkbookCrypto(CryptoContext& ctx);

} // namespace vl
