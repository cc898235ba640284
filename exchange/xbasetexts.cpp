#include "exchange/xbasetexts.h"

#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "platform/core/bytes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vl {

namespace {

constexpr int kRecordLengthOffset = 10;
constexpr uint32_t kMaxRecord = 65535;
constexpr uint32_t kMaxNumericLength = 20;
constexpr uint32_t kMaxCharacterLength = 254;
constexpr uint32_t kMaxDecimals = 18;

std::string Number(uint32_t n) {
    return std::to_string(n);
}

bool AllCapitals(std::string_view name) {
    bool letter = false;
    for (const char c : name) {
        if (c >= 'a' && c <= 'z') return false;
        if (c >= 'A' && c <= 'Z') letter = true;
    }
    return letter;
}

} // namespace

const char* XBaseFormatName(uint8_t format) {
    switch (format) {
    case kXBaseDBase3:
        return "dBase III+";
    case kXBaseDBase4:
        return "dBase IV";
    case kXBaseFoxPro:
        return "FoxPro 2.x";
    case kXBaseClipper:
        return "Clipper";
    default:
        return "";
    }
}

std::string PrettyFileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (AllCapitals(name))
        for (char& c : name)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return name;
}

std::string XBaseSummaryText(const uint8_t header[32], std::string_view displayName) {
    std::string text(displayName);
    text += ",  " + Number(LoadU32(header + 4)) + " record(s),  last saved: ";
    text += Number(header[2]) + "/" + Number(header[3]) + "/" + Number(header[1] + 1900u);
    return text;
}

const char* XBaseTypeName(uint8_t type) {
    switch (type) {
    case 'C':
        return "Text";
    case 'N':
        return "Numeric";
    case 'F':
        return "Float";
    case 'D':
        return "Date";
    case 'L':
        return "Logical";
    case 'M':
        return "Memo";
    case 'B':
        return "Binary";
    case 'G':
        return "Ole objects";
    case 'P':
        return "Memo/Picture";
    case 'I':
        return "Integer";
    case 'Y':
        return "Currency";
    case 'T':
        return "DateTime";
    default:
        return "Unknown";
    }
}

XBaseFieldRow XBaseRowTexts(uint32_t position, const uint8_t* d, uint8_t format) {
    XBaseFieldRow row;
    row.name = Number(position) + ".  " + FieldName(d);
    const uint8_t type = d[kFieldTypeByte];
    row.type = XBaseTypeName(type);
    switch (type) {
    case 'C':
        row.length = Number(FieldLength(d, format));
        break;
    case 'N':
        row.length = Number(d[kFieldLengthByte]) + " (" + Number(d[kFieldDecimalsByte]) + ")";
        break;
    case 'D':
        row.length = "8";
        break;
    case 'L':
        row.length = "1";
        break;
    case 'M':
        row.length = "10";
        break;
    default:
        row.length = Number(d[kFieldLengthByte]);
        break;
    }
    return row;
}

XBaseFieldEdit FieldEditOf(const uint8_t* d, uint8_t format) {
    XBaseFieldEdit edit;
    edit.name = FieldName(d);
    edit.type = char(d[kFieldTypeByte]);
    edit.length = FieldLength(d, format);
    edit.decimals = d[kFieldDecimalsByte];
    return edit;
}

bool ApplyFieldEdit(uint8_t header[32], uint8_t* descriptors, uint32_t count, uint32_t index,
                    const XBaseFieldEdit& edit, uint8_t format) {
    if (index >= count) return false;
    // Built aside: a record that would grow too long leaves the table as it was.
    uint8_t d[kDescriptorSize];
    std::memcpy(d, descriptors + std::size_t(index) * kDescriptorSize, kDescriptorSize);
    std::memset(d, 0, kFieldNameLength + 1);
    std::memcpy(d, edit.name.data(), std::min<std::size_t>(edit.name.size(), kFieldNameLength));
    d[kFieldTypeByte] = uint8_t(edit.type);
    d[kFieldDecimalsByte] = uint8_t(std::min(edit.decimals, kMaxDecimals));
    uint32_t length = edit.length;
    if (edit.type == 'N' || edit.type == 'F') length = std::min(length, kMaxNumericLength);
    if (edit.type == 'C' && !SplitsLengths(format)) length = std::min(length, kMaxCharacterLength);
    if (edit.type == 'C' && SplitsLengths(format))
        SetFieldLength(d, std::min<uint32_t>(length, 0xFFFF), format);
    else
        d[kFieldLengthByte] = uint8_t(length);
    uint64_t record = 1;
    bool memo = false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* f = i == index ? d : descriptors + std::size_t(i) * kDescriptorSize;
        record += FieldLength(f, format);
        memo = memo || f[kFieldTypeByte] == 'M';
    }
    if (record > kMaxRecord) return false;
    std::memcpy(descriptors + std::size_t(index) * kDescriptorSize, d, kDescriptorSize);
    StoreU16(header + kRecordLengthOffset, uint16_t(record));
    header[0] = XBaseVersion(format, memo);
    return true;
}

} // namespace vl
