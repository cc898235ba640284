// The binary form: the bytes it writes, the round trip of every encryption code, compressed
// or not, and what a wrong, missing or underivable password leaves.

#include "files/workbookopen.h"
#include "filestestutil.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace vl {

using namespace filestest;

namespace {

constexpr const char* kPassword = "pa\xDFwort";

std::unique_ptr<CWorkbook> NewBook() {
    auto book = NewBlockObject<CWorkbook>();
    EXPECT_TRUE(NewWorkbook(*book));
    return book;
}

Bytes Md5Of(const Bytes& bytes) {
    CMd5 md5;
    md5.Update(bytes.data(), bytes.size());
    Bytes out(kMd5Size);
    md5.Final(out.data());
    return out;
}

// The encrypted part of a file, decrypted with the password's key.
Bytes Decrypt(const Bytes& part, const char* password, int bits) {
    CryptoContext key;
    EXPECT_TRUE(DeriveRc4Key(password, bits, key));
    Bytes out = part;
    Rc4Crypt(key, out.data(), out.size());
    return out;
}

bool OnlyZeros(const Bytes& b, size_t from, size_t to) {
    return std::all_of(b.begin() + long(from), b.begin() + long(to),
                       [](uint8_t v) { return v == 0; });
}

Bytes Slice(const Bytes& b, size_t from, size_t to) {
    return Bytes(b.begin() + long(from), b.begin() + long(to));
}

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
    EXPECT_EQ(Of(book.tree.worksheetCount, book.tree.folderCount, book.inspectedCells.ItemCount(),
                 book.styles.styleCount, book.styles.fontCount, book.password[0]),
              Of(0, 0, 0, 1, 1, 0));
    for (const DropDownListRecord& list : book.dropDownLists) EXPECT_FALSE(DropDownListInUse(list));
}

} // namespace

// A new workbook: one font of 135 zero bytes, one style whose only non-zero bytes are the two
// indents, one worksheet with every default.
TEST(BinaryGolden, BodyOfANewWorkbook) {
    auto book = NewBook();
    const Bytes body = BodyOf(*book);
    EXPECT_TRUE(OnlyZeros(body, 0, 178));
    // Panes (tree shown, its width, inspector, its height), no lists, one font.
    EXPECT_EQ(Of(LoadU16(&body[178]), LoadU16(&body[180]), LoadU16(&body[182]), LoadU16(&body[184]),
                 LoadU16(&body[186]), body[188]),
              Of(1, 100, 0, 100, 0, 1));
    EXPECT_TRUE(OnlyZeros(body, 189, 189 + 135));
    const size_t style = 189 + 135 + 2;
    EXPECT_EQ(LoadU16(&body[style - 2]), 1);
    Bytes expectedStyle(kStyleRecordSize);
    expectedStyle[1134] = 4;
    expectedStyle[1135] = 2;
    EXPECT_EQ(Slice(body, style, style + kStyleRecordSize), expectedStyle);
    size_t at = style + kStyleRecordSize;
    // No inspected cells, one item: "Worksheet1", level 1, a worksheet, the current one.
    EXPECT_EQ(Of(LoadU32(&body[at]), LoadU32(&body[at + 4]), body[at + 8]), Of(0, 1, 10));
    EXPECT_EQ(std::string(body.begin() + long(at) + 9, body.begin() + long(at) + 19), "Worksheet1");
    at += 19;
    EXPECT_EQ(Of(LoadU16(&body[at]), body[at + 2], body[at + 3], LoadU32(&body[at + 4]),
                 LoadU16(&body[at + 8])),
              Of(1, 1, 1, 0, kMaxColumns));         // no containers, one run of equal columns
    EXPECT_TRUE(OnlyZeros(body, at + 10, at + 28)); // the run's fields, then R, P and Q all 0
    at += 28;
    EXPECT_EQ(LoadU16(&body[at + 292]), 100);          // page setup follows
    EXPECT_EQ(body[at + kPageSetupRecordSize + 8], 1); // then the view's background kind
    EXPECT_EQ(body.size(), at + kPageSetupRecordSize + kViewSettingsRecordSize);
}

