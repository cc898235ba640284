#pragma once
// Month and day names of the locale choices, from Qt's locale data.

#include "values/localenames.h"

namespace vl {

class CQtLocaleNames : public ILocaleNames {
public:
    std::string MonthName(int month, uint8_t localeChoice) const override;
    std::string AbbrevMonthName(int month, uint8_t localeChoice) const override;
    std::string DayName(int day, uint8_t localeChoice) const override;
    std::string AbbrevDayName(int day, uint8_t localeChoice) const override;
    std::string GenitiveMonthName(int month, uint8_t localeChoice) const override;
};

// Installs the Qt provider for the life of the process.
void InstallQtLocaleNames();

} // namespace vl
