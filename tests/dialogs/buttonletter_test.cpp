#include "dialogs/dialoguiservices.h"
#include "dialogs/dialogutil.h"
#include "dialogs/xbasedlg.h"
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "platform/core/alloc.h"
#include "platform/core/bytes.h"
#include "tests/common/waits.h"
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/modaltest.h"
#include "ui_xbasedlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>
#include <memory>
#include <utility>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

// A dBase IV table of two fields, NAME (C 20) and PRICE (N 12.2).
struct TwoFields {
    XBaseSaveOptions options;
    TwoFields() {
        options.format = kXBaseDBase4;
        options.encoding = 2;
        EXPECT_TRUE(AllocateDescriptors(options, 2));
        const struct {
            const char* name;
            char type;
            uint8_t length, decimals;
        } fields[] = {{"NAME", 'C', 20, 0}, {"PRICE", 'N', 12, 2}};
        for (int i = 0; i < 2; ++i) {
            uint8_t* d = options.fieldDescriptors + i * 32;
            std::memcpy(d, fields[i].name, std::strlen(fields[i].name));
            d[kFieldTypeByte] = uint8_t(fields[i].type);
            d[kFieldLengthByte] = fields[i].length;
            d[kFieldDecimalsByte] = fields[i].decimals;
        }
        options.header[0] = 3;
        StoreU16(options.header + 8, uint16_t(2 * 32 + 33));
        StoreU16(options.header + 10, uint16_t(1 + 20 + 12));
    }
    ~TwoFields() { ReleaseXBaseSaveOptions(options); }
};

} // namespace

// Alt+E opens the field dialog while the letter is handled, not a tenth of a second later:
// keys typed right after it find the field dialog, not the table dialog's button (where a
// Return would open a second one, or end the table dialog). The name typed there and Return
// close it; the keys are back on the list, where Return is the table dialog's OK, which
// stores the name.
TEST(ButtonLetter, AButtonReachedByItsLetterOpensItsDialogAtOnce) {
    FakeUi ui;
    CDialogUiServices services(ui);
    TwoFields t;
    CXBaseDlg table(nullptr, t.options, "/x/t.dbf", CXBaseDlg::kSave);
    QTreeWidget* list = table.Form().id1020;
    table.show();
    table.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&table));
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(1));
    ASSERT_TRUE(testwait::UntilFocused(list));
    QWindow* typedInto = table.windowHandle();
    bool typed = false, letterHandled = false;
    dialogtest::WhenModal([&](QWidget* field) {
        // Opened while the letter was handled, before any key typed after it is read.
        EXPECT_FALSE(letterHandled);
        typed = true;
        if (!testwait::UntilActive(field)) {
            ADD_FAILURE() << "the field dialog never took the keyboard";
            static_cast<QDialog*>(field)->reject();
            return;
        }
        testwait::PressKey(Qt::Key_Z);
        testwait::PressKey(Qt::Key_Z);
        testwait::PressKey(Qt::Key_Return);
        if (!testwait::Until([&] { return !field->isVisible(); })) {
            ADD_FAILURE() << "the field dialog did not get the keys";
            static_cast<QDialog*>(field)->reject();
        }
    });
    QTest::keyClick(typedInto, Qt::Key_E, Qt::AltModifier);
    letterHandled = true;
    ASSERT_TRUE(testwait::Until([&] { return typed && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(typed);
    EXPECT_EQ(list->topLevelItem(1)->text(0), "2.  zz");
    EXPECT_EQ(list->topLevelItem(0)->text(0), "1.  NAME");
    // The keys are the table dialog's again, on the field just edited, not on the Edit
    // button: Return is OK's and does not open the field again.
    table.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&table));
    ASSERT_TRUE(testwait::UntilFocused(list));
    EXPECT_EQ(list->currentItem(), list->topLevelItem(1));
    ASSERT_TRUE(testwait::PressKey(Qt::Key_Return));
    ASSERT_TRUE(testwait::Until([&] { return !table.isVisible(); }));
    EXPECT_EQ(table.result(), QDialog::Accepted);
    EXPECT_EQ(FieldName(Descriptor(t.options, 1)), "zz");
    EXPECT_EQ(FieldName(Descriptor(t.options, 0)), "NAME");
    EXPECT_EQ(ui.beeps, 0);
}

// A dialog run modally, by either runner, shows which control has the keyboard from the
// start: the style draws its focus frame before any key moved it.
TEST(ButtonLetter, ADialogRunModallyShowsTheFocusFromTheStart) {
    FakeUi ui;
    for (const bool services : {false, true}) {
        QDialog dialog;
        auto* edit = new QLineEdit(&dialog);
        bool seen = false;
        dialogtest::WhenModal([&](QWidget* modal) {
            seen = modal == &dialog;
            edit->setFocus();
            QStyleOption option;
            option.initFrom(edit);
            EXPECT_TRUE(option.state & QStyle::State_KeyboardFocusChange) << services;
            dialog.reject();
        });
        if (services)
            UiServices().RunDialog(dialog);
        else
            RunModal(dialog);
        EXPECT_TRUE(seen);
    }
}

// A button's letter acts at once only while dialog services live: services made inside
// others leave the letter acting when they go, and once the first go, the letter is Qt's
// again (the button is clicked a moment later and the keyboard stays where it was), so no
// services leave their keys behind them for whatever comes next.
TEST(ButtonLetter, TheLetterActsAtOnceOnlyWhileTheServicesLive) {
    FakeUi ui;
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    auto* button = new QPushButton(QStringLiteral("&Go"), &dialog);
    dialog.setLayout(new QVBoxLayout);
    dialog.layout()->addWidget(edit);
    dialog.layout()->addWidget(button);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(testwait::UntilActive(&dialog));
    // Alt+G with the edit holding the keyboard; whether the click came while the key was
    // handled, and where the keyboard is then.
    auto letter = [&] {
        edit->setFocus();
        EXPECT_TRUE(testwait::UntilFocused(edit));
        const int before = clicks;
        QTest::keyClick(dialog.windowHandle(), Qt::Key_G, Qt::AltModifier);
        const bool atOnce = clicks == before + 1;
        const bool moved = QApplication::focusWidget() == button;
        EXPECT_TRUE(testwait::Until([&] { return clicks == before + 1; })) << "never clicked";
        return std::pair(atOnce, moved);
    };
    {
        auto outer = std::make_unique<CDialogUiServices>(ui);
        EXPECT_EQ(letter(), std::pair(true, true));
        { CDialogUiServices inner(ui); }
        EXPECT_EQ(letter(), std::pair(true, true));
    }
    EXPECT_EQ(letter(), std::pair(false, false));
    EXPECT_EQ(clicks, 3);
}
