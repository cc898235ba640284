#include "core/settings.h"
#include "dialogs/dialoguiservices.h"
#include "dialogs/numberedit.h"
#include "dialogs/optionsdlg.h"
#include "tests/dialogs/dialogtest.h"
#include "ui_optionsdlg.h"

#include <QFontDatabase>
#include <QPushButton>
#include <QTest>
#include <cstring>

using namespace vl;
using namespace vl::dialogtest;

namespace {

// Keeps the profile of the other tests.
struct ProfileGuard {
    SettingsProfile kept = Profile();
    ~ProfileGuard() { Profile() = kept; }
};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

class FolderUi : public FakeUi {
public:
    QString ChooseFolder(const QString& title, const QString& start) override {
        shownTitle = title;
        startedAt = start;
        return chosen;
    }
    QString chosen, shownTitle, startedAt;
};

} // namespace

TEST(OptionsDialog, BuiltAsTheTemplate) {
    ProfileGuard guard;
    FakeUi ui;
    COptionsDlg dialog(nullptr);
    Ui::OptionsDialog& f = dialog.Form();
    const std::pair<QString, QString> labels[] = {
        {f.label205->text(), "&Undo/Redo level:"},
        {f.label257->text(), "&Copy/Paste level:"},
        {f.id216->text(), "&R1C1 address notation"},
        {f.id1001->text(), "&Hide cell markers"},
        {f.id218->text(), "&Show formulas"},
        {f.id1007->text(), "Au&to-formatting"},
        {f.label215->text(), "&AutoSave:"},
        {f.label1059->text(), "Auto&Close:"},
        {f.label229->text(), "D&efault updating:"},
        {f.label1019->text(), "Default file &format:"},
        {f.label1021->text(), "A&fter pressing Enter:"},
        {f.label405->text(), "Start fol&der:"},
        {f.id408->text(), "Bro&wse..."},
        {f.label207->text(), "Wi&ndows opacity:"},
        {f.label221->text(), "Fon&t:"},
        {dialog.windowTitle(), "Options"},
    };
    for (const auto& [shown, expected] : labels) EXPECT_EQ(shown, expected);
    const QStringList minutes = {"Never",         "After 1 min (of inactivity)",
                                 "After 2 mins",  "After 3 mins",
                                 "After 5 mins",  "After 10 mins",
                                 "After 15 mins", "After 20 mins",
                                 "After 25 mins", "After 30 mins",
                                 "After 45 mins", "After 60 mins"};
    EXPECT_EQ(Items(f.id215), minutes);
    EXPECT_EQ(Items(f.id1059), minutes);
    EXPECT_EQ(
        Items(f.id229),
        QStringList({"Automatically, all worksheets", "Automatically, only the current worksheet",
                     "Manually, all worksheets", "Manually, only the current worksheet"}));
    EXPECT_EQ(Items(f.id1019), QStringList({"XML", "XML compressed (gzipped)", "Binary",
                                            "Binary compressed (gzipped)"}));
    EXPECT_EQ(
        Items(f.id1021),
        QStringList({"(No action)", "Move down by one cell", "Move down to the next non-empty cell",
                     "Move right by one cell", "Move right to the next non-empty cell"}));
    // Every family once, without regard to case.
    QStringList lower;
    for (const QString& face : Items(f.id221)) {
        EXPECT_FALSE(lower.contains(face.toLower()));
        lower << face.toLower();
    }
    for (const QString& family : QFontDatabase::families())
        EXPECT_TRUE(lower.contains(family.toLower()));
    for (CNumberEdit* edit : {f.id205, f.id257, f.id207})
        EXPECT_EQ(edit->NumberKind(), CNumberEdit::kInteger);
    for (const char* name : {"id369", "id370", "id1008"})
        EXPECT_NE(dialog.findChild<CUpDown*>(name), nullptr) << name;
}

TEST(OptionsDialog, FillsFromTheProfile) {
    ProfileGuard guard;
    FakeUi ui;
    const struct {
        uint8_t autoSave, fileFormat, updateMode, enter;
        int saveItem, formatItem, updateItem, enterItem;
    } cases[] = {
        {4, 4, 2, 3, 3, 3, 1, 3},      {0, 9, 1, 0, 0, 0, 0, 0}, {60, 1, 4, 4, 11, 0, 3, 4},
        {255, 0, 7, 9, 11, 0, -1, -1}, {1, 2, 3, 1, 1, 1, 2, 1},
    };
    for (const auto& c : cases) {
        SettingsProfile& p = Profile();
        p.autoSave = c.autoSave;
        p.autoClose = c.autoSave;
        p.fileFormat = c.fileFormat;
        p.updateMode = c.updateMode;
        p.whenEnterPressed = c.enter;
        p.addressingA1 = 0;
        p.undoLevel = 33;
        p.folder = "/start";
        COptionsDlg dialog(nullptr);
        Ui::OptionsDialog& f = dialog.Form();
        EXPECT_EQ(f.id215->currentIndex(), c.saveItem);
        EXPECT_EQ(f.id1059->currentIndex(), c.saveItem);
        EXPECT_EQ(f.id1019->currentIndex(), c.formatItem);
        EXPECT_EQ(f.id229->currentIndex(), c.updateItem);
        EXPECT_EQ(f.id1021->currentIndex(), c.enterItem);
        EXPECT_TRUE(f.id216->isChecked());
        EXPECT_EQ(f.id205->text(), "33");
        EXPECT_EQ(f.id405->text(), "/start");
    }
}

