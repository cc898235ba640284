// The "Change Width/Height" dialog: one active field of 0 to 4095 pixels.

#include "dialogs/changesizedlg.h"
#include "dialogs/numberedit.h"
#include "dialogtest.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace vl {

using vl::dialogtest::FakeUi;

TEST(ChangeSizeDlg, AcceptsZeroTo4095AndStaysOpenOtherwise) {
    struct Case {
        const char* typed;
        bool accepted;
        int value;
    };
    const Case cases[] = {{"0", true, 0},    {"4095", true, 4095}, {"4096", false, 18},
                          {"-1", false, 18}, {"", false, 18},      {" 40 ", true, 40},
                          {"12x", false, 18}};
    for (const Case& c : cases) {
        FakeUi ui;
        CChangeSizeDlg dialog(nullptr, false, 18);
        EXPECT_EQ(dialog.Field()->text(), QStringLiteral("18"));
        dialog.open();
        dialog.Field()->setText(QString::fromLatin1(c.typed));
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.typed;
        EXPECT_EQ(dialog.Value(), c.value) << c.typed;
        if (!c.accepted) {
            ASSERT_EQ(ui.boxes.size(), 1u) << c.typed;
            EXPECT_EQ(ui.boxes[0], QStringLiteral("Please enter an integer between 0 and 4095."));
        } else {
            EXPECT_TRUE(ui.boxes.empty());
        }
        dialog.reject();
    }
}

TEST(ChangeSizeDlg, OnlyTheFieldOfItsModeIsEnabled) {
    FakeUi ui;
    CChangeSizeDlg rows(nullptr, false, 5);
    CChangeSizeDlg columns(nullptr, true, 64);
    EXPECT_EQ(rows.windowTitle(), QStringLiteral("Change Width/Height"));
    auto* height = rows.findChild<QLineEdit*>(QStringLiteral("id205"));
    auto* width = rows.findChild<QLineEdit*>(QStringLiteral("id257"));
    ASSERT_TRUE(height && width);
    EXPECT_TRUE(height->isEnabled());
    EXPECT_FALSE(width->isEnabled());
    EXPECT_EQ(rows.Field(), height);
    EXPECT_EQ(columns.Field(), columns.findChild<QLineEdit*>(QStringLiteral("id257")));
    EXPECT_FALSE(columns.findChild<QLineEdit*>(QStringLiteral("id205"))->isEnabled());
    EXPECT_EQ(columns.Field()->text(), QStringLiteral("64"));
    // The arrows beside the active field step it within its bounds.
    auto arrows = [](CChangeSizeDlg& dialog, const char* place) {
        return dialog.findChild<QWidget*>(QString::fromLatin1(place))->findChild<CUpDown*>();
    };
    columns.Field()->setText(QStringLiteral("4094"));
    arrows(columns, "id370")->Press(1, false);
    arrows(columns, "id370")->Press(1, false);
    EXPECT_EQ(columns.Field()->text(), QStringLiteral("4095"));
    rows.Field()->setText(QStringLiteral("1"));
    arrows(rows, "id369")->Press(-1, false);
    arrows(rows, "id369")->Press(-1, false);
    EXPECT_EQ(rows.Field()->text(), QStringLiteral("0"));
    EXPECT_FALSE(arrows(rows, "id370")->isEnabled());
}

} // namespace vl
