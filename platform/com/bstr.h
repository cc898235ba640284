#pragma once
// The automation string: Unicode text (held as UTF-8) that may also be null. A null string
// and an empty one mean the same to every method; only a method that hands a string back
// can leave it null. Methods take it over to the program's code page with a size limit.

#include <optional>
#include <string>
#include <string_view>

namespace vl {

class CBstr {
public:
    CBstr() = default; // null
    CBstr(std::string_view utf8) : text_(std::string(utf8)) {}
    CBstr(const char* utf8) : text_(std::string(utf8)) {}
    CBstr(const std::string& utf8) : text_(utf8) {}

    // A string from Windows-1252 text of the program.
    static CBstr FromAnsi(std::string_view text);

    bool IsNull() const { return !text_.has_value(); }
    bool IsEmpty() const { return !text_ || text_->empty(); }
    std::string_view Utf8() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    // The text in the program's code page; false when it would not fit a buffer of
    // `bufferSize` bytes with its terminator (the text is then left out).
    bool ToAnsi(size_t bufferSize, std::string& out) const;
    // The same for text that must come back exactly (a password): false as well when a
    // character is outside the code page, instead of storing it as "?".
    bool ToAnsiExact(size_t bufferSize, std::string& out) const;

    friend bool operator==(const CBstr&, const CBstr&) = default;

private:
    std::optional<std::string> text_;
};

} // namespace vl
