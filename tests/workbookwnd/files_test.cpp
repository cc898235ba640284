// Open, save, save as, reload and the save question through the window, on real files.

#include "app/shell.h"
#include "charts/seriesdata.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/openwaitdlg.h"
#include "formula/recalc.h"
#include "model/container.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "platform/core/pathlimit.h"
#include "profile/profile.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "tests/charts/chartcontainer.h"
#include "tests/common/recordlock.h"
#include "wndtest.h"
#include "workbookwnd/documentopen.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl {

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class FilesTest : public wndtest::WindowTest {
protected:
    // A new window with a few cells typed in, saved under `name` in `form` (1 to 4).
    std::string SavedBook(const std::string& name, uint8_t form) {
        EXPECT_NE(NewWindow(), nullptr);
        Active()->HandleCommand(ID_FORMAT_XML + form - 1);
        TypeCells();
        const std::string path = TempPath(name);
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        EXPECT_FALSE(Active()->IsModified());
        return path;
    }
    // A saved book closed and opened again.
    std::string Reopened(const std::string& name, uint8_t form) {
        const std::string path = SavedBook(name, form);
        CloseActive();
        EXPECT_NE(OpenWindow(path), nullptr);
        return path;
    }
    void ExpectOneError(ErrorCode code) const {
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(code)));
    }
    void TypeCells() {
        Enter(0, 2, QStringLiteral("12.5"));
        Enter(1, 2, QStringLiteral("North"));
        Enter(2, 2, QStringLiteral("=A1*2"));
    }
    void ExpectTypedCells() const {
        EXPECT_EQ(CellText(0, 2), "12.5");
        EXPECT_EQ(CellText(1, 2), "North");
        EXPECT_EQ(CellText(2, 2), "=A1*2");
    }
    int Windows() const { return OpenDocumentCount(); }
    void CloseActive() {
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
    bool SawBox(int stringId) const {
        const QString text = QString::fromLatin1(LoadAppString(stringId)).section('%', 0, 0);
        for (const auto& box : ui.boxes)
            if (box.text.startsWith(text)) return true;
        return false;
    }
};

