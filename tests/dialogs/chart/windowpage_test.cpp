// The container Window page and the Fractal Properties dialog.

#include "../dialogtest.h"
#include "dialogs/chart/windowpage.h"
#include "dialogs/combos.h"
#include "model/chart.h"
#include "model/container.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstring>

namespace vl {

namespace {

struct WindowPageTest : ::testing::Test {
    WindowPageTest() { InitContainerDefaults(c, nullptr, nullptr); }
    dialogtest::FakeUi ui;
    CContainerWindowPage page;
    CContainer c;
};

FractalSettings Distinct() {
    FractalSettings f;
    f.params = {1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 16; ++i) f.colors[i] = ChartPaletteColor(15 - i);
    return f;
}

} // namespace

TEST_F(WindowPageTest, KindZeroShowsPatternAndSavesOneAndEveryFieldRoundTrips) {
    BackgroundRecord& b = c.settings.background;
    b.kind = 0;
    b.imageView = 2;
    std::strcpy(b.imagePath, "/tmp/x.png");
    b.zr = 9;
    b.fractalColors[3] = 0x010203;
    c.settings.border = {3, 1, 0x00FF00};
    ASSERT_TRUE(page.Exchange(false, c));
    EXPECT_TRUE(page.Item<QRadioButton>(400)->isChecked());
    EXPECT_EQ(page.Item<QComboBox>(1059)->currentText(), "Wallpaper");
    CContainer out;
    InitContainerDefaults(out, nullptr, nullptr);
    ASSERT_TRUE(page.Exchange(true, out));
    const BackgroundRecord& o = out.settings.background;
    EXPECT_EQ(o.kind, kBackgroundPattern);
    EXPECT_EQ(o.imageView, 2);
    EXPECT_STREQ(o.imagePath, "/tmp/x.png");
    EXPECT_EQ(o.zr, 9.0);
    EXPECT_EQ(o.fractalColors[3], 0x010203u);
    EXPECT_EQ(out.settings.border.style, 3);
    EXPECT_EQ(out.settings.border.color, 0x00FF00u);
    for (auto [kind, id] : {std::pair{2, 189}, std::pair{3, 282}}) {
        b.kind = uint8_t(kind);
        ASSERT_TRUE(page.Exchange(false, c));
        EXPECT_TRUE(page.Item<QRadioButton>(id)->isChecked()) << kind;
    }
}

TEST_F(WindowPageTest, BrowseChangesThePathNotTheKindAndRefusesPathsOver255) {
    ASSERT_TRUE(page.Exchange(false, c));
    QTemporaryDir pictures; // the chooser starts only in a folder that is there
    ASSERT_TRUE(pictures.isValid());
    ui.openPath = pictures.filePath("sky.png");
    page.OnBrowseImage();
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), pictures.filePath("sky.png"));
    EXPECT_EQ(ui.openFilter, 1);
    // A fresh page starts in the folder the last Browse ended in.
    CContainerWindowPage other;
    other.OnBrowseImage();
    EXPECT_EQ(ui.openStart, pictures.path());
    EXPECT_TRUE(page.Item<QRadioButton>(400)->isChecked());
    ui.openPath = "/" + QString(254, 'a'); // 255 characters
    page.OnBrowseImage();
    EXPECT_EQ(page.Item<QLineEdit>(205)->text().size(), 255);
    ui.openPath = "/" + QString(255, 'b');
    page.OnBrowseImage();
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "/" + QString(254, 'a'));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].contains("255")) << ui.boxes[0].toStdString();
    // The limit is the record's, in the path's own bytes: "é" takes two.
    const QString e = QString::fromUtf8("\u00e9");
    ui.openPath = "/" + e.repeated(127); // 255 bytes
    page.OnBrowseImage();
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), ui.openPath);
    ui.openPath = "/" + e.repeated(126) + ".png"; // 257 bytes, 131 characters
    page.OnBrowseImage();
    EXPECT_EQ(page.Item<QLineEdit>(205)->text(), "/" + e.repeated(127));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1], "Please enter no more than 255 characters.");
    ASSERT_TRUE(page.Exchange(true, c));
    EXPECT_EQ(c.settings.background.kind, kBackgroundPattern);
    EXPECT_EQ(std::string(c.settings.background.imagePath), ("/" + e.repeated(127)).toStdString());
}

// A typed path longer than the record is refused whole, with a box, and leaves the container
// as it was; one at the limit is stored whole.
TEST_F(WindowPageTest, ATypedPathOverTheRecordIsRefusedAndChangesNothing) {
    const QString e = QString::fromUtf8("\u00e9");
    std::strcpy(c.settings.background.imagePath, "/before.png");
    c.settings.background.kind = kBackgroundPattern;
    c.settings.border.style = 0;
    ASSERT_TRUE(page.Exchange(false, c));
    page.Item<QRadioButton>(189)->setChecked(true);
    page.Item<QLineEdit>(205)->setText("/" + e.repeated(127) + "x"); // 256 bytes
    EXPECT_FALSE(page.Exchange(true, c));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Please enter no more than 255 characters.");
    EXPECT_STREQ(c.settings.background.imagePath, "/before.png");
    EXPECT_EQ(c.settings.background.kind, kBackgroundPattern);
    page.Item<QLineEdit>(205)->setText("/" + e.repeated(126) + "xy"); // 255 bytes
    ASSERT_TRUE(page.Exchange(true, c));
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(std::string(c.settings.background.imagePath),
              ("/" + e.repeated(126) + "xy").toStdString());
    EXPECT_EQ(c.settings.background.kind, kBackgroundImage);
}

TEST(FractalPropertiesDlg, LabelsAndResetThenOkStoresTheDefaults) {
    dialogtest::FakeUi ui;
    FractalSettings f = Distinct();
    CFractalPropertiesDlg dlg(f, nullptr);
    QStringList labels;
    for (QLabel* l : dlg.findChildren<QLabel*>()) labels << l->text();
    for (const char* text :
         {"Z&r:", "Z&i:", "&X-min.:", "X-&max.:", "&Y-min.:", "Y-m&ax.:", "1.", "16."})
        EXPECT_TRUE(labels.contains(text)) << text;
    EXPECT_EQ(dlg.Param(3)->text(), "4");
    EXPECT_EQ(dlg.Param(0)->maxLength(), 329);
    dlg.OnReset();
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const std::array<double, 6> defaults{0.11, 0.66, -1.1, 1.1, -1.1, 1.1};
    EXPECT_EQ(f.params, defaults);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f.colors[i], ChartPaletteColor(i)) << i;
}

TEST(FractalPropertiesDlg, CancelAfterResetAndARefusedParameterKeepTheCopy) {
    dialogtest::FakeUi ui;
    FractalSettings f = Distinct();
    const FractalSettings before = f;
    {
        CFractalPropertiesDlg dlg(f, nullptr);
        dlg.OnReset();
        dlg.reject();
    }
    EXPECT_EQ(f.params, before.params);
    EXPECT_EQ(f.colors, before.colors);
    CFractalPropertiesDlg dlg(f, nullptr);
    dlg.Param(4)->setText("y");
    dlg.Param(5)->setText("-7"); // X-min above X-max is no error
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(f.params, before.params);
    dlg.Param(4)->setText("9");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(f.params[4], 9.0);
    EXPECT_EQ(f.params[5], -7.0);
}

} // namespace vl
