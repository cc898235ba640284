// Ctrl+Y redoes in every kind of editor the program has, whatever the platform's own keys for
// redo: a line, a combo box's line, a spin box, a text editor. A read-only editor leaves the key
// to the window's shortcuts. Keys go through the window system's input queue.

#include "tests/common/waits.h"
#include "ui/redokey.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace vl {

namespace {

TEST(RedoKey, CtrlYRedoesInEveryEditorAndAReadOnlyOneLeavesItToTheWindow) {
    InstallRedoKey();
    InstallRedoKey(); // a second call adds nothing
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* line = new QLineEdit;
    auto* combo = new QComboBox;
    combo->setEditable(true);
    auto* spin = new QSpinBox;
    spin->setRange(0, 999);
    auto* plain = new QPlainTextEdit;
    auto* rich = new QTextEdit;
    auto* readOnlyLine = new QLineEdit(QStringLiteral("fixed"));
    readOnlyLine->setReadOnly(true);
    auto* readOnlyText = new QPlainTextEdit(QStringLiteral("fixed"));
    readOnlyText->setReadOnly(true);
    for (QWidget* w :
         {static_cast<QWidget*>(line), static_cast<QWidget*>(combo), static_cast<QWidget*>(spin),
          static_cast<QWidget*>(plain), static_cast<QWidget*>(rich),
          static_cast<QWidget*>(readOnlyLine), static_cast<QWidget*>(readOnlyText)})
        layout->addWidget(w);
    // The window's own Ctrl+Y, as a frame's command would have it.
    int shortcuts = 0;
    auto* redoCommand = new QAction(&window);
    redoCommand->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    QObject::connect(redoCommand, &QAction::triggered, [&] { ++shortcuts; });
    window.addAction(redoCommand);
    // And one with Shift besides, which no editor keeps.
    int shifted = 0;
    auto* shiftCommand = new QAction(&window);
    shiftCommand->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    QObject::connect(shiftCommand, &QAction::triggered, [&] { ++shifted; });
    window.addAction(shiftCommand);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&window));

    struct Case {
        const char* name;
        QWidget* editor;
        std::function<QString()> text;
        bool readOnly;
    };
    const Case cases[] = {
        {"line", line, [&] { return line->text(); }, false},
        {"combo box", combo, [&] { return combo->currentText(); }, false},
        {"spin box", spin, [&] { return spin->text(); }, false},
        {"text", plain, [&] { return plain->toPlainText(); }, false},
        {"rich text", rich, [&] { return rich->toPlainText(); }, false},
        {"read-only line", readOnlyLine, [&] { return readOnlyLine->text(); }, true},
        {"read-only text", readOnlyText, [&] { return readOnlyText->toPlainText(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.editor->setFocus();
        ASSERT_TRUE(testwait::UntilFocused(c.editor));
        const int before = shortcuts;
        if (c.readOnly) {
            ASSERT_TRUE(testwait::PressKey(Qt::Key_Y, Qt::ControlModifier));
            EXPECT_EQ(c.text(), QStringLiteral("fixed"));
            EXPECT_EQ(shortcuts, before + 1);
            continue;
        }
        // Over what the editor holds (the spin box's 0).
        ASSERT_TRUE(testwait::PressKey(Qt::Key_A, Qt::ControlModifier));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_4));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_2));
        ASSERT_EQ(c.text(), QStringLiteral("42"));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Z, Qt::ControlModifier));
        const QString undone = c.text();
        EXPECT_NE(undone, QStringLiteral("42"));
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Y, Qt::ControlModifier));
        EXPECT_EQ(c.text(), QStringLiteral("42"));
        // Nothing left to redo: the key stays with the editor all the same.
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Y, Qt::ControlModifier));
        EXPECT_EQ(c.text(), QStringLiteral("42"));
        EXPECT_EQ(shortcuts, before);
        const int shiftedBefore = shifted;
        ASSERT_TRUE(testwait::PressKey(Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier));
        EXPECT_EQ(shifted, shiftedBefore + 1);
        EXPECT_EQ(c.text(), QStringLiteral("42"));
        EXPECT_EQ(QApplication::focusWidget(), c.editor);
    }
}

} // namespace

} // namespace vl
