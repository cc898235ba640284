#include "tests/common/waits.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "uitestutil.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>

namespace vl {

TEST(Messages, ErrorBoxesShowTheCodesText) {
    uitest::FakeUi ui;
    struct Case {
        int code;
        QString text;
    };
    const Case cases[] = {
        {0, "No error"},
        {43, "No error"},
        {21, "Invalid Vorlane file format\n\nPlease choose the correct format from the 'Files of "
             "type' list in the 'Open' dialog box."},
        {110, "Can't open the Clipboard"},
    };
    for (const Case& c : cases) ShowErrorMessage(c.code);
    ASSERT_EQ(ui.boxes.size(), std::size(cases));
    for (std::size_t i = 0; i < ui.boxes.size(); ++i) {
        EXPECT_EQ(ui.boxes[i].text, cases[i].text) << cases[i].code;
        EXPECT_EQ(ui.boxes[i].title, QStringLiteral("Vorlane 7.3"));
        EXPECT_EQ(ui.boxes[i].flags, uint32_t(MB_ICONEXCLAMATION | MB_TASKMODAL));
    }
}

TEST(Messages, XmlErrorsEndWithTheirLine) {
    uitest::FakeUi ui;
    ShowErrorMessageAtLine(56, 12);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("An unexpected xml element\nLine: 12"));
}

TEST(Messages, StringMessagesAreTaskModalAndReturnTheAnswer) {
    uitest::FakeUi ui;
    ui.answers = {IDNO};
    EXPECT_EQ(ShowStringMessage(160, MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Remove the current address from the list?"));
    EXPECT_EQ(ui.boxes[0].flags, uint32_t(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL));
}

TEST(Messages, RealBoxGivesItsButtonsAnswerAndCancelOnEscape) {
    QWidget owner;
    owner.show();
    QMessageBox* box = BuildMessageBox(QStringLiteral("Save changes?"), AppTitle(),
                                       MB_YESNOCANCEL | MB_ICONQUESTION, &owner);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box->parentWidget(), &owner); // transient for its owner, never behind it
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Vorlane 7.3"));
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    int finished = 0;
    QObject::connect(box, &QMessageBox::finished, [&finished] { ++finished; });
    box->open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box, testwait::kWindowWaitMs));
    EXPECT_EQ(QApplication::activeModalWidget(), box);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(MessageBoxAnswer(*box), IDCANCEL);
    delete box;
    // A button's letter answers at once, with the key, not a tenth of a second later: a key
    // typed right after it belongs to the window under the box. Each button's letter, and a
    // letter with Ctrl, which answers nothing.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int answer; // 0: the box stays open
    } letters[] = {{Qt::Key_Y, Qt::NoModifier, IDYES},
                   {Qt::Key_N, Qt::NoModifier, IDNO},
                   {Qt::Key_N, Qt::ControlModifier, 0}};
    for (const auto& l : letters) {
        box = BuildMessageBox(QStringLiteral("Save changes?"), AppTitle(),
                              MB_YESNOCANCEL | MB_ICONQUESTION, &owner);
        box->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box, testwait::kWindowWaitMs));
        QTest::keyClick(box->windowHandle(), l.key, l.modifiers);
        EXPECT_EQ(box->isVisible(), l.answer == 0) << l.key;
        if (l.answer) {
            EXPECT_EQ(MessageBoxAnswer(*box), l.answer) << l.key;
        }
        delete box;
    }
    // A button gives its own answer.
    box = BuildMessageBox(QStringLiteral("Remove?"), AppTitle(), MB_YESNO, nullptr);
    box->open();
    box->button(QMessageBox::No)->click();
    EXPECT_EQ(MessageBoxAnswer(*box), IDNO);
    delete box;
    // Return answers with the first button, or with the second when the flags say so.
    const struct {
        uint32_t flags;
        int answer;
    } defaults[] = {{MB_YESNO, IDYES},
                    {MB_YESNO | MB_DEFBUTTON2, IDNO},
                    {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
                    {MB_OKCANCEL, IDOK}};
    for (const auto& d : defaults) {
        box = BuildMessageBox(QStringLiteral("Continue?"), AppTitle(), d.flags, &owner);
        box->open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box, testwait::kWindowWaitMs));
        QTest::keyClick(box->windowHandle(), Qt::Key_Return);
        EXPECT_EQ(MessageBoxAnswer(*box), d.answer) << d.flags;
        delete box;
    }
}

} // namespace vl
