#include "core/settings.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/filedlg.h"
#include "dialogs/openwaitdlg.h"
#include "platform/core/filestream.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/modaltest.h"
#include "ui_openwaitdlg.h"

#include <QFontMetrics>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace vl;
using namespace vl::dialogtest;

TEST(OpenWaitDialog, ShowsTheTemplateTexts) {
    FakeUi ui;
    FakeClock clock;
    COpenWaitDlg dialog(nullptr, "/tmp/a.vln", clock, nullptr);
    Ui::OpenWaitDialog& f = dialog.Form();
    EXPECT_EQ(dialog.windowTitle(), "Open File");
    EXPECT_EQ(f.label0->text(), "Vorlane cannot open");
    EXPECT_EQ(f.label2->text(), "Waiting...");
    EXPECT_EQ(f.id395->text(), "00:00:00");
    EXPECT_EQ(f.id2->text(), "Cancel");
    EXPECT_EQ(dialog.Timer()->interval(), 1000);
    EXPECT_TRUE(dialog.Timer()->isActive());
}

TEST(OpenWaitDialog, ElapsedTimeInTwoDigitFields) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "00:00:00"},    {59, "00:00:59"},   {60, "00:01:00"},
        {3599, "00:59:59"}, {3600, "01:00:00"}, {99 * 3600 + 3599, "99:59:59"},
    };
    for (const auto& [seconds, text] : cases) EXPECT_EQ(ElapsedTimeText(seconds), text);
}

TEST(OpenWaitDialog, AnHourOfTicksShowsOneHour) {
    FakeUi ui;
    FakeClock clock;
    int retries = 0;
    COpenWaitDlg dialog(nullptr, "/tmp/held.vln", clock, [&] {
        ++retries;
        return false;
    });
    for (int i = 0; i < 3600; ++i) {
        ++clock.now;
        dialog.Tick();
    }
    EXPECT_EQ(dialog.Form().id395->text(), "01:00:00");
    EXPECT_EQ(retries, 360);
    EXPECT_EQ(ui.beeps, 0);
    EXPECT_EQ(dialog.result(), 0);
}

// The counter is the run's: a wait that starts at tick 3 retries at its 7th and 17th ticks.
TEST(OpenWaitDialog, AFileReleasedEightTicksInOpensAtTheNextTenthTick) {
    FakeUi ui;
    FakeClock clock;
    COpenWaitDlg::SharedTicks() = 3;
    int ticks = 0;
    std::vector<int> retriedAt;
    COpenWaitDlg dialog(nullptr, "/tmp/held.vln", clock, [&] {
        retriedAt.push_back(ticks);
        return ticks >= 8;
    });
    dialog.show();
    while (dialog.isVisible() && ticks < 30) {
        ++ticks;
        ++clock.now;
        dialog.Tick();
    }
    EXPECT_EQ(retriedAt, (std::vector<int>{7, 17}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_FALSE(dialog.Timer()->isActive());
    EXPECT_EQ(dialog.Form().id395->text(), "00:00:17");
}

TEST(OpenWaitDialog, CancelGivesTwoAndLeavesTheStreamClosed) {
    FakeUi fake;
    CDialogUiServices services(fake);
    SetUiServices(&services);
    FakeClock clock;
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("held.vln").toLocal8Bit();
    CFileStream stream;
    WhenModal([](QWidget* w) { Child<QPushButton>(w, "id2")->click(); });
    const int answer = services.WaitForFile(QString::fromLocal8Bit(path), clock, [&] {
        return stream.Open(path.constData(), "rb", true, 4096);
    });
    SetUiServices(&fake);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_FALSE(stream.IsOpen());
}

TEST(OpenWaitDialog, ALongPathLosesItsMiddleOnOneLine) {
    FakeUi ui;
    FakeClock clock;
    const QString path = "/home/user/" + QString(300, 'd') + "/the-end-of-it.vln";
    COpenWaitDlg dialog(nullptr, path, clock, nullptr);
    const QString shown = dialog.Form().id394->text();
    EXPECT_TRUE(shown.startsWith("/home/user/"));
    EXPECT_TRUE(shown.endsWith("the-end-of-it.vln"));
    EXPECT_TRUE(shown.contains(QChar(0x2026)));
    EXPECT_FALSE(shown.contains('\n'));
    EXPECT_FALSE(dialog.Form().id394->wordWrap());
    const QFontMetrics metrics(dialog.Form().id394->font());
    EXPECT_LE(metrics.horizontalAdvance(shown), dialog.Form().id394->width() + 1);
}

namespace {

// A chooser that records where it started and answers with `answer`.
class ChooserUi : public FakeUi {
public:
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString&,
                           int& index) override {
        return Answer(caption, folder, index);
    }
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString&,
                           int& index) override {
        saving = true;
        return Answer(caption, folder, index);
    }
    QString Answer(const QString& caption, const QString& folder, int& index) {
        shownCaption = caption;
        startedIn = folder;
        startIndex = index;
        index = chosenIndex;
        return answer;
    }
    QString answer;
    QString shownCaption, startedIn;
    int startIndex = 0, chosenIndex = 1;
    bool saving = false;
};

} // namespace

TEST(FileChooser, FolderAfterTheChoice) {
    ChooserUi ui;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString start = temp.path();
    const QString deep = "/data/" + QString(280, 'x') + "/book.vln";
    ASSERT_EQ(deep.size(), 295);
    const struct {
        QString answer;
        QString folder;
        bool ok;
        QString directory;
        QString file;
        QString startedIn;
    } cases[] = {
        {"", start, false, start, "", start}, // Cancel
        {"/other/place/b.vln", start, true, "/other/place", "/other/place/b.vln", start},
        {"/top.vln", start, true, "/", "/top.vln", start},
        {deep + "xxxxx", start, true, "/data/" + QString(280, 'x'), deep + "xxxxx", start}, // 300
        // A folder that is not there starts the chooser in the nearest one that is.
        {"", start + "/gone/Pictures", false, start + "/gone/Pictures", "", start},
    };
    for (const auto& c : cases) {
        ui.answer = c.answer;
        CFileDlg dialog(true, "Open", "", "", "A (*.a);;B (*.b)", 2, c.folder);
        EXPECT_EQ(dialog.DoModal(), c.ok ? IDOK : IDCANCEL);
        EXPECT_EQ(ui.startedIn, c.startedIn);
        EXPECT_EQ(ui.startIndex, 2);
        EXPECT_EQ(dialog.GetDirectory(), c.directory);
        EXPECT_EQ(dialog.GetFileName(), c.file);
        EXPECT_EQ(dialog.GetFileName().size(), c.file.size());
    }
}

TEST(FileChooser, StartsInTheDefaultFolderAndAddsTheExtension) {
    ChooserUi ui;
    const std::string kept = Profile().folder;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    Profile().folder = temp.path().toStdString();
    ui.answer = "/elsewhere/picture";
    ui.chosenIndex = 1;
    CFileDlg dialog(false, "Save Selection As Image", "png", "", "PNG (*.png)", 1, "");
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(ui.saving);
    EXPECT_EQ(ui.startedIn, temp.path());
    EXPECT_EQ(ui.shownCaption, "Save Selection As Image");
    EXPECT_EQ(dialog.GetFileName(), "/elsewhere/picture.png");
    EXPECT_EQ(dialog.GetDirectory(), "/elsewhere");
    Profile().folder = kept;
}
