#pragma once
// Small functions that move values between controls and records: numbers with the
// locale's decimal separator, column letters, page lists, fonts, combo lines, opacity.

#include "core/fontrecord.h"
#include "core/integerlist.h"
#include "platform/core/muldiv.h"

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class QComboBox;
class QWidget;

namespace vl {

// True when the text is one number with nothing but blanks around it; an empty or blank
// text is 0. `decimal` stands for the point.
bool ParseNumber(std::string_view text, char decimal, double& value);
// The number with `decimals` digits after the separator (the shortest text when negative);
// trailing zeros of a fixed fraction, and then a bare separator, are dropped.
std::string FormatNumber(char decimal, double value, int decimals);

// Column letters as a number (A 1, AA 27); an empty or blank text is 0. False when a
// character is no letter or the number outgrows 32 bits.
bool ColumnLettersToNumber(std::string_view text, uint32_t& number);
std::string ColumnNumberToLetters(uint32_t number);

// The system font description of a style font record.
struct LogFont {
    int32_t height = 0; // negative: character height in pixels
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t pitchAndFamily = 0;
    char faceName[kFaceNameSize] = {};
};

void StyleFontToLogFont(const FontRecord& font, LogFont& out);
void LogFontToStyleFont(FontRecord& out, const LogFont& font);

// Adds each non-empty line of the text; false for an empty text or one over 999 characters.
bool AddComboLines(QComboBox* combo, std::string_view text);

// The alpha of an opacity percentage: percent x 255 / 100, at least 10 below 100 percent.
int OpacityAlpha(int percent);
// Sets the window's opacity; 100 percent makes it opaque again.
bool SetWindowOpacity(QWidget* window, int percent);
// The window's control with the keyboard shows its focus frame from the start, as after a
// Tab, not only once a key moved it: a dialog is worked by keys as often as by the mouse.
// Called once the window shows (showing clears it).
void ShowFocusFromTheStart(QWidget& window);
// Draws the view's selected rows in the highlight colour while it has the keyboard and in a
// grey while it has not: the style draws no other sign of the keyboard on a selected row.
void ShowSelectionFocus(QWidget& view, bool focused);

// A time format of the locale with its seconds (and fractions) and the separator before
// them left out: "HH:mm:ss" gives "HH:mm", "h:mm:ss AP" gives "h:mm AP".
QString TimeFormatWithoutSeconds(const QString& format);

// The grey of a colour as greyed toolbar pictures show it.
inline uint8_t GreyLevel(uint8_t r, uint8_t g, uint8_t b) {
    return uint8_t((6969u * r + 23434u * g + 2365u * b) / 32768u);
}

} // namespace vl