TEST(BinaryGolden, ContainerAndChartRecordSizes) {
    auto book = NewBook();
    CWorksheet& sheet = *AsWorksheet(book->tree.first);
    const size_t bare = BodyOf(*book).size();
    AddContainer(sheet, 1, {2, 0, 16});
    const size_t withCharts = BodyOf(*book).size();
    EXPECT_EQ(withCharts - bare, 984u + 3 * (732 + 64) + 18 * 3528);
    // A container without anchor, frame or charts is its 984 bytes and nothing else.
    auto plain = NewBlockObject<CContainer>();
    InitContainerDefaults(*plain, nullptr, nullptr);
    LinkContainer(sheet, std::move(plain));
    const Bytes body = BodyOf(*book);
    ASSERT_EQ(body.size(), withCharts + 984);
    // The second container ends where the column table begins.
    const size_t end = body.size() - kViewSettingsRecordSize - kPageSetupRecordSize - 20;
    const size_t c = end - 984;
    EXPECT_EQ(Slice(body, c + 2, c + 7), (Bytes{1, 1, 4, 4, 100}));
    EXPECT_EQ(Of(body[c + 16], LoadI32(&body[c + 20]), LoadI32(&body[c + 24]),
                 LoadI32(&body[c + 28]), LoadI32(&body[c + 32]), body[c + 576], body[c + 968],
                 body[c + 976], LoadU16(&body[end])),
              Of(9, 10, 10, 360, 260, 1, 1, 0, kMaxColumns));
}

// The header of each code; without encryption the body follows it directly; with it, d, the
// filler of the digest's second byte, the digest of the body and the body run as one RC4
// stream.
TEST(BinaryGolden, FileLayoutOfEachCode) {
    const char* headers[] = {"30000000000", "31100000000", "31000000000", "32100000000",
                             "32000000000"};
    TempFolder dir;
    for (uint8_t code = 0; code <= 4; ++code) {
        auto book = MakeRichWorkbook();
        book->encryption = code;
        CopyTextField(book->password, "key", kPasswordSize);
        ASSERT_TRUE(SaveToPath(*book, dir.Path("f"), false));
        const Bytes file = ReadBytes(dir.Path("f"));
        EXPECT_EQ(std::string(file.begin(), file.begin() + 11), headers[code]);
        const Bytes full = BodyOf(*book);
        size_t at = 11;
        if (code == 1 || code == 3) {
            const Bytes plain = BodyOf(*book, kBodyPlainCopy);
            ASSERT_GE(file.size(), at + plain.size());
            EXPECT_EQ(Slice(file, at, at + plain.size()), plain);
            at += plain.size();
        }
        Bytes rest = Slice(file, at, file.size());
        if (code == 0) {
            EXPECT_EQ(rest, full);
            continue;
        }
        rest = Decrypt(rest, "key", code >= 3 ? kKeyBits128 : kKeyBits40);
        const Bytes digest = Md5Of(full);
        const size_t filler = std::max<size_t>(1, 4u * digest[0]);
        ASSERT_EQ(rest.size(), 1 + filler + 16 + full.size()) << int(code);
        EXPECT_EQ(rest[0], digest[0]);
        EXPECT_EQ(Slice(rest, 1, 1 + filler), Bytes(filler, digest[1]));
        EXPECT_EQ(Slice(rest, 1 + filler, 17 + filler), digest);
        EXPECT_EQ(Slice(rest, 17 + filler, rest.size()), full);
        uint8_t computed[kMd5Size];
        ASSERT_TRUE(ComputeWorkbookDigest(*book, computed));
        EXPECT_EQ(Bytes(computed, computed + kMd5Size), digest);
    }
}

// d = 0 gives one filler byte and d = 255 gives 1,020; both files open with the password.
TEST(BinaryGolden, FillerLengthFollowsTheDigest) {
    TempFolder dir;
    for (int wanted : {0, 255}) {
        auto book = NewBook();
        book->encryption = 4;
        CopyTextField(book->password, "pw", kPasswordSize);
        uint8_t digest[kMd5Size] = {};
        for (int n = 0;; ++n) {
            ASSERT_LT(n, 20000);
            CopyTextField(book->lastSavedUser, std::to_string(n).c_str(), kLastSavedUserSize);
            ASSERT_TRUE(ComputeWorkbookDigest(*book, digest));
            if (digest[0] == wanted) break;
        }
        ASSERT_TRUE(SaveToPath(*book, dir.Path("d"), false));
        const size_t filler = wanted ? 1020 : 1;
        EXPECT_EQ(ReadBytes(dir.Path("d")).size(), 11 + 1 + filler + 16 + BodyOf(*book).size());
        bool ok = false;
        auto loaded = LoadFromPath(dir.Path("d"), "pw", ok);
        EXPECT_TRUE(ok) << wanted;
        EXPECT_STREQ(loaded->lastSavedUser, book->lastSavedUser);
    }
}

