#pragma once
// The client that RTD and UDF reach registered servers through: objects made by the
// server's factory (CreateObject on "/"), properties read through the bus's Properties
// interface, methods called with one variant per argument, each object released without
// waiting. Every call blocks without running events (an event loop would re-enter the
// evaluation) for at most the server's time-out. A ProgID outside the list, a server owned
// by this process, and one that timed out earlier in the same recalculation are refused
// without any traffic.

#include "automation/dbus/serverlist.h"
#include "functions/general/automationclient.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace vl {

class CDBusAutomationClient : public IAutomationClient {
public:
    // `connect` gives the bus, asked for only when a listed server is first called.
    CDBusAutomationClient(std::vector<RegisteredServer> servers,
                          std::function<QDBusConnection()> connect);
    ~CDBusAutomationClient() override;

    HRESULT CreateObject(std::string_view progId, uint32_t recalculation,
                         uint64_t& object) override;
    HRESULT GetProperty(uint64_t object, std::string_view name, CVariant& out) override;
    HRESULT CallMethod(uint64_t object, std::string_view name, std::span<const CVariant> arguments,
                       CVariant& out) override;
    void Release(uint64_t object) override;

    std::size_t LiveObjects() const { return objects_.size(); }

private:
    struct ServerState {
        RegisteredServer server;
        uint32_t timedOutIn = 0; // the recalculation of the last time-out
        bool timedOut = false;
        uint32_t checkedIn = 0; // the recalculation whose owner check passed
        bool checked = false;
    };
    struct Object {
        std::size_t server;
        QString path;
        uint32_t recalculation;
    };

    bool Connected();
    bool OwnedHere(const QString& busName);
    bool Skipped(const ServerState& state, uint32_t recalculation) const;
    // The one-argument reply of a call, or a failure (a time-out marks the server).
    HRESULT Call(ServerState& state, uint32_t recalculation, const QDBusMessage& message,
                 QVariant& reply);

    std::vector<ServerState> servers_;
    std::function<QDBusConnection()> connect_;
    std::optional<QDBusConnection> connection_;
    std::map<uint64_t, Object> objects_;
    uint64_t nextObject_ = 1;
};

} // namespace vl
