// The workbook's keys from the frame's boxes: Ctrl+S and F12 save from the address box and
// from either box of the search bar, while Delete, the arrows, Shift+Ins, Ctrl+Ins and Ctrl+Z
// stay in the box.

#include "app/frametoolbars.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "wndtest.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QToolBar>

namespace vl {

namespace {

class BoxShortcutsTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    // A key through the window system to whatever has the keyboard.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(testwait::PressKey(key, modifiers));
        Settle();
    }
};

TEST_F(BoxShortcutsTest, SaveKeysReachTheWindowAndTextKeysStayInTheBox) {
    frame->OnCommand(ID_EDIT_FIND);
    Settle();
    QToolBar* search = frame->Toolbar(kSearchBar);
    ASSERT_TRUE(search->isVisible());
    const QList<QComboBox*> searchBoxes = search->findChildren<QComboBox*>();
    ASSERT_EQ(searchBoxes.size(), 2);
    const std::pair<const char*, QComboBox*> boxes[] = {
        {"address", frame->AddressBox()}, {"find", searchBoxes[0]}, {"replace", searchBoxes[1]}};
    int n = 0;
    for (const auto& [name, box] : boxes) {
        SCOPED_TRACE(name);
        Enter(0, 0, QString::fromLatin1(name));
        ASSERT_TRUE(Active()->IsModified());
        box->setFocus();
        ASSERT_TRUE(testwait::UntilKeysReach(box));
        box->lineEdit()->clear();
        for (Qt::Key key : {Qt::Key_A, Qt::Key_B, Qt::Key_C}) Press(key);
        Press(Qt::Key_Left);
        Press(Qt::Key_Delete); // the "c"
        Press(Qt::Key_Home);
        Press(Qt::Key_Right);
        Press(Qt::Key_Backspace); // the "a"
        EXPECT_EQ(box->lineEdit()->text(), "b");
        EXPECT_EQ(CellText(0, 0), name);
        // The line's own pasting, copying and undoing (Shift+Ins, Ctrl+Ins, Ctrl+Z) stay in
        // it too: the workbook's would paste into the cell, copy the cell, undo its typing.
        QGuiApplication::clipboard()->setText(QStringLiteral("zz"));
        Press(Qt::Key_Insert, Qt::ShiftModifier); // at the caret, before the "b"
        EXPECT_EQ(box->lineEdit()->text(), "zzb");
        Press(Qt::Key_A, Qt::ControlModifier);
        Press(Qt::Key_Insert, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "zzb");
        Press(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(box->lineEdit()->text(), "b");
        EXPECT_EQ(CellText(0, 0), name);
        EXPECT_TRUE(Active()->IsModified());
        // Ctrl+S saves (the new workbook under the name asked); F12 saves under another name.
        const QString path = Active()->FilePath();
        ui.savePath = QString::fromStdString(TempPath(std::to_string(n) + "-first.vln"));
        Press(Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(Active()->IsModified());
        EXPECT_EQ(Active()->FilePath(), path.isEmpty() ? ui.savePath : path);
        EXPECT_TRUE(QFile::exists(Active()->FilePath()));
        ui.savePath = QString::fromStdString(TempPath(std::to_string(n++) + "-second.vln"));
        Press(Qt::Key_F12);
        EXPECT_TRUE(QFile::exists(ui.savePath));
        EXPECT_EQ(Active()->FilePath(), ui.savePath);
        // The box kept the keyboard and its text.
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_EQ(box->lineEdit()->text(), "b");
    }
}

} // namespace

} // namespace vl
