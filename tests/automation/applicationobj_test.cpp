// The Application object: documents made and opened, the user number formats and bookmarks
// as text arrays, and profiles loaded into a copy.

#include "automation/applicationobj.h"
#include "automation/infoobjects.h"
#include "automation/objectfactory.h"
#include "automation/typelib.h"
#include "automationtestutil.h"

#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace vl {

namespace {

std::shared_ptr<CSafeArray> Texts(const std::vector<std::string>& texts, int32_t lower = 0) {
    std::shared_ptr<CSafeArray> a = CSafeArray::Create({{lower, uint32_t(texts.size())}});
    for (size_t i = 0; i < texts.size(); ++i) {
        const int32_t index[] = {lower + int32_t(i)};
        a->PutElement(index, CVariant::Bstr(texts[i]));
    }
    return a;
}

std::vector<std::string> Read(const CSafeArray& a) {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < a.Bound(0).count; ++i) {
        CVariant v;
        const int32_t index[] = {int32_t(i)};
        a.GetElement(index, v);
        out.push_back(v.text);
    }
    return out;
}

std::string DefaultProfile() {
    std::ifstream in(VORLANE_TEST_DATA "/app/default-settings.xml");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ApplicationTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ASSERT_EQ(CApplicationObj::Create(app), S_OK);
        SetProfilePathHandler([this](const std::string& p) { profilePath = p; });
    }
    void TearDown() override {
        SetProfilePathHandler(nullptr);
        AutomationTest::TearDown();
    }
    std::string Write(const char* name, const std::string& text) {
        const std::string path = folder.Path(name);
        std::ofstream(path) << text;
        return path;
    }
    std::shared_ptr<CApplicationObj> app;
    std::string profilePath;
};

} // namespace

TEST_F(ApplicationTest, FactoryMakesEveryClassWithItsInterfaces) {
    for (const CoClassInfo& cls : CoClasses()) {
        std::shared_ptr<IAutomationObject> made;
        ASSERT_EQ(CreateAutomationObject(cls, made), S_OK) << cls.name;
        EXPECT_EQ(&made->ClassInfo(), &cls);
        EXPECT_FALSE(InterfacesOfClass(cls.name).empty()) << cls.name;
    }
    std::shared_ptr<IAutomationObject> options;
    ASSERT_EQ(app->get_Options(options), S_OK);
    EXPECT_EQ(options.get(), static_cast<IAutomationObject*>(app.get()));
    EXPECT_EQ(app->put_Options(nullptr), S_OK);
}

TEST_F(ApplicationTest, OpenKeepsTheWorkbookWhenTheLoadFails) {
    std::shared_ptr<IAutomationObject> book;
    EXPECT_EQ(app->Open(folder.Path("missing.vln").c_str(), CBstr(), book), HRESULT(0x80040022));
    ASSERT_TRUE(book && book->QueryWorksheet());
    int32_t count = -1;
    book->QueryTree()->GetItemCount(count);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(app->New(book), S_OK);
    book->QueryTree()->GetItemCount(count);
    EXPECT_EQ(count, 1);
    // A table format outside the four kinds is refused before anything is loaded.
    std::shared_ptr<IAutomationObject> xbase;
    ASSERT_EQ(app->CreateXBaseInfo(xbase), S_OK);
    for (int32_t format : {2, 7}) {
        std::shared_ptr<IAutomationObject> none;
        xbase->QueryXBaseInfo()->SetXBaseFormat(format);
        EXPECT_EQ(app->OpenDatabase(folder.Path("t.dbf").c_str(), xbase->QueryXBaseInfo(), none),
                  E_INVALIDARG);
        EXPECT_FALSE(none);
    }
    const std::string xml = folder.Path("made.xml");
    ASSERT_EQ(book->QueryWorksheet()->PutValue("$A$1", CVariant::R8(3)), S_OK);
    ASSERT_EQ(book->QueryWorksheet()->SaveAsExcelFile(xml.c_str()), S_OK);
    book.reset(); // its save holds the file
    std::shared_ptr<IAutomationObject> again;
    ASSERT_EQ(app->OpenExcelFile(xml.c_str(), again), S_OK);
    CVariant three;
    again->QueryWorksheet()->GetValue("$A$1", three);
    EXPECT_EQ(three.real, 3);
    std::shared_ptr<IAutomationObject> text;
    ASSERT_EQ(app->CreateTextFileInfo(text), S_OK);
    ASSERT_NE(text->QueryTextFileInfo(), nullptr);
    const std::string csv = Write("a.csv", "1,2\n3,4\n");
    ASSERT_EQ(app->OpenTextFile(csv.c_str(), text->QueryTextFileInfo(), book), S_OK);
    ASSERT_TRUE(book);
    CVariant v;
    book->QueryWorksheet()->GetValue("$B$2", v);
    EXPECT_EQ(v.real, 4);
}

