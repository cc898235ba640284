#include "dialogs/stylesubpages.h"

#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "platform/core/bytes.h"
#include "platform/core/cp1252.h"
#include "ui_styleaccounting.h"
#include "ui_stylecurrency.h"
#include "ui_styledate.h"
#include "ui_styledatetime.h"
#include "ui_stylefraction.h"
#include "ui_stylegeneral.h"
#include "ui_stylepercent.h"
#include "ui_stylescientific.h"
#include "ui_styletime.h"
#include "values/formatdefaults.h"
#include "values/numfmt_compile.h"

#include <QSignalBlocker>
#include <cstring>

namespace vl {

namespace fp = fmtparam;

namespace {

// The kind's default of a parameter: what the options offer for a value the stored kind
// does not use, which the XML form keeps as 0.
uint64_t DefaultParam(uint8_t family, int at, bool wide) {
    uint8_t params[kStandardFormatParams];
    DefaultStandardParams(family, params);
    return wide ? LoadU64(params + at) : params[at];
}

template <class T> T* Find(QWidget& page, const char* name) {
    return page.findChild<T*>(QString::fromLatin1(name));
}

// In the user's separators, with the date order the cells get: the system's only with the
// order flag, else the stored codes' own.
QString Code(uint8_t kind, const uint8_t* params) {
    SeparatorSet shown = UserSeparators();
    shown.shortDateOrder = InternalSeparators().shortDateOrder;
    shown.longDateOrder = InternalSeparators().longDateOrder;
    return QString::fromStdString(Cp1252ToUtf8(BuildStandardFormatCode(kind, params, &shown)));
}

// The texts of the date formats 0-10 (or time formats 0-9) for the order flag.
QStringList DateTimeTexts(bool date, uint8_t orderFlag) {
    QStringList texts;
    uint8_t params[kStandardFormatParams] = {};
    params[fp::kDateOrderFlag] = orderFlag;
    for (int i = 0; i < (date ? 11 : 10); ++i) {
        params[date ? fp::kDateStyle : fp::kTimeStyle] = uint8_t(i);
        texts << Code(date ? STD_STYLE_DATE : STD_STYLE_TIME, params);
    }
    return texts;
}

void SetSymbol(uint8_t* params, const QString& text) {
    const std::string symbol = Utf8ToCp1252(text.left(14).toStdString());
    std::memset(params + fp::kCurrencySymbol, 0, 15);
    std::memcpy(params + fp::kCurrencySymbol, symbol.data(), std::min<size_t>(symbol.size(), 14));
}

QString Symbol(const uint8_t* params) {
    char text[16] = {};
    std::memcpy(text, params + fp::kCurrencySymbol, 15);
    return QString::fromStdString(Cp1252ToUtf8(text));
}

void FillDateList(QWidget& page, const uint8_t* params) {
    auto* list = Find<QListWidget>(page, "id1020");
    const QSignalBlocker filling(list); // a fill is no choice of the user's
    list->clear();
    list->addItems(DateTimeTexts(true, params[fp::kDateOrderFlag]));
    list->setCurrentRow(params[fp::kDateStyle] <= 10 ? params[fp::kDateStyle] : -1);
}

// The date texts for the order the box now says, in place: the choice stays where it was.
void FollowOrderBox(QWidget& page, uint8_t family) {
    auto* order = Find<QCheckBox>(page, "id216");
    QObject::connect(order, &QCheckBox::clicked, &page, [&page, order, family] {
        const QStringList texts = DateTimeTexts(true, order->isChecked() ? 1 : 0);
        if (family == STD_STYLE_DATE) {
            auto* list = Find<QListWidget>(page, "id1020");
            for (int i = 0; i < list->count() && i < texts.size(); ++i)
                list->item(i)->setText(texts[i]);
            return;
        }
        auto* dates = Find<QComboBox>(page, "id215");
        for (int i = 0; i < dates->count() && i < texts.size(); ++i)
            dates->setItemText(i, texts[i]);
    });
}

// A symbol of up to 14 characters, taken as typed: the box does not complete from its list.
void TakeSymbolAsTyped(QComboBox& box) {
    box.lineEdit()->setMaxLength(14);
    box.setCompleter(nullptr);
    box.setInsertPolicy(QComboBox::NoInsert);
}

} // namespace

std::string FormatCodeToUser(const std::string& code) {
    CompiledFormat compiled;
    if (!CompileFormatCode(compiled, code, nullptr)) return code;
    return DescribeFormatCode(compiled, &UserSeparators());
}

std::string FormatCodeFromUser(const std::string& code) {
    CompiledFormat compiled;
    if (!CompileFormatCode(compiled, code, &UserSeparators())) return code;
    return DescribeFormatCode(compiled, nullptr);
}

QWidget* CreateStyleSubPage(uint8_t family, QWidget* parent) {
    auto* page = new QWidget(parent);
    switch (family) {
    case STD_STYLE_GENERAL:
        Ui::StyleGeneral().setupUi(page);
        break;
    case STD_STYLE_CURRENCY:
        Ui::StyleCurrency().setupUi(page);
        TakeSymbolAsTyped(*Find<QComboBox>(*page, "id1019"));
        break;
    case STD_STYLE_ACCOUNTING:
        Ui::StyleAccounting().setupUi(page);
        TakeSymbolAsTyped(*Find<QComboBox>(*page, "id229"));
        break;
    case STD_STYLE_DATE:
        Ui::StyleDate().setupUi(page);
        FollowOrderBox(*page, family);
        break;
    case STD_STYLE_TIME:
        Ui::StyleTime().setupUi(page);
        Find<QListWidget>(*page, "id1020")->addItems(DateTimeTexts(false, 0));
        break;
    case STD_STYLE_DATE_TIME:
        Ui::StyleDateTime().setupUi(page);
        // Both lists at once: the page measures the room they need before it is filled.
        Find<QComboBox>(*page, "id215")->addItems(DateTimeTexts(true, 1));
        Find<QComboBox>(*page, "id229")->addItems(DateTimeTexts(false, 0));
        FollowOrderBox(*page, family);
        break;
    case STD_STYLE_PERCENTAGE:
        Ui::StylePercent().setupUi(page);
        break;
    case STD_STYLE_FRACTION:
        Ui::StyleFraction().setupUi(page);
        break;
    case STD_STYLE_SCIENTIFIC:
        Ui::StyleScientific().setupUi(page);
        break;
    default:
        delete page;
        return nullptr;
    }
    return page;
}

void FillStyleSubPage(QWidget& page, uint8_t family, const uint8_t* p) {
    auto check = [&](const char* name, bool on) { Find<QCheckBox>(page, name)->setChecked(on); };
    auto combo = [&](const char* name, int index) {
        auto* box = Find<QComboBox>(page, name);
        box->setCurrentIndex(index < box->count() ? index : -1);
    };
    switch (family) {
    case STD_STYLE_GENERAL:
        check("id216", p[fp::kFixedDecimals]);
        combo("id215", p[fp::kDecimals]);
        check("id218", p[fp::kZeroPadded]);
        combo("id229", p[fp::kIntegerDigits]);
        check("id1001", p[fp::kThousands]);
        check("id1007", p[fp::kNegativeStyle] & 2);
        check("id1002", p[fp::kNegativeStyle] & 1);
        break;
    case STD_STYLE_CURRENCY:
        combo("id215", p[fp::kCurrencyDecimals]);
        check("id218", p[fp::kCurrencyNegative] & 2);
        check("id1001", p[fp::kCurrencyNegative] & 1);
        combo("id229", p[fp::kSymbolPosition]);
        Find<QComboBox>(page, "id1019")->setEditText(Symbol(p));
        break;
    case STD_STYLE_ACCOUNTING:
        combo("id215", p[fp::kCurrencyDecimals]);
        Find<QComboBox>(page, "id229")->setEditText(Symbol(p));
        break;
    case STD_STYLE_DATE:
        check("id216", p[fp::kDateOrderFlag]);
        FillDateList(page, p);
        break;
    case STD_STYLE_TIME: {
        auto* list = Find<QListWidget>(page, "id1020");
        const QSignalBlocker filling(list);
        list->setCurrentRow(p[fp::kTimeStyle] <= 9 ? p[fp::kTimeStyle] : -1);
        break;
    }
    case STD_STYLE_DATE_TIME: {
        auto* dates = Find<QComboBox>(page, "id215");
        dates->clear();
        dates->addItems(DateTimeTexts(true, p[fp::kDateOrderFlag]));
        combo("id215", p[fp::kDateStyle]);
        combo("id229", p[fp::kTimeStyle]);
        check("id216", p[fp::kDateOrderFlag]);
        check("id218", p[fp::kTimeFirst]);
        break;
    }
    case STD_STYLE_PERCENTAGE:
        check("id216", p[fp::kFixedDecimals]);
        combo("id215", p[fp::kDecimals]);
        break;
    case STD_STYLE_FRACTION: {
        Find<QRadioButton>(page, "id400")->setChecked(p[fp::kDenominatorMode] == 0);
        Find<QRadioButton>(page, "id189")->setChecked(p[fp::kDenominatorMode] != 0);
        Find<QLineEdit>(page, "id205")->setText(QString::number(p[fp::kDenominatorDigits]));
        const uint64_t value = LoadU64(p + fp::kFixedDenominator);
        Find<QLineEdit>(page, "id257")
            ->setText(
                QString::number(value ? value : DefaultParam(family, fp::kFixedDenominator, true)));
        break;
    }
    case STD_STYLE_SCIENTIFIC: {
        check("id216", p[fp::kFixedDecimals]);
        combo("id215", p[fp::kDecimals]);
        check("id218", p[fp::kExponentForm] != 0);
        const bool unset = p[fp::kExponentForm] == 0 && p[fp::kExponentNumber] == 0;
        const int magnitude =
            unset ? int(DefaultParam(family, fp::kExponentNumber, false)) : p[fp::kExponentNumber];
        Find<QLineEdit>(page, "id205")
            ->setText(QString::number(p[fp::kExponentForm] == 2 ? -magnitude : magnitude));
        break;
    }
    default:
        break;
    }
}

bool ReadStyleSubPage(QWidget& page, uint8_t family, uint8_t* out, QWidget*& bad) {
    uint8_t p[kStandardFormatParams];
    std::memcpy(p, out, sizeof p);
    auto checked = [&](const char* name) -> uint8_t {
        return Find<QCheckBox>(page, name)->isChecked() ? 1 : 0;
    };
    auto index = [&](const char* name, uint8_t& field) {
        const int i = Find<QComboBox>(page, name)->currentIndex();
        if (i >= 0) field = uint8_t(i);
    };
    switch (family) {
    case STD_STYLE_GENERAL:
        p[fp::kFixedDecimals] = checked("id216");
        index("id215", p[fp::kDecimals]);
        p[fp::kZeroPadded] = checked("id218");
        index("id229", p[fp::kIntegerDigits]);
        p[fp::kThousands] = checked("id1001");
        p[fp::kNegativeStyle] = uint8_t(checked("id1002") | (checked("id1007") << 1));
        break;
    case STD_STYLE_CURRENCY:
        index("id215", p[fp::kCurrencyDecimals]);
        p[fp::kCurrencyNegative] = uint8_t(checked("id1001") | (checked("id218") << 1));
        index("id229", p[fp::kSymbolPosition]);
        SetSymbol(p, Find<QComboBox>(page, "id1019")->currentText());
        break;
    case STD_STYLE_ACCOUNTING:
        index("id215", p[fp::kCurrencyDecimals]);
        SetSymbol(p, Find<QComboBox>(page, "id229")->currentText());
        break;
    case STD_STYLE_DATE: {
        const int row = PickedRow(*Find<QListWidget>(page, "id1020"));
        if (row >= 0) p[fp::kDateStyle] = uint8_t(row);
        p[fp::kDateOrderFlag] = checked("id216");
        break;
    }
    case STD_STYLE_TIME: {
        const int row = PickedRow(*Find<QListWidget>(page, "id1020"));
        if (row >= 0) p[fp::kTimeStyle] = uint8_t(row);
        break;
    }
    case STD_STYLE_DATE_TIME:
        index("id215", p[fp::kDateStyle]);
        index("id229", p[fp::kTimeStyle]);
        p[fp::kDateOrderFlag] = checked("id216");
        p[fp::kTimeFirst] = checked("id218");
        break;
    case STD_STYLE_PERCENTAGE:
        p[fp::kFixedDecimals] = checked("id216");
        index("id215", p[fp::kDecimals]);
        break;
    case STD_STYLE_FRACTION: {
        const bool byValue = Find<QRadioButton>(page, "id189")->isChecked();
        p[fp::kDenominatorMode] = byValue ? 1 : 0;
        auto* digitsEdit = Find<QLineEdit>(page, "id205");
        auto* valueEdit = Find<QLineEdit>(page, "id257");
        bool ok = false;
        const int digits = digitsEdit->text().trimmed().toInt(&ok);
        if (!ok || digits < 1 || digits > 14) return bad = digitsEdit, false;
        const qulonglong value = valueEdit->text().trimmed().toULongLong(&ok);
        if (!ok || value == 0 || value >= 4294967295ull) return bad = valueEdit, false;
        p[fp::kDenominatorDigits] = uint8_t(digits);
        StoreU64(p + fp::kFixedDenominator, value);
        break;
    }
    case STD_STYLE_SCIENTIFIC: {
        p[fp::kFixedDecimals] = checked("id216");
        index("id215", p[fp::kDecimals]);
        if (checked("id218")) {
            auto* edit = Find<QLineEdit>(page, "id205");
            bool ok = false;
            const int exponent = edit->text().trimmed().toInt(&ok);
            if (!ok || exponent <= -100 || exponent >= 100) return bad = edit, false;
            p[fp::kExponentForm] = exponent < 0 ? 2 : 1;
            p[fp::kExponentNumber] = uint8_t(exponent < 0 ? -exponent : exponent);
        } else {
            p[fp::kExponentForm] = 0;
        }
        break;
    }
    default:
        break;
    }
    std::memcpy(out, p, sizeof p);
    return true;
}

void ConnectStyleSubPage(QWidget& page, const std::function<void()>& changed) {
    for (QCheckBox* box : page.findChildren<QCheckBox*>())
        QObject::connect(box, &QCheckBox::clicked, &page, changed);
    for (QRadioButton* radio : page.findChildren<QRadioButton*>())
        QObject::connect(radio, &QRadioButton::clicked, &page, changed);
    for (QComboBox* combo : page.findChildren<QComboBox*>()) {
        QObject::connect(combo, &QComboBox::activated, &page, changed);
        if (combo->isEditable())
            QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, &page, changed);
    }
    // Keys move a list's selection as a click does.
    for (QListWidget* list : page.findChildren<QListWidget*>())
        OnRowPicked(*list, &page, [changed](int) { changed(); });
    // A number is taken once typed (Enter or the focus leaving), not digit by digit: the
    // first digits of 15 would apply an exponent of 1 on the way.
    for (QLineEdit* edit : page.findChildren<QLineEdit*>()) {
        if (qobject_cast<QComboBox*>(edit->parentWidget())) continue;
        QObject::connect(edit, &QLineEdit::editingFinished, &page, [edit, changed] {
            if (!edit->isModified() || !edit->isVisible()) return;
            edit->setModified(false);
            changed();
        });
    }
}

} // namespace vl
