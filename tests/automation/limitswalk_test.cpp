// The limits walk through automation: each value a client stores, at the last value taken and
// the first refused (which changes nothing), saved in every native form and the spreadsheet
// form and read back by another object as it was stored.
#include "automation/workbookobj.h"
#include "automationtestutil.h"
#include "formula/translate.h"

#include <string>

namespace vl {

namespace {

class LimitsWalkTest : public autotest::AutomationTest {
protected:
    // A worksheet name, a cell text and a formula at their last lengths, each next to a
    // value one past that was refused.
    void StoreAtTheLimits() {
        NewDocument();
        ASSERT_EQ(obj->SetItemName(0, CBstr(name)), S_OK);
        EXPECT_EQ(obj->SetItemName(0, CBstr(name + "W")), E_INVALIDARG);
        ASSERT_EQ(obj->PutValue("$A$1", CVariant::Bstr(text)), S_OK);
        EXPECT_NE(obj->PutValue("$A$1", CVariant::Bstr(text + "t")), S_OK);
        ASSERT_EQ(obj->PutFormula("$B$1", CBstr(formula)), S_OK);
        EXPECT_NE(obj->PutFormula("$B$1", CBstr(tooLong)), S_OK);
        ASSERT_EQ(obj->PutValue("$C$1", CVariant::R8(-1.7976931348623157e308)), S_OK);
        ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    }
    void ExpectStored(CWorkbookObj& book, const std::string& at) {
        CBstr got;
        ASSERT_EQ(book.GetItemName(0, got), S_OK) << at;
        EXPECT_EQ(got, CBstr(name)) << at;
        CVariant v;
        ASSERT_EQ(book.GetValue("$A$1", v), S_OK) << at;
        EXPECT_EQ(v.text, text) << at;
        ASSERT_EQ(book.GetFormula("$B$1", got), S_OK) << at;
        EXPECT_EQ(got, CBstr(formula)) << at;
        ASSERT_EQ(book.GetValue("$B$1", v), S_OK) << at;
        EXPECT_EQ(v.real, 1.0) << at;
        ASSERT_EQ(book.GetValue("$C$1", v), S_OK) << at;
        EXPECT_EQ(v.real, -1.7976931348623157e308) << at;
    }

    // The longest literal whose formula ="literal"<>"" fits the formula limit.
    static constexpr std::size_t kLiteral = kMaxFormulaText - 7;
    const std::string name = std::string(kTreeNameSize - 1, 'W');
    const std::string text = std::string(kMaxCellText, 'T');
    const std::string formula = "=\"" + std::string(kLiteral, 'q') + "\"<>\"\"";
    const std::string tooLong = "=\"" + std::string(kLiteral + 1, 'q') + "\"<>\"\"";
};

} // namespace

TEST_F(LimitsWalkTest, ValuesStoredByAClientComeBackFromEveryForm) {
    struct Form {
        const char* name;
        uint8_t profileForm; // 0: the spreadsheet form
    } const forms[] = {{"xml", kFormatXml},
                       {"xml.gz", kFormatXmlCompressed},
                       {"binary", kFormatBinary},
                       {"binary.gz", kFormatBinaryCompressed},
                       {"spreadsheet", 0}};
    for (const Form& form : forms) {
        StoreAtTheLimits();
        ExpectStored(*obj, std::string(form.name) + " before saving");
        const std::string path = folder.Path(std::string("walk.") + form.name);
        if (form.profileForm) {
            Doc().fileKind = 0;
            Profile().fileFormat = form.profileForm;
            ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << form.name;
        } else {
            ASSERT_EQ(obj->SaveAsExcelFile(CBstr(path)), S_OK) << form.name;
        }
        Doc().stream.Close();
        std::shared_ptr<CWorkbookObj> other;
        ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
        ASSERT_EQ(other->Load(CBstr(path), CBstr(), form.profileForm ? 0 : 2, nullptr, nullptr),
                  S_OK)
            << form.name << ": " << TakenMessage();
        ExpectStored(*other, form.name);
    }
}

// A password at its shortest and longest, each next to the first refused, protects the
// binary forms and opens them again.
TEST_F(LimitsWalkTest, PasswordsAtTheirLimitsOpenWhatTheyProtect) {
    const std::string shortest(6, 'p'), longest(kPasswordLength, 'P');
    for (const std::string& password : {shortest, longest}) {
        for (const uint8_t form : {kFormatBinary, kFormatBinaryCompressed}) {
            NewDocument();
            PutNumber("$A$1", 42);
            EXPECT_EQ(obj->SetProtection(CBstr(std::string(5, 'p')), 0), E_INVALIDARG);
            EXPECT_EQ(obj->SetProtection(CBstr(std::string(kPasswordLength + 1, 'P')), 0),
                      E_INVALIDARG);
            ASSERT_EQ(obj->SetProtection(CBstr(password), 0), S_OK);
            Doc().fileKind = 0;
            Profile().fileFormat = form;
            const std::string path =
                folder.Path("locked" + std::to_string(form) + std::to_string(password.size()));
            ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
            Doc().stream.Close();
            std::shared_ptr<CWorkbookObj> other;
            ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
            ASSERT_EQ(other->Load(CBstr(path), CBstr(password), 0, nullptr, nullptr), S_OK)
                << password.size() << " " << int(form);
            CVariant v;
            ASSERT_EQ(other->GetValue("$A$1", v), S_OK);
            EXPECT_EQ(v.real, 42);
        }
    }
}

} // namespace vl
