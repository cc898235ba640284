#include "values/localenames.h"
#include "values/numfmt_date.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

std::string Show(const char* iso, const char* code,
                 const SeparatorSet* set = &InternalSeparators()) {
    std::string text;
    if (!FormatDateText(iso, code, text, set)) return "<unchanged>" + text;
    return text;
}

struct Case {
    const char* iso;
    const char* code;
    const char* text;
};

// A region (choice 99) whose month takes another form after a day number.
class CGenitiveNames : public ILocaleNames {
public:
    std::string MonthName(int m, uint8_t l) const override { return Of(l, m == 0, "styczen"); }
    std::string AbbrevMonthName(int, uint8_t) const override { return ""; }
    std::string DayName(int d, uint8_t l) const override { return Of(l, d == 2, "wtorek"); }
    std::string AbbrevDayName(int, uint8_t) const override { return ""; }
    std::string GenitiveMonthName(int m, uint8_t l) const override {
        return Of(l, m == 0, "stycznia");
    }

private:
    static std::string Of(uint8_t locale, bool known, const char* name) {
        return locale == 99 && known ? name : "";
    }
};

} // namespace

TEST(DateRender, CalendarFieldsDurationsAndTextsThatAreNoDate) {
    const Case cases[] = {
        {"2006-01-31", "dddd, mmmm dd, yyyy", "Tuesday, January 31, 2006"},
        {"2006-01-31", "ddd d mmm yy", "Tue 31 Jan 06"},
        {"2006-01-31", "mmmmm", "J"},
        {"2006-01-31T13:05:09", "h:mm AM/PM", "1:05 PM"},
        {"00:30:00", "hh:mm AM/PM", "12:30 AM"},
        {"12:00:00", "h A/P", "12 P"},
        {"1985-03-04", "m/d/yy", "3/4/1985"},
        {"2005-03-04", "m/d/yy", "3/4/05"},
        {"13:10:55.123", "hh:mm:ss.00", "13:10:55.12"},
        {"13:10:55.1", "h:mm:ss.000", "13:10:55.100"},
        // two digits only where typing them gives the year back: 2000 to 2029
        {"2000-01-01", "yy", "00"},
        {"2029-12-31", "yy", "29"},
        {"2030-01-01", "m/d/yy", "1/1/2030"},
        {"1999-12-31", "yy", "1999"},
        {"2100-07-04", "yy", "2100"},
        // a time with a zone shows as written
        {"13:00:00+02:00", "hh:mm", "13:00"},
        {"50000-12-31T23:00:00+02:00", "yyyy", "50000"},
        {"2006-01-31T13:10:55", "yyyy-mm-dd\\Thh:mm:ss", "2006-01-31T13:10:55"},
        // durations as elapsed time
        {"PT63H30M", "[h]:mm:ss", "63:30:00"},
        {"P1DT2H", "[h]:mm", "26:00"}, // the days fold into the largest field
        {"PT90M", "[h]:mm", "1:30"},
        {"PT63H30M", "[mm]:ss", "3810:00"},
        {"PT5M7.250S", "[m]:ss.00", "5:07.25"},
        {"-PT90M", "[mm]:ss", "-90:00"}, // a negative duration shows its sign
        {"-PT1H30M", "[h]:mm", "-1:30"},
        {"-P1D", "[h]:mm", "-24:00"},
        {"-PT0S", "[h]:mm", "0:00"},
        // years and months have no fixed length: the text stays
        {"P1M", "[d]", "<unchanged>P1M"},
        {"P1Y2M3DT4H5M6S", "[h]:mm:ss", "<unchanged>P1Y2M3DT4H5M6S"},
        // a time of day counts from midnight
        {"13:10:00", "[mm]:ss", "790:00"},
        {"13:10:00", "[ss]", "47400"},
        {"00:00:00", "[h]:mm:ss", "0:00:00"},
        {"13:10:55.250", "[s].00", "47455.25"},
        {"PT0.500S", "[s].000", "0.500"},
        // texts that are no date stay as they are
        {"abc", "m/d/yyyy", "<unchanged>abc"},
        {"2006-02-30", "m/d/yyyy", "<unchanged>2006-02-30"},
        {"13:10:55", "m/d/yyyy", "<unchanged>13:10:55"}, // a time has no calendar date
        {"13:10:55", "[h]:mm", "13:10"},
        {"2006-01-31T13:10:55", "[h]:mm", "<unchanged>2006-01-31T13:10:55"}, // no duration
        {"2006-01-31", "0.00", "<unchanged>2006-01-31"},
        {"2006-01-31", "0;0", "2006-01-31"}, // two sections: the text as it is
        {"abc", "0;0;0;\"<\"@\">\"", "<abc>"},
        // a text shows through a code of one text section, or through the last of two or
        // three when it holds "@"
        {"abc", "\"[\"@\"]\"", "[abc]"},
        {"abc", "@\" x\"", "abc x"},
        {"abc", "@\"|\"@", "abc|abc"},
        {"abc", "0;\"x\"@", "xabc"},
        {"abc", "0;-0;\"<\"@", "<abc"},
        {"abc", "\"[\"@\"]\";0", "abc"}, // not the last section: no text section
        {"abc", "0;-0;;", ""},           // an empty fourth section
        {"abc", "General", "<unchanged>abc"},
        {"2006-01-31", "0;0;0;d mmm", "31 Jan"},
        {"abc", "", "abc"}, // no code: the text laid out as it is
        {"2006-01-31", "\"bad", "<unchanged>2006-01-31"},
    };
    for (const Case& c : cases) EXPECT_EQ(Show(c.iso, c.code), c.text) << c.iso << " " << c.code;
}

TEST(DateRender, UsesTheUsersSeparatorsAndLocaleNames) {
    SeparatorSet user;
    user.date = '.';
    user.time = '-';
    user.decimal = ',';
    EXPECT_EQ(Show("2006-01-31T13:10:55.5", "d/m/yyyy h:mm:ss.0", &user), "31.1.2006 13-10-55,5");

    CGenitiveNames names;
    SetLocaleNames(&names);
    SeparatorSet region;
    region.localeChoice = 99;
    EXPECT_EQ(Show("2006-01-31", "d mmmm yyyy", &region), "31 stycznia 2006");
    EXPECT_EQ(Show("2006-01-31", "mmmm yyyy", &region), "styczen 2006");
    EXPECT_EQ(Show("2006-01-31", "dddd", &region), "wtorek");
    EXPECT_EQ(Show("2006-01-31", "ddd mmm", &region), "Tue Jan"); // generic where it has none
    EXPECT_EQ(Show("2006-03-01", "d mmmm", &region), "1 March");
    EXPECT_EQ(Show("2006-01-31", "d mmmm yyyy"), "31 January 2006"); // another locale
    SetLocaleNames(nullptr);
    EXPECT_EQ(Show("2006-01-31", "d mmmm yyyy", &region), "31 January 2006");
}

TEST(DateRender, ColourAndPainterItemsReachTheList) {
    RenderedList list;
    ASSERT_TRUE(FormatDateTimeValue(list, "2006-01-31", "[blue]d*.", nullptr));
    EXPECT_TRUE(list.hasColor);
    EXPECT_EQ(list.color, 0xFF0000u);
    EXPECT_EQ(list.Text(), "31");
    EXPECT_EQ(list.items[list.count - 1].kind, uint32_t(kFmtFill));
}

} // namespace vl
