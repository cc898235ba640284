#pragma once
// The automation server on the session bus: service org.vorlane.Vorlan, "/" with the
// factory, one object path per live automation object. Clients hold references to objects
// (CreateObject gives one, AddRef and Release count them); an object dies when no client
// holds it any more, also when a client leaves the bus. Every live object holds one lock
// of the server (the program passes its server module), so that the module's time-out
// ends an idle automation process.

#include "automation/interfaces.h"
#include "automation/serverlock.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QString>
#include <map>
#include <memory>

class QDBusServiceWatcher;

namespace vl {

class CDBusCall;
struct DBusMethod;

class CAutomationBus : public QDBusVirtualObject {
public:
    CAutomationBus(QDBusConnection connection, IServerLock& lock);
    ~CAutomationBus() override;

    // Registers the objects and takes the service name; false when either is refused
    // (another server runs) or there is no bus.
    bool Start();

    // The factory: a new object of the class a ProgID names, held once by the caller.
    HRESULT CreateObject(const CBstr& progId, const QString& caller, QString& path);
    // An object a method made, held once by the caller; an object already on the bus keeps
    // its path and gains the reference.
    QString Publish(std::shared_ptr<IAutomationObject> object, const QString& caller);
    HRESULT AddRef(const QString& path, const QString& caller, uint32_t& count);
    HRESULT Release(const QString& path, const QString& caller, uint32_t& count);
    // The live object at a path, or null.
    IAutomationObject* Resolve(const QString& path) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    struct Entry {
        std::shared_ptr<IAutomationObject> object;
        std::map<QString, uint32_t> holders; // client -> references
    };
    void Dispatch(const QDBusMessage& message);
    void Reply(const QDBusMessage& message, HRESULT hr, const DBusMethod* method,
               const CDBusCall& call);
    bool HandleProperties(const QDBusMessage& message,
                          const std::shared_ptr<IAutomationObject>& object);
    void ClientGone(const QString& client);
    void Forget(std::map<QString, Entry>::iterator it);
    uint32_t References(const Entry& entry) const;

    QDBusConnection connection_;
    IServerLock& lock_;
    std::unique_ptr<QDBusServiceWatcher> watcher_;
    std::map<QString, Entry> objects_;
    uint64_t nextId_ = 1;
};

// The name of the error reply of a failure: org.vorlane.Vorlan.Error.E80040005.
QString ErrorNameOf(HRESULT hr);

} // namespace vl
