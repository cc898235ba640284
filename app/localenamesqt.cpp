#include "app/localenamesqt.h"

#include "app/localeseparators.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

std::string ToCp1252(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

// Qt numbers weekdays from Monday (1) to Sunday (7); ours start with Sunday (0).
int QtDay(int day) {
    return day == 0 ? 7 : day;
}

bool InRange(int index, int count) {
    return index >= 0 && index < count;
}

} // namespace

std::string CQtLocaleNames::MonthName(int month, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(month, 12)) return {};
    return ToCp1252(locale->standaloneMonthName(month + 1, QLocale::LongFormat));
}

std::string CQtLocaleNames::AbbrevMonthName(int month, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(month, 12)) return {};
    return ToCp1252(locale->standaloneMonthName(month + 1, QLocale::ShortFormat));
}

std::string CQtLocaleNames::DayName(int day, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(day, 7)) return {};
    return ToCp1252(locale->dayName(QtDay(day), QLocale::LongFormat));
}

std::string CQtLocaleNames::AbbrevDayName(int day, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(day, 7)) return {};
    return ToCp1252(locale->dayName(QtDay(day), QLocale::ShortFormat));
}

std::string CQtLocaleNames::GenitiveMonthName(int month, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(month, 12)) return {};
    QString inText = locale->monthName(month + 1, QLocale::LongFormat);
    if (inText == locale->standaloneMonthName(month + 1, QLocale::LongFormat)) return {};
    return ToCp1252(inText);
}

void InstallQtLocaleNames() {
    static const CQtLocaleNames provider;
    SetLocaleNames(&provider);
}

} // namespace vl
