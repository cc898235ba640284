#include "dialogs/dialoguiservices.h"
#include "dialogs/dialogutil.h"
#include "dialogs/fontdialog.h"
#include "tests/common/waits.h"
#include "tests/dialogs/dialogtest.h"
#include "ui/uiutil.h"
#include "ui_fontdialog.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstring>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

LogFont Font(const char* face, int32_t height, int32_t weight, uint8_t italic) {
    LogFont f;
    std::strncpy(f.faceName, face, sizeof f.faceName - 1);
    f.height = height;
    f.weight = weight;
    f.italic = italic;
    return f;
}

} // namespace

TEST(FontDialog, ShowsItsControls) {
    CFontColorDlg dialog(nullptr, 4, 72);
    auto& ui = dialog.Form();
    struct Row {
        QString shown, expected;
    };
    const Row rows[] = {
        {dialog.windowTitle(), "Font"},       {ui.faceLabel->text(), "&Font:"},
        {ui.sizeLabel->text(), "&Size:"},     {ui.bold->text(), "&Bold"},
        {ui.italic->text(), "&Italic"},       {ui.underline->text(), "&Underline"},
        {ui.strikeout->text(), "Stri&keout"}, {ui.colorLabel->text(), "&Color:"},
        {ui.sizes->item(0)->text(), "4"},     {ui.sizes->item(ui.sizes->count() - 1)->text(), "72"},
    };
    for (const Row& row : rows) EXPECT_EQ(row.shown, row.expected);
    EXPECT_EQ(ui.color->count(), 18);
    EXPECT_GT(ui.faces->count(), 0);
}

