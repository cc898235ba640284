#pragma once
// The bus table's rows for formatting, page settings and the Application object.

#include "automation/dbus/dbusmethods.h"

#include <vector>

namespace vl {

inline constexpr uint32_t kPageRecordBytes = 1152;

void AppendFormatMethods(std::vector<DBusMethod>& methods);
void AppendFormatProperties(std::vector<DBusProperty>& properties);

} // namespace vl
