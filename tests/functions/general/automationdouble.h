#pragma once
// A stand-in for the registered automation servers: one ProgID "Test.Server" whose objects
// have named properties and a method "m" that records its arguments, with counters of the
// objects created and still alive.

#include "functions/general/automationclient.h"

#include <map>
#include <string>
#include <vector>

namespace vl::test {

class CAutomationDouble : public IAutomationClient {
public:
    static constexpr const char* kProgId = "Test.Server";

    HRESULT CreateObject(std::string_view progId, uint32_t, uint64_t& object) override {
        if (progId != kProgId) return REGDB_E_CLASSNOTREG;
        ++created;
        ++live;
        object = nextObject++;
        return S_OK;
    }
    // A name not among the properties reads as its length in characters; "Missing" is unknown.
    HRESULT GetProperty(uint64_t, std::string_view name, CVariant& out) override {
        asked.emplace_back(name);
        if (name == "Missing") return E_FAIL;
        auto it = properties.find(std::string(name));
        out = it != properties.end() ? it->second : CVariant::Integer(VT_I4, int64_t(name.size()));
        return S_OK;
    }
    HRESULT CallMethod(uint64_t, std::string_view name, std::span<const CVariant> arguments,
                       CVariant& out) override {
        if (name != "m") return E_FAIL;
        passed.assign(arguments.begin(), arguments.end());
        out = reply;
        return S_OK;
    }
    void Release(uint64_t) override { --live; }

    std::map<std::string, CVariant> properties;
    CVariant reply = CVariant::R8(42);
    std::vector<std::string> asked;
    std::vector<CVariant> passed;
    int created = 0;
    int live = 0;
    uint64_t nextObject = 1;
};

// Installs the double for the life of the scope.
class CInstalledDouble : public CAutomationDouble {
public:
    CInstalledDouble() { SetAutomationClient(this); }
    ~CInstalledDouble() override { SetAutomationClient(nullptr); }
};

} // namespace vl::test
