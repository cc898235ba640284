#include "../platform/core/tempfiles.h"
#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "platform/core/filestream.h"
#include "platform/core/pathlimit.h"
#include "profile/profile.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace vl {

namespace {

using tempfiles::ReadBytes;
using tempfiles::TempFolder;

std::string Written(const SettingsProfile& p) {
    CXmlWriter w;
    WriteProfile(w, p);
    w.Flush();
    return w.Memory();
}

std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// Reads `document` into `p`; the error code (0 on success).
ErrorCode Read(const std::string& document, SettingsProfile& p) {
    CXmlReader r;
    r.ResetMemory(document);
    return ReadProfile(r, p) ? ErrorCode(kErrorNone) : r.Error();
}

// A profile document with `body` between the root's tags.
std::string Doc(const std::string& body, const std::string& root = "MD5=\"\"") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Profile " + root + ">" + body +
           "</Profile>";
}

// Every setting away from its default, as written; a missing file fails the test that reads it.
std::string FullDocument() {
    const std::string text = ReadText(VORLANE_TEST_DATA "/app/full-settings.xml");
    EXPECT_FALSE(text.empty()) << "missing tests/data/app/full-settings.xml";
    return text;
}

SettingsProfile FullProfile() {
    SettingsProfile p;
    EXPECT_EQ(Read(FullDocument(), p), kErrorNone);
    return p;
}

void ExpectSame(const SettingsProfile& a, const SettingsProfile& b) {
    // Writing both compares every stored field at once; the unstored ones are checked apart.
    EXPECT_EQ(Written(a), Written(b));
    EXPECT_STREQ(a.font.faceName, b.font.faceName);
    EXPECT_EQ(a.fontColor, b.fontColor);
    EXPECT_EQ(a.frameShow, b.frameShow);
}

} // namespace

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { Profile() = SettingsProfile{}; }
    void TearDown() override { Profile() = SettingsProfile{}; }
    TempFolder dir;
};

TEST_F(ProfileTest, DefaultAndFullProfilesGoldenBytes) {
    const std::string golden = ReadText(VORLANE_TEST_DATA "/app/default-settings.xml");
    ASSERT_FALSE(golden.empty()) << "missing tests/data/app/default-settings.xml";
    EXPECT_EQ(Written(SettingsProfile{}), golden);
    SettingsProfile p;
    p.undoLevel = 99;
    ASSERT_EQ(Read(golden, p), kErrorNone);
    ExpectSame(p, SettingsProfile{});
    // Read back, every value away from its default is written as it was.
    const SettingsProfile full = FullProfile();
    EXPECT_EQ(Written(full), FullDocument());
    EXPECT_STREQ(full.font.faceName, "Liberation \xE9 <Sans>");
    EXPECT_EQ(full.fontColor, 0x00563412u); // "#123456": red first
    EXPECT_EQ(full.frameShow, kShowRestored);
    EXPECT_EQ(full.composerFormulas[0].arguments, std::string("A1\0<2>\0", 7));
    EXPECT_EQ(full.composerFormulas[0].argumentCount, 2);
}

TEST_F(ProfileTest, FullProfileRoundTripsThroughAFile) {
    Profile() = FullProfile();
    const std::string path = dir.Path("settings.xml");
    ASSERT_EQ(SaveProfile(path, false), kErrorNone);
    Profile() = SettingsProfile{};
    ASSERT_EQ(LoadProfile(path, false), kErrorNone);
    ExpectSame(Profile(), FullProfile());
    EXPECT_EQ(Profile().md5, "");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // A compressed profile loads like a plain one.
    const std::string golden = FullDocument();
    gzFile gz = gzopen(path.c_str(), "wb");
    ASSERT_TRUE(gz);
    gzwrite(gz, golden.data(), unsigned(golden.size()));
    gzclose(gz);
    Profile() = SettingsProfile{};
    ASSERT_EQ(LoadProfile(path, false), kErrorNone);
    ExpectSame(Profile(), FullProfile());
}

