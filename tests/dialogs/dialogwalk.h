#pragma once
// One walk over the dialogs and pages of the dialog library, each built on small fixture
// data and handed over as the user first sees it, with the sub-pages a user picks (the
// number families of the style page, the tabs of the print sheet) handed over one by one.
// The text-fit test checks each; the picture program draws each.

#include "core/clock.h"

#include <QWidget>
#include <functional>
#include <string>

namespace vl::dialogtest {

// Called with a dialog or page, not shown unless a sub-page was picked on it, and its name
// ("stylepage-currency", "printsheet-layout").
using DialogVisit = std::function<void(QWidget& dialog, const std::string& name)>;

// The cell format pages and the small dialogs they open.
void WalkFormatPages(const DialogVisit& visit);
// The dialogs the window and the frame open; the wait dialog reads the clock.
void WalkWindowDialogs(const IClock& clock, const DialogVisit& visit);

} // namespace vl::dialogtest
