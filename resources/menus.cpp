#include "resources/menus.h"

#include "resources/commandids.h"

#include <iterator>

namespace vl {

namespace {

constexpr MenuLine kMainMenu[] = {
    {0, 0, "&File"},
    {1, ID_FILE_NEW, "&New\tCtrl+N"},
    {1, ID_FILE_OPEN, "&Open...\tCtrl+O"},
    {1, 0, nullptr},
    {1, 0, "Recent &Files"},
    {2, ID_FILE_MRU_FIRST, "(empty)"},
    {1, 0, nullptr},
    {1, ID_APP_EXIT, "E&xit\tCtrl+Q"},
    {0, 0, "&View"},
    {1, ID_VIEW_TOOLBAR, "&Standard Toolbar"},
    {1, ID_VIEW_FORMATTING_BAR, "&Address && Formatting Toolbar"},
    {1, ID_VIEW_STATUS_BAR, "Status &Bar"},
    {1, 0, nullptr},
    {1, ID_VIEW_COMPOSER, "Formula &Composer"},
    {1, ID_VIEW_FULL_SCREEN, "F&ull Screen"},
    {0, 0, "&Settings"},
    {1, ID_OPTIONS, "&Options..."},
    {1, 0, nullptr},
    {1, ID_LOAD_PROFILE, "&Load Profile..."},
    {1, ID_SAVE_PROFILE_AS, "&Save Profile As..."},
    {1, 0, nullptr},
    {1, 0, "Lo&cales"},
    {2, ID_LOCALE_GENERIC, "&Generic (Fixed)"},
    {2, ID_LOCALE_SYSTEM, "&System Default"},
    {2, ID_LOCALE_USER, "&User Default"},
    {1, 0, nullptr},
    {1, ID_REGISTER_SERVER, "&Register COM/Shell Extensions"},
    {1, ID_UNREGISTER_SERVER, "U&nregister COM/Shell Extensions"},
    {0, 0, "&Help"},
    {1, ID_HELP_CONTENTS, "&Contents"},
    {1, ID_HELP_SUPPORT, "&Support"},
    {1, ID_HELP_ONLINE, "&Online Help"},
    {1, 0, nullptr},
    {1, ID_APP_ABOUT, "&About Vorlane..."},
};

constexpr AcceleratorKey kFrameKeys[] = {
    {"Ctrl+N", ID_FILE_NEW},     {"Ctrl+O", ID_FILE_OPEN},
    {"Ctrl+Q", ID_APP_EXIT},     {"Ctrl+F4", ID_WINDOW_CLOSE_ACTIVE},
    {"Ctrl+F6", ID_WINDOW_NEXT}, {"Ctrl+P", ID_FILE_PRINT},
};

} // namespace

const MenuLine* MainMenuLines(std::size_t& count) {
    count = std::size(kMainMenu);
    return kMainMenu;
}

const AcceleratorKey* FrameAccelerators(std::size_t& count) {
    count = std::size(kFrameKeys);
    return kFrameKeys;
}

} // namespace vl
