#pragma once
// The body of the binary workbook form: a flat dump of the document fields, drop-down lists,
// font and style tables, inspected cells and the worksheet tree, each worksheet with its
// containers and charts, column table, row heights, run and cell pages and its page-setup
// and view records. Most records are the model's records in their stored form, and cell
// pages keep their packing, so reading rebuilds a workbook without parsing cells.

#include "platform/core/crypto.h"
#include "platform/core/errorcode.h"
#include "platform/core/filestream.h"

#include <cstdint>

namespace vl {

class CBodySink;
class CWorkbook;

enum BodyMode : uint8_t {
    kBodyFull = 0,
    kBodyPlainCopy = 1, // the values-only copy ahead of an encrypted body
};

// Writes the body through the stream with or without a key. False with the workbook's
// error set: the stream's status, 8 when memory ran out, or kStreamWrite
// for a workbook that holds something the form cannot carry (an object of a container that
// is not a chart, a chart of more than 16 series); nothing is written then.
bool WriteBinaryWorkbookBody(CWorkbook& workbook, CFileStream& stream, CryptoContext* ctx,
                             uint8_t mode);
// The same bytes into any sink; false with `error` as above (a sink reports no failure).
bool SerializeWorkbookBody(CWorkbook& workbook, CBodySink& sink, uint8_t mode, ErrorCode& error);

// Reads a body of format version 1 to 3 and adds what it holds to the workbook. Counts,
// lengths, indexes, positions and page packing are checked before anything is kept: a
// body that breaks them, or ends before its last item, is error 21; running out of memory
// is 8; a stream failure leaves its status. What was read before a failure stays.
bool ReadBinaryWorkbookBody(CWorkbook& workbook, CFileStream& stream, uint8_t version,
                            CryptoContext* ctx);

} // namespace vl