TEST_F(FilesTest, EachNativeFormRoundTripsThroughTheWindow) {
    struct Case {
        uint8_t form;
        const char* head; // the first bytes of the file
    };
    const Case cases[] = {{1, "<?xml"}, {2, "\x1f\x8b"}, {3, "3"}, {4, "\x1f\x8b"}};
    for (const Case& c : cases) {
        const std::string path = Reopened("form" + std::to_string(c.form) + ".vln", c.form);
        EXPECT_EQ(ReadAll(path).rfind(c.head, 0), 0u) << int(c.form);
        ExpectTypedCells();
        EXPECT_EQ(Book().fileKind, c.form);
        EXPECT_FALSE(Active()->IsModified());
        CloseActive();
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// A native workbook saved under a ".xml" name opens as the workbook its bytes are, in each
// of its forms, and keeps that form: a save writes the workbook again, never a spreadsheet.
TEST_F(FilesTest, ANativeWorkbookUnderAnXmlNameOpensAsTheWorkbook) {
    for (uint8_t form = 1; form <= 4; ++form) {
        const std::string path = SavedBook("native" + std::to_string(form) + ".xml", form);
        CloseActive();
        ui.boxes.clear();
        ASSERT_NE(OpenWindow(path), nullptr) << int(form);
        EXPECT_TRUE(ui.boxes.empty()) << int(form);
        EXPECT_EQ(Book().fileFamily, kFileNative) << int(form);
        EXPECT_EQ(Book().fileKind, form);
        ExpectTypedCells();
        CloseActive();
    }
}

TEST_F(FilesTest, TypedNumbersWithLongDigitsSaveAndOpenAgain) {
    struct Typed {
        const char* text;
        uint8_t kind;
        int param;
        uint8_t value; // the format's setting at `param`
    } const typed[] = {
        {"$1.123456789012345678", STD_STYLE_CURRENCY, fmtparam::kCurrencyDecimals, 14},
        {"1/12345678901234567", STD_STYLE_FRACTION, fmtparam::kDenominatorDigits, 14},
        {"1/4294967295", STD_STYLE_FRACTION, fmtparam::kDenominatorDigits, 10},
    };
    for (uint8_t form = 1; form <= 4; ++form) {
        ASSERT_NE(NewWindow(), nullptr);
        Active()->HandleCommand(ID_FORMAT_XML + form - 1);
        for (uint32_t r = 0; r < std::size(typed); ++r)
            Enter(0, r, QString::fromLatin1(typed[r].text));
        const std::string path = TempPath("typed" + std::to_string(form) + ".vln");
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        CloseActive();
        ASSERT_NE(OpenWindow(path), nullptr) << int(form);
        EXPECT_TRUE(ui.boxes.empty()) << int(form);
        const CWorksheet& sheet = *Book().tree.active;
        for (uint32_t r = 0; r < std::size(typed); ++r) {
            const StandardFormat& f =
                GetStyleRecord(Book().styles, CellStyleIndex(sheet.formats, r, 0)).numberFormat;
            EXPECT_EQ(f.kind, typed[r].kind) << typed[r].text;
            EXPECT_EQ(f.params[typed[r].param], typed[r].value) << typed[r].text;
        }
        CloseActive();
    }
}

TEST_F(FilesTest, AnOpenedWorkbookHasItsChartsRefreshed) {
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    auto c = charttest::ChartContainer(1, "R3C1:R3C3");
    LinkContainer(*Active()->Book().tree.active, std::move(c));
    const std::string path = TempPath("chart.vln");
    ui.savePath = QString::fromStdString(path);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    CloseActive();
    InstallChartRefresh();
    CWorkbookWnd* opened = OpenWindow(path);
    SetChartRefresh(nullptr);
    ASSERT_NE(opened, nullptr);
    CContainer* read = opened->Book().tree.active->firstContainer;
    ASSERT_TRUE(read && read->slots[0].chart);
    const CChartSeries& s = read->slots[0].chart->series[0];
    // 12.5, a text skipped and =A1*2 of an empty A1: zeros move neither limit, and 12.5
    // alone spans nothing, so the axis reaches from zero past it, one step of 20.
    EXPECT_EQ(std::tuple(read->slots[0].chart->flags & kChartScalesValid, s.points.ItemCount(),
                         s.minimum, s.maximum),
              std::tuple(1, 3u, 0.0, 20.0));
}

// The same path activates the window that holds the file; another name of it opens a second,
// read-only document at once; only a writer elsewhere, holding the file alone, is waited for.
TEST_F(FilesTest, OpeningAnOpenFileActivatesItsWindowALinkReadsItAndAWriterIsWaitedFor) {
    const std::string path = Reopened("held.vln", 3);
    CWorkbookWnd* holder = Active();
    NewWindow();
    EXPECT_EQ(OpenWindow(path), holder);
    EXPECT_EQ(Windows(), 2);
    EXPECT_TRUE(ui.waits.empty());
    const std::string link = TempPath("link.vln");
    fs::create_symlink(path, link);
    CWorkbookWnd* reader = OpenWindow(link);
    ASSERT_NE(reader, nullptr);
    EXPECT_NE(reader, holder);
    EXPECT_EQ(Windows(), 3);
    EXPECT_TRUE(ui.waits.empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(reader->Book().readOnly, 1);
    EXPECT_EQ(holder->Book().readOnly, 0);
    ExpectTypedCells();
    CloseActive();
    holder->Book().stream.Close();
    // Another program that writes the file holds it alone: the open waits for it.
    const int writer = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    ui.waitRetries = 3;
    const int before = Windows();
    OpenWindow(link);
    ASSERT_EQ(ui.waits.size(), 1u);
    EXPECT_EQ(ui.waits[0], QString::fromStdString(link));
    EXPECT_EQ(Windows(), before);
    EXPECT_TRUE(ui.boxes.empty()); // given up without a message
    // The wait ends when the writer lets go of the file, at the second retry a second later.
    ui.waitRetries = 5;
    ui.onRetry = [&](int retry) {
        if (retry == 2) close(writer);
    };
    const int64_t start = clock.now;
    CWorkbookWnd* second = OpenWindow(link);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, holder);
    EXPECT_EQ(clock.now, start + 2);
    EXPECT_EQ(second->Book().readOnly, 0);
    ExpectTypedCells();
    EXPECT_EQ(ui.waits.size(), 2u);
}

// A window that could only read a file another window or program holds does not save over
// it: the file stays as its holder wrote it, and the holder's next save works.
TEST_F(FilesTest, AReadOnlyWindowDoesNotSaveOverAHeldFile) {
    const std::string path = Reopened("held.vln", 3);
    CWorkbookWnd* holder = Active();
    const std::string link = TempPath("link.vln");
    fs::create_symlink(path, link);
    CWorkbookWnd* reader = OpenWindow(link);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(reader, holder);
    ASSERT_EQ(reader->Book().readOnly, 1);
    Enter(0, 5, QStringLiteral("changed"));
    const std::string before = ReadAll(path);
    ui.savePath = QString::fromStdString(path);
    ui.boxes.clear();
    reader->HandleCommand(ID_FILE_SAVE_AS);
    ExpectOneError(kStreamOpenWrite);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_TRUE(reader->IsModified());
    holder->SetModified(true);
    ui.boxes.clear();
    holder->HandleCommand(ID_FILE_SAVE);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(holder->IsModified());
    // Another program that holds it shared keeps it the same way.
    holder->Book().stream.Close();
    const int program = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(program, 0);
    ASSERT_EQ(flock(program, LOCK_SH | LOCK_NB), 0);
    const std::string held = ReadAll(path);
    ui.boxes.clear();
    reader->HandleCommand(ID_FILE_SAVE_AS);
    ExpectOneError(kStreamOpenWrite);
    EXPECT_EQ(ReadAll(path), held);
    close(program);
    // Once nobody else holds it, the reader may replace it.
    ui.boxes.clear();
    reader->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(reader->IsModified());
    EXPECT_NE(ReadAll(path), held);
}

// The real wait dialog over a file another program writes, holding it alone: when the writer
// lets go, the next retry opens the file, the dialog closes with its beep and the workbook
// shows without a message box ("No error" was one).
TEST_F(FilesTest, AWaitThatEndsInAnOpenShowsNoMessage) {
    const std::string path = Reopened("held.vln", 3);
    CloseActive();
    const int writer = open(path.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(flock(writer, LOCK_EX | LOCK_NB), 0);
    CDialogUiServices services(ui);
    SetUiServices(&services);
    bool waited = false;
    QTimer release;
    release.setInterval(20);
    QObject::connect(&release, &QTimer::timeout, [&] {
        if (!dynamic_cast<COpenWaitDlg*>(QApplication::activeModalWidget())) return;
        release.stop();
        waited = true;
        close(writer);
        COpenWaitDlg::SharedTicks() = COpenWaitDlg::kRetryTicks - 1; // the next tick retries
    });
    release.start();
    CWorkbookWnd* opened = OpenWindow(path);
    SetUiServices(&ui);
    EXPECT_TRUE(waited);
    if (!waited) close(writer);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->Book().readOnly, 0);
    ExpectTypedCells();
    EXPECT_EQ(Windows(), 1);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_TRUE(ui.boxes.empty()) << (ui.boxes.empty() ? "" : ui.boxes[0].text.toStdString());
}

TEST_F(FilesTest, AProtectedWorkbookSetToXmlAsksAndSavesBinary) {
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    CWorkbook& book = Book();
    book.encryption = 2;
    std::snprintf(book.password, kPasswordSize, "%s", "secret7");
    Active()->HandleCommand(ID_FORMAT_XML);
    const std::string path = TempPath("protected.vln");
    ui.savePath = QString::fromStdString(path);
    ui.answers = {IDOK};
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_TRUE(SawBox(IDS_USE_BINARY_FORMAT));
    EXPECT_EQ(book.fileKind, 3);
    EXPECT_EQ(ReadAll(path).rfind('3', 0), 0u);
    CloseActive();
    ui.password = QStringLiteral("secret7");
    ASSERT_NE(OpenWindow(path), nullptr);
    EXPECT_EQ(ui.passwordAsks, 1);
    ExpectTypedCells();
    // Cancel in the question writes nothing.
    Active()->HandleCommand(ID_FORMAT_XML);
    Active()->SetModified(true);
    const std::string before = ReadAll(path);
    ui.answers = {IDCANCEL};
    Active()->HandleCommand(ID_FILE_SAVE);
    EXPECT_TRUE(Active()->IsModified());
    EXPECT_EQ(ReadAll(path), before);
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileWhole) {
    const std::string path = SavedBook("whole.vln", 3);
    const std::string before = ReadAll(path);
    // Enough new cells that the save needs more room than the file-size limit allows.
    for (uint32_t r = 0; r < 400; ++r) {
        CellBuffer b;
        ASSERT_TRUE(MakeTextCell(b, 5, r, std::string(60, char('a' + r % 26))));
        CellCursor cursor;
        ASSERT_TRUE(Book().tree.active->cells.PutCell(b.bytes, cursor));
    }
    Active()->SetModified(true);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = before.size() + 64;
    setrlimit(RLIMIT_FSIZE, &limited);
    Active()->HandleCommand(ID_FILE_SAVE);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_TRUE(Active()->IsModified());
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ReadAll(path), before);
    // Nothing but the document is left in the folder, and it is still held.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);
    EXPECT_TRUE(Active()->HasOpenFile());
    Active()->HandleCommand(ID_FILE_SAVE);
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_NE(ReadAll(path), before);
}

TEST_F(FilesTest, SavingThroughALinkKeepsTheLinkAndThePermissions) {
    const std::string path = SavedBook("real.vln", 3);
    CloseActive();
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string link = TempPath("alias.vln");
    fs::create_symlink("real.vln", link);
    ASSERT_NE(OpenWindow(link), nullptr);
    Enter(4, 4, QStringLiteral("77"));
    const std::string before = ReadAll(path);
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::path("real.vln"));
    EXPECT_NE(ReadAll(path), before);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Active()->Title().left(int(link.size())), QString::fromStdString(link));
}

