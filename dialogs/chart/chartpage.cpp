#include "dialogs/chart/chartpage.h"

#include "core/clock.h"
#include "core/settings.h"
#include "platform/core/cp1252.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QGridLayout>
#include <QLineEdit>
#include <charconv>
#include <cstring>

namespace vl {

namespace {} // namespace

CChartPage::CChartPage(QWidget* parent) : QWidget(parent) {}

bool CChartPage::Exchange(bool, CChart*, int) {
    return true;
}

bool CChartPage::Exchange(bool, CContainer&) {
    return true;
}

bool CChartPage::Refuse(QWidget* control) {
    UiServices().Beep();
    if (control) control->setFocus();
    return false;
}

void EnableDlgItems(QWidget* page, bool enable, std::initializer_list<int> ids) {
    for (int id : ids)
        if (QWidget* w = page->findChild<QWidget*>(QStringLiteral("id%1").arg(id)))
            w->setEnabled(enable);
}

CNumberEdit* AddSpinField(QWidget* page, QGridLayout* grid, int row, int column, int editId,
                          int spinId, int32_t minimum, int32_t maximum) {
    auto* edit = new CNumberEdit(page);
    edit->setObjectName(QStringLiteral("id%1").arg(editId));
    edit->SetInteger(minimum, maximum);
    auto* spin = new CUpDown(ProcessClock(), page);
    spin->setObjectName(QStringLiteral("id%1").arg(spinId));
    spin->SetAcceleration({{0, 1}, {4, 5}, {6, 10}});
    spin->onStep = [edit](int delta) { edit->Step(delta); };
    spin->SetBuddy(edit);
    grid->addWidget(edit, row, column);
    grid->addWidget(spin, row, column + 1);
    return edit;
}

bool IsPieKind(uint8_t kind) {
    return kind == 5 || kind == 11;
}

bool ReadChartNumber(const QLineEdit& edit, double& value) {
    const std::string text = Utf8ToCp1252(edit.text().left(330).toStdString());
    return ParseNumber(text, UserSeparators().decimal, value);
}

bool ReadWholeNumber(const QString& text, int64_t minimum, int64_t maximum, int64_t& value) {
    const std::string s = text.trimmed().toStdString();
    int64_t read = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), read);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || read < minimum ||
        read > maximum)
        return false;
    value = read;
    return true;
}

void StoreEditText(const QLineEdit* edit, char* field, size_t size) {
    const std::string text = Utf8ToCp1252(edit->text().toStdString()).substr(0, size - 1);
    std::memcpy(field, text.c_str(), text.size() + 1);
}

} // namespace vl
