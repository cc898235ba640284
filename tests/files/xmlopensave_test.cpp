// The XML forms through the open dispatcher and the save command: the detected kind is
// recorded, and a document that fails names its code and line.

#include "../platform/core/tempfiles.h"
#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "xmltestutil.h"

#include <cstring>
#include <tuple>

namespace vl::xmltest {
namespace {

TEST(XmlOpenSave, SavedFormsOpenAsTheirKind) {
    tempfiles::TempFolder folder;
    for (uint8_t kind : {kFileXml, kFileXmlCompressed}) {
        auto book = SampleWorkbook();
        const std::string path = folder.Path("book" + std::to_string(kind) + ".vln");
        ASSERT_TRUE(SaveWorkbookFile(*book, path.c_str(), kind)) << int(book->error);
        EXPECT_NE(std::string(book->lastSavedDate), "2024-05-06T07:08:09");
        book->stream.Close(); // the saved document stays locked while it is open
        auto loaded = CreateWorkbook();
        ASSERT_TRUE(OpenDocumentFile(*loaded, path.c_str()));
        ASSERT_TRUE(OpenWorkbookFile(*loaded, nullptr)) << int(loaded->error);
        EXPECT_EQ(loaded->fileKind, kind);
        EXPECT_EQ(loaded->currentItem, loaded->tree.first);
        EXPECT_EQ(loaded->currentCells, &loaded->tree.active->cells);
        EXPECT_EQ(loaded->stream.IsCompressed(), kind == kFileXmlCompressed);
        EXPECT_STREQ(loaded->lastSavedDate, book->lastSavedDate);
        std::memcpy(loaded->lastSavedDate, "2024-05-06T07:08:09", 20);
        std::memcpy(loaded->lastSavedUser, "ann", 4);
        EXPECT_EQ(WriteToMemory(*loaded), SampleDocument());
    }
}

TEST(XmlOpenSave, FailedDocumentKeepsItsCodeAndLine) {
    tempfiles::TempFolder folder;
    const std::string path = folder.Path("bad.vln");
    const std::string doc =
        SheetDocument("<Cells>\r\n<Cell rc='r1c1' Auto=\"yes\"><N>1</N></Cell>");
    tempfiles::WriteBytes(path, std::vector<uint8_t>(doc.begin(), doc.end()));
    auto book = CreateWorkbook();
    ASSERT_TRUE(OpenDocumentFile(*book, path.c_str()));
    EXPECT_FALSE(OpenWorkbookFile(*book, nullptr));
    EXPECT_EQ(book->error, kErrorXmlAttribute);
    EXPECT_EQ(book->xmlErrorLine, 5u);
    EXPECT_EQ(book->fileKind, 0);
    EXPECT_EQ(std::tuple(book->currentItem, book->currentCells), std::tuple(nullptr, nullptr));
}

} // namespace
} // namespace vl::xmltest