TEST(FontDialog, SizesOutsideTheRangeAreRefused) {
    struct Row {
        const char* size;
        bool accepted;
    };
    const Row rows[] = {{"3", false}, {"4", true}, {"72", true}, {"73", false}, {"x", false}};
    for (const Row& row : rows) {
        FakeUi ui;
        CFontColorDlg dialog(nullptr, 4, 72);
        dialog.SetChoice(Font("Liberation Sans", -16, 700, 1), Rgb(255, 0, 0));
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.open();
        dialog.Form().size->setText(row.size);
        QTest::mouseClick(dialog.Form().buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(finished.count(), row.accepted ? 1 : 0) << row.size;
        EXPECT_EQ(dialog.isVisible(), !row.accepted) << row.size;
        EXPECT_EQ(ui.boxes.size(), row.accepted ? 0u : 1u) << row.size;
        if (!row.accepted) {
            EXPECT_EQ(ui.boxes[0], "Size must be between 4 and 72 points.");
        }
        LogFont out = Font("keep", -1, 1, 0);
        COLORREF color = 7;
        EXPECT_EQ(dialog.Choice(out, color), row.accepted) << row.size;
        if (!row.accepted) {
            EXPECT_STREQ(out.faceName, "keep");
            EXPECT_EQ(out.height, -1);
            EXPECT_EQ(out.weight, 1);
            EXPECT_EQ(color, 7u);
        }
    }
}

TEST(FontDialog, ChoiceRoundTrips) {
    CFontColorDlg dialog(nullptr, 4, 72);
    LogFont in = Font("liberation sans", -16, 700, 1); // the face is found without case
    in.underline = 1;
    in.strikeOut = 1;
    dialog.SetChoice(in, Rgb(0, 128, 0));
    EXPECT_EQ(dialog.Form().size->text(), "12");
    LogFont out;
    COLORREF color = 0;
    ASSERT_TRUE(dialog.Choice(out, color));
    EXPECT_STREQ(out.faceName, "Liberation Sans");
    EXPECT_EQ(out.height, -16);
    EXPECT_EQ(out.weight, 700);
    EXPECT_EQ(out.italic, 1);
    EXPECT_EQ(out.underline, 1);
    EXPECT_EQ(out.strikeOut, 1);
    EXPECT_EQ(color, Rgb(0, 128, 0));
    EXPECT_EQ(dialog.Form().color->currentIndex(), 2);
}

TEST(FontDialog, EditChartFontStoresTheColourFlag) {
    struct Row {
        uint8_t colorGiven;
        COLORREF color, startsWith, chosen;
        uint8_t flagAfter;
    };
    const Row rows[] = {
        {1, Rgb(255, 0, 0), Rgb(255, 0, 0), Rgb(0, 0, 0), 0},
        {0, Rgb(9, 9, 9), Rgb(0, 0, 0), Rgb(0, 0, 128), 1},
        {1, Rgb(1, 1, 1), Rgb(1, 1, 1), Rgb(1, 1, 1), 1},
    };
    for (const Row& row : rows) {
        FakeUi ui;
        ui.answerFont = [&](LogFont& font, uint32_t& color) {
            font.weight = 700;
            color = row.chosen;
            return true;
        };
        ColoredFont record;
        std::strcpy(record.font.faceName, "Liberation Serif");
        record.font.size = 14;
        record.colorGiven = row.colorGiven;
        record.color = row.color;
        ASSERT_TRUE(EditChartFont(record));
        EXPECT_EQ(ui.fontRange, std::make_pair(4, 72));
        EXPECT_EQ(ui.startFontColor, row.startsWith);
        EXPECT_EQ(record.colorGiven, row.flagAfter);
        EXPECT_EQ(record.color, row.chosen);
        EXPECT_STREQ(record.font.faceName, "Liberation Serif");
        EXPECT_EQ(record.font.size, 14);
        EXPECT_EQ(record.font.weight, 2); // bold
    }
}

TEST(FontDialog, EditChartFontCancelledKeepsTheRecord) {
    FakeUi ui;
    ColoredFont record;
    std::strcpy(record.font.faceName, "Liberation Mono");
    record.font.size = 9;
    record.font.weight = 3;
    record.font.italic = 1;
    record.colorGiven = 1;
    record.color = Rgb(3, 4, 5);
    const ColoredFont before = record;
    EXPECT_FALSE(EditChartFont(record));
    EXPECT_EQ(std::memcmp(&record.font, &before.font, sizeof record.font), 0);
    EXPECT_EQ(record.colorGiven, 1);
    EXPECT_EQ(record.color, Rgb(3, 4, 5));
}

TEST(FontDialog, TheServicesRunTheDialog) {
    FakeUi base;
    CDialogUiServices services(base);
    LogFont font = Font("Liberation Sans", -13, 400, 0);
    uint32_t color = Rgb(0, 0, 0);
    // The dialog is answered once its loop runs: size 20, red, OK.
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = dynamic_cast<CFontColorDlg*>(w); dialog && dialog->isVisible()) {
                dialog->Form().size->setText("20");
                dialog->Form().color->setCurrentIndex(9);
                dialog->accept();
            }
        }
    });
    ASSERT_TRUE(services.ChooseFontWithColor(font, color, 4, 72));
    EXPECT_EQ(font.height, -27);
    EXPECT_EQ(color, Rgb(255, 0, 0));
    // Everything else goes to the base services.
    services.Beep();
    EXPECT_EQ(base.beeps, 1);
}

