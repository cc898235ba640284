#include "automation/documentservices.h"
#include "automation/typelib.h"
#include "automationtestutil.h"
#include "model/container.h"
#include "model/styles.h"
#include "platform/core/errorcode.h"
#include "platform/core/pathlimit.h"
#include "tests/common/recordlock.h"

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <regex>
#include <sys/file.h>
#include <tuple>
#include <unistd.h>

namespace vl {

namespace {

class FilesTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        NewDocument();
        PutNumber("$A$1", 6);
        ASSERT_EQ(obj->PutValue("$B$1", CVariant::Bstr("text")), S_OK);
        ASSERT_EQ(obj->PutFormula("$C$1", "=A1*7"), S_OK);
        ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
        int32_t index = -1;
        ASSERT_EQ(obj->InsertItem(-1, TREE_TYPE_FOLDER, "Folder", index), S_OK);
        ASSERT_EQ(obj->InsertItem(index, TREE_TYPE_WORKSHEET, "Inner", index), S_OK);
    }
    // The document's file stays open and locked after a save: let it go for another object.
    void LetGo() { Doc().stream.Close(); }
    // A second object that loads `path`.
    std::shared_ptr<CWorkbookObj> Loaded(const std::string& path, const char* password,
                                         HRESULT expected = S_OK) {
        std::shared_ptr<CWorkbookObj> other;
        EXPECT_EQ(CWorkbookObj::Create(other), S_OK);
        EXPECT_EQ(
            other->Load(CBstr(path), password ? CBstr(password) : CBstr(), 0, nullptr, nullptr),
            expected);
        return other;
    }
    static void ExpectContent(CWorkbookObj& book) {
        CVariant v;
        ASSERT_EQ(book.GetValue("$C$1", v), S_OK);
        EXPECT_EQ(v.real, 42);
        ASSERT_EQ(book.GetValue("$B$1", v), S_OK);
        EXPECT_EQ(v.text, "text");
        int32_t index = -1;
        EXPECT_EQ(book.GetItemIndex("\\Folder\\Inner", index), S_OK);
        EXPECT_EQ(index, 2);
    }
    static int32_t ItemCountOf(CWorkbookObj& book) {
        int32_t count = -1;
        book.GetItemCount(count);
        return count;
    }
    std::vector<uint8_t> Head(const std::string& path) {
        std::vector<uint8_t> bytes = tempfiles::ReadBytes(path);
        bytes.resize(2);
        return bytes;
    }
};

} // namespace

TEST_F(FilesTest, BothNativeFormsRoundTripWithAndWithoutAPassword) {
    struct Case {
        uint8_t form;
        const char* password;
        uint8_t savedForm; // a password makes the form binary
        uint8_t head;
    };
    static const Case cases[] = {
        {kFormatXml, nullptr, kFormatXml, '<'},        {kFormatXml, "secret", kFormatBinary, '3'},
        {kFormatXmlCompressed, nullptr, 2, 0x1F},      {kFormatBinary, nullptr, kFormatBinary, '3'},
        {kFormatBinary, "secret", kFormatBinary, '3'}, {kFormatBinaryCompressed, "secret", 4, 0x1F},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string path = folder.Path("book" + std::to_string(n++) + ".vln");
        Doc().fileKind = 0;
        Profile().fileFormat = c.form;
        ASSERT_EQ(obj->SetProtection(c.password ? CBstr(c.password) : CBstr(), 0), S_OK);
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << path;
        EXPECT_EQ(Doc().fileKind, c.savedForm);
        EXPECT_EQ(Head(path)[0], c.head) << path;
        LetGo();
        auto loaded = Loaded(path, c.password);
        ExpectContent(*loaded);
        EXPECT_EQ(loaded->Document().fileKind, c.savedForm);
        EXPECT_EQ(loaded->Document().readOnly, 0);
        loaded.reset();
        if (c.password) Loaded(path, nullptr, HRESULT(0x8004001A));
    }
}

