#pragma once
// Containers and their charts in the binary body: the container's settings record, then per
// object its chart settings record, its view matrix record (format version 3) and one
// record per used series.

#include "files/bodyio.h"

#include <cstdint>

namespace vl {

class CContainer;
class CWorksheet;

// True when every object of the container is a chart of at most 16 series.
bool ContainerIsWritable(const CContainer& container);
void WriteContainer(CBodyOut& out, const CContainer& container);

enum class ReadResult { kOk, kInvalid, kShort, kNoMemory };

// Reads one container, links it at the end of the sheet's list and returns how it went;
// `runningId` numbers the containers of format versions 1 and 2.
ReadResult ReadContainer(CBodyIn& in, CWorksheet& sheet, uint8_t version, uint16_t& runningId);

} // namespace vl
