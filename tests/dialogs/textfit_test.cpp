// Every dialog, page and sub-page shown as the user first sees it: no label, button or
// combo cuts its text off at the default font, and no label or button text lies over
// another control.
#include "tests/dialogs/dialogtest.h"
#include "tests/dialogs/dialogwalk.h"
#include "tests/dialogs/textfit.h"

#include <string>

using namespace vl;

namespace {

void ExpectAllFit(QWidget& dialog, const std::string& name) {
    for (const std::string& cut : dialogtest::TextFaultsOnEveryPage(dialog))
        ADD_FAILURE() << name << ": " << cut;
}

} // namespace

TEST(TextFit, FormatPagesAndTheirSubPages) {
    int visited = 0;
    dialogtest::WalkFormatPages([&](QWidget& dialog, const std::string& name) {
        ExpectAllFit(dialog, name);
        ++visited;
    });
    // The style page and its nine families, then seven pages and dialogs.
    EXPECT_EQ(visited, 1 + 9 + 7);
}

TEST(TextFit, DialogsOfTheWindow) {
    dialogtest::FakeClock clock;
    int visited = 0;
    dialogtest::WalkWindowDialogs(clock, [&](QWidget& dialog, const std::string& name) {
        ExpectAllFit(dialog, name);
        ++visited;
    });
    // Fourteen dialogs, the print sheet once on each of its three tabs.
    EXPECT_EQ(visited, 14 + 2);
}
