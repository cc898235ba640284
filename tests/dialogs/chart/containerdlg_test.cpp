// The container properties window: what it shows for the container and its charts, the
// object and series edits, pages that refuse their values, the series formula, and Apply.

#include "../dialogtest.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/containeredit.h"
#include "dialogs/chart/containerpages.h"
#include "dialogs/chart/datapage.h"
#include "formula/evalcontext.h"
#include "formula/translate.h"
#include "platform/core/errorcode.h"
#include "tests/dialogs/idleformatpages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace vl {

namespace {

class ContainerDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile().addressingA1 = 1;
        dlg = std::make_unique<CContainerPropertiesDlg>(Host(), nullptr);
    }
    ContainerDlgHost Host() {
        ContainerDlgHost host;
        host.apply = [this](const CContainer& c) {
            ++applies;
            appliedSelected = c.selected;
            appliedImage = c.settings.background.imagePath;
        };
        host.context = [this] { return &ctx; };
        host.selection = [this](std::string& p, std::string& r) {
            p = path;
            r = reference;
            return true;
        };
        return host;
    }
    QLineEdit* Edit(int id) { return dlg->findChild<QLineEdit*>(QStringLiteral("id%1").arg(id)); }
    QStringList TabTexts() {
        QStringList texts;
        for (int i = 0; i < dlg->Tabs()->count(); ++i) texts << dlg->Tabs()->tabText(i);
        return texts;
    }
    // A new container with one chart of the type, selected.
    void OpenWithChart(uint8_t type) {
        ASSERT_TRUE(dlg->Open(nullptr));
        dlg->ChooseObject(type == kChart2D   ? CContainerPropertiesDlg::kAdd2D
                          : type == kChartXY ? CContainerPropertiesDlg::kAddXY
                                             : CContainerPropertiesDlg::kAdd3D);
    }
    void Type(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }

    dialogtest::FakeUi ui;
    CEvalContext ctx;
    int applies = 0;
    int32_t appliedSelected = -2;
    std::string appliedImage;
    std::string path = "\\Sheet1", reference = "$A$1:$B$5";
    std::unique_ptr<CContainerPropertiesDlg> dlg;
};

} // namespace

TEST_F(ContainerDlgTest, TheContainerShowsItsCaptionAndThreePagesWithTheSeriesRowOff) {
    ASSERT_TRUE(dlg->Open(nullptr));
    EXPECT_EQ(dlg->windowTitle(), "Container");
    CContainer seven;
    InitContainerDefaults(seven, nullptr, nullptr);
    seven.settings.id = 7;
    ASSERT_TRUE(dlg->Open(&seven));
    EXPECT_EQ(dlg->windowTitle(), "Container [id: 7]");
    EXPECT_EQ(dlg->SelectedObject(), -1);
    EXPECT_EQ(dlg->Button(CContainerPropertiesDlg::kObjectButton)->text(), "Container Window");
    EXPECT_EQ(TabTexts(), QStringList({"Contents/Size", "Window", "Titles"}));
    for (int id : {205, 257}) EXPECT_FALSE(Edit(id)->isEnabled()) << id;
    EXPECT_FALSE(dlg->findChild<QComboBox*>("id215")->isEnabled());
    EXPECT_FALSE(dlg->SeriesList()->isEnabled());
    for (int id : {33043, 33044, 33046, 33047, 33048})
        EXPECT_FALSE(dlg->Button(id)->isEnabled()) << id;
    EXPECT_TRUE(dlg->Button(CContainerPropertiesDlg::kApply)->isEnabled());
    // A container's charts in the window are the window's own copies.
    EXPECT_EQ(dlg->Working().settings.id, 7);
}

TEST_F(ContainerDlgTest, AddedChartsGrowTheGridAndShowTheEightChartPages) {
    ASSERT_TRUE(dlg->Open(nullptr));
    dlg->ChooseObject(CContainerPropertiesDlg::kAdd2D);
    EXPECT_EQ(dlg->SelectedObject(), 0);
    EXPECT_EQ(dlg->Button(CContainerPropertiesDlg::kObjectButton)->text(), "2D Chart 1.");
    EXPECT_EQ(TabTexts(), QStringList({"Data", "View", "Style", "Axes", "Grid", "Walls/Size",
                                       "Titles/Legend", "3D Options"}));
    EXPECT_TRUE(dlg->Button(33047)->isEnabled());
    const auto* type = dlg->findChild<QComboBox*>("id215");
    EXPECT_EQ(type->itemText(1), "Categories");
    dlg->ChooseObject(CContainerPropertiesDlg::kAddXY);
    EXPECT_EQ(dlg->Working().settings.columns, 2);
    EXPECT_EQ(dlg->Working().settings.rows, 1);
    EXPECT_EQ(type->itemText(0), "Y-series");
    dlg->ChooseObject(CContainerPropertiesDlg::kAdd3D);
    EXPECT_EQ(dlg->Working().settings.rows, 2);
    // The menu ticks the selected object.
    QMenu menu;
    dlg->FillObjectMenu(menu);
    const QList<QAction*> actions = menu.actions();
    ASSERT_GE(actions.size(), 4);
    EXPECT_EQ(actions[0]->text(), "Container Window");
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_EQ(actions[3]->text(), "3D Chart 3.");
    EXPECT_TRUE(actions[3]->isChecked());
}

