#pragma once
// The servers that RTD and UDF reach: objects of registered automation servers, created by
// ProgID, read by property name and called by method name. The program installs the one
// client at start-up; without one every ProgID is unknown.

#include "platform/com/variant.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vl {

class IAutomationClient {
public:
    virtual ~IAutomationClient() = default;

    // A new object of the server the ProgID (UTF-8) names. `recalculation` tells calls of one
    // recalculation from the next. A failure for a ProgID the client may not call, a server
    // that is missing or does not answer.
    virtual HRESULT CreateObject(std::string_view progId, uint32_t recalculation,
                                 uint64_t& object) = 0;
    virtual HRESULT GetProperty(uint64_t object, std::string_view name, CVariant& out) = 0;
    // The arguments in the order the formula gives them.
    virtual HRESULT CallMethod(uint64_t object, std::string_view name,
                               std::span<const CVariant> arguments, CVariant& out) = 0;
    // Ends an object that CreateObject gave; never waits for the server.
    virtual void Release(uint64_t object) = 0;
};

// Set once at start-up (tests install a double); null removes it.
void SetAutomationClient(IAutomationClient* client);
IAutomationClient* GetAutomationClient();

} // namespace vl