TEST_F(FilesTest, YesThenCancelInSaveAsKeepsTheWindow) {
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    ui.answers = {IDYES};
    ui.savePath.clear();
    CloseActive();
    EXPECT_EQ(Windows(), 1);
    EXPECT_TRUE(SawBox(IDS_SAVE_CHANGES));
    EXPECT_EQ(ui.saveDialogs, 1);
    // No closes without saving.
    ui.answers = {IDNO};
    CloseActive();
    EXPECT_EQ(Windows(), 0);
}

TEST_F(FilesTest, AnUnwritableDocumentIsNotSavedButNotDroppedEither) {
    // Opened for reading only, or a file that may not be written: both offer another file.
    for (const bool flagged : {true, false}) {
        if (!flagged && geteuid() == 0) continue; // the superuser may write any file
        ui.boxes.clear();
        const std::string path = Reopened(flagged ? "fixed.vln" : "locked.vln", 3);
        if (flagged)
            Book().readOnly = 1;
        else
            fs::permissions(path, fs::perms::owner_read);
        ui.saveDialogs = 0;
        const std::string before = ReadAll(path);
        Active()->SetModified(true);
        Active()->HandleCommand(ID_FILE_SAVE);
        ExpectOneError(kStreamOpenWrite);
        EXPECT_TRUE(Active()->IsModified());
        EXPECT_EQ(ReadAll(path), before);
        // Auto-save passes a read-only document by quietly.
        Profile().autoSave = flagged;
        clock.now += 120;
        frame->OnTimer();
        EXPECT_EQ(ui.boxes.size(), 1u);
        // Closing asks, and Yes saves it elsewhere.
        const std::string copy = TempPath(flagged ? "copy.vln" : "elsewhere.vln");
        ui.savePath = QString::fromStdString(copy);
        ui.answers = {IDYES};
        CloseActive();
        EXPECT_TRUE(SawBox(IDS_SAVE_CHANGES));
        EXPECT_EQ(ui.saveDialogs, 1);
        EXPECT_TRUE(fs::exists(copy));
        EXPECT_EQ(Windows(), 0);
    }
}

TEST_F(FilesTest, ReloadAsksBeforeItDropsChanges) {
    const std::string path = SavedBook("again.vln", 1);
    Enter(1, 2, QStringLiteral("South"));
    ui.answers = {IDNO};
    Active()->HandleCommand(ID_FILE_RELOAD);
    EXPECT_TRUE(SawBox(IDS_RELOAD_CHANGES));
    EXPECT_EQ(CellText(1, 2), "South");
    EXPECT_TRUE(Active()->IsModified());
    ui.answers = {IDYES};
    Active()->HandleCommand(ID_FILE_RELOAD);
    ExpectTypedCells();
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_EQ(Book().undo.current, -1);
    // A file gone bad reloads as one empty worksheet.
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << "<?xml version=\"1.0\"?><Nope"; }
    ui.boxes.clear();
    Active()->HandleCommand(ID_FILE_RELOAD);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(CellText(1, 2), "");
    EXPECT_STREQ(Book().tree.active->name, "Worksheet1");
    EXPECT_FALSE(Active()->HasOpenFile());
}