TEST_F(ContainerDlgTest, The256thChartAndThe17thSeriesAreRefusedWithTheirErrors) {
    OpenWithChart(kChart2D);
    while (dlg->Working().settings.objectCount < 255)
        ASSERT_EQ(AddChartObject(dlg->Working(), kChart2D), 0);
    dlg->ChooseObject(CContainerPropertiesDlg::kAdd2D);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].contains("max. 255 objects")) << ui.boxes[0].toStdString();
    EXPECT_EQ(dlg->SelectedObject(), 0);
    for (int i = 0; i < 16; ++i) dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    EXPECT_EQ(dlg->SelectedChart()->settings.seriesCount, 16);
    EXPECT_EQ(dlg->SeriesList()->count(), 16);
    EXPECT_EQ(dlg->SelectedSeries(), 15);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(ui.boxes[1].contains("Too many chart series")) << ui.boxes[1].toStdString();
    EXPECT_EQ(dlg->SelectedChart()->settings.seriesCount, 16);
}

TEST_F(ContainerDlgTest, RemovingSeriesAndObjectsSelectsWhatIsLeft) {
    OpenWithChart(kChart2D);
    for (int i = 0; i < 3; ++i) dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    ASSERT_EQ(dlg->SelectedSeries(), 2);
    dlg->OnCommand(CContainerPropertiesDlg::kRemoveSeries);
    EXPECT_EQ(dlg->SelectedSeries(), 1);
    EXPECT_EQ(dlg->SeriesList()->currentRow(), 1);
    EXPECT_EQ(dlg->SeriesList()->count(), 2);
    dlg->ChooseObject(CContainerPropertiesDlg::kRemoveObject);
    EXPECT_EQ(dlg->SelectedObject(), -1);
    EXPECT_EQ(dlg->Working().settings.objectCount, 0);
    EXPECT_EQ(TabTexts(), QStringList({"Contents/Size", "Window", "Titles"}));
}

TEST_F(ContainerDlgTest, MovingTheFirstObjectEarlierDoesNothingAndAnotherAppliesOnce) {
    OpenWithChart(kChart2D);
    dlg->ChooseObject(CContainerPropertiesDlg::kAddXY);
    dlg->ChooseObject(2); // the first
    dlg->OnCommand(CContainerPropertiesDlg::kMoveEarlier);
    EXPECT_EQ(applies, 0);
    EXPECT_EQ(dlg->SelectedObject(), 0);
    dlg->OnCommand(CContainerPropertiesDlg::kMoveLater);
    EXPECT_EQ(applies, 1);
    EXPECT_EQ(dlg->SelectedObject(), 1);
    EXPECT_EQ(appliedSelected, 1);
    EXPECT_EQ(dlg->Working().slots[0].chart->settings.type, kChartXY);
}

TEST_F(ContainerDlgTest, ARefusingPageBlocksTabsObjectsSeriesAddingAndApply) {
    OpenWithChart(kChart2D);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    ASSERT_EQ(dlg->SelectedSeries(), 1);
    dlg->Tabs()->setCurrentIndex(0);
    auto* page = static_cast<CChartDataPage*>(dlg->Page(0));
    page->Item<QCheckBox>(216)->setChecked(true);
    page->Item<QLineEdit>(205)->setText("abc");
    dlg->Tabs()->setCurrentIndex(2);
    EXPECT_EQ(dlg->Tabs()->currentIndex(), 0);
    dlg->SeriesList()->setCurrentRow(0);
    EXPECT_EQ(dlg->SelectedSeries(), 1);
    EXPECT_EQ(dlg->SeriesList()->currentRow(), 1);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    EXPECT_EQ(dlg->SelectedChart()->settings.seriesCount, 2);
    dlg->ChooseObject(1);
    EXPECT_EQ(dlg->SelectedObject(), 0);
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    EXPECT_EQ(applies, 0);
    EXPECT_EQ(ui.beeps, 5);
    page->Item<QLineEdit>(205)->setText("2");
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    EXPECT_EQ(applies, 1);
    EXPECT_EQ(dlg->SelectedChart()->series[1].settings.fromValue, 2.0);
}

