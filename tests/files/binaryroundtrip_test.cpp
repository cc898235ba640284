#include "filestestutil.h"

#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

struct FormCase {
    uint8_t encryption;
    bool gzip;
};

class BinaryRoundTrip : public ::testing::TestWithParam<FormCase> {};

} // namespace

// load(save(w)) equals w record by record, for every encryption code, compressed or not;
// saving the loaded workbook gives the same bytes again.
TEST_P(BinaryRoundTrip, LoadOfSaveEqualsTheWorkbook) {
    const FormCase form = GetParam();
    TempFolder dir;
    auto book = MakeRichWorkbook();
    book->encryption = form.encryption;
    CopyTextField(book->password, "pa\xDFwort", kPasswordSize);
    const std::string first = dir.Path("first.vlb"), second = dir.Path("second.vlb");
    ASSERT_TRUE(SaveToPath(*book, first, form.gzip)) << int(book->error);
    bool ok = false;
    auto loaded = LoadFromPath(first, "pa\xDFwort", ok);
    ASSERT_TRUE(ok) << int(loaded->error);
    ExpectSameWorkbook(*book, *loaded);
    EXPECT_EQ(loaded->encryption, form.encryption);
    EXPECT_STREQ(loaded->password, "pa\xDFwort");
    EXPECT_EQ(loaded->readOnly, 0);
    ASSERT_TRUE(SaveToPath(*loaded, second, form.gzip));
    EXPECT_EQ(ReadBytes(first), ReadBytes(second));
}

TEST_P(BinaryRoundTrip, SavingTwiceGivesTheSameBytes) {
    const FormCase form = GetParam();
    TempFolder dir;
    auto book = MakeRichWorkbook();
    book->encryption = form.encryption;
    ASSERT_TRUE(SaveToPath(*book, dir.Path("a"), form.gzip));
    ASSERT_TRUE(SaveToPath(*book, dir.Path("b"), form.gzip));
    const Bytes a = ReadBytes(dir.Path("a"));
    EXPECT_EQ(a, ReadBytes(dir.Path("b")));
    EXPECT_EQ(a.size() > 2 && a[0] == 0x1F && a[1] == 0x8B, form.gzip);
}

INSTANTIATE_TEST_SUITE_P(EveryForm, BinaryRoundTrip,
                         ::testing::Values(FormCase{0, false}, FormCase{0, true},
                                           FormCase{1, false}, FormCase{1, true},
                                           FormCase{2, false}, FormCase{2, true},
                                           FormCase{3, false}, FormCase{3, true},
                                           FormCase{4, false}, FormCase{4, true}),
                         [](const ::testing::TestParamInfo<FormCase>& info) {
                             return "Code" + std::to_string(info.param.encryption) +
                                    (info.param.gzip ? "Gzip" : "Plain");
                         });

// The pages a file holds are the store's pages: a reloaded worksheet finds every cell.
TEST(BinaryRoundTripCells, ReloadedStoresAnswerLookups) {
    TempFolder dir;
    auto book = MakeRichWorkbook();
    ASSERT_TRUE(SaveToPath(*book, dir.Path("f"), false));
    bool ok = false;
    auto loaded = LoadFromPath(dir.Path("f"), nullptr, ok);
    ASSERT_TRUE(ok);
    CWorksheet* sheet = AsWorksheet(loaded->tree.first->next);
    ASSERT_NE(sheet, nullptr);
    const uint8_t* r = FindCell(sheet->cells, kLastRow, kLastColumn);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::Number(r), 42);
    r = FindCell(sheet->cells, 2000, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(cell::TextLength(r), kMaxCellText);
    // The reloaded store takes edits like any other.
    PutNumber(*sheet, 1, 1, 7);
    EXPECT_EQ(cell::Number(FindCell(sheet->cells, 1, 1)), 7);
    EXPECT_EQ(loaded->tree.active, AsWorksheet(loaded->tree.first->next->next->next));
}

} // namespace vl
