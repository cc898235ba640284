// The version-6 workbook reader from arbitrary bytes: each input is a whole file, opened
// through the open dispatcher as a document would be. An empty corpus folder is seeded with
// the golden files of tests/data/v6.

#include "files/workbookopen.h"
#include "model/workbook.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace vl;

std::string g_file;

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

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
    static char folder[] = "/tmp/fuzz_v6workbook.XXXXXX";
    if (mkdtemp(folder)) {
        g_file = std::string(folder) + "/input.vlb";
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
    }
    for (int i = 1; i < *argc; ++i) {
        const char* arg = (*argv)[i];
        std::error_code ec;
        if (arg[0] != '-' && std::filesystem::is_directory(arg, ec) &&
            std::filesystem::is_empty(arg, ec))
            Seed(arg);
    }
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
