#include "dialogs/combos.h"
#include "platform/gui/devicecontext.h"
#include "tests/common/popupkeys.h"
#include "tests/dialogs/dialogtest.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

using namespace vl;
using vl::dialogtest::FakeUi;

namespace {

std::vector<uint32_t> Items(const CDrawnCombo& combo) {
    std::vector<uint32_t> data;
    for (int i = 0; i < combo.count(); ++i) data.push_back(combo.ItemData(i));
    return data;
}

std::vector<uint32_t> Range(uint32_t first, uint32_t last) {
    std::vector<uint32_t> v;
    for (uint32_t c = first; c <= last; ++c) v.push_back(c);
    return v;
}

} // namespace

TEST(Combos, FillsTheCodesOfItsFlags) {
    struct Row {
        const char* what;
        std::function<std::vector<uint32_t>()> fill;
        std::vector<uint32_t> expected;
    };
    const std::vector<Row> rows = {
        {"line styles",
         [] {
             CLineStyleCombo c;
             c.Init(1, false);
             return Items(c);
         },
         Range(0, 5)},
        {"line styles, thick",
         [] {
             CLineStyleCombo c;
             c.Init(1, true);
             return Items(c);
         },
         Range(0, 8)},
        {"symbols",
         [] {
             CSymbolCombo c;
             c.Init(4);
             return Items(c);
         },
         Range(1, 15)},
        {"patterns, none",
         [] {
             CPatternCombo c;
             c.Init(0, false, false);
             return Items(c);
         },
         Range(0, 1)},
        {"patterns, gradients without patterns",
         [] {
             CPatternCombo c;
             c.Init(0, false, true);
             return Items(c);
         },
         Range(0, 1)},
        {"patterns",
         [] {
             CPatternCombo c;
             c.Init(0, true, false);
             return Items(c);
         },
         Range(0, 18)},
        {"patterns and gradients",
         [] {
             CPatternCombo c;
             c.Init(0, true, true);
             return Items(c);
         },
         Range(0, 22)},
    };
    for (const Row& row : rows) EXPECT_EQ(row.fill(), row.expected) << row.what;
}

TEST(Combos, RefillingRebuildsAndAnAbsentCodeSelectsNothing) {
    CLineStyleCombo line;
    line.Init(7, true);
    EXPECT_EQ(line.currentIndex(), 7);
    line.Init(9, false); // the double line is never offered
    EXPECT_EQ(line.count(), 6);
    EXPECT_EQ(line.currentIndex(), -1);
    EXPECT_EQ(GetComboItemData(line), 9);
    CSymbolCombo symbol;
    EXPECT_EQ(GetComboItemData(symbol), 4); // the constructed value
    symbol.Init(15);
    EXPECT_EQ(GetComboItemData(symbol), 15);
}

TEST(Combos, ColorInitSelects) {
    const COLORREF red = Rgb(255, 0, 0), odd = Rgb(1, 2, 3), other = Rgb(9, 9, 9);
    struct Row {
        COLORREF color, defaultColor;
        bool selectDefault;
        int index;
    };
    const Row rows[] = {
        {red, red, false, 9},
        {red, other, true, 16},
        {odd, odd, false, 16},
        {odd, other, false, 17},
        {Rgb(0, 0, 0), other, false, 0},
        {Rgb(255, 255, 255), Rgb(255, 255, 255), false, 15},
    };
    for (const Row& row : rows) {
        CColorCombo combo;
        combo.Init(row.color, row.defaultColor, row.selectDefault);
        EXPECT_EQ(combo.count(), 18);
        EXPECT_EQ(combo.currentIndex(), row.index) << row.color;
        EXPECT_EQ(combo.ItemData(16), row.defaultColor);
        EXPECT_EQ(combo.ItemData(17), row.color);
    }
}

TEST(Combos, SecondColorInitKeepsTheFirstDefault) {
    CColorCombo combo;
    combo.Init(Rgb(1, 1, 1), Rgb(2, 2, 2), false);
    combo.Init(Rgb(3, 3, 3), Rgb(4, 4, 4), false);
    EXPECT_EQ(combo.count(), 18);
    EXPECT_EQ(combo.ItemData(16), Rgb(2, 2, 2));
    EXPECT_EQ(combo.ItemData(17), Rgb(3, 3, 3));
    EXPECT_EQ(combo.currentIndex(), 17);
    combo.Init(Rgb(2, 2, 2), Rgb(5, 5, 5), false); // equal to the first default
    EXPECT_EQ(combo.currentIndex(), 16);
}