TEST_F(ContainerDlgTest, ApplyShowsTheFirstProblemAndAppliesNothing) {
    OpenWithChart(kChartXY);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries); // a Y-series without its X-series
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].startsWith("The XY chart requires")) << ui.boxes[0].toStdString();
    EXPECT_EQ(applies, 0);
    dlg->ChooseObject(CContainerPropertiesDlg::kAdd3D);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    dlg->SelectedChart()->series[1].settings.stacked = 1;
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(ui.boxes[1].startsWith("You must specify the same view type"));
}

// The image path is kept as its own bytes, at most 255: a typed path of more is refused on
// Apply with a box and the keyboard in the path, and nothing is applied; one that fits is
// applied whole, "é" counting two bytes.
TEST_F(ContainerDlgTest, ATypedImagePathOverTheRecordIsRefusedNotCut) {
    const QString e = QString::fromUtf8("\u00e9");
    const struct {
        QString typed;
        bool accepted;
    } cases[] = {
        {"/" + QString(251, 'a') + e + "x", true},  // 255 bytes
        {"/" + QString(252, 'a') + e + "x", false}, // 256 bytes, 255 characters
        {"/" + e.repeated(130) + ".png", false},    // 265 bytes
        {"/" + e.repeated(125) + ".png", true},     // 255 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dlg = std::make_unique<CContainerPropertiesDlg>(Host(), nullptr);
        ASSERT_TRUE(dlg->Open(nullptr));
        dlg->show();
        dlg->Tabs()->setCurrentIndex(1);
        QLineEdit* path = dlg->Page(CContainerPropertiesDlg::kChartPages + 1)->Item<QLineEdit>(205);
        ASSERT_TRUE(path->isVisible());
        // All but the last character set, the last typed.
        path->setText(c.typed.chopped(1));
        path->setFocus();
        path->end(false);
        QTest::keyClicks(path, c.typed.right(1));
        ASSERT_EQ(path->text(), c.typed);
        applies = 0;
        appliedImage.clear();
        ui.boxes.clear();
        dlg->OnCommand(CContainerPropertiesDlg::kApply);
        EXPECT_EQ(applies, c.accepted ? 1 : 0);
        if (c.accepted) {
            EXPECT_TRUE(ui.boxes.empty());
            EXPECT_EQ(appliedImage, c.typed.toStdString());
        } else {
            ASSERT_EQ(ui.boxes.size(), 1u);
            EXPECT_EQ(ui.boxes[0], "Please enter no more than 255 characters.");
            EXPECT_EQ(dlg->focusWidget(), path);
            EXPECT_EQ(path->text(), c.typed); // left as typed, to be mended
            // Nor does leaving the page take it.
            dlg->Tabs()->setCurrentIndex(2);
            EXPECT_EQ(dlg->Tabs()->currentIndex(), 1);
            EXPECT_EQ(ui.boxes.size(), 2u);
        }
    }
}

TEST_F(ContainerDlgTest, TheRowStoresTheFormulaInternallyAndRefusesOneThatCannotBe) {
    OpenWithChart(kChart2D);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    Type(Edit(205), "Sales");
    Type(Edit(257), "=A1:B5");
    SeriesSettings& s = dlg->SelectedChart()->series[0].settings;
    EXPECT_STREQ(s.name, "Sales");
    // Stored relative to the first cell, as the engine keeps formulas.
    EXPECT_STREQ(s.dataArray, "=RC:R[4]C[1]");
    auto* type = dlg->findChild<QComboBox*>("id215");
    type->setCurrentIndex(1);
    Q_EMIT type->activated(1);
    EXPECT_EQ(s.role, 3);
    // Rewritten, "B2" becomes "R[1]C[1]": this text fits as typed but not as stored.
    QString longer = "=B2";
    while (longer.size() + 3 <= 1024) longer += "+B2";
    Edit(257)->setText(longer); // pasted whole
    Q_EMIT Edit(257)->textEdited(longer);
    EXPECT_STREQ(s.dataArray, "=RC:R[4]C[1]");
    const int beeps = ui.beeps;
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    EXPECT_EQ(applies, 0);
    EXPECT_EQ(ui.beeps, beeps + 2);
    EXPECT_EQ(dlg->SelectedChart()->settings.seriesCount, 1);
    Type(Edit(257), "=$C$3");
    dlg->OnCommand(CContainerPropertiesDlg::kApply);
    EXPECT_EQ(applies, 1);
    EXPECT_STREQ(s.dataArray, "=R3C3");
}

