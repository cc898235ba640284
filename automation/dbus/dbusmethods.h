#pragma once
// The one table of what the server offers on the bus: every interface with its methods
// (argument names and signatures, whether the success code comes first), the properties,
// and the handler that calls the automation object. Dispatch and introspection read it.

#include "automation/dbus/dbuscall.h"

#include <QString>
#include <span>
#include <string_view>
#include <vector>

namespace vl {

inline constexpr char kServiceName[] = "org.vorlane.Vorlan";
inline constexpr char kErrorPrefix[] = "org.vorlane.Vorlan.Error.E";
inline constexpr char kRootInterface[] = "org.vorlane.Vorlan";
inline constexpr char kUnknownInterface[] = "org.vorlane.IUnknown";
inline constexpr char kErrorInfoInterface[] = "org.vorlane.ISupportErrorInfo";
inline constexpr char kWorksheetInterface[] = "org.vorlane.IWorksheet";
inline constexpr char kTreeInterface[] = "org.vorlane.ITree";
inline constexpr char kTextFileInfoInterface[] = "org.vorlane.ITextFileInfo";
inline constexpr char kXBaseInfoInterface[] = "org.vorlane.IXBaseInfo";

struct DBusArgSpec {
    std::string_view name;
    std::string_view signature;
};

using DBusHandler = HRESULT (*)(CDBusCall& call);

struct DBusMethod {
    std::string_view interface;
    std::string_view name;
    std::vector<DBusArgSpec> in;
    std::vector<DBusArgSpec> out; // after the success code when `status` is set
    bool status;                  // S_OK and S_FALSE are told apart by a first output "i"
    DBusHandler handler;
};

struct DBusProperty {
    std::string_view interface;
    std::string_view name;
    std::string_view signature;
    DBusHandler get; // writes the value as its one output
    DBusHandler set; // reads the value as its one argument
};

std::span<const DBusMethod> AutomationMethods();
std::span<const DBusProperty> AutomationProperties();
const DBusMethod* FindMethod(std::string_view interface, std::string_view name);
const DBusProperty* FindProperty(std::string_view interface, std::string_view name);

// The interfaces an object offers (the root's when `object` is null).
std::vector<std::string_view> InterfacesOf(IAutomationObject* object);
// The signature of a method's arguments.
QString InSignature(const DBusMethod& method);

} // namespace vl
