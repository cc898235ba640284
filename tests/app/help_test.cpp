// The help: the user's help document built into the program, opened at the topic of each
// Help command and of each dialog's Help button; Online Help without an address of its own
// opens the same window.

#include "app/helpviewer.h"
#include "app/mainframe.h"
#include "app/statusbarwnd.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/formatpage.h"
#include "formula/evalcontext.h"
#include "resources/commandids.h"
#include "tests/dialogs/dialogwalk.h"
#include "tests/common/waits.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <map>

namespace vl {

namespace {

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        frame = std::make_unique<CMainFrame>(nullptr, clock, &factory);
        frame->OnCreate();
        frame->show();
    }
    void TearDown() override {
        CFormatPage::showHelp = nullptr;
        frame.reset();
        Profile() = SettingsProfile{};
    }
    // By name: without a meta-object of its own, a help window is any dialog to findChildren.
    QList<CHelpViewer*> Viewers() const {
        return frame->findChildren<CHelpViewer*>(QStringLiteral("helpViewer"));
    }
    // The one help window, shown, with its cursor's heading in view.
    std::string ShownHeading() const {
        const QList<CHelpViewer*> viewers = Viewers();
        if (viewers.size() != 1 || !viewers[0]->isVisible()) return "<no window>";
        QTextBrowser* browser = viewers[0]->Browser();
        if (!browser->viewport()->rect().contains(browser->cursorRect().center()))
            return "<out of view>";
        return viewers[0]->CurrentHeading().toStdString();
    }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    std::unique_ptr<CMainFrame> frame;
};

const char* const kIntro = "Vorlane Help";

// Presses every Help button of the dialog (a toolbar's button as its action); how many.
int PressHelp(QWidget& dialog) {
    const auto isHelp = [](QString text) {
        return text.remove(QLatin1Char('&')).trimmed() == QLatin1String("Help");
    };
    int helps = 0;
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        auto* tool = qobject_cast<QToolButton*>(button);
        if ((tool && tool->defaultAction()) || !isHelp(button->text())) continue;
        ++helps;
        button->click();
    }
    for (QAction* action : dialog.findChildren<QAction*>())
        if (isHelp(action->text())) {
            ++helps;
            action->trigger();
        }
    return helps;
}

// Every topic id, the edges of the table and beyond, opens the help window at the heading
// of its topic, scrolled into view.
TEST_F(HelpTest, EachTopicOpensItsHeading) {
    const char* const headings[] = {kIntro,
                                    kIntro,
                                    "Printing",
                                    "Protecting a workbook",
                                    "Containers",
                                    "2D charts",
                                    "XY charts",
                                    "3D charts",
                                    "Font",
                                    "Cell",
                                    "Style",
                                    "Alignment",
                                    "List",
                                    "Worksheet",
                                    "Settings",
                                    "Text files",
                                    "Tables: dBase, FoxPro and Clipper",
                                    "Support",
                                    "Entering data and formulas",
                                    kIntro};
    // Pane 0 goes on describing the active cell: the help names no file there.
    frame->OnIdle();
    const QString pane0 = frame->StatusBarWnd()->ShownText(0);
    // Walked down and back up, so that a topic shown from further down is scrolled too.
    for (int pass = 0; pass < 2; ++pass)
        for (int step = 0; step <= 19; ++step) {
            const int topic = pass ? 19 - step : step;
            frame->ShowHelpTopic(topic);
            EXPECT_EQ(ShownHeading(), headings[topic]) << topic;
            EXPECT_EQ(frame->StatusBarWnd()->ShownText(0), pane0) << topic;
        }
    EXPECT_EQ(Viewers().size(), 1);
    // A page the document lacks shows its start.
    CHelpViewer* viewer = Viewers().front();
    EXPECT_TRUE(viewer->ShowTopic(QStringLiteral("settings.htm")));
    EXPECT_FALSE(viewer->ShowTopic(QStringLiteral("nowhere.htm")));
    EXPECT_EQ(ShownHeading(), kIntro);
}

