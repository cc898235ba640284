#pragma once
// The pieces of the chart and container elements that their readers and writers share:
// titles, the legend, the data series with their presentation, axis and grid lines.

#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "model/chart.h"

#include <cstdint>

namespace vl {

// The title slots of a chart or a container: up to two "Title" elements, each a "Font"
// and a "Text". Both are written when the second has a text, so that a lone subtitle keeps
// its slot.
bool ReadXmlTitles(CXmlReader& reader, ColoredFont fonts[2], char texts[2][kChartTextSize]);
void WriteXmlTitles(CXmlWriter& writer, const ColoredFont fonts[2],
                    const char texts[2][kChartTextSize], int level);
// How many title slots are written, from the first.
inline int XmlTitlesWritten(const char texts[2][kChartTextSize]) {
    return texts[1][0] ? 2 : texts[0][0] ? 1 : 0;
}

// "Position" and "Layout" of the "Legend" just read.
bool ReadXmlLegendLayout(CXmlReader& reader, CChart& chart);

// "DataSeries" with its "Sigma", "X" and "Y" children; at most 16 series.
bool ReadXmlDataSeries(CXmlReader& reader, CChart& chart);
void WriteXmlDataSeries(CXmlWriter& writer, const CChart& chart, int level);

// The presentation element of a "Y" series ("Column", "Bar", "Line", "Area", "Pie",
// "Scatter"), read by the chart's type; it sets the series' kind.
bool ReadXmlSeriesStyle(CXmlReader& reader, uint8_t chartType, SeriesSettings& series);
void WriteXmlSeriesStyle(CXmlWriter& writer, uint8_t chartType, const SeriesSettings& series,
                         int level);

// "Stacked", "Labels", "Visible" and "Symbol" of the presentation element just read.
// Brings a "Y" series read from another form to what its style element writes and reads
// back: the kind of the form it is written in, and symbol 5 where that form carries none.
void SettleXmlSeriesStyle(uint8_t chartType, SeriesSettings& series);
// Gives the options, fills and lines that the form of a "Y" series does not write the values
// of `fresh`, a new series at its place, as reading it back does.
void FreshUnwrittenStyle(uint8_t chartType, const SeriesSettings& fresh, SeriesSettings& series);
bool ReadXmlSeriesOptions(CXmlReader& reader, SeriesSettings& series, bool readStacked,
                          bool readSymbol);

// The chart type a chart is written as: its own, or 2D for a type outside 1 to 3.
inline uint8_t WrittenChartType(uint8_t type) {
    return type >= kChart2D && type <= kChartXY ? type : uint8_t(kChart2D);
}

} // namespace vl
