// The style page's options as a user meets them in the real frame: room for the options of
// the first entry chosen, the date texts following the day-month-year box, and the values a
// workbook read back from the XML form leaves unset.

#include "dialogs/stylepage.h"
#include "formatpagekeys.h"
#include "model/formatattribute.h"
#include "platform/core/bytes.h"
#include "tests/dialogs/textfit.h"
#include "ui_stylepage.h"
#include "values/formatdefaults.h"
#include "workbookwnd/formatapply.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPointer>
#include <QRadioButton>

namespace vl {

namespace {

namespace fp = fmtparam;

class StylePageOptionsTest : public FormatPageKeysTest {
protected:
    void TearDown() override {
        UserSeparators() = kept_;
        FormatPageKeysTest::TearDown();
    }
    CStylePage* OpenOnBlock() {
        SelectBlock();
        return dynamic_cast<CStylePage*>(OpenByKeys(kPages[2]));
    }
    void Click(QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        Settle();
    }
    void ClickRow(QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        Click(list->viewport(), list->visualItemRect(list->item(row)).center());
    }
    template <class T> T* Option(CStylePage& page, const char* name) {
        return page.SubPage() ? page.SubPage()->findChild<T*>(name) : nullptr;
    }
    const StandardFormat& BlockFormat() const {
        return GetStyleRecord(Book().styles, CellStyleIndex(Book().tree.active->formats, 1, 1))
            .numberFormat;
    }

