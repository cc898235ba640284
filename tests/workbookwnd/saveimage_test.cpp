// Save Selection As Image: the current container, else the selected range, written as the
// PNG that the export makes at 100 %, into a folder the command remembers apart from Save As.

#include "charts/draw/imageexport.h"
#include "model/container.h"
#include "model/workbook.h"
#include "platform/core/errorcode.h"
#include "resources/commandids.h"
#include "wndtest.h"
#include "workbookwnd/documentopen.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <cstdlib>

namespace vl {

namespace {

// Keeps what the save dialog was offered.
class DialogUi : public apptest::FakeUi {
public:
    QString ChooseSaveFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        offers.push_back({caption, folder, filters});
        return FakeUi::ChooseSaveFile(caption, folder, filters, index);
    }
    struct Offer {
        QString caption, folder, filters;
    };
    std::vector<Offer> offers;
};

QByteArray Bytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SaveAsImage : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
        dialogs.clock = &clock;
    }
    CWorksheet& Sheet() const { return *Book().tree.active; }
    void AddContainer(uint16_t id) {
        auto c = NewBlockObject<CContainer>();
        InitContainerDefaults(*c, nullptr, nullptr);
        c->settings.id = id;
        c->settings.anchor = {1, 1, 0};
        c->settings.left = 4;
        c->settings.top = 3;
        c->settings.right = 4 + 89;
        c->settings.bottom = 3 + 49;
        LinkContainer(Sheet(), std::move(c));
    }
    void Save(const std::string& path) {
        dialogs.savePath = QString::fromStdString(path);
        frame->OnCommand(ID_SAVE_AS_IMAGE);
    }
    DialogUi dialogs; // installed after the fixture's, so the window asks it
};

} // namespace

TEST_F(SaveAsImage, WritesTheCurrentContainerElseTheSelectedRange) {
    Enter(0, 0, "12");
    Enter(1, 1, "text");
    AddContainer(7);
    View()->SetSelection({0, 0, 2, 3});
    const std::string sheet = "\\" + std::string(Sheet().name);
    const std::string range = TempPath("range.png"), box = TempPath("box.png");
    ASSERT_TRUE(RenderRangeToBitmap(Book(), sheet.c_str(), {0, 0, 2, 3}, range.c_str(),
                                    kImageFormatPng, 0.0, {100, 100}));
    ASSERT_TRUE(RenderContainerToBitmap(Book(), sheet.c_str(), 7, box.c_str(), kImageFormatPng, 0.0,
                                        {100, 100}));
    Sheet().view.scale = 150; // the window's zoom does not reach the picture
    struct Case {
        uint16_t current;
        const std::string* expected;
    } cases[] = {{0, &range}, {7, &box}, {9, &range}}; // 9: no such container any more
    for (const Case& c : cases) {
        View()->SetCurrentContainer(c.current);
        const std::string out = TempPath("out" + std::to_string(c.current) + ".png");
        Save(out);
        EXPECT_EQ(Bytes(out), Bytes(*c.expected)) << c.current;
        EXPECT_TRUE(dialogs.boxes.empty()) << c.current;
    }
    ASSERT_EQ(dialogs.offers.size(), 3u);
    EXPECT_EQ(dialogs.offers[0].caption, "Save Selection As Image");
    EXPECT_EQ(dialogs.offers[0].filters, "PNG (*.png) (*.png)");
    EXPECT_NE(Bytes(range), Bytes(box));
}

TEST_F(SaveAsImage, OffersThePicturesFolderFirstThenTheLastOneUsed) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const std::string pictures = TempPath("pictures"), other = TempPath("other");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pictures)));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(other)));
    {
        QFile dirs(QString::fromStdString(TempPath("user-dirs.dirs")));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(("XDG_PICTURES_DIR=\"" + pictures + "\"\n").c_str());
    }
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder));
    const QString offered = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    DialogMemory().lastFolder = "/somewhere/else"; // Save As's folder is not this one's
    Save(other + "/a.png");
    Save(pictures + "/b.png");
    dialogs.savePath.clear(); // cancelled: the folder stays
    frame->OnCommand(ID_SAVE_AS_IMAGE);
    Save(other + "/c.png");
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
    EXPECT_EQ(offered, QString::fromStdString(pictures));
    ASSERT_EQ(dialogs.offers.size(), 4u);
    const QString expected[] = {QString::fromStdString(pictures), QString::fromStdString(other),
                                QString::fromStdString(pictures), QString::fromStdString(pictures)};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(dialogs.offers[i].folder, expected[i]) << i;
    EXPECT_EQ(DialogMemory().lastFolder, "/somewhere/else");
    EXPECT_EQ(DialogMemory().imageFolder, other);
}

