#pragma once
// Creating the server's objects by class, as the class objects of the server do.

#include "automation/interfaces.h"
#include "automation/typelib.h"

#include <memory>

namespace vl {

// A new object of the class; REGDB_E_CLASSNOTREG for a class this build does not serve yet,
// E_OUTOFMEMORY when it cannot be had.
HRESULT CreateAutomationObject(const CoClassInfo& cls, std::shared_ptr<IAutomationObject>& out);
// The interfaces that objects of a class answer for, by the type library's names
// ("IWorksheet"); empty for a class not served.
std::span<const std::string_view> InterfacesOfClass(std::string_view className);

} // namespace vl