TEST_F(ProfileTest, ValueFailures) {
    struct Case {
        std::string document;
        ErrorCode code;
    };
    const Case cases[] = {
        {Doc("", "ReadOnly=\"No\""), kErrorXmlMissing},
        {Doc("<UndoLevel>1</UndoLevel>"), kErrorXmlData},
        {Doc("<UndoLevel>201</UndoLevel>"), kErrorXmlData},
        {Doc("<UndoLevel/>"), kErrorXmlData},
        {Doc("<UndoLevel>-2</UndoLevel>"), kErrorXmlData},
        {Doc("<CopyLevel>17</CopyLevel>"), kErrorXmlData},
        {Doc("<Opacity>101</Opacity>"), kErrorXmlData},
        {Doc("<Locales Region=\"130\"/>"), kErrorXmlData},
        {Doc("", "MD5=\"\" ReadOnly=\"maybe\""), kErrorXmlAttribute},
        {Doc("", "MD5=\"" + std::string(33, 'a') + "\""), kErrorXmlAttribute},
        {Doc("", "MD5=\"" + std::string(1025, 'a') + "\""), kErrorXmlData},
        {Doc("<Font Color=\"#12345\"/>"), kErrorXmlAttribute},
        {Doc("<Font Name=\"" + std::string(128, 'f') + "\"/>"), kErrorXmlData},
        {Doc("<ApplicationWindow></ApplicationWindow>"), kErrorXmlElement},
        {Doc("<Unknown>"), kErrorXmlElement}, // an unknown element that never closes
        {Doc("<Folder>" + std::string(kMaxPathBytes + 1, 'd') + "</Folder>"), kErrorXmlData},
        {Doc("<ComposerWindow><Formula Index=\"1001\"></Formula></ComposerWindow>"), kErrorXmlData},
        {"<Workbook MD5=\"\"></Workbook>", kErrorXmlElement},
    };
    for (const Case& c : cases) {
        SettingsProfile p;
        EXPECT_EQ(Read(c.document, p), c.code) << c.document.substr(0, 120);
    }
}

// An element the reader does not know (a later version's, whole with its children and text,
// at the top or inside a known one) is passed over: every setting after it is read as if it
// were not there, none falls back to its default.
TEST_F(ProfileTest, UnknownElementsArePassedOver) {
    const std::string later = "<Later Level=\"2\"><Inner>x<Deeper/></Inner></Later><Empty/>";
    SettingsProfile p;
    ASSERT_EQ(
        Read(Doc(later + "<UndoLevel>30</UndoLevel>" + later +
                 "<ApplicationWindow Position=\"Maximize\">" + later +
                 "<PrimaryToolbar Visible=\"No\"/>" + later + "</ApplicationWindow>" + later +
                 "<AddressingA1/>" + later + "<AutoFormatting/>" + later +
                 "<AutoSave>5</AutoSave>" + later + "<FileFormat Xml=\"No\" Compressed=\"Yes\"/>" +
                 later + "<Bookmark>b</Bookmark>" + later + "<RecentFile>/r.vln</RecentFile>" +
                 later),
             p),
        kErrorNone);
    EXPECT_EQ(p.undoLevel, 30);
    EXPECT_EQ(p.frameShow, kShowMaximized);
    EXPECT_EQ(p.standardToolbarVisible, 0);
    EXPECT_EQ(p.addressingA1, 1);
    EXPECT_EQ(p.autoFormatting, 1);
    EXPECT_EQ(p.autoSave, 5);
    EXPECT_EQ(p.fileFormat, kFormatBinaryCompressed);
    EXPECT_EQ(p.bookmarks, std::vector<std::string>{"b"});
    EXPECT_EQ(p.recentFiles, std::vector<std::string>{"/r.vln"});
}

TEST_F(ProfileTest, ValuesAtTheirLimits) {
    SettingsProfile p;
    ASSERT_EQ(Read(Doc("<UndoLevel> 20 </UndoLevel><CopyLevel>16</CopyLevel>"), p), kErrorNone);
    EXPECT_EQ(p.undoLevel, 20);
    EXPECT_EQ(p.copyLevel, 16);
    ASSERT_EQ(
        Read(Doc("<UndoLevel>200</UndoLevel><Font Name=\"" + std::string(127, 'f') + "\"/>"), p),
        kErrorNone);
    EXPECT_EQ(p.undoLevel, 200);
    EXPECT_EQ(std::strlen(p.font.faceName), 127u);
    ASSERT_EQ(Read(Doc("", "MD5=\"" + std::string(32, 'a') + "\""), p), kErrorNone);
    EXPECT_EQ(p.md5.size(), 32u);
}

TEST_F(ProfileTest, AbsentFlagsTurnOffAndUpdateModesRoundTrip) {
    SettingsProfile p;
    ASSERT_EQ(Read(Doc(""), p), kErrorNone);
    EXPECT_EQ(p.addressingA1, 0); // R1C1 notation
    EXPECT_EQ(p.autoFormatting, 0);
    for (uint8_t mode = 1; mode <= 4; ++mode) {
        SettingsProfile q;
        q.updateMode = mode;
        q.fileFormat = mode;
        const std::string text = Written(q);
        if (mode == 4) {
            EXPECT_NE(text.find("<UpdateMode Automatic=\"No\" AllWorksheets=\"No\"/>"),
                      std::string::npos);
        }
        SettingsProfile back;
        ASSERT_EQ(Read(text, back), kErrorNone);
        EXPECT_EQ(back.updateMode, mode);
        EXPECT_EQ(back.fileFormat, mode);
    }
}