TEST(OptionsDialog, OkWritesEverySetting) {
    ProfileGuard guard;
    FakeUi ui;
    Profile().autoSave = 4;
    COptionsDlg dialog(nullptr);
    Ui::OptionsDialog& f = dialog.Form();
    f.id205->setText("200");
    f.id257->setText("16");
    f.id207->setText("10");
    f.id216->setChecked(true);
    f.id1001->setChecked(true);
    f.id218->setChecked(true);
    f.id1007->setChecked(false);
    f.id1059->setCurrentIndex(11);
    f.id229->setCurrentIndex(2);
    f.id1019->setCurrentIndex(3);
    f.id1021->setCurrentIndex(4);
    f.id405->setText("/home/someone");
    ASSERT_GT(f.id221->count(), 0);
    f.id221->setCurrentIndex(0);
    f.id1->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    const SettingsProfile& p = Profile();
    EXPECT_EQ(p.undoLevel, 200);
    EXPECT_EQ(p.copyLevel, 16);
    EXPECT_EQ(p.opacity, 10);
    EXPECT_EQ(p.addressingA1, 0);
    EXPECT_EQ(p.hideCellMarkers, 1);
    EXPECT_EQ(p.showFormulas, 1);
    EXPECT_EQ(p.autoFormatting, 0);
    EXPECT_EQ(p.autoSave, 4); // shown as the entry for 3 minutes, left as it was
    EXPECT_EQ(p.autoClose, 60);
    EXPECT_EQ(p.updateMode, 3);
    EXPECT_EQ(p.fileFormat, 4); // "Binary compressed (gzipped)"
    EXPECT_EQ(p.whenEnterPressed, 4);
    EXPECT_EQ(p.folder, "/home/someone");
    EXPECT_EQ(QString::fromLatin1(p.font.faceName), f.id221->itemText(0));
}

// OK without a change keeps every setting, also one the lists show by a nearby entry or by
// none (a value the settings file holds between or beyond the lists' entries).
TEST(OptionsDialog, OkWithoutAChangeKeepsEverySetting) {
    ProfileGuard guard;
    FakeUi ui;
    const struct {
        uint8_t autoSave, autoClose, fileFormat, updateMode, enter;
    } cases[] = {{4, 7, 4, 2, 3}, {0, 0, 9, 1, 0}, {255, 61, 0, 7, 9}, {1, 2, 3, 4, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.autoSave));
        SettingsProfile& p = Profile();
        p.autoSave = c.autoSave;
        p.autoClose = c.autoClose;
        p.fileFormat = c.fileFormat;
        p.updateMode = c.updateMode;
        p.whenEnterPressed = c.enter;
        std::strcpy(p.font.faceName, "no such face here");
        p.folder = "/start";
        const SettingsProfile before = p;
        COptionsDlg dialog(nullptr);
        dialog.Form().id1->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(p.autoSave, before.autoSave);
        EXPECT_EQ(p.autoClose, before.autoClose);
        EXPECT_EQ(p.fileFormat, before.fileFormat);
        EXPECT_EQ(p.updateMode, before.updateMode);
        EXPECT_EQ(p.whenEnterPressed, before.whenEnterPressed);
        EXPECT_STREQ(p.font.faceName, before.font.faceName);
        EXPECT_EQ(p.undoLevel, before.undoLevel);
        EXPECT_EQ(p.copyLevel, before.copyLevel);
        EXPECT_EQ(p.opacity, before.opacity);
        EXPECT_EQ(p.folder, before.folder);
    }
}