TEST_F(FilesTest, TheOpenDialogsTypeChoosesAmongTheFormsTheBytesAllow) {
    const std::string path = SavedBook("picked.vln", 3);
    CloseActive();
    struct Case {
        int index;
        bool opens;
    };
    // A type chooses only among the forms the bytes allow: a binary workbook opens as the
    // workbook it is whichever type is chosen, Text and Excel 2003 XML too.
    for (const Case& c : {Case{1, true}, Case{8, true}, Case{2, true}, Case{3, true}}) {
        ui.boxes.clear();
        ui.openPath = QString::fromStdString(path);
        ui.openIndex = c.index;
        frame->OnCommand(ID_FILE_OPEN);
        Settle();
        EXPECT_EQ(Windows(), c.opens ? 1 : 0) << c.index;
        EXPECT_TRUE(ui.boxes.empty()) << c.index;
        if (!Windows()) continue;
        EXPECT_EQ(Book().fileFamily, kFileNative) << c.index;
        ExpectTypedCells();
        CloseActive();
    }
    EXPECT_EQ(Profile().recentFiles.front(), path);
}

// The other window holds the file by its own path or through a link to it; either way the
// refusal names a file that cannot be written.
TEST_F(FilesTest, SaveAsOverAFileOpenElsewhereIsRefused) {
    for (const bool throughLink : {false, true}) {
        SCOPED_TRACE(throughLink);
        const std::string path = SavedBook(throughLink ? "real.vln" : "other.vln", 3);
        CloseActive();
        const std::string link = TempPath("link.vln");
        if (throughLink) std::filesystem::create_symlink(path, link);
        ASSERT_NE(OpenWindow(throughLink ? link : path), nullptr);
        const std::string before = ReadAll(path);
        NewWindow();
        TypeCells();
        ui.boxes.clear();
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        ExpectOneError(kStreamOpenWrite);
        EXPECT_EQ(Book().error, kStreamOpenWrite);
        EXPECT_TRUE(Active()->IsModified());
        EXPECT_FALSE(Active()->HasOpenFile());
        EXPECT_EQ(ReadAll(path), before);
    }
}

TEST_F(FilesTest, CommandLinePathsAreMadeAbsoluteWhateverTheirLength) {
    // Folders deep enough that the path passes 260 characters.
    std::string deep = folder;
    for (int i = 0; i < 6; ++i) deep += "/" + std::string(50, char('a' + i));
    fs::create_directories(deep);
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    Active()->HandleCommand(ID_VIEW_TREE);
    const std::string path = deep + "/book.vln";
    ui.savePath = QString::fromStdString(path);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_GT(path.size(), 300u);
    CloseActive();
    const fs::path before = fs::current_path();
    fs::current_path(deep);
    CWorkbookWnd* window = OpenWindow("book.vln");
    fs::current_path(before);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Path(), path);
    ExpectTypedCells();
    // It was saved with the tree pane hidden, and opens so.
    EXPECT_EQ(window->State().treePane, 0);
}

// A path of exactly `total` bytes under `root`, its folders made, each name within the
// system's 255 bytes.
static std::string DeepPath(const std::string& root, std::size_t total) {
    std::string path = root + "/Документы";
    const std::string leaf = "/book.vln";
    std::size_t rest = total - path.size() - leaf.size();
    while (rest > 0) {
        std::size_t take = std::min<std::size_t>(rest, 201);
        if (rest - take == 1) --take; // a lone "/" names nothing
        path += "/" + std::string(take - 1, char('a' + path.size() % 26));
        rest -= take;
    }
    fs::create_directories(path);
    return path + leaf;
}

// Save As and File Open take every path up to the limit all routes share, and refuse one
// byte more with their own messages, writing and opening nothing.
TEST_F(FilesTest, SaveAsAndOpenTakePathsUpToTheLimitAndRefusePastIt) {
    std::string lastWritten;
    for (const std::size_t bytes : {std::size_t(300), std::size_t(4000), kMaxPathBytes}) {
        SCOPED_TRACE(bytes);
        const std::string path = DeepPath(folder + "/d" + std::to_string(bytes), bytes);
        ASSERT_EQ(path.size(), bytes);
        ASSERT_NE(NewWindow(), nullptr);
        TypeCells();
        ui.boxes.clear();
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_FALSE(Active()->IsModified());
        CloseActive();
        ASSERT_EQ(Windows(), 0);
        ui.openPath = QString::fromStdString(path);
        ui.openIndex = 1;
        frame->OnCommand(ID_FILE_OPEN);
        Settle();
        ASSERT_NE(Active(), nullptr);
        EXPECT_EQ(Active()->Path(), path);
        ExpectTypedCells();
        EXPECT_EQ(Profile().recentFiles.front(), path);
        CloseActive();
        lastWritten = path;
    }
    const std::string past = DeepPath(folder + "/past", kMaxPathBytes + 1);
    ASSERT_EQ(past.size(), kMaxPathBytes + 1);
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    ui.boxes.clear();
    ui.savePath = QString::fromStdString(past);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ExpectOneError(kStreamOpenWrite);
    EXPECT_TRUE(Active()->IsModified());
    EXPECT_FALSE(Active()->HasOpenFile());
    EXPECT_FALSE(fs::exists(past));
    ui.answers = {IDNO};
    CloseActive();
    ASSERT_EQ(Windows(), 0);
    // The system holds such a file; the window still opens nothing past the limit.
    fs::copy_file(lastWritten, past);
    ui.boxes.clear();
    ui.openPath = QString::fromStdString(past);
    frame->OnCommand(ID_FILE_OPEN);
    Settle();
    ExpectOneError(kStreamOpenRead);
    EXPECT_EQ(Windows(), 0);
    EXPECT_NE(Profile().recentFiles.front(), past);
}

