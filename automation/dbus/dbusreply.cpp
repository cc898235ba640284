#include "automation/dbus/dbusreply.h"

#include "automation/dbus/dbusvalues.h"

namespace vl {

namespace {

bool PlainToVariant(const QVariant& value, CVariant& out) {
    switch (value.metaType().id()) {
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
        out = CVariant::Integer(VT_I4, value.toInt());
        return true;
    case QMetaType::UInt:
        out = CVariant::Integer(VT_UI4, value.toUInt());
        return true;
    case QMetaType::LongLong:
        out = CVariant::R8(double(value.toLongLong()));
        return true;
    case QMetaType::ULongLong:
        out = CVariant::R8(double(value.toULongLong()));
        return true;
    case QMetaType::Double:
        out = CVariant::R8(value.toDouble());
        return true;
    case QMetaType::Bool:
        out = CVariant::Bool(value.toBool());
        return true;
    case QMetaType::QString:
        out = CVariant::Bstr(value.toString().toStdString());
        return true;
    default:
        return false;
    }
}

} // namespace

bool ReplyValueToVariant(const QVariant& value, CVariant& out) {
    out = CVariant::Empty();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>()) return PlainToVariant(value, out);
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(qv)")) return false;
    DBusVar wire;
    argument >> wire;
    return VariantFromDBus(wire, out);
}

} // namespace vl
