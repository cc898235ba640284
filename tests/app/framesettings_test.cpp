// The frame's Settings and View commands, its toolbar drop-downs and the shell behind them.

#include "app/copyhistory.h"
#include "app/mainframe.h"
#include "app/shell.h"
#include "app/statusbarwnd.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/composerpane.h"
#include "profile/profile.h"
#include "resources/commandids.h"
#include "tests/common/popupkeys.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cerrno>
#include <cstring>

namespace vl {

using apptest::FakeWorkbookWnd;

namespace {

class FakeComposer : public IComposerPane {
public:
    explicit FakeComposer(CMainFrame& frame) : frame_(frame) { frame.SetComposerPane(this); }
    ~FakeComposer() override { frame_.SetComposerPane(nullptr); }
    bool Toggle(QWidget*) override { return shown = !shown; }
    bool IsVisible() const override { return shown; }
    void UseHistoryEntry(QWidget*, int i) override { used.push_back(i); }
    std::vector<std::string> HistoryMenuItems() const override { return items; }
    bool shown = false;
    std::vector<int> used;
    std::vector<std::string> items;

private:
    CMainFrame& frame_;
};

class FrameSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
        FrameSettingsAccess access;
        access.loadProfile = [](const QString& path, bool show) {
            return int(LoadProfile(path.toStdString(), show));
        };
        access.saveProfile = [this](const QString& path, bool) {
            saved.push_back(path);
            return saveResult;
        };
        access.profilePath = [this] { return path; };
        access.setProfilePath = [this](const QString& p) { path = p; };
        access.registration = [this](bool registering, int& error) {
            registrations.push_back(registering);
            error = registrationError;
            return registrationResult;
        };
        frame->SetSettingsAccess(access);
        frame->OnCreate();
        frame->resize(900, 600);
        frame->show();
        SetProfileErrorReporter([this](ErrorCode code) { reported.push_back(code); });
    }
    void TearDown() override {
        frame.reset();
        SetProfileErrorReporter(nullptr);
        Profile() = SettingsProfile{};
    }
    FakeWorkbookWnd* Open() {
        frame->OnCommand(ID_FILE_NEW);
        return factory.made.back();
    }
    QString Write(const QString& name, const QByteArray& text) {
        const QString file = dir.path() + QLatin1Char('/') + name;
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return file;
    }
    std::vector<int> MenuIds() const {
        std::vector<int> ids;
        for (QAction* a : frame->DropDownMenu()->actions())
            if (!a->isSeparator()) ids.push_back(a->data().toInt());
        return ids;
    }

    QTemporaryDir dir;
    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    std::unique_ptr<CMainFrame> frame;
    QString path = QStringLiteral("/nowhere/settings.xml");
    std::vector<QString> saved;
    int saveResult = 0;
    std::vector<bool> registrations;
    int registrationResult = 0;
    int registrationError = 0;
    std::vector<ErrorCode> reported;
};