TEST_F(ProfileTest, PositionsOfTheFrame) {
    SettingsProfile p;
    p.frameRect = {1, 2, 3, 4};
    const std::string window = "<PrimaryToolbar/></ApplicationWindow>";
    ASSERT_EQ(Read(Doc("<ApplicationWindow Position=\"Maximize\">" + window), p), kErrorNone);
    EXPECT_EQ(p.frameShow, kShowMaximized);
    EXPECT_EQ(p.frameRect.right, 3);
    ASSERT_EQ(Read(Doc("<ApplicationWindow Position=\"Minimize\">" + window), p), kErrorNone);
    EXPECT_EQ(p.frameShow, kShowMinimized);
    ASSERT_EQ(Read(Doc("<ApplicationWindow Position=\" -5 6 705 x9\">" + window), p), kErrorNone);
    EXPECT_EQ(p.frameShow, kShowRestored);
    EXPECT_EQ(p.frameRect.left, -5);
    EXPECT_EQ(p.frameRect.right, 705);
    EXPECT_EQ(p.frameRect.bottom, 4); // did not scan: unchanged
}

TEST_F(ProfileTest, FiftyOneBookmarksFailAfterFiftyAreKept) {
    std::string body;
    for (int i = 0; i < 51; ++i) body += "<Bookmark>R" + std::to_string(i + 1) + "C1</Bookmark>";
    SettingsProfile p;
    EXPECT_EQ(Read(Doc(body), p), kErrorXmlElement);
    ASSERT_EQ(p.bookmarks.size(), 50u);
    EXPECT_EQ(p.bookmarks[49], "R50C1");
    std::string files;
    for (int i = 0; i < 17; ++i) files += "<RecentFile>f</RecentFile>";
    EXPECT_EQ(Read(Doc(files), p), kErrorXmlElement);
    EXPECT_EQ(p.recentFiles.size(), 16u);
    EXPECT_TRUE(p.bookmarks.empty()); // the list is emptied when its step runs
}

TEST_F(ProfileTest, ArgumentsMustFitTheirArea) {
    auto composer = [](const std::string& args) {
        return Doc("<ComposerWindow><Formula Index=\"3\">" + args + "</Formula></ComposerWindow>");
    };
    SettingsProfile p;
    // 1,024 characters and the terminator fill the 1,025 bytes exactly.
    ASSERT_EQ(Read(composer("<Argument>" + std::string(1024, 'a') + "</Argument>"), p), kErrorNone);
    EXPECT_EQ(p.composerFormulas[0].arguments.size(), 1025u);
    EXPECT_EQ(Read(composer("<Argument>" + std::string(1024, 'a') + "</Argument><Argument/>"), p),
              kErrorXmlData);
    EXPECT_EQ(Read(composer("<Argument>" + std::string(1025, 'a') + "</Argument>"), p),
              kErrorXmlData);
    std::string many;
    for (int i = 0; i < 256; ++i) many += "<Argument/>";
    EXPECT_EQ(Read(composer(many), p), kErrorXmlData); // the count is one byte
    std::string formulas;
    for (int i = 0; i < 101; ++i) formulas += "<Formula></Formula>";
    EXPECT_EQ(Read(Doc("<ComposerWindow>" + formulas + "</ComposerWindow>"), p), kErrorXmlElement);
    EXPECT_EQ(p.composerFormulas.size(), 100u);
}

