// Opening and closing a format page changes nothing: on cells whose face is not installed,
// whose size is none the font page offers and whose number format is a typed pattern, every
// page opened by keys, walked with Tab and closed leaves the styles, the cells, the worksheet
// settings and the undo history as they were.

#include "dialogs/stylepage.h"
#include "formatpagekeys.h"
#include "model/formatattribute.h"
#include "workbookwnd/formatapply.h"

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QToolBar>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace vl {

namespace {

constexpr char kMissingFace[] = "Nowhere Installed Sans";

class PageOpenCloseTest : public FormatPageKeysTest {
protected:
    // B2:C4 in a face no machine has, at 7 points, shown by a pattern of no user style.
    void SetUp() override {
        FormatPageKeysTest::SetUp();
        SelectBlock();
        FontRecord font = DefaultFontRecord();
        std::strcpy(font.faceName, kMissingFace);
        font.size = 7;
        ASSERT_TRUE(ApplySelectionFormat(*Active(), kAttrFontName, StyleRecord{}, font));
        ASSERT_TRUE(ApplySelectionFormat(*Active(), kAttrFontSize, StyleRecord{}, font));
        StyleRecord pattern;
        pattern.numberFormat.kind = STD_STYLE_USER_DEFINED;
        std::strcpy(pattern.numberFormat.code, "0.0#\" kg\"");
        ASSERT_TRUE(ApplySelectionFormat(*Active(), kAttrNumberFormatCode, pattern, font));
        Active()->SetModified(false);
    }
    // Passes the keyboard from control to control until it is back where it started: Tab,
    // or past a text box that takes Tab as text, the next control as Tab would give it.
    void TabRound(CFormatPage& page) {
        QWidget* first = QApplication::focusWidget();
        for (int i = 0; i < 40; ++i) {
            if (auto* box = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget())) {
                QWidget* next = box->nextInFocusChain();
                while (next != box &&
                       !(next->isVisibleTo(&page) && next->isEnabled() &&
                         (next->focusPolicy() & Qt::TabFocus) && page.isAncestorOf(next)))
                    next = next->nextInFocusChain();
                next->setFocus(Qt::TabFocusReason);
                Settle();
            } else {
                Press(Qt::Key_Tab);
            }
            if (QApplication::focusWidget() == first) return;
        }
        ADD_FAILURE() << "Tab never came back to " << first->objectName().toStdString() << " of "
                      << page.Command();
    }
    void ClickClose(CFormatPage& page) {
        QWidget* button = page.ToolBar()->widgetForAction(page.Action(CFormatPage::kClose));
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
    }
};

// A view's fields one after another, without the padding between them, which a copy need
// not keep.
std::string ViewFields(const ViewSettingsRecord& v) {
    std::string out;
    const auto put = [&out](const auto& field) {
        out.append(reinterpret_cast<const char*>(&field), sizeof field);
    };
    const auto putRef = [&put](const CellRef& r) {
        put(r.column);
        put(r.row);
        put(r.flags);
    };
    const BackgroundRecord& b = v.background;
    put(b.kind);
    put(b.pattern.pattern);
    put(b.pattern.patternColorGiven);
    put(b.pattern.patternColor);
    put(b.pattern.backgroundColorGiven);
    put(b.pattern.backgroundColor);
    out += b.imagePath;
    for (const auto& field : {double(b.imageView), b.zr, b.zi, b.minX, b.maxX, b.minY, b.maxY})
        put(field);
    put(b.fractalColors);
    for (const auto& field : {v.showGrid, v.gridColorGiven, v.headingsColorGiven}) put(field);
    put(v.gridColor);
    put(v.headingsColor);
    putRef(v.topLeft);
    putRef(v.selection[0]);
    putRef(v.selection[1]);
    putRef(v.freezed);
    put(v.scale);
    return out;
}

struct Snapshot {
    std::unique_ptr<StyleTables> styles = std::make_unique<StyleTables>();
    std::string view;
    int32_t undo = 0;
    uint16_t cells[2][3] = {};
};

TEST_F(PageOpenCloseTest, OpeningAndClosingAPageChangesNothing) {
    const auto take = [this] {
        Snapshot s;
        *s.styles = Book().styles;
        s.view = ViewFields(Book().tree.active->view);
        s.undo = Book().undo.current;
        for (uint16_t c = 1; c <= 2; ++c)
            for (uint32_t r = 1; r <= 3; ++r)
                s.cells[c - 1][r - 1] = CellStyleIndex(Book().tree.active->formats, r, c);
        return s;
    };
    const Snapshot before = take();
    ASSERT_STREQ(GetFontRecord(Book().styles, CellStyle(1, 1).fontRef.fontIndex).faceName,
                 kMissingFace);
    const std::pair<const char*, std::function<void(CFormatPage&)>> closings[] = {
        {"Escape", [this](CFormatPage&) { Press(Qt::Key_Escape); }},
        {"Close", [this](CFormatPage& page) { ClickClose(page); }},
        {"Tab round, Escape",
         [this](CFormatPage& page) {
             TabRound(page);
             Press(Qt::Key_Escape);
         }},
        {"Tab round, Close",
         [this](CFormatPage& page) {
             TabRound(page);
             ClickClose(page);
         }},
    };
    for (const PageKeys& keys : kPages) {
        for (const auto& [how, close] : closings) {
            SCOPED_TRACE(std::to_string(keys.command) + " " + how);
            SelectBlock();
            QPointer<CFormatPage> page = OpenByKeys(keys);
            ASSERT_FALSE(page.isNull());
            close(*page);
            Settle();
            EXPECT_TRUE(page.isNull());
            const Snapshot after = take();
            EXPECT_EQ(std::memcmp(after.styles.get(), before.styles.get(), sizeof(StyleTables)), 0);
            EXPECT_STREQ(GetFontRecord(Book().styles, CellStyle(1, 1).fontRef.fontIndex).faceName,
                         kMissingFace);
            EXPECT_EQ(after.view, before.view);
            EXPECT_EQ(std::memcmp(after.cells, before.cells, sizeof before.cells), 0);
            EXPECT_EQ(after.undo, before.undo);
            EXPECT_FALSE(Active()->IsModified());
        }
    }
}

// A time format the list does not offer: the keyboard passing through the list picks none.
TEST_F(PageOpenCloseTest, ATimeFormatNotOfferedStaysWhenTheKeysPassItsList) {
    StyleRecord time;
    time.numberFormat.kind = STD_STYLE_TIME;
    time.numberFormat.params[fmtparam::kTimeStyle] = 12;
    ASSERT_TRUE(ApplySelectionFormat(*Active(), kAttrNumberFormat, time, FontRecord{}));
    const int32_t undo = Book().undo.current;
    SelectBlock();
    QPointer<CFormatPage> page = OpenByKeys(kPages[2]);
    ASSERT_FALSE(page.isNull());
    auto* style = dynamic_cast<CStylePage*>(page.data());
    ASSERT_TRUE(style && style->SubPage());
    auto* times = style->SubPage()->findChild<QListWidget*>("id1020");
    ASSERT_NE(times, nullptr);
    TabRound(*page);
    EXPECT_EQ(times->currentItem(), times->item(0)); // passed through, not picked
    Press(Qt::Key_Escape);
    EXPECT_TRUE(page.isNull());
    EXPECT_EQ(Book().undo.current, undo);
    for (uint16_t c = 1; c <= 2; ++c)
        for (uint32_t r = 1; r <= 3; ++r) {
            const StandardFormat& f = CellStyle(c, r).numberFormat;
            EXPECT_EQ(f.kind, STD_STYLE_TIME);
            EXPECT_EQ(f.params[fmtparam::kTimeStyle], 12);
        }
}

} // namespace

} // namespace vl