TEST_F(FrameSettingsTest, LoadProfileTakesAWholeFileOrNothing) {
    // A bad element: the error shows, and every setting and the path stay.
    Profile().undoLevel = 33;
    ui.openPath =
        Write(QStringLiteral("bad.xml"), "<?xml version=\"1.0\"?><Profile><UndoLevel>7</UndoLevel>"
                                         "<CopyLevel>99</CopyLevel></Profile>");
    frame->OnCommand(ID_LOAD_PROFILE);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_EQ(Profile().undoLevel, 33);
    EXPECT_EQ(path, QStringLiteral("/nowhere/settings.xml"));
    // Refused at its copy level, by the keys of the Settings menu: the undo level read before it
    // is not kept either (it would be stored at exit without being applied).
    SettingsProfile partly;
    partly.undoLevel = 7;
    Profile() = partly;
    const QString late = dir.path() + QStringLiteral("/late.xml");
    ASSERT_EQ(SaveProfile(late.toStdString(), false), 0);
    QFile file(late);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll().replace("<CopyLevel>1<", "<CopyLevel>17<");
    file.close();
    ASSERT_TRUE(text.contains("<CopyLevel>17<"));
    Write(QStringLiteral("late.xml"), text);
    Profile() = SettingsProfile{};
    Profile().undoLevel = 33;
    ui.openPath = late;
    frame->activateWindow();
    ASSERT_TRUE(testwait::UntilActive(frame.get()));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_S, Qt::AltModifier));
    ASSERT_NE(testwait::UntilPopupHasKeys(), nullptr);
    ASSERT_TRUE(testwait::PressKey(Qt::Key_L));
    ASSERT_TRUE(testwait::Until([&] { return reported.size() == 2u; }));
    EXPECT_EQ(reported.back(), ErrorCode(kErrorXmlData));
    EXPECT_EQ(Profile().undoLevel, 33);
    EXPECT_EQ(path, QStringLiteral("/nowhere/settings.xml"));
    // A whole one: taken over, and the settings go back to it at exit.
    SettingsProfile written;
    written.undoLevel = 9;
    written.copyLevel = 3;
    Profile() = written;
    const QString good = dir.path() + QStringLiteral("/good.xml");
    ASSERT_EQ(SaveProfile(good.toStdString(), false), 0);
    Profile() = SettingsProfile{};
    ui.openPath = good;
    frame->OnCommand(ID_LOAD_PROFILE);
    EXPECT_EQ(Profile().undoLevel, 9);
    EXPECT_EQ(path, good);
    // Cancel does nothing.
    ui.openPath.clear();
    path = QStringLiteral("kept");
    frame->OnCommand(ID_LOAD_PROFILE);
    EXPECT_EQ(path, QStringLiteral("kept"));
}

TEST_F(FrameSettingsTest, SaveProfileAsMovesThePathOnlyWhenWritten) {
    ui.savePath = dir.path() + QStringLiteral("/other.xml");
    saveResult = 5;
    frame->OnCommand(ID_SAVE_PROFILE_AS);
    EXPECT_EQ(path, QStringLiteral("/nowhere/settings.xml"));
    saveResult = 0;
    frame->OnCommand(ID_SAVE_PROFILE_AS);
    EXPECT_EQ(path, ui.savePath);
    EXPECT_EQ(saved.size(), 2u);
}

TEST_F(FrameSettingsTest, OptionsCutTheHistoriesOnlyToLevelsInRange) {
    struct Case {
        int copyLevel;
        int kept;         // copies left of four
        uint32_t maximum; // the capacity less one afterwards
    };
    const Case cases[] = {{0, 4, 15}, {201, 4, 15}, {200, 4, 199}, {17, 4, 16}, {2, 2, 1}};
    for (const Case& c : cases) {
        CopyHistory().ReleaseAll();
        CopyHistory().ApplyCopyLevel(16);
        UndoHistory& copies = CopyHistory().Entries();
        for (int i = 0; i < 4; ++i) {
            copies.entries[i].kind = kUndoTreeChain;
            copies.entries[i].containerId = uint32_t(i);
        }
        copies.current = 3;
        Profile().copyLevel = 16;
        ui.options = [&c] {
            Profile().copyLevel = uint8_t(c.copyLevel);
            return IDOK;
        };
        frame->OnCommand(ID_OPTIONS);
        EXPECT_EQ(copies.current + 1, c.kept) << c.copyLevel;
        EXPECT_EQ(copies.maximum, c.maximum) << c.copyLevel;
        EXPECT_EQ(copies.entries[copies.current].containerId, 3u); // the newest stays
    }
    // Cancel applies nothing.
    ui.options = [] {
        Profile().copyLevel = 1;
        return IDCANCEL;
    };
    frame->OnCommand(ID_OPTIONS);
    EXPECT_EQ(CopyHistory().Entries().current, 1);
    CopyHistory().ReleaseAll();
}

