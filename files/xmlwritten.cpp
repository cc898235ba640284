#include "files/xmlwritten.h"

#include "files/xmlconvert.h"
#include "platform/core/screen.h"

#include <algorithm>

namespace vl {

namespace {

void GiveAsDrawn(uint8_t freshGiven, uint8_t& given, COLORREF& color, uint16_t drawn) {
    if (!freshGiven || given) return;
    given = 1;
    color = GetSystemColor(drawn);
}

void GiveLineAsDrawn(const BorderLine& fresh, BorderLine& line) {
    GiveAsDrawn(fresh.colorGiven, line.colorGiven, line.color, kColorWindowText);
}

void GiveFillAsDrawn(const InteriorFill& fresh, InteriorFill& fill) {
    GiveAsDrawn(fresh.patternColorGiven, fill.patternColorGiven, fill.patternColor, kColorWindow);
    GiveAsDrawn(fresh.backgroundColorGiven, fill.backgroundColorGiven, fill.backgroundColor,
                kColorWindow);
}

} // namespace

uint16_t XmlWrittenPaneSize(uint16_t size) {
    return uint16_t(std::min<uint64_t>(size, kXmlCapU16));
}

CellRef XmlWrittenAnchor(const CellRef& anchor) {
    return CellRef{anchor.column, anchor.row, kRefCell};
}

SeriesSettings XmlWrittenSeries(const SeriesSettings& f, const SeriesSettings& series) {
    SeriesSettings s = series;
    GiveFillAsDrawn(f.fill, s.fill);
    for (int i = 0; i < 16; ++i) GiveFillAsDrawn(f.sliceFills[i], s.sliceFills[i]);
    for (int i = 0; i < 16; ++i) GiveLineAsDrawn(f.userGridLines[i], s.userGridLines[i]);
    for (auto line :
         {&SeriesSettings::line, &SeriesSettings::connectingLine, &SeriesSettings::axisLine,
          &SeriesSettings::majorGrid, &SeriesSettings::minorGrid})
        GiveLineAsDrawn(f.*line, s.*line);
    return s;
}

ColoredFont XmlWrittenHeaderFont(const ColoredFont& font) {
    ColoredFont written = font;
    if (!written.colorGiven) {
        written.colorGiven = 1;
        written.color = GetSystemColor(kColorWindowText);
    }
    return written;
}

} // namespace vl
