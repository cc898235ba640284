// Imports and field lists that run out of memory: error 8, and what must stay is left whole.
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "formula/evalcontext.h"
#include "platform/core/alloc.h"
#include "tests/exchange/exchangetestutil.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using namespace exchangetest;

struct AllocGuard {
    ~AllocGuard() { SetAllocFailAfter(-1); }
};

// Without memory for its worksheet a text import fails with 8 and keeps the tree it had.
TEST(ExchangeMemory, TextImportKeepsTheTree) {
    TempFolder dir;
    WriteFile(dir.Path("a.csv"), "1,2\r\n3,4");
    auto book = OpenForImport(dir.Path("a.csv"));
    ASSERT_TRUE(NewWorkbook(*book));
    CWorksheet* before = book->tree.active;
    CEvalContext ctx;
    AllocGuard guard;
    SetAllocFailAfter(0);
    EXPECT_FALSE(ImportTextFile(*book, ctx));
    SetAllocFailAfter(-1);
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(book->tree.active, before);
    EXPECT_EQ(book->tree.first, before);
    EXPECT_STREQ(before->name, "Worksheet1");
}

// Out of memory for the descriptors: 8, and the record keeps the list it had.
TEST(ExchangeMemory, FieldListsKeepTheirRecord) {
    TempFolder dir;
    auto book = CreateWorkbook();
    ASSERT_TRUE(NewWorkbook(*book));
    PutText(*book->tree.active, 0, 0, "A");
    PutText(*book->tree.active, 1, 1, "bb");
    XBaseSaveOptions& o = book->xbase;
    ASSERT_TRUE(BuildXBaseFieldList(*book, *book->tree.active, o, 3));
    const uint8_t* descriptors = o.fieldDescriptors;
    const std::string header(reinterpret_cast<const char*>(o.header), 32);
    PutText(*book->tree.active, 2, 1, "ccc");
    AllocGuard guard;
    SetAllocFailAfter(0);
    EXPECT_FALSE(BuildXBaseFieldList(*book, *book->tree.active, o, 5));
    SetAllocFailAfter(-1);
    EXPECT_EQ(book->error, kErrorWorksheetMemory);
    EXPECT_EQ(o.fieldDescriptors, descriptors);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(o.header), 32), header);
    EXPECT_EQ(o.format, 3);
    EXPECT_EQ(FieldName(Descriptor(o, 0)), "A");

    // A table header read without memory for its descriptors keeps the record too.
    const std::string path = dir.Path("t.dbf");
    ASSERT_NE(SaveTableBytes(*book, *book->tree.active, path, [](CWorkbook&) { return true; }),
              "<failed>");
    auto reader = OpenForImport(path);
    reader->xbase.format = 3;
    SetAllocFailAfter(0);
    EXPECT_FALSE(ReadDbfHeader(*reader, reader->xbase));
    SetAllocFailAfter(-1);
    EXPECT_EQ(reader->error, kErrorWorksheetMemory);
    EXPECT_EQ(reader->xbase.fieldDescriptors, nullptr);
    EXPECT_EQ(HeaderLength(reader->xbase), 0);
}

} // namespace
} // namespace vl
