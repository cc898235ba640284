// The longest passwords through the real dialogs: what the Protection dialog takes is what
// the file is encrypted with, and the same characters typed into the open-password box open
// it again.

#include "dialogs/dialoguiservices.h"
#include "dialogs/protectiondlg.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "ui_passworddlg.h"
#include "ui_protectiondlg.h"
#include "wndtest.h"

#include <QApplication>
#include <QMdiArea>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vl {

namespace {

class LongPasswordTest : public wndtest::WindowTest {
protected:
    // Runs `command` with the real dialogs; `fill` is given the modal dialog it opens.
    void WithDialogs(const std::function<void()>& command,
                     const std::function<bool(QWidget*)>& fill) {
        CDialogUiServices services(ui);
        SetUiServices(&services);
        bool filled = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && !filled && fill(modal)) {
                filled = true;
                poll.stop();
            }
        });
        poll.start();
        command();
        SetUiServices(&ui);
        EXPECT_TRUE(filled);
    }
};

// An uneven text of `length` characters, so that any character lost changes the key.
std::string Password(size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += char('a' + (i * 7 + length) % 26);
    return text;
}

TEST_F(LongPasswordTest, WhatTheProtectionDialogTakesOpensTheFile) {
    for (const size_t length : {size_t(1023), size_t(1024), size_t(1025)}) {
        SCOPED_TRACE(length);
        const std::string typed = Password(length);
        const std::string kept = typed.substr(0, kPasswordLength); // the boxes take no more
        ASSERT_NE(NewWindow(), nullptr);
        frame->activateWindow(); // the keyboard back from the last dialog
        Settle();
        Active()->HandleCommand(ID_FORMAT_XML + 2); // binary, which carries a password
        Enter(0, 0, QStringLiteral("12.5"));
        ASSERT_EQ(CellText(0, 0), "12.5");
        WithDialogs([&] { Active()->HandleCommand(ID_FILE_PROTECTION); },
                    [&](QWidget* modal) {
                        auto* dialog = dynamic_cast<CProtectionDlg*>(modal);
                        if (!dialog) return false;
                        Ui::ProtectionDialog& f = dialog->Form();
                        f.id189->click();
                        QTest::keyClicks(f.id205, QString::fromStdString(typed));
                        QTest::keyClicks(f.id257, QString::fromStdString(typed));
                        EXPECT_EQ(f.id205->text().size(), qsizetype(kept.size()));
                        f.id1->click();
                        return true;
                    });
        ASSERT_NE(Book().encryption, 0);
        EXPECT_EQ(std::string(Book().password), kept);
        const std::string path = TempPath("long" + std::to_string(length) + ".vln");
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        ASSERT_FALSE(Active()->IsModified());
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
        CWorkbookWnd* opened = nullptr;
        WithDialogs([&] { opened = OpenWindow(path); },
                    [&](QWidget* modal) {
                        auto* dialog = dynamic_cast<CPasswordDlg*>(modal);
                        if (!dialog) return false;
                        QTest::keyClicks(dialog->Form().id205, QString::fromStdString(typed));
                        dialog->Form().id1->click();
                        return true;
                    });
        ASSERT_NE(opened, nullptr);
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(CellText(0, 0), "12.5");
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
}

} // namespace

} // namespace vl