TEST(Combos, ReadersGiveCodesColoursAndFlags) {
    CLineStyleCombo line;
    line.Init(3, true);
    CColorCombo color;
    color.Init(Rgb(0, 0, 255), Rgb(7, 7, 7), true);
    BorderLine out;
    GetLineFormatFromCombos(line, color, out);
    EXPECT_EQ(out.style, 3);
    EXPECT_EQ(out.colorGiven, 0);
    EXPECT_EQ(out.color, Rgb(7, 7, 7));
    color.setCurrentIndex(12);
    GetLineFormatFromCombos(line, color, out);
    EXPECT_EQ(out.colorGiven, 1);
    EXPECT_EQ(out.color, Rgb(0, 0, 255));
    CColorCombo unselected;
    unselected.Init(Rgb(5, 5, 5), Rgb(6, 6, 6), false);
    unselected.setCurrentIndex(-1);
    GetLineFormatFromCombos(line, unselected, out);
    EXPECT_EQ(out.colorGiven, 1); // nothing selected keeps the flag
    EXPECT_EQ(out.color, Rgb(5, 5, 5));

    CPatternCombo pattern;
    pattern.Init(11, true, true);
    CColorCombo back;
    back.Init(Rgb(10, 20, 30), Rgb(0, 0, 0), true);
    InteriorFill fill;
    GetFillFormatFromCombos(pattern, color, back, fill);
    EXPECT_EQ(fill.pattern, 11);
    EXPECT_EQ(fill.patternColorGiven, 1);
    EXPECT_EQ(fill.patternColor, Rgb(0, 0, 255));
    EXPECT_EQ(fill.backgroundColorGiven, 0);
    EXPECT_EQ(fill.backgroundColor, Rgb(0, 0, 0));
}

TEST(Combos, ColorNames) {
    struct Row {
        COLORREF color;
        bool absent;
        const char* name;
    };
    const Row rows[] = {
        {Rgb(255, 0, 0), false, "red"},
        {Rgb(128, 128, 128), false, "gray"},
        {Rgb(192, 192, 192), false, "light gray"},
        {Rgb(128, 128, 0), false, "light brown"},
        {Rgb(1, 2, 3), false, "custom"},
        {Rgb(255, 0, 0), true, "default"},
        {Rgb(255, 255, 255), false, "white"},
    };
    for (const Row& row : rows) EXPECT_STREQ(GetColorName(row.color, row.absent), row.name);
}

TEST(Combos, CustomEntryOpensTheSharedChooser) {
    FakeUi ui;
    CColorCombo combo;
    int notices = 0;
    combo.onCustomChosen = [&] { ++notices; };
    combo.Init(Rgb(1, 2, 3), Rgb(0, 0, 0), false);
    ASSERT_EQ(combo.currentIndex(), 17);
    combo.show();
    // Hidden with "custom" chosen, as when its page closes: no chooser.
    combo.hide();
    EXPECT_EQ(ui.colorChoosers, 0);
    combo.show();
    // The list opened and closed on "custom", Cancel: everything stays.
    combo.showPopup();
    combo.hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.colorChoosers, 1);
    EXPECT_EQ(ui.startColor, Rgb(1, 2, 3));
    EXPECT_EQ(ui.customTable, SharedCustomColors());
    EXPECT_EQ(SharedCustomColors()[0], Rgb(255, 255, 255));
    EXPECT_EQ(SharedCustomColors()[15], Rgb(255, 255, 255));
    EXPECT_EQ(combo.currentIndex(), 17);
    EXPECT_EQ(combo.GetColor(), Rgb(1, 2, 3));
    EXPECT_EQ(notices, 0);
    // OK: the stored colour and the custom entry take the choice.
    ui.chosenColor = Rgb(40, 50, 60);
    combo.showPopup();
    combo.hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(combo.GetColor(), Rgb(40, 50, 60));
    EXPECT_EQ(combo.ItemData(17), Rgb(40, 50, 60));
    EXPECT_EQ(notices, 1);
    // Another entry closing the list opens nothing.
    combo.setCurrentIndex(3);
    combo.showPopup();
    combo.hidePopup();
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.colorChoosers, 2);
}

