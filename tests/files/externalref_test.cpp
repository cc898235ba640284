#include "files/externalload.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "filestestutil.h"
#include "formula/externalref.h"
#include "platform/core/cp1252.h"
#include "tests/formula/evaltestutil.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace vl {

using namespace filestest;

namespace {

CWorkbook* gWindowBook = nullptr;

// \Top (A1 1, B1 "text", C1 a formula of 2), \My Sheet (A1 3), \Reports\Sales (A1 10, A2 11),
// \Reports\Costs (A1 20, active) and the folder \Reports\Sub; the file is let go of.
std::string SaveOther(const TempFolder& dir, const std::string& name, uint8_t kind,
                      uint8_t encryption = 0) {
    auto book = CreateWorkbook();
    CWorksheet* top = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Top", 1));
    PutNumber(*top, 0, 0, 1);
    PutText(*top, 1, 0, "text");
    PutFormula(*top, 2, 0, "=RC[-2]+1", 2);
    PutNumber(*AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "My Sheet", 1)), 0, 0, 3);
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Reports", 1);
    CWorksheet* sales = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Sales", 2));
    PutNumber(*sales, 0, 0, 10);
    PutNumber(*sales, 0, 1, 11);
    book->tree.active = AsWorksheet(book->AppendTreeItem(TREE_TYPE_WORKSHEET, "Costs", 2));
    PutNumber(*book->tree.active, 0, 0, 20);
    book->AppendTreeItem(TREE_TYPE_FOLDER, "Sub", 2);
    book->encryption = encryption;
    std::strcpy(book->password, "secret");
    const std::string path = dir.Path(name);
    EXPECT_TRUE(SaveWorkbookFile(*book, path.c_str(), kind)) << int(book->error);
    return path;
}

// A copy of the file cut to 1/`part` of its bytes (0: empty).
std::string Cut(const TempFolder& dir, const std::string& whole, const std::string& name,
                int part) {
    std::ifstream in(whole, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string path = dir.Path(name);
    std::ofstream(path, std::ios::binary) << bytes.substr(0, part ? bytes.size() / part : 0);
    return path;
}

} // namespace

TEST(ExternalWorkbookFiles, SavedFilesAreReadAndHeldOnesThroughTheirWindowFirst) {
    InstallExternalWorkbookLoader();
    TempFolder dir;
    test::TestBook book;
    book.Sheet();
    const std::string xml = SaveOther(dir, "x.vln", kFileXml);
    const std::string bin = SaveOther(dir, "b.vlb", kFileBinaryCompressed);
    const std::pair<std::string, const char*> cases[] = {
        {"='[" + xml + "]\\Top'!A1", "1"},
        {"='[" + bin + "]\\TOP'!B1&\"!\"", "text!"},
        {"='[" + xml + "]\\Top'!C1", "2"},
        {"='[" + bin + "]\\My Sheet'!A1", "3"},
        {"='[" + xml + "]Sales'!A1:A2*2", "{20; 22}"}, // beside the active worksheet
        {"=\"[" + bin + "  ]costs\"!A1", "20"},
        {"='[" + xml + "]\\Reports'!A1:A2", "{10; 11; 20; ; ; }"}, // Sales, Costs, Sub
        {"='[" + bin + "]Top'!A1", "#REF!"},
        {"='[" + xml + "]Nothing'!A1", "#REF!"},
        {"='[]Top'!A1", "#REF!"},
        {"='[" + dir.Path("none") + "]Top'!A1", "#REF!"},
        {"='[" + SaveOther(dir, "p1", kFileBinary, 1) + "]Costs'!A1", "20"}, // the plain copy
        {"='[" + SaveOther(dir, "p2", kFileBinary, 2) + "]Costs'!A1", "#REF!"},
        // A save cut short: an empty file and the first half of one are no workbooks.
        {"='[" + Cut(dir, xml, "e.vln", 0) + "]Top'!A1", "#REF!"},
        {"='[" + Cut(dir, xml, "h.vln", 2) + "]Top'!A1", "#REF!"},
        {"='[" + Cut(dir, bin, "h.vlb", 2) + "]Top'!A1", "#REF!"},
    };
    for (const auto& [formula, shown] : cases) EXPECT_EQ(book.Eval(formula), shown) << formula;

    auto held = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*held, bin.c_str()) && OpenWorkbookFile(*held, nullptr));
    PutNumber(*held->tree.active, 0, 0, 99);
    const std::string reference = "='[" + bin + "]Costs'!A1";
    // Held by a document, the file is still read as saved, beside it.
    EXPECT_EQ(book.Eval(reference), "20");
    gWindowBook = held.get();
    SetOpenDocumentTable([](uint32_t i) { return i == 15 ? gWindowBook : nullptr; });
    std::string upper = reference;
    for (char& c : upper) c = AsciiUpper(c);
    EXPECT_EQ(book.Eval(upper), "99"); // the unsaved cells of the window's workbook
    // Another spelling of the path is no window's: the saved file is read.
    EXPECT_EQ(book.Eval("='[" + dir.Dir() + "/./b.vlb]Costs'!A1"), "20");
    SetOpenDocumentTable(nullptr);
    held.reset();
    EXPECT_EQ(book.Eval(reference), "20");
    SetExternalWorkbookLoader(nullptr);
}

} // namespace vl
