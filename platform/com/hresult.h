#pragma once
// The result codes of automation calls: the success codes, the plain failure codes that
// argument checks return, and the document failures, 0x80040000 plus an ErrorCode.

#include "platform/core/errorcode.h"

#include <cstdint>

namespace vl {

using HRESULT = int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002);
constexpr HRESULT E_FAIL = HRESULT(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000E);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT DISP_E_BADINDEX = HRESULT(0x8002000B);
constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154);
// Severity error, facility FACILITY_ITF: the base of the document failures.
constexpr HRESULT kItfErrorBase = HRESULT(0x80040000);

constexpr bool Succeeded(HRESULT hr) {
    return hr >= 0;
}
constexpr bool Failed(HRESULT hr) {
    return hr < 0;
}
constexpr HRESULT HResultFromErrorCode(ErrorCode code) {
    return HRESULT(uint32_t(kItfErrorBase) | code);
}

} // namespace vl
