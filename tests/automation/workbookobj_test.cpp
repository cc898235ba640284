#include "automation/errorreport.h"
#include "automation/serverlock.h"
#include "automation/typelib.h"
#include "automationtestutil.h"

#include <set>

namespace vl {

using autotest::AutomationTest;

TEST(AutomationErrors, MessagesAndHResultsOfDocumentCodes) {
    struct Case {
        ErrorCode code;
        uint32_t line;
        HRESULT hr;
        const char* message;
    };
    static const Case cases[] = {
        {57, 12, HRESULT(0x80040039), "An invalid attribute value\nLine: 12"},
        {55, 3, HRESULT(0x80040037), "Ouf of memory while loading an xml document\nLine: 3"},
        {59, 1, HRESULT(0x8004003B), "Invalid xml element data (c_data)\nLine: 1"},
        {60, 4, HRESULT(0x8004003C), "Only the UTF-8 encoding is supported"},
        {57, 0, HRESULT(0x80040039), "An invalid attribute value"},
        {34, 7, HRESULT(0x80040022), "Can't open the specified file for reading"},
        {10, 0, HRESULT(0x8004000A), "An invalid worksheet/folder path - not found"},
        {200, 0, HRESULT(0x800400C8), "No error"},
    };
    for (const Case& c : cases) {
        ClearErrorInfo();
        EXPECT_EQ(ReportAutomationError(c.code, IID_ITree, c.line), c.hr);
        std::optional<ErrorInfo> info = TakeErrorInfo();
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->description, c.message);
        EXPECT_EQ(info->source, "Vorlane 7.3");
        EXPECT_EQ(info->iid, IID_ITree);
    }
}

TEST(TypeLibrary, ClassesByNameAndUniqueConstants) {
    EXPECT_EQ(FindCoClass("vorlan.workbook"), &WorkbookClass());
    EXPECT_EQ(FindCoClass("Vorlan.Workbook.1"), &WorkbookClass());
    ASSERT_NE(FindCoClass("Vorlan.Application.7"), nullptr);
    EXPECT_EQ(FindCoClass("Vorlan.Application.7")->description, "Application Class");
    EXPECT_EQ(FindCoClass("Vorlan.Workbook.2"), nullptr);
    std::set<std::string_view> members;
    for (const TypeLibConstant& c : TypeLibConstants())
        EXPECT_TRUE(members.insert(c.member).second) << c.member;
}

TEST_F(AutomationTest, ErrorInfoIsSupportedForItsOwnInterfacesOnly) {
    EXPECT_EQ(obj->InterfaceSupportsErrorInfo(IID_IWorksheet), S_OK);
    EXPECT_EQ(obj->InterfaceSupportsErrorInfo(IID_ITree), S_OK);
    EXPECT_EQ(obj->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    EXPECT_EQ(obj->InterfaceSupportsErrorInfo(IID_IDocuments), S_FALSE);
}

TEST_F(AutomationTest, TheTreePropertyIsTheSameObjectAndItsPutDoesNothing) {
    std::shared_ptr<ITree> tree;
    ASSERT_EQ(obj->get_WorksheetTree(tree), S_OK);
    EXPECT_EQ(tree.get(), static_cast<ITree*>(obj.get()));
    EXPECT_EQ(obj.use_count(), 2);
    EXPECT_EQ(obj->put_WorksheetTree(nullptr), S_OK);
}

namespace {

struct CountingLock : IServerLock {
    void Lock() override { ++count; }
    void Unlock() override { --count; }
    long count = 0;
};

} // namespace

TEST(WorkbookObject, HoldsOneServerLockForItsLife) {
    CountingLock lock;
    SetServerLock(&lock);
    {
        std::shared_ptr<CWorkbookObj> a, b;
        ASSERT_EQ(CWorkbookObj::Create(a), S_OK);
        ASSERT_EQ(CWorkbookObj::Create(b), S_OK);
        EXPECT_EQ(lock.count, 2);
        a.reset();
        EXPECT_EQ(lock.count, 1);
    }
    EXPECT_EQ(lock.count, 0);
    SetServerLock(nullptr);
}

} // namespace vl
