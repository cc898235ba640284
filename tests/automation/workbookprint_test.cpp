// The printing methods of the Workbook object against a double of the document services:
// what each stores in the page setup, what it asks to print, and what a failure leaves.

#include "automation/documentservices.h"
#include "automationtestutil.h"
#include "model/container.h"

#include <cstring>
#include <functional>

namespace vl {

namespace {

class PrintDouble : public IDocumentServices {
public:
    void AutoFitRows(CWorkbook&, CWorksheet&, uint32_t, uint32_t) override {}
    bool SaveRangeAsImage(CWorkbook&, const char*, const CellRange&, const char*, double) override {
        return false;
    }
    bool SaveContainerAsImage(CWorkbook&, const char*, uint16_t, const char*, double) override {
        return false;
    }
    bool PrintWorksheet(CWorkbook& workbook, CEvalContext&, CWorksheet& sheet,
                        const char* path) override {
        ++calls;
        printed = &sheet;
        kindAsked = sheet.pageSetup.printRangeKind;
        documentPath = path;
        if (failWith) workbook.error = failWith;
        return failWith == 0;
    }
    int calls = 0;
    CWorksheet* printed = nullptr;
    uint8_t kindAsked = 0xFF;
    std::string documentPath;
    ErrorCode failWith = 0;
};

class PrintTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        SetDocumentServices(&services);
        NewDocument();
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        AutomationTest::TearDown();
    }
    PageSetupRecord& Page() { return Doc().tree.active->pageSetup; }
    void AddContainer(uint16_t id) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = id;
        LinkContainer(*Doc().tree.active, std::move(c));
    }
    std::string SetupBytes() {
        std::string bytes(kPageSetupRecordSize, '\0');
        WritePageSetupRecord(reinterpret_cast<uint8_t*>(bytes.data()), Page());
        return bytes;
    }

    PrintDouble services;
};

} // namespace

TEST_F(PrintTest, EachMethodStoresItsSelectionAndPrintsTheActiveWorksheet) {
    struct Case {
        const char* name;
        std::function<HRESULT(CWorkbookObj&)> call;
        uint8_t kind;
    };
    AddContainer(9);
    const Case cases[] = {
        {"all", [](CWorkbookObj& o) { return o.PrintAll(); }, kPrintAll},
        {"range", [](CWorkbookObj& o) { return o.PrintRange("$B$3:$D$40"); }, kPrintCellRange},
        {"pages", [](CWorkbookObj& o) { return o.PrintPages("2-3, 5"); }, kPrintPageList},
        {"container", [](CWorkbookObj& o) { return o.PrintContainer(9); }, kPrintContainer},
    };
    for (const Case& c : cases) {
        Page().printRangeKind = kPrintSelection;
        services.calls = 0;
        EXPECT_EQ(c.call(*obj), S_OK) << c.name;
        EXPECT_EQ(services.calls, 1) << c.name;
        EXPECT_EQ(services.printed, Doc().tree.active) << c.name;
        EXPECT_EQ(services.kindAsked, c.kind) << c.name;
        EXPECT_EQ(Page().printRangeKind, c.kind) << c.name;
        EXPECT_EQ(services.documentPath, "") << c.name; // a new workbook has no file
    }
    const RangeDescriptor& r = Page().printRange;
    EXPECT_EQ(std::vector<uint32_t>({r.c1, r.r1, r.c2, r.r2}),
              std::vector<uint32_t>({1, 2, 3, 39}));
    EXPECT_STREQ(Page().pages, "2-3, 5");
    EXPECT_EQ(Page().printedContainer, 9);
}

TEST_F(PrintTest, AFailedJobIsFalseWithTheReasonInTheDocument) {
    services.failWith = 17;
    EXPECT_EQ(obj->PrintPages("12"), S_FALSE);
    EXPECT_EQ(Doc().error, 17);
    EXPECT_EQ(TakenMessage(), "<none>"); // no error information for S_FALSE
    services.failWith = 0;
    EXPECT_EQ(obj->PrintAll(), S_OK);
    EXPECT_EQ(Doc().error, 0);
    // Without document services there is no printer.
    SetDocumentServices(nullptr);
    EXPECT_EQ(obj->PrintAll(), S_FALSE);
    EXPECT_EQ(Doc().error, 20);
}

