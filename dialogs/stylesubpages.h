#pragma once
// The options sub-pages of the number style page, one per standard family: created in
// place, filled from and read into the family's settings.

#include "values/standardformat.h"

#include <functional>

class QWidget;

namespace vl {

// The sub-page of families 1 to 9; null for the others.
QWidget* CreateStyleSubPage(uint8_t family, QWidget* parent);
void FillStyleSubPage(QWidget& page, uint8_t family, const uint8_t* params);
// False when a number is out of range; `bad` is then the edit at fault and `params` keep
// what they held.
bool ReadStyleSubPage(QWidget& page, uint8_t family, uint8_t* params, QWidget*& bad);
// Calls `changed` for every change the user makes on the sub-page.
void ConnectStyleSubPage(QWidget& page, const std::function<void()>& changed);
// Format codes between the internal separators and the user's.
std::string FormatCodeToUser(const std::string& code);
std::string FormatCodeFromUser(const std::string& code);

} // namespace vl
