// The "Background" element of containers and worksheets: a fill, an image file or a fractal.

#include "files/xmlelements.h"
#include "files/xmlfields.h"
#include "files/xmlstyleitems.h"
#include "platform/core/cp1252.h"

#include <array>
#include <cstring>

namespace vl {

namespace {

constexpr std::array<std::string_view, 3> kImageViews = {"Default", "FitToWindowSize", "Wallpaper"};
constexpr std::array<std::string_view, 6> kFractalFields = {"Zr",   "Zi",   "MinX",
                                                            "MaxX", "MinY", "MaxY"};
constexpr uint8_t kEmptyElement = kXmlAttributes | kXmlStart | kXmlEnd | kXmlOptional;

std::array<double*, 6> FractalFields(BackgroundRecord& b) {
    return {&b.zr, &b.zi, &b.minX, &b.maxX, &b.minY, &b.maxY};
}

std::array<double, 6> FractalValues(const BackgroundRecord& b) {
    return {b.zr, b.zi, b.minX, b.maxX, b.minY, b.maxY};
}

const char* ViewName(uint8_t view) {
    if (view & 1) return "FitToWindowSize";
    if (view & 2) return "Wallpaper";
    return "Default";
}

bool ReadFractal(CXmlReader& r, BackgroundRecord& b) {
    b.kind = kBackgroundFractal;
    const std::array<double*, 6> fields = FractalFields(b);
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!ReadXmlDoubleIf(r, kFractalFields[i], *fields[i])) return false;
    for (COLORREF& color : b.fractalColors) {
        if (!r.ReadElementText("Color", kXmlNumberTextLimit, 0)) return false;
        if (!r.Check(ParseXmlColor(r.Text(), color))) return false;
    }
    return r.ReadNextTag("Fractal", kXmlEnd);
}

// An image whose name is empty still says that the background is an image, so that every
// background written reads back.
bool ReadImage(CXmlReader& r, BackgroundRecord& b) {
    const std::string& path = r.Text();
    if (!path.empty() && !IsImageFileName(path)) return r.Fail(kErrorXmlData);
    b.kind = kBackgroundImage;
    std::memcpy(b.imagePath, path.c_str(), path.size() + 1);
    return ReadXmlKeywordIf(r, "View", kImageViews, b.imageView);
}

} // namespace

uint8_t GetImageKindFromPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return 0;
    // Only as many characters as the known extension has count: "a.bmpx" is a bitmap.
    const std::string_view extension = path.substr(dot);
    auto startsWith = [&](std::string_view known) {
        if (extension.size() < known.size()) return false;
        for (std::size_t i = 0; i < known.size(); ++i)
            if (AsciiUpper(extension[i]) != known[i]) return false;
        return true;
    };
    if (startsWith(".BMP")) return 1;
    if (startsWith(".JPG") || startsWith(".JPEG")) return 2;
    if (startsWith(".PNG")) return 3;
    return 0;
}

bool ReadXmlBackground(CXmlReader& r, BackgroundRecord& b) {
    if (!r.ReadNextTag("Background", kXmlStart | kXmlOptional)) return r.Ok();
    // The empty element is how a background of no kind is written.
    if (r.IsEnd()) {
        b.kind = 0;
        return true;
    }
    if (r.ReadNextTag("FillPattern", kEmptyElement)) {
        b.kind = kBackgroundPattern;
        if (!ReadXmlInterior(r, b.pattern)) return false;
    } else if (!r.Ok()) {
        return false;
    } else if (r.ReadNextTag("Fractal", kXmlAttributes | kXmlStart | kXmlOptional)) {
        if (r.IsEnd() ? r.Fail(kErrorXmlElement) : !ReadFractal(r, b)) return false;
    } else if (!r.Ok()) {
        return false;
    } else if (r.ReadElementBytes("Image", kImagePathSize - 1, kXmlAttributes | kXmlOptional)) {
        if (!ReadImage(r, b)) return false;
    }
    return r.Ok() && r.ReadNextTag("Background", kXmlEnd);
}

void WriteXmlBackground(CXmlWriter& w, const BackgroundRecord& b, int level) {
    if (b.kind < kBackgroundPattern || b.kind > kBackgroundFractal) {
        w.WriteTag("Background", {}, kXmlEmptyTag, level, 2);
        return;
    }
    w.WriteTag("Background", {}, kXmlStartTag, level, 1);
    if (b.kind == kBackgroundPattern) {
        WriteXmlFillPattern(w, b.pattern, level + 1);
    } else if (b.kind == kBackgroundImage) {
        XmlAttributeText a;
        a.Raw("View", ViewName(b.imageView));
        // The path is the system's bytes, written as they are.
        w.WriteTag("Image", a.str(), kXmlStartTag, level + 1, 0);
        w.EncodeBytes(b.imagePath);
        w.WriteTag("Image", {}, kXmlEndTag, 0, 1);
    } else {
        XmlAttributeText a;
        const std::array<double, 6> values = FractalValues(b);
        for (std::size_t i = 0; i < values.size(); ++i)
            a.Raw(kFractalFields[i], XmlNumberText(values[i]));
        w.WriteTag("Fractal", a.str(), kXmlStartTag, level + 1, 1);
        for (COLORREF c : b.fractalColors)
            w.WriteElement("Color", XmlColorText(c, false), level + 2, 1);
        w.WriteTag("Fractal", {}, kXmlEndTag, level + 1, 1);
    }
    w.WriteTag("Background", {}, kXmlEndTag, level, 1);
}

} // namespace vl
