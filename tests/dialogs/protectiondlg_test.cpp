#include "dialogs/dialoguiservices.h"
#include "dialogs/protectiondlg.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/modaltest.h"
#include "ui_passworddlg.h"
#include "ui_protectiondlg.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

using namespace vl;
using namespace vl::dialogtest;

namespace {

const char* const kTooShort = "Please enter at least 6 characters as a password.";
const char* const kDiffer = "The entered passwords do not match. Please re-type your password.";

// Types characters that have no key of their own, as an input method would.
void TypeText(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

} // namespace

TEST(ProtectionDialog, BuiltAsTheTemplate) {
    FakeUi ui;
    for (const bool on : {false, true}) {
        ProtectionChoice choice{on, 1, true, "secret1"};
        CProtectionDlg dialog(nullptr, choice);
        Ui::ProtectionDialog& f = dialog.Form();
        EXPECT_EQ(dialog.windowTitle(), "Workbook Protection");
        EXPECT_EQ(f.id400->text(), "&No protection");
        EXPECT_EQ(f.id189->text(), "&Password protection with");
        EXPECT_EQ(f.id215->itemText(0), "RC4 40-bit encryption");
        EXPECT_EQ(f.id215->itemText(1), "RC4 128-bit encryption");
        EXPECT_EQ(f.id215->currentIndex(), 1);
        EXPECT_EQ(f.label205->text(), "Passwor&d:");
        EXPECT_EQ(f.label257->text(), "&Confirm password:");
        EXPECT_EQ(f.id216->text(), "&Allow read-only access without the password");
        EXPECT_EQ(f.id205->text(), "secret1");
        EXPECT_EQ(f.id257->text(), "secret1"); // OK without a change keeps it
        EXPECT_EQ(f.id205->maxLength(), 1024);
        EXPECT_EQ(f.id257->maxLength(), 1024);
        EXPECT_EQ(f.id189->isChecked(), on);
        for (QWidget* w : {static_cast<QWidget*>(f.id205), static_cast<QWidget*>(f.id257),
                           static_cast<QWidget*>(f.id216)})
            EXPECT_EQ(w->isEnabled(), on);
        f.id189->click();
        EXPECT_TRUE(f.id205->isEnabled());
        f.id400->click();
        EXPECT_FALSE(f.id257->isEnabled());
    }
}

TEST(ProtectionDialog, OkChecks) {
    const struct {
        bool on;
        const char* password;
        const char* confirm;
        bool readOnly;
        int answer; // to string 148
        bool accepted;
        const char* box;
        const char* focus;
    } cases[] = {
        {false, "x", "y", true, IDNO, true, nullptr, ""}, // ends at once
        {true, "abcde", "abcde", false, IDYES, false, kTooShort, "id205"},
        {true, "abcdef", "abcdef", false, IDYES, true, nullptr, ""},
        {true, "abcdef", "abcdeF", false, IDYES, false, kDiffer, "id257"},
        {true, "abcdef", "abcdef", true, IDYES, true, nullptr, ""},
        {true, "", "", false, IDYES, false, kTooShort, "id205"},
    };
    for (const auto& c : cases) {
        FakeUi ui;
        ui.boxAnswer = c.answer;
        ProtectionChoice choice{!c.on, 0, false, "before"};
        CProtectionDlg dialog(nullptr, choice);
        dialog.show();
        Ui::ProtectionDialog& f = dialog.Form();
        (c.on ? f.id189 : f.id400)->click();
        f.id215->setCurrentIndex(1);
        f.id205->setText(c.password);
        f.id257->setText(c.confirm);
        f.id216->setChecked(c.readOnly);
        f.id1->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.password;
        if (c.box) {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes.back(), c.box);
            EXPECT_EQ(dialog.focusWidget()->objectName(), c.focus);
            EXPECT_EQ(choice.password, "before"); // nothing written
            continue;
        }
        EXPECT_EQ(choice.on, c.on);
        EXPECT_EQ(choice.encryption, 1);
        if (!c.on) {
            EXPECT_TRUE(ui.boxes.empty());
            EXPECT_EQ(choice.password, "before");
            continue;
        }
        EXPECT_EQ(choice.password, c.password);
        EXPECT_EQ(choice.allowReadOnly, c.readOnly);
    }
}

