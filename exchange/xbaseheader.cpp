// The header image and field descriptors of xBase tables.
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "model/workbook.h"
#include "platform/core/alloc.h"
#include "platform/core/bytes.h"
#include "values/localtime.h"

#include <cstring>

namespace vl {

namespace {

constexpr int kRecordsOffset = 4;
constexpr int kHeaderLengthOffset = 8;
constexpr int kRecordLengthOffset = 10;

bool Refuse(CWorkbook& workbook) {
    workbook.error = kErrorFileFormat;
    return false;
}

} // namespace

uint32_t RecordCount(const XBaseSaveOptions& options) {
    return LoadU32(options.header + kRecordsOffset);
}

uint16_t HeaderLength(const XBaseSaveOptions& options) {
    return LoadU16(options.header + kHeaderLengthOffset);
}

uint16_t RecordLength(const XBaseSaveOptions& options) {
    return LoadU16(options.header + kRecordLengthOffset);
}

uint32_t FieldCount(const XBaseSaveOptions& options) {
    const uint16_t length = HeaderLength(options);
    return length < kXBaseHeaderSize ? 0 : (length - kXBaseHeaderSize) / kDescriptorSize;
}

const uint8_t* Descriptor(const XBaseSaveOptions& options, uint32_t index) {
    return options.fieldDescriptors + std::size_t(index) * kDescriptorSize;
}

std::string FieldName(const uint8_t* descriptor) {
    const char* name = reinterpret_cast<const char*>(descriptor);
    return std::string(name, strnlen(name, kFieldNameLength));
}

bool SplitsLengths(uint8_t format) {
    return format == kXBaseFoxPro || format == kXBaseClipper;
}

uint32_t FieldLength(const uint8_t* descriptor, uint8_t format) {
    uint32_t length = descriptor[kFieldLengthByte];
    if (descriptor[kFieldTypeByte] == 'C' && SplitsLengths(format))
        length += 256u * descriptor[kFieldDecimalsByte];
    return length;
}

void SetFieldLength(uint8_t* descriptor, uint32_t length, uint8_t format) {
    descriptor[kFieldLengthByte] = uint8_t(length);
    if (descriptor[kFieldTypeByte] == 'C' && SplitsLengths(format))
        descriptor[kFieldDecimalsByte] = uint8_t(length >> 8);
}

bool AllocateDescriptors(XBaseSaveOptions& options, uint32_t count) {
    const std::size_t bytes = std::size_t(count) * kDescriptorSize;
    auto* block = static_cast<uint8_t*>(AllocBlock(bytes ? bytes : 1));
    if (!block) return false;
    std::memset(block, 0, bytes ? bytes : 1);
    ReleaseXBaseSaveOptions(options);
    options.fieldDescriptors = block;
    return true;
}

uint8_t XBaseVersion(uint8_t format, bool memo) {
    if (!memo) return 0x03;
    if (format == kXBaseDBase4) return 0x8B;
    if (format == kXBaseFoxPro) return 0xF5;
    return 0x83;
}

void FillXBaseHeader(XBaseSaveOptions& options, uint32_t fields, uint32_t recordLength,
                     uint32_t records, bool memo) {
    std::memset(options.header, 0, sizeof options.header);
    options.header[0] = XBaseVersion(options.format, memo);
    // The date of the last change: years since 1900, month, day.
    const IsoDateTime today = LocalDateTime();
    options.header[1] = uint8_t(today.year - 1900);
    options.header[2] = uint8_t(today.month);
    options.header[3] = uint8_t(today.day);
    StoreU32(options.header + kRecordsOffset, records);
    StoreU16(options.header + kHeaderLengthOffset,
             uint16_t(fields * kDescriptorSize + kXBaseHeaderSize + 1));
    StoreU16(options.header + kRecordLengthOffset, uint16_t(recordLength));
}

namespace {

// The form whose memo file a table's version byte names, whatever form was chosen: 0x83 a
// dBase III+ memo (which Clipper shares), 0x8B and 0xCB dBase IV, 0xF5 FoxPro. A table
// without a memo keeps the form chosen.
uint8_t MemoFormOfVersion(uint8_t version, uint8_t chosen) {
    switch (version) {
    case 0x83:
        return chosen == kXBaseClipper ? kXBaseClipper : kXBaseDBase3;
    case 0x8B:
    case 0xCB:
        return kXBaseDBase4;
    case 0xF5:
        return kXBaseFoxPro;
    default:
        return chosen;
    }
}

} // namespace

bool ReadDbfHeader(CWorkbook& workbook, XBaseSaveOptions& options) {
    CFileStream& stream = workbook.stream;
    uint8_t header[kXBaseHeaderSize];
    if (stream.ReadAt(header, int32_t(sizeof header), kSeekStart, 0) != int32_t(sizeof header)) {
        if (stream.GetError() != kErrorNone) return workbook.error = stream.GetError(), false;
        return Refuse(workbook);
    }
    options.format = MemoFormOfVersion(header[0], options.format);
    const int64_t fileLength = stream.GetLength();
    const uint16_t headerLength = LoadU16(header + kHeaderLengthOffset);
    const uint16_t recordLength = LoadU16(header + kRecordLengthOffset);
    const uint32_t fields =
        headerLength < kXBaseHeaderSize ? 0 : (headerLength - kXBaseHeaderSize) / kDescriptorSize;
    if (fields == 0 || fields > kMaxXBaseFields || recordLength == 0 ||
        headerLength < fields * kDescriptorSize + kXBaseHeaderSize + 1)
        return Refuse(workbook);
    const std::size_t bytes = std::size_t(fields) * kDescriptorSize;
    auto* block = static_cast<uint8_t*>(AllocBlock(bytes));
    if (!block) return workbook.error = kErrorWorksheetMemory, false;
    if (stream.Read(block, int32_t(bytes)) != int32_t(bytes)) {
        FreeBlock(block);
        if (stream.GetError() != kErrorNone) return workbook.error = stream.GetError(), false;
        return Refuse(workbook);
    }
    uint64_t total = 0, split = 0;
    for (uint32_t i = 0; i < fields; ++i) {
        const uint8_t* d = block + std::size_t(i) * kDescriptorSize;
        if (d[kFieldTypeByte] < 'A' || d[kFieldTypeByte] > 'Z') {
            FreeBlock(block);
            return Refuse(workbook);
        }
        total += FieldLength(d, options.format);
        split += FieldLength(d, kXBaseFoxPro);
    }
    // A record may hold bytes past its fields, but fields that fill it exactly only with the
    // split lengths of a FoxPro or Clipper table are that table read in another format: every
    // field after a long text would be misread.
    const bool misread = total != split && split == uint64_t(recordLength) - 1;
    if (total > uint64_t(recordLength) - 1 || misread) {
        FreeBlock(block);
        return Refuse(workbook);
    }
    ReleaseXBaseSaveOptions(options);
    options.fieldDescriptors = block;
    std::memcpy(options.header, header, sizeof header);
    const uint32_t records =
        fileLength > headerLength ? uint32_t((fileLength - headerLength) / recordLength) : 0;
    StoreU32(options.header + kRecordsOffset, records);
    return true;
}

} // namespace vl
