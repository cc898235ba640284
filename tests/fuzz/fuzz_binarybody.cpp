// The binary workbook reader from arbitrary bytes. The first byte chooses what the rest is:
// a plain body of format version 1, 2 or 3, the same encrypted under a fixed key (so that
// the decrypting path reads it), or a whole file opened with and without the password. An
// empty corpus folder is seeded with files and bodies the writer made.

#include "files/binarybody.h"
#include "files/binaryform.h"
#include "files/bodyio.h"
#include "files/workbookopen.h"
#include "harness.h"
#include "model/container.h"
#include "model/inspectedcell.h"
#include "model/workbook.h"

namespace {

using namespace vl;
using namespace vl::fuzz;

constexpr const char* kPassword = "fuzz";
std::string g_file;

enum Mode : uint8_t { kPlainBody, kEncryptedBody, kWholeFile, kModes };

class CCollect : public CBodySink {
public:
    void Put(const uint8_t* bytes, uint32_t n) override {
        data.insert(data.end(), bytes, bytes + n);
    }
    std::vector<uint8_t> data;
};

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

// A small workbook with something of every kind the body holds.
std::unique_ptr<CWorkbook> SeedWorkbook(uint8_t encryption) {
    auto book = CreateWorkbook();
    NewWorkbook(*book);
    book->encryption = encryption;
    std::snprintf(book->password, sizeof book->password, "%s", kPassword);
    CWorksheet& sheet = *book->tree.active;
    CellBuffer b;
    CellCursor cursor;
    MakeNumberCell(b, 1, 1, 2.5);
    sheet.cells.PutCell(b.bytes, cursor);
    MakeTextCell(b, 2, 1, "text");
    sheet.cells.PutCell(b.bytes, cursor);
    FormulaHead head;
    head.cachedNumber = 3.5;
    MakeFormulaCell(b, 3, 1, head, "R[0]C[-2]+1");
    sheet.cells.PutCell(b.bytes, cursor);
    PutFormatRun(sheet.formats, {0, 3, 1, 0}, cursor);
    SetFormatStoreRowEntry(sheet.formats, 4, 30, true);
    AddDropDownEntry(book->dropDownLists[2], "entry");
    AppendInspectedCell(book->inspectedCells, InspectedCellRecord{});
    auto container = NewBlockObject<CContainer>();
    InitContainerDefaults(*container, nullptr, nullptr);
    container->slots[0].kind = kObjectChart;
    container->slots[0].chart = NewBlockObject<CChart>(uint8_t(kChart3D));
    container->slots[0].chart->settings.seriesCount = 1;
    container->settings.objectCount = 1;
    LinkContainer(sheet, std::move(container));
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Folder", 1);
    return book;
}

void WriteSeed(const std::filesystem::path& dir, const std::string& name, Mode mode,
               std::vector<uint8_t> bytes) {
    CryptoContext key = Key();
    if (mode == kEncryptedBody) Rc4Crypt(key, bytes.data(), bytes.size());
    bytes.insert(bytes.begin(), uint8_t(mode * 3 + 2)); // format version 3
    WriteFile((dir / name).string(), bytes.data(), bytes.size());
}

void Seed(const std::filesystem::path& dir) {
    CCollect body;
    ErrorCode error = 0;
    SerializeWorkbookBody(*SeedWorkbook(0), body, kBodyFull, error);
    WriteSeed(dir, "seed-body", kPlainBody, body.data);
    WriteSeed(dir, "seed-encrypted-body", kEncryptedBody, body.data);
    const std::string path = (dir / "seed-file.tmp").string();
    for (uint8_t code = 0; code <= 4; ++code) {
        auto coded = SeedWorkbook(code);
        coded->stream.Open(path.c_str(), "w+b", false, kFileBufferSize);
        SaveBinaryWorkbook(*coded);
        coded->stream.Close();
        WriteSeed(dir, "seed-file-" + std::to_string(code), kWholeFile, ReadFile(path));
        std::filesystem::remove(path);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    if (!TempFolder().empty()) g_file = TempFolder() + "/input";
    SeedEmptyCorpora(*argc, *argv, Seed);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || g_file.empty()) return 0;
    const uint8_t selector = data[0] % (kModes * 3);
    WriteFile(g_file, data + 1, size - 1);
    if (selector / 3 == kWholeFile) {
        for (const char* password : {kPassword, static_cast<const char*>(nullptr)})
            if (auto book = OpenedInput()) OpenWorkbookFile(*book, password);
    } else if (auto book = OpenedInput()) {
        CryptoContext key = Key();
        ReadBinaryWorkbookBody(*book, book->stream, uint8_t(1 + selector % 3),
                               selector / 3 == kEncryptedBody ? &key : nullptr);
    }
    return 0;
}