TEST_F(ProfileTest, FailedWriteLeavesTheOldProfileWhole) {
    const std::string path = dir.Path("settings.xml");
    ASSERT_EQ(SaveProfile(path, false), kErrorNone);
    const std::string before = ReadText(path);
    Profile() = FullProfile();
    // Another program holds the profile: the write cannot start.
    const int holder = open(path.c_str(), O_RDONLY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    std::vector<ErrorCode> shown;
    SetProfileErrorReporter([&shown](ErrorCode c) { shown.push_back(c); });
    EXPECT_EQ(SaveProfile(path, true), kStreamInUse);
    SetProfileErrorReporter(nullptr);
    EXPECT_EQ(shown, std::vector<ErrorCode>{ErrorCode(kStreamInUse)});
    EXPECT_EQ(ReadText(path), before);
    close(holder);
    ASSERT_EQ(SaveProfile(path, false), kErrorNone);
    EXPECT_NE(ReadText(path), before);
}

// A file that fails part way keeps what was read before the fault, through the loader the
// program starts with: the settings before it new, the list at fault cut at its limit, the
// settings after it as they were.
TEST_F(ProfileTest, LoadFailingPartWayKeepsWhatWasRead) {
    std::string marks;
    for (int i = 0; i < 51; ++i) marks += "<Bookmark>B" + std::to_string(i) + "</Bookmark>";
    struct Case {
        const char* name;
        std::string body;
        ErrorCode code;
        int undoLevel;
        std::size_t bookmarks;
        std::string lastBookmark;
        std::vector<std::string> recentFiles;
    } const cases[] = {
        {"51st bookmark",
         "<UndoLevel>50</UndoLevel>" + marks + "<RecentFile>new</RecentFile>",
         kErrorXmlElement,
         50,
         50,
         "B49",
         {"old1", "old2"}},
        {"bad undo level",
         "<UndoLevel>1</UndoLevel>" + marks,
         kErrorXmlData,
         77,
         3,
         "c",
         {"old1", "old2"}},
        {"bad copy level after the undo level",
         "<UndoLevel>60</UndoLevel><CopyLevel>17</CopyLevel>",
         kErrorXmlData,
         60,
         3,
         "c",
         {"old1", "old2"}},
        {"whole file",
         "<UndoLevel>40</UndoLevel><RecentFile>new</RecentFile>",
         kErrorNone,
         40,
         0,
         "",
         {"new"}},
    };
    const std::string path = dir.Path("settings.xml");
    for (const Case& c : cases) {
        Profile() = SettingsProfile{};
        Profile().undoLevel = 77;
        Profile().bookmarks = {"a", "b", "c"};
        Profile().recentFiles = {"old1", "old2"};
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << Doc(c.body);
        }
        std::vector<ErrorCode> shown;
        SetProfileErrorReporter([&shown](ErrorCode e) { shown.push_back(e); });
        EXPECT_EQ(LoadProfile(path, true), c.code) << c.name;
        SetProfileErrorReporter(nullptr);
        EXPECT_EQ(shown.size(), c.code ? 1u : 0u) << c.name;
        EXPECT_EQ(Profile().undoLevel, c.undoLevel) << c.name;
        const std::vector<std::string>& marksRead = Profile().bookmarks;
        EXPECT_EQ(marksRead.size(), c.bookmarks) << c.name;
        EXPECT_EQ(marksRead.empty() ? "" : marksRead.back(), c.lastBookmark) << c.name;
        EXPECT_EQ(Profile().recentFiles, c.recentFiles) << c.name;
    }
}

TEST_F(ProfileTest, MissingFileReportsTheStreamAndLeavesTheSettings) {
    Profile().undoLevel = 77;
    EXPECT_EQ(LoadProfile(dir.Path("none.xml"), false), kStreamOpenRead);
    EXPECT_EQ(Profile().undoLevel, 77);
}

// Newest first; a path longer than the system's limit is left out, not cut (a cut path names
// another file): the longest is kept, one byte more is not.
TEST_F(ProfileTest, RecentFilesKeepTheNewestFirst) {
    SaveRecentFiles(
        {"old", std::string(kMaxPathBytes + 1, 'n'), "mid", std::string(kMaxPathBytes, 'k')});
    ASSERT_EQ(Profile().recentFiles.size(), 3u);
    EXPECT_EQ(Profile().recentFiles[0], std::string(kMaxPathBytes, 'k'));
    EXPECT_EQ(Profile().recentFiles[1], "mid");
    EXPECT_EQ(Profile().recentFiles[2], "old");
}

