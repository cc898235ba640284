#pragma once
// The OEM code page of text and xBase files, 850, as a table of our own beside the
// program's Windows-1252 tables. A character the target page lacks becomes '?'.

#include <string>
#include <string_view>

namespace vl {

char32_t Cp850ToCodePoint(unsigned char c);
// The byte of a code point in code page 850, or '?' for one outside it.
char CodePointToCp850(char32_t cp);

// One byte between the program's page (Windows-1252) and the OEM page.
char OemToAnsiChar(unsigned char c);
char AnsiToOemChar(unsigned char c);

std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
void OemToAnsiInPlace(std::string& text);
void AnsiToOemInPlace(std::string& text);

} // namespace vl