namespace {

// A colour list with the colour, "default" black, alone in an active window with the keys.
struct ComboWithKeys {
    explicit ComboWithKeys(COLORREF color) : combo(new CColorCombo(&window)) {
        (new QVBoxLayout(&window))->addWidget(combo);
        combo->Init(color, Rgb(0, 0, 0), false);
        combo->onCustomChosen = [this] { ++notices; };
    }
    bool Ready() {
        window.show();
        window.activateWindow();
        if (!testwait::UntilActive(&window)) return false;
        combo->setFocus();
        return testwait::UntilFocused(combo);
    }
    QWidget window;
    CColorCombo* combo;
    int notices = 0; // colours chosen through "custom"
};

} // namespace

// The list opened by keys, "custom" picked with End and Return: the chooser opens once the
// pick is current, and its colour is taken. Escape after moving to "custom" keeps the entry
// before and opens nothing; Return on a palette entry opens nothing.
TEST(Combos, CustomPickedByKeysOpensTheChooser) {
    FakeUi ui;
    ui.chosenColor = Rgb(7, 8, 9);
    ComboWithKeys keys(Rgb(0, 0, 255));
    ASSERT_TRUE(keys.Ready());
    CColorCombo* combo = keys.combo;
    int& notices = keys.notices;
    const auto pick = [&](Qt::Key move, Qt::Key close) {
        // Alt+Down once the combo box holds the keys again, the keys after it once the list
        // holds them.
        ASSERT_TRUE(testwait::UntilKeysReach(combo));
        EXPECT_TRUE(testwait::PressKey(Qt::Key_Down, Qt::AltModifier));
        QWidget* list = testwait::UntilPopupHasKeys();
        EXPECT_TRUE(list && list->isAncestorOf(combo->view()) && combo->view()->isVisible());
        EXPECT_TRUE(testwait::PressKey(move));
        EXPECT_TRUE(testwait::PressKey(close));
        EXPECT_TRUE(testwait::Until([&] { return !combo->view()->isVisible(); }));
    };
    pick(Qt::Key_End, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.colorChoosers, 0);
    EXPECT_EQ(combo->currentIndex(), 12); // blue
    pick(Qt::Key_Home, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.colorChoosers, 0);
    EXPECT_EQ(combo->currentIndex(), 0);
    pick(Qt::Key_End, Qt::Key_Return);
    EXPECT_TRUE(testwait::Until([&] { return ui.colorChoosers == 1; }));
    EXPECT_EQ(combo->currentIndex(), CColorCombo::kCustomItem);
    EXPECT_EQ(ui.startColor, Rgb(0, 0, 255));
    EXPECT_EQ(combo->GetColor(), Rgb(7, 8, 9));
    EXPECT_EQ(notices, 1);
}

// Under the closed field Down opens the list and keeps the choice; Up still steps it; End
// onto "custom" asks for the colour, once, as picking it in the list does.
TEST(Combos, KeysOnTheClosedFieldOpenTheListOrAskForCustom) {
    FakeUi ui;
    ui.chosenColor = Rgb(7, 8, 9);
    ComboWithKeys keys(Rgb(0, 128, 0)); // dark green, position 2
    ASSERT_TRUE(keys.Ready());
    CColorCombo* combo = keys.combo;
    int& notices = keys.notices;
    EXPECT_TRUE(testwait::PressKey(Qt::Key_Down));
    EXPECT_TRUE(testwait::Until([&] { return combo->view()->isVisible(); }));
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_TRUE(testwait::PressKey(Qt::Key_Escape));
    EXPECT_TRUE(testwait::Until([&] { return !combo->view()->isVisible(); }));
    EXPECT_EQ(combo->currentIndex(), 2);
    ASSERT_TRUE(testwait::UntilKeysReach(combo));
    EXPECT_TRUE(testwait::PressKey(Qt::Key_Up));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_FALSE(combo->view()->isVisible());
    EXPECT_EQ(ui.colorChoosers, 0);
    EXPECT_TRUE(testwait::PressKey(Qt::Key_End));
    EXPECT_TRUE(testwait::Until([&] { return ui.colorChoosers == 1; }));
    EXPECT_EQ(combo->currentIndex(), CColorCombo::kCustomItem);
    EXPECT_EQ(ui.startColor, Rgb(0, 128, 0));
    EXPECT_EQ(combo->GetColor(), Rgb(7, 8, 9));
    EXPECT_EQ(notices, 1);
    // End again, already on "custom", asks nothing more.
    EXPECT_TRUE(testwait::PressKey(Qt::Key_End));
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.colorChoosers, 1);
}

