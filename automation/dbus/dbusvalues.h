#pragma once
// How automation values travel on the bus: a variant as a struct (q vt, v value), a safe
// array as (i lowerBound, array) per dimension, a decimal as (y scale, b negative, u high,
// t low). The value of each type:
//   VT_EMPTY, VT_NULL: i 0 (ignored)   VT_I1, VT_I2: n   VT_I4, VT_INT, VT_ERROR: i
//   VT_UI1: y   VT_UI2: q   VT_UI4, VT_UINT: u   VT_I8: x   VT_UI8: t   VT_CY: x (x 10,000)
//   VT_R4, VT_R8, VT_DATE: d   VT_BSTR: s   VT_BOOL: b   VT_DECIMAL: (ybut)
//   VT_BYREF|VT_VARIANT: (qv)   VT_ARRAY|VT_VARIANT: (ia(qv)) or (ia(ia(qv)))

#include "platform/com/variant.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QList>
#include <memory>

namespace vl {

struct DBusVar {
    quint16 vt = 0;
    QDBusVariant value;
};
struct DBusArray1 {
    qint32 lowerBound = 0;
    QList<DBusVar> items;
};
struct DBusArray2 {
    qint32 lowerBound = 0;
    QList<DBusArray1> rows;
};
// One member of the type library's enumerations: enumeration, member, value.
struct DBusConstant {
    QString enumeration;
    QString member;
    qint32 value = 0;
};
struct DBusDecimal {
    quint8 scale = 0;
    bool negative = false;
    quint32 hi = 0;
    quint64 lo = 0;
};

QDBusArgument& operator<<(QDBusArgument& a, const DBusVar& v);
const QDBusArgument& operator>>(const QDBusArgument& a, DBusVar& v);
QDBusArgument& operator<<(QDBusArgument& a, const DBusArray1& v);
const QDBusArgument& operator>>(const QDBusArgument& a, DBusArray1& v);
QDBusArgument& operator<<(QDBusArgument& a, const DBusArray2& v);
const QDBusArgument& operator>>(const QDBusArgument& a, DBusArray2& v);
QDBusArgument& operator<<(QDBusArgument& a, const DBusDecimal& v);
const QDBusArgument& operator>>(const QDBusArgument& a, DBusDecimal& v);
QDBusArgument& operator<<(QDBusArgument& a, const DBusConstant& v);
const QDBusArgument& operator>>(const QDBusArgument& a, DBusConstant& v);

// Registers the structures with the bus type system; call once before any traffic.
void RegisterAutomationDBusTypes();

// False for a value that cannot travel (an interface pointer, an array of more than two
// dimensions or of another element type).
bool VariantToDBus(const CVariant& in, DBusVar& out);
// False when the value does not have the form its type asks for.
bool VariantFromDBus(const DBusVar& in, CVariant& out);
// A table of two dimensions (one row for one dimension).
bool SafeArrayToDBus(const CSafeArray& in, DBusArray2& out);
// Null when the rows differ in length or bounds, or the elements cannot be had (`hr` says
// which: E_INVALIDARG or E_OUTOFMEMORY).
std::shared_ptr<CSafeArray> SafeArrayFromDBus(const DBusArray2& in, HRESULT& hr);
// A one-dimensional safe array and its bus form (ia(qv)).
bool SafeArray1ToDBus(const CSafeArray& in, DBusArray1& out);
std::shared_ptr<CSafeArray> SafeArray1FromDBus(const DBusArray1& in, HRESULT& hr);

} // namespace vl

Q_DECLARE_METATYPE(vl::DBusVar)
Q_DECLARE_METATYPE(vl::DBusArray1)
Q_DECLARE_METATYPE(vl::DBusArray2)
Q_DECLARE_METATYPE(vl::DBusDecimal)
Q_DECLARE_METATYPE(vl::DBusConstant)
