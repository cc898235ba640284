#include "app/localenamesqt.h"

#include "app/localeseparators.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

// The name in Windows-1252, or the empty text (the generic name then) when a character of
// it has no place there: a name is never shown with "?" for a letter.
std::string ToCp1252(const QString& text) {
    const std::string utf8 = text.toStdString();
    std::string name = Utf8ToCp1252(utf8);
    return Cp1252ToUtf8(name) == utf8 ? name : std::string();
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
    // The name as it stands alone: Finnish "tiistai", not the in-date "tiistaina".
    return ToCp1252(locale->standaloneDayName(QtDay(day), QLocale::LongFormat));
}

std::string CQtLocaleNames::AbbrevDayName(int day, uint8_t choice) const {
    auto locale = LocaleOfChoice(choice);
    if (!locale || !InRange(day, 7)) return {};
    return ToCp1252(locale->standaloneDayName(QtDay(day), QLocale::ShortFormat));
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
