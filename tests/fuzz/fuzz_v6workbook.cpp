// The version-6 workbook reader from arbitrary bytes: each input is a whole file, opened
// through the open dispatcher as a document would be. Whatever loads must save as XML and as
// binary and load again to the same records. The seeds are the golden files of tests/data/v6.

#include "files/workbookopen.h"
#include "harness.h"
#include "model/workbook.h"
#include "tests/files/reloadcheck.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

std::string g_file;
std::string g_saved;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (TempFolder().empty()) return 0;
    g_file = TempFolder() + "/input.vlb";
    g_saved = TempFolder() + "/saved.vlb";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (g_file.empty()) return 0;
    WriteFile(g_file, data, size);
    auto book = CreateWorkbook();
    if (!book || !OpenDocumentFile(*book, g_file.c_str())) return 0;
    if (OpenWorkbookFile(*book, nullptr)) Require(reloadcheck::ReloadFault(*book, g_saved).empty());
    return 0;
}
