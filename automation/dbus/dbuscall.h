#pragma once
// One method call from the bus: its arguments read as automation types, its results
// written back, and the object (or the server) it acts on.

#include "automation/interfaces.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

namespace vl {

class CAutomationBus;

class CDBusCall {
public:
    CDBusCall(CAutomationBus& server, std::shared_ptr<IAutomationObject> object,
              const QString& path, const QString& caller, const QVariantList& in)
        : server(server), object(std::move(object)), path(path), caller(caller), in_(in) {}

    CBstr Bstr(int i) const;
    int32_t Int(int i) const { return in_.value(i).toInt(); }
    double Real(int i) const { return in_.value(i).toDouble(); }
    uint8_t Byte(int i) const { return uint8_t(in_.value(i).toUInt()); }
    // False when the value does not have the form of its type.
    bool Variant(int i, CVariant& out) const;
    // A table argument; null with E_INVALIDARG or E_OUTOFMEMORY in `hr`.
    std::shared_ptr<CSafeArray> Table(int i, HRESULT& hr) const;
    // A one-dimensional array argument, likewise.
    std::shared_ptr<CSafeArray> List(int i, HRESULT& hr) const;
    // An interface pointer: "/" is none; any other path must be a live object of the server.
    bool Object(int i, IAutomationObject*& out) const;

    void Out(QVariant value) { out.append(std::move(value)); }
    void OutBstr(const CBstr& text);
    // False (nothing written) when the variant cannot travel.
    bool OutVariant(const CVariant& value);
    bool OutTable(const CSafeArray& table);
    bool OutList(const CSafeArray& list);

    CAutomationBus& server;
    std::shared_ptr<IAutomationObject> object; // null for the root
    QString path;
    QString caller; // the unique bus name of the client
    QVariantList out;

private:
    QVariantList in_;
};

} // namespace vl
