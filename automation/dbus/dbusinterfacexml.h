#pragma once
// The introspection data of the server's paths, written from the method table.

#include <QString>

namespace vl {

// The interfaces and child nodes of a path: "/" has the factory and the classes' folders,
// "/Workbook/7" the interfaces of its class.
QString IntrospectPath(const QString& path);

} // namespace vl
