// Typed dates and times show what was typed through the style they imply.

#include "values/dateinput.h"
#include "values/isodate.h"
#include "values/numfmt_date.h"
#include "values/standardformat.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(DateInput, IsoTextsShowTheirSecondsWhenTheyHaveSome) {
    const std::pair<const char*, const char*> cases[] = {
        {"13:05:09", "13:05:09"},
        {"13:05:00", "13:05"},
        {"2006-01-31T13:10:55", "1/31/2006 13:10:55"},
        {"2006-01-31T13:10:00", "1/31/2006 13:10"},
        {"00:00:00.500", "0:00:00"},
        {"2006-01-31", "1/31/2006"},
    };
    for (const auto& [typed, shown] : cases) {
        IsoDateTime result;
        uint8_t kind = STD_STYLE_DEFAULT;
        uint8_t params[kStandardFormatParams] = {};
        ASSERT_TRUE(ParseDateText(typed, result, kind, params, InternalSeparators())) << typed;
        std::string text;
        ASSERT_TRUE(FormatDateText(FormatIsoDateTime(result), BuildStandardFormatCode(kind, params),
                                   text, &InternalSeparators()))
            << typed;
        EXPECT_EQ(text, shown) << typed;
    }
}

} // namespace vl