// Each command of the Help menu, triggered as the menu does, opens the window at its topic;
// a closed window opens again. This build has no online help address, so Online Help is
// the help window too.
TEST_F(HelpTest, EachHelpCommandOpensTheHelpWindow) {
    ASSERT_TRUE(OnlineHelpAddress().isEmpty()) << "the tests expect a build without one";
    frame->OnIdle();
    const struct {
        int command;
        const char* heading;
    } commands[] = {{ID_HELP_SUPPORT, "Support"},
                    {ID_HELP_CONTENTS, kIntro},
                    {ID_HELP_SUPPORT, "Support"},
                    {ID_HELP_ONLINE, kIntro}};
    for (const auto& c : commands) {
        if (!Viewers().empty()) Viewers().front()->close();
        QAction* action = frame->Action(c.command);
        ASSERT_TRUE(action) << c.command;
        EXPECT_TRUE(action->isEnabled()) << c.command;
        action->trigger();
        EXPECT_EQ(ShownHeading(), c.heading) << c.command;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// A configured address goes to the desktop's handler for it; none, or one no program takes,
// is refused.
TEST_F(HelpTest, OnlineHelpOpensAConfiguredAddress) {
    const QString address = QStringLiteral("vorlanetest://help.example/vorlane/");
    QTextBrowser receiver;
    QDesktopServices::setUrlHandler(QStringLiteral("vorlanetest"), &receiver, "setSource");
    EXPECT_FALSE(OpenOnlineHelp(QString()));
    EXPECT_EQ(receiver.source(), QUrl());
    EXPECT_TRUE(OpenOnlineHelp(address));
    EXPECT_EQ(receiver.source(), QUrl(address));
    QDesktopServices::unsetUrlHandler(QStringLiteral("vorlanetest"));
    // Without a handler the platform's opener is asked: on X it runs a browser of the PATH
    // (xdg-open and the like); with none to be found, nothing opens the address.
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER"),
                     defaultBrowser = qgetenv("DEFAULT_BROWSER");
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    qputenv("PATH", empty.path().toLocal8Bit());
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    EXPECT_FALSE(OpenOnlineHelp(address));
    qputenv("PATH", path);
    if (!browser.isNull()) qputenv("BROWSER", browser);
    if (!defaultBrowser.isNull()) qputenv("DEFAULT_BROWSER", defaultBrowser);
}

// The help document is a user's: every link inside it reaches an anchor, every picture is
// there, and nothing in it tells how to build or test the program.
TEST_F(HelpTest, DocumentIsWholeAndForUsers) {
    frame->ShowHelpTopic(1);
    ASSERT_EQ(Viewers().size(), 1);
    QTextBrowser* browser = Viewers().front()->Browser();
    const QStringList anchors = Viewers().front()->Anchors();
    QFile file(QStringLiteral(":/help/help/vorlane.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    int links = 0;
    for (const auto& m :
         QRegularExpression(QStringLiteral("href=\"#([^\"]+)\"")).globalMatch(html)) {
        ++links;
        EXPECT_TRUE(anchors.contains(m.captured(1))) << m.captured(1).toStdString();
    }
    EXPECT_GT(links, 20);
    // Each picture as the window resolves it: relative to the document.
    int pictures = 0;
    for (const auto& m :
         QRegularExpression(QStringLiteral("<img src=\"([^\"]+)\"")).globalMatch(html)) {
        ++pictures;
        const QUrl url = browser->source().resolved(QUrl(m.captured(1)));
        EXPECT_FALSE(QImage(QLatin1Char(':') + url.path()).isNull())
            << url.toString().toStdString();
    }
    int drawn = 0;
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                ++drawn;
                const QString name = it.fragment().charFormat().toImageFormat().name();
                const QVariant image = browser->document()->resource(
                    QTextDocument::ImageResource, browser->source().resolved(QUrl(name)));
                EXPECT_TRUE(image.isValid()) << name.toStdString();
            }
    EXPECT_GE(pictures, 1);
    EXPECT_EQ(drawn, pictures);
    const QString text = browser->toPlainText();
    EXPECT_TRUE(text.startsWith(QLatin1String(kIntro)));
    for (const char* developer : {"cmake", "ctest", "ninja", "tools/", "test.sh", "run.sh",
                                  "build/", "-DVORLANE", "apt-get", "clang", "Contributing"})
        EXPECT_FALSE(text.contains(QLatin1String(developer), Qt::CaseInsensitive)) << developer;
}

// What the help says of entering matches the window: a mouse pick ends as the button is let
// go, a Shift pick as Shift is; Shift held as an entry ends stores it as typed.
TEST_F(HelpTest, EnteringSaysHowPicksAndShiftedEntriesEnd) {
    frame->ShowHelpTopic(18);
    ASSERT_EQ(Viewers().size(), 1);
    const QString text = Viewers().front()->Browser()->toPlainText().simplified();
    struct Claim {
        const char* words;
        bool said;
    } claims[] = {
        {"the reference goes into the formula as you let go of the button", true},
        {"the range goes into the formula as you let go of Shift", true},
        {"move to the cell with the arrow keys and press F2 or Enter", true},
        {"the entry is stored as a text exactly as you typed it", true},
        {"or the mouse, and press F2 or Enter", false},
        {"Tab, Shift+Tab, or an arrow key", false},
        {"Tab, Shift+Tab store the entry and move right, left", false},
    };
    for (const Claim& c : claims)
        EXPECT_EQ(text.contains(QLatin1String(c.words)), c.said) << c.words;
}

// What the help says of typed dates matches the input: they are kept as texts, not values.
TEST_F(HelpTest, EnteringSaysTypedDatesAreKeptAsTexts) {
    frame->ShowHelpTopic(18);
    ASSERT_EQ(Viewers().size(), 1);
    const QString text = Viewers().front()->Browser()->toPlainText().simplified();
    struct Claim {
        const char* words;
        bool said;
    } claims[] = {
        {"it is kept as a text in the international form", true},
        {"=D1+1, gives an error value", true},
        {"=EDATE2(D1,\"P1D\") adds a day", true},
        {"or a time is stored as a value", false},
    };
    for (const Claim& c : claims)
        EXPECT_EQ(text.contains(QLatin1String(c.words)), c.said) << c.words;
}

// What the help says of the print sheet's Content page matches printing: the first page's
// header choice and the first page number are kept, not used; pages count from 1.
TEST_F(HelpTest, PrintingSaysWhatTheContentPageDoes) {
    frame->ShowHelpTopic(2);
    ASSERT_EQ(Viewers().size(), 1);
    const QString text = Viewers().front()->Browser()->toPlainText().simplified();
    struct Claim {
        const char* words;
        bool said;
    } claims[] = {
        {"are kept with the worksheet and saved with it", true},
        {"headers and footers print on every page", true},
        {"the pages are numbered from 1", true},
        {"sets the first page number", false},
        {"on the first page or not", false},
    };
    for (const Claim& c : claims)
        EXPECT_EQ(text.contains(QLatin1String(c.words)), c.said) << c.words;
}

// Every dialog and page of the dialog library: those with a Help button open the help
// window at their topic, and no other has one.
TEST_F(HelpTest, EachDialogHelpButtonOpensItsTopic) {
    CFormatPage::showHelp = [this](int topic) { frame->ShowHelpTopic(topic); };
    const std::map<std::string, const char*> expected = {
        {"printsheet-general", "Printing"},
        {"printsheet-layout", "Printing"},
        {"printsheet-content", "Printing"},
        {"protection", "Protecting a workbook"},
        {"fontpage", "Font"},
        {"cellpage", "Cell"},
        {"stylepage", "Style"},
        {"alignmentpage", "Alignment"},
        {"listpage", "List"},
        {"worksheetpage", "Worksheet"},
        {"options", "Settings"},
        {"opentextfile", "Text files"},
        {"savetextfile", "Text files"},
        {"xbase", "Tables: dBase, FoxPro and Clipper"},
    };
    std::map<std::string, std::string> seen;
    const dialogtest::DialogVisit visit = [&](QWidget& dialog, const std::string& name) {
        if (name.rfind("stylepage-", 0) == 0) return; // the same page with a family chosen
        if (!Viewers().empty()) Viewers().front()->close();
        const int helps = PressHelp(dialog);
        seen[name] = helps ? ShownHeading() : std::string();
        EXPECT_LE(helps, 1) << name;
    };
    dialogtest::WalkFormatPages(visit);
    dialogtest::WalkWindowDialogs(clock, visit);
    for (const auto& [name, heading] : seen) {
        const auto it = expected.find(name);
        EXPECT_EQ(heading, it == expected.end() ? "" : it->second) << name;
    }
    for (const auto& [name, heading] : expected) EXPECT_TRUE(seen.count(name)) << name;
}

// The container window's Help opens the topic of the chart chosen in it, or of containers.
TEST_F(HelpTest, ContainerHelpOpensTheChosenChartsTopic) {
    const struct {
        int object; // 0: the container itself
        const char* heading;
    } cases[] = {{0, "Containers"},
                 {CContainerPropertiesDlg::kAdd2D, "2D charts"},
                 {CContainerPropertiesDlg::kAddXY, "XY charts"},
                 {CContainerPropertiesDlg::kAdd3D, "3D charts"}};
    CEvalContext ctx;
    for (const auto& c : cases) {
        ContainerDlgHost host;
        host.context = [&ctx] { return &ctx; };
        host.help = [this](int topic) { frame->ShowHelpTopic(topic); };
        CContainerPropertiesDlg dlg(std::move(host), nullptr);
        ASSERT_TRUE(dlg.Open(nullptr));
        if (c.object) dlg.ChooseObject(c.object);
        if (!Viewers().empty()) Viewers().front()->close();
        EXPECT_EQ(PressHelp(dlg), 1) << c.heading;
        EXPECT_EQ(ShownHeading(), c.heading);
    }
}

} // namespace

} // namespace vl

namespace vl {

namespace {

// Right of the dialog when it fits, else left, below, above; else on the side with most
// room, smaller while it stays readable, else whole; always kept on the screen. The dialog
// stands at four different margins from the screen's edges.
TEST(HelpPlace, BesideTheDialogWhereItFits) {
    const QRect screen(10, 20, 1000, 700); // right 1009, bottom 719
    const QSize help(300, 200);
    struct Case {
        QRect dialog;
        QRect at;
    } cases[] = {
        {{100, 150, 400, 250}, {500, 150, 300, 200}}, // room on the right
        {{410, 150, 300, 250}, {710, 150, 300, 200}}, // right: exactly 300 columns
        {{411, 150, 300, 250}, {111, 150, 300, 200}}, // right: 299, so left
        {{310, 150, 401, 250}, {10, 150, 300, 200}},  // left: exactly 300
        {{309, 150, 402, 250}, {309, 400, 300, 200}}, // neither side: below
        {{309, 320, 402, 200}, {309, 520, 300, 200}}, // below: exactly 200 rows
        {{309, 321, 402, 200}, {309, 121, 300, 200}}, // below: 199, so above
        {{10, 20, 750, 699}, {760, 20, 250, 200}},    // the right's 250 columns: narrower
        {{10, 20, 1000, 520}, {10, 540, 300, 180}},   // below's 180 rows: lower
        {{10, 20, 1000, 551}, {10, 520, 300, 200}},   // 149 rows: whole, kept on the screen
        {{109, 120, 801, 500}, {109, 520, 300, 200}}, // no side holds it, kept on the screen
        {{700, 600, 300, 150}, {400, 520, 300, 200}}, // left, kept inside the bottom edge
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpPlaceBeside(c.dialog, help, screen), c.at)
            << c.dialog.x() << "," << c.dialog.y() << " " << c.dialog.width() << "x"
            << c.dialog.height();
}

class HelpOverDialogTest : public HelpTest {};

// Counts the activations of a window.
class ActivationCount : public QObject {
public:
    explicit ActivationCount(QWidget* window) { window->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowActivate) ++count;
        return false;
    }
};

// Help asked for by a modal dialog opens beside it, out of the reach of its modality; the
// help stays open once the dialog closes.
TEST_F(HelpOverDialogTest, OpensBesideTheDialogOutOfItsModality) {
    // A help window of a size that fits beside the dialog on the screen, closed again.
    frame->ShowHelpTopic(1);
    Viewers().front()->resize(320, 240);
    Viewers().front()->close();
    QDialog dialog(frame.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.resize(300, 250);
    dialog.move(100, 100);
    dialog.show();
    dialog.activateWindow();
    // On X the activation comes back from the server.
    ASSERT_TRUE(testwait::Until([&] { return dialog.isActiveWindow(); }));
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    frame->ShowHelpTopic(14);
    QApplication::processEvents();
    EXPECT_EQ(ShownHeading(), "Settings");
    CHelpViewer* viewer = Viewers().front();
    EXPECT_FALSE(viewer->frameGeometry().intersects(dialog.frameGeometry()))
        << viewer->frameGeometry().x() << "," << viewer->frameGeometry().y() << " "
        << viewer->frameGeometry().width() << "x" << viewer->frameGeometry().height() << " / "
        << dialog.frameGeometry().x() << "," << dialog.frameGeometry().y() << " "
        << dialog.frameGeometry().width() << "x" << dialog.frameGeometry().height();
    // The window stands for the dialog, so the dialog's modality does not block it.
    EXPECT_EQ(viewer->windowHandle()->transientParent(), dialog.windowHandle());
    // The dialog keeps the keyboard, also where the help is activated as it shows (as this
    // platform and a window manager that activates every new window do): the help hands it
    // back once it has been activated. On X each activation comes back from the server, so
    // the test waits for the help's activation and then for the dialog's. A click makes the
    // keyboard the user's.
    EXPECT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &dialog; }));
    ActivationCount helpActivated(viewer);
    viewer->activateWindow();
    EXPECT_TRUE(testwait::Until([&] { return helpActivated.count > 0; }));
    EXPECT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == &dialog; }));
    QTest::mouseClick(viewer->Browser()->viewport(), Qt::LeftButton);
    viewer->activateWindow();
    EXPECT_TRUE(testwait::Until([&] { return QApplication::activeWindow() == viewer; }));
    dialog.reject();
    QApplication::processEvents();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowHandle()->transientParent(), frame->windowHandle());
    // Without a dialog the help comes forward as before.
    frame->ShowHelpTopic(2);
    QApplication::processEvents();
    EXPECT_EQ(ShownHeading(), "Printing");
    EXPECT_EQ(QApplication::activeWindow(), viewer);
}

