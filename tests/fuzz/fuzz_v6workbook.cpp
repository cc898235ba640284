// The version-6 workbook reader from arbitrary bytes: each input is a whole file, opened
// through the open dispatcher as a document would be. An empty corpus folder is seeded with
// the golden files of tests/data/v6.

#include "files/workbookopen.h"
#include "harness.h"
#include "model/workbook.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

std::string g_file;

// The golden files lie beside this source, in the tests' data folder.
void Seed(const std::filesystem::path& corpus) {
    const std::filesystem::path golden =
        std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / "v6";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(golden, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".vlb")
            std::filesystem::copy_file(entry.path(), corpus / entry.path().filename(), ec);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!TempFolder().empty()) g_file = TempFolder() + "/input.vlb";
    SeedEmptyCorpora(*argc, *argv, Seed);
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