// Every value is checked before any is written: a refused OK changes nothing.
TEST(OptionsDialog, RefusedValuesChangeNothing) {
    const struct {
        const char* undo;
        const char* copy;
        const char* opacity;
        QString folder;
        bool ok;
        const char* focus;
        int boxes;
    } cases[] = {
        {"1", "4", "50", "/f", false, "id205", 0},
        {"201", "4", "50", "/f", false, "id205", 0},
        {"2", "4", "50", "/f", true, "", 0},
        {"200", "4", "50", "/f", true, "", 0},
        {"", "4", "50", "/f", false, "id205", 0},
        {"20", "0", "50", "/f", false, "id257", 0},
        {"20", "17", "50", "/f", false, "id257", 0},
        {"20", "1", "9", "/f", false, "id207", 0},
        {"20", "1", "101", "/f", false, "id207", 0},
        {"20", "1", "100", "/f", true, "", 0},
        {"20", "4", "50", "/" + QString(254, 'a'), true, "", 0},
        {"20", "4", "50", "/" + QString(255, 'a'), false, "id405", 1},
        // A folder outside the code page is kept as the system's bytes, 255 of them at most.
        {"20", "4", "50", QString::fromUtf8("/\u4e2d"), true, "", 0},
        {"20", "4", "50", "/" + QString(127, QChar(0x436)), true, "", 0},
        {"20", "4", "50", "/" + QString(127, QChar(0x436)) + "a", false, "id405", 1},
    };
    for (const auto& c : cases) {
        ProfileGuard guard;
        FakeUi ui;
        Profile().undoLevel = 7;
        Profile().copyLevel = 3;
        Profile().opacity = 90;
        Profile().showFormulas = 0;
        Profile().folder = "/kept";
        COptionsDlg dialog(nullptr);
        dialog.show();
        Ui::OptionsDialog& f = dialog.Form();
        f.id205->setText(c.undo);
        f.id257->setText(c.copy);
        f.id207->setText(c.opacity);
        f.id218->setChecked(true);
        f.id405->setText(c.folder);
        f.id1->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.ok) << c.undo << c.copy << c.opacity;
        EXPECT_EQ(int(ui.boxes.size()), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(ui.boxes[0], "Please enter no more than 255 characters.");
        }
        if (c.ok) {
            EXPECT_EQ(Profile().folder, c.folder.toStdString());
            continue;
        }
        EXPECT_EQ(ui.beeps + int(ui.boxes.size()), 1);
        EXPECT_EQ(dialog.focusWidget()->objectName(), c.focus);
        EXPECT_EQ(Profile().undoLevel, 7);
        EXPECT_EQ(Profile().copyLevel, 3);
        EXPECT_EQ(Profile().opacity, 90);
        EXPECT_EQ(Profile().showFormulas, 0);
        EXPECT_EQ(Profile().folder, "/kept");
    }
}

TEST(OptionsDialog, OpacityPreviewAndCancel) {
    ProfileGuard guard;
    FakeUi ui;
    Profile().opacity = 100;
    COptionsDlg dialog(nullptr);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.Form().id207->setFocus();
    dialog.Form().id207->clear();
    QTest::keyClicks(dialog.Form().id207, "50");
    EXPECT_NEAR(dialog.windowOpacity(), 127 / 255.0, 0.002);
    QTest::keyClicks(dialog.Form().id207, "0"); // 500: no preview
    EXPECT_NEAR(dialog.windowOpacity(), 127 / 255.0, 0.002);
    dialog.Form().id2->click();
    EXPECT_EQ(Profile().opacity, 100);
}

// Browse only fills the edit; OK takes it into the profile, Cancel does not.
TEST(OptionsDialog, BrowseFillsTheEditOnly) {
    for (const bool ok : {false, true}) {
        ProfileGuard guard;
        FolderUi ui;
        Profile().folder = "/old";
        ui.chosen = "/chosen/folder";
        COptionsDlg dialog(nullptr);
        dialog.Form().id405->setText("/typed");
        dialog.Form().id408->click();
        EXPECT_EQ(ui.shownTitle, "Default Folder");
        EXPECT_EQ(ui.startedAt, "/typed");
        EXPECT_EQ(dialog.Form().id405->text(), "/chosen/folder");
        EXPECT_EQ(Profile().folder, "/old");
        (ok ? dialog.Form().id1 : dialog.Form().id2)->click();
        EXPECT_EQ(Profile().folder, ok ? "/chosen/folder" : "/old");
    }
    // A cancelled chooser leaves the edit.
    FolderUi ui;
    COptionsDlg dialog(nullptr);
    dialog.Form().id405->setText("/typed");
    dialog.Form().id408->click();
    EXPECT_EQ(dialog.Form().id405->text(), "/typed");
}

// The font box shows the profile's font: found among the families whatever its case, as
// itself when the screen lacks it, and never a family that merely contains its name.
TEST(OptionsDialog, FontBoxShowsTheProfilesFont) {
    ProfileGuard guard;
    FakeUi ui;
    QStringList families; // each name once, as the dialog lists them
    for (const QString& family : QFontDatabase::families())
        if (!families.contains(family, Qt::CaseInsensitive)) families << family;
    ASSERT_FALSE(families.isEmpty());
    const QString installed = families.front();
    const struct {
        QString face;
        QString shown;
        bool added; // an entry of its own ahead of the families
    } cases[] = {
        {installed, installed, false},
        {installed.toUpper(), installed, false},
        {"Arial Imaginary", "Arial Imaginary", true},
        {installed.left(installed.size() - 1), installed.left(installed.size() - 1), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.face.toStdString());
        const std::string face = c.face.toStdString();
        std::memset(Profile().font.faceName, 0, sizeof Profile().font.faceName);
        std::memcpy(Profile().font.faceName, face.data(), face.size());
        COptionsDlg dialog(nullptr);
        Ui::OptionsDialog& f = dialog.Form();
        EXPECT_EQ(f.id221->currentText(), c.shown);
        EXPECT_EQ(f.id221->count(), families.size() + (c.added ? 1 : 0));
        if (c.added) {
            EXPECT_EQ(f.id221->itemText(0), c.shown);
        }
        f.id1->click();
        EXPECT_EQ(QString::fromLatin1(Profile().font.faceName), c.shown);
    }
}