// An import that left out texts with characters outside the code page, or cut document
// properties longer than the workbook keeps, tells the user how many of each, once, after the
// rest is read; the texts' cells stay empty, the properties keep their beginnings.
TEST_F(FilesTest, AnImportNamesTheTextsItLeftOut) {
    const std::string xml = TempPath("cp.xml");
    {
        std::ofstream(xml, std::ios::binary)
            << "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:"
               "spreadsheet\" xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"
               "<DocumentProperties><Author>"
            << std::string(200, 'a') << "</Author></DocumentProperties>"
            << "<Worksheet ss:Name=\"S\"><Table><Row><Cell><Data ss:Type=\"String\">a</Data>"
               "</Cell><Cell><Data ss:Type=\"String\">\xD0\x96</Data></Cell><Cell><Data "
               "ss:Type=\"String\">\xE4\xB8\xAD</Data></Cell></Row></Table></Worksheet>"
               "</Workbook>";
    }
    ASSERT_NE(OpenWindow(xml), nullptr);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              QString::fromLatin1(GetErrorMessage(kErrorCodePageImport)) + QStringLiteral(" 2\n") +
                  QString::fromLatin1(GetErrorMessage(kErrorPropertiesCut)) + QStringLiteral(" 1"));
    EXPECT_EQ(std::string(Book().properties.author), std::string(127, 'a'));
    EXPECT_EQ(CellText(0, 0), "a");
    EXPECT_EQ(CellText(1, 0), "");
    EXPECT_EQ(CellText(2, 0), "");
}

// A text file and a table open by their extensions, or a text file through the Text filter;
// edited, Save writes the same form again and Reload reads it back.
TEST_F(FilesTest, TextFilesAndTablesSaveAndReloadInTheirOwnForm) {
    const std::string csv = TempPath("data.csv");
    { std::ofstream(csv, std::ios::binary) << "name,5\r\n\"a,b\",2.5"; }
    ASSERT_NE(OpenWindow(csv), nullptr);
    EXPECT_EQ(Book().fileFamily, kFileText);
    EXPECT_STREQ(Book().tree.active->name, "data.csv");
    EXPECT_EQ(CellText(0, 1), "a,b");
    EXPECT_EQ(CellText(1, 0), "5");
    Enter(2, 0, QStringLiteral("new"));
    Active()->HandleCommand(ID_FILE_SAVE);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadAll(csv), "name,5,new\r\n\"a,b\",2.5");
    Enter(2, 0, QStringLiteral("changed"));
    ui.answers = {IDYES};
    Active()->HandleCommand(ID_FILE_RELOAD);
    EXPECT_EQ(CellText(2, 0), "new");
    EXPECT_EQ(Book().fileFamily, kFileText);
    CloseActive();

    const std::string dat = TempPath("data.dat");
    { std::ofstream(dat, std::ios::binary) << "x;y"; }
    ui.openPath = QString::fromStdString(dat);
    ui.openIndex = 2;
    frame->OnCommand(ID_FILE_OPEN);
    Settle();
    ASSERT_EQ(Windows(), 1);
    EXPECT_EQ(CellText(0, 0), "x;y");
    // Saved as a dBase IV table, the window's book is a table from then on.
    const std::string dbf = TempPath("data.dbf");
    ui.savePath = QString::fromStdString(dbf);
    ui.saveIndex = 5;
    Enter(0, 1, QStringLiteral("12"));
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ui.saveIndex = 1;
    EXPECT_EQ(Book().fileFamily, kFileDBase4);
    const std::string table = ReadAll(dbf);
    ASSERT_GT(table.size(), 66u);
    EXPECT_EQ(table[0], '\x03');
    EXPECT_EQ(table.substr(32, 4), std::string("x;y\0", 4));
    CloseActive();

    ASSERT_NE(OpenWindow(dbf), nullptr);
    EXPECT_EQ(Book().fileFamily, kFileDBase4);
    EXPECT_EQ(CellText(0, 0), "x;y");
    EXPECT_EQ(CellText(0, 1), "12");
    Enter(0, 2, QStringLiteral("more"));
    Active()->HandleCommand(ID_FILE_SAVE);
    Enter(0, 2, QStringLiteral("lost"));
    ui.answers = {IDYES};
    Active()->HandleCommand(ID_FILE_RELOAD);
    EXPECT_EQ(CellText(0, 2), "more");
    EXPECT_EQ(CellText(0, 1), "12");
    EXPECT_TRUE(ui.boxes.empty() || SawBox(IDS_RELOAD_CHANGES));
}

TEST_F(FilesTest, FileTypesComeFromTheExtension) {
    struct Case {
        const char* name;
        bool known;
        uint8_t type;
    };
    const Case cases[] = {
        {"a.vln", true, kFileNative}, {"A.VLB", true, kFileNative},   {"t.Csv", true, kFileText},
        {"x.tsv", true, kFileText},   {"b.XML", true, kFileExcelXml}, {"d.dbf", true, kFileDBase4},
        {"n.vl", false, kFileNative}, {"txt", false, kFileNative},    {".dbf", true, kFileDBase4}};
    for (const Case& c : cases) {
        uint8_t type = 99;
        EXPECT_EQ(GetFileTypeFromExtension(c.name, type), c.known) << c.name;
        EXPECT_EQ(type, c.type) << c.name;
    }
}

} // namespace

} // namespace vl

