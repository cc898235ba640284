// Every route that writes a file other than a workbook (range and container images, the
// settings profile, a print to a PDF file) keeps a file that another document, process or
// program holds, and keeps symbolic and hard links, as the workbook saves do.

#include "formula/celltext.h"
#include "formula/workbookcontext.h"
#include "print/printerservice.h"
#include "print/printjob.h"
#include "profile/profile.h"
#include "program/documentservices.h"
#include "tests/automation/automationtestutil.h"
#include "tests/print/fakeprinters.h"

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vl {

namespace {

namespace fs = std::filesystem;

constexpr uint16_t kContainerId = 9;

ino_t Inode(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_ino;
}

// A process that holds a file with a lock of the kind until it is ended.
class LockingProcess {
public:
    LockingProcess(const std::string& path, int operation) {
        int up[2], down[2];
        if (pipe(up) != 0 || pipe(down) != 0) return;
        child_ = fork();
        if (child_ == 0) {
            close(up[0]);
            close(down[1]);
            const int fd = open(path.c_str(), O_RDONLY);
            const char ready = fd >= 0 && flock(fd, operation | LOCK_NB) == 0 ? 'h' : 'x';
            char end = 0;
            if (write(up[1], &ready, 1) != 1 || read(down[0], &end, 1) < 0) _exit(2);
            _exit(0);
        }
        close(up[1]);
        close(down[0]);
        end_ = down[1];
        char ready = 0;
        held_ = child_ > 0 && read(up[0], &ready, 1) == 1 && ready == 'h';
        close(up[0]);
    }
    ~LockingProcess() {
        if (child_ <= 0) return;
        close(end_);
        int status = 0;
        waitpid(child_, &status, 0);
    }
    bool Held() const { return held_; }

private:
    pid_t child_ = -1;
    int end_ = -1;
    bool held_ = false;
};

class HeldFilesTest : public autotest::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        SetDocumentServices(&services);
        NewDocument();
        PutNumber("$A$1", 6);
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = kContainerId;
        c->settings.right = 40;
        c->settings.bottom = 30;
        LinkContainer(*Doc().tree.active, std::move(c));
    }
    void TearDown() override {
        SetDocumentServices(nullptr);
        AutomationTest::TearDown();
    }
    std::shared_ptr<CWorkbookObj> Other() {
        std::shared_ptr<CWorkbookObj> other;
        EXPECT_EQ(CWorkbookObj::Create(other), S_OK);
        return other;
    }

    // Each route writes `path` and tells whether it did.
    struct Route {
        const char* name;
        std::function<bool(HeldFilesTest&, const std::string&)> write;
    };
    static bool PrintTo(HeldFilesTest& t, const std::string& path) {
        CWorkbook& book = t.Doc();
        if (!book.evalContext && !AttachEvalContext(book)) return false;
        CCellDisplay display(*book.evalContext, false);
        DeviceMode mode;
        mode.printer = PdfPrinter();
        mode.printer.dpi = 96;
        mode.paper = {"Letter", 1, QPageSize(QPageSize::Letter)};
        return PrintWorksheets(book, display, {book.tree.active}, mode, path, "Book").error ==
               kErrorNone;
    }
    static std::vector<Route> Routes() {
        return {
            {"range image",
             [](HeldFilesTest& t, const std::string& p) {
                 return t.obj->SaveRangeAsImage("$A$1:$B$2", CBstr(p), 0) == S_OK;
             }},
            {"container image",
             [](HeldFilesTest& t, const std::string& p) {
                 return t.obj->SaveContainerAsImage(kContainerId, CBstr(p), 0) == S_OK;
             }},
            {"profile",
             [](HeldFilesTest&, const std::string& p) { return !SaveProfile(p, false); }},
            {"printed file", PrintTo},
        };
    }

    printtest::FakePrinters printers;
    CScreenDocumentServices services{printers};
};

} // namespace

// A file that another object, the exporting object itself, another process or another
// program's exclusive lock holds is not replaced by any route; the holder's next save still
// works. Once free, the same route writes it.
TEST_F(HeldFilesTest, AHeldFileIsReplacedByNoRoute) {
    const std::string path = folder.Path("held.vlb");
    enum Holder { kOtherObject, kOwnDocument, kSharedProcess, kExclusiveProgram };
    for (const Route& route : Routes()) {
        for (const Holder holder :
             {kOtherObject, kOwnDocument, kSharedProcess, kExclusiveProgram}) {
            const std::string at = std::string(route.name) + " holder " + std::to_string(holder);
            auto other = Other();
            ASSERT_EQ(other->NewDocument(), S_OK);
            ASSERT_EQ(other->SaveAs(CBstr(path)), S_OK) << at;
            std::unique_ptr<LockingProcess> process;
            if (holder == kOwnDocument) {
                other.reset();
                ASSERT_EQ(obj->SaveAs(CBstr(path)), S_OK) << at;
            } else if (holder != kOtherObject) {
                other.reset();
                process = std::make_unique<LockingProcess>(
                    path, holder == kSharedProcess ? LOCK_SH : LOCK_EX);
                ASSERT_TRUE(process->Held()) << at;
            }
            const auto before = tempfiles::ReadBytes(path);
            EXPECT_FALSE(route.write(*this, path)) << at;
            EXPECT_EQ(tempfiles::ReadBytes(path), before) << at;
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.Dir()), fs::directory_iterator()),
                      1)
                << at;
            if (holder == kOtherObject) {
                EXPECT_EQ(other->Save(), S_OK) << at;
            } else if (holder == kOwnDocument) {
                EXPECT_EQ(obj->Save(), S_OK) << at;
                Doc().stream.Close();
            }
            other.reset();
            process.reset();
            EXPECT_TRUE(route.write(*this, path)) << at; // free now
            EXPECT_NE(tempfiles::ReadBytes(path), before) << at;
            fs::remove(path);
        }
    }
}

// Through a symbolic link the file it names is written and the link stays; a file of two
// names keeps both on one file, which holds what was written.
TEST_F(HeldFilesTest, LinksStayLinks) {
    const std::string real = folder.Path("real.out"), link = folder.Path("link.out");
    const std::string twin = folder.Path("twin.out");
    for (const Route& route : Routes()) {
        tempfiles::WriteBytes(real, {'o', 'l', 'd'});
        ASSERT_EQ(symlink("real.out", link.c_str()), 0);
        EXPECT_TRUE(route.write(*this, link)) << route.name;
        EXPECT_TRUE(fs::is_symlink(link)) << route.name;
        const auto written = tempfiles::ReadBytes(real);
        EXPECT_GT(written.size(), 3u) << route.name;
        fs::remove(link);

        ASSERT_EQ(::link(real.c_str(), twin.c_str()), 0);
        const ino_t inode = Inode(real);
        EXPECT_TRUE(route.write(*this, twin)) << route.name;
        EXPECT_EQ(std::pair(Inode(real), Inode(twin)), std::pair(inode, inode)) << route.name;
        EXPECT_EQ(fs::hard_link_count(real), 2u) << route.name;
        EXPECT_FALSE(tempfiles::ReadBytes(real).empty()) << route.name;
        fs::remove(twin);
        fs::remove(real);
        // Nothing is left beside the files written.
        EXPECT_TRUE(fs::is_empty(folder.Dir())) << route.name;
    }
}

} // namespace vl
