// The Protection dialog of a protected workbook, by keys through the input queue: Return
// without a change keeps the password and its encryption, asking only the read-only question
// when read-only access is allowed.

#include "dialogs/dialoguiservices.h"
#include "dialogs/protectiondlg.h"
#include "modaldialogkeys.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "ui_protectiondlg.h"
#include "wndtest.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vl {

namespace {

class ProtectionKeysTest : public wndtest::WindowTest {
protected:
    // Runs the Protection command with the real dialog and gives it to `use` once it has the
    // keyboard.
    void WithDialog(const std::function<void(CProtectionDlg&)>& use) {
        wndtest::WithModalDialog<CProtectionDlg>(ui, *Active(), ID_FILE_PROTECTION, use);
    }
};

TEST_F(ProtectionKeysTest, ReturnWithoutAChangeKeepsTheProtection) {
    const struct {
        bool readOnly;
        int encryption;
        uint8_t code;
        size_t boxes; // the read-only question only
    } cases[] = {{false, 0, 2, 0}, {true, 1, 3, 1}, {false, 1, 4, 0}, {true, 0, 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.code));
        ASSERT_NE(NewWindow(), nullptr);
        ASSERT_TRUE(testwait::UntilActive(frame.get()));
        ui.answers.assign(c.boxes, IDYES);
        WithDialog([&](CProtectionDlg& dialog) {
            Ui::ProtectionDialog& f = dialog.Form();
            f.id189->click();
            f.id215->setCurrentIndex(c.encryption);
            QTest::keyClicks(f.id205, QStringLiteral("Secret7x"));
            QTest::keyClicks(f.id257, QStringLiteral("Secret7x"));
            f.id216->setChecked(c.readOnly);
            f.id1->click();
        });
        ASSERT_EQ(Book().encryption, c.code);
        ui.boxes.clear();
        ui.answers.assign(c.boxes, IDYES);
        Active()->SetModified(false);
        WithDialog([&](CProtectionDlg& dialog) {
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
        });
        EXPECT_EQ(ui.boxes.size(), c.boxes);
        EXPECT_EQ(Book().encryption, c.code);
        EXPECT_STREQ(Book().password, "Secret7x");
        // A changed confirmation is still refused.
        ui.boxes.clear();
        ui.answers.assign(c.boxes, IDYES);
        WithDialog([&](CProtectionDlg& dialog) {
            Ui::ProtectionDialog& f = dialog.Form();
            f.id257->setFocus();
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Backspace);
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(QApplication::focusWidget(), f.id257);
            QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
        });
        ASSERT_FALSE(ui.boxes.empty());
        EXPECT_EQ(ui.boxes.back().text,
                  "The entered passwords do not match. Please re-type your password.");
        EXPECT_EQ(Book().encryption, c.code);
        EXPECT_STREQ(Book().password, "Secret7x");
        Active()->SetModified(false);
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
}

} // namespace

} // namespace vl
