// The Help commands: topics open the README's section on them, Online Help the project's
// documentation address.

#include "app/helpviewer.h"
#include "app/mainframe.h"
#include "apptestutil.h"
#include "core/settings.h"
#include "resources/commandids.h"

#include <QAction>
#include <QDesktopServices>
#include <QTextBrowser>
#include <QUrl>

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
        frame.reset();
        Profile() = SettingsProfile{};
    }
    QList<CHelpViewer*> Viewers() const { return frame->findChildren<CHelpViewer*>(); }

    apptest::FakeUi ui;
    apptest::FakeClock clock;
    apptest::FakeFactory factory;
    std::unique_ptr<CMainFrame> frame;
};

// Every topic id, the edges of the table and beyond, opens its section in the one help
// window; a section the README lacks would leave the cursor on its title.
TEST_F(HelpTest, EachTopicOpensItsReadmeSection) {
    const char* const sections[] = {"Vorlane",    "Vorlane", "Printing", "Protection", "Containers",
                                    "Charts",     "Charts",  "Charts",   "Formats",    "Formats",
                                    "Formats",    "Formats", "Formats",  "Formats",    "Settings",
                                    "Text files", "Tables",  "Support",  "Formulas",   "Vorlane"};
    for (int topic = 0; topic <= 19; ++topic) {
        frame->ShowHelpTopic(topic);
        ASSERT_EQ(Viewers().size(), 1) << topic;
        CHelpViewer* viewer = Viewers().front();
        EXPECT_TRUE(viewer->isVisible()) << topic;
        EXPECT_EQ(viewer->CurrentHeading(), QString::fromLatin1(sections[topic])) << topic;
    }
    Viewers().front()->close();
    frame->OnCommand(ID_HELP_SUPPORT);
    EXPECT_TRUE(Viewers().front()->isVisible());
    EXPECT_EQ(Viewers().front()->CurrentHeading(), "Support");
    frame->OnCommand(ID_HELP_CONTENTS);
    EXPECT_EQ(Viewers().front()->CurrentHeading(), "Vorlane");
    // A heading the README lacks shows its start, the title.
    Viewers().front()->ShowSection(QStringLiteral("Printing"));
    EXPECT_FALSE(Viewers().front()->ShowSection(QStringLiteral("Nowhere")));
    EXPECT_EQ(Viewers().front()->CurrentHeading(), "Vorlane");
    EXPECT_EQ(Viewers().size(), 1);
}

// Online Help is enabled and hands the address to the desktop's handler; with no handler
// the user is told which address could not be opened.
TEST_F(HelpTest, OnlineHelpOpensTheDocumentationAddress) {
    frame->OnIdle();
    EXPECT_TRUE(frame->Action(ID_HELP_ONLINE)->isEnabled());
    QTextBrowser receiver;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &receiver, "setSource");
    frame->OnCommand(ID_HELP_ONLINE);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(receiver.source(), QUrl(QString::fromLatin1(kOnlineHelpAddress)));
    EXPECT_TRUE(ui.boxes.empty());
    frame->OnCommand(ID_HELP_ONLINE);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QString::fromLatin1(kOnlineHelpAddress)));
}

} // namespace

} // namespace vl
