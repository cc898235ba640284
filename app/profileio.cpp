#include "app/shell.h"
#include "profile/profile.h"
#include "ui/messages.h"

namespace vl {

ProfileIo DefaultProfileIo() {
    SetProfileErrorReporter([](ErrorCode code) { ShowErrorMessage(code); });
    return {
        [](const QString& path, bool show) { return int(LoadProfile(path.toStdString(), show)); },
        [](const QString& path, bool show) { return int(SaveProfile(path.toStdString(), show)); }};
}

} // namespace vl
