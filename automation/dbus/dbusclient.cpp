#include "automation/dbus/dbusclient.h"

#include "automation/dbus/dbusreply.h"
#include "automation/dbus/dbusvalues.h"

#include <QDBusObjectPath>
#include <QDBusVariant>

namespace vl {

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool IsTimeout(const QDBusMessage& reply) {
    return reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply") ||
           reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout");
}

} // namespace

CDBusAutomationClient::CDBusAutomationClient(std::vector<RegisteredServer> servers,
                                             std::function<QDBusConnection()> connect)
    : connect_(std::move(connect)) {
    for (RegisteredServer& server : servers) servers_.push_back({std::move(server)});
    RegisterAutomationDBusTypes();
}

CDBusAutomationClient::~CDBusAutomationClient() {
    while (!objects_.empty()) Release(objects_.begin()->first);
}

bool CDBusAutomationClient::Connected() {
    if (!connection_) connection_ = connect_();
    return connection_->isConnected();
}

// A call to a name of this process would wait for the evaluation it interrupts.
bool CDBusAutomationClient::OwnedHere(const QString& busName) {
    const QString self = connection_->baseService();
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    ask << busName;
    const QDBusMessage owner = connection_->call(ask, QDBus::Block);
    // No owner: the bus starts the service, never this process.
    return owner.type() == QDBusMessage::ReplyMessage &&
           owner.arguments().value(0).toString() == self;
}

bool CDBusAutomationClient::Skipped(const ServerState& state, uint32_t recalculation) const {
    return state.timedOut && state.timedOutIn == recalculation;
}

HRESULT CDBusAutomationClient::Call(ServerState& state, uint32_t recalculation,
                                    const QDBusMessage& message, QVariant& reply) {
    const QDBusMessage answer = connection_->call(message, QDBus::Block, state.server.timeoutMs);
    if (answer.type() != QDBusMessage::ReplyMessage) {
        if (IsTimeout(answer)) {
            state.timedOut = true;
            state.timedOutIn = recalculation;
        }
        return E_FAIL;
    }
    if (answer.arguments().size() != 1) return E_FAIL;
    reply = answer.arguments().front();
    return S_OK;
}

HRESULT CDBusAutomationClient::CreateObject(std::string_view progId, uint32_t recalculation,
                                            uint64_t& object) {
    std::size_t index = 0;
    while (index < servers_.size() && !SameProgId(servers_[index].server.progId, progId)) ++index;
    if (index == servers_.size()) return REGDB_E_CLASSNOTREG;
    ServerState& state = servers_[index];
    if (Skipped(state, recalculation) || !Connected()) return E_FAIL;
    if (!state.checked || state.checkedIn != recalculation) {
        if (OwnedHere(state.server.busName)) return E_FAIL;
        state.checked = true;
        state.checkedIn = recalculation;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(state.server.busName, QStringLiteral("/"),
                                       state.server.interface, QStringLiteral("CreateObject"));
    message << Utf8(progId);
    QVariant reply;
    if (Failed(Call(state, recalculation, message, reply))) return E_FAIL;
    if (reply.metaType() != QMetaType::fromType<QDBusObjectPath>()) return E_FAIL;
    object = nextObject_++;
    objects_[object] = {index, reply.value<QDBusObjectPath>().path(), recalculation};
    return S_OK;
}

HRESULT CDBusAutomationClient::GetProperty(uint64_t object, std::string_view name, CVariant& out) {
    auto it = objects_.find(object);
    if (it == objects_.end()) return E_INVALIDARG;
    ServerState& state = servers_[it->second.server];
    if (Skipped(state, it->second.recalculation)) return E_FAIL;
    QDBusMessage message = QDBusMessage::createMethodCall(
        state.server.busName, it->second.path, kPropertiesInterface, QStringLiteral("Get"));
    message << state.server.interface << Utf8(name);
    QVariant reply;
    if (Failed(Call(state, it->second.recalculation, message, reply))) return E_FAIL;
    if (reply.metaType() != QMetaType::fromType<QDBusVariant>()) return E_FAIL;
    return ReplyValueToVariant(reply.value<QDBusVariant>().variant(), out) ? S_OK : E_FAIL;
}

HRESULT CDBusAutomationClient::CallMethod(uint64_t object, std::string_view name,
                                          std::span<const CVariant> arguments, CVariant& out) {
    auto it = objects_.find(object);
    const QString member = Utf8(name);
    if (it == objects_.end() || !IsMemberName(member)) return E_INVALIDARG;
    ServerState& state = servers_[it->second.server];
    if (Skipped(state, it->second.recalculation)) return E_FAIL;
    QDBusMessage message = QDBusMessage::createMethodCall(state.server.busName, it->second.path,
                                                          state.server.interface, member);
    QVariantList wire;
    for (const CVariant& argument : arguments) {
        DBusVar value;
        if (!VariantToDBus(argument, value)) return E_INVALIDARG;
        wire.append(QVariant::fromValue(value));
    }
    message.setArguments(wire);
    QVariant reply;
    if (Failed(Call(state, it->second.recalculation, message, reply))) return E_FAIL;
    return ReplyValueToVariant(reply, out) ? S_OK : E_FAIL;
}

void CDBusAutomationClient::Release(uint64_t object) {
    auto it = objects_.find(object);
    if (it == objects_.end()) return;
    const ServerState& state = servers_[it->second.server];
    QDBusMessage message = QDBusMessage::createMethodCall(
        state.server.busName, it->second.path, state.server.interface, QStringLiteral("Release"));
    message.setAutoStartService(false);
    connection_->send(message);
    objects_.erase(it);
}

} // namespace vl
