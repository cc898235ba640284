// The address box's bookmarks: Add Bookmark, Current Address and the two removals, and the
// drop-down list that shows the profile's bookmarks in the notation in use.

#include "app/bookmarks.h"
#include "app/mainframe.h"
#include "core/settings.h"
#include "formula/addresstext.h"
#include "platform/core/cp1252.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/commandprompts.h"
#include "ui/messages.h"
#include "ui/uiservices.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <utility>

namespace vl {

namespace {

QString Shown(const std::string& cp1252) {
    return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

bool UsesR1C1() {
    return Profile().addressingA1 == 0;
}

} // namespace

void CMainFrame::RegisterBookmarkHandlers() {
    handlers_[ID_ADD_BOOKMARK] = [this] { OnAddBookmark(); };
    handlers_[ID_CURRENT_ADDRESS] = [this] { OnCurrentAddress(); };
    handlers_[ID_REMOVE_ITEM] = [this] { OnRemoveListItem(ID_REMOVE_ITEM); };
    handlers_[ID_REMOVE_ALL_ITEMS] = [this] { OnRemoveListItem(ID_REMOVE_ALL_ITEMS); };
}

void CMainFrame::AttachRemoveListMenu() {
    QAction* remove = ToolAction(ID_REMOVE_ITEM);
    auto* button =
        remove ? qobject_cast<QToolButton*>(bars_[kAddressBar]->widgetForAction(remove)) : nullptr;
    if (!button) return;
    auto* menu = new QMenu(button);
    MarkPromptMenu(*menu);
    for (auto [id, text] : {std::pair{ID_REMOVE_ITEM, "Remove this Item From the List"},
                            std::pair{ID_REMOVE_ALL_ITEMS, "Remove All Items"}}) {
        QAction* item = menu->addAction(QString::fromLatin1(text));
        SetItemCommand(*item, id);
        connect(item, &QAction::triggered, this, [this, id] { OnCommand(id); });
    }
    button->setMenu(menu);
}

void CMainFrame::FillAddressBox() {
    if (!addressBox_) return;
    addressBox_->clear();
    for (const std::string& bookmark : Profile().bookmarks)
        addressBox_->addItem(Shown(ShownBookmark(bookmark, UsesR1C1())));
    addressBox_->setCurrentIndex(-1);
    addressBox_->setEditText(QString());
}

void CMainFrame::OnAddBookmark() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    const std::string stored = wnd ? wnd->SelectionAddress(true) : std::string();
    if (stored.empty()) return;
    SettingsProfile& profile = Profile();
    if (int(profile.bookmarks.size()) >= kMaxAddedBookmarks) {
        ShowStringMessage(IDS_MAX_ITEMS, MB_ICONEXCLAMATION, QString::number(kMaxAddedBookmarks));
        return;
    }
    QString typed;
    if (UiServices().AskBookmarkName(typed) != IDOK || typed.isEmpty()) return;
    const std::string name = kBookmarkSeparator + Utf8ToCp1252(typed.toStdString());
    const std::string text = stored + name;
    if (text.size() > kMaxAddressText) {
        ShowStringMessage(IDS_MAX_CHARACTERS, MB_ICONEXCLAMATION, QString::number(kMaxAddressText));
        return;
    }
    profile.bookmarks.push_back(text);
    if (!addressBox_) return;
    addressBox_->addItem(Shown(wnd->SelectionAddress(UsesR1C1()) + name));
    addressBox_->setCurrentIndex(addressBox_->count() - 1);
}

void CMainFrame::OnCurrentAddress() {
    IWorkbookWnd* wnd = GetActiveWorkbookWnd();
    if (!wnd || !addressBox_) return;
    addressBox_->setEditText(Shown(wnd->SelectionAddress(UsesR1C1())));
}

void CMainFrame::OnRemoveListItem(int id) {
    if (!addressBox_) return;
    auto& bookmarks = Profile().bookmarks;
    if (id == ID_REMOVE_ITEM) {
        const int index = addressBox_->currentIndex();
        if (index < 0) return;
        if (ShowStringMessage(IDS_REMOVE_ADDRESS, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        if (index < int(bookmarks.size())) bookmarks.erase(bookmarks.begin() + index);
        addressBox_->removeItem(index);
    } else {
        if (addressBox_->count() == 0) return;
        if (ShowStringMessage(IDS_EMPTY_ADDRESS_LIST, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
        bookmarks.clear();
        addressBox_->clear();
    }
    addressBox_->setCurrentIndex(-1);
    addressBox_->setEditText(QString());
}

} // namespace vl
