// Loading and saving where files are shared: the object's own file, files other objects or
// processes hold, targets that may not be written, pipes, and a tree with nothing to save.

#include "automationtestutil.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vl {

namespace {

constexpr HRESULT kCannotRead = HRESULT(0x80040022);
constexpr HRESULT kCannotWrite = HRESULT(0x80040023);
constexpr HRESULT kNoWorksheet = HRESULT(0x8004000D);

class FileSafetyTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        NewDocument();
        PutNumber("$A$1", 6);
    }
    std::shared_ptr<CWorkbookObj> Other() {
        std::shared_ptr<CWorkbookObj> other;
        EXPECT_EQ(CWorkbookObj::Create(other), S_OK);
        return other;
    }
    HRESULT Load(CWorkbookObj& o, const std::string& path, const char* password = nullptr) {
        return o.Load(CBstr(path), password ? CBstr(password) : CBstr(), 0, nullptr, nullptr);
    }
};

} // namespace

// The object loads the file it saved or loaded: what the file holds comes back, and the file
// is held again afterwards.
TEST_F(FileSafetyTest, AnObjectLoadsItsOwnFile) {
    const std::string path = folder.Path("own.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    PutNumber("$A$1", 7);
    ASSERT_EQ(Load(*obj, path), S_OK);
    EXPECT_EQ(Number("$A$1"), 6);
    PutNumber("$A$1", 8);
    ASSERT_EQ(Load(*obj, path), S_OK); // loaded, not saved, this time
    EXPECT_EQ(Number("$A$1"), 6);
    // Held again: another object can only read it.
    auto reader = Other();
    EXPECT_EQ(Load(*reader, path), S_OK);
    EXPECT_EQ(reader->Document().readOnly, 1);
    ASSERT_EQ(obj->Save(), S_OK);
}

// A load of the own file that fails keeps the document, and its file stays held.
TEST_F(FileSafetyTest, AFailedLoadOfTheOwnFileKeepsDocumentAndLock) {
    const std::string path = folder.Path("own.vlb");
    ASSERT_EQ(obj->SetProtection("password", 0), S_OK);
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    PutNumber("$A$1", 7);
    EXPECT_EQ(Load(*obj, path, "wrong-one"), HRESULT(0x8004001A));
    EXPECT_EQ(Number("$A$1"), 7);
    EXPECT_TRUE(Doc().stream.IsOpen());
    auto held = Other();
    EXPECT_EQ(Load(*held, path, "password"), S_OK);
    EXPECT_EQ(held->Document().readOnly, 1); // the lock is back with the document
    held.reset();
    ASSERT_EQ(obj->Save(), S_OK);
    Doc().stream.Close();
    auto reader = Other();
    ASSERT_EQ(Load(*reader, path, "password"), S_OK);
    CVariant v;
    ASSERT_EQ(reader->GetValue("$A$1", v), S_OK);
    EXPECT_EQ(v.real, 7);
}

// Nothing is written for a tree without a worksheet.
TEST_F(FileSafetyTest, AnEmptyTreeIsNotSaved) {
    const std::string path = folder.Path("empty.vlb");
    auto empty = Other();
    EXPECT_EQ(empty->SaveAs(CBstr(path)), kNoWorksheet);
    EXPECT_EQ(TakenMessage().empty(), false);
    EXPECT_FALSE(std::filesystem::exists(path));
    // Emptied after a save: Save refuses too and the file keeps what it had.
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    const auto before = tempfiles::ReadBytes(path);
    Doc().ClearContent();
    EXPECT_EQ(obj->Save(), kNoWorksheet);
    EXPECT_EQ(tempfiles::ReadBytes(path), before);
}

// A file another object holds is not replaced, and its holder's saves still go to it.
TEST_F(FileSafetyTest, AHeldOrReadOnlyTargetIsNotReplaced) {
    const std::string path = folder.Path("held.vlb");
    auto holder = Other();
    ASSERT_EQ(holder->NewDocument(), S_OK);
    ASSERT_EQ(holder->PutValue("$A$1", CVariant::R8(1)), S_OK);
    ASSERT_EQ(holder->SaveAs(CBstr(path)), S_OK);
    const auto before = tempfiles::ReadBytes(path);
    EXPECT_EQ(obj->SaveAs(CBstr(path)), kCannotRead);
    EXPECT_EQ(tempfiles::ReadBytes(path), before);
    EXPECT_FALSE(Doc().stream.IsOpen()); // the refused save took nothing
    ASSERT_EQ(holder->Save(), S_OK);

    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    const std::string readOnly = folder.Path("readonly.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(readOnly)), S_OK);
    Doc().stream.Close();
    const auto saved = tempfiles::ReadBytes(readOnly);
    chmod(readOnly.c_str(), 0444);
    PutNumber("$A$1", 9);
    EXPECT_EQ(obj->SaveAs(CBstr(readOnly)), kCannotWrite);
    EXPECT_EQ(tempfiles::ReadBytes(readOnly), saved);
    struct stat st {};
    stat(readOnly.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

// A pipe, a folder or a device is not read: the load fails at once and changes nothing.
TEST_F(FileSafetyTest, OnlyRegularFilesLoad) {
    const std::string pipe = folder.Path("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, folder.Dir(), std::string("/dev/zero")}) {
        EXPECT_EQ(Load(*obj, path), kCannotRead) << path;
        EXPECT_EQ(TakenMessage(), "Can't open the specified file for reading");
        EXPECT_EQ(Number("$A$1"), 6);
    }
}

} // namespace vl
