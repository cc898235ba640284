// The window's data commands in its one command table: the clipboard, Insert, series fill,
// quick statistics, sorting and transposing, cell values, find and replace.

#include "resources/commandids.h"
#include "ui/uiservices.h"
#include "workbookwnd/workbookwnd.h"

namespace vl {

namespace {

struct Statistic {
    int id;
    const char* format;
};

constexpr Statistic kStatistics[] = {
    {ID_STAT_SUM, "=sum(%s)"},
    {ID_STAT_SUM_POSITIVE, "=sumIf(%s, \">0\",)"},
    {ID_STAT_SUM_NEGATIVE, "=sumIf(%s, \"<0\",)"},
    {ID_STAT_SUM_SQUARES, "=sumSq(%s)"},
    {ID_STAT_DEVIATIONS, "=devSq(%s)"},
    {ID_STAT_MEAN, "=average(%s)"},
    {ID_STAT_GEOMETRIC_MEAN, "=geoMean(%s)"},
    {ID_STAT_HARMONIC_MEAN, "=harMean(%s)"},
    {ID_STAT_COUNT, "=countA(%s)"},
    {ID_STAT_COUNT_POSITIVE, "=countIf(%s, \">0\")"},
    {ID_STAT_COUNT_NEGATIVE, "=countIf(%s, \"<0\")"},
    {ID_STAT_COUNT_ZEROS, "=countIf(%s, 0)"},
    {ID_STAT_MODE, "=mode(%s)"},
    {ID_STAT_MINIMUM, "=min(%s)"},
    {ID_STAT_QUARTILE_1, "=quartile(%s, 1)"},
    {ID_STAT_QUARTILE_2, "=quartile(%s, 2)"},
    {ID_STAT_QUARTILE_3, "=quartile(%s, 3)"},
    {ID_STAT_MAXIMUM, "=max(%s)"},
};

} // namespace

void CWorkbookWnd::RegisterDataCommands() {
    auto& c = commands_;
    c[ID_EDIT_COPY] = [this] { OnEditCopyCut(false); };
    c[ID_EDIT_CUT] = [this] { OnEditCopyCut(true); };
    c[ID_EDIT_PASTE] = [this] { OnEditPaste(); };
    for (int id = ID_COPIED_DATA_FIRST; id <= ID_COPIED_DATA_LAST; ++id)
        c[id] = [this, id] { OnPasteCopiedData(id - ID_COPIED_DATA_FIRST); };
    for (int id :
         {ID_INSERT_DATE, ID_INSERT_TIME, ID_INSERT_DATE_AND_TIME, ID_NEXT_WEEK, ID_PREV_WEEK,
          ID_NEXT_MONTH, ID_PREV_MONTH, ID_END_NEXT_MONTH, ID_END_PREV_MONTH})
        c[id] = [this, id] { OnInsertDateTime(id); };
    c[ID_DATA_SERIES] = [this] { OnInsertDataSeries(); };
    for (const Statistic& s : kStatistics) c[s.id] = [this, s] { OnQuickStatistics(s.format); };
    for (int id : {ID_EMPTY_CONTAINER, ID_CHART_2D, ID_CHART_3D, ID_CHART_XY})
        c[id] = [this, id] { OnInsertContainer(id); };
    c[ID_INSERT_IMAGE] = [this] { OnInsertImage(); };
    c[ID_SORT_ASCENDING] = [this] { OnSortAscDesc(false); };
    c[ID_SORT_DESCENDING] = [this] { OnSortAscDesc(true); };
    c[ID_TOOLS_SORT] = [this] { OnToolsSort(); };
    c[ID_TRANSPOSE] = [this] { OnTranspose(); };
    c[ID_UPDATE_DATA] = [this] { OnUpdateData(); };
    c[ID_INCREMENT_VALUE] = [this] { OnStepValue(1); };
    c[ID_DECREMENT_VALUE] = [this] { OnStepValue(-1); };
    for (int id : {ID_FORMULAS_TO_VALUES, ID_NUMBERS_TO_LABELS, ID_LABELS_TO_NUMBERS,
                   ID_ALL_UPPERCASE, ID_ALL_LOWERCASE, ID_FIRST_UPPERCASE})
        c[id] = [this, id] { OnConvertContents(id); };
    c[ID_EDIT_FIND] = [this] { OnFindNext(); };
    c[ID_SEARCH_FIND] = [this] { OnFindNext(); };
    c[ID_SEARCH_REPLACE] = [this] { OnReplace(false); };
    c[ID_SEARCH_REPLACE_ALL] = [this] { OnReplace(true); };
}

} // namespace vl