TEST(ProtectionDialog, NoToTheReadOnlyQuestionKeepsAllInput) {
    FakeUi ui;
    ui.boxAnswer = IDNO;
    ProtectionChoice choice{false, 0, false, ""};
    CProtectionDlg dialog(nullptr, choice);
    dialog.show();
    Ui::ProtectionDialog& f = dialog.Form();
    f.id189->click();
    f.id215->setCurrentIndex(1);
    f.id205->setText("abcdef");
    f.id257->setText("abcdef");
    f.id216->setChecked(true);
    f.id1->click();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].startsWith("The protection option you've selected"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(f.id189->isChecked());
    EXPECT_EQ(f.id215->currentIndex(), 1);
    EXPECT_EQ(f.id205->text(), "abcdef");
    EXPECT_EQ(f.id257->text(), "abcdef");
    EXPECT_TRUE(f.id216->isChecked());
    EXPECT_FALSE(choice.on);
    f.id2->click();
    EXPECT_FALSE(choice.on);
    EXPECT_EQ(choice.password, "");
}

// Only characters of the program's code page: any other would hash as "?".
TEST(ProtectionDialog, PasswordsTakeOnlyCodePageCharacters) {
    FakeUi ui;
    ProtectionChoice choice{true, 0, false, ""};
    CProtectionDlg dialog(nullptr, choice);
    dialog.show();
    QLineEdit* edit = dialog.Form().id205;
    edit->setFocus();
    TypeText(edit, QString::fromUtf8("ab\u20ac\u00e9"));
    EXPECT_EQ(edit->text(), QString::fromUtf8("ab\u20ac\u00e9"));
    TypeText(edit, QString::fromUtf8("\u4e2d\u0416"));
    EXPECT_EQ(edit->text(), QString::fromUtf8("ab\u20ac\u00e9"));
    CPasswordDlg password(nullptr, false);
    QLineEdit* asked = password.Form().id205;
    TypeText(asked, QString::fromUtf8("x\u0416y"));
    EXPECT_EQ(asked->text(), "xy");
    EXPECT_EQ(asked->echoMode(), QLineEdit::Password);
}

TEST(PasswordDialog, ReadOnlyCopyAndAnswers) {
    FakeUi fake;
    CDialogUiServices services(fake);
    SetUiServices(&services);
    {
        CPasswordDlg dialog(nullptr, false);
        EXPECT_EQ(dialog.windowTitle(), "Open Password Protected Workbook");
        EXPECT_EQ(dialog.Form().label205->text(), "&Password:");
        EXPECT_EQ(dialog.Form().id408->text(), "Open As &Read-Only");
        EXPECT_FALSE(dialog.Form().id408->isEnabled());
        CPasswordDlg offered(nullptr, true);
        EXPECT_TRUE(offered.Form().id408->isEnabled());
    }
    const struct {
        const char* button;
        bool offered;
        int answer;
        bool readOnly;
        const char* password;
    } cases[] = {
        {"id1", false, IDOK, false, "typed!"},
        {"id408", true, IDOK, true, "kept"},
        {"id2", true, IDCANCEL, false, "kept"},
    };
    for (const auto& c : cases) {
        QString password = "kept";
        bool readOnly = !c.readOnly;
        WhenModal([&](QWidget* w) {
            Child<QLineEdit>(w, "id205")->setText("typed!");
            Child<QPushButton>(w, c.button)->click();
        });
        EXPECT_EQ(services.AskPassword(c.offered, password, readOnly), c.answer);
        EXPECT_EQ(readOnly, c.readOnly);
        EXPECT_EQ(password, c.password);
    }
    SetUiServices(&fake);
}
