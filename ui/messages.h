#pragma once
// The message boxes of failures and questions, titled "Vorlane 7.3".

#include "platform/core/errorcode.h"

#include <QString>
#include <cstdint>

namespace vl {

// The title of every box (string 127).
QString AppTitle();
// A string of the table as shown text, with "%1!s!" and "%1!d!" filled from `argument`.
QString AppString(int id, const QString& argument = QString());

// "text\nLine: n": the text of an XML failure with its line.
QString ErrorMessageAtLine(int code, int line);

void ShowErrorMessage(int code);
void ShowErrorMessageAtLine(int code, int line);
void ShowMessageText(const QString& text);
// Shows string `id` with the buttons and icon of `flags`; the button pressed.
int ShowStringMessage(int id, uint32_t flags, const QString& argument = QString());

} // namespace vl
