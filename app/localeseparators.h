#pragma once
// The locale record of typed and shown text (UserSeparators) filled from a locale choice:
// 0 the generic set, 1 and 2 the system locale, 3..129 a region of the choice table.

#include "core/settings.h"

#include <QLocale>
#include <QString>
#include <cstdint>
#include <optional>

namespace vl {

constexpr int kLocaleChoices = 130;

// The Windows locale identifier of a choice (0 for choice 0 and out of range).
uint16_t LocaleIdOfChoice(int choice);
// The locale name of a region choice ("de_DE"); empty for 0, 1, 2 and out of range.
const char* LocaleNameOfChoice(int choice);
// The locale of a choice: the system locale for 1 and 2, the region's locale when Qt
// knows it; nothing for choice 0 or a region that is not available.
std::optional<QLocale> LocaleOfChoice(int choice);

// One separator of a locale as a Windows-1252 byte; U+00A0 and U+202F give 0xA0.
// False for an empty text, more than one character, or one outside the code page.
bool SeparatorChar(const QString& text, char& out);

// Fills `set` from the locale's items by the rules of the locale record: list characters
// derived from the decimal separator, orders from the date formats. False when an item
// does not fit; `set` is then incomplete.
bool ReadLocaleSeparators(const QLocale& locale, SeparatorSet& set);

// Fills the current set from the choice; false when it fell back to the generic set.
bool ApplyLocaleChoice(int choice, bool force);
// What a change of the system's settings does: reads the user default locale whatever the
// profile chose; false when the generic set was taken instead.
bool ApplySystemLocaleChange();

} // namespace vl
