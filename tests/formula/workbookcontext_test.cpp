#include "formula/evalcontext.h"
#include "formula/workbookcontext.h"
#include "platform/core/alloc.h"

#include <gtest/gtest.h>

namespace vl {

// The workbook holds the context and releases it, with the arrays its scratch store keeps,
// when it is destroyed.
TEST(WorkbookContext, AttachedWithTheWorkbookAndReleasedWithIt) {
    auto book = CreateWorkbook();
    ASSERT_EQ(WorkbookEvalContext(*book), nullptr);
    ASSERT_TRUE(AttachEvalContext(*book));
    CEvalContext* context = WorkbookEvalContext(*book);
    ASSERT_NE(context, nullptr);
    CellBuffer b;
    MakeNumberCell(b, 0, 0, 1);
    CellCursor cursor;
    ASSERT_TRUE(context->scratch.cells.PutCell(b.bytes, cursor));
    const long live = LiveBlockCount();
    ASSERT_GT(live, 0);
    ASSERT_TRUE(AttachEvalContext(*book)); // a second one replaces the first
    EXPECT_NE(WorkbookEvalContext(*book), nullptr);
    EXPECT_LT(LiveBlockCount(), live);
    book.reset();
}

} // namespace vl