TEST_F(FrameSettingsTest, RegistrationTellsWhatHappened) {
    struct Case {
        int id;
        int result;
        int error;
        QString text;
        uint32_t icon;
    };
    const Case cases[] = {
        {ID_REGISTER_SERVER, 0, 0, QStringLiteral("COM server registered."), MB_ICONINFORMATION},
        {ID_UNREGISTER_SERVER, 0, 0, QStringLiteral("COM server unregistered."),
         MB_ICONINFORMATION},
        {ID_REGISTER_SERVER, 1, 0,
         QStringLiteral("Your account does not have permission to update the registry database."),
         MB_ICONINFORMATION},
        {ID_REGISTER_SERVER, 1, EACCES,
         QStringLiteral("Your account does not have permission to update the registry database."),
         MB_ICONINFORMATION},
        {ID_UNREGISTER_SERVER, 1, EPERM,
         QStringLiteral("Your account does not have permission to update the registry database."),
         MB_ICONINFORMATION},
        {ID_REGISTER_SERVER, 1, ENOSPC, QString::fromLocal8Bit(std::strerror(ENOSPC)),
         MB_ICONEXCLAMATION},
    };
    for (const Case& c : cases) {
        ui.boxes.clear();
        registrationResult = c.result;
        registrationError = c.error;
        frame->OnCommand(c.id);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].text, c.text);
        EXPECT_EQ(ui.boxes[0].title, QStringLiteral("Vorlane 7.3"));
        EXPECT_EQ(ui.boxes[0].flags & 0xF0, c.icon);
    }
    EXPECT_EQ(registrations.front(), true);
}

TEST_F(FrameSettingsTest, ViewTogglesShowHideAndRemember) {
    struct Case {
        int id;
        int32_t SettingsProfile::*flag;
        std::function<bool()> shown;
    };
    const Case cases[] = {
        {ID_VIEW_TOOLBAR, &SettingsProfile::standardToolbarVisible,
         [this] { return frame->Toolbar(kStandardBar)->isVisible(); }},
        {ID_VIEW_FORMATTING_BAR, &SettingsProfile::formattingToolbarVisible,
         [this] { return frame->Toolbar(kAddressBar)->isVisible(); }},
        {ID_VIEW_STATUS_BAR, &SettingsProfile::statusBarVisible,
         [this] { return frame->StatusBarWnd()->isVisible(); }},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(frame->Action(c.id)->isChecked());
        frame->OnCommand(c.id);
        EXPECT_EQ(Profile().*c.flag, 0);
        EXPECT_FALSE(c.shown());
        EXPECT_FALSE(frame->Action(c.id)->isChecked());
        frame->OnCommand(c.id);
        EXPECT_EQ(Profile().*c.flag, 1);
        EXPECT_TRUE(c.shown());
    }
    // Full screen maximises, and restores a maximised frame.
    frame->OnCommand(ID_VIEW_FULL_SCREEN);
    EXPECT_TRUE(frame->isMaximized());
    frame->OnCommand(ID_VIEW_FULL_SCREEN);
    EXPECT_FALSE(frame->isMaximized());
    // The composer: disabled without a pane; with one, shown and hidden, remembered.
    frame->OnIdle();
    EXPECT_FALSE(frame->Action(ID_VIEW_COMPOSER)->isEnabled());
    FakeComposer composer(*frame);
    frame->OnIdle();
    EXPECT_TRUE(frame->Action(ID_VIEW_COMPOSER)->isEnabled());
    frame->OnCommand(ID_VIEW_COMPOSER);
    EXPECT_TRUE(composer.shown);
    EXPECT_EQ(Profile().composerVisible, 1);
    EXPECT_TRUE(frame->Action(ID_VIEW_COMPOSER)->isChecked());
    frame->OnCommand(ID_VIEW_COMPOSER);
    EXPECT_EQ(Profile().composerVisible, 0);
}

