#pragma once
// Text inside the program is 8-bit Windows-1252. These are the program's own tables for
// that code page: conversion to and from UTF-8, case mapping and letter tests, and the
// ASCII-only classes used where the locale must not matter.

#include <string>
#include <string_view>

namespace vl {

// Every byte maps to one code point (the five undefined bytes to the C1 controls of
// the same value), so any byte string survives a round trip through UTF-8.
char32_t Cp1252ToCodePoint(unsigned char c);
// The byte of a code point, or '?' for one outside the code page.
char CodePointToCp1252(char32_t cp);

// Appends the UTF-8 form of a code point of the Basic Multilingual Plane (every code point
// of the code page is one).
void AppendUtf8(std::string& out, char32_t cp);
std::string Cp1252ToUtf8(std::string_view text);
// Malformed UTF-8 sequences and characters outside the code page become '?'.
std::string Utf8ToCp1252(std::string_view text);

// Case mapping and letter test of the code page (the platform's CharUpperA,
// CharLowerA and IsCharAlphaA).
char CharUpper1252(char c);
char CharLower1252(char c);
bool IsCharAlpha1252(char c);
void UpperInPlace1252(std::string& text);

// ASCII-only classes: never consult the process locale.
inline bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool IsAsciiAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || IsAsciiAlpha(c);
}
inline bool IsAsciiSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsAsciiXDigit(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}
inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

} // namespace vl