// A face that is not installed leaves the face list without a choice, and a typed size the
// size list: the keys walking through the dialog pick none, so OK gives the font back as it
// came; Cancel changes nothing either; Down in the face list picks a face.
TEST(FontDialog, AFaceNotInstalledComesBackUnlessOneIsPicked) {
    struct Row {
        const char* how;
        bool ok;
        bool pickSecond; // Down in the face list before OK
        bool chosen;
        const char* face; // "" for the list's second face
    };
    const Row rows[] = {{"OK", true, false, true, "Nowhere Installed Sans"},
                        {"Cancel", false, false, false, "Nowhere Installed Sans"},
                        {"Down, OK", true, true, true, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.how);
        FakeUi base;
        CDialogUiServices services(base);
        LogFont font = Font("Nowhere Installed Sans", -13, 400, 0);
        uint32_t color = Rgb(0, 0, 0);
        QString second;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = dynamic_cast<CFontColorDlg*>(w);
                if (!dialog || !dialog->isVisible()) continue;
                auto& form = dialog->Form();
                second = form.faces->item(1)->text();
                dialog->activateWindow();
                EXPECT_TRUE(testwait::UntilActive(dialog));
                form.faces->setFocus(Qt::TabFocusReason);
                // Round the dialog from the face list with Tab, back to it.
                for (int i = 0; i < 30 && (i == 0 || QApplication::focusWidget() != form.faces);
                     ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                EXPECT_EQ(QApplication::focusWidget(), form.faces);
                if (row.pickSecond) QTest::keyClick(form.faces, Qt::Key_Down);
                QTest::mouseClick(
                    form.buttons->button(row.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                    Qt::LeftButton);
            }
        });
        EXPECT_EQ(services.ChooseFontWithColor(font, color, 4, 72), row.chosen);
        EXPECT_STREQ(font.faceName, *row.face ? row.face : second.toStdString().c_str());
        EXPECT_EQ(font.height, -13);
    }
}

// Each style box ticked by its letter, through the input queue, on a font that has the other
// three: the box ticked joins them, and each of the others stays, in the dialog's choice and
// in the record the choice is kept in. Return follows at once: the box has changed already.
TEST(FontDialog, AStyleTickedByKeysJoinsTheOnesTheFontHas) {
    for (const Qt::Key letter : {Qt::Key_B, Qt::Key_I, Qt::Key_U, Qt::Key_K}) {
        SCOPED_TRACE(QKeySequence(letter).toString().toStdString());
        FakeUi base;
        CDialogUiServices services(base);
        LogFont font = Font("Nowhere Installed Sans", -13, letter == Qt::Key_B ? 400 : 700,
                            letter == Qt::Key_I ? 0 : 1);
        font.underline = letter == Qt::Key_U ? 0 : 1;
        font.strikeOut = letter == Qt::Key_K ? 0 : 1;
        const LogFont before = font;
        uint32_t color = Rgb(0, 0, 0);
        bool typed = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* dialog = dynamic_cast<CFontColorDlg*>(w);
                if (!dialog || !dialog->isVisible()) continue;
                dialog->activateWindow();
                if (!testwait::UntilActive(dialog)) break;
                typed = testwait::PressKey(letter, Qt::AltModifier) &&
                        testwait::PressKey(Qt::Key_Return);
            }
        });
        ASSERT_TRUE(services.ChooseFontWithColor(font, color, 4, 72));
        EXPECT_TRUE(typed);
        EXPECT_EQ(font.weight, 700);
        EXPECT_EQ(font.italic, 1);
        EXPECT_EQ(font.underline, 1);
        EXPECT_EQ(font.strikeOut, 1);
        FontRecord record;
        LogFontToStyleFont(record, before);
        KeepChangedFont(record, before, font);
        EXPECT_EQ(record.weight, 2);
        EXPECT_EQ(record.italic, 1);
        EXPECT_EQ(record.underline, 1);
        EXPECT_EQ(record.strikeout, 1);
    }
}

// The font lists offer only faces a font record holds whole: in the code page and at most
// 127 bytes, each limit at its last taken value and its first refused.
TEST(FontDialog, FaceNamesARecordHoldsWhole) {
    const struct {
        QString face;
        bool held;
    } rows[] = {
        {"Liberation Sans", true},
        {QString(127, 'a'), true},
        {QString(128, 'a'), false},
        {QString(126, 'a') + QChar(0xE9), true}, // one byte in the code page
        {QString(127, 'a') + QChar(0xE9), false},
        {QString::fromUtf8("\xE6\x96\x87\xE6\xB3\x89\xE9\xA9\xBF"), false},
        {QString("Ab") + QChar(0x0132), false}, // a Latin letter outside the code page
        {QString("Ab") + QChar(0x20AC), true},  // the euro sign is in it
    };
    for (const auto& row : rows) EXPECT_EQ(HoldsFaceName(row.face), row.held) << row.face.size();
}
