#pragma once
// Delimited and fixed-width text files, driven by the workbook's text-file settings.

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

class CEvalContext;
class CWorkbook;
class CWorksheet;
struct StandardFormat;
struct TextFileSettings;

// Reads the file open in the workbook's stream into a new worksheet that becomes the
// workbook's only one. Fields beginning with '=' go through typed input in `ctx`. False
// with the workbook's error code (8, or the stream's) on failure. `cutFields` receives how
// many fields the worksheet could not hold: past its last row or column (left out) or
// longer than a cell's text (cut).
bool ImportTextFile(CWorkbook& workbook, CEvalContext& ctx, uint32_t* cutFields = nullptr);
// Writes the worksheet's cells, as they are shown, into the workbook's stream. False with
// the workbook's error code.
bool ExportTextFile(CWorkbook& workbook, const CWorksheet& sheet);

// Whether a file of these settings reads back: a delimited file's separator differs from
// its quoting symbol, else no quoted field could be told from the fields around it, and both
// are characters of its encoding (the OEM code page lacks some).
bool TextSeparatorUsable(const TextFileSettings& settings);
// A separator or quoting symbol (a character of the program's code page) as the file's bytes
// by its encoding: one byte, or up to three in UTF-8.
std::string TextFileSymbol(uint8_t symbol, uint8_t encoding);

// What the export of the sheet writes otherwise than the grid shows it: numbers longer than
// their fixed field's width, cut into other numbers, and texts with characters the OEM code
// page lacks, written with '?' in their place.
struct TextFormLoss {
    uint32_t cutNumbers = 0;
    uint32_t unmapped = 0;
};
TextFormLoss CountTextFormLoss(const CWorkbook& workbook, const CWorksheet& sheet);
// The text a text file writes for the cell under its format: as the grid shows it, but a
// number whose shown text the peers would read as a text (an exponent before a percent sign,
// more than 308 characters) as General shows it. False when the text cannot be had.
bool TextFileCellText(const uint8_t* cell, const StandardFormat& format, std::string& text);
// Whether the text holds a character the OEM code page lacks, which it would write as '?'.
bool LacksOemCharacter(std::string_view text);

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
