#pragma once
// What the xBase dialog shows of a table and how it takes one field's new definition: the
// summary line, the rows of the field list, and the edit of a descriptor. The bytes come
// from the file, so every text is built from them as they are.

#include "model/exchangesettings.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

// "dBase III+", "dBase IV", "FoxPro 2.x", "Clipper" for formats 3 to 6; empty otherwise.
const char* XBaseFormatName(uint8_t format);
// The file-name part of a path, in lower case when it has letters and all are capitals.
std::string PrettyFileName(std::string_view path);
// "name,  n record(s),  last saved: m/d/yyyy" from the header image (stored year + 1900).
std::string XBaseSummaryText(const uint8_t header[32], std::string_view displayName);

// The three columns of a field's row: "n.  name", the type's name, the length.
struct XBaseFieldRow {
    std::string name;
    const char* type;
    std::string length;
};
XBaseFieldRow XBaseRowTexts(uint32_t position, const uint8_t* descriptor, uint8_t format);
const char* XBaseTypeName(uint8_t type);

// One field as the field dialog edits it.
struct XBaseFieldEdit {
    std::string name;
    char type = 'C';
    uint32_t length = 1;
    uint32_t decimals = 0;
};
XBaseFieldEdit FieldEditOf(const uint8_t* descriptor, uint8_t format);
// Writes the edit into descriptor `index` of `count`, sets the header's record length and
// version byte. False when the record would pass 65,535 bytes: nothing is changed.
bool ApplyFieldEdit(uint8_t header[32], uint8_t* descriptors, uint32_t count, uint32_t index,
                    const XBaseFieldEdit& edit, uint8_t format);

} // namespace vl
