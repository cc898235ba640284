#pragma once
// Text of the XML form in both directions: decoding what a file holds (UTF-8 and character
// references) into the program's 8-bit code page, and escaping program text for a file.
// Both work on whole texts of any length; nothing passes through a fixed-size stage.

#include "platform/core/errorcode.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace vl {

// Appends the decoded text to `out`. With `utf8`, well-formed multi-byte sequences become
// code-page bytes ("?" for a character outside the page); a byte of 0x80 or above that
// starts no well-formed sequence (a lone continuation byte, an overlong form, a surrogate, a
// sequence cut short) becomes one "?" and decoding goes on with the next byte. The
// references "&quot;", "&apos;", "&lt;", "&gt;", "&amp;", and "&#" with decimal or "&#x"
// with hexadecimal digits closed by ";" give their byte: a numeric reference names a Unicode
// character, whatever the document's encoding ("&#8364;" the euro sign, "?" for one the
// code page has not). An "&" that starts none of these forms is copied as it stands. Error
// 59 for a numeric reference without digits, without ";", past U+10FFFF or naming a
// character no XML has (0, a surrogate, U+FFFE, U+FFFF), for a zero byte, and when more
// than `maximum` bytes would be appended.
// With `lost`, each character outside the code page (appended as '?') is counted there.
ErrorCode DecodeXmlText(std::string_view raw, bool utf8, std::size_t maximum, std::string& out,
                        uint32_t* lost = nullptr);

// Appends `text` escaped for an element or attribute value: the double quote, ampersand,
// apostrophe and angle brackets as named references, bytes 0 to 31 as "&#" with two decimal
// digits and ";", and, with `utf8`, bytes of 128 and above as their UTF-8 sequences.
void AppendXmlEscaped(std::string& out, std::string_view text, bool utf8);

// Appends the UTF-8 form of UTF-16 bytes (little-endian unless `bigEndian`) to `out` and
// returns how many bytes it took: a code unit or surrogate pair cut at the end is left for
// the next call, unless `last`, when it becomes U+FFFD as a lone surrogate does.
std::size_t AppendUtf16AsUtf8(std::string_view bytes, bool bigEndian, bool last, std::string& out);

// The UTF-8 form of code-page text, without escaping.
std::string AnsiToUtf8(std::string_view text);
// The code-page form of UTF-8 text, by the decoding rules above but without references.
std::string Utf8ToAnsi(std::string_view text);

} // namespace vl
