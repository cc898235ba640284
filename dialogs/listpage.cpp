#include "dialogs/listpage.h"

#include "dialogs/dialogutil.h"
#include "platform/core/cp1252.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui_listnamedialog.h"
#include "ui_listpage.h"

namespace vl {

namespace {

struct {
    bool filled = false;
    StyleRecord record;
} g_clipboard;

QString FromCp1252(std::string_view text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

} // namespace

CListNameDlg::CListNameDlg(QWidget* parent, const QString& name)
    : QDialog(parent), ui_(std::make_unique<Ui::ListNameDialog>()) {
    QWidget* body = AddFormWithOkCancel(*this);
    ui_->setupUi(body);
    setWindowTitle(body->windowTitle());
    ui_->id205->setText(name);
    ui_->id205->selectAll();
}

CListNameDlg::~CListNameDlg() = default;

QString CListNameDlg::Name() const {
    return ui_->id205->text();
}

CListPage::CListPage(QWidget* parent, const StyleRecord& style, DropDownListRecord* lists,
                     ApplyStyleFn apply)
    : CFormatPage(parent, kCommand, 12), ui_(std::make_unique<Ui::ListPage>()), record_(style),
      lists_(lists), apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    // Tab goes on to the next control, as in any dialog; a list item holds no tab.
    ui_->id205->setTabChangesFocus(true);
    UseExtendedListKeys(*ui_->id215);
    connect(ui_->id215, &QComboBox::activated, this, [this](int index) {
        SaveItems();
        Read();
        record_.dropDownList = uint16_t(ui_->id215->itemData(index).toUInt());
        Fill();
        Apply();
    });
    for (QCheckBox* box : {ui_->id216, ui_->id1001, ui_->id1007})
        connect(box, &QCheckBox::clicked, this, [this] {
            if (!Chosen()) return; // nothing to change without a list
            Read();
            Apply();
        });
    connect(ui_->id408, &QPushButton::clicked, this, [this] { NewList(); });
    connect(ui_->id409, &QPushButton::clicked, this, [this] { RenameList(); });
    connect(ui_->id410, &QPushButton::clicked, this, [this] { RemoveList(); });
    Fill();
}

CListPage::~CListPage() {
    SaveItems();
}

DropDownListRecord* CListPage::Chosen() const {
    const int n = record_.dropDownList;
    return n >= 1 && n <= kDropDownLists ? &lists_[n - 1] : nullptr;
}

void CListPage::Fill() {
    ui_->id205->clear();
    ui_->id215->clear();
    ui_->id215->addItem("None", 0u);
    for (int slot = 0; slot < kDropDownLists; ++slot)
        if (DropDownListInUse(lists_[slot]))
            ui_->id215->addItem(FromCp1252(lists_[slot].name), uint32_t(slot + 1));
    ui_->id215->setCurrentIndex(0);
    if (const DropDownListRecord* list = Chosen()) {
        const int index = ui_->id215->findData(uint32_t(record_.dropDownList));
        if (index >= 0) ui_->id215->setCurrentIndex(index);
        QString items;
        for (const std::string& entry : list->entries) items += FromCp1252(entry) + "\r\n";
        ui_->id205->setPlainText(items);
        ui_->id216->setChecked(record_.autoAppend != 0);
        ui_->id1001->setChecked(record_.sort != 0);
        ui_->id1007->setChecked(record_.autoComplete != 0);
    }
    ui_->id205->document()->setModified(false);
    // Items typed with no list chosen would go nowhere: the box is open only for a list.
    ui_->id205->setEnabled(Chosen() != nullptr);
}

void CListPage::Read() {
    DropDownListRecord* list = Chosen();
    if (!list) return;
    list->appendNewItems = ui_->id216->isChecked() ? 1 : 0;
    list->sort = ui_->id1001->isChecked() ? 1 : 0;
    list->autoComplete = ui_->id1007->isChecked() ? 1 : 0;
    record_.autoAppend = list->appendNewItems;
    record_.sort = list->sort;
    record_.autoComplete = list->autoComplete;
}

void CListPage::Apply() {
    if (apply_) apply_(record_, 12);
}

void CListPage::SaveItems() {
    DropDownListRecord* list = Chosen();
    if (!list || !ui_->id205->document()->isModified()) return;
    FreeDropDownList(*list);
    const std::string text = Utf8ToCp1252(ui_->id205->toPlainText().toStdString());
    bool cut = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            // The file forms hold no longer item: cut it here, where the user sees why.
            cut = cut || end - start > kMaxDropDownEntry;
            AddDropDownEntry(*list, std::string_view(text).substr(start, end - start));
        }
        start = end + 1;
    }
    if (cut) UiServices().Beep();
    ui_->id205->document()->setModified(false);
}

bool CListPage::AskName(QString& name) {
    CListNameDlg dialog(this, name);
    if (UiServices().RunDialog(dialog) != QDialog::Accepted) return false;
    name = dialog.Name();
    if (name.isEmpty()) {
        // A list without a name and items would count as a free slot and vanish.
        UiServices().Beep();
        return false;
    }
    return true;
}

void CListPage::NewList() {
    int slot = 0;
    while (slot < kDropDownLists && DropDownListInUse(lists_[slot])) ++slot;
    if (slot == kDropDownLists) {
        ShowErrorMessage(kErrorTooManyLists);
        return;
    }
    QString name = QString("List %1.").arg(slot + 1);
    if (!AskName(name)) return;
    SetDropDownName(lists_[slot], Utf8ToCp1252(name.toStdString()).c_str());
    SaveItems();
    record_.dropDownList = uint16_t(slot + 1);
    // The style's copies of the flags follow the new list, not the boxes of the old one.
    record_.autoAppend = lists_[slot].appendNewItems;
    record_.sort = lists_[slot].sort;
    record_.autoComplete = lists_[slot].autoComplete;
    Fill();
    Apply();
}

void CListPage::RenameList() {
    DropDownListRecord* list = Chosen();
    if (!list) return;
    QString name = FromCp1252(list->name);
    if (!AskName(name)) return;
    SaveItems();
    SetDropDownName(*list, Utf8ToCp1252(name.toStdString()).c_str());
    Fill();
}

void CListPage::RemoveList() {
    DropDownListRecord* list = Chosen();
    if (!list) return;
    const int answer = UiServices().MessageBox(
        // Undo brings the list back, so the question says nothing of "permanently".
        "The selected drop-down list will be deleted; Undo brings it back.\nContinue?", AppTitle(),
        MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    if (removed_) removed_(record_.dropDownList, *list);
    FreeDropDownList(*list);
    list->name[0] = 0;
    record_.dropDownList = 0;
    ui_->id205->document()->setModified(false);
    Fill();
    Apply();
}

void CListPage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.record = record_;
}

void CListPage::OnPaste() {
    // The copied list may have been removed since: only a list still there is pasted.
    const int n = g_clipboard.record.dropDownList;
    if (n > kDropDownLists || (n > 0 && !DropDownListInUse(lists_[n - 1]))) {
        UiServices().Beep();
        return;
    }
    SaveItems();
    record_ = g_clipboard.record;
    Fill();
    Apply();
}

bool CListPage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
