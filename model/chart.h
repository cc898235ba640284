#pragma once
// A chart's stored settings, its 16 series records and the lists derived from their data.
// The settings and series settings are laid out field by field as the binary workbook form
// stores them; the derived state and the lists follow them and are never stored.

#include "model/blockobject.h"
#include "model/chartdata.h"
#include "model/pagedlist.h"
#include "model/stylerecords.h"
#include "platform/core/errorcode.h"
#include "values/standardformat.h"

#include <cstdint>
#include <memory>

namespace vl {

class CCanvas;

constexpr int kChartSeries = 16;
constexpr int kChartTextSize = 128;
constexpr int kDataArraySize = 1025;

enum ChartType : uint8_t { kChart2D = 1, kChart3D = 2, kChartXY = 3 };

// Range flags of a series.
enum : uint16_t { kFromValueGiven = 2, kToValueGiven = 4, kStackLimitsFixed = 8 };
// Chart flags.
enum : uint8_t { kChartScalesValid = 1, kChartLaidOut = 2 };

struct SeriesSettings {
    uint8_t role = 0; // 0 unused, 1 values, 2 X of an XY chart, 3 categories, 4 error bars
    uint8_t reserved = 0;
    uint16_t rangeFlags = 0;
    uint8_t scale = 0; // 0 linear, 1 log2, 2 ln, 3 log10
    char name[kChartTextSize] = {};
    char relatedX[kChartTextSize] = {};
    char relatedSigma[kChartTextSize] = {};
    char dataArray[kDataArraySize] = {};
    double fromValue = 0;
    double stackLower = 0;
    double toValue = 0;
    double stackUpper = 0;
    uint16_t periods = 0;
    uint16_t subperiods = 0;
    uint32_t divisor = 0;
    StandardFormat numberFormat;
    uint8_t kind = 0;
    uint8_t stacked = 0;
    uint8_t relative = 0;
    uint8_t visible = 0;
    uint8_t labels = 0;
    ColoredFont font;
    BorderLine line;
    InteriorFill fill;
    uint8_t symbol = 0;
    BorderLine connectingLine;
    uint8_t sliceFillCount = 0;
    InteriorFill sliceFills[16];
    uint8_t axisType = 0;
    uint16_t axisFlags = 0;
    BorderLine axisLine;
    ColoredFont axisFont;
    char axisTitle[kChartTextSize] = {};
    BorderLine majorGrid;
    BorderLine minorGrid;
    uint8_t userGridCount = 0;
    BorderLine userGridLines[16];
    double userGridValues[16] = {};
};

class CChartSeries {
public:
    CChartSeries() = default;
    CChartSeries(const CChartSeries&) = delete;
    CChartSeries& operator=(const CChartSeries&) = delete;

    SeriesSettings settings;
    // Derived from the data by the data update and the scale computation.
    uint8_t valueFlags = 0;
    uint8_t scaled = 0;
    double minimum = 0, maximum = 0;
    double logMinimum = 0, logMaximum = 0;
    float lowPosition = 0, highPosition = 0, baseOffset = 0;
    CPagedList points;
    CPagedList labels;
    CPagedList labelAnchors;
};

// The width and height of the chart in percent of its container: one range for the page that
// sets them and every reader of them.
constexpr uint8_t kViewSizeMin = 1;
constexpr uint8_t kViewSizeMax = 100;

struct ChartSettings {
    uint8_t type = 0;
    uint8_t viewWidth = 0, viewHeight = 0;
    uint8_t barSize = 0, stackBarSize = 0;
    uint8_t lineWidth3D = 0, pieThickness3D = 0, pieSplit = 0;
    ColoredFont titleFont[2];
    char titleText[2][kChartTextSize] = {};
    uint8_t legendCode = 0;
    ColoredFont legendFont;
    int16_t rotationX = 0, rotationY = 0, rotationZ = 0;
    uint16_t lightDirectionX = 0, lightDirectionY = 0;
    uint16_t perspective = 0;
    uint8_t planeXY = 0, planeXZ = 0, planeYZ = 0;
    InteriorFill planeFill;
    BorderLine planeBorder;
    uint8_t seriesCount = 0;
};

class CChart : public BlockAllocated {
public:
    explicit CChart(uint8_t type);
    ~CChart();
    CChart(const CChart&) = delete;
    CChart& operator=(const CChart&) = delete;

    uint8_t flags = 0;
    ErrorCode error = kErrorNone;
    ChartSettings settings;
    float viewMatrix[16] = {};
    CChartSeries series[kChartSeries];
    CPagedList vertices; // ChartVertex
    CPagedList faces;    // ChartFace
    WallRecord walls[kChartWalls];
    GridLineSet gridLines[kChartGridLineSets];
    uint8_t gridLineCount = 0;
    AxisRecord axes[kChartAxes];
    uint8_t axisCount = 0;
    float light[3] = {0, 0, 1.0f};
    CCanvas* canvas = nullptr; // not owned
    uint16_t gap = 4;
    uint16_t zoomX = 100, zoomY = 100;
    int32_t margins[4] = {}; // left, top, right, bottom

    // A deep copy: settings, series with their data, the scene and the layout state; null
    // when memory runs out. Axis records and grid-line sets point at the copy's own series.
    std::unique_ptr<CChart> Clone() const;
    // This chart's series at the index of `s` in `source`; null when `s` is none of them.
    CChartSeries* OwnSeries(const CChartSeries* s, const CChart& source);
};

// The palette of new series and slices, and of a new container's fractal.
COLORREF ChartPaletteColor(int index);

// The kind and the point symbol a new series takes in a chart of the type.
uint8_t DefaultSeriesKind(uint8_t chartType);
constexpr uint8_t kNewSeriesSymbol = 4;
void InitSeries(CChart& chart, uint16_t index);
// Restores the settings' defaults (the chart type stays) and the identity view matrix, and
// resets every series to the defaults of the chart's type.
void InitChartSettings(CChart& chart);
// Empties series n's derived data, keeping the list pages for reuse.
void ResetSeriesData(CChart& chart, uint16_t index);
// Tears the derived data down and frees every list page of the chart and its series. The
// chart stays a valid empty chart, so destroying it afterwards frees nothing twice.
void ClearChart(CChart& chart);
// Empties a list and gives all its memory back, leaving it as newly constructed.
void ResetPagedList(CPagedList& list);
// The target holds the source's items of `size` bytes; false (target emptied) on failure.
bool CopyPagedList(const CPagedList& source, CPagedList& target, uint32_t size);

} // namespace vl
