#include "app/shell.h"
#include "profile/profile.h"
#include "ui/messages.h"

namespace vl {

ProfileIo DefaultProfileIo() {
    // A file another document or program holds is refused as the saves refuse it.
    SetProfileErrorReporter([](ErrorCode code) {
        ShowErrorMessage(code == kStreamInUse ? ErrorCode(kStreamOpenWrite) : code);
    });
    return {
        [](const QString& path, bool show) { return int(LoadProfile(path.toStdString(), show)); },
        [](const QString& path, bool show) { return int(SaveProfile(path.toStdString(), show)); }};
}

} // namespace vl
