#include "automation/dbus/dbuscall.h"

#include "automation/dbus/dbusserver.h"
#include "automation/dbus/dbusvalues.h"

#include <QDBusObjectPath>

namespace vl {

namespace {

template <class T> bool Take(const QVariant& v, T& out) {
    if (v.metaType() == QMetaType::fromType<T>()) {
        out = v.value<T>();
        return true;
    }
    if (v.metaType() != QMetaType::fromType<QDBusArgument>()) return false;
    v.value<QDBusArgument>() >> out;
    return true;
}

} // namespace

CBstr CDBusCall::Bstr(int i) const {
    return CBstr(in_.value(i).toString().toStdString());
}

bool CDBusCall::Variant(int i, CVariant& out) const {
    DBusVar v;
    return Take(in_.value(i), v) && VariantFromDBus(v, out);
}

std::shared_ptr<CSafeArray> CDBusCall::Table(int i, HRESULT& hr) const {
    DBusArray2 table;
    hr = E_INVALIDARG;
    if (!Take(in_.value(i), table)) return nullptr;
    return SafeArrayFromDBus(table, hr);
}

std::shared_ptr<CSafeArray> CDBusCall::List(int i, HRESULT& hr) const {
    DBusArray1 list;
    hr = E_INVALIDARG;
    if (!Take(in_.value(i), list)) return nullptr;
    return SafeArray1FromDBus(list, hr);
}

bool CDBusCall::Object(int i, IAutomationObject*& out) const {
    out = nullptr;
    const QString target = in_.value(i).value<QDBusObjectPath>().path();
    if (target == QLatin1String("/")) return true;
    out = server.Resolve(target);
    return out != nullptr;
}

void CDBusCall::OutBstr(const CBstr& text) {
    const std::string_view utf8 = text.Utf8();
    Out(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

bool CDBusCall::OutVariant(const CVariant& value) {
    DBusVar v;
    if (!VariantToDBus(value, v)) return false;
    Out(QVariant::fromValue(v));
    return true;
}

bool CDBusCall::OutTable(const CSafeArray& table) {
    DBusArray2 t;
    if (!SafeArrayToDBus(table, t)) return false;
    Out(QVariant::fromValue(t));
    return true;
}

bool CDBusCall::OutList(const CSafeArray& list) {
    DBusArray1 l;
    if (!SafeArray1ToDBus(list, l)) return false;
    Out(QVariant::fromValue(l));
    return true;
}

} // namespace vl
