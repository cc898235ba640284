#pragma once
// Separator sets of a decimal-comma locale, and a fixture that puts back the user's
// separators and the settings profile a test changes.

#include "core/settings.h"

#include <cstring>
#include <gtest/gtest.h>

namespace vl::formulatest {

// As formula text uses them: "," decimal, ";" list and "|" array row (";" is taken by the
// list).
inline SeparatorSet CommaFormulaSeparators() {
    SeparatorSet s;
    s.decimal = ',';
    s.list = ';';
    s.arrayRow = '|';
    return s;
}

// The whole set of such a locale: "." groups thousands and separates dates, days come
// first, and the currency is "EUR".
inline SeparatorSet CommaLocaleSeparators() {
    SeparatorSet s = CommaFormulaSeparators();
    s.thousands = '.';
    s.date = '.';
    s.shortDateOrder = 1;
    s.longDateOrder = 1;
    std::strcpy(s.currency, "EUR");
    return s;
}

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override {
        UserSeparators() = savedSeparators_;
        Profile() = savedProfile_;
    }

private:
    SeparatorSet savedSeparators_ = UserSeparators();
    SettingsProfile savedProfile_ = Profile();
};

} // namespace vl::formulatest