// A password must come back exactly: characters outside the code page are refused (as the
// window refuses them) and change nothing, where "?" would open the file for any such text.
TEST_F(FilesTest, APasswordOutsideTheCodePageIsRefused) {
    ASSERT_EQ(obj->SetProtection("s\xC3\xA9same", 0), S_OK); // "sésame" fits the code page
    CBstr back;
    int32_t readOnly = 0;
    ASSERT_EQ(obj->GetProtection(back, readOnly), S_OK);
    EXPECT_EQ(back, CBstr("s\xC3\xA9same"));
    const char* refused[] = {"\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF\x86\xE7\xA0\x81\xE5\xAF"
                             "\x86\xE7\xA0\x81",
                             "secret\xD0\x96"};
    for (const char* password : refused) {
        EXPECT_EQ(obj->SetProtection(password, 1), E_INVALIDARG) << password;
        ASSERT_EQ(obj->GetProtection(back, readOnly), S_OK);
        EXPECT_EQ(back, CBstr("s\xC3\xA9same"));
    }
    const std::string path = folder.Path("sesame.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    LetGo();
    std::shared_ptr<CWorkbookObj> other;
    ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
    ASSERT_EQ(other->NewDocument(), S_OK);
    EXPECT_EQ(other->Load(CBstr(path), refused[0], 0, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(other->Load(CBstr(path), "s\xC3\xA9same", 0, nullptr, nullptr), S_OK);
}

// Paths are the system's bytes: a folder and a file named outside the code page are written
// and read under their own names.
TEST_F(FilesTest, PathsOutsideTheCodePageAreKeptWhole) {
    const std::string inner = folder.Path("\xD0\x94\xD0\xBE\xD0\xBA");
    ASSERT_TRUE(std::filesystem::create_directory(inner));
    const std::string path = inner + "/\xE5\xAF\x86.vln";
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    EXPECT_TRUE(std::filesystem::exists(path));
    LetGo();
    ExpectContent(*Loaded(path, nullptr));
}

TEST_F(FilesTest, AWrongPasswordIsReportedAfterThePauseAndKeepsTheDocument) {
    const std::string path = folder.Path("locked.vlb");
    ASSERT_EQ(obj->SetProtection("right-password", 0), S_OK);
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    LetGo();
    std::shared_ptr<CWorkbookObj> other;
    ASSERT_EQ(CWorkbookObj::Create(other), S_OK);
    ASSERT_EQ(other->NewDocument(), S_OK);
    ASSERT_EQ(other->PutValue("$A$1", CVariant::R8(1)), S_OK);
    EXPECT_EQ(other->Load(CBstr(path), "wrong-password", 0, nullptr, nullptr), HRESULT(0x8004001A));
    EXPECT_EQ(TakenMessage(), "Invalid password");
    EXPECT_EQ(pauses, std::vector<int>{2000});
    CVariant v;
    ASSERT_EQ(other->GetValue("$A$1", v), S_OK);
    EXPECT_EQ(v.real, 1);
    EXPECT_EQ(other->Save(), S_FALSE); // still the unsaved document
}

TEST_F(FilesTest, LoadFailuresCarryTheirCodeAndMessage) {
    const std::string garbage = folder.Path("garbage.vln");
    tempfiles::WriteBytes(garbage, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'});
    const std::string badXml = folder.Path("bad.vln");
    const std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Workbook>\r\n<Nonsense/>";
    tempfiles::WriteBytes(badXml, std::vector<uint8_t>(xml.begin(), xml.end()));
    Loaded(folder.Path("missing.vln"), nullptr, HRESULT(0x80040022));
    EXPECT_EQ(TakenMessage(), "Can't open the specified file for reading");
    Loaded(garbage, nullptr, HRESULT(0x80040015));
    EXPECT_EQ(TakenMessage().substr(0, 27), "Invalid Vorlane file format");
    auto failed = Loaded(badXml, nullptr, HRESULT(0x80040038));
    EXPECT_EQ(TakenMessage(), "An unexpected xml element\nLine: 3");
    EXPECT_EQ(failed->Document().error, 56);
    int32_t count = -1;
    failed->GetItemCount(count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(pauses.empty());
}

// The XML form, saved and then edited by hand or by another program: a character reference
// names a Unicode character ("&#8364;" the euro sign); one the cells cannot hold refuses the
// file with that reason and the line, and the object keeps its document.
TEST_F(FilesTest, CharacterReferencesNameUnicodeCharacters) {
    ASSERT_EQ(obj->PutValue("$B$1", CVariant::Bstr("MARK")), S_OK);
    Doc().fileKind = kFormatXml;
    const std::string saved = folder.Path("saved.vln");
    ASSERT_EQ(obj->SaveAs(CBstr(saved)), S_OK);
    LetGo();
    const std::vector<uint8_t> bytes = tempfiles::ReadBytes(saved);
    const std::string text(bytes.begin(), bytes.end());
    const std::size_t at = text.find(">MARK<");
    ASSERT_NE(at, std::string::npos);
    struct Case {
        std::string_view reference;
        HRESULT result;
        const char* value; // UTF-8
    } const cases[] = {
        {"&#8364; &#x20AC; &#xe9;", S_OK, "\u20ac \u20ac \u00e9"},
        {"&#0065;&#x41;", S_OK, "AA"},
        {"&#128;", HRESULT(0x8004007D), nullptr},
        {"&#x4E2D;", HRESULT(0x8004007D), nullptr},
        {"&#x110000;", HRESULT(0x8004003B), nullptr},
        // Characters no XML has, even as references, refuse the file as a malformed
        // reference does; a control character a save writes as a reference reads back.
        {"a&#0;b", HRESULT(0x8004003B), nullptr},
        {"&#x0000;", HRESULT(0x8004003B), nullptr},
        {std::string_view("a\0b", 3), HRESULT(0x8004003B), nullptr},
        {"&#1;&#31;", S_OK, "\x01\x1F"},
        {"&#xD7FF;", HRESULT(0x8004007D), nullptr},
        {"&#xD800;", HRESULT(0x8004003B), nullptr},
        {"&#xDFFF;", HRESULT(0x8004003B), nullptr},
        {"&#xE000;", HRESULT(0x8004007D), nullptr},
        {"&#xFFFD;", HRESULT(0x8004007D), nullptr},
        {"&#xFFFE;", HRESULT(0x8004003B), nullptr},
        {"&#65535;", HRESULT(0x8004003B), nullptr},
        {"&#x10000;", HRESULT(0x8004007D), nullptr},
    };
    for (const Case& c : cases) {
        const std::string path = folder.Path("edited.vln");
        const std::string edited =
            text.substr(0, at + 1) + std::string(c.reference) + text.substr(at + 5);
        tempfiles::WriteBytes(path, std::vector<uint8_t>(edited.begin(), edited.end()));
        auto other = Loaded(path, nullptr, c.result);
        if (c.value) {
            CVariant v;
            ASSERT_EQ(other->GetValue("$B$1", v), S_OK) << c.reference;
            EXPECT_EQ(v.text, c.value) << c.reference;
            continue;
        }
        const std::string message = TakenMessage();
        EXPECT_EQ(other->Document().error, uint32_t(c.result) & 0xFFFF) << c.reference;
        if (c.result == HRESULT(0x8004007D)) {
            EXPECT_EQ(message.substr(0, std::strlen(GetErrorMessage(kErrorCodePage))),
                      GetErrorMessage(kErrorCodePage))
                << c.reference;
        } else {
            EXPECT_EQ(message.substr(0, message.find('\n')), GetErrorMessage(kErrorXmlData))
                << c.reference;
        }
        EXPECT_EQ(ItemCountOf(*other), 0) << c.reference;
    }
}

// The binary form holds texts with their lengths: one with a zero byte inside was not saved by
// us and is refused as no workbook of ours, whichever text of a cell holds it; the object keeps
// its document. The same file with the byte as saved loads.
TEST_F(FilesTest, AZeroByteInsideAStoredTextRefusesTheBinaryFile) {
    ASSERT_EQ(obj->PutValue("$B$1", CVariant::Bstr("aTXTb")), S_OK);
    ASSERT_EQ(obj->PutFormula("$C$1", "=\"FRM\"&\"x\""), S_OK);
    ASSERT_EQ(obj->UpdateWorksheet(), S_OK);
    Doc().fileKind = kFormatBinary;
    const std::string saved = folder.Path("saved.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(saved)), S_OK);
    LetGo();
    const std::vector<uint8_t> bytes = tempfiles::ReadBytes(saved);
    const std::string text(bytes.begin(), bytes.end());
    // The text of B1, the formula of C1 and its cached result "FRMx".
    for (const std::string mark : {"aTXTb", "=\"FRM", "FRMx"}) {
        std::size_t at = text.find(mark);
        ASSERT_NE(at, std::string::npos) << mark;
        if (mark == "FRMx") at = text.find(mark, text.find("=\"FRM") + 2);
        ASSERT_NE(at, std::string::npos) << mark;
        std::string edited = text;
        edited[at + 2] = '\0';
        const std::string path = folder.Path("edited.vlb");
        tempfiles::WriteBytes(path, std::vector<uint8_t>(edited.begin(), edited.end()));
        auto other = Loaded(path, nullptr, HRESULT(0x80040015));
        EXPECT_EQ(TakenMessage().substr(0, 27), "Invalid Vorlane file format") << mark;
        EXPECT_EQ(other->Document().error, kErrorFileFormat) << mark;
        EXPECT_EQ(ItemCountOf(*other), 0) << mark;
    }
    auto whole = Loaded(saved, nullptr);
    CVariant v;
    ASSERT_EQ(whole->GetValue("$B$1", v), S_OK);
    EXPECT_EQ(v.text, "aTXTb");
    ASSERT_EQ(whole->GetValue("$C$1", v), S_OK);
    EXPECT_EQ(v.text, "FRMx");
}

namespace {

// A native file's bytes with the save time's text taken out.
std::string WithoutSaveTime(const std::vector<uint8_t>& bytes) {
    static const std::regex saved("<Date>[^<]*</Date>");
    return std::regex_replace(std::string(bytes.begin(), bytes.end()), saved, "<Date/>",
                              std::regex_constants::format_first_only);
}

} // namespace

// A style whose drop-down flags are set without a list (as files of older versions hold
// them) goes out with its flags: the file reads back to itself and saves the same bytes.
TEST_F(FilesTest, TheDefaultStyleWithListFlagsButNoListReadsBackToItself) {
    for (uint8_t* flag : {&Doc().styles.styles[0].sort, &Doc().styles.styles[0].autoAppend,
                          &Doc().styles.styles[0].autoComplete}) {
        Doc().styles.styles[0].sort = Doc().styles.styles[0].autoAppend =
            Doc().styles.styles[0].autoComplete = 0;
        *flag = 1;
        Doc().fileKind = kFormatXml;
        const std::string first = folder.Path("first.vln"), second = folder.Path("second.vln");
        ASSERT_EQ(obj->SaveAs(CBstr(first)), S_OK);
        LetGo();
        auto other = Loaded(first, nullptr);
        const StyleRecord& back = other->Document().styles.styles[0];
        EXPECT_EQ(back.sort, Doc().styles.styles[0].sort);
        EXPECT_EQ(back.autoAppend, Doc().styles.styles[0].autoAppend);
        EXPECT_EQ(back.autoComplete, Doc().styles.styles[0].autoComplete);
        other->Document().fileKind = kFormatXml;
        ASSERT_EQ(other->SaveAs(CBstr(second)), S_OK);
        other->Document().stream.Close();
        // The two saves may fall in different seconds: the save time is the one field apart.
        EXPECT_EQ(WithoutSaveTime(tempfiles::ReadBytes(first)),
                  WithoutSaveTime(tempfiles::ReadBytes(second)));
    }
}

TEST_F(FilesTest, UnknownFormatsLoadNothingAndBadArgumentsAndTargetsAreRefused) {
    const CBstr path(folder.Path("x.vln"));
    EXPECT_EQ(obj->Load(path, CBstr(), 7, nullptr, nullptr), S_OK);
    EXPECT_EQ(obj->Load(path, CBstr(), -1, nullptr, nullptr), S_OK);
    EXPECT_EQ(ItemCount(), 3);
    EXPECT_FALSE(Doc().stream.IsOpen());
    EXPECT_EQ(obj->Load(path, CBstr(), 1, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->Load(path, CBstr(), 3, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->Load(path, CBstr(), 6, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->Load(path, CBstr(), 1, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->Load(CBstr(), CBstr(), 0, nullptr, nullptr), E_INVALIDARG);
    const std::string tooLong(kMaxPathBytes + 1, 'a');
    EXPECT_EQ(obj->Load(CBstr(tooLong), CBstr(), 0, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->SaveAsTextFile(path, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->SaveAsDatabase(path, nullptr), E_INVALIDARG);
    EXPECT_EQ(obj->SaveAsExcelFile(CBstr(tooLong)), E_INVALIDARG);
    EXPECT_EQ(obj->SaveAs(CBstr(tooLong)), E_INVALIDARG);
    EXPECT_EQ(obj->SaveRangeAsImage("B3", "/tmp/x.png", 1), E_INVALIDARG);
    EXPECT_EQ(TakenMessage(), "<none>");
    // An unwritable target reports the stream's code; a missing container its own.
    EXPECT_EQ(obj->SaveAs(CBstr(folder.Path("no/such/folder.vln"))), HRESULT(0x80040023));
    EXPECT_EQ(TakenMessage(), "Can't open the specified file for writing");
    EXPECT_EQ(obj->Save(), S_FALSE);
    EXPECT_EQ(obj->SaveContainerAsImage(5, "/tmp/x.png", 1), HRESULT(0x8004000B));
    EXPECT_EQ(TakenMessage(), "An invalid container ID - not found");
}

// A path of exactly `total` bytes under `root`, its folders made, each name within the
// system's 255 bytes; the first folder's name is outside any single-byte code page.
static std::string DeepPath(const std::string& root, size_t total) {
    std::string path = root + "/Документы";
    const std::string leaf = "/book.vln";
    size_t rest = total - path.size() - leaf.size();
    while (rest > 0) {
        size_t take = std::min<size_t>(rest, 201);
        if (rest - take == 1) --take; // a lone "/" names nothing
        path += "/" + std::string(take - 1, char('a' + path.size() % 26));
        rest -= take;
    }
    std::filesystem::create_directories(path);
    return path + leaf;
}

TEST_F(FilesTest, PathsAreTakenUpToTheSystemsLimitAndRefusedPastIt) {
    struct Case {
        size_t bytes;
        HRESULT expected;
    };
    for (const Case c : {Case{300, S_OK}, Case{4000, S_OK}, Case{kMaxPathBytes, S_OK},
                         Case{kMaxPathBytes + 1, E_INVALIDARG}}) {
        SCOPED_TRACE(c.bytes);
        const std::string path = DeepPath(folder.Path("deep" + std::to_string(c.bytes)), c.bytes);
        ASSERT_EQ(path.size(), c.bytes);
        ASSERT_EQ(obj->SaveAs(CBstr(path)), c.expected);
        EXPECT_EQ(std::filesystem::exists(path), c.expected == S_OK);
        if (c.expected == S_OK) {
            EXPECT_EQ(obj->Save(), S_OK); // back into the same file
        }
        LetGo();
        std::shared_ptr<CWorkbookObj> back = Loaded(path, nullptr, c.expected);
        if (c.expected == S_OK) {
            ExpectContent(*back);
        } else {
            EXPECT_FALSE(back->Document().stream.IsOpen());
        }
    }
}

TEST_F(FilesTest, SaveWritesBackIntoTheDocumentsFile) {
    EXPECT_EQ(obj->Save(), S_FALSE); // never loaded or saved
    const std::string path = folder.Path("back.vln");
    Profile().fileFormat = kFormatXml;
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    PutNumber("$A$1", 7);
    Profile().fileFormat = kFormatBinary; // the document keeps the form it was saved in
    ASSERT_EQ(obj->Save(), S_OK);
    EXPECT_EQ(Head(path)[0], '<');
    EXPECT_EQ(Loaded(path, nullptr)->Document().readOnly, 1); // held by the first object
    LetGo();
    auto loaded = Loaded(path, nullptr);
    ASSERT_EQ(loaded->UpdateWorksheet(), S_OK);
    CVariant v;
    ASSERT_EQ(loaded->GetValue("$C$1", v), S_OK);
    EXPECT_EQ(v.real, 49);
}

TEST_F(FilesTest, ARefusedPasswordLeavesTheStoredOneAlone) {
    ASSERT_EQ(obj->SetProtection("first-one", 1), S_OK);
    EXPECT_EQ(Doc().encryption, 3);
    const struct {
        std::string password;
        HRESULT hr;
    } cases[] = {{"12345", E_INVALIDARG},
                 {std::string(1025, 'p'), E_INVALIDARG},
                 {"123456", S_OK},
                 {std::string(1024, 'p'), S_OK},
                 {std::string(1023, 'p'), S_OK}};
    for (const auto& c : cases) {
        ASSERT_EQ(obj->SetProtection("first-one", 1), S_OK);
        EXPECT_EQ(obj->SetProtection(CBstr(c.password), 0), c.hr) << c.password.size();
        CBstr stored;
        int32_t readOnly = -1;
        ASSERT_EQ(obj->GetProtection(stored, readOnly), S_OK);
        EXPECT_EQ(stored.Utf8(), c.hr == S_OK ? c.password : "first-one");
        EXPECT_EQ(Doc().encryption, c.hr == S_OK ? 4 : 3);
        EXPECT_EQ(readOnly, 0);
    }
    ASSERT_EQ(obj->SetProtection(CBstr(), 0), S_OK);
    EXPECT_EQ(Doc().encryption, 0);
    CBstr untouched("kept");
    int32_t readOnly = -1;
    ASSERT_EQ(obj->GetProtection(untouched, readOnly), S_OK);
    EXPECT_EQ(untouched.Utf8(), "kept");
}

// The longest passwords protect the file whole: it opens with the very password set and with
// no shorter one; a longer one is refused before anything is read.
TEST_F(FilesTest, TheLongestPasswordsOpenTheFileTheyProtect) {
    for (const size_t length : {size_t(1023), size_t(1024)}) {
        // Uneven, so that any character lost or moved changes the key.
        std::string password;
        for (size_t i = 0; i < length; ++i) password += char('a' + (i * 7 + length) % 26);
        const std::string path = folder.Path("long" + std::to_string(length) + ".vlb");
        ASSERT_EQ(obj->SetProtection(CBstr(password), 0), S_OK) << length;
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << length;
        LetGo();
        auto loaded = Loaded(path, password.c_str());
        ExpectContent(*loaded);
        CBstr stored;
        int32_t readOnly = -1;
        ASSERT_EQ(loaded->GetProtection(stored, readOnly), S_OK);
        EXPECT_EQ(stored.Utf8(), password) << length;
        loaded.reset();
        Loaded(path, password.substr(0, length - 1).c_str(), HRESULT(0x8004001A));
        Loaded(path, (password + "x").c_str(), length < 1024 ? HRESULT(0x8004001A) : E_INVALIDARG);
    }
}

TEST_F(FilesTest, AReadOnlyCopyOpensWithoutThePasswordAndCannotBeSaved) {
    const std::string path = folder.Path("shared.vlb");
    ASSERT_EQ(obj->SetProtection("owner-password", 1), S_OK);
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    LetGo();
    auto reader = Loaded(path, nullptr);
    EXPECT_EQ(reader->Document().readOnly, 1);
    CBstr password;
    int32_t readOnly = 0;
    ASSERT_EQ(reader->GetProtection(password, readOnly), S_OK);
    EXPECT_EQ(readOnly, 1);
    EXPECT_EQ(reader->Save(), S_FALSE);
    EXPECT_EQ(reader->SetProtection("another-one", 0), S_FALSE);
    EXPECT_EQ(reader->SaveAs(CBstr(folder.Path("copy.vlb"))), S_FALSE);
    CVariant v;
    ASSERT_EQ(reader->GetValue("$B$1", v), S_OK);
    EXPECT_EQ(v.text, "text");
}

} // namespace vl

namespace vl {

namespace {

// Records what the automation objects ask and answers as told.
class ServicesDouble : public IDocumentServices {
public:
    void AutoFitRows(CWorkbook&, CWorksheet&, uint32_t, uint32_t) override {}
    bool SaveRangeAsImage(CWorkbook& workbook, const char* sheetPath, const CellRange& range,
                          const char* file, double gamma) override {
        asked = {sheetPath, file, gamma, range.c1, range.r1, range.c2, range.r2, 0};
        if (!succeed) workbook.error = ErrorCode(35);
        return succeed;
    }
    bool SaveContainerAsImage(CWorkbook& workbook, const char* sheetPath, uint16_t id,
                              const char* file, double gamma) override {
        asked = {sheetPath, file, gamma, 0, 0, 0, 0, id};
        if (!succeed) workbook.error = ErrorCode(35);
        return succeed;
    }
    using Asked = std::tuple<std::string, std::string, double, uint16_t, uint32_t, uint16_t,
                             uint32_t, uint16_t>;
    Asked asked;
    bool succeed = true;
};

class ImageServicesTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        SetDocumentServices(&services);
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        FilesTest::TearDown();
    }
    std::string ActivePath() {
        std::string path;
        BuildTreeItemPath(Doc().tree.active, path, false);
        return path;
    }
    ServicesDouble services;
};

} // namespace

TEST_F(ImageServicesTest, ExportsGoToTheServicesWithTheActiveSheetsPath) {
    ASSERT_EQ(obj->SaveRangeAsImage("$B$2:$D$5", "/tmp/r.png", 0.5), S_OK);
    EXPECT_EQ(services.asked,
              ServicesDouble::Asked(ActivePath(), "/tmp/r.png", 0.5, 1, 1, 3, 4, 0));
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 9;
    LinkContainer(*Doc().tree.active, std::move(c));
    ASSERT_EQ(obj->SaveContainerAsImage(9, "/tmp/c.png", 0.25), S_OK);
    EXPECT_EQ(services.asked,
              ServicesDouble::Asked(ActivePath(), "/tmp/c.png", 0.25, 0, 0, 0, 0, 9));
    // A failure is reported with the workbook's code; an absent container asks nothing.
    services.succeed = false;
    EXPECT_EQ(obj->SaveRangeAsImage("$A$1", "/tmp/r.png", 0), HRESULT(0x80040023));
    EXPECT_EQ(TakenMessage(), "Can't open the specified file for writing");
    services.asked = {};
    EXPECT_EQ(obj->SaveContainerAsImage(10, "/tmp/c.png", 0), HRESULT(0x8004000B));
    EXPECT_EQ(services.asked, ServicesDouble::Asked());
    SetDocumentServices(nullptr);
    EXPECT_EQ(obj->SaveRangeAsImage("$A$1", "/tmp/r.png", 0), E_FAIL);
}

} // namespace vl

namespace vl {

// A file that another object holds loads read-only: its content is there, Save answers
// S_FALSE and leaves the file, and the holder still saves. A writer elsewhere, holding the
// file alone, leaves it unreadable.
TEST_F(FilesTest, AHeldFileLoadsReadOnly) {
    const std::string path = folder.Path("held.vln");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    auto reader = Loaded(path, nullptr);
    ExpectContent(*reader);
    EXPECT_EQ(reader->Document().readOnly, 1);
    const std::vector<uint8_t> before = tempfiles::ReadBytes(path);
    ASSERT_EQ(reader->PutValue("$A$1", CVariant::R8(1)), S_OK);
    EXPECT_EQ(reader->Save(), S_FALSE);
    EXPECT_EQ(tempfiles::ReadBytes(path), before);
    PutNumber("$A$2", 2);
    EXPECT_EQ(obj->Save(), S_OK);
    EXPECT_NE(tempfiles::ReadBytes(path), before);
    reader.reset();
    LetGo();
    // A writer that holds the file alone still lets it be read, read-only, as it is now.
    const int writer = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    auto held = Loaded(path, nullptr);
    ExpectContent(*held);
    EXPECT_EQ(held->Document().readOnly, 1);
    EXPECT_EQ(held->Save(), S_FALSE);
    held.reset();
    close(writer);
    auto writable = Loaded(path, nullptr);
    EXPECT_EQ(writable->Document().readOnly, 0);
}

// A file another process holds with a record lock (as most programs hold what they edit)
// loads read-only, as one a flock holds: its content is there, Save answers S_FALSE and
// SaveAs over it is refused, the file left byte for byte; a lock of either kind, in either
// form the load reads. Once the lock is gone, the same load is writable and saves.
TEST_F(FilesTest, AFileARecordLockHoldsLoadsReadOnly) {
    using testlock::RecordLock;
    const std::string native = folder.Path("locked.vln"), excel = folder.Path("locked.xml");
    ASSERT_EQ(obj->SaveAsExcelFile(CBstr(excel)), S_OK);
    ASSERT_EQ(obj->SaveAs(CBstr(native)), S_OK);
    LetGo();
    for (const auto& [path, format] : {std::pair(native, 0), {excel, 2}}) {
        for (const RecordLock kind : {RecordLock::kProcessWrite, RecordLock::kOfdRead}) {
            SCOPED_TRACE(path + ", " + testlock::LockName(kind));
            const std::vector<uint8_t> before = tempfiles::ReadBytes(path);
            testlock::RecordLockingProcess holder(path, kind);
            ASSERT_TRUE(holder.Held());
            std::shared_ptr<CWorkbookObj> held;
            ASSERT_EQ(CWorkbookObj::Create(held), S_OK);
            ASSERT_EQ(held->Load(CBstr(path), CBstr(), format, nullptr, nullptr), S_OK);
            CVariant v;
            ASSERT_EQ(held->GetValue("$B$1", v), S_OK);
            EXPECT_EQ(v.text, "text");
            EXPECT_EQ(held->Document().readOnly, 1);
            ASSERT_EQ(held->PutValue("$A$2", CVariant::R8(5)), S_OK);
            EXPECT_EQ(held->Save(), S_FALSE);
            EXPECT_NE(held->SaveAs(CBstr(path)), S_OK);
            EXPECT_EQ(tempfiles::ReadBytes(path), before);
            held.reset();
            holder.Release();
            std::shared_ptr<CWorkbookObj> free;
            ASSERT_EQ(CWorkbookObj::Create(free), S_OK);
            ASSERT_EQ(free->Load(CBstr(path), CBstr(), format, nullptr, nullptr), S_OK);
            EXPECT_EQ(free->Document().readOnly, 0);
            ASSERT_EQ(free->PutValue("$A$2", CVariant::R8(5)), S_OK);
            EXPECT_EQ(free->Save(), S_OK);
            EXPECT_NE(tempfiles::ReadBytes(path), before);
            free.reset();
            tempfiles::WriteBytes(path, before);
        }
    }
}

} // namespace vl
