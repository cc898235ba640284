#include "app/localenamesqt.h"
#include "app/localeseparators.h"
#include "apptestutil.h"
#include "values/numfmt_date.h"

namespace vl {

class LocaleSeparatorsTest : public ::testing::Test {
protected:
    void TearDown() override { UserSeparators() = InternalSeparators(); }
    // The decimal, list, array-row and date separators and the short date order as one text.
    static std::string Separators() {
        const SeparatorSet& s = UserSeparators();
        return {s.decimal, s.list, s.arrayRow, s.date, char('0' + s.shortDateOrder)};
    }
};

TEST_F(LocaleSeparatorsTest, ChoiceTableEnds) {
    EXPECT_EQ(LocaleIdOfChoice(0), 0);
    EXPECT_EQ(LocaleIdOfChoice(1), 0x0800);
    EXPECT_EQ(LocaleIdOfChoice(2), 0x0400);
    EXPECT_EQ(LocaleIdOfChoice(129), 0x042A);
    EXPECT_EQ(LocaleIdOfChoice(130), 0);
    EXPECT_STREQ(LocaleNameOfChoice(-1), "");
    for (int choice = 3; choice < kLocaleChoices; ++choice)
        EXPECT_NE(*LocaleNameOfChoice(choice), 0) << choice;
}

TEST_F(LocaleSeparatorsTest, DecimalCommaGivesSemicolonAndBackslash) {
    const std::pair<int, const char*> cases[] = {
        {61, ",;\\.1"}, // de_DE
        {38, ".,;/0"},  // en_US
        {73, ".,;/2"},  // ja_JP
    };
    for (const auto& [choice, separators] : cases) {
        EXPECT_TRUE(ApplyLocaleChoice(choice, true)) << choice;
        EXPECT_EQ(UserSeparators().localeChoice, choice);
        EXPECT_EQ(Separators(), separators) << choice;
    }
    ASSERT_TRUE(ApplyLocaleChoice(39, true)); // en_GB
    EXPECT_STREQ(UserSeparators().currency, "\xA3");
}

TEST_F(LocaleSeparatorsTest, CurrencyOutsideTheCodePageIsItsIsoCode) {
    const std::pair<int, const char*> cases[] = {
        {91, "RUB"}, // ru_RU: the ruble sign
        {34, "CZK"}, // cs_CZ: "Kc" with a caron
        {87, "PLN"}, // pl_PL: "zl" with a stroke
        {73, "JPY"}, // ja_JP: the full-width yen sign
        {122, "THB"}, {123, "TRY"},
        {61, "\x80"}, // de_DE: the euro sign has its place in the code page
        {38, "$"},
    };
    for (const auto& [choice, currency] : cases) {
        ASSERT_TRUE(ApplyLocaleChoice(choice, true)) << LocaleNameOfChoice(choice);
        EXPECT_STREQ(UserSeparators().currency, currency) << LocaleNameOfChoice(choice);
    }
}

TEST_F(LocaleSeparatorsTest, LongDateOrderIsNotTakenFromTheWeekdayName) {
    // Long formats open with the weekday's name ("dddd, MMMM d, yyyy"), which is no day field.
    const std::pair<int, uint8_t> cases[] = {{38, 0}, {39, 1}, {61, 1}, {73, 2}, {88, 1}};
    for (const auto& [choice, order] : cases) {
        ASSERT_TRUE(ApplyLocaleChoice(choice, true)) << choice;
        EXPECT_EQ(UserSeparators().longDateOrder, order) << choice;
    }
}

TEST_F(LocaleSeparatorsTest, ProcessLocaleDoesNotLeakIn) {
    apptest::CommaLocale comma;
    if (!comma.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    ASSERT_TRUE(ApplyLocaleChoice(38, true)); // en_US whatever the process runs under
    EXPECT_EQ(Separators(), ".,;/0");
    ASSERT_TRUE(ApplyLocaleChoice(61, true));
    EXPECT_EQ(Separators(), ",;\\.1");
}

TEST_F(LocaleSeparatorsTest, NarrowSpacesBecomeNoBreakSpace) {
    char c = 0;
    for (char16_t space : {u'\u00A0', u'\u202F'}) {
        EXPECT_TRUE(SeparatorChar(QString(QChar(space)), c));
        EXPECT_EQ(uint8_t(c), 0xA0);
    }
    EXPECT_TRUE(SeparatorChar(QStringLiteral("'"), c));
    EXPECT_EQ(c, '\'');
    EXPECT_FALSE(SeparatorChar(QStringLiteral(".."), c));
    EXPECT_FALSE(SeparatorChar(QString(), c));
    EXPECT_FALSE(
        SeparatorChar(QString(QChar(u'\u066B')), c)); // Arabic decimal: not in the code page
    ASSERT_TRUE(ApplyLocaleChoice(55, true));         // fr_FR groups with U+202F
    EXPECT_EQ(uint8_t(UserSeparators().thousands), 0xA0);
}

TEST_F(LocaleSeparatorsTest, UnusableLocaleFallsBackToGeneric) {
    ASSERT_TRUE(ApplyLocaleChoice(61, true));
    // Arabic (Saudi Arabia) separates decimals with a character outside the code page.
    EXPECT_FALSE(ApplyLocaleChoice(5, true));
    EXPECT_EQ(UserSeparators().localeChoice, 0);
    EXPECT_EQ(Separators(), ".,;/0");
    EXPECT_STREQ(UserSeparators().currency, "$");
    ASSERT_TRUE(ApplyLocaleChoice(61, true));
    EXPECT_TRUE(ApplyLocaleChoice(0, false));
    EXPECT_EQ(Separators(), ".,;/0");
}

TEST_F(LocaleSeparatorsTest, SameChoiceWithoutForceReadsNothing) {
    ASSERT_TRUE(ApplyLocaleChoice(61, true));
    UserSeparators().decimal = '!'; // would be overwritten by a fresh read
    EXPECT_TRUE(ApplyLocaleChoice(61, false));
    EXPECT_EQ(UserSeparators().decimal, '!');
    EXPECT_TRUE(ApplyLocaleChoice(61, true));
    EXPECT_EQ(UserSeparators().decimal, ',');
}

TEST(QtLocaleNames, NamesOfARegionAndNoneForGeneric) {
    CQtLocaleNames names;
    EXPECT_EQ(names.MonthName(0, 61), "Januar");
    EXPECT_EQ(names.AbbrevDayName(0, 38), "Sun");
    EXPECT_EQ(names.DayName(1, 55), "lundi");
    EXPECT_EQ(names.MonthName(0, 0), "");
    EXPECT_EQ(names.MonthName(12, 61), "");
    // Polish months take another form after a day number; "stycznia" is Windows-1252 clean.
    EXPECT_EQ(names.GenitiveMonthName(0, 87), "stycznia");
    EXPECT_EQ(names.GenitiveMonthName(0, 38), "");
}

// Dates through a region's names: a name with a letter outside the code page gives way to
// the generic one, never to "?"; a day name is the one that stands alone.
TEST(QtLocaleNames, DatesShowTheRegionsNamesOrTheGenericOnes) {
    auto choiceOf = [](const char* name) {
        for (int choice = 3; choice < kLocaleChoices; ++choice)
            if (std::string(LocaleNameOfChoice(choice)) == name) return choice;
        ADD_FAILURE() << name;
        return 0;
    };
    struct Case {
        const char* locale;
        const char* iso;
        const char* code;
        const char* shown; // Windows-1252
    } cases[] = {
        {"ru_RU", "2006-01-31", "d mmmm yyyy", "31 January 2006"},
        {"ru_RU", "2006-01-31", "dddd", "Tuesday"},
        {"ru_RU", "2006-01-31", "ddd mmm", "Tue Jan"},
        {"pl_PL", "2006-10-05", "d mmmm", "5 October"}, // "pa\xC5\xBAdziernika"
        {"pl_PL", "2006-01-31", "d mmmm", "31 stycznia"},
        {"cs_CZ", "2006-03-01", "d mmmm", "1 March"}, // "b\xC5\x99ezna"
        {"el_GR", "2006-01-31", "dddd d mmmm", "Tuesday 31 January"},
        {"fi_FI", "2006-01-31", "dddd", "tiistai"},
        {"de_DE", "2006-03-01", "dddd d. mmmm", "Mittwoch 1. M\xE4rz"},
    };
    CQtLocaleNames names;
    SetLocaleNames(&names);
    for (const Case& c : cases) {
        SeparatorSet set = InternalSeparators();
        set.localeChoice = uint8_t(choiceOf(c.locale));
        std::string text;
        EXPECT_TRUE(FormatDateText(c.iso, c.code, text, &set)) << c.locale << " " << c.code;
        EXPECT_EQ(text, c.shown) << c.locale << " " << c.code;
    }
    SetLocaleNames(nullptr);
}

} // namespace vl
