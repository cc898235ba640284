#pragma once
// Delimited and fixed-width text files, driven by the workbook's text-file settings.

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;

// Reads the file open in the workbook's stream into a new worksheet that becomes the
// workbook's only one. Fields beginning with '=' go through typed input in `ctx`. False
// with the workbook's error code (8, or the stream's) on failure.
bool ImportTextFile(CWorkbook& workbook, CEvalContext& ctx);
// Writes the worksheet's cells, as they are shown, into the workbook's stream. False with
// the workbook's error code.
bool ExportTextFile(CWorkbook& workbook, const CWorksheet& sheet);

// A field's bytes in the program's code page by the settings' encoding (1 UTF-8, 3 OEM,
// else as they are). A UTF-8 byte that starts no sequence, or a sequence the field's end
// cuts, ends the text there; a four-byte sequence becomes '?'.
std::string FieldToAnsi(std::string_view field, uint8_t encoding);
// The same, false when a character has no place in the code page (or a UTF-8 sequence is
// malformed): such a text is refused whole, never stored with '?' in its place.
bool FieldToAnsiExact(std::string_view field, uint8_t encoding, std::string& out);
// A text in the program's code page as the file's bytes by the encoding.
std::string AnsiToFileText(std::string_view text, uint8_t encoding);

} // namespace vl
