#pragma once
// Process-wide settings that the engine reads and never writes: the two separator sets
// and the fields of the settings profile that the data model and formulas consult. The
// settings profile reader fills them; until it runs they hold their defaults.

#include "core/fontrecord.h"
#include "platform/core/screen.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vl {

// Separators of stored text (the internal set) or of typed and shown text (the user set).
struct SeparatorSet {
    uint8_t localeChoice = 0; // 0 generic, 1 system default, 2 user default, 3..129 a region
    char decimal = '.';
    char thousands = ',';
    char date = '/';
    char time = ':';
    char list = ',';
    char arrayRow = ';';
    uint8_t shortDateOrder = 0; // 0 month-day-year, 1 day-month-year, 2 year-month-day
    uint8_t longDateOrder = 0;
    char currency[14] = "$"; // zero-terminated, at most 13 characters
};

// The set used in everything stored; never changes.
const SeparatorSet& InternalSeparators();
// The set of the chosen locale, used in everything typed and shown.
SeparatorSet& UserSeparators();

// Update modes: 1 recalculate the workbook, 2 the active worksheet, others manual.
constexpr uint8_t kUpdateWorkbook = 1;
constexpr uint8_t kUpdateWorksheet = 2;

// A frame or pane rectangle: left, top, right, bottom.
struct ProfileRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Limits of the profile's lists and texts.
constexpr int kMaxUserNumericFormats = 50;
constexpr int kUserNumericFormatTextSize = 50; // with the terminator
constexpr int kMaxBookmarks = 50;
constexpr int kMaxRecentFiles = 16;
constexpr int kProfileTextSize = 256; // bookmarks, recent files, the folder
constexpr int kMaxComposerFormulas = 100;
constexpr int kComposerArgumentArea = 1025;
constexpr uint16_t kMaxComposerFunctionIndex = 1000;

// One entry of the formula composer's history: a function of its catalogue and the
// argument texts, each ended by a NUL, all within kComposerArgumentArea bytes.
struct ComposerFormula {
    uint16_t index = 0;
    std::string arguments;
    uint8_t argumentCount = 0;
};

// A user numeric format: its name and its format code.
struct UserNumericFormat {
    std::string name;
    std::string pattern;
};

// Frame show states.
constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMaximized = 3;
constexpr int32_t kShowRestored = 5;
constexpr int32_t kShowMinimized = 6;

// Default file formats.
constexpr uint8_t kFormatXml = 1;
constexpr uint8_t kFormatXmlCompressed = 2;
constexpr uint8_t kFormatBinary = 3;
constexpr uint8_t kFormatBinaryCompressed = 4;

// The application settings: read from the profile at start, written back at exit, read
// directly by every subsystem. Lists grow as the profile fills them, within their limits.
struct SettingsProfile {
    std::string md5; // the root's MD5 text as last read
    uint8_t readOnly = 0;
    uint8_t maximizeDocWindow = 1;
    uint8_t showFormulas = 0;
    uint8_t hideCellMarkers = 0;
    uint8_t autoFormatting = 1; // typed input gets a number format from its form
    uint8_t undoLevel = 20; // entries kept in each workbook's undo history, 2..200 in the profile
    uint8_t copyLevel = 1;
    uint8_t updateMode = kUpdateWorkbook;
    uint8_t fileFormat = kFormatBinary;
    uint8_t region = 2; // locale choice 0..129
    uint8_t whenEnterPressed = 0;
    uint8_t opacity = 100;
    uint8_t autoSave = 0;  // minutes without input before modified workbooks are saved
    uint8_t autoClose = 0; // minutes without input before workbooks are closed
    FontRecord font = DefaultProfileFont();
    uint8_t fontColorSet = 0;
    COLORREF fontColor = 0; // the window-text colour
    std::string folder;
    std::vector<UserNumericFormat> userNumericFormats;
    std::vector<std::string> bookmarks;
    std::vector<std::string> recentFiles; // newest first
    std::vector<ComposerFormula> composerFormulas;
    uint8_t composerVisible = 0;
    int32_t composerPosition[5] = {0, 0, 0, 0, -1};
    uint8_t composerFlag = 1;
    ProfileRect frameRect;
    int32_t frameShow = kShowMaximized;
    int32_t standardToolbarVisible = 1;
    int32_t formattingToolbarVisible = 1;
    int32_t searchToolbarVisible = 0;
    int32_t statusBarVisible = 1;
    uint8_t addressingA1 = 1; // user form of formulas: A1 when set, else R1C1

    static FontRecord DefaultProfileFont() {
        FontRecord f;
        std::memcpy(f.faceName, "Arial", 6);
        f.size = 10;
        return f;
    }
};

SettingsProfile& Profile();

} // namespace vl
