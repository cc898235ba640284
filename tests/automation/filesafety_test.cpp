// Loading and saving where files are shared: the object's own file, files other objects or
// processes hold, targets that may not be written, pipes, and a tree with nothing to save.

#include "automation/infoobjects.h"
#include "automationtestutil.h"
#include "files/savetarget.h"

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Another process that loads a file and holds it until told to save it: Save's result,
// 0 for S_OK, is its exit status.
class HolderProcess {
public:
    explicit HolderProcess(const std::string& path) {
        int up[2], down[2];
        if (pipe(up) != 0 || pipe(down) != 0) return;
        child_ = fork();
        if (child_ == 0) {
            close(up[0]);
            close(down[1]);
            std::shared_ptr<CWorkbookObj> holder;
            const bool held = CWorkbookObj::Create(holder) == S_OK &&
                              holder->Load(CBstr(path), CBstr(), 0, nullptr, nullptr) == S_OK &&
                              holder->Document().readOnly == 0;
            const char ready = held ? 'h' : 'x';
            char go = 0;
            if (write(up[1], &ready, 1) != 1 || read(down[0], &go, 1) != 1 || !held) _exit(2);
            _exit(holder->Save() == S_OK ? 0 : 1);
        }
        close(up[1]);
        close(down[0]);
        go_ = down[1];
        char ready = 0;
        held_ = child_ > 0 && read(up[0], &ready, 1) == 1 && ready == 'h';
        close(up[0]);
    }
    ~HolderProcess() { SaveAndEnd(); }
    bool Held() const { return held_; }
    // Lets the holder save and end; its exit status, -1 when it did not end normally.
    int SaveAndEnd() {
        if (child_ <= 0) return -1;
        const char go = 's';
        const bool told = write(go_, &go, 1) == 1;
        close(go_);
        int status = 0;
        const bool ended = waitpid(child_, &status, 0) == child_ && WIFEXITED(status);
        child_ = 0;
        return told && ended ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t child_ = -1;
    int go_ = -1;
    bool held_ = false;
};

// A document that could only read a file another object or process holds saves over it by
// no route: the file stays as its holder wrote it, the reader keeps its document, and the
// holder's next Save works. Once nobody else holds it, the reader may replace it.
TEST_F(FileSafetyTest, AReaderOfAHeldFileDoesNotReplaceIt) {
    std::shared_ptr<CTextFileInfoObj> text;
    ASSERT_EQ(CTextFileInfoObj::Create(text), S_OK);
    const std::string path = folder.Path("shared.vlb");
    const std::function<HRESULT(CWorkbookObj&)> routes[] = {
        [&](CWorkbookObj& o) { return o.SaveAs(CBstr(path)); },
        [&](CWorkbookObj& o) { return o.SaveAsExcelFile(CBstr(path)); },
        [&](CWorkbookObj& o) { return o.SaveAsTextFile(CBstr(path), text.get()); },
    };
    const std::string message = GetErrorMessage(kStreamOpenRead);
    for (size_t route = 0; route < std::size(routes); ++route) {
        for (const bool elsewhere : {false, true}) {
            const std::string at = std::to_string(route) + (elsewhere ? " process" : " object");
            ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
            Doc().stream.Close();
            const auto before = tempfiles::ReadBytes(path);
            auto holder = Other();
            std::unique_ptr<HolderProcess> process;
            if (elsewhere)
                process = std::make_unique<HolderProcess>(path);
            else
                ASSERT_EQ(Load(*holder, path), S_OK);
            ASSERT_TRUE(!elsewhere || process->Held()) << at;
            auto reader = Other();
            ASSERT_EQ(Load(*reader, path), S_OK) << at;
            ASSERT_EQ(reader->Document().readOnly, 1) << at;
            ASSERT_EQ(reader->PutValue("$A$1", CVariant::R8(99)), S_OK);
            EXPECT_EQ(routes[route](*reader), kCannotRead) << at;
            EXPECT_EQ(TakenMessage(), message) << at;
            EXPECT_EQ(tempfiles::ReadBytes(path), before) << at;
            EXPECT_TRUE(reader->Document().stream.IsSameFile(path.c_str())) << at;
            if (elsewhere)
                EXPECT_EQ(process->SaveAndEnd(), 0) << at;
            else
                EXPECT_EQ(holder->Save(), S_OK) << at;
            holder.reset();
            EXPECT_EQ(routes[route](*reader), S_OK) << at; // the reader alone may replace it
            reader.reset();
        }
    }
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

namespace vl {

// A document that could only read its file, saved under a new name by any route, holds the
// new file for writing: its next Save writes there, and the first file stays as it was.
TEST_F(FileSafetyTest, AReaderSavedUnderANewNameIsWritableThere) {
    std::shared_ptr<CTextFileInfoObj> text;
    ASSERT_EQ(CTextFileInfoObj::Create(text), S_OK);
    const std::string path = folder.Path("held.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    const auto before = tempfiles::ReadBytes(path);
    const std::function<HRESULT(CWorkbookObj&, const std::string&)> routes[] = {
        [](CWorkbookObj& o, const std::string& p) { return o.SaveAs(CBstr(p)); },
        [](CWorkbookObj& o, const std::string& p) { return o.SaveAsExcelFile(CBstr(p)); },
        [&](CWorkbookObj& o, const std::string& p) {
            return o.SaveAsTextFile(CBstr(p), text.get());
        },
    };
    for (size_t route = 0; route < std::size(routes); ++route) {
        auto reader = Other();
        ASSERT_EQ(Load(*reader, path), S_OK) << route;
        ASSERT_EQ(reader->Document().readOnly, 1) << route;
        EXPECT_EQ(reader->Save(), S_FALSE) << route;
        const std::string fresh = folder.Path("new" + std::to_string(route));
        ASSERT_EQ(routes[route](*reader, fresh), S_OK) << route;
        EXPECT_EQ(reader->Document().readOnly, 0) << route;
        ASSERT_EQ(reader->PutValue("$A$1", CVariant::R8(41)), S_OK);
        const auto saved = tempfiles::ReadBytes(fresh);
        EXPECT_EQ(reader->Save(), S_OK) << route;
        EXPECT_NE(tempfiles::ReadBytes(fresh), saved) << route;
        EXPECT_EQ(tempfiles::ReadBytes(path), before) << route;
    }
}

} // namespace vl

namespace vl {

// A rewrite in place cut short left the file torn and a whole copy beside it: Load cannot ask
// which to take, so it reads nothing and says why (119, with its message), leaving the
// document, the file and the copy as they were. Once the copy is put back, Load reads it
// (through the file's other name too).
TEST_F(FileSafetyTest, LoadReadsNoFileACutSaveLeftACopyOf) {
    const std::string path = folder.Path("cut.vlb"), twin = folder.Path("twin.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    Doc().stream.Close();
    ASSERT_EQ(link(path.c_str(), twin.c_str()), 0);
    const auto whole = tempfiles::ReadBytes(path);
    const std::string copy = TemporaryPrefix(path) + "saved";
    tempfiles::WriteBytes(copy, whole);
    tempfiles::WriteBytes(path, {});
    ASSERT_EQ(InterruptedSaveCopy(path), copy);
    PutNumber("$A$1", 9);
    for (int format : {0, 2}) {
        SCOPED_TRACE(format);
        EXPECT_EQ(obj->Load(CBstr(path), CBstr(), format, nullptr, nullptr), HRESULT(0x80040077));
        EXPECT_EQ(TakenMessage(),
                  "A save of this file was cut short, and the file may be incomplete. Open it in "
                  "the program's window, which offers the whole copy that save kept.");
        EXPECT_EQ(Number("$A$1"), 9);
    }
    EXPECT_TRUE(tempfiles::ReadBytes(path).empty());
    EXPECT_EQ(tempfiles::ReadBytes(copy), whole);
    ASSERT_EQ(RestoreInterruptedSave(path), kErrorNone);
    ASSERT_EQ(Load(*obj, twin), S_OK);
    EXPECT_EQ(Number("$A$1"), 6);
}

// Once another user's whole save has rewritten the torn file, the copy the cut kept no longer
// stops Load: it reads their newer workbook, and the copy stays on disk as it was. Before that
// save, the file torn to any first part of the copy's bytes (or with zeros where a power cut
// lost the rest) still stops it.
TEST_F(FileSafetyTest, LoadReadsAFileSavedWholeSinceItsCopyWasKept) {
    const std::string path = folder.Path("shared.vlb"), twin = folder.Path("twin.vlb");
    ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK);
    const auto ours = tempfiles::ReadBytes(path);
    PutNumber("$A$1", 9);
    ASSERT_EQ(obj->Save(), S_OK);
    const auto theirs = tempfiles::ReadBytes(path);
    Doc().stream.Close();
    ASSERT_EQ(link(path.c_str(), twin.c_str()), 0);
    const std::string copy = TemporaryPrefix(path) + "saved";
    tempfiles::WriteBytes(copy, ours);
    const auto half = std::vector<uint8_t>(ours.begin(), ours.begin() + ours.size() / 2);
    auto zeroed = half;
    zeroed.resize(ours.size(), 0);
    for (const auto& torn : {std::vector<uint8_t>{}, half, zeroed, ours}) {
        SCOPED_TRACE(torn.size());
        tempfiles::WriteBytes(path, torn);
        EXPECT_EQ(Load(*obj, path), HRESULT(0x80040077));
        EXPECT_EQ(Number("$A$1"), 9);
    }
    tempfiles::WriteBytes(twin, theirs); // their save, in place: both names see it
    PutNumber("$A$1", 1);
    ASSERT_EQ(Load(*obj, path), S_OK);
    EXPECT_EQ(Number("$A$1"), 9);
    EXPECT_EQ(tempfiles::ReadBytes(copy), ours);
    // The copy they outdated is not put back over their workbook by our next save either.
    PutNumber("$A$2", 3);
    ASSERT_EQ(obj->Save(), S_OK);
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(tempfiles::ReadBytes(twin), tempfiles::ReadBytes(path));
}

} // namespace vl
