#include "xmltestutil.h"

namespace vl {
namespace {
using namespace xmltest;

TEST(XmlSmoke, WritesAndReadsBack) {
    auto book = NewWorkbook();
    CWorksheet& ws = AddSheet(*book);
    CellBuffer b;
    MakeNumberCell(b, 0, 0, 1.5);
    Put(ws, b);
    MakeTextCell(b, 2, 0, "a&b");
    Put(ws, b);
    std::string doc = WriteToMemory(*book);
    std::printf("%s", doc.c_str());
    Loaded l = ReadFromMemory(doc);
    EXPECT_TRUE(l.ok) << int(l.error) << " line " << l.line;
    EXPECT_EQ(WriteToMemory(*l.book), doc);
}

} // namespace
} // namespace vl
