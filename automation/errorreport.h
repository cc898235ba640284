#pragma once
// Turning a document's error code into the HRESULT an automation client sees, with the
// error information that carries its message.

#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <string>

namespace vl {

// The message of a code as the client reads it (UTF-8): the code's text, and for the XML
// codes 55 to 59 with a line number "\nLine: N" after it.
std::string AutomationErrorMessage(ErrorCode code, uint32_t line);
// Sets the error information (the interface, the source "Vorlane 7.3", the message) and
// returns 0x80040000 plus the code.
HRESULT ReportAutomationError(ErrorCode code, const Guid& iid, uint32_t line = 0);

} // namespace vl
