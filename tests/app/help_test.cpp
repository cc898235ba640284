// The help: the user's help document built into the program, opened at the topic of each
// Help command and of each dialog's Help button; Online Help without an address of its own
// opens the same window.

#include "app/helpviewer.h"
#include "app/mainframe.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/formatpage.h"
#include "formula/evalcontext.h"
#include "resources/commandids.h"
#include "tests/dialogs/dialogwalk.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
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
    QList<CHelpViewer*> Viewers() const { return frame->findChildren<CHelpViewer*>(); }
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
    // Walked down and back up, so that a topic shown from further down is scrolled too.
    for (int pass = 0; pass < 2; ++pass)
        for (int step = 0; step <= 19; ++step) {
            const int topic = pass ? 19 - step : step;
            frame->ShowHelpTopic(topic);
            EXPECT_EQ(ShownHeading(), headings[topic]) << topic;
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
    EXPECT_FALSE(OpenOnlineHelp(address));
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
