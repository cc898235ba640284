#pragma once
// A chart brought to what the XML form carries of it: the XML form writes the error-bar series
// first, then the X series, then the value series, and carries for each only the fields its
// role uses; it writes the rotation and view of 3D charts only. Used to compare records
// across forms; the binary form keeps a chart as it is.

#include "model/chart.h"

namespace vl {

// Orders the used series by role as the XML form writes them (dropping any without a role)
// and gives every field a role does not use the value a new series has.
void SettleSeriesRoles(CChart& chart);

// Gives the chart a type the XML form writes, and the titles, legend and plane fields it does
// not write the values they read back with: a title or legend not shown keeps a new chart's
// font, a colour not given the reader's default.
void SettleChartLook(CChart& chart);

// Gives a chart that is not 3D the rotation, light, perspective, 3D sizes and view of a new
// chart, as the XML form reads it back.
void SettleFlatChart(CChart& chart);

} // namespace vl
