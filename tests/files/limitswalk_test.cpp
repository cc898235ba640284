// Every stored field with a limit, set at the last value it takes, goes through every native
// form and from each form into every other, and comes back equal: what one form stores, every
// form writes and its reader reads back.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "filestestutil.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "model/formatstore.h"
#include "model/sheetsettings.h"
#include "values/formatdefaults.h"
#include "xmltestutil.h"

#include <gtest/gtest.h>

namespace vl {

using namespace filestest;

namespace {

struct Form {
    const char* name;
    uint8_t kind;
};
constexpr Form kForms[] = {
    {"xml", kFileXml},
    {"xml.gz", kFileXmlCompressed},
    {"binary", kFileBinary},
    {"binary.gz", kFileBinaryCompressed},
};

// Opens a workbook of any native form and lets its file go.
std::unique_ptr<CWorkbook> Load(const std::string& path, bool& ok) {
    auto book = CreateWorkbook();
    ok = OpenDocumentFile(*book, path.c_str()) && OpenWorkbookFile(*book, nullptr);
    book->stream.Close();
    return book;
}

// Two workbooks hold the same when the XML form writes them alike (their save stamps aside).
void ExpectSameText(CWorkbook& a, CWorkbook& b, const std::string& at) {
    std::memcpy(b.lastSavedDate, a.lastSavedDate, sizeof a.lastSavedDate);
    const std::string ta = xmltest::WriteToMemory(a), tb = xmltest::WriteToMemory(b);
    EXPECT_EQ(ta.size(), tb.size()) << at;
    EXPECT_TRUE(ta == tb) << at << " first difference at "
                          << std::mismatch(ta.begin(), ta.end(), tb.begin(), tb.end()).first -
                                 ta.begin();
}

// A user-defined code as long as a style holds, of one character repeated.
uint16_t AddLongestCodeStyle(CWorkbook& book, char c) {
    const uint16_t style =
        AddStyle(book, STD_STYLE_GENERAL, 0, std::string(kFaceNameSize - 1, 'F').c_str());
    StandardFormat& f = book.styles.styles[style].numberFormat;
    f = StandardFormat{};
    f.kind = STD_STYLE_USER_DEFINED;
    std::string code(kMaxFormatCode, c);
    std::memcpy(f.code, code.c_str(), code.size() + 1);
    return style;
}

// The rich workbook with every limited field of its first worksheet at its last value.
std::unique_ptr<CWorkbook> WorkbookAtTheLimits() {
    auto book = MakeRichWorkbook();
    CTreeItem* item = book->tree.first;
    while (!item->IsWorksheet()) item = item->next;
    CWorksheet& sheet = *AsWorksheet(item);
    CopyTextField(sheet.name, std::string(kTreeNameSize - 1, 'W').c_str(), kTreeNameSize);
    PageSetupRecord& page = sheet.pageSetup;
    CopyTextField(page.headerText, std::string(kPageTextSize - 1, 'h').c_str(), kPageTextSize);
    CopyTextField(page.footerText, std::string(kPageTextSize - 1, 'f').c_str(), kPageTextSize);
    page.firstPageNumber = kMaxFirstPageNumber;
    // Codes of the longest length: one of zeros (a number pattern) and one of a literal.
    CellCursor cursor;
    const uint16_t zeros = AddLongestCodeStyle(*book, '0');
    const uint16_t literal = AddLongestCodeStyle(*book, '#');
    EXPECT_TRUE(PutFormatRun(sheet.formats, {0, 0, 7000, zeros}, cursor));
    EXPECT_TRUE(PutFormatRun(sheet.formats, {1, 1, 7000, literal}, cursor));
    PutText(sheet, 2, 7000, std::string(kMaxCellText, 'T'));
    // The longest formula, nesting calls as deep as formulas may and with a call of the most
    // arguments, and one with a text result that fills its record.
    std::string formula = "=";
    for (int i = 0; i < kMaxNesting - 1; ++i) formula += "SUM(";
    formula += "SUM(1";
    for (int i = 1; i < kMaxArguments; ++i) formula += ",R1C1";
    formula += std::string(kMaxNesting, ')');
    while (formula.size() < kMaxFormulaText)
        formula += formula.size() + 2 <= kMaxFormulaText ? "+0" : " ";
    EXPECT_EQ(formula.size(), kMaxFormulaText);
    PutFormula(sheet, 3, 7000, formula, 255);
    const std::string texted = "=REPT(\"x\",8000)";
    const std::string result(kPagePayload - kFormulaHead - texted.size() - 2, 'x');
    PutFormula(sheet, 4, 7000, texted, 0, result.c_str());
    for (CContainer* c = sheet.firstContainer; c; c = c->next) {
        CopyTextField(c->settings.titleText[0], std::string(kChartTextSize - 1, 't').c_str(),
                      kChartTextSize);
        for (uint8_t i = 0; i < c->settings.objectCount; ++i) {
            CChart* chart = c->slots[i].chart.get();
            if (!chart) continue;
            CopyTextField(chart->settings.titleText[0],
                          std::string(kChartTextSize - 1, 'c').c_str(), kChartTextSize);
        }
    }
    return book;
}

} // namespace

// From every form into every other: the workbook saved in one form and reopened, saved in
// the next and reopened, holds what it held.
TEST(LimitsWalk, EveryFieldAtItsLimitGoesThroughEveryFormAndBack) {
    TempFolder dir;
    for (const Form& first : kForms) {
        auto book = WorkbookAtTheLimits();
        const std::string a = dir.Path(std::string("a.") + first.name);
        ASSERT_TRUE(SaveWorkbookFile(*book, a.c_str(), first.kind)) << first.name;
        book->stream.Close();
        bool ok = false;
        auto once = Load(a, ok);
        ASSERT_TRUE(ok) << first.name << " error " << int(once->error);
        ExpectSameText(*book, *once, first.name);
        once->stream.Close();
        const StandardFormat& code = once->styles.styles[once->styles.styleCount - 1].numberFormat;
        EXPECT_EQ(std::strlen(code.code), std::size_t(kMaxFormatCode)) << first.name;
        for (const Form& second : kForms) {
            const std::string at = std::string(first.name) + " then " + second.name;
            const std::string b = dir.Path(std::string("b.") + second.name);
            ASSERT_TRUE(SaveWorkbookFile(*once, b.c_str(), second.kind)) << at;
            once->stream.Close();
            auto twice = Load(b, ok);
            ASSERT_TRUE(ok) << at << " error " << int(twice->error);
            ExpectSameText(*once, *twice, at);
        }
    }
}

} // namespace vl