// A bad array or a bad element leaves the list as it was.
TEST_F(ApplicationTest, StylesSplitAtTheCommaAndFailuresKeepTheList) {
    std::shared_ptr<CSafeArray> out;
    ASSERT_EQ(app->SetStyles(Texts({"Money,  #,##0.00", "", "Pct,0%"}).get()), S_OK);
    ASSERT_EQ(app->GetStyles(out), S_OK);
    EXPECT_EQ(Read(*out), (std::vector<std::string>{"Money, #,##0.00", "Pct, 0%"}));
    ASSERT_EQ(Profile().userNumericFormats.size(), 2u);
    EXPECT_EQ(Profile().userNumericFormats[0].name, "Money");
    EXPECT_EQ(Profile().userNumericFormats[0].pattern, "#,##0.00");
    const std::vector<std::string> kept{"Keep"};
    std::shared_ptr<CSafeArray> number = Texts({"Before,0", "x"});
    const int32_t second[] = {1};
    number->PutElement(second, CVariant::R8(3));
    struct Case {
        std::shared_ptr<CSafeArray> array;
        HRESULT hr;
        std::vector<std::string> names; // the list after the call
    };
    const Case cases[] = {
        {Texts(std::vector<std::string>(50, "a,b")), S_OK, std::vector<std::string>(50, "a")},
        {Texts(std::vector<std::string>(51, "a,b")), E_INVALIDARG, kept},
        {Texts({"a,b"}, 49), S_OK, {"a"}},
        {Texts({"a,b"}, 50), E_INVALIDARG, kept},
        {Texts({"a,b"}, -1), E_INVALIDARG, kept},
        {Texts({std::string(49, 'n') + "," + std::string(49, 'f')}), S_OK, {std::string(49, 'n')}},
        {Texts({std::string(50, 'n') + ",f"}), E_INVALIDARG, kept},
        {Texts({"n," + std::string(50, 'f')}), E_INVALIDARG, kept},
        {Texts({"n," + std::string(98, 'f')}), E_INVALIDARG, kept},
        {Texts({"Kept, 0.0", std::string(101, 'x'), "After,0"}), E_INVALIDARG, kept},
        {Texts({"One,0", "Two,0", "n," + std::string(50, 'f')}), E_INVALIDARG, kept},
        // A character outside the code page would come back as a question mark.
        {Texts({"Kept, 0.0", "\xE5\xAF\x86,0", "After,0"}), E_INVALIDARG, kept},
        {Texts({"N\xC3\xA9v,0 \xE2\x82\xAC"}), S_OK, {"N\xE9v"}},
        {number, E_FAIL, kept},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_EQ(app->SetStyles(Texts({"Keep,0"}).get()), S_OK);
        EXPECT_EQ(app->SetStyles(cases[i].array.get()), cases[i].hr) << i;
        std::vector<std::string> names;
        for (const UserNumericFormat& f : Profile().userNumericFormats) names.push_back(f.name);
        EXPECT_EQ(names, cases[i].names) << i;
    }
    ASSERT_EQ(app->SetStyles(Texts({}).get()), S_OK);
    ASSERT_EQ(app->GetStyles(out), S_OK);
    EXPECT_EQ(out->Bound(0).count, 0u);
}