// Every dialog with a Help button, shown modally as the program runs it: its Help opens the
// help window out of the reach of its modality, and the dialog closed gives the window back
// to the frame.
TEST_F(HelpOverDialogTest, EveryModalDialogsHelpIsOutOfItsReach) {
    CFormatPage::showHelp = [this](int topic) { frame->ShowHelpTopic(topic); };
    int dialogs = 0;
    const dialogtest::DialogVisit visit = [&](QWidget& dialog, const std::string& name) {
        if (!qobject_cast<QDialog*>(&dialog) || dialog.parentWidget() ||
            (name.rfind("printsheet-", 0) == 0 && name != "printsheet-general"))
            return;
        if (!Viewers().empty()) Viewers().front()->close();
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QApplication::processEvents();
        if (PressHelp(dialog) != 1) {
            dialog.hide();
            return;
        }
        ++dialogs;
        QApplication::processEvents();
        ASSERT_EQ(Viewers().size(), 1) << name;
        CHelpViewer* viewer = Viewers().front();
        EXPECT_TRUE(viewer->isVisible()) << name;
        EXPECT_EQ(viewer->windowHandle()->transientParent(), dialog.windowHandle()) << name;
        dialog.hide();
        QApplication::processEvents();
        EXPECT_EQ(viewer->windowHandle()->transientParent(), frame->windowHandle()) << name;
        dialog.setWindowModality(Qt::NonModal);
    };
    dialogtest::WalkWindowDialogs(clock, visit);
    // Print, Options, Protection, the text file's two and the table's.
    EXPECT_EQ(dialogs, 6);
}

// The topic stays in view when the window is laid out anew after it was shown, until the
// user scrolls on his own.
TEST_F(HelpOverDialogTest, TopicStaysInViewWhenLaidOutAgain) {
    frame->ShowHelpTopic(14);
    CHelpViewer* viewer = Viewers().front();
    for (const QSize size : {QSize(320, 240), QSize(900, 700), QSize(260, 500)}) {
        viewer->resize(size);
        QApplication::processEvents();
        QApplication::processEvents();
        EXPECT_EQ(ShownHeading(), "Settings") << size.width() << "x" << size.height();
    }
    QScrollBar* bar = viewer->Browser()->verticalScrollBar();
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    viewer->resize(500, 400);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
}

} // namespace

} // namespace vl
