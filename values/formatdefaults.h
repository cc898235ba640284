#pragma once
// The settings a number-format kind starts with, and the settings a stored format may hold.

#include "values/standardformat.h"

namespace vl {

// The settings a kind starts with where nothing else gives them: the currencies take the
// user's symbol, fractions one denominator digit (or the denominator 2), and so on.
void DefaultStandardParams(uint8_t kind, uint8_t params[kStandardFormatParams]);
// The format of a kind with its default settings and its code built.
StandardFormat DefaultStandardFormat(uint8_t kind);
// True when the kind's digit counts and choices lie within what its code is built from and
// what a stored file may hold; the other kinds' bytes, and the kinds without settings, are
// not looked at.
bool IsValidStandardFormat(const StandardFormat& format);

} // namespace vl
