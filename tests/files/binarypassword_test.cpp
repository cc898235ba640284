#include "filestestutil.h"

#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

constexpr const char* kPassword = "Geheim!";

std::string SaveProtected(TempFolder& dir, uint8_t code, bool gzip) {
    auto book = MakeRichWorkbook();
    book->encryption = code;
    CopyTextField(book->password, kPassword, kPasswordSize);
    const std::string path = dir.Path("p" + std::to_string(code) + (gzip ? "z" : ""));
    EXPECT_TRUE(SaveToPath(*book, path, gzip));
    return path;
}

// Nothing of a workbook was built: no item, list, inspected cell or style beyond the first.
void ExpectNothingBuilt(const CWorkbook& book) {
    EXPECT_EQ(book.tree.first, nullptr);
    EXPECT_EQ(book.tree.worksheetCount, 0u);
    EXPECT_EQ(book.tree.folderCount, 0u);
    EXPECT_EQ(book.inspectedCells.ItemCount(), 0u);
    EXPECT_EQ(book.styles.styleCount, 1);
    EXPECT_EQ(book.styles.fontCount, 1);
    for (const DropDownListRecord& list : book.dropDownLists) EXPECT_FALSE(DropDownListInUse(list));
    EXPECT_EQ(book.password[0], 0);
}

} // namespace

TEST(BinaryPassword, WrongOrMissingPasswordBuildsNothing) {
    TempFolder dir;
    struct Case {
        uint8_t code;
        bool gzip;
        const char* password;
    } cases[] = {
        {2, false, "geheim!"}, {2, true, "Geheim"}, {4, false, ""},     {4, true, "x"},
        {2, false, nullptr},   {4, true, nullptr},  {1, false, "nope"}, {3, true, "Geheim!!"},
    };
    for (const Case& c : cases) {
        const std::string path = SaveProtected(dir, c.code, c.gzip);
        bool ok = true;
        auto book = LoadFromPath(path, c.password, ok);
        EXPECT_FALSE(ok) << int(c.code) << " " << (c.password ? c.password : "(none)");
        EXPECT_EQ(book->error, kErrorInvalidPassword);
        EXPECT_STREQ(GetErrorMessage(book->error), "Invalid password");
        ExpectNothingBuilt(*book);
    }
}

TEST(BinaryPassword, RightPasswordOpensTheFullWorkbook) {
    TempFolder dir;
    auto original = MakeRichWorkbook();
    for (uint8_t code = 1; code <= 4; ++code) {
        for (bool gzip : {false, true}) {
            bool ok = false;
            auto book = LoadFromPath(SaveProtected(dir, code, gzip), kPassword, ok);
            ASSERT_TRUE(ok) << int(code);
            EXPECT_EQ(book->readOnly, 0);
            EXPECT_EQ(book->encryption, code);
            EXPECT_STREQ(book->password, kPassword);
            ExpectSameWorkbook(*original, *book);
        }
    }
}

// Codes 1 and 3 open without a password as the values-only copy, read-only: every formula
// cell has become its value and nothing else has changed.
TEST(BinaryPassword, PlainCopyOpensReadOnlyWithoutPassword) {
    TempFolder dir;
    for (uint8_t code : {1, 3}) {
        bool ok = false;
        auto book = LoadFromPath(SaveProtected(dir, code, code == 3), nullptr, ok);
        ASSERT_TRUE(ok) << int(book->error);
        EXPECT_EQ(book->readOnly, 1);
        EXPECT_EQ(book->encryption, code);
        EXPECT_EQ(book->password[0], 0);
        CWorksheet* sheet = AsWorksheet(book->tree.first->next);
        ASSERT_NE(sheet, nullptr);
        CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
        uint32_t formulas = 0, cells = 0;
        while (const uint8_t* r = NextCellRecord(cursor)) {
            ++cells;
            formulas += cell::IsFormula(r);
        }
        EXPECT_EQ(formulas, 0u);
        EXPECT_EQ(cells, 300u * 3 + 4);
        const uint8_t* r = FindCell(sheet->cells, 3, 9); // R[-1]C+1 whose value is 1.5
        ASSERT_NE(r, nullptr);
        ASSERT_TRUE(cell::IsNumber(r));
        EXPECT_EQ(cell::Number(r), 1.5);
        r = FindCell(sheet->cells, 2001, 3);
        ASSERT_TRUE(r && cell::IsText(r));
        EXPECT_EQ(cell::Text(r), "ab");
        r = FindCell(sheet->cells, 2001, 4);
        ASSERT_NE(r, nullptr);
        EXPECT_FALSE(cell::IsFormula(r));
        EXPECT_EQ(cell::Error(r), 1); // #DIV/0! typed in stays that error
        auto original = MakeRichWorkbook();
        EXPECT_EQ(book->styles.styleCount, original->styles.styleCount);
        EXPECT_EQ(book->inspectedCells.ItemCount(), 25u);
    }
}

TEST(BinaryPassword, KeyThatCannotBeDerivedIs25) {
    TempFolder dir;
    const std::string path = SaveProtected(dir, 4, false);
    SetKeyDerivationFailure(true);
    bool ok = true;
    auto book = LoadFromPath(path, kPassword, ok);
    auto saved = MakeRichWorkbook();
    saved->encryption = 2;
    const bool saveOk = SaveToPath(*saved, dir.Path("s"), false);
    SetKeyDerivationFailure(false);
    EXPECT_FALSE(ok);
    EXPECT_EQ(book->error, kErrorCryptKey);
    ExpectNothingBuilt(*book);
    EXPECT_FALSE(saveOk);
    EXPECT_EQ(saved->error, kErrorCryptKey);
    EXPECT_STREQ(GetErrorMessage(kErrorCryptKey), "Can't generate the cryptographic key");
}

// No salt and no random data: the same body under the same password gives the same bytes,
// and a 40-bit key differs from a 128-bit one.
TEST(BinaryPassword, EncryptionIsDeterministic) {
    TempFolder dir;
    const Bytes a = ReadBytes(SaveProtected(dir, 4, false));
    const Bytes b = ReadBytes(SaveProtected(dir, 4, false));
    EXPECT_EQ(a, b);
    const Bytes c = ReadBytes(SaveProtected(dir, 2, false));
    ASSERT_EQ(a.size(), c.size());
    EXPECT_NE(Bytes(a.begin() + 11, a.end()), Bytes(c.begin() + 11, c.end()));
}

} // namespace vl
