#include "evaltestutil.h"
#include "formula/externalref.h"
#include "platform/core/alloc.h"

namespace vl {

namespace {

// "x.vln": \F\Inner, the active worksheet, with A1 7 and A2 8.
bool FakeLoader(CWorkbook& book, const char* path) {
    if (std::string_view(path) != "x.vln") return false;
    book.AppendTreeItem(TREE_TYPE_FOLDER, "F", 1);
    book.tree.active = AsWorksheet(book.AppendTreeItem(TREE_TYPE_WORKSHEET, "Inner", 2));
    for (uint32_t row : {0u, 1u}) {
        CellBuffer b;
        CellCursor cursor;
        MakeNumberCell(b, 0, row, 7 + row);
        book.tree.active->cells.PutCell(b.data(), cursor);
    }
    return true;
}

} // namespace

TEST(ExternalReference, TextSplitsIntoPathAndName) {
    const std::string p(255, 'p');
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"'[a b  ]My Sheet'!A1", true, "a b|My Sheet"},
        {"[a]S!A1", true, "a|S"},
        {"a]S", false, "|"},
        {"[" + p + "]" + p, true, p + "|" + p},
        {"[" + p + "p]S", false, "|"},
        {"[a]" + p + "p", false, "|"}};
    for (const auto& [text, ok, parts] : cases) {
        std::string path = "?", name = "?";
        EXPECT_EQ(ParseExternalReference(text, path, name), ok) << text;
        EXPECT_EQ(path + "|" + name, parts) << text;
    }
}

TEST(ExternalReference, ResultsLandOnTheCallersStacksAndNothingStaysBehind) {
    CEvalContext ctx;
    FormulaToken range;
    range.type = kTokenArea;
    range.lastRow = 1;
    FormulaToken entry = range;
    EXPECT_FALSE(ResolveExternalReference(ctx, "[x.vln]Inner", entry)); // no loader
    EXPECT_EQ(entry.error, kErrRef);
    SetExternalWorkbookLoader(&FakeLoader);
    const long live = LiveBlockCount();
    // "\F\" and a name of 252 characters make an item path of 255.
    const std::tuple<std::string, long, bool, FormulaError> cases[] = {
        {"[x.vln]" + std::string(252, 'n'), -1, true, kErrRef},
        {"[x.vln]" + std::string(253, 'n'), -1, false, kErrRef},
        {"[x.vln]Inner", 0, false, kErrMemory}};
    for (const auto& [text, failAfter, result, error] : cases) {
        entry = range;
        SetAllocFailAfter(failAfter);
        EXPECT_EQ(ResolveExternalReference(ctx, text, entry), result) << text;
        SetAllocFailAfter(-1);
        EXPECT_EQ(entry.type, kTokenEmpty) << text;
        EXPECT_EQ(entry.error, error) << text;
    }

    // The caller's 50th array is kept; a 51st is #MEMORY! and its pages go.
    for (int i = 1; i < kMaxTempArrays; ++i) ctx.scratch.PushPointer(nullptr);
    for (FormulaError error : {FormulaError(0), kErrMemory}) {
        entry = range;
        EXPECT_TRUE(ResolveExternalReference(ctx, "[x.vln]Inner", entry));
        EXPECT_EQ(entry.error, error);
        EXPECT_EQ(ctx.scratch.arrayCount, kMaxTempArrays);
    }
    EXPECT_NE(ctx.scratch.arrays[kMaxTempArrays - 1], nullptr);
    ctx.ReleaseScratchArrays();
    EXPECT_EQ(LiveBlockCount(), live);
    SetExternalWorkbookLoader(nullptr);
}

} // namespace vl