// load(save(w)) equals w record by record, for every encryption code, compressed or not;
// saving the workbook again, or the loaded one, gives the same bytes.
TEST(BinaryRoundTrip, LoadOfSaveEqualsTheWorkbookInEveryForm) {
    TempFolder dir;
    for (uint8_t code = 0; code <= 4; ++code) {
        for (bool gzip : {false, true}) {
            SCOPED_TRACE("code " + std::to_string(code) + (gzip ? " compressed" : ""));
            const std::string first = dir.Path("first");
            auto book = MakeRichWorkbook();
            book->encryption = code;
            CopyTextField(book->password, kPassword, kPasswordSize);
            ASSERT_TRUE(SaveToPath(*book, first, gzip)) << int(book->error);
            ASSERT_TRUE(SaveToPath(*book, dir.Path("again"), gzip));
            const Bytes bytes = ReadBytes(first);
            EXPECT_EQ(ReadBytes(dir.Path("again")), bytes);
            EXPECT_EQ(bytes.size() > 2 && bytes[0] == 0x1F && bytes[1] == 0x8B, gzip);
            bool ok = false;
            auto loaded = LoadFromPath(first, kPassword, ok);
            ASSERT_TRUE(ok) << int(loaded->error);
            ExpectSameWorkbook(*book, *loaded);
            EXPECT_EQ(Of(loaded->encryption, loaded->readOnly), Of(code, 0));
            EXPECT_STREQ(loaded->password, kPassword);
            ASSERT_TRUE(SaveToPath(*loaded, dir.Path("second"), gzip));
            EXPECT_EQ(ReadBytes(dir.Path("second")), bytes);
        }
    }
}

// The pages a file holds are the store's pages: a reloaded worksheet finds every cell.
TEST(BinaryRoundTrip, ReloadedStoresAnswerLookups) {
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
    // The reloaded store takes edits like any other.
    PutNumber(*sheet, 1, 1, 7);
    EXPECT_EQ(cell::Number(FindCell(sheet->cells, 1, 1)), 7);
}

TEST(BinaryPassword, WrongOrMissingPasswordBuildsNothing) {
    TempFolder dir;
    const struct {
        uint8_t code;
        bool gzip;
        const char* password;
    } cases[] = {
        {2, false, "PA\xDFwort"}, {4, false, ""},     {4, true, "x"},
        {2, false, nullptr},      {1, false, "nope"}, {3, true, "pa\xDFwort!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " " + (c.password ? c.password : "(none)"));
        bool ok = true;
        auto book = LoadFromPath(SaveProtected(dir, c.code, c.gzip), c.password, ok);
        EXPECT_FALSE(ok);
        EXPECT_EQ(book->error, kErrorInvalidPassword);
        EXPECT_STREQ(GetErrorMessage(book->error), "Invalid password");
        ExpectNothingBuilt(*book);
    }
}

// Codes 1 and 3 open without a password as the values-only copy, read-only: no formula cell
// is left, no cell is lost and the tables are kept.
TEST(BinaryPassword, PlainCopyOpensReadOnlyWithoutPassword) {
    TempFolder dir;
    for (uint8_t code : {1, 3}) {
        bool ok = false;
        auto book = LoadFromPath(SaveProtected(dir, code, code == 3), nullptr, ok);
        ASSERT_TRUE(ok) << int(book->error);
        EXPECT_EQ(Of(book->readOnly, book->encryption, book->password[0]), Of(1, code, 0));
        CWorksheet* sheet = AsWorksheet(book->tree.first->next);
        ASSERT_NE(sheet, nullptr);
        CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
        uint32_t formulas = 0, cells = 0;
        while (const uint8_t* r = NextCellRecord(cursor)) {
            ++cells;
            formulas += cell::IsFormula(r);
        }
        EXPECT_EQ(Of(formulas, cells), Of(0, 300 * 3 + 4));
        EXPECT_EQ(Of(book->styles.styleCount, book->inspectedCells.ItemCount()),
                  Of(MakeRichWorkbook()->styles.styleCount, 25));
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

} // namespace vl
