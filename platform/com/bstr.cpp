#include "platform/com/bstr.h"

#include "platform/core/cp1252.h"

namespace vl {

CBstr CBstr::FromAnsi(std::string_view text) {
    return CBstr(Cp1252ToUtf8(text));
}

bool CBstr::ToAnsi(size_t bufferSize, std::string& out) const {
    std::string ansi = Utf8ToCp1252(Utf8());
    if (ansi.size() + 1 > bufferSize) return false;
    out = std::move(ansi);
    return true;
}

bool CBstr::ToAnsiExact(size_t bufferSize, std::string& out) const {
    std::string ansi = Utf8ToCp1252(Utf8());
    if (ansi.size() + 1 > bufferSize || Cp1252ToUtf8(ansi) != Utf8()) return false;
    out = std::move(ansi);
    return true;
}

} // namespace vl