TEST_F(ApplicationTest, BookmarksTakeFiftyAtMost) {
    ASSERT_EQ(app->SetBookmarks(Texts({"/a/b.vln", "", "/c.vln"}).get()), S_OK);
    std::shared_ptr<CSafeArray> out;
    ASSERT_EQ(app->GetBookmarks(out), S_OK);
    EXPECT_EQ(Read(*out), (std::vector<std::string>{"/a/b.vln", "/c.vln"}));
    // A bad array or a bad element leaves the list as it was.
    EXPECT_EQ(app->SetBookmarks(Texts({"x"}, 50).get()), E_INVALIDARG);
    EXPECT_EQ(Profile().bookmarks, (std::vector<std::string>{"/a/b.vln", "/c.vln"}));
    // A bookmark holds 255 characters, as Add Bookmark and the settings file take.
    EXPECT_EQ(app->SetBookmarks(Texts({"/d.vln", std::string(256, 'x'), "/e.vln"}).get()),
              E_INVALIDARG);
    EXPECT_EQ(Profile().bookmarks, (std::vector<std::string>{"/a/b.vln", "/c.vln"}));
    EXPECT_EQ(app->SetBookmarks(Texts({"/f.vln", "\xD0\x94", "/g.vln"}).get()), E_INVALIDARG);
    EXPECT_EQ(Profile().bookmarks, (std::vector<std::string>{"/a/b.vln", "/c.vln"}));
    ASSERT_EQ(app->SetBookmarks(Texts({std::string(255, 'x')}).get()), S_OK);
    EXPECT_EQ(Profile().bookmarks, (std::vector<std::string>{std::string(255, 'x')}));
}

TEST_F(ApplicationTest, AProfileLoadsWholeOrNotAtAll) {
    std::string text = DefaultProfile();
    ASSERT_FALSE(text.empty());
    std::string noMd5 = text;
    noMd5.replace(noMd5.find("MD5=\"\" "), 7, "");
    Profile().undoLevel = 77;
    Profile().bookmarks = {"kept"};
    const SettingsProfile before = Profile();
    EXPECT_EQ(app->LoadProfile(Write("bad.xml", noMd5).c_str()), HRESULT(0x8004003A));
    EXPECT_EQ(TakenMessage(), "A required attribute is missing");
    EXPECT_EQ(Profile().undoLevel, 77);
    EXPECT_EQ(Profile().bookmarks, before.bookmarks);
    EXPECT_EQ(profilePath, "");
    // Without AddressingA1 the cell methods read R1C1.
    NewDocument();
    PutNumber("$C$2", 5);
    std::string r1c1 = text;
    r1c1.replace(r1c1.find("<AddressingA1/>"), 15, "");
    const std::string path = Write("r1c1.xml", r1c1);
    ASSERT_EQ(app->LoadProfile(path.c_str()), S_OK);
    EXPECT_EQ(profilePath, path);
    EXPECT_EQ(Profile().undoLevel, 20);
    EXPECT_EQ(Number("R2C3"), 5);
    const std::string saved = folder.Path("saved.xml");
    ASSERT_EQ(app->SaveProfile(saved.c_str()), S_OK);
    EXPECT_EQ(profilePath, saved);
}

} // namespace vl

namespace vl {

// SaveProfile over a file another program holds writes nothing and says why: it cannot be
// opened (34), not "No error".
TEST_F(ApplicationTest, SaveProfileOverAHeldFileSaysWhy) {
    const std::string path = folder.Path("held.xml");
    { std::ofstream(path) << "held"; }
    const int holder = open(path.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_NE(app->SaveProfile(path.c_str()), S_OK);
    EXPECT_EQ(TakenMessage(), GetErrorMessage(kStreamOpenRead));
    close(holder);
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "held");
}

} // namespace vl
