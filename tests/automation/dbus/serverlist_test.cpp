#include "automation/dbus/serverlist.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

// The servers a list gives, one "ProgID bus interface ms" text each.
std::vector<std::string> Parsed(std::string_view text) {
    std::vector<std::string> out;
    for (const RegisteredServer& s : ParseServerList(text))
        out.push_back(s.progId + " " + s.busName.toStdString() + " " + s.interface.toStdString() +
                      " " + std::to_string(s.timeoutMs));
    return out;
}

} // namespace

TEST(ServerList, LinesOfTheRightFormAreKeptAndOthersSkipped) {
    const std::string bus255 = "a." + std::string(253, 'b');
    const std::string bus256 = "a." + std::string(254, 'b');
    struct Case {
        std::string text;
        std::vector<std::string> servers;
    };
    const Case cases[] = {
        {"P.Id org.x.Y org.x.IY", {"P.Id org.x.Y org.x.IY 5000"}},
        {"  P.Id\torg.x.Y  org.x.IY 1\r\n", {"P.Id org.x.Y org.x.IY 1"}},
        {"P.Id org.x.Y org.x.IY 600000 # the slow one", {"P.Id org.x.Y org.x.IY 600000"}},
        {"P.Id org.x.Y org.x.IY 0", {}},
        {"P.Id org.x.Y org.x.IY 600001", {}},
        {"P.Id org.x.Y org.x.IY -5", {}},
        {"P.Id org.x.Y org.x.IY 12ms", {}},
        {"P.Id org.x.Y org.x.IY 1 2", {}},
        {"P.Id org.x.Y", {}},
        {"# P.Id org.x.Y org.x.IY", {}},
        {"P.Id org.x-y.Y org.x.IY", {"P.Id org.x-y.Y org.x.IY 5000"}},
        {"P.Id org.x.Y org.x-y.IY", {}},
        {"P.Id orgY org.x.IY", {}},
        {"P.Id :1.5 org.x.IY", {}},
        {"P.Id org.9x.Y org.x.IY", {}},
        {"P.Id org..Y org.x.IY", {}},
        {"P.Id org.x.Y IY", {}},
        {"P.Id " + bus255 + " org.x.IY", {"P.Id " + bus255 + " org.x.IY 5000"}},
        {"P.Id " + bus256 + " org.x.IY", {}},
        {"A org.x.Y org.x.IA 10\nbad line\nB org.x.Z org.x.IB\na org.x.W org.x.IW",
         {"A org.x.Y org.x.IA 10", "B org.x.Z org.x.IB 5000"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Parsed(c.text), c.servers) << c.text;
}

TEST(ServerList, ProgIdsMatchWithoutRegardToCaseAndPathFollowsTheConfigHome) {
    const auto servers = ParseServerList("Test.Functions org.x.Y org.x.IY\n");
    EXPECT_NE(FindServer(servers, "test.FUNCTIONS"), nullptr);
    EXPECT_EQ(FindServer(servers, "Test.Function"), nullptr);
    EXPECT_EQ(FindServer(servers, "org.x.Y"), nullptr);
    EXPECT_EQ(ServerListPath("/cfg", "/home/u"), "/cfg/Vorlane/servers.conf");
    EXPECT_EQ(ServerListPath("", "/home/u"), "/home/u/.config/Vorlane/servers.conf");
    EXPECT_EQ(ServerListPath("rel", "/home/u"), "/home/u/.config/Vorlane/servers.conf");
    EXPECT_TRUE(IsMemberName("Add_2"));
    EXPECT_TRUE(IsMemberName(QString(255, u'a')));
    for (const char* bad : {"", "2Add", "a-b", "a.b", "a b"})
        EXPECT_FALSE(IsMemberName(QString::fromLatin1(bad))) << bad;
    EXPECT_FALSE(IsMemberName(QString(256, u'a')));
}

} // namespace vl
