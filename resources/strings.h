#pragma once
// The string table: texts the program shows, by their resource identifiers.

namespace vl {

enum StringId : int {
    IDS_COM_REGISTERED = 103,
    IDS_COM_UNREGISTERED = 104,
    IDR_MAINFRAME = 127, // the application title
    IDS_SAVE_CHANGES = 128,
    IDS_NEW_WORKBOOK = 129,
    IDS_ENTER_INTEGER = 130,
    IDS_MAX_CHARACTERS = 131,
    IDS_MINIMUM_MARGIN = 132,
    IDS_INVALID_VALUE = 133,
    IDS_MAX_ITEMS = 141,
    IDS_INVALID_ADDRESS = 143,
    IDS_CANNOT_TRANSPOSE = 144,
    IDS_PASSWORDS_DIFFER = 146,
    IDS_PASSWORD_TOO_SHORT = 147,
    IDS_ALLOW_READ_ONLY = 148,
    IDS_USE_BINARY_FORMAT = 149,
    IDS_PROTECTION_IGNORED = 150,
    IDS_XY_DOMAIN = 152,
    IDS_ERROR_BAR_SERIES = 153,
    IDS_3D_VIEW_TYPES = 155,
    IDS_NO_REGISTRY_PERMISSION = 159,
    IDS_NO_RANGE_SELECTED = 156,
    IDS_REMOVE_ADDRESS = 160,
    IDS_EMPTY_ADDRESS_LIST = 161,
    IDS_SERIES_ELEMENTS = 164,
    IDS_RELOAD_CHANGES = 170,
    IDS_READY = 57345,
};

// The text of a string (Windows-1252), or the empty text for an unknown identifier.
const char* LoadAppString(int id);

} // namespace vl
