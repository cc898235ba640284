#pragma once
// Runs a window command whose modal dialog is the real one, and hands the dialog to `use` once
// it has the keyboard; the dialog must close by what `use` typed.

#include "dialogs/dialoguiservices.h"
#include "tests/common/waits.h"
#include "wndtest.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

namespace vl::wndtest {

// The same around any action that opens the dialog (opening a file, say).
template <class Dialog>
void WithModalDialogDuring(FakeUi& ui, const std::function<void()>& action,
                           const std::function<void(Dialog&)>& use) {
    CDialogUiServices services(ui);
    SetUiServices(&services);
    bool used = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog || used) return;
        used = true;
        poll.stop();
        EXPECT_TRUE(testwait::UntilActive(dialog));
        use(*dialog);
        if (!testwait::Until([&] { return !dialog->isVisible(); })) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    });
    poll.start();
    action();
    SetUiServices(&ui);
    EXPECT_TRUE(used);
}

template <class Dialog>
void WithModalDialog(FakeUi& ui, CWorkbookWnd& window, unsigned command,
                     const std::function<void(Dialog&)>& use) {
    WithModalDialogDuring<Dialog>(
        ui, [&] { window.HandleCommand(command); }, use);
}

} // namespace vl::wndtest
