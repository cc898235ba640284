// The "Container" element: a container's layout, placement, frame, background, titles and
// objects (charts, and objects identified by number, written as "Image").

#include "files/xmlchartparts.h"
#include "files/xmlelements.h"
#include "files/xmlstyleitems.h"
#include "files/xmlwritten.h"
#include "formula/cellref.h"
#include "model/container.h"
#include "values/inttext.h"

#include <array>

namespace vl {

namespace {

// The object kind of a slot that only names an object by its number.
constexpr uint8_t kObjectImage = 2;
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd;
constexpr int32_t kMaxPlacement = 2147483647;
constexpr std::array<std::string_view, 3> kChartElements = {"Chart2D", "ChartXY", "Chart3D"};

// The Contents/Size page stores spacings from 0 to 255, every one of which reads back.
bool ReadSpacing(CXmlReader& r, uint8_t& out) {
    uint64_t v = 0;
    if (!r.Check(ParseXmlUnsigned(r.Value(), 255, 0, 255, v))) return false;
    out = uint8_t(v);
    return true;
}

bool ReadLayout(CXmlReader& r, ContainerSettings& s) {
    if (!r.FindAttribute("ID")) return r.Fail(kErrorXmlMissing);
    return r.GetU16Attribute(s.id, 1, uint16_t(kXmlCapU16)) &&
           (!r.FindAttribute("Columns") || r.GetU8Attribute(s.columns, 1, 254)) &&
           (!r.FindAttribute("Rows") || r.GetU8Attribute(s.rows, 1, 255)) &&
           (!r.FindAttribute("HorzSpacing") || ReadSpacing(r, s.horzSpacing)) &&
           (!r.FindAttribute("VertSpacing") || ReadSpacing(r, s.vertSpacing)) &&
           (!r.FindAttribute("Opacity") || r.GetU8Attribute(s.opacity, 0, 100));
}

bool ReadPlacement(CXmlReader& r, ContainerSettings& s) {
    if (r.FindAttribute("rc")) {
        CellRef ref;
        std::size_t end = 0;
        const std::string_view text = r.Value();
        const uint8_t flags = ParseR1C1Ref(text, 0, 0, ref, end);
        // The anchor must be a cell of the grid.
        if ((flags & kRefCell) != kRefCell || (flags & kRefOutOfRange) || end != text.size())
            return r.Fail(kErrorXmlAttribute);
        s.anchor = ref;
    }
    for (auto [name, field] : {std::pair{"Top", &s.top}, std::pair{"Left", &s.left},
                               std::pair{"Bottom", &s.bottom}, std::pair{"Right", &s.right}})
        if (r.FindAttribute(name) && !r.GetI32Attribute(*field, -kMaxPlacement, kMaxPlacement))
            return false;
    return true;
}

bool ReadImageObject(CXmlReader& r, ContainerSlot& slot) {
    if (!r.FindAttribute("ID")) return r.Fail(kErrorXmlMissing);
    uint64_t id = 0;
    // Every object number a slot can hold reads back.
    if (!r.Check(ParseXmlUnsigned(r.Value(), 65535, 0, 65535, id))) return false;
    slot.chart.reset();
    slot.kind = kObjectImage;
    slot.id = uint16_t(id);
    return true;
}

bool ReadChartObject(CXmlReader& r, ContainerSlot& slot) {
    if (!r.ReadNextTag({}, kXmlStart | kXmlPeek)) return false;
    bool chart = false;
    for (std::string_view name : kChartElements) chart = chart || r.Name() == name;
    if (!chart) return r.Fail(kErrorXmlElement);
    auto object = NewBlockObject<CChart>(uint8_t(0));
    if (!object) return r.Fail(kErrorXmlMemory);
    slot.kind = kObjectChart;
    slot.chart = std::move(object);
    return ReadXmlChart(r, *slot.chart);
}

bool ReadObjects(CXmlReader& r, CContainer& c) {
    if (!r.ReadNextTag("Objects", kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    ContainerSettings& s = c.settings;
    for (;;) {
        if (r.ReadNextTag("Objects", kXmlEnd | kXmlOptional)) return true;
        if (!r.Ok()) return false;
        if (s.objectCount == kMaxContainerObjects) return r.Fail(kErrorXmlElement);
        ContainerSlot& slot = c.slots[s.objectCount];
        if (r.ReadNextTag("Image", kEmptyElement | kXmlOptional)) {
            if (!ReadImageObject(r, slot)) return false;
            ++s.objectCount;
            continue;
        }
        if (!r.Ok()) return false;
        // The slot counts once it holds the chart, so that a failed read frees it.
        const bool ok = ReadChartObject(r, slot);
        if (slot.chart) ++s.objectCount;
        if (!ok) return false;
    }
}

void WritePlacement(CXmlWriter& w, const ContainerSettings& s) {
    const CellRef anchor = XmlWrittenAnchor(s.anchor);
    XmlAttributeText a;
    a.Raw("rc", "r" + IntText(int64_t(anchor.row) + 1) + "c" + IntText(int64_t(anchor.column) + 1));
    a.Int("Left", s.left).Int("Top", s.top).Int("Right", s.right).Int("Bottom", s.bottom);
    w.WriteTag("Placement", a.str(), kXmlEmptyTag, 2, 1);
}

void WriteObjects(CXmlWriter& w, const CContainer& c) {
    if (c.settings.objectCount == 0) {
        w.WriteTag("Objects", {}, kXmlEmptyTag, 2, 1);
        return;
    }
    w.WriteTag("Objects", {}, kXmlStartTag, 2, 1);
    for (int i = 0; i < c.settings.objectCount; ++i) {
        const ContainerSlot& slot = c.slots[i];
        if (slot.kind == kObjectChart && slot.chart) {
            WriteXmlChart(w, *slot.chart);
        } else if (slot.kind == kObjectImage) {
            XmlAttributeText a;
            a.Int("ID", slot.id);
            w.WriteTag("Image", a.str(), kXmlEmptyTag, 3, 1);
        }
    }
    w.WriteTag("Objects", {}, kXmlEndTag, 2, 1);
}

} // namespace

bool ReadXmlContainer(CXmlReader& r, CContainer& c) {
    if (!r.ReadNextTag("Container", kXmlAttributes | kXmlStart | kXmlOptional)) return r.Ok();
    if (r.IsEnd()) return true;
    ContainerSettings& s = c.settings;
    if (!ReadLayout(r, s)) return false;
    if (r.ReadNextTag("Placement", kEmptyElement | kXmlOptional)) {
        if (!ReadPlacement(r, s)) return false;
    } else if (!r.Ok()) {
        return false;
    }
    if (r.ReadNextTag("Border", kEmptyElement | kXmlOptional)) {
        if (!ReadXmlBorder(r, s.border)) return false;
    } else if (!r.Ok()) {
        return false;
    }
    return ReadXmlBackground(r, s.background) && ReadXmlTitles(r, s.titleFont, s.titleText) &&
           ReadObjects(r, c) && r.ReadNextTag("Container", kXmlEnd);
}

void WriteXmlContainer(CXmlWriter& w, const CContainer& c) {
    const ContainerSettings& s = c.settings;
    XmlAttributeText a;
    a.Int("ID", s.id).Int("Columns", s.columns).Int("Rows", s.rows);
    a.Int("HorzSpacing", s.horzSpacing).Int("VertSpacing", s.vertSpacing).Int("Opacity", s.opacity);
    w.WriteTag("Container", a.str(), kXmlStartTag, 1, 1);
    WritePlacement(w, s);
    // A frame and a background of no kind are written too: absent, they would read back
    // as a new container's solid frame and solid fill.
    WriteXmlBorderLine(w, "Border", s.border, 2);
    if (s.background.kind >= kBackgroundPattern && s.background.kind <= kBackgroundFractal)
        WriteXmlBackground(w, s.background, 2);
    else
        w.WriteTag("Background", {}, kXmlEmptyTag, 2, 1);
    WriteXmlTitles(w, s.titleFont, s.titleText, 2);
    WriteObjects(w, c);
    w.WriteTag("Container", {}, kXmlEndTag, 1, 2);
}

} // namespace vl