TEST(Combos, SymbolShapes) {
    using P = SymbolPoint;
    struct Row {
        uint8_t code;
        bool polygon;
        std::vector<P> points;
    };
    const Row rows[] = {
        {1, false, {{10, 20}}},
        {2, true, {{9, 19}, {11, 19}, {11, 21}, {9, 21}, {9, 19}}},
        {5, true, {{6, 16}, {14, 16}, {14, 24}, {6, 24}, {6, 16}}},
        {7, true, {{7, 20}, {10, 17}, {13, 20}, {10, 23}, {7, 20}}},
        {9,
         true,
         {{8, 21}, {8, 19}, {9, 18}, {11, 18}, {12, 19}, {12, 21}, {11, 22}, {9, 22}, {8, 21}}},
        {11,
         true,
         {{6, 22}, {6, 18}, {8, 16}, {12, 16}, {14, 18}, {14, 22}, {12, 24}, {8, 24}, {6, 22}}},
        {12, false, {{10, 17}, {10, 24}, {7, 20}, {14, 20}, {8, 18}, {13, 23}, {8, 22}, {13, 17}}},
        {15, false, {{7, 17}, {14, 24}, {7, 23}, {14, 16}}},
    };
    for (const Row& row : rows) {
        const auto strokes = SymbolShape(row.code, 10, 20);
        ASSERT_EQ(strokes.size(), 1u) << int(row.code);
        EXPECT_EQ(strokes[0].polygon, row.polygon) << int(row.code);
        EXPECT_EQ(strokes[0].points, row.points) << int(row.code);
    }
    EXPECT_TRUE(SymbolShape(0, 10, 20).empty());
    EXPECT_TRUE(SymbolShape(16, 10, 20).empty());
}

TEST(Combos, ListItemsAreTheItemHeight) {
    CLineStyleCombo combo;
    combo.Init(1, true);
    EXPECT_GT(GetComboItemHeight(), 10);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 5);
    EXPECT_EQ(combo.itemDelegate()->sizeHint(option, combo.model()->index(0, 0)).height(),
              GetComboItemHeight());
}

// Every item of a list, the selected one highlighted, stacked in one image.
template <class Combo> QImage ListImage(const Combo& combo, int selected) {
    const int h = GetComboItemHeight();
    QImage image(120, h * (combo.count() + 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int i = -1; i < combo.count(); ++i) {
        QImage item(120, h, QImage::Format_RGB32);
        item.fill(Qt::white);
        {
            auto dc = CDeviceContext::ForImage(item);
            combo.PaintItem(*dc, item.width(), item.height(), i, i == selected);
        }
        painter.drawImage(0, (i + 1) * h, item);
    }
    return image;
}

TEST(Combos, ListsLookAsTheyDid) {
    CLineStyleCombo line;
    line.Init(2, true);
    dialogtest::ExpectGolden(ListImage(line, 2), "linestyles.png");
    CSymbolCombo symbol;
    symbol.Init(4);
    dialogtest::ExpectGolden(ListImage(symbol, 3), "symbols.png");
    CPatternCombo pattern;
    pattern.Init(4, true, true);
    dialogtest::ExpectGolden(ListImage(pattern, 4), "patterns.png");
    CColorCombo color;
    color.Init(Rgb(12, 34, 56), Rgb(0, 0, 0), false);
    dialogtest::ExpectGolden(ListImage(color, 17), "colors.png");
}
