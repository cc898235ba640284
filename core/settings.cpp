#include "core/settings.h"

namespace vl {

const SeparatorSet& InternalSeparators() {
    static const SeparatorSet internal{};
    return internal;
}

SeparatorSet& UserSeparators() {
    static SeparatorSet user{};
    return user;
}

SettingsProfile& Profile() {
    static SettingsProfile profile{};
    return profile;
}

} // namespace vl
