#pragma once
// Small documents around one container, chart or series for the reading tests.

#include "xmltestutil.h"

#include <string>

namespace vl::xmltest {

inline std::string ContainerDoc(const std::string& inner,
                                const std::string& attributes = "ID='1'") {
    return SheetDocument("<Container " + attributes + ">" + inner + "</Container>");
}

inline std::string ObjectsDoc(const std::string& objects) {
    return ContainerDoc("<Objects>" + objects + "</Objects>");
}

// A chart element of the given name holding `body` and then `series` inside "DataSeries".
inline std::string ChartDoc(const std::string& name, const std::string& series,
                            const std::string& body = "", const std::string& tail = "") {
    return ObjectsDoc("<" + name + ">" + body + "<DataSeries>" + series + "</DataSeries>" + tail +
                      "</" + name + ">");
}

inline std::string X2D(const std::string& extra = "", const std::string& periods = "") {
    return "<X><Name/><RelatedSigma/><DataArray/><DataPeriods " + periods + "/>" + extra + "</X>";
}

// A value series of a 2D chart with the given presentation element and what follows it.
inline std::string Y2D(const std::string& style = "<Column><Font/><FillPattern/></Column>",
                       const std::string& extra = "", const std::string& dataArray = "<DataArray/>",
                       const std::string& periods = "") {
    return "<Y><Name/><RelatedSigma/><RelatedX/>" + dataArray + "<DataPeriods " + periods + "/>" +
           style + extra + "</Y>";
}

inline std::string Y3D(const std::string& style = "<Column><FillPattern/></Column>") {
    return "<Y><Name/><RelatedX/><DataArray/><DataPeriods/>" + style + "</Y>";
}

inline std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

} // namespace vl::xmltest