namespace vl {

// A workbook saved under a path past the old 255-byte field is listed among the recent files
// whole; the profile written then reads it back whole, the other recent files with it.
TEST_F(FilesTest, ALongRecentPathIsListedAndKeptByTheProfile) {
    std::string deep = folder;
    while (deep.size() < 280) deep += "/" + std::string(40, 'd');
    fs::create_directories(deep);
    const std::string shortPath = SavedBook("short.vln", 3);
    CloseActive();
    ASSERT_NE(NewWindow(), nullptr);
    TypeCells();
    const std::string longPath = deep + "/book.vln";
    ui.savePath = QString::fromStdString(longPath);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(Active()->Path(), longPath);
    ASSERT_GT(longPath.size(), 255u);
    const std::vector<std::string> listed{longPath, shortPath};
    EXPECT_EQ(Profile().recentFiles, listed);
    const std::string settings = TempPath("settings.xml");
    ASSERT_EQ(SaveProfile(settings, false), kErrorNone);
    Profile().recentFiles.clear();
    ASSERT_EQ(LoadProfile(settings, false), kErrorNone);
    EXPECT_EQ(Profile().recentFiles, listed);
}

} // namespace vl

namespace vl {

// In a read-only window Ctrl+S and F12 do what their disabled menu items do: nothing, no
// question, no message, no file. Saved under a new name all the same (the close question's
// road), the window writes its new file and Ctrl+S saves there.
TEST_F(FilesTest, ReadOnlyKeysFollowTheMenuAndANewNameIsWritable) {
    const std::string path = Reopened("held.vln", 3);
    CWorkbookWnd* holder = Active();
    const std::string link = TempPath("link.vln");
    fs::create_symlink(path, link);
    CWorkbookWnd* reader = OpenWindow(link);
    ASSERT_NE(reader, nullptr);
    ASSERT_NE(reader, holder);
    ASSERT_EQ(reader->Book().readOnly, 1);
    Enter(0, 5, QStringLiteral("changed"));
    const std::string before = ReadAll(path);
    const std::string elsewhere = TempPath("elsewhere.vln");
    ui.savePath = QString::fromStdString(elsewhere);
    ui.boxes.clear();
    for (const auto& [key, modifiers] :
         {std::pair{Qt::Key_S, Qt::ControlModifier}, std::pair{Qt::Key_F12, Qt::NoModifier}}) {
        Key(key, modifiers);
        EXPECT_TRUE(ui.boxes.empty()) << key;
        EXPECT_EQ(ReadAll(path), before) << key;
        EXPECT_FALSE(fs::exists(elsewhere)) << key;
        EXPECT_TRUE(reader->IsModified()) << key;
        EXPECT_EQ(Active(), reader) << key;
    }
    reader->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(ui.boxes.empty());
    ASSERT_TRUE(fs::exists(elsewhere));
    EXPECT_EQ(reader->Book().readOnly, 0);
    Enter(0, 6, QStringLiteral("again"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(reader->IsModified());
    EXPECT_NE(ReadAll(elsewhere).find("again"), std::string::npos);
    EXPECT_EQ(ReadAll(path), before);
}

} // namespace vl

namespace vl {

// A workbook of two worksheets saved as text: the first save says once what the form keeps,
// with the native form to choose instead; the file holds the active worksheet, the workbook
// stays unsaved ("*"), and Close asks. Ctrl+S later writes the text again without asking, and
// choosing to save at Close offers the native form, which keeps both worksheets.
TEST_F(FilesTest, APartialFormSaysSoOnceAndCloseAsks) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("first"));
    Command(ID_NEW_WORKSHEET);
    View()->setFocus();
    Enter(0, 0, QStringLiteral("second"));
    ASSERT_EQ(Book().tree.worksheetCount, 2u);
    const std::string csv = TempPath("budget.csv");
    ui.savePath = QString::fromStdString(csv);
    ui.saveIndex = 2;    // text
    ui.answers = {IDNO}; // keep the text form
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("Vorlane workbook")));
    EXPECT_EQ(ReadAll(csv), "second");
    // Saved as far as the form goes (auto-save and Save All pass it by), the rest not: "*".
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_TRUE(Active()->windowTitle().endsWith('*')) << Active()->windowTitle().toStdString();
    // Asked once: Ctrl+S writes the form again, and the workbook still holds more.
    Enter(0, 1, QStringLiteral("more"));
    ui.boxes.clear();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(ReadAll(csv), "second\r\nmore");
    EXPECT_TRUE(Active()->windowTitle().endsWith('*'));
    // Close asks; Cancel keeps the window.
    ui.answers = {IDCANCEL};
    CloseActive();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(SawBox(IDS_SAVE_CHANGES));
    ASSERT_EQ(Windows(), 1);
    // Yes offers the native form: both worksheets are saved and the window closes.
    const std::string native = TempPath("budget.vln");
    ui.savePath = QString::fromStdString(native);
    ui.saveIndex = 1;
    ui.answers = {IDYES};
    CloseActive();
    EXPECT_EQ(Windows(), 0);
    ASSERT_NE(OpenWindow(native), nullptr);
    EXPECT_EQ(Book().tree.worksheetCount, 2u);
    EXPECT_EQ(ReadAll(csv), "second\r\nmore");
}

// Yes to the question, asked after the text options (what a text file loses depends on
// them), opens Save As again: the user picks the native form there (here the test's dialog
// answers with the same text file, whose options are asked again and which the question,
// asked once, then lets through).
TEST_F(FilesTest, AnsweringYesOffersSaveAsAgain) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("=1+1"));
    const std::string csv = TempPath("sums.csv");
    ui.savePath = QString::fromStdString(csv);
    ui.saveIndex = 2;
    ui.answers = {IDYES};
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.saveDialogs, 2);
    EXPECT_EQ(ui.textDialogs.size(), 2u);
    EXPECT_EQ(ReadAll(csv), "2");
    EXPECT_TRUE(Active()->windowTitle().endsWith('*')); // the formula is not in the file
}

} // namespace vl

