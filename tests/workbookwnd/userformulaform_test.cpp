// Formulas as the user writes and reads them: typed under a decimal-comma region, a formula
// keeps its meaning or, where it does not read, the text typed; Show Formulas shows every
// formula, an error's too, in the user's form.

#include "app/localeseparators.h"
#include "formula/literals.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "wndtest.h"

namespace vl {

namespace {

constexpr int kGermany = 61; // de_DE in the region table

class UserFormulaFormTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_NE(NewWindow(), nullptr);
    }
    void TearDown() override {
        UserSeparators() = kept_;
        WindowTest::TearDown();
    }
    void ChooseRegion(int region) {
        ASSERT_TRUE(ApplyLocaleChoice(region, true));
        Profile().region = uint8_t(region);
        Active()->RefreshViews();
    }
    const uint8_t* Cell(uint16_t column, uint32_t row) const {
        return FindCell(Book().tree.active->cells, row, column);
    }
    // What the grid paints for a cell, once it has painted.
    std::string Shown(uint16_t column, uint32_t row) {
        View()->grab();
        const uint8_t* cell = Cell(column, row);
        if (!cell) return {};
        RenderedList out;
        Active()->Display().GetCellDisplayText(cell, StandardFormat{}, out);
        return out.Text();
    }

    const SeparatorSet kept_ = UserSeparators();
};

// A formula typed with the region's separators reads; one typed with "." does not read and
// keeps what was typed, to show it again for repair; so does a word the formula cannot read.
TEST_F(UserFormulaFormTest, ATypedFormulaThatDoesNotReadKeepsItsText) {
    ChooseRegion(kGermany);
    ASSERT_EQ(UserSeparators().decimal, ',');
    const struct {
        const char* typed;
        const char* edited; // as the editor starts from it again
        double number;
        uint8_t error;
    } cases[] = {
        {"=1,5", "=1,5", 1.5, 0},
        {"=ROUND(2,567;1)", "=ROUND(2,567;1)", 2.6, 0},
        {"=1.5", "=1.5", 0, kErrSyntax >> 4},
        {"=ROUND(2.567,1)", "=ROUND(2.567,1)", 0, kErrSyntax >> 4},
        {"=1,,2", "=1,,2", 0, kErrSyntax >> 4},
        {"=TRUEX", "=TRUEX", 0, kErrSyntax >> 4},
        {"=A1+1.5", "=A1+1.5", 0, kErrSyntax >> 4},
    };
    uint32_t row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Enter(1, row, QString::fromLatin1(c.typed));
        EXPECT_EQ(CellText(1, row), c.edited);
        const uint8_t* cell = Cell(1, row);
        ASSERT_NE(cell, nullptr);
        ASSERT_TRUE(cell::IsFormula(cell));
        EXPECT_EQ(cell::Error(cell), c.error);
        if (c.error == 0) {
            EXPECT_DOUBLE_EQ(cell::CachedNumber(cell), c.number);
        }
        ++row;
    }
    // Editing the kept text into a formula that reads makes it one.
    Select(1, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_End);
    Key(Qt::Key_Left);
    Key(Qt::Key_Backspace);
    Type(QStringLiteral(","));
    Key(Qt::Key_Return);
    EXPECT_EQ(CellText(1, 2), "=1,5");
    EXPECT_EQ(cell::Error(Cell(1, 2)), 0);
    // Under the generic set the kept text shows as typed, and "." reads again.
    ChooseRegion(0);
    EXPECT_EQ(CellText(1, 3), "=ROUND(2.567,1)");
    EXPECT_EQ(CellText(1, 0), "=1.5");
}

// Show Formulas shows each formula as the user wrote it, whatever its result.
TEST_F(UserFormulaFormTest, ShowFormulasShowsErrorsInTheUsersForm) {
    Enter(0, 0, QStringLiteral("4"));
    Enter(5, 0, QStringLiteral("=A1/0"));
    Enter(1, 1, QStringLiteral("=A1+1"));
    Enter(2, 1, QStringLiteral("=SUM("));
    ui.options = [] {
        Profile().showFormulas = 1;
        return IDOK;
    };
    frame->OnCommand(ID_OPTIONS);
    Settle();
    ASSERT_EQ(Profile().showFormulas, 1);
    ASSERT_EQ(cell::Error(Cell(5, 0)), kErrDivZero >> 4);
    EXPECT_EQ(Shown(5, 0), "=A1/0");
    EXPECT_EQ(Shown(1, 1), "=A1+1");
    EXPECT_EQ(Shown(2, 1), "=SUM(");
    EXPECT_EQ(Shown(0, 0), "4");
}

} // namespace

} // namespace vl
