// The binary workbook reader from arbitrary bytes. The first byte chooses what the rest is:
// a plain body of format version 1, 2 or 3, the same encrypted under a fixed key (so that
// the decrypting path reads it), or a whole file opened with and without the password. The
// seeds are files and bodies the writer made, each behind its first byte. Whatever loads must
// save as XML and as binary and load again to the same records.

#include "files/binarybody.h"
#include "files/workbookopen.h"
#include "harness.h"
#include "model/workbook.h"
#include "tests/files/reloadcheck.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

constexpr const char* kPassword = "fuzz";
std::string g_file;
std::string g_saved;

enum Mode : uint8_t { kPlainBody, kEncryptedBody, kWholeFile, kModes };

CryptoContext Key() {
    CryptoContext key;
    DeriveRc4Key(kPassword, kKeyBits128, key);
    return key;
}

// A fresh workbook with the input file open on its stream, or none.
std::unique_ptr<CWorkbook> OpenedInput() {
    auto book = CreateWorkbook();
    if (!book || !book->stream.Open(g_file.c_str(), "rb", false, kFileBufferSize)) return nullptr;
    return book;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (TempFolder().empty()) return 0;
    g_file = TempFolder() + "/input";
    g_saved = TempFolder() + "/saved.vlb";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || g_file.empty()) return 0;
    const uint8_t selector = data[0] % (kModes * 3);
    WriteFile(g_file, data + 1, size - 1);
    if (selector / 3 == kWholeFile) {
        for (const char* password : {kPassword, static_cast<const char*>(nullptr)})
            if (auto book = OpenedInput(); book && OpenWorkbookFile(*book, password))
                Require(reloadcheck::ReloadFault(*book, g_saved).empty());
    } else if (auto book = OpenedInput()) {
        CryptoContext key = Key();
        if (ReadBinaryWorkbookBody(*book, book->stream, uint8_t(1 + selector % 3),
                                   selector / 3 == kEncryptedBody ? &key : nullptr))
            Require(reloadcheck::ReloadFault(*book, g_saved).empty());
    }
    return 0;
}
