#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/fontpage.h"
#include "dialogs/formatpages.h"
#include "dialogs/listpage.h"
#include "model/formatattribute.h"
#include "tests/dialogs/dialogtest.h"
#include "ui_alignmentpage.h"
#include "ui_backgroundpage.h"
#include "ui_borderpage.h"
#include "ui_fontpage.h"
#include "ui_listnamedialog.h"
#include "ui_listpage.h"

#include <QAction>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <cstdlib>
#include <cstring>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

// Records every call of a page's callback.
template <class Record> struct Calls {
    std::vector<std::pair<Record, int>> calls;
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const auto& c : calls) codes.push_back(c.second);
        return codes;
    }
    const Record& Last() const {
        static const Record none{};
        if (calls.empty()) ADD_FAILURE() << "nothing applied";
        return calls.empty() ? none : calls.back().first;
    }
};

// What a user does: the widget gets the focus, then the click.
void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void Choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

ColoredFont ArialFont() {
    ColoredFont f;
    std::strcpy(f.font.faceName, "Liberation Sans");
    f.font.size = 10;
    return f;
}

} // namespace

TEST(FontPage, ShowsItsControls) {
    CFontPage page(nullptr, ArialFont(), nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.label1020->text(), "Font &names:"},
        {ui.label1058->text(), "Font &sizes:"},
        {ui.id216->text(), "&Bold"},
        {ui.id218->text(), "&Italic"},
        {ui.id1001->text(), "&Underline"},
        {ui.id1007->text(), "&Strikeout"},
        {ui.label215->text(), "Font &color:"},
        {ui.id408->text(), "&Reset"},
        {ui.id1058->item(0)->text(), "6"},
        {ui.id1058->item(16)->text(), "72"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(ui.id1058->count(), 17);
    EXPECT_EQ(ui.id215->count(), 18);
    const QStringList faces = CFontPage::Faces();
    for (int i = 1; i < faces.size(); ++i)
        EXPECT_LT(faces[i - 1].compare(faces[i], Qt::CaseInsensitive), 0);
    EXPECT_EQ(page.Action(CFormatPage::kCopy)->data().toInt(), 57634);
}

TEST(FontPage, AppliesOneAttributeAtATime) {
    Calls<ColoredFont> log;
    ColoredFont font = ArialFont();
    font.font.weight = 3;
    CFontPage page(nullptr, font, [&](const ColoredFont& f, uint8_t code) {
        log.calls.push_back({f, code});
        return true;
    });
    page.show();
    auto& ui = page.Form();
    EXPECT_FALSE(ui.id216->isChecked()); // heavy is not bold
    EXPECT_EQ(ui.id1058->currentItem()->text(), "10");
    EXPECT_EQ(ui.id1020->currentItem()->text(), "Liberation Sans");
    EXPECT_TRUE(log.calls.empty()); // filling applies nothing
    Click(ui.id216);
    EXPECT_EQ(log.Last().font.weight, 2);
    Click(ui.id216);
    EXPECT_EQ(log.Last().font.weight, 0);
    ui.id1058->setCurrentRow(16);
    EXPECT_EQ(log.Last().font.size, 72);
    Choose(ui.id215, 9);
    EXPECT_EQ(log.Last().colorGiven, 1);
    EXPECT_EQ(log.Last().color, Rgb(255, 0, 0));
    Choose(ui.id215, CColorCombo::kDefaultItem);
    EXPECT_EQ(log.Last().colorGiven, 0);
    Click(ui.id408);
    EXPECT_STREQ(log.Last().font.faceName, "Arial");
    EXPECT_EQ(log.Codes(), (std::vector<int>{6, 6, 3, 11, 11, 10}));
}

TEST(FontPage, FacesAreMatchedByWholeName) {
    struct Row {
        const char* face;
        bool selected;
    };
    const Row rows[] = {{"liberation sans", true}, {"Liberation", false}, {"", false}};
    for (const Row& row : rows) {
        ColoredFont font = ArialFont();
        std::strcpy(font.font.faceName, row.face);
        std::vector<ColoredFont> applied;
        CFontPage page(nullptr, font, [&](const ColoredFont& f, uint8_t) {
            applied.push_back(f);
            return true;
        });
        page.show();
        EXPECT_EQ(page.Form().id1020->currentRow() >= 0, row.selected) << row.face;
        // Reading with no face selected keeps the record's face.
        Click(page.Form().id218);
        ASSERT_EQ(applied.size(), 1u);
        EXPECT_STREQ(applied[0].font.faceName, row.selected ? "Liberation Sans" : row.face);
    }
}

TEST(FontPage, CopyAndPaste) {
    Calls<ColoredFont> log;
    ColoredFont bold = ArialFont();
    bold.font.weight = 2;
    {
        CFontPage first(nullptr, bold, nullptr);
        first.Action(CFormatPage::kCopy)->trigger();
        EXPECT_TRUE(first.Action(CFormatPage::kPaste)->isEnabled());
    }
    CFontPage page(nullptr, ArialFont(), [&](const ColoredFont& f, uint8_t code) {
        log.calls.push_back({f, code});
        return true;
    });
    page.Action(CFormatPage::kPaste)->trigger();
    EXPECT_EQ(log.Codes(), std::vector<int>{10});
    EXPECT_EQ(log.Last().font.weight, 2);
    EXPECT_TRUE(page.Form().id216->isChecked());
}

TEST(BorderPage, ShowsItsControls) {
    CBorderPage page(nullptr, StyleRecord{}, nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.label1021->text(), "Bord&er type:"},  {ui.label221->text(), "&Color:"},
        {ui.id408->text(), "&Around Cell"},       {ui.id410->text(), "Around &Selection"},
        {ui.id409->text(), "C&lear All"},         {ui.label215->text(), "Pattern &type:"},
        {ui.label229->text(), "&Pattern color:"}, {ui.label1019->text(), "&Background color:"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(ui.id1021->count(), 9);
    EXPECT_EQ(ui.id215->count(), 23);
}

TEST(BorderPage, PreviewPressesToggleOneSide) {
    const QRect client(0, 0, 100, 80);
    struct Row {
        QPoint at;
        uint8_t side;
    };
    const Row rows[] = {
        {{5, 20}, kBorderLeft},
        {{5, 10}, kBorderTop},
        {{95, 40}, kBorderRight},
        {{50, 75}, kBorderBottom},
        {{35, 35}, kBorderDiagonalLeft},
        {{64, 44}, kBorderDiagonalLeft},
        {{35, 44}, kBorderDiagonalRight},
        {{64, 35}, kBorderDiagonalRight},
        {{50, 30}, kBorderTop},
        {{50, 31}, kBorderDiagonalRight},
        {{150, 40}, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CCellBorderWnd::SideAt(client, row.at), row.side)
            << row.at.x() << "," << row.at.y();
}

TEST(BorderPage, ButtonsKeysAndPaste) {
    Calls<StyleRecord> log;
    StyleRecord style;
    style.borderSides = kBorderTop;
    style.borderLine.style = 1;
    CBorderPage page(nullptr, style, [&](const StyleRecord& s, uint8_t code) {
        log.calls.push_back({s, code});
        return true;
    });
    page.resize(400, 300);
    page.show();
    auto& ui = page.Form();
    QTest::mouseClick(page.Preview(), Qt::LeftButton, {}, QPoint(5, 20));
    EXPECT_EQ(log.Last().borderSides, kBorderTop | kBorderLeft);
    Click(ui.id408);
    EXPECT_EQ(log.Last().borderSides, 15);
    Click(ui.id410);
    EXPECT_EQ(log.Last().borderSides, 0);
    EXPECT_EQ(log.calls.back().second, 18);
    page.activateWindow();
    ui.id408->setFocus();
    QTest::keyClick(ui.id408, Qt::Key_5);
    EXPECT_EQ(log.Last().borderSides, kBorderDiagonalRight);
    Choose(ui.id215, 4);
    EXPECT_EQ(log.Last().fill.pattern, 4);
    page.Action(CFormatPage::kCopy)->trigger();
    log.calls.clear();
    page.Action(CFormatPage::kPaste)->trigger();
    EXPECT_EQ(log.Codes(), (std::vector<int>{19, 17}));
}

// A colour chosen while the pattern is "none" fills solid; a chosen pattern stays.
TEST(BorderPage, AColourAloneFillsSolid) {
    const auto& palette = PaletteColors();
    const COLORREF window = GetSystemColor(kColorWindow);
    struct Case {
        const char* what;
        int pattern, patternColor, background; // items chosen, in this order
        uint8_t wantPattern;
        COLORREF wantPatternColor;
        COLORREF wantBackground;
    };
    constexpr int kDefault = CColorCombo::kDefaultItem;
    const Case cases[] = {
        {"background alone", 0, kDefault, 3, FORMAT_PAT_SOLID, palette[3], palette[3]},
        {"pattern colour alone", 0, 5, kDefault, FORMAT_PAT_SOLID, palette[5], window},
        {"both colours", 0, 5, 9, FORMAT_PAT_SOLID, palette[5], palette[9]},
        {"a pattern keeps its colours", 4, 5, 9, 4, palette[5], palette[9]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Calls<StyleRecord> log;
        CBorderPage page(nullptr, StyleRecord{}, [&](const StyleRecord& s, uint8_t code) {
            log.calls.push_back({s, code});
            return true;
        });
        page.show();
        auto& ui = page.Form();
        Choose(ui.id215, c.pattern);
        Choose(ui.id229, c.patternColor);
        Choose(ui.id1019, c.background);
        const InteriorFill& f = log.Last().fill;
        EXPECT_EQ(log.calls.back().second, kAttrBackgroundColor); // each box its own attribute
        EXPECT_EQ(f.pattern, c.wantPattern);
        EXPECT_EQ(f.patternColor, c.wantPatternColor);
        EXPECT_EQ(f.backgroundColorGiven, c.background != kDefault);
        if (f.backgroundColorGiven) {
            EXPECT_EQ(f.backgroundColor, c.wantBackground);
        }
        // The page shows what it applied.
        EXPECT_EQ(GetComboItemData(*ui.id215), c.wantPattern);
        EXPECT_EQ(ui.id229->GetColor(), c.wantPatternColor);
    }
    // No colour and no pattern: nothing filled.
    Calls<StyleRecord> log;
    CBorderPage page(nullptr, StyleRecord{}, [&](const StyleRecord& s, uint8_t code) {
        log.calls.push_back({s, code});
        return true;
    });
    page.show();
    Choose(page.Form().id215, 0);
    EXPECT_EQ(log.Last().fill.pattern, FORMAT_PAT_NONE);
}

// On a solid fill, each box of the interior group changed alone: the pattern box to "none"
// takes the fill away, whatever colours stay chosen; a colour box changed while the
// pattern is "none" fills solid again.
TEST(BorderPage, NoPatternTakesTheFillAwayAColourPutsItBack) {
    const auto& palette = PaletteColors();
    StyleRecord solid;
    solid.fill = {FORMAT_PAT_SOLID, 1, palette[5], 1, palette[9]};
    struct Step {
        const char* what;
        QComboBox* (*box)(Ui::BorderPage&);
        int item;
        uint8_t wantPattern;
        uint8_t code;
    };
    auto patternColor = [](Ui::BorderPage& ui) -> QComboBox* { return ui.id229; };
    auto background = [](Ui::BorderPage& ui) -> QComboBox* { return ui.id1019; };
    const Step cases[] = {
        {"pattern colour", patternColor, 3, FORMAT_PAT_SOLID, kAttrPatternColor},
        {"background colour", background, 7, FORMAT_PAT_SOLID, kAttrBackgroundColor},
        {"pattern colour to automatic", patternColor, CColorCombo::kDefaultItem, FORMAT_PAT_SOLID,
         kAttrPatternColor},
    };
    for (const Step& c : cases) {
        SCOPED_TRACE(c.what);
        Calls<StyleRecord> log;
        CBorderPage page(nullptr, solid, [&](const StyleRecord& s, uint8_t code) {
            log.calls.push_back({s, code});
            return true;
        });
        page.show();
        auto& ui = page.Form();
        Choose(ui.id215, 0);
        ASSERT_EQ(log.calls.size(), 1u);
        EXPECT_EQ(log.calls[0].second, kAttrPattern);
        const InteriorFill& none = log.calls[0].first.fill;
        EXPECT_EQ(none.pattern, FORMAT_PAT_NONE);
        EXPECT_EQ(none.patternColor, palette[5]); // the colours stay as chosen
        EXPECT_EQ(none.backgroundColor, palette[9]);
        EXPECT_EQ(GetComboItemData(*ui.id215), FORMAT_PAT_NONE);
        Choose(c.box(ui), c.item);
        ASSERT_EQ(log.calls.size(), 2u);
        EXPECT_EQ(log.calls[1].second, c.code);
        EXPECT_EQ(log.Last().fill.pattern, c.wantPattern);
        EXPECT_EQ(GetComboItemData(*ui.id215), c.wantPattern);
    }
}

TEST(AlignmentPage, ShowsItsControls) {
    CAlignmentPage page(nullptr, StyleRecord{}, nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.id400->text(), "&Merge adjusting  cells"},
        {ui.id189->text(), "&Wrap text in cells"},
        {ui.id282->text(), "&Fit to cell size"},
        {ui.label215->text(), "&Horizontal indent:"},
        {ui.label229->text(), "&Vertical indent:"},
        {ui.label411->text(), "Text r&otation:"},
        {ui.id216->text(), "&Left"},
        {ui.id1003->text(), "&Bottom"},
        {ui.id215->itemText(16), "16"},
        {ui.id408->text(), "&Reset"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(ui.id215->count(), 17);
    EXPECT_EQ(ui.id411->minimum(), -9);
    EXPECT_EQ(ui.id411->maximum(), 9);
    // The scale stands under the bar: -90 at its left end, 0 in its middle, 90 at its right.
    page.show();
    const QRect bar = ui.id411->geometry();
    EXPECT_LE(std::abs(ui.minus90->geometry().left() - bar.left()), 4);
    EXPECT_LE(std::abs(ui.zero->geometry().center().x() - bar.center().x()), 4);
    EXPECT_LE(std::abs(ui.plus90->geometry().right() - bar.right()), 4);
}

TEST(AlignmentPage, RotationAndReset) {
    Calls<StyleRecord> log;
    StyleRecord style;
    style.rotation = 45;
    style.horizontalAlignment = 3;
    style.wrapText = 1;
    CAlignmentPage page(nullptr, style, [&](const StyleRecord& s, uint8_t code) {
        log.calls.push_back({s, code});
        return true;
    });
    page.show();
    auto& ui = page.Form();
    EXPECT_EQ(ui.id411->value(), 4);
    EXPECT_EQ(ui.id394->text(), "45 degrees");
    EXPECT_TRUE(ui.id1001->isChecked());
    EXPECT_TRUE(ui.id189->isChecked());
    Click(ui.id218); // Center unticks Right
    EXPECT_EQ(log.Last().horizontalAlignment, 2);
    EXPECT_EQ(log.Last().rotation, 40);
    EXPECT_FALSE(ui.id1001->isChecked());
    Click(ui.id218); // ticked again: none
    EXPECT_EQ(log.Last().horizontalAlignment, 0);
    // The thumb moves the label only; letting go applies.
    const size_t before = log.calls.size();
    ui.id411->setSliderDown(true);
    ui.id411->setValue(-7);
    EXPECT_EQ(ui.id394->text(), "-70 degrees");
    EXPECT_EQ(log.calls.size(), before);
    ui.id411->setSliderDown(false);
    EXPECT_EQ(log.Last().rotation, -70);
    Click(ui.id408);
    const StyleRecord& r = log.Last();
    EXPECT_EQ(r.horizontalIndent, 4);
    EXPECT_EQ(r.verticalIndent, 2);
    EXPECT_EQ(r.horizontalAlignment, 0);
    EXPECT_EQ(r.verticalAlignment, 0);
    EXPECT_EQ(r.wrapText, 0);
    EXPECT_EQ(r.fitToCell, 0);
    EXPECT_EQ(r.rotation, 0);
    EXPECT_TRUE(ui.id400->isChecked());
    // Each control its own attribute alone; Reset the whole alignment.
    EXPECT_EQ(log.Codes(), (std::vector<int>{22, 22, 26, 13}));
}

// Each of the six boxes clicked on a page opened on another choice: its code and value go
// out, the other boxes of its group are unticked, the other group is kept; clicked again,
// it gives 0. Opened on a stored value, its box shows ticked.
TEST(AlignmentPage, EveryBoxAppliesItsValueAndUnticksItsGroup) {
    struct Box {
        QCheckBox* Ui::AlignmentPage::*box;
        bool vertical;
        uint8_t value;
    };
    const Box boxes[] = {
        {&Ui::AlignmentPage::id216, false, 1},  {&Ui::AlignmentPage::id218, false, 2},
        {&Ui::AlignmentPage::id1001, false, 3}, {&Ui::AlignmentPage::id1007, true, 4},
        {&Ui::AlignmentPage::id1002, true, 5},  {&Ui::AlignmentPage::id1003, true, 7},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.value);
        Calls<StyleRecord> log;
        StyleRecord style;
        // Another box of each group ticked to begin with.
        style.horizontalAlignment = b.value == 3 ? 1 : 3;
        style.verticalAlignment = b.value == 7 ? 4 : 7;
        CAlignmentPage page(nullptr, style, [&](const StyleRecord& s, uint8_t code) {
            log.calls.push_back({s, code});
            return true;
        });
        page.show();
        auto& ui = page.Form();
        Click(ui.*b.box);
        ASSERT_EQ(log.calls.size(), 1u);
        EXPECT_EQ(log.calls.back().second, b.vertical ? 23 : 22);
        const StyleRecord& r = log.Last();
        EXPECT_EQ(b.vertical ? r.verticalAlignment : r.horizontalAlignment, b.value);
        EXPECT_EQ(b.vertical ? r.horizontalAlignment : r.verticalAlignment,
                  b.vertical ? style.horizontalAlignment : style.verticalAlignment);
        for (const Box& other : boxes)
            if (other.vertical == b.vertical) {
                EXPECT_EQ((ui.*other.box)->isChecked(), &other == &b) << int(other.value);
            }
        Click(ui.*b.box);
        EXPECT_EQ(b.vertical ? log.Last().verticalAlignment : log.Last().horizontalAlignment, 0);
        // A page opened on the value shows its box ticked.
        StyleRecord stored;
        (b.vertical ? stored.verticalAlignment : stored.horizontalAlignment) = b.value;
        CAlignmentPage shown(nullptr, stored, nullptr);
        for (const Box& other : boxes)
            EXPECT_EQ((shown.Form().*other.box)->isChecked(), &other == &b) << int(other.value);
    }
}

TEST(ListPage, ShowsItsControls) {
    std::vector<DropDownListRecord> lists(kDropDownLists);
    CListPage page(nullptr, StyleRecord{}, lists.data(), nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.label215->text(), "&Use drop-down list:"},
        {ui.label205->text(), "&List items:"},
        {ui.id216->text(), "Append new &items"},
        {ui.id1001->text(), "&Sort items"},
        {ui.id1007->text(), "&AutoComplete"},
        {ui.id408->text(), "&New List"},
        {ui.id409->text(), "R&ename"},
        {ui.id410->text(), "&Remove"},
        {ui.id215->itemText(0), "None"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    CListNameDlg name(nullptr, "x");
    EXPECT_EQ(name.windowTitle(), "Drop-down List Name");
    EXPECT_EQ(name.Form().id205->maxLength(), 29);
}

class AnsweringUi : public FakeUi {
public:
    int RunDialog(QDialog& dialog) override {
        auto& name = dynamic_cast<CListNameDlg&>(dialog);
        proposed.push_back(name.Name());
        if (!answer) return QDialog::Rejected;
        name.Form().id205->setText(*answer);
        return QDialog::Accepted;
    }
    std::vector<QString> proposed;
    std::optional<QString> answer;
};

TEST(ListPage, ItemsNamesAndSlots) {
    AnsweringUi ui;
    std::vector<DropDownListRecord> lists(kDropDownLists);
    Calls<StyleRecord> log;
    CListPage page(nullptr, StyleRecord{}, lists.data(), [&](const StyleRecord& s, uint8_t code) {
        log.calls.push_back({s, code});
        return true;
    });
    page.show();
    auto& form = page.Form();
    EXPECT_FALSE(form.id205->isEnabled()); // no list: typed items would go nowhere
    ui.answer = "Colours";
    page.NewList();
    EXPECT_EQ(ui.proposed.back(), "List 1.");
    EXPECT_EQ(log.Last().dropDownList, 1);
    EXPECT_TRUE(form.id205->isEnabled());
    QTest::keyClicks(form.id205, "red");
    for (int i = 0; i < 3; ++i) QTest::keyClick(form.id205, Qt::Key_Return);
    QTest::keyClicks(form.id205, "green");
    QTest::keyClick(form.id205, Qt::Key_Return);
    // Tab leaves the items for the next control and types nothing.
    QTest::keyClick(form.id205, Qt::Key_Tab);
    EXPECT_EQ(form.id205->toPlainText(), "red\n\n\ngreen\n");
    Click(form.id1001); // sort the first list
    EXPECT_EQ(lists[0].sort, 1);
    page.NewList(); // the items go to the first list before the second is made
    EXPECT_EQ(lists[0].entries, (std::vector<std::string>{"red", "green"}));
    EXPECT_EQ(lists[1].sort, 0); // the new list takes nothing of the old one's boxes
    EXPECT_EQ(log.Last().sort, 0);
    EXPECT_FALSE(form.id1001->isChecked());
    EXPECT_EQ(ui.proposed.back(), "List 2.");
    EXPECT_STREQ(lists[1].name, "Colours");
    // An empty name makes no list.
    ui.answer = "";
    page.NewList();
    EXPECT_FALSE(DropDownListInUse(lists[2]));
    EXPECT_EQ(ui.beeps, 1);
    // Removing frees the slot for the next New List.
    ui.answer = "Again";
    ui.boxAnswer = IDYES;
    Choose(form.id215, 1);
    page.RemoveList();
    EXPECT_FALSE(DropDownListInUse(lists[0]));
    EXPECT_EQ(log.Last().dropDownList, 0);
    EXPECT_EQ(form.id215->currentIndex(), 0);
    EXPECT_FALSE(form.id205->isEnabled());
    page.NewList();
    EXPECT_EQ(ui.proposed.back(), "List 1.");
    // Boxes with "None" chosen change nothing.
    Choose(form.id215, 0);
    const size_t calls = log.calls.size();
    Click(form.id1001);
    EXPECT_EQ(log.calls.size(), calls);
}

TEST(ListPage, LongLinesAreCutAndAFullTableRefusesANewList) {
    AnsweringUi ui;
    ui.answer = "L";
    std::vector<DropDownListRecord> lists(kDropDownLists);
    for (int i = 0; i < kDropDownLists - 1; ++i) SetDropDownName(lists[size_t(i)], "x");
    {
        CListPage page(nullptr, StyleRecord{}, lists.data(), nullptr);
        page.NewList();
        ASSERT_STREQ(lists[99].name, "L");
        page.Form().id205->setPlainText(QString(1024, 'a') + "\n" + QString(1025, 'b'));
        page.Form().id205->document()->setModified(true);
    } // closing saves the items
    ASSERT_EQ(lists[99].entries.size(), 2u);
    EXPECT_EQ(lists[99].entries[0].size(), 1024u);
    EXPECT_EQ(lists[99].entries[1], std::string(1024, 'b'));
    EXPECT_EQ(ui.beeps, 1);
    CListPage page(nullptr, StyleRecord{}, lists.data(), nullptr);
    page.NewList();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Too many drop-down lists in one document");
}

TEST(BackgroundPage, ShowsItsControls) {
    CBackgroundPage page(nullptr, ViewSettingsRecord{}, nullptr);
    auto& ui = page.Form();
    const std::pair<QString, QString> rows[] = {
        {ui.id400->text(), "Background &pattern"}, {ui.id189->text(), "Background &image"},
        {ui.label205->text(), "I&mage:"},          {ui.label1021->text(), "&Display image size:"},
        {ui.id408->text(), "B&rowse..."},          {ui.id216->text(), "&Worksheet gridlines:"},
        {ui.id1021->itemText(2), "Wallpaper"},
    };
    for (const auto& [shown, expected] : rows) EXPECT_EQ(shown, expected);
    EXPECT_EQ(ui.id205->maxLength(), 255);
    EXPECT_EQ(ui.id215->count(), 23);
}

TEST(BackgroundPage, KindsPathsAndGridColour) {
    FakeUi ui;
    ViewSettingsRecord view;
    view.background.kind = kBackgroundPattern;
    view.background.pattern.pattern = 5;
    view.gridColorGiven = 1;
    view.gridColor = Rgb(0, 0, 255);
    Calls<ViewSettingsRecord> log;
    CBackgroundPage page(nullptr, view, [&](const ViewSettingsRecord& v) {
        log.calls.push_back({v, 0});
        return true;
    });
    page.show();
    auto& form = page.Form();
    EXPECT_EQ(form.id221->currentIndex(), 12); // the stored grid colour shows
    Choose(form.id215, 0);
    EXPECT_EQ(log.Last().background.kind, 0);
    Click(form.id189);
    EXPECT_TRUE(form.id189->isChecked());
    EXPECT_EQ(log.Last().background.kind, kBackgroundImage);
    form.id205->setFocus();
    QTest::keyClicks(form.id205, "a.png");
    EXPECT_STREQ(log.Last().background.imagePath, "a.png");
    // A browsed path too long for the record is refused and changes nothing.
    const size_t calls = log.calls.size();
    ui.openPath = "/" + QString(255, 'p');
    page.Browse();
    EXPECT_EQ(log.calls.size(), calls);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "Please enter no more than 255 characters.");
    EXPECT_STREQ(page.Record().background.imagePath, "a.png");
    ui.openPath = "/" + QString(254, 'p');
    page.Browse();
    EXPECT_EQ(std::strlen(log.Last().background.imagePath), 255u);
    // A typed path is counted in bytes: 127 two-byte letters and one more byte fill the
    // record; one two-byte letter more is refused, with the box, and applies nothing.
    const auto typeE = [&form](int count) {
        for (int i = 0; i < count; ++i)
            QTest::sendKeyEvent(QTest::Click, form.id205, Qt::Key_Eacute, QString(QChar(0xE9)),
                                Qt::NoModifier);
    };
    form.id205->selectAll();
    typeE(127);
    QTest::keyClicks(form.id205, "x");
    EXPECT_EQ(std::strlen(log.Last().background.imagePath), 255u);
    const size_t typed = log.calls.size();
    typeE(1);
    EXPECT_EQ(log.calls.size(), typed);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1], "Please enter no more than 255 characters.");
    EXPECT_EQ(std::strlen(page.Record().background.imagePath), 255u);
}

TEST(FormatPages, OnePageAtATimeAndItsCommand) {
    std::vector<DropDownListRecord> lists(kDropDownLists);
    CFormatPages pages;
    EXPECT_EQ(pages.OpenPageCommand(), 0);
    FormatPageRequest request;
    request.point = QPoint(100000, 100000); // far off: kept inside the work area
    struct Row {
        std::function<void()> open;
        int command;
    };
    const Row rows[] = {
        {[&] { pages.OpenFontPage(request, ArialFont(), nullptr); }, 57696},
        {[&] { pages.OpenBorderPage(request, StyleRecord{}, nullptr); }, 33051},
        {[&] { pages.OpenStylePage(request, StandardFormat{}, nullptr); }, 32818},
        {[&] { pages.OpenAlignmentPage(request, StyleRecord{}, nullptr); }, 33052},
        {[&] { pages.OpenListPage(request, StyleRecord{}, lists.data(), nullptr); }, 33053},
        {[&] { pages.OpenBackgroundPage(request, ViewSettingsRecord{}, nullptr); }, 32813},
    };
    QPointer<CFormatPage> previous;
    for (const Row& row : rows) {
        row.open();
        EXPECT_EQ(pages.OpenPageCommand(), row.command);
        EXPECT_TRUE(previous.isNull()); // the page before is gone
        previous = pages.Page();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(area.contains(pages.Page()->frameGeometry().bottomRight())) << row.command;
    }
    pages.ClosePage();
    EXPECT_EQ(pages.OpenPageCommand(), 0);
}

TEST(FormatPages, APressOutsideClosesThePage) {
    CFormatPages pages;
    FormatPageRequest request;
    request.point = QPoint(0, 0);
    pages.OpenFontPage(request, ArialFont(), nullptr);
    QPointer<CFormatPage> page = pages.Page();
    QWidget other;
    other.setGeometry(600, 600, 100, 100);
    other.show();
    // A press inside keeps it; one outside while the focus is elsewhere closes it.
    QTest::mouseClick(page->ToolBar(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_FALSE(page.isNull());
    other.setFocus();
    QTest::mouseClick(&other, Qt::LeftButton, {}, QPoint(5, 5));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(pages.OpenPageCommand(), 0);
}