TEST_F(ContainerDlgTest, TheSelectionsReferenceTakesTheWholePathOrBeeps) {
    OpenWithChart(kChart2D);
    dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
    dlg->OnCommand(CContainerPropertiesDlg::kInsertReference);
    EXPECT_EQ(Edit(257)->text(), "=\\Sheet1!$A$1:$B$5");
    path = "\\Folder\\My Sheet";
    dlg->OnCommand(CContainerPropertiesDlg::kInsertReference);
    EXPECT_EQ(Edit(257)->text(), "=\"\\Folder\\My Sheet\"!$A$1:$B$5");
    // A path of 300 characters is kept whole; past 1,024 the edit keeps its text.
    path = "\\" + std::string(299, 'a');
    dlg->OnCommand(CContainerPropertiesDlg::kInsertReference);
    EXPECT_EQ(Edit(257)->text().size(), 1 + 300 + 1 + 9);
    path = "\\" + std::string(1014, 'a'); // "=" + 1,015 + "!" + 9 = 1,026
    const QString before = Edit(257)->text();
    dlg->OnCommand(CContainerPropertiesDlg::kInsertReference);
    EXPECT_EQ(Edit(257)->text(), before);
    EXPECT_EQ(ui.beeps, 1);
}

TEST_F(ContainerDlgTest, ADragOnTheGridUpdatesTheShownPositionFields) {
    CContainer c;
    InitContainerDefaults(c, nullptr, nullptr);
    c.settings.id = 3;
    ASSERT_TRUE(dlg->Open(&c));
    CContainer moved;
    InitContainerDefaults(moved, nullptr, nullptr);
    moved.settings.id = 3;
    moved.settings.anchor = {4, 9, 0};
    moved.settings.left = 5;
    moved.settings.right = 5 + 499;
    moved.settings.top = 7;
    moved.settings.bottom = 7 + 299;
    dlg->SyncPlacement(moved);
    EXPECT_EQ(dlg->Working().settings.anchor.row, 9u);
    EXPECT_EQ(dlg->Page(8)->Item<QLineEdit>(1006)->text(), "500");
    EXPECT_EQ(dlg->Page(8)->Item<QLineEdit>(1005)->text(), "300");
    moved.settings.id = 4; // another container's drag changes nothing
    moved.settings.left = 50;
    dlg->SyncPlacement(moved);
    EXPECT_EQ(dlg->Working().settings.left, 5);
}

TEST_F(ContainerDlgTest, AWindowClosedOutsideTheWorkAreaReopensCentred) {
    ASSERT_TRUE(dlg->Open(nullptr));
    dlg->move(-5000, -5000);
    dlg->hide();
    ASSERT_TRUE(dlg->Open(nullptr));
    const QRect area = dlg->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(dlg->frameGeometry().topLeft()));
}

namespace {

// Pages that keep what the number format page was opened with.
struct StylePageOnly : IdleFormatPages {
    void OpenStylePage(const FormatPageRequest& r, const StandardFormat& format,
                       ApplyNumberFormatFn apply) override {
        ++opened;
        request = r;
        shown = format;
        choose = std::move(apply);
    }
    int opened = 0;
    FormatPageRequest request;
    StandardFormat shown;
    ApplyNumberFormatFn choose;
};

} // namespace

// Numeric Format opens the number format page of the pages the window was given, under the
// button, with the series' format; the choice is the series' at Apply. Without pages the
// button changes nothing.
TEST_F(ContainerDlgTest, NumericFormatOpensThePagesTheWindowWasGiven) {
    StylePageOnly pages;
    for (bool given : {false, true}) {
        ContainerDlgHost host = Host();
        if (given) host.formatPages = &pages;
        dlg = std::make_unique<CContainerPropertiesDlg>(std::move(host), nullptr);
        OpenWithChart(kChart2D);
        dlg->OnCommand(CContainerPropertiesDlg::kAddSeries);
        ASSERT_EQ(dlg->SelectedSeries(), 0);
        // Away from the Data page, which reads the series again when it comes back.
        dlg->Tabs()->setCurrentIndex(1);
        dlg->SelectedChart()->series[0].settings.numberFormat.kind = STD_STYLE_CURRENCY;
        dlg->Tabs()->setCurrentIndex(0);
        auto* page = static_cast<CChartDataPage*>(dlg->Page(0));
        auto* button = page->Item<QPushButton>(408);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(pages.opened, given ? 1 : 0);
        if (given) {
            EXPECT_EQ(pages.request.parent, page);
            EXPECT_EQ(pages.request.point, button->mapToGlobal(button->rect().bottomLeft()));
            EXPECT_EQ(pages.shown.kind, STD_STYLE_CURRENCY);
            StandardFormat percent;
            percent.kind = STD_STYLE_PERCENTAGE;
            ASSERT_TRUE(pages.choose(percent));
        }
        dlg->OnCommand(CContainerPropertiesDlg::kApply);
        EXPECT_EQ(dlg->SelectedChart()->series[0].settings.numberFormat.kind,
                  given ? STD_STYLE_PERCENTAGE : STD_STYLE_CURRENCY)
            << given;
    }
    EXPECT_EQ(applies, 2);
}

} // namespace vl
