// Typed dates and times show what was typed through the style they imply.

#include "values/dateinput.h"
#include "values/isodate.h"
#include "values/numfmt_date.h"
#include "values/standardformat.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(DateInput, IsoTextsShowTheirSecondsWhenTheyHaveSome) {
    struct Case {
        const char* typed;
        const char* stored;
        const char* shown;
    } cases[] = {
        {"13:05:09", "13:05:09", "13:05:09"},
        {"13:05:00", "13:05:00", "13:05"},
        {"2006-01-31T13:10:55", "2006-01-31T13:10:55", "1/31/2006 13:10:55"},
        {"2006-01-31T13:10:00", "2006-01-31T13:10:00", "1/31/2006 13:10"},
        {"00:00:00.500", "00:00:00.500", "0:00:00"},
        {"2006-01-31", "2006-01-31", "1/31/2006"},
        // a blank in place of the "T"
        {"2006-01-31 08:05:09", "2006-01-31T08:05:09", "1/31/2006 8:05:09"},
        // a date and a time as a date-time format shows them, either first
        {"11/5/2009 0:00", "2009-11-05T00:00:00", "11/5/2009 0:00"},
        {"1/31/2006 1:10:55 PM", "2006-01-31T13:10:55", "1/31/2006 1:10:55 PM"},
        {"13:10 1/31/2006", "2006-01-31T13:10:00", "13:10 1/31/2006"},
        // the last date style, either side of the time
        {"Tuesday, January 31, 2006 13:10", "2006-01-31T13:10:00",
         "Tuesday, January 31, 2006 13:10"},
        {"13:10 Tuesday, January 31, 2006", "2006-01-31T13:10:00",
         "13:10 Tuesday, January 31, 2006"},
    };
    for (const auto& [typed, stored, shown] : cases) {
        IsoDateTime result;
        uint8_t kind = STD_STYLE_DEFAULT;
        uint8_t params[kStandardFormatParams] = {};
        ASSERT_TRUE(ParseDateText(typed, result, kind, params, InternalSeparators())) << typed;
        EXPECT_EQ(FormatIsoDateTime(result), stored) << typed;
        // The block holds the styles, their order and the order flag, nothing else: it is
        // stored with the cell's format.
        for (int k = fmtparam::kTimeFirst + 1; k < kStandardFormatParams; ++k)
            EXPECT_EQ(params[k], 0) << typed << " byte " << k;
        if (kind == STD_STYLE_DATE_TIME) {
            EXPECT_EQ(params[fmtparam::kDateOrderFlag], 1) << typed;
            EXPECT_LE(params[fmtparam::kTimeFirst], 1) << typed; // a flag
        }
        std::string text;
        ASSERT_TRUE(FormatDateText(FormatIsoDateTime(result), BuildStandardFormatCode(kind, params),
                                   text, &InternalSeparators()))
            << typed;
        EXPECT_EQ(text, shown) << typed;
    }
    // Not a date and time: two blanks, a time that is none, a date that is none.
    for (const char* typed : {"2006-01-31  08:05:09", "2006-01-31 abc", "2006-02-30 08:05:09",
                              "2006-01-31 25:00:00", "08:05:09 2006-01-31", "11/5/2009 24:00",
                              "2/30/2009 0:00", "11/5/2009 0:00 x", "0:00 0:00"}) {
        IsoDateTime result;
        uint8_t kind = STD_STYLE_DEFAULT;
        uint8_t params[kStandardFormatParams] = {};
        EXPECT_FALSE(ParseDateText(typed, result, kind, params, InternalSeparators())) << typed;
        EXPECT_EQ(kind, STD_STYLE_DEFAULT) << typed;
    }
}

} // namespace vl