namespace vl {

// Settings > Save Profile As over the workbook the window holds: refused with the saves' own
// message, the workbook's file as it was and the profile's path where it was.
TEST_F(FilesTest, SaveProfileAsDoesNotReplaceAnOpenWorkbook) {
    const std::string path = SavedBook("book.vln", 3);
    const std::string before = ReadAll(path);
    QString profilePath = QStringLiteral("/nowhere/settings.xml");
    FrameSettingsAccess access;
    access.saveProfile = DefaultProfileIo().save;
    access.profilePath = [&] { return profilePath; };
    access.setProfilePath = [&](const QString& p) { profilePath = p; };
    frame->SetSettingsAccess(std::move(access));
    ui.savePath = QString::fromStdString(path);
    ui.boxes.clear();
    frame->OnCommand(ID_SAVE_PROFILE_AS);
    ExpectOneError(kStreamOpenWrite);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(profilePath, QStringLiteral("/nowhere/settings.xml"));
    SetProfileErrorReporter(nullptr);
}

} // namespace vl

namespace vl {

// Exit asks too while a workbook holds what its file does not; Cancel keeps the program.
TEST_F(FilesTest, ExitAsksWhileTheFileLacksPartOfTheWorkbook) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("=2*3"));
    ui.savePath = QString::fromStdString(TempPath("six.csv"));
    ui.saveIndex = 2;
    ui.answers = {IDNO};
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(ReadAll(TempPath("six.csv")), "6");
    ui.boxes.clear();
    ui.answers = {IDCANCEL};
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(SawBox(IDS_SAVE_CHANGES));
    EXPECT_EQ(Windows(), 1);
}

} // namespace vl

#include "exchange/xbase.h"
#include "platform/core/bytes.h"

namespace vl {

// A number the table's Numeric field cannot hold at its decimals (the user chose N(8,2) in
// the table dialog that F12 shows): the save shows why and writes nothing, the window stays
// modified; a number that fits is then saved and reads back as typed.
TEST_F(FilesTest, ANumberTooWideForItsTableFieldIsNotSaved) {
    const std::string dbf = TempPath("amounts.dbf");
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("AMOUNT"));
    Enter(0, 1, QStringLiteral("1.5"));
    ui.xbaseAnswer = [](XBaseSaveOptions& options, bool) {
        uint8_t* d = options.fieldDescriptors;
        d[kFieldTypeByte] = 'N';
        d[kFieldLengthByte] = 8;
        d[kFieldDecimalsByte] = 2;
        StoreU16(options.header + 10, 9);
        return IDOK;
    };
    const auto saveAs = [this, &dbf] {
        ui.savePath = QString::fromStdString(dbf);
        ui.saveIndex = 4; // dBase III+
        View()->setFocus();
        Key(Qt::Key_F12);
        ui.saveIndex = 1;
    };
    saveAs();
    ASSERT_TRUE(ui.boxes.empty());
    ASSERT_EQ(Book().fileFamily, kFileDBase3);
    const std::string before = ReadAll(dbf);
    ASSERT_NE(before.find("    1.50"), std::string::npos);

    Enter(0, 1, QStringLiteral("-99999.999"));
    ui.answers = {IDYES}; // replace the file
    saveAs();
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_EQ(ui.boxes.back().text, QString::fromLatin1(GetErrorMessage(kErrorFieldOverflow)));
    EXPECT_EQ(ReadAll(dbf), before);
    EXPECT_TRUE(Active()->IsModified());

    ui.boxes.clear();
    Enter(0, 1, QStringLiteral("-9999.99"));
    ui.answers = {IDYES};
    saveAs();
    EXPECT_FALSE(Active()->IsModified());
    EXPECT_NE(ReadAll(dbf).find("-9999.99"), std::string::npos);
    CloseActive();
    ASSERT_NE(OpenWindow(dbf), nullptr);
    EXPECT_EQ(CellText(0, 1), "-9999.99");
}

// Small numbers saved as a table through the fields the export plans: the decimals cover
// them in every form, beside larger ones too, and they read back as typed; one that no field
// width can hold beside its column's largest is refused before anything is written.
TEST_F(FilesTest, TablesKeepSmallNumbersInEveryForm) {
    const struct {
        int saveIndex;
        uint8_t family;
    } forms[] = {{4, kFileDBase3}, {5, kFileDBase4}, {6, kFileFoxPro}, {7, kFileClipper}};
    const char* const columns[][3] = {{"ALONE", "0.00001", ""},
                                      {"BESIDE", "0.5", "0.00001"},
                                      {"TINY", "1.23E-07", "5E-07"},
                                      {"MIXED", "-12345.5", "0.000123"}};
    for (const auto& form : forms) {
        const std::string dbf = TempPath("small" + std::to_string(form.family) + ".dbf");
        ASSERT_NE(NewWindow(), nullptr);
        for (uint16_t c = 0; c < std::size(columns); ++c)
            for (uint32_t r = 0; r < 3; ++r)
                if (columns[c][r][0]) Enter(c, r, QString::fromLatin1(columns[c][r]));
        ui.savePath = QString::fromStdString(dbf);
        ui.saveIndex = form.saveIndex;
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        ui.saveIndex = 1;
        ASSERT_TRUE(ui.boxes.empty()) << int(form.family);
        CloseActive();
        ui.openIndex = form.saveIndex;
        ui.openPath = QString::fromStdString(dbf);
        frame->OnCommand(ID_FILE_OPEN);
        Settle();
        ui.openIndex = 1;
        ASSERT_EQ(Windows(), 1);
        for (uint16_t c = 0; c < std::size(columns); ++c) {
            for (uint32_t r = 1; r < 3; ++r) {
                if (columns[c][r][0]) {
                    const uint8_t* cell = FindCell(AsWorksheet(Book().tree.active)->cells, r, c);
                    ASSERT_NE(cell, nullptr) << int(form.family) << " " << c;
                    EXPECT_EQ(cell::Number(cell), std::stod(columns[c][r]))
                        << int(form.family) << " " << c << " " << r;
                }
            }
        }
        CloseActive();
    }

    // Fifteen whole digits leave no room for the decimals of 1E-07 in one field.
    const std::string dbf = TempPath("toowide.dbf");
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("WIDE"));
    Enter(0, 1, QStringLiteral("123456789012345"));
    Enter(0, 2, QStringLiteral("1E-07"));
    ui.savePath = QString::fromStdString(dbf);
    ui.saveIndex = 4;
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    ui.saveIndex = 1;
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QString::fromLatin1(GetErrorMessage(kErrorFieldOverflow)));
    EXPECT_FALSE(fs::exists(dbf));
    EXPECT_TRUE(Active()->IsModified());
}