TEST_F(PrintTest, RefusedSelectionsPrintNothingAndLeaveThePageSetup) {
    AddContainer(9);
    Page().printRangeKind = kPrintContainer;
    Page().printedContainer = 9;
    const std::string before = SetupBytes();
    struct Case {
        const char* name;
        std::function<HRESULT(CWorkbookObj&)> call;
        HRESULT hr;
        ErrorCode error;
    };
    const std::string longest(127, '1'), tooLong(128, '1');
    const Case cases[] = {
        {"relative", [](CWorkbookObj& o) { return o.PrintRange("B3"); }, E_INVALIDARG, 0},
        {"half relative", [](CWorkbookObj& o) { return o.PrintRange("$B$3:D5"); }, E_INVALIDARG, 0},
        {"no range", [](CWorkbookObj& o) { return o.PrintRange(""); }, E_INVALIDARG, 0},
        {"other id", [](CWorkbookObj& o) { return o.PrintContainer(8); }, S_FALSE, 11},
        {"id 0", [](CWorkbookObj& o) { return o.PrintContainer(0); }, S_FALSE, 11},
        {"id past 16 bits", [](CWorkbookObj& o) { return o.PrintContainer(65536 + 9); }, S_FALSE,
         11},
        {"page list over 127 bytes", [&](CWorkbookObj& o) { return o.PrintPages(CBstr(tooLong)); },
         S_FALSE, 17},
    };
    for (const Case& c : cases) {
        Doc().error = 0;
        EXPECT_EQ(c.call(*obj), c.hr) << c.name;
        EXPECT_EQ(Doc().error, c.error) << c.name;
        EXPECT_EQ(services.calls, 0) << c.name;
        EXPECT_EQ(SetupBytes(), before) << c.name;
    }
    // The longest list the record holds is taken whole.
    EXPECT_EQ(obj->PrintPages(CBstr(longest)), S_OK);
    EXPECT_EQ(std::string(Page().pages), longest);
}

TEST_F(PrintTest, AnEmptyTreeIsErrorThirteenForEveryMethod) {
    ASSERT_EQ(CWorkbookObj::Create(obj), S_OK); // a new object's tree is empty
    const HRESULT noSheet = obj->PrintAll();
    EXPECT_TRUE(Failed(noSheet));
    EXPECT_EQ(obj->PrintRange("$A$1"), noSheet);
    EXPECT_EQ(obj->PrintPages("1"), noSheet);
    EXPECT_EQ(obj->PrintContainer(1), noSheet);
    EXPECT_EQ(Doc().error, kErrorNoWorksheet);
    EXPECT_EQ(services.calls, 0);
}

// The cell range PrintRange stores is kept by both native forms.
TEST_F(PrintTest, ThePrintedRangeReadsBackFromTheFile) {
    for (const uint8_t form : {kFormatBinary, kFormatXml}) {
        Profile().fileFormat = form;
        ASSERT_EQ(obj->PrintRange("$C$4:$E$30"), S_OK);
        const std::string path = folder.Path("range" + std::to_string(form) + ".vln");
        ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
        ASSERT_EQ(CWorkbookObj::Create(obj), S_OK); // the saved file is let go
        NewDocument();
        std::shared_ptr<CWorkbookObj> back;
        ASSERT_EQ(CWorkbookObj::Create(back), S_OK);
        ASSERT_EQ(back->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK) << int(form);
        const PageSetupRecord& setup = back->Document().tree.active->pageSetup;
        EXPECT_EQ(setup.printRangeKind, kPrintCellRange) << int(form);
        const RangeDescriptor& r = setup.printRange;
        EXPECT_EQ(std::vector<uint32_t>({r.c1, r.r1, r.c2, r.r2}),
                  std::vector<uint32_t>({2, 3, 4, 29}))
            << int(form);
    }
}

// The first page number every form keeps: the highest the Content page takes comes back
// from each; a larger one, which no reader takes, is stored as that highest, so the file opens.
TEST_F(PrintTest, TheFirstPageNumberReadsBackFromTheFile) {
    for (const uint8_t form : {kFormatBinary, kFormatXml}) {
        for (const uint16_t number : {1, 2, 65534, 65535}) {
            SCOPED_TRACE(std::to_string(form) + " " + std::to_string(number));
            Profile().fileFormat = form;
            Page().firstPageNumber = number;
            const std::string path =
                folder.Path("first" + std::to_string(form) + "-" + std::to_string(number) + ".vln");
            ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
            ASSERT_EQ(CWorkbookObj::Create(obj), S_OK); // the saved file is let go
            NewDocument();
            std::shared_ptr<CWorkbookObj> back;
            ASSERT_EQ(CWorkbookObj::Create(back), S_OK);
            ASSERT_EQ(back->Load(CBstr(path), CBstr(), 0, nullptr, nullptr), S_OK);
            EXPECT_EQ(back->Document().tree.active->pageSetup.firstPageNumber,
                      std::min<uint16_t>(number, 65534));
        }
    }
}

} // namespace vl
