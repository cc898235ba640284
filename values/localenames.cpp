#include "values/localenames.h"

namespace vl {

namespace {

constexpr const char* kMonths[12] = {"January",   "February", "March",    "April",
                                     "May",       "June",     "July",     "August",
                                     "September", "October",  "November", "December"};
constexpr const char* kAbbrevMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kDays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
constexpr const char* kAbbrevDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

bool ValidMonth(int month) {
    return month >= 0 && month < 12;
}
bool ValidDay(int day) {
    return day >= 0 && day < 7;
}

// Locale choice 0 and every locale the engine knows nothing more of.
class CGenericLocaleNames : public ILocaleNames {
public:
    std::string MonthName(int month, uint8_t) const override { return GenericMonthName(month); }
    std::string AbbrevMonthName(int month, uint8_t) const override {
        return GenericAbbrevMonthName(month);
    }
    std::string DayName(int day, uint8_t) const override { return GenericDayName(day); }
    std::string AbbrevDayName(int day, uint8_t) const override { return GenericAbbrevDayName(day); }
    std::string GenitiveMonthName(int, uint8_t) const override { return {}; }
};

const CGenericLocaleNames& Generic() {
    static const CGenericLocaleNames generic;
    return generic;
}

const ILocaleNames*& Provider() {
    static const ILocaleNames* provider = nullptr;
    return provider;
}

} // namespace

const ILocaleNames& LocaleNames() {
    const ILocaleNames* p = Provider();
    return p ? *p : Generic();
}

void SetLocaleNames(const ILocaleNames* provider) {
    Provider() = provider;
}

const char* GenericMonthName(int month) {
    return ValidMonth(month) ? kMonths[month] : "";
}
const char* GenericAbbrevMonthName(int month) {
    return ValidMonth(month) ? kAbbrevMonths[month] : "";
}
const char* GenericDayName(int day) {
    return ValidDay(day) ? kDays[day] : "";
}
const char* GenericAbbrevDayName(int day) {
    return ValidDay(day) ? kAbbrevDays[day] : "";
}

std::string GetLocaleMonthName(int month, uint8_t localeChoice, bool abbreviated) {
    if (!ValidMonth(month)) return {};
    const ILocaleNames& names = LocaleNames();
    std::string name = abbreviated ? names.AbbrevMonthName(month, localeChoice)
                                   : names.MonthName(month, localeChoice);
    if (name.empty()) name = abbreviated ? kAbbrevMonths[month] : kMonths[month];
    return name;
}

std::string GetLocaleDateName(int month, uint8_t localeChoice) {
    return GetLocaleMonthName(month, localeChoice, false);
}

std::string GetLocaleDayName(int day, uint8_t localeChoice, bool abbreviated) {
    if (!ValidDay(day)) return {};
    const ILocaleNames& names = LocaleNames();
    std::string name =
        abbreviated ? names.AbbrevDayName(day, localeChoice) : names.DayName(day, localeChoice);
    if (name.empty()) name = abbreviated ? kAbbrevDays[day] : kDays[day];
    return name;
}

std::string GetLocaleGenitiveMonthName(int month, uint8_t localeChoice) {
    if (!ValidMonth(month)) return {};
    std::string name = LocaleNames().GenitiveMonthName(month, localeChoice);
    if (name.size() < 3) return GetLocaleDateName(month, localeChoice);
    return name;
}

} // namespace vl
