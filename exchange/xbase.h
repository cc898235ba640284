#pragma once
// xBase tables (".dbf" of dBase III+, dBase IV, FoxPro 2.x and Clipper) and their field
// lists, kept in the workbook's XBaseSaveOptions: a 32-byte header image and 32-byte field
// descriptors as they stand in the file.

#include "model/exchangesettings.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vl {

class CWorkbook;
class CWorksheet;

constexpr uint32_t kXBaseHeaderSize = 32;
constexpr uint32_t kDescriptorSize = 32;
constexpr uint32_t kMaxXBaseFields = 2047;
constexpr uint32_t kLargestRecord = 65534;
constexpr int kFieldNameLength = 10;
constexpr int kFieldTypeByte = 11;
constexpr int kFieldLengthByte = 16;
constexpr int kFieldDecimalsByte = 17;

// Header fields of the image.
uint32_t RecordCount(const XBaseSaveOptions& options);
uint16_t HeaderLength(const XBaseSaveOptions& options);
uint16_t RecordLength(const XBaseSaveOptions& options);
// The fields the header length gives room for: (header length - 32) / 32.
uint32_t FieldCount(const XBaseSaveOptions& options);
const uint8_t* Descriptor(const XBaseSaveOptions& options, uint32_t index);

// A descriptor's name, at most 10 characters up to its first zero byte.
std::string FieldName(const uint8_t* descriptor);
// The bytes a field takes in a record: the length byte, for Character fields of FoxPro and
// Clipper tables plus 256 times the decimal count.
uint32_t FieldLength(const uint8_t* descriptor, uint8_t format);
// Stores a length, split into the length and decimal bytes for a Character field of a
// FoxPro or Clipper table.
void SetFieldLength(uint8_t* descriptor, uint32_t length, uint8_t format);
bool SplitsLengths(uint8_t format);

// Replaces the record's descriptors with `count` zeroed ones; false (the old ones kept) when
// the memory cannot be had.
bool AllocateDescriptors(XBaseSaveOptions& options, uint32_t count);
// The version byte of a table in `format`, with or without a memo file.
uint8_t XBaseVersion(uint8_t format, bool memo);
// Fills the header image: version, today's date, header and record lengths, the records.
void FillXBaseHeader(XBaseSaveOptions& options, uint32_t fields, uint32_t recordLength,
                     uint32_t records, bool memo);

// Reads the header and descriptors of the table open in the workbook's stream into
// `options`. Every count and length is checked against the file; error 21 for one that does
// not fit, 8 without memory.
bool ReadDbfHeader(CWorkbook& workbook, XBaseSaveOptions& options);
// Reads the table into a new worksheet, with the workbook's xBase encoding and format.
bool ImportXBase(CWorkbook& workbook);
// Derives a field list and header for the worksheet in `format`; error 61 when the record
// or header would be too long.
bool BuildXBaseFieldList(CWorkbook& workbook, const CWorksheet& sheet, XBaseSaveOptions& options,
                         uint8_t format);
// The numbers of the worksheet that the field list it gives in `format` would hold only
// rounded (fewer than their 15 significant digits): a wide whole part beside them in the
// column leaves their fractions too little room.
uint32_t NumbersTheFieldsRound(const CWorkbook& workbook, const CWorksheet& sheet, uint8_t format);
// The texts of the worksheet's records that a table in the OEM code page would write with '?'
// for characters the code page lacks: those of Character and memo fields, or of every
// column while the workbook has no field list yet (a save makes one of texts as such).
uint32_t TextsTheOemCodePageLacks(const CWorkbook& workbook, const CWorksheet& sheet);
// The texts of the worksheet's records in number fields of the workbook's field list that
// read as no number (one past the double range among them): the table would hold 0.
uint32_t TextsTheNumberFieldsLose(const CWorkbook& workbook, const CWorksheet& sheet);
// Writes the worksheet as a table into the workbook's stream, and its memo texts into a new
// memo file that then waits under PairPath(memoPath) (files/savetarget.h) for the table to
// put it in place; `memoPath` is the memo file of `tablePath` with its links followed.
bool ExportXBase(CWorkbook& workbook, const CWorksheet& sheet, const std::string& tablePath,
                 const std::string& memoPath);
// Saves the worksheet as a table at `path` in the workbook's xBase format, with its memo
// file: both are written aside and put in place together, or the old pair stays whole.
// `fieldList` makes the field list first (or keeps the one given). A table that would have
// its own memo's name is refused (35). Like SaveAside of exchange/foreignfile.h otherwise.
bool SaveXBaseFile(CWorkbook& workbook, const CWorksheet& sheet, const std::string& path,
                   const std::function<bool(CWorkbook&)>& fieldList);
// Finishes a save of the table at `tablePath` with its memo that was cut short, before the
// table is read or written again.
void FinishXBaseSave(const std::string& tablePath);

} // namespace vl
