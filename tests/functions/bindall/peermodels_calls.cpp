// The model of the argument count: a call with fewer arguments than its function needs, or
// more than it takes, is refused as #SYNTAX!.
#include "functions/general/catalogue.h"
#include "tests/functions/bindall/peermodelsupport.h"

#include <cctype>
#include <cstring>

namespace vl::test::peermodel {

namespace {

bool SameName(const char* a, const std::string& b) {
    if (std::strlen(a) != b.size()) return false;
    for (std::size_t i = 0; i < b.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

// The catalogue's fixed arguments (the bracketed ones optional) and whether a list follows.
std::string ArgumentCount(const ModelCase& m) {
    for (const FunctionInfo& row : FunctionCatalogue()) {
        if (!SameName(row.name, m.name)) continue;
        const std::size_t fixed = (row.code >> 8) & 0xFF;
        const bool list = row.code & 0x10000;
        std::size_t required = 0;
        const char* name = row.argumentNames;
        for (std::size_t i = 0; i < fixed; ++i, name += std::strlen(name) + 1)
            required += name[0] != '[';
        const std::size_t given = m.args.size();
        const bool refused =
            given < (list && required == 0 ? 1 : required) || (!list && given > fixed);
        return Expect(refused && IsError(m.ours, "#SYNTAX!"), m, "a call of the wrong size");
    }
    return Expect(false, m, "a function of the catalogue");
}

} // namespace

void AddCallModels(std::map<std::string, Model>& models) {
    models.insert(
        {{"argument count", [](TestBook&, const ModelCase& m) { return ArgumentCount(m); }}});
}

} // namespace vl::test::peermodel