// A user without the Pictures folder is offered the nearest folder above it, never the
// missing folder's name as the file's.
TEST_F(SaveAsImage, AMissingPicturesFolderOffersTheFolderAboveIt) {
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const std::string pictures = TempPath("gone/Pictures");
    {
        QFile dirs(QString::fromStdString(TempPath("user-dirs.dirs")));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
        dirs.write(("XDG_PICTURES_DIR=\"" + pictures + "\"\n").c_str());
    }
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder));
    const QString offered = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    dialogs.savePath.clear();
    frame->OnCommand(ID_SAVE_AS_IMAGE);
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
    ASSERT_EQ(offered, QString::fromStdString(pictures));
    ASSERT_EQ(dialogs.offers.size(), 1u);
    EXPECT_EQ(dialogs.offers[0].folder, QString::fromStdString(folder));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(pictures)));
}

TEST_F(SaveAsImage, ACancelOrAFailureLeavesNoFileAndTheCellsAsTheyWere) {
    Enter(1, 0, "5");
    const std::string kept = TempPath("kept.png");
    {
        QFile file(QString::fromStdString(kept));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    struct Case {
        const char* name;
        std::string path;    // empty: the dialog is cancelled
        CellRange selection; // what the command is asked to draw
        int error;           // the box shown, 0 for none
        std::string file;    // the file afterwards ("" absent)
        QByteArray bytes;
    } cases[] = {
        {"cancel", "", {0, 0, 0, 0}, 0, "", {}},
        {"missing folder",
         TempPath("no/such/x.png"),
         {0, 0, 0, 0},
         kStreamOpenWrite,
         TempPath("no/such/x.png"),
         {}},
        // Every row of a column: far beyond the largest picture.
        {"too large", kept, {0, 0, 0, kLastRow}, kErrorWorksheetMemory, kept, "old"},
    };
    for (const Case& c : cases) {
        dialogs.boxes.clear();
        StartTyping(0, 0, "typed"); // the selections below start at the edited cell
        View()->SetSelection(c.selection);
        Save(c.path);
        EXPECT_FALSE(View()->EditorOpen()) << c.name; // the edit ends first, even on cancel
        EXPECT_EQ(CellText(0, 0), "typed") << c.name;
        EXPECT_EQ(CellText(1, 0), "5") << c.name;
        if (c.error) {
            ASSERT_EQ(dialogs.boxes.size(), 1u) << c.name;
            EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(GetErrorMessage(c.error)))
                << c.name;
        } else {
            EXPECT_TRUE(dialogs.boxes.empty()) << c.name;
        }
        if (!c.file.empty()) {
            EXPECT_EQ(Bytes(c.file), c.bytes) << c.name;
        }
    }
    // Nothing but the kept file was ever written to the folder.
    EXPECT_EQ(QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden),
              QStringList{"kept.png"});
}

} // namespace vl

namespace vl {

// A workbook file that this window or another one holds is not turned into a picture: the
// save is refused as a save over it would be, the file and its holder's saves unchanged.
TEST_F(SaveAsImage, AWorkbookAWindowHoldsIsNotReplaced) {
    Enter(0, 0, "held");
    const std::string book = TempPath("held.vln");
    dialogs.savePath = QString::fromStdString(book);
    frame->OnCommand(ID_FILE_SAVE_AS);
    ASSERT_TRUE(Active()->HasOpenFile());
    CWorkbookWnd* holder = Active();
    const QByteArray before = Bytes(book);
    ASSERT_FALSE(before.isEmpty());
    for (const bool other : {false, true}) {
        if (other) {
            ASSERT_NE(NewWindow(), nullptr);
        }
        dialogs.boxes.clear();
        dialogs.answers = {IDYES}; // "replace?" if the chooser asks
        Save(book);
        ASSERT_EQ(dialogs.boxes.size(), 1u) << other;
        EXPECT_EQ(dialogs.boxes[0].text, QString::fromLatin1(GetErrorMessage(kStreamOpenWrite)))
            << other;
        EXPECT_EQ(Bytes(book), before) << other;
    }
    holder->SetModified(true);
    dialogs.boxes.clear();
    holder->HandleCommand(ID_FILE_SAVE);
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_FALSE(holder->IsModified());
}

} // namespace vl
