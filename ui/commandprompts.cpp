#include "ui/commandprompts.h"

#include "resources/commandtexts.h"

#include <QAction>
#include <QMenu>

namespace vl {

namespace {

constexpr const char* kPromptMenu = "vlPromptMenu";

} // namespace

void SetItemCommand(QAction& action, int id) {
    action.setData(id);
    action.setStatusTip(QString::fromLatin1(CommandPrompt(id)));
}

void MarkPromptMenu(QMenu& menu) {
    menu.setProperty(kPromptMenu, true);
}

bool ShowsPrompts(const QMenu& menu) {
    // A submenu is a child of the menu it opens from.
    for (const QObject* o = &menu; o; o = o->parent()) {
        const auto* m = qobject_cast<const QMenu*>(o);
        if (!m) return false;
        if (m->property(kPromptMenu).toBool()) return true;
    }
    return false;
}

} // namespace vl