    const SeparatorSet kept_ = UserSeparators();
};

// Whichever entry the user chooses first after the page opens, its options have the room
// their texts need and lie inside the page.
TEST_F(StylePageOptionsTest, TheFirstEntryChosenHasRoomForItsOptions) {
    for (int entry = 1; entry < CStylePage::kStandardEntries; ++entry) {
        SCOPED_TRACE(entry);
        QPointer<CStylePage> page = OpenOnBlock();
        ASSERT_FALSE(page.isNull());
        ASSERT_EQ(page->Current(), 0);
        ClickRow(page->Form().id1020, entry);
        ASSERT_EQ(page->Current(), entry);
        ASSERT_NE(page->SubPage(), nullptr);
        EXPECT_EQ(dialogtest::CutTexts(*page), std::vector<std::string>{}) << page->width();
        const QRect options(page->SubPage()->mapTo(page.data(), QPoint(0, 0)),
                            page->SubPage()->size());
        EXPECT_TRUE(page->rect().contains(options));
        pages.ClosePage();
        Settle();
        Command(ID_EDIT_UNDO); // the block goes back to Default for the next entry
        ASSERT_EQ(BlockFormat().kind, STD_STYLE_DEFAULT);
    }
}

// With a day-month-year locale, the date texts follow the "Use system day-month-year order"
// box as the user ticks it: month first without it, day first with it; the text chosen is
// always the pattern the cells get.
TEST_F(StylePageOptionsTest, TheDateTextsFollowTheSystemOrderBox) {
    SeparatorSet& user = UserSeparators();
    user.decimal = ',';
    user.thousands = '.';
    user.date = '.';
    user.shortDateOrder = 1;
    user.longDateOrder = 1;
    const struct {
        int entry;
        const char* names; // the date texts' widget
    } entries[] = {{4, "id1020"}, {6, "id215"}};
    const struct {
        bool ticked;
        const char* texts[4]; // formats 0, 1, 9 and 10
        const char* stored;   // the cells' code for format 1
    } states[] = {
        {false, {"m.d.yyyy", "mm.dd.yyyy", "mmmm d, yyyy", "dddd, mmmm dd, yyyy"}, "mm/dd/yyyy"},
        {true, {"d.m.yyyy", "dd.mm.yyyy", "d mmmm, yyyy", "dddd, dd mmmm, yyyy"}, "dd/mm/yyyy"},
    };
    for (const auto& e : entries) {
        QPointer<CStylePage> page = OpenOnBlock();
        ASSERT_FALSE(page.isNull());
        ClickRow(page->Form().id1020, e.entry);
        ASSERT_EQ(page->Current(), e.entry);
        auto* box = Option<QCheckBox>(*page, "id216");
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isChecked()); // a new date format takes the system order
        // The texts a widget shows and the one chosen.
        const auto texts = [&] {
            QStringList shown;
            if (auto* list = Option<QListWidget>(*page, e.names))
                for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
            if (auto* combo = Option<QComboBox>(*page, e.names))
                for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
            return shown;
        };
        const auto chosen = [&] {
            if (auto* list = Option<QListWidget>(*page, e.names)) return list->currentRow();
            return Option<QComboBox>(*page, e.names)->currentIndex();
        };
        // Format 1 chosen first, as the user does.
        if (auto* list = Option<QListWidget>(*page, e.names)) {
            ClickRow(list, 1);
        } else {
            Option<QComboBox>(*page, e.names)->setFocus();
            Press(Qt::Key_Down);
        }
        ASSERT_EQ(chosen(), 1);
        for (const auto& state : {states[0], states[1], states[0]}) {
            SCOPED_TRACE(std::to_string(e.entry) + (state.ticked ? " ticked" : " unticked"));
            if (box->isChecked() != state.ticked) Click(box);
            ASSERT_EQ(box->isChecked(), state.ticked);
            const QStringList shown = texts();
            ASSERT_EQ(shown.size(), 11);
            EXPECT_EQ(shown[0], state.texts[0]);
            EXPECT_EQ(shown[1], state.texts[1]);
            EXPECT_EQ(shown[9], state.texts[2]);
            EXPECT_EQ(shown[10], state.texts[3]);
            EXPECT_EQ(chosen(), 1);
            const std::string code =
                BuildStandardFormatCode(BlockFormat().kind, BlockFormat().params);
            EXPECT_EQ(code.substr(0, 10), state.stored);
            // The pattern shows what the cells got, and it begins with the text chosen.
            EXPECT_TRUE(page->Form().id205->text().startsWith(shown[1]))
                << page->Form().id205->text().toStdString();
        }
        pages.ClosePage();
        Settle();
    }
}

// A fraction by digits and a free exponent, saved in the XML form and opened again: the
// options the kind does not use offer the kind's defaults (denominator 2, exponent 10), and
// choosing them applies those.
TEST_F(StylePageOptionsTest, UnsetValuesReadFromTheXmlFormOfferTheDefaults) {
    const struct {
        uint8_t kind;
        const char* button; // what the user clicks: the option's radio button or check box
        const char* edit;
        const char* offered;
    } cases[] = {{STD_STYLE_FRACTION, "id189", "id257", "2"},
                 {STD_STYLE_SCIENTIFIC, "id218", "id205", "10"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        ASSERT_NE(NewWindow(), nullptr);
        frame->OnIdle();
        Enter(1, 1, QStringLiteral("0.5")); // a cell the form writes
        SelectBlock();
        StyleRecord style;
        style.numberFormat = DefaultStandardFormat(c.kind);
        ASSERT_TRUE(ApplySelectionFormat(*Active(), kAttrNumberFormat, style, FontRecord{}));
        Active()->HandleCommand(ID_FORMAT_XML);
        const std::string path = TempPath("options" + std::to_string(c.kind) + ".vln");
        ui.savePath = QString::fromStdString(path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
        ASSERT_NE(OpenWindow(path), nullptr);
        frame->OnIdle();
        // What the XML form brings back: the unused value as 0.
        const uint8_t* read = BlockFormat().params;
        ASSERT_EQ(BlockFormat().kind, c.kind);
        ASSERT_EQ(c.kind == STD_STYLE_FRACTION ? LoadU64(read + fp::kFixedDenominator)
                                               : read[fp::kExponentNumber],
                  0u);
        QPointer<CStylePage> page = OpenOnBlock();
        ASSERT_FALSE(page.isNull());
        ASSERT_EQ(page->Current(), c.kind);
        auto* edit = Option<QLineEdit>(*page, c.edit);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), c.offered);
        const int beeps = ui.beeps;
        Click(Option<QAbstractButton>(*page, c.button));
        EXPECT_EQ(ui.beeps, beeps);
        const uint8_t* got = BlockFormat().params;
        if (c.kind == STD_STYLE_FRACTION) {
            EXPECT_EQ(got[fp::kDenominatorMode], 1);
            EXPECT_EQ(LoadU64(got + fp::kFixedDenominator), 2u);
        } else {
            EXPECT_EQ(got[fp::kExponentForm], 1);
            EXPECT_EQ(got[fp::kExponentNumber], 10);
        }
        pages.ClosePage();
        Settle();
    }
}

} // namespace

} // namespace vl
