// The version-6 workbook reader from arbitrary bytes: each input is a whole file, opened
// through the open dispatcher as a document would be. The seeds are the golden files of
// tests/data/v6.

#include "files/workbookopen.h"
#include "harness.h"
#include "model/workbook.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

std::string g_file;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!TempFolder().empty()) g_file = TempFolder() + "/input.vlb";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_file.empty()) return 0;
    WriteFile(g_file, data, size);
    auto book = CreateWorkbook();
    if (!book || !OpenDocumentFile(*book, g_file.c_str())) return 0;
    OpenWorkbookFile(*book, nullptr);
    return 0;
}
