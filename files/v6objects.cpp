// The objects of a version-6 worksheet: each becomes a container anchored on the sheet,
// holding a chart ("GraphObj") or showing a titled text over its background ("TextObj").

#include "files/v6records.h"
#include "model/container.h"
#include "model/worksheet.h"
#include "platform/core/cp1252.h"

#include <string>
#include <string_view>

namespace vl {

namespace {

constexpr uint16_t kIntroduceClass = 0xFFFF;
constexpr uint16_t kClassNumberMask = 0x7FFF;
// Class tag, frame rectangle, anchor cell and position: what every object has at least.
constexpr size_t kObjectHeadSize = 2 + 16 + 8 + 8;
constexpr size_t kTextBlockSize = 216;
constexpr uint8_t kBackgroundImageBits = 3;
constexpr uint8_t kBackgroundFractalBit = 4;

enum class ObjectKind { kChart, kText };

// The number each class was introduced with; 0 while it has not been.
struct ClassNumbers {
    uint16_t chart = 0;
    uint16_t text = 0;
};

bool ReadClass(CWorkbook& book, CV6Input& in, ClassNumbers& classes, ObjectKind& kind) {
    const uint16_t tag = in.U16();
    if (tag == kIntroduceClass) {
        in.U16(); // the schema number
        const std::string_view name = in.Text(in.U16());
        const bool chart = name == "GraphObj";
        if (!in.Ok() || (!chart && name != "TextObj")) return V6Invalid(book);
        const uint16_t other = chart ? classes.text : classes.chart;
        (chart ? classes.chart : classes.text) = other == 0 ? 1 : 2;
        kind = chart ? ObjectKind::kChart : ObjectKind::kText;
        return true;
    }
    const uint16_t number = tag & kClassNumberMask;
    if (!in.Ok() || number == 0) return V6Invalid(book);
    if (number == classes.chart)
        kind = ObjectKind::kChart;
    else if (number == classes.text)
        kind = ObjectKind::kText;
    else
        return V6Invalid(book);
    return true;
}

bool ReadChartObject(CWorkbook& book, CV6Input& in, CContainer& container) {
    const uint8_t* record = in.Bytes(kV6ChartRecordSize);
    if (!record) return V6Invalid(book);
    auto chart = NewBlockObject<CChart>(uint8_t(0));
    if (!chart) return V6NoMemory(book);
    ContainerSlot& slot = container.slots[0];
    slot.kind = kObjectChart;
    slot.chart = std::move(chart);
    container.settings.objectCount = 1;
    return ConvertV6ChartRecord(container, *slot.chart, record) || V6Invalid(book);
}

void SetFractal(BackgroundRecord& b, const uint8_t* block) {
    b.kind = kBackgroundFractal;
    for (int i = 0; i < 16; ++i) b.fractalColors[i] = LoadU32(block + 144 + 4 * i);
    b.zr = LoadF64(block + 96);
    b.zi = LoadF64(block + 104);
    b.minX = LoadF64(block + 112);
    b.maxX = LoadF64(block + 128);
    b.minY = LoadF64(block + 120);
    b.maxY = LoadF64(block + 136);
}

// An image background names its file, or embeds its data, which is passed over.
bool ReadImage(CWorkbook& book, CV6Input& in, BackgroundRecord& b) {
    const std::string name(in.Text(in.U8()));
    const uint8_t kind = in.U8();
    if (!in.Ok()) return V6Invalid(book);
    if (kind & 1) {
        b.kind = kBackgroundImage;
        // The older form names files in the program's code page; paths are the system's bytes.
        const std::string path = Cp1252ToUtf8(name);
        CopyTextField(b.imagePath, path.c_str(), kImagePathSize);
        b.imageView = 0;
        return true;
    }
    in.Skip(in.U32());
    return in.Ok() || V6Invalid(book);
}

bool ReadTextObject(CWorkbook& book, CV6Input& in, CContainer& container) {
    in.U32();
    const uint8_t* block = in.Bytes(kTextBlockSize);
    const std::string_view title = in.Text(in.U32());
    if (!in.Ok()) return V6Invalid(book);
    ContainerSettings& s = container.settings;
    if (!title.empty()) {
        const std::string kept(title.substr(0, kV6TextLimit));
        CopyTextField(s.titleText[0], kept.c_str(), kChartTextSize);
        SetColoredFont(s.titleFont[0], block + 4, LoadU32(block + 64));
    }
    const uint8_t background = block[88];
    if (background & kBackgroundImageBits) return ReadImage(book, in, s.background);
    if (background & kBackgroundFractalBit) {
        SetFractal(s.background, block);
        return true;
    }
    InteriorFill& fill = s.background.pattern;
    s.background.kind = kBackgroundPattern;
    fill.pattern = FORMAT_PAT_SOLID;
    fill.patternColor = fill.backgroundColor = LoadU32(block + 80);
    fill.patternColorGiven = fill.backgroundColorGiven = 1;
    return true;
}

// The placement: the position, and the frame's extent plus one pixel; it must stay a
// rectangle of 32-bit coordinates.
bool PlacementOf(int32_t x, int32_t y, const int32_t frame[4], ContainerFrame& out) {
    const int64_t right = int64_t(x) + (int64_t(frame[2]) - frame[0]) + 1;
    const int64_t bottom = int64_t(y) + (int64_t(frame[3]) - frame[1]) + 1;
    if (right < INT32_MIN || right > INT32_MAX || bottom < INT32_MIN || bottom > INT32_MAX)
        return false;
    out = {x, y, int32_t(right), int32_t(bottom)};
    return true;
}

bool ReadObject(CWorkbook& book, CV6Input& in, CWorksheet& sheet, ClassNumbers& classes,
                uint16_t id) {
    ObjectKind kind = ObjectKind::kChart;
    if (!ReadClass(book, in, classes, kind)) return false;
    int32_t frame[4];
    for (int32_t& v : frame) v = in.I32();
    const uint32_t column = in.U32() & 0xFFFF;
    const uint32_t row = in.U32();
    const int32_t x = in.I32(), y = in.I32();
    ContainerFrame placement{};
    if (!in.Ok() || column > kLastColumn || row > kLastRow || !PlacementOf(x, y, frame, placement))
        return V6Invalid(book);
    auto owned = NewBlockObject<CContainer>();
    if (!owned) return V6NoMemory(book);
    CContainer& container = *owned;
    const CellRef anchor{uint16_t(column), row, kRefCell};
    InitContainerDefaults(container, &anchor, &placement);
    container.settings.id = id;
    LinkContainer(sheet, std::move(owned));
    return kind == ObjectKind::kChart ? ReadChartObject(book, in, container)
                                      : ReadTextObject(book, in, container);
}

} // namespace

bool ReadV6Objects(CWorkbook& book, CV6Input& in, CWorksheet& sheet) {
    const uint16_t count = in.U16();
    if (!in.Ok() || count == 0xFFFF || !in.Holds(count, kObjectHeadSize)) return V6Invalid(book);
    ClassNumbers classes;
    // Ids count down from the number of objects to 1.
    for (uint16_t i = 0; i < count; ++i)
        if (!ReadObject(book, in, sheet, classes, uint16_t(count - i))) return false;
    return true;
}

} // namespace vl
