#include "resources/strings.h"

namespace vl {

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {IDS_COM_REGISTERED, "COM server registered."},
    {IDS_COM_UNREGISTERED, "COM server unregistered."},
    {IDR_MAINFRAME, "Vorlane 7.3"},
    {IDS_SAVE_CHANGES, "Save changes to %1!s!?"},
    {IDS_NEW_WORKBOOK, "New Workbook"},
    {IDS_ENTER_INTEGER, "Please enter an integer between %1!d! and %2!d!."},
    {IDS_MAX_CHARACTERS, "Please enter no more than %1!d! characters."},
    {IDS_MINIMUM_MARGIN, "The minimum margin for the current printer is %1!s!."},
    {IDS_INVALID_VALUE, "Invalid value."},
    {IDS_MAX_ITEMS, "Please enter no more than %1!d! items."},
    {IDS_INVALID_ADDRESS, "Invalid worksheet path and/or cell address."},
    {IDS_CANNOT_TRANSPOSE, "The selected range can't be transposed.\nThe number of transposed "
                           "columns or rows is too big."},
    {IDS_PASSWORDS_DIFFER, "The entered passwords do not match. Please re-type your password."},
    {IDS_PASSWORD_TOO_SHORT, "Please enter at least 6 characters as a password."},
    {IDS_ALLOW_READ_ONLY,
     "The protection option you've selected will allow anyone to open the "
     "workbook in the 'read-only' mode without using the password.\nContinue?"},
    {IDS_NO_RANGE_SELECTED, "No cell range selected.\nFor help, press OK."},
    {IDS_SERIES_ELEMENTS,
     "Please enter either 1-2 initial elements or the last 1-2 elements of the series."},
    {IDS_USE_BINARY_FORMAT,
     "To apply your current password protection and encryption settings for this workbook, "
     "you must use the native binary file format.\n\nClick OK to switch to the binary file "
     "format and to continue saving the workbook."},
    {IDS_PROTECTION_IGNORED, "Your current password protection and encryption settings for "
                             "will be ignored for this file format."},
    {IDS_XY_DOMAIN, "The XY chart requires that you specify a domain (x-) series for each "
                    "y-series.\n\nPlease select the 'Data' tab and for each y-series enter the "
                    "x-series name in the 'X Domain' field."},
    {IDS_ERROR_BAR_SERIES,
     "One or more series representing error bars can not be found.\n\nPlease select the 'Data' "
     "tab and make sure that the 'Error Bars' fields are either empty or contain names of "
     "existing error bar series."},
    {IDS_3D_VIEW_TYPES,
     "You must specify the same view type (for example: columns, stacked columns, bars, etc.) "
     "for each 'data' series on 3D charts.\n\n\nClick the 'View' tab to change the view type "
     "for the selected 'data' series."},
    {IDS_NO_REGISTRY_PERMISSION,
     "Your account does not have permission to update the registry database."},
    {IDS_REMOVE_ADDRESS, "Remove the current address from the list?"},
    {IDS_EMPTY_ADDRESS_LIST, "Empty address list?"},
    {IDS_RELOAD_CHANGES, "Discard the changes to %1!s! and read the file again?"},
    {IDS_READY, "Ready"},
};

} // namespace

const char* LoadAppString(int id) {
    for (const Entry& e : kStrings)
        if (e.id == id) return e.text;
    return "";
}

} // namespace vl