// A table with memo texts opened by its name (which reads as dBase IV) or through another
// form's filter reads the memo file its version byte names; edited and saved, it stays a
// table of its own form with its memos.
TEST_F(FilesTest, ATableReadsTheMemoFileItsVersionNames) {
    const std::string memoText(300, 'm');
    const struct {
        int saveIndex;
        uint8_t family;
        char version;
        const char* memo;
    } forms[] = {{4, kFileDBase3, '\x83', "dbt"}, {5, kFileDBase4, '\x8B', "dbt"}};
    for (const auto& form : forms) {
        const std::string dbf = TempPath("memo" + std::to_string(form.family) + ".dbf");
        const std::string memo = dbf.substr(0, dbf.size() - 3) + form.memo;
        ASSERT_NE(NewWindow(), nullptr);
        Enter(0, 0, QStringLiteral("NOTE"));
        Enter(0, 1, QString::fromStdString(memoText));
        ui.savePath = QString::fromStdString(dbf);
        ui.saveIndex = form.saveIndex;
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        ui.saveIndex = 1;
        ASSERT_TRUE(ui.boxes.empty()) << int(form.family);
        ASSERT_EQ(ReadAll(dbf)[0], form.version);
        ASSERT_NE(ReadAll(memo).find(memoText), std::string::npos) << memo;
        CloseActive();

        // By name, and through each other form's filter.
        for (const int openIndex : {0, 4, 5, 6, 7}) {
            if (openIndex == form.saveIndex) continue;
            if (openIndex == 0) {
                ASSERT_NE(OpenWindow(dbf), nullptr);
            } else {
                ui.openIndex = openIndex;
                ui.openPath = QString::fromStdString(dbf);
                frame->OnCommand(ID_FILE_OPEN);
                Settle();
                ui.openIndex = 1;
                ASSERT_EQ(Windows(), 1);
            }
            const std::string label = std::to_string(form.family) + "/" + std::to_string(openIndex);
            EXPECT_EQ(CellText(0, 1), memoText) << label;
            EXPECT_EQ(Book().fileFamily, openIndex == 7 && form.family == kFileDBase3
                                             ? uint8_t(kFileClipper)
                                             : form.family)
                << label;
            EXPECT_TRUE(ui.boxes.empty()) << label;
            CloseActive();
        }

        ASSERT_NE(OpenWindow(dbf), nullptr);
        Enter(1, 1, QStringLiteral("7"));
        Key(Qt::Key_S, Qt::ControlModifier);
        Settle();
        EXPECT_FALSE(Active()->IsModified()) << int(form.family);
        EXPECT_EQ(ReadAll(dbf)[0], form.version);
        EXPECT_NE(ReadAll(memo).find(memoText), std::string::npos);
        CloseActive();
        ASSERT_NE(OpenWindow(dbf), nullptr);
        EXPECT_EQ(CellText(0, 1), memoText);
        EXPECT_EQ(CellText(1, 1), "7");
        CloseActive();
    }
}

// A file another program holds with a record lock opens read-only at once by every route the
// window opens files by (the Open dialog, the recent files, the command line): no wait, and
// Save names a file that cannot be written and leaves it as it was. Once the program lets go,
// the same route opens it for writing.
TEST_F(FilesTest, AFileARecordLockHoldsOpensReadOnlyByEveryRoute) {
    const std::string path = Reopened("locked.vln", 3);
    CloseActive();
    const std::string before = ReadAll(path);
    const std::pair<const char*, std::function<void()>> routes[] = {
        {"Open dialog",
         [&] {
             ui.openPath = QString::fromStdString(path);
             ui.openIndex = 1;
             frame->OnCommand(ID_FILE_OPEN);
             Settle();
         }},
        {"recent file",
         [&] {
             ASSERT_EQ(Profile().recentFiles.front(), path);
             frame->OnCommand(ID_FILE_MRU_FIRST);
             Settle();
         }},
        {"command line", [&] { OpenWindow(path); }},
    };
    for (const auto& [name, open] : routes) {
        SCOPED_TRACE(name);
        testlock::RecordLockingProcess program(path, testlock::RecordLock::kProcessWrite);
        ASSERT_TRUE(program.Held());
        ui.boxes.clear();
        ui.waits.clear();
        open();
        ASSERT_EQ(Windows(), 1);
        EXPECT_TRUE(ui.waits.empty());
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(Book().readOnly, 1);
        ExpectTypedCells();
        Enter(0, 5, QStringLiteral("changed"));
        Active()->HandleCommand(ID_FILE_SAVE);
        ExpectOneError(kStreamOpenWrite);
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_TRUE(Active()->IsModified());
        Active()->SetModified(false);
        CloseActive();
        program.Release();
        open();
        ASSERT_EQ(Windows(), 1);
        EXPECT_EQ(Book().readOnly, 0);
        CloseActive();
    }
}

} // namespace vl
