#include "automation/dbus/dbusserver.h"

#include "automation/dbus/dbuscall.h"
#include "automation/dbus/dbusinterfacexml.h"
#include "automation/dbus/dbusmethods.h"
#include "automation/dbus/dbusvalues.h"
#include "automation/objectfactory.h"
#include "platform/com/errorinfo.h"

#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QThread>

namespace vl {

namespace {

constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr char kIntrospectable[] = "org.freedesktop.DBus.Introspectable";
constexpr char kPeer[] = "org.freedesktop.DBus.Peer";

// The text of a failure that carries no error information.
QString PlainMessage(HRESULT hr) {
    switch (hr) {
    case E_INVALIDARG:
        return QStringLiteral("E_INVALIDARG");
    case E_OUTOFMEMORY:
        return QStringLiteral("E_OUTOFMEMORY");
    case E_FAIL:
        return QStringLiteral("E_FAIL");
    case REGDB_E_CLASSNOTREG:
        return QStringLiteral("REGDB_E_CLASSNOTREG");
    default:
        return QStringLiteral("HRESULT 0x%1").arg(uint32_t(hr), 8, 16, QLatin1Char('0'));
    }
}

bool Offers(IAutomationObject* object, std::string_view interface) {
    for (std::string_view name : InterfacesOf(object))
        if (name == interface) return true;
    return false;
}

} // namespace

QString ErrorNameOf(HRESULT hr) {
    return QLatin1String(kErrorPrefix) +
           QStringLiteral("%1").arg(uint32_t(hr), 8, 16, QLatin1Char('0')).toUpper();
}

CAutomationBus::CAutomationBus(QDBusConnection connection, IServerLock& lock)
    : connection_(std::move(connection)), lock_(lock),
      watcher_(std::make_unique<QDBusServiceWatcher>()) {
    watcher_->setConnection(connection_);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(watcher_.get(), &QDBusServiceWatcher::serviceUnregistered, this,
                     [this](const QString& client) { ClientGone(client); });
}

CAutomationBus::~CAutomationBus() {
    connection_.unregisterService(QLatin1String(kServiceName));
    connection_.unregisterObject(QStringLiteral("/"), QDBusConnection::UnregisterTree);
    // The objects give their locks back while the lock they hold is still there.
    objects_.clear();
    SetServerLock(nullptr);
}

bool CAutomationBus::Start() {
    if (!connection_.isConnected()) return false;
    RegisterAutomationDBusTypes();
    SetServerLock(&lock_);
    if (!connection_.registerVirtualObject(QStringLiteral("/"), this, QDBusConnection::SubPath))
        return false;
    if (!connection_.registerService(QLatin1String(kServiceName))) {
        connection_.unregisterObject(QStringLiteral("/"), QDBusConnection::UnregisterTree);
        return false;
    }
    return true;
}

HRESULT CAutomationBus::CreateObject(const CBstr& progId, const QString& caller, QString& path) {
    const CoClassInfo* cls = FindCoClass(progId.Utf8());
    if (!cls) return REGDB_E_CLASSNOTREG;
    std::shared_ptr<IAutomationObject> object;
    const HRESULT hr = CreateAutomationObject(*cls, object);
    if (Failed(hr)) return hr;
    path = QStringLiteral("/%1/%2")
               .arg(QString::fromLatin1(cls->name.data(), qsizetype(cls->name.size())))
               .arg(nextId_++);
    objects_[path] = Entry{std::move(object), {{caller, 1}}};
    watcher_->addWatchedService(caller);
    return S_OK;
}

QString CAutomationBus::Publish(std::shared_ptr<IAutomationObject> object, const QString& caller) {
    for (auto& [path, entry] : objects_) {
        if (entry.object != object) continue;
        ++entry.holders[caller];
        watcher_->addWatchedService(caller);
        return path;
    }
    const std::string_view name = object->ClassInfo().name;
    const QString path = QStringLiteral("/%1/%2")
                             .arg(QString::fromLatin1(name.data(), qsizetype(name.size())))
                             .arg(nextId_++);
    objects_[path] = Entry{std::move(object), {{caller, 1}}};
    watcher_->addWatchedService(caller);
    return path;
}

HRESULT CAutomationBus::AddRef(const QString& path, const QString& caller, uint32_t& count) {
    auto it = objects_.find(path);
    if (it == objects_.end()) return E_INVALIDARG;
    ++it->second.holders[caller];
    watcher_->addWatchedService(caller);
    count = References(it->second);
    return S_OK;
}

HRESULT CAutomationBus::Release(const QString& path, const QString& caller, uint32_t& count) {
    auto it = objects_.find(path);
    if (it == objects_.end()) return E_INVALIDARG;
    auto holder = it->second.holders.find(caller);
    if (holder == it->second.holders.end()) return E_INVALIDARG; // the caller holds none
    if (--holder->second == 0) it->second.holders.erase(holder);
    count = References(it->second);
    if (count == 0) Forget(it);
    return S_OK;
}

IAutomationObject* CAutomationBus::Resolve(const QString& path) const {
    auto it = objects_.find(path);
    return it == objects_.end() ? nullptr : it->second.object.get();
}

uint32_t CAutomationBus::References(const Entry& entry) const {
    uint32_t total = 0;
    for (const auto& [client, count] : entry.holders) total += count;
    return total;
}

void CAutomationBus::Forget(std::map<QString, Entry>::iterator it) {
    objects_.erase(it);
}

void CAutomationBus::ClientGone(const QString& client) {
    watcher_->removeWatchedService(client);
    for (auto it = objects_.begin(); it != objects_.end();) {
        auto next = std::next(it);
        if (it->second.holders.erase(client) && References(it->second) == 0) Forget(it);
        it = next;
    }
}

QString CAutomationBus::introspect(const QString& path) const {
    return IntrospectPath(path);
}

bool CAutomationBus::handleMessage(const QDBusMessage& message, const QDBusConnection&) {
    const QString interface = message.interface();
    if (interface == QLatin1String(kIntrospectable) || interface == QLatin1String(kPeer))
        return false;
    // Calls reach the objects on the thread they live on, one at a time.
    if (QThread::currentThread() != thread())
        QMetaObject::invokeMethod(
            this, [this, message] { Dispatch(message); }, Qt::QueuedConnection);
    else
        Dispatch(message);
    return true;
}

void CAutomationBus::Dispatch(const QDBusMessage& message) {
    const QString path = message.path();
    std::shared_ptr<IAutomationObject> object;
    if (path != QLatin1String("/")) {
        auto it = objects_.find(path);
        if (it == objects_.end()) {
            connection_.send(message.createErrorReply(QDBusError::UnknownObject, path));
            return;
        }
        object = it->second.object;
    }
    if (message.interface() == QLatin1String(kPropertiesInterface)) {
        HandleProperties(message, object);
        return;
    }
    const DBusMethod* method =
        FindMethod(message.interface().toStdString(), message.member().toStdString());
    if (!method || !Offers(object.get(), method->interface)) {
        connection_.send(message.createErrorReply(QDBusError::UnknownMethod, message.member()));
        return;
    }
    CDBusCall call(*this, object, path, message.service(), message.arguments());
    HRESULT hr = E_INVALIDARG;
    ClearErrorInfo();
    if (message.signature() == InSignature(*method)) hr = method->handler(call);
    Reply(message, hr, method, call);
}

void CAutomationBus::Reply(const QDBusMessage& message, HRESULT hr, const DBusMethod* method,
                           const CDBusCall& call) {
    if (Failed(hr)) {
        std::optional<ErrorInfo> info = TakeErrorInfo();
        const QString text = info ? QString::fromStdString(info->description) : PlainMessage(hr);
        connection_.send(message.createErrorReply(ErrorNameOf(hr), text));
        return;
    }
    QVariantList out;
    if (method && method->status) out.append(qint32(hr));
    out.append(call.out);
    connection_.send(message.createReply(out));
}

bool CAutomationBus::HandleProperties(const QDBusMessage& message,
                                      const std::shared_ptr<IAutomationObject>& object) {
    const QVariantList args = message.arguments();
    const std::string interface = args.value(0).toString().toStdString();
    const QString member = message.member();
    ClearErrorInfo();
    if (member == QLatin1String("GetAll") && message.signature() == QLatin1String("s")) {
        QVariantMap all;
        for (const DBusProperty& p : AutomationProperties()) {
            if (!object || !Offers(object.get(), p.interface) || p.interface != interface) continue;
            CDBusCall call(*this, object, message.path(), message.service(), {});
            if (Succeeded(p.get(call)) && !call.out.isEmpty())
                all.insert(QString::fromLatin1(p.name.data(), qsizetype(p.name.size())),
                           call.out.front());
        }
        connection_.send(message.createReply(QVariant::fromValue(all)));
        return true;
    }
    const DBusProperty* p = FindProperty(interface, args.value(1).toString().toStdString());
    if (!p || !object || !Offers(object.get(), p->interface)) {
        connection_.send(message.createErrorReply(QDBusError::UnknownProperty, member));
        return true;
    }
    QVariantList in;
    if (member == QLatin1String("Set")) in.append(args.value(2).value<QDBusVariant>().variant());
    CDBusCall call(*this, object, message.path(), message.service(), in);
    HRESULT hr = E_INVALIDARG;
    if (member == QLatin1String("Get") && message.signature() == QLatin1String("ss"))
        hr = p->get(call);
    else if (member == QLatin1String("Set") && message.signature() == QLatin1String("ssv"))
        hr = p->set(call);
    if (Succeeded(hr) && member == QLatin1String("Get")) {
        connection_.send(message.createReply(QVariant::fromValue(QDBusVariant(call.out.value(0)))));
        return true;
    }
    Reply(message, hr, nullptr, CDBusCall(*this, object, message.path(), message.service(), {}));
    return true;
}

} // namespace vl
