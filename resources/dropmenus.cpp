#include "resources/commandids.h"
#include "resources/menus.h"

#include <iterator>

namespace vl {

namespace {

constexpr MenuLine kPasteList[] = {
    {0, 0, "Paste"},
    {1, ID_COPIED_DATA_FIRST, "(No copied data)"},
};

constexpr MenuLine kDateTime[] = {
    {0, 0, "Date"},
    {1, ID_INSERT_DATE, "&Date"},
    {1, ID_INSERT_TIME, "&Time"},
    {1, ID_INSERT_DATE_AND_TIME, "Date && T&ime"},
    {1, 0, nullptr},
    {1, ID_NEXT_WEEK, "&Next Week"},
    {1, ID_PREV_WEEK, "&Previous Week"},
    {1, ID_NEXT_MONTH, "Next &Month"},
    {1, ID_PREV_MONTH, "Previous M&onth"},
    {1, ID_END_NEXT_MONTH, "&End Of Next Month"},
    {1, ID_END_PREV_MONTH, "End Of Previous Mont&h"},
};

constexpr MenuLine kStatistics[] = {
    {0, 0, "Statistics"},
    {1, ID_STAT_SUM, "&Sum"},
    {1, ID_STAT_SUM_POSITIVE, "Sum of Postive Values"},
    {1, ID_STAT_SUM_NEGATIVE, "Sum of Negative Values"},
    {1, ID_STAT_SUM_SQUARES, "Sum of Squares"},
    {1, ID_STAT_DEVIATIONS, "Sum of Squares of Deviations"},
    {1, 0, nullptr},
    {1, ID_STAT_MEAN, "&Arithmetic Mean"},
    {1, ID_STAT_GEOMETRIC_MEAN, "&Geometric Mean"},
    {1, ID_STAT_HARMONIC_MEAN, "&Harmonic Mean"},
    {1, 0, nullptr},
    {1, ID_STAT_COUNT, "&Count"},
    {1, ID_STAT_COUNT_POSITIVE, "Count Positive Values"},
    {1, ID_STAT_COUNT_NEGATIVE, "Count Negative Values"},
    {1, ID_STAT_COUNT_ZEROS, "Count Zeros"},
    {1, ID_STAT_MODE, "Most Frequently Occuring"},
    {1, 0, nullptr},
    {1, ID_STAT_MINIMUM, "&Minimum"},
    {1, ID_STAT_QUARTILE_1, "&1st Quartile"},
    {1, ID_STAT_QUARTILE_2, "&2nd Quartile"},
    {1, ID_STAT_QUARTILE_3, "&3rd Quartile"},
    {1, ID_STAT_MAXIMUM, "Ma&ximum"},
};

constexpr MenuLine kRecentFormulas[] = {
    {0, 0, "Formulas"},
    {1, ID_NO_SAVED_FORMULAS, "(No saved formulas)"},
};

constexpr MenuLine kCharts[] = {
    {0, 0, "Chart"},
    {1, ID_CHART_2D, "&2D Chart..."},
    {1, ID_CHART_XY, "&XY Chart..."},
    {1, ID_CHART_3D, "&3D Chart..."},
};

constexpr MenuLine kGo[] = {
    {0, 0, "Go"},
    {1, ID_GO_TOP, "&Top"},
    {1, ID_PREV_NONEMPTY, "Previous &Non-empty Cell"},
    {1, ID_PREV_EMPTY, "Previous &Empty Cell"},
    {1, ID_PREV_IDENTICAL, "Previous &Identical Cell"},
    {1, ID_PREV_DIFFERENT, "Previous &Different Cell"},
    {1, 0, nullptr},
    {1, ID_GO_BOTTOM, "&Bottom"},
    {1, ID_NEXT_NONEMPTY, "Next N&on-empty Cell"},
    {1, ID_NEXT_EMPTY, "Next E&mpty Cell"},
    {1, ID_NEXT_IDENTICAL, "Next Identi&cal Cell"},
    {1, ID_NEXT_DIFFERENT, "Next Di&fferent Cell"},
    {1, 0, nullptr},
    {1, ID_PREV_WORKSHEET, "&Previous Worksheet"},
    {1, ID_NEXT_WORKSHEET, "Next &Worksheet"},
};

constexpr MenuLine kRemoveItem[] = {
    {0, 0, "Remove"},
    {1, ID_REMOVE_ITEM, "Remove this Item From the List"},
    {1, ID_REMOVE_ALL_ITEMS, "Remove All Items"},
};

struct DropMenu {
    int resource;
    const MenuLine* lines;
    std::size_t count;
};

constexpr DropMenu kDropMenus[] = {
    {253, kPasteList, std::size(kPasteList)},   {258, kDateTime, std::size(kDateTime)},
    {249, kStatistics, std::size(kStatistics)}, {282, kRecentFormulas, std::size(kRecentFormulas)},
    {240, kCharts, std::size(kCharts)},         {280, kGo, std::size(kGo)},
    {281, kRemoveItem, std::size(kRemoveItem)},
};

} // namespace

const MenuLine* DropDownMenuLines(int resource, std::size_t& count) {
    for (const DropMenu& m : kDropMenus)
        if (m.resource == resource) {
            count = m.count;
            return m.lines;
        }
    count = 0;
    return nullptr;
}

} // namespace vl
