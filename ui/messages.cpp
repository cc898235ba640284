#include "ui/messages.h"

#include "ui/uiservices.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"

namespace vl {

namespace {

QString FromCp1252(const char* text) {
    return QString::fromStdString(Cp1252ToUtf8(text));
}

} // namespace

QString AppTitle() {
    return FromCp1252(LoadAppString(IDR_MAINFRAME));
}

QString AppString(int id, const QString& argument) {
    QString text = FromCp1252(LoadAppString(id));
    text.replace(QLatin1String("%1!s!"), argument);
    text.replace(QLatin1String("%1!d!"), argument);
    return text;
}

QString ErrorMessageAtLine(int code, int line) {
    return FromCp1252(GetErrorMessage(code)) + QStringLiteral("\nLine: %1").arg(line);
}

void ShowErrorMessage(int code) {
    UiServices().MessageBox(FromCp1252(GetErrorMessage(code)), AppTitle(),
                            MB_ICONEXCLAMATION | MB_TASKMODAL);
}

void ShowErrorMessageAtLine(int code, int line) {
    UiServices().MessageBox(ErrorMessageAtLine(code, line), AppTitle(),
                            MB_ICONEXCLAMATION | MB_TASKMODAL);
}

void ShowMessageText(const QString& text) {
    UiServices().MessageBox(text, AppTitle(), MB_ICONEXCLAMATION | MB_TASKMODAL);
}

int ShowStringMessage(int id, uint32_t flags, const QString& argument) {
    return UiServices().MessageBox(AppString(id, argument), AppTitle(), flags | MB_TASKMODAL);
}

} // namespace vl
