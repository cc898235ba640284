#pragma once
// Month and day names of a locale choice (0 generic, 1 system default, 2 user default,
// 3..129 a region), for date rendering and typed-date recognition. The engine knows only
// the generic names; the user interface installs a provider that knows the others.

#include <cstdint>
#include <string>

namespace vl {

class ILocaleNames {
public:
    virtual ~ILocaleNames() = default;
    // Each returns the empty text when the locale gives no name; callers then use the
    // generic one. Months are 0..11, days 0..6 with Sunday first. Names are Windows-1252.
    virtual std::string MonthName(int month, uint8_t localeChoice) const = 0;
    virtual std::string AbbrevMonthName(int month, uint8_t localeChoice) const = 0;
    virtual std::string DayName(int day, uint8_t localeChoice) const = 0;
    virtual std::string AbbrevDayName(int day, uint8_t localeChoice) const = 0;
    // The month's form after a day number ("31 stycznia" rather than "styczeń"), or
    // the empty text where it is the plain name.
    virtual std::string GenitiveMonthName(int month, uint8_t localeChoice) const = 0;
};

// The process-wide provider; the generic one until SetLocaleNames installs another.
const ILocaleNames& LocaleNames();
// Installs `provider` (not owned; it must outlive its use). Null restores the generic.
void SetLocaleNames(const ILocaleNames* provider);

// The generic (English) names, whatever the locale.
const char* GenericMonthName(int month);       // "January"
const char* GenericAbbrevMonthName(int month); // "Jan"
const char* GenericDayName(int day);           // "Sunday"
const char* GenericAbbrevDayName(int day);     // "Sun"

// Names through the provider, falling back to the generic ones; out-of-range indexes
// give the empty text.
std::string GetLocaleDateName(int month, uint8_t localeChoice);
std::string GetLocaleMonthName(int month, uint8_t localeChoice, bool abbreviated);
std::string GetLocaleDayName(int day, uint8_t localeChoice, bool abbreviated);
// The genitive form when it differs and has at least 3 characters, else the full name.
std::string GetLocaleGenitiveMonthName(int month, uint8_t localeChoice);

} // namespace vl