TEST_F(FrameSettingsTest, FindReplaceShowsTheSearchBarThenSearches) {
    FakeWorkbookWnd* book = Open();
    QToolBar* search = frame->Toolbar(kSearchBar);
    ASSERT_FALSE(search->isVisible());
    frame->OnCommand(ID_EDIT_FIND);
    EXPECT_TRUE(search->isVisible());
    EXPECT_TRUE(book->handled.empty());
    frame->OnCommand(ID_EDIT_FIND);
    EXPECT_EQ(book->handled, std::vector<int>{ID_EDIT_FIND});
    frame->OnCommand(ID_SEARCH_CLOSE);
    EXPECT_FALSE(search->isVisible());
    for (QComboBox* box : search->findChildren<QComboBox*>()) EXPECT_FALSE(box->isEnabled());
}

TEST_F(FrameSettingsTest, DropDownsListTheirMenus) {
    struct Case {
        int button;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {ID_INSERT_DATE_TIME,
         {ID_INSERT_DATE, ID_INSERT_TIME, ID_INSERT_DATE_AND_TIME, ID_NEXT_WEEK, ID_PREV_WEEK,
          ID_NEXT_MONTH, ID_PREV_MONTH, ID_END_NEXT_MONTH, ID_END_PREV_MONTH}},
        {ID_INSERT_FORMULA,
         {32897, 33085, 33086, 33087, 33088, 32898, 33093, 33092, 32899, 33094, 33095, 33102, 33096,
          32900, 33099, 33100, 33101, 32901}},
        {ID_INSERT_CHART, {32910, 32912, 32911}},
        {ID_GO_TO_ADDRESS,
         {33081, 33070, 33071, 33072, 33073, 33082, 33074, 33075, 33083, 33077, 33033, 33032}},
        {ID_EDIT_PASTE, {ID_COPIED_DATA_FIRST}},
        {ID_REMOVE_ITEM, {ID_REMOVE_ITEM, ID_REMOVE_ALL_ITEMS}},
    };
    for (const Case& c : cases) {
        frame->OnToolbarDropDown(c.button);
        ASSERT_NE(frame->DropDownMenu(), nullptr);
        EXPECT_EQ(MenuIds(), c.ids) << c.button;
    }
    // A press on the Paste button's arrow opens its list.
    auto* paste = qobject_cast<QToolButton*>(
        frame->Toolbar(kStandardBar)->widgetForAction(frame->ToolAction(ID_EDIT_PASTE)));
    ASSERT_NE(paste, nullptr);
    frame->OnToolbarDropDown(ID_INSERT_CHART);
    paste->setEnabled(true);
    QTest::mousePress(paste, Qt::LeftButton, {}, QPoint(paste->width() - 3, paste->height() / 2));
    EXPECT_EQ(frame->DropDownMenu()->objectName(), QStringLiteral("menu253"));
    QTest::mouseRelease(paste, Qt::LeftButton, {}, QPoint(paste->width() - 3, paste->height() / 2));
    // Without a workbook the paste list is its placeholder.
    EXPECT_EQ(frame->DropDownMenu()->actions()[0]->text(), QStringLiteral("(No copied data)"));
    // A chosen item runs as its command in the active window.
    FakeWorkbookWnd* book = Open();
    frame->OnToolbarDropDown(ID_INSERT_CHART);
    frame->DropDownMenu()->actions()[1]->trigger();
    EXPECT_EQ(book->handled, std::vector<int>{ID_CHART_XY});
    // An empty composer history shows its placeholder greyed; a history lists its formulas
    // and a choice goes to the composer.
    FakeComposer composer(*frame);
    frame->OnToolbarDropDown(ID_VIEW_COMPOSER);
    ASSERT_EQ(frame->DropDownMenu()->actions().size(), 1);
    EXPECT_EQ(frame->DropDownMenu()->actions()[0]->text(), QStringLiteral("(No saved formulas)"));
    EXPECT_FALSE(frame->DropDownMenu()->actions()[0]->isEnabled());
    composer.items = {"1.\t=sum(A1", "2.\t=max(B2, C3"};
    frame->OnToolbarDropDown(ID_VIEW_COMPOSER);
    ASSERT_EQ(frame->DropDownMenu()->actions().size(), 2);
    EXPECT_EQ(frame->DropDownMenu()->actions()[1]->text(), QStringLiteral("2.\t=max(B2, C3"));
    frame->DropDownMenu()->actions()[1]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(composer.used, std::vector<int>{1});
    // An "&" of a formula shows as itself, never as the item's mnemonic.
    composer.items = {"1.\t=if(A1&B1=\"\", \"R&D\"", "2.\t=A&&B"};
    frame->OnToolbarDropDown(ID_VIEW_COMPOSER);
    ASSERT_EQ(frame->DropDownMenu()->actions().size(), 2);
    EXPECT_EQ(frame->DropDownMenu()->actions()[0]->text(),
              QStringLiteral("1.\t=if(A1&&B1=\"\", \"R&&D\""));
    EXPECT_EQ(frame->DropDownMenu()->actions()[1]->text(), QStringLiteral("2.\t=A&&&&B"));
    // A formula of 1,024 characters shows its start, cut short, and leaves the menu within the
    // screen; a short one beside it shows whole.
    composer.items = {"1.\t=sum(" + std::string(1014, '1') + ")", "2.\t=abs(2)"};
    frame->OnToolbarDropDown(ID_VIEW_COMPOSER);
    ASSERT_EQ(frame->DropDownMenu()->actions().size(), 2);
    const QString cut = frame->DropDownMenu()->actions()[0]->text();
    EXPECT_TRUE(cut.startsWith(QStringLiteral("1.\t=sum(111"))) << cut.toStdString();
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_LT(cut.size(), 100);
    EXPECT_EQ(frame->DropDownMenu()->actions()[1]->text(), QStringLiteral("2.\t=abs(2)"));
    EXPECT_LE(frame->DropDownMenu()->sizeHint().width(),
              QGuiApplication::primaryScreen()->availableGeometry().width());
}