// Recent paths and the default folder are the system's bytes: characters outside the code page come
// back whole from the file, and a path the file holds in its UTF-8 is read as those bytes.
TEST_F(ProfileTest, RecentPathsAndTheFolderKeepEveryCharacter) {
    const std::string cyrillic = "/home/u/\xD0\x94\xD0\xBE\xD0\xBA\xD1\x83\xD0\xBC\xD0\xB5"
                                 "\xD0\xBD\xD1\x82\xD1\x8B/b.vln";
    const std::string latin = "/home/u/Caf\xC3\xA9 & <co>/b.vln";
    Profile().recentFiles = {cyrillic, latin};
    Profile().folder = cyrillic.substr(0, cyrillic.rfind('/'));
    const std::string path = dir.Path("settings.xml");
    ASSERT_EQ(SaveProfile(path, false), kErrorNone);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("<Folder>" + Profile().folder + "</Folder>"), std::string::npos);
    EXPECT_NE(text.find("<RecentFile>" + cyrillic + "</RecentFile>"), std::string::npos);
    EXPECT_NE(text.find("<RecentFile>/home/u/Caf\xC3\xA9 &amp; &lt;co&gt;/b.vln</RecentFile>"),
              std::string::npos);
    Profile() = SettingsProfile{};
    ASSERT_EQ(LoadProfile(path, false), kErrorNone);
    EXPECT_EQ(Profile().recentFiles, (std::vector<std::string>{cyrillic, latin}));
    EXPECT_EQ(Profile().folder, cyrillic.substr(0, cyrillic.rfind('/')));
}

} // namespace vl

namespace vl {

// A list entry the profile cannot hold is passed over and its neighbours kept: the last
// accepted length (255 bytes) reads back, the first refused one (256) and a long one (289,
// the length a deep folder gives) are skipped without failing the file.
TEST(ProfileLists, EntriesTooLongAreSkippedAndTheRestKept) {
    // Bookmarks hold 255 bytes; paths what the system opens.
    const std::string last(255, 'l'), refused(256, 'r'), deep = "/" + std::string(288, 'd');
    const std::string lastPath(kMaxPathBytes, 'p'), refusedPath(kMaxPathBytes + 1, 'q');
    const std::string body = "<UndoLevel>33</UndoLevel><Bookmark>" + refused +
                             "</Bookmark><Bookmark>" + last + "</Bookmark><RecentFile>one" +
                             "</RecentFile><RecentFile>" + deep + "</RecentFile><RecentFile>" +
                             lastPath + "</RecentFile><RecentFile>" + refusedPath +
                             "</RecentFile><RecentFile>two</RecentFile>";
    SettingsProfile p;
    ASSERT_EQ(Read(Doc(body), p), kErrorNone);
    EXPECT_EQ(p.undoLevel, 33);
    EXPECT_EQ(p.bookmarks, std::vector<std::string>{last});
    EXPECT_EQ(p.recentFiles, (std::vector<std::string>{"one", deep, lastPath, "two"}));
    // What the reader keeps it also writes back, whole.
    SettingsProfile again;
    ASSERT_EQ(Read(Written(p), again), kErrorNone);
    EXPECT_EQ(again.recentFiles, p.recentFiles);
    EXPECT_EQ(again.bookmarks, p.bookmarks);
}

} // namespace vl

namespace vl {

// Every list of the profile full, each entry at the longest text it takes, goes through the
// file and comes back equal.
TEST(ProfileLists, EveryListAtItsLimitsRoundTripsThroughAFile) {
    tempfiles::TempFolder folder;
    const auto text = [](char c, int i) {
        std::string t(kProfileTextSize - 1, c);
        t.replace(0, std::to_string(i).size(), std::to_string(i)); // each entry its own
        return t;
    };
    SettingsProfile full;
    full.folder = text('d', 0);
    for (int i = 0; i < kMaxBookmarks; ++i) full.bookmarks.push_back(text('b', i));
    for (int i = 0; i < kMaxRecentFiles; ++i) full.recentFiles.push_back(text('r', i));
    for (int i = 0; i < kMaxUserNumericFormats; ++i) {
        const std::string n = std::to_string(i);
        full.userNumericFormats.push_back(
            {n + std::string(kUserNumericFormatTextSize - 1 - n.size(), 'n'),
             n + std::string(kUserNumericFormatTextSize - 1 - n.size(), '0')});
    }
    Profile() = full;
    const std::string path = folder.Path("settings.xml");
    ASSERT_EQ(SaveProfile(path, false), kErrorNone);
    Profile() = SettingsProfile{};
    ASSERT_EQ(LoadProfile(path, false), kErrorNone);
    EXPECT_EQ(Profile().folder, full.folder);
    EXPECT_EQ(Profile().bookmarks, full.bookmarks);
    EXPECT_EQ(Profile().recentFiles, full.recentFiles);
    ASSERT_EQ(Profile().userNumericFormats.size(), full.userNumericFormats.size());
    for (std::size_t i = 0; i < full.userNumericFormats.size(); ++i) {
        EXPECT_EQ(Profile().userNumericFormats[i].name, full.userNumericFormats[i].name) << i;
        EXPECT_EQ(Profile().userNumericFormats[i].pattern, full.userNumericFormats[i].pattern) << i;
    }
    Profile() = SettingsProfile{};
}

} // namespace vl
