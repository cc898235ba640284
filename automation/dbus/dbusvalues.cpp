#include "automation/dbus/dbusvalues.h"

#include <QDBusMetaType>

namespace vl {

namespace {

constexpr char kArray1Signature[] = "(ia(qv))";
constexpr char kArray2Signature[] = "(ia(ia(qv)))";
constexpr char kVarSignature[] = "(qv)";
constexpr char kDecimalSignature[] = "(ybut)";

// A value that is exactly of type T.
template <class T> bool Basic(const QVariant& v, T& out) {
    if (v.metaType() != QMetaType::fromType<T>()) return false;
    out = v.value<T>();
    return true;
}

// A structure, as the bus delivers it (still marshalled) or as the program built it.
template <class T> bool Structure(const QVariant& v, const char* signature, T& out) {
    if (v.metaType() == QMetaType::fromType<T>()) {
        out = v.value<T>();
        return true;
    }
    if (v.metaType() != QMetaType::fromType<QDBusArgument>()) return false;
    const QDBusArgument arg = v.value<QDBusArgument>();
    if (arg.currentSignature() != QLatin1String(signature)) return false;
    arg >> out;
    return true;
}

bool Array1ToDBus(const CSafeArray& in, DBusArray1& out) {
    out.lowerBound = in.Bound(0).lowerBound;
    CVariant element;
    for (uint32_t i = 0; i < in.Bound(0).count; ++i) {
        const int32_t index = int32_t(in.Bound(0).lowerBound + int64_t(i));
        in.GetElement(std::span(&index, 1), element);
        DBusVar item;
        if (!VariantToDBus(element, item)) return false;
        out.items.append(item);
    }
    return true;
}

bool ArrayValueToDBus(const CVariant& in, QVariant& out) {
    if (in.vt != (VT_ARRAY | VT_VARIANT) || !in.array) return false;
    if (in.array->Dimensions() == 1) {
        DBusArray1 a;
        if (!Array1ToDBus(*in.array, a)) return false;
        out = QVariant::fromValue(a);
        return true;
    }
    DBusArray2 a;
    if (in.array->Dimensions() != 2 || !SafeArrayToDBus(*in.array, a)) return false;
    out = QVariant::fromValue(a);
    return true;
}

bool ArrayValueFromDBus(const QVariant& value, CVariant& out) {
    DBusArray2 table;
    DBusArray1 list;
    HRESULT hr = S_OK;
    if (Structure(value, kArray2Signature, table)) {
        out = CVariant::Array(SafeArrayFromDBus(table, hr));
    } else if (Structure(value, kArray1Signature, list)) {
        out = CVariant::Array(SafeArray1FromDBus(list, hr));
    } else {
        return false;
    }
    return out.array != nullptr;
}

template <class T> bool IntegerFrom(const QVariant& v, uint16_t vt, CVariant& out) {
    T n{};
    if (!Basic(v, n)) return false;
    out = CVariant::Integer(vt, int64_t(n));
    return true;
}

} // namespace

QDBusArgument& operator<<(QDBusArgument& a, const DBusVar& v) {
    a.beginStructure();
    a << v.vt << v.value;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusVar& v) {
    a.beginStructure();
    a >> v.vt >> v.value;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusArray1& v) {
    a.beginStructure();
    a << v.lowerBound << v.items;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusArray1& v) {
    a.beginStructure();
    a >> v.lowerBound >> v.items;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusArray2& v) {
    a.beginStructure();
    a << v.lowerBound << v.rows;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusArray2& v) {
    a.beginStructure();
    a >> v.lowerBound >> v.rows;
    a.endStructure();
    return a;
}
QDBusArgument& operator<<(QDBusArgument& a, const DBusDecimal& v) {
    a.beginStructure();
    a << v.scale << v.negative << v.hi << v.lo;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusDecimal& v) {
    a.beginStructure();
    a >> v.scale >> v.negative >> v.hi >> v.lo;
    a.endStructure();
    return a;
}

QDBusArgument& operator<<(QDBusArgument& a, const DBusConstant& v) {
    a.beginStructure();
    a << v.enumeration << v.member << v.value;
    a.endStructure();
    return a;
}
const QDBusArgument& operator>>(const QDBusArgument& a, DBusConstant& v) {
    a.beginStructure();
    a >> v.enumeration >> v.member >> v.value;
    a.endStructure();
    return a;
}

void RegisterAutomationDBusTypes() {
    qDBusRegisterMetaType<DBusConstant>();
    qDBusRegisterMetaType<QList<DBusConstant>>();
    qDBusRegisterMetaType<DBusVar>();
    qDBusRegisterMetaType<QList<DBusVar>>();
    qDBusRegisterMetaType<DBusArray1>();
    qDBusRegisterMetaType<QList<DBusArray1>>();
    qDBusRegisterMetaType<DBusArray2>();
    qDBusRegisterMetaType<DBusDecimal>();
}

bool VariantToDBus(const CVariant& in, DBusVar& out) {
    out.vt = in.vt;
    QVariant v;
    switch (in.vt) {
    case VT_EMPTY:
    case VT_NULL:
        v = QVariant(qint32(0));
        break;
    case VT_I1:
    case VT_I2:
        v = QVariant::fromValue(qint16(in.integer));
        break;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
        v = QVariant::fromValue(qint32(in.integer));
        break;
    case VT_UI1:
        v = QVariant::fromValue(uchar(in.integer));
        break;
    case VT_UI2:
        v = QVariant::fromValue(quint16(in.integer));
        break;
    case VT_UI4:
    case VT_UINT:
        v = QVariant::fromValue(quint32(in.integer));
        break;
    case VT_I8:
    case VT_CY:
        v = QVariant::fromValue(qlonglong(in.integer));
        break;
    case VT_UI8:
        v = QVariant::fromValue(qulonglong(in.integer));
        break;
    case VT_R4:
    case VT_R8:
    case VT_DATE:
        v = QVariant(in.real);
        break;
    case VT_BSTR:
        v = QVariant(QString::fromUtf8(in.text.data(), qsizetype(in.text.size())));
        break;
    case VT_BOOL:
        v = QVariant(in.integer != 0);
        break;
    case VT_DECIMAL:
        v = QVariant::fromValue(
            DBusDecimal{in.decimal.scale, in.decimal.negative, in.decimal.hi, in.decimal.lo});
        break;
    case VT_BYREF | VT_VARIANT: {
        DBusVar inner;
        if (!in.ref || !VariantToDBus(*in.ref, inner)) return false;
        v = QVariant::fromValue(inner);
        break;
    }
    default:
        if (!ArrayValueToDBus(in, v)) return false;
    }
    out.value = QDBusVariant(v);
    return true;
}

bool VariantFromDBus(const DBusVar& in, CVariant& out) {
    const QVariant v = in.value.variant();
    out = CVariant::Empty();
    switch (in.vt) {
    case VT_EMPTY:
    case VT_NULL:
        out.vt = in.vt;
        return true;
    case VT_I1:
    case VT_I2:
        return IntegerFrom<qint16>(v, in.vt, out);
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
        return IntegerFrom<qint32>(v, in.vt, out);
    case VT_UI1:
        return IntegerFrom<uchar>(v, in.vt, out);
    case VT_UI2:
        return IntegerFrom<quint16>(v, in.vt, out);
    case VT_UI4:
    case VT_UINT:
        return IntegerFrom<quint32>(v, in.vt, out);
    case VT_I8:
    case VT_CY:
        return IntegerFrom<qlonglong>(v, in.vt, out);
    case VT_UI8:
        return IntegerFrom<qulonglong>(v, in.vt, out);
    case VT_R4:
    case VT_R8:
    case VT_DATE:
        out.vt = in.vt;
        return Basic(v, out.real);
    case VT_BSTR: {
        QString text;
        if (!Basic(v, text)) return false;
        out = CVariant::Bstr(text.toStdString());
        return true;
    }
    case VT_BOOL: {
        bool b = false;
        if (!Basic(v, b)) return false;
        out = CVariant::Bool(b);
        return true;
    }
    case VT_DECIMAL: {
        DBusDecimal d;
        if (!Structure(v, kDecimalSignature, d) || d.scale > 28) return false;
        out = CVariant::Dec({d.scale, d.negative, d.hi, d.lo});
        return true;
    }
    case VT_BYREF | VT_VARIANT: {
        DBusVar inner;
        CVariant target;
        if (!Structure(v, kVarSignature, inner) || !VariantFromDBus(inner, target)) return false;
        out = CVariant::RefTo(std::move(target));
        return true;
    }
    case VT_ARRAY | VT_VARIANT:
        return ArrayValueFromDBus(v, out);
    default:
        return false;
    }
}

bool SafeArrayToDBus(const CSafeArray& in, DBusArray2& out) {
    out = DBusArray2{};
    if (in.Dimensions() == 1) {
        DBusArray1 row;
        if (!Array1ToDBus(in, row)) return false;
        out.rows.append(row);
        return true;
    }
    if (in.Dimensions() != 2) return false;
    out.lowerBound = in.Bound(0).lowerBound;
    CVariant element;
    for (uint32_t i = 0; i < in.Bound(0).count; ++i) {
        DBusArray1 row;
        row.lowerBound = in.Bound(1).lowerBound;
        for (uint32_t j = 0; j < in.Bound(1).count; ++j) {
            const int32_t index[2] = {int32_t(in.Bound(0).lowerBound + int64_t(i)),
                                      int32_t(in.Bound(1).lowerBound + int64_t(j))};
            in.GetElement(index, element);
            DBusVar item;
            if (!VariantToDBus(element, item)) return false;
            row.items.append(item);
        }
        out.rows.append(row);
    }
    return true;
}

std::shared_ptr<CSafeArray> SafeArrayFromDBus(const DBusArray2& in, HRESULT& hr) {
    hr = E_INVALIDARG;
    const DBusArray1 first = in.rows.isEmpty() ? DBusArray1{} : in.rows.front();
    for (const DBusArray1& row : in.rows)
        if (row.lowerBound != first.lowerBound || row.items.size() != first.items.size())
            return nullptr;
    auto array = CSafeArray::Create({{in.lowerBound, uint32_t(in.rows.size())},
                                     {first.lowerBound, uint32_t(first.items.size())}});
    if (!array) {
        hr = E_OUTOFMEMORY;
        return nullptr;
    }
    CVariant element;
    for (qsizetype i = 0; i < in.rows.size(); ++i) {
        for (qsizetype j = 0; j < first.items.size(); ++j) {
            if (!VariantFromDBus(in.rows[i].items[j], element)) return nullptr;
            const int32_t index[2] = {int32_t(in.lowerBound + int64_t(i)),
                                      int32_t(first.lowerBound + int64_t(j))};
            array->PutElement(index, std::move(element));
        }
    }
    hr = S_OK;
    return array;
}

bool SafeArray1ToDBus(const CSafeArray& in, DBusArray1& out) {
    out = DBusArray1{};
    return in.Dimensions() == 1 && Array1ToDBus(in, out);
}

std::shared_ptr<CSafeArray> SafeArray1FromDBus(const DBusArray1& in, HRESULT& hr) {
    hr = E_OUTOFMEMORY;
    auto array = CSafeArray::Create({{in.lowerBound, uint32_t(in.items.size())}});
    if (!array) return nullptr;
    hr = E_INVALIDARG;
    CVariant element;
    for (qsizetype i = 0; i < in.items.size(); ++i) {
        const int32_t index = int32_t(in.lowerBound + int64_t(i));
        if (!VariantFromDBus(in.items[i], element)) return nullptr;
        array->PutElement(std::span(&index, 1), std::move(element));
    }
    hr = S_OK;
    return array;
}

} // namespace vl