TEST_F(FrameSettingsTest, AMenuAtTheRightEdgeStaysOnTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    struct Case {
        QRect button;
        QSize menu;
        QPoint at;
    };
    const Case cases[] = {{{100, 50, 20, 20}, {200, 300}, {100, 70}},
                          {{990, 50, 10, 20}, {200, 300}, {800, 70}},
                          {{801, 50, 10, 20}, {200, 300}, {800, 70}},
                          {{800, 50, 10, 20}, {200, 300}, {800, 70}},
                          {{-30, 50, 10, 20}, {200, 300}, {0, 70}}};
    for (const Case& c : cases)
        EXPECT_EQ(CMainFrame::DropDownPoint(c.button, c.menu, screen), c.at) << c.button.x();
    // The frame against the right edge of the screen: the Go menu stays inside.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    frame->move(available.right() - frame->width() + 1, available.top());
    frame->OnToolbarDropDown(ID_GO_TO_ADDRESS);
    QApplication::processEvents();
    const QRect shown = frame->DropDownMenu()->geometry();
    EXPECT_LE(shown.right(), available.right());
    EXPECT_GE(shown.left(), available.left());
}

} // namespace

TEST(ShellSettingsTest, AfterSaveProfileAsTheExitWritesTheNewFile) {
    const apptest::QuitTakenBack quit;
    Profile() = SettingsProfile{};
    QTemporaryDir dir;
    ProfileLocations where;
    where.configHome = dir.path();
    where.exeDir = QStringLiteral("/usr/bin");
    where.programFiles = QStringLiteral("/usr");
    std::vector<QString> saves;
    ProfileIo io;
    io.load = [](const QString&, bool) { return 0; };
    io.save = [&saves](const QString& path, bool) {
        saves.push_back(path);
        return 0;
    };
    apptest::FakeTimers timers;
    apptest::FakeClock clock;
    apptest::FakeUi ui;
    CApplicationShell shell(timers, clock, io);
    ASSERT_TRUE(shell.Start({}, where));
    ui.savePath = dir.path() + QStringLiteral("/moved.xml");
    shell.Frame()->OnCommand(ID_SAVE_PROFILE_AS);
    shell.Frame()->close();
    shell.Finish(0);
    EXPECT_EQ(saves, (std::vector<QString>{ui.savePath, ui.savePath}));
    Profile() = SettingsProfile{};
}

} // namespace vl
