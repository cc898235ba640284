#include "platform/core/errorcode.h"

#include "platform/core/editerrors.h"
#include "platform/core/printerrors.h"

#include <iterator>

namespace vl {

namespace {

constexpr const char* kNoError = "No error";

// Indexed by code - 1 over the codes 1 to 61; null marks a code without a text.
constexpr const char* kMessages[] = {
    "Out of memory while loading an image",
    "Too many images in one document",
    "An unsupported image source (protocol)",
    "Out of memory while allocating container data",
    "Can't find the specified image on the image list",
    "An unsupported image format",
    "There can be max. 255 objects in one container",
    "Out of memory while creating/editing worksheet data",
    "A workbook must contain at least one worksheet",
    "An invalid worksheet/folder path - not found",
    "An invalid container ID - not found",
    "An invalid cache index",
    "No worksheet selected",
    "Too many styles in one document",
    "Too many drop-down lists in one document",
    "No pages to print",
    "An invalid print page range",
    "The zoom factor is too small",
    "The current margin(s) is smaller than the min. margin of the printer",
    "No printer selected.",
    "Invalid Vorlane file format\n\nPlease choose the correct format from the 'Files of type' "
    "list in the 'Open' dialog box.",
    "Too many containers",
    "Not enought empty columns to the right of the last non-empty column",
    "Not enought empty rows below the last row non-empty row",
    "Can't generate the cryptographic key",
    "Invalid password",
    "Out of memory while creating chart data",
    "An array formula is required to generate a chart data series",
    "Data series using any of the 'stacked' view types must use the same axis scale and data "
    "range.\n\nCheck the 'Data' and 'Axes' property pages to see whether those parameters are "
    "the same.",
    "Invalid numbers while calculating axis limits",
    "Too many chart axes",
    "Too many chart series",
    "Too many user gridlines",
    "Can't open the specified file for reading",
    "Can't open the specified file for writing",
    "Error while closing the specified file",
    "Error while repositioning a file pointer",
    "Error while reading from a file",
    "Error while writing to a file",
    "Error while deleting a file",
    "Error while checking the file size/info",
    "Error while allocating a file read/write buffer",
    nullptr, // 43 is never raised
    "Error while decrypting a file",
    "Error while encrypting a file",
    "Out of memory while processing image data",
    "Can't find or load the ijl15.dll library",
    "Can't initialize the ijl15.dll library",
    "Error while reading a JPEG image",
    "Error while writing a JPEG image",
    "An unrecognized number of channels in the jpeg image",
    "An invalid bitmap file",
    "Error while reading a PNG image",
    "Error while writing a PNG image",
    "Ouf of memory while loading an xml document",
    "An unexpected xml element",
    "An invalid attribute value",
    "A required attribute is missing",
    "Invalid xml element data (c_data)",
    "Only the UTF-8 encoding is supported",
    "Too many database fields - max. record size = 64K",
};

static_assert(std::size(kMessages) == 61);

// The codes past the dense range that have a text.
constexpr const char* kClipboardMessage = "Can't open the Clipboard";
constexpr const char* kJobRefusedMessage = "The print system refused the print job.";
constexpr const char* kDuplicatePathMessage =
    "Another worksheet or folder of this folder has this name.";
constexpr const char* kFormulaTooLongMessage =
    "A formula or chart range would be longer than 1,024 characters.";
constexpr const char* kInterruptedSaveMessage =
    "A save of this file was cut short, and the file may be incomplete. Open it in the "
    "program's window, which offers the whole copy that save kept.";
constexpr const char* kFieldOverflowMessage =
    "A number is too wide for its database field: widen the field or change its decimals.";
constexpr const char* kFieldTypeMessage =
    "A database field has a type no value can be written to, and its values would be lost: "
    "change the field's type.";
constexpr const char* kCodePageImportMessage =
    "Some texts of the file hold characters a cell cannot hold (cells hold the Western "
    "European code page, Windows-1252). Their cells were left empty; the rest of the file "
    "was read. Texts left out:";
constexpr const char* kCodePageMessage =
    "The text holds a character a cell cannot hold. Cells hold the characters of the Western "
    "European code page (Windows-1252): letters with accents, the euro sign and the like, "
    "but no other alphabets.";
constexpr const char* kPropertiesCutMessage =
    "Some document properties of the file (author, company, dates and the like) were longer "
    "than the workbook keeps; their beginnings were kept. Properties cut:";
constexpr const char* kStylesUnknownMessage =
    "Some cells, columns or styles of the file name a style the file does not define; they "
    "were given the default style. Style names set aside:";
constexpr const char* kActiveSheetBadMessage =
    "The file names its active worksheet by something other than a whole number; the first "
    "worksheet is shown instead. Entries set aside:";
constexpr const char* kPathTooLongMessage =
    "A worksheet or folder path would be longer than 255 characters.";
constexpr const char* kArrayCutMessage =
    "The range cuts through an array formula. Select the whole array or leave it out.";
constexpr const char* kRangeScatteredMessage =
    "A formula reads a range that reaches into the selection without holding all of it; "
    "transposing would scatter its cells.";
constexpr const char* kTooManyPagesMessage =
    "The printout would have more than 10,000 pages (100,000 with its copies). Choose the "
    "cells to print, leave rows or columns out, or print fewer copies.";
constexpr const char* kNameBackslashMessage =
    "A worksheet or folder name cannot hold a backslash, which separates folders in paths.";

} // namespace

const char* GetErrorMessage(int code) {
    if (code == kErrorNameBackslash) return kNameBackslashMessage;
    if (code == kErrorArrayCut) return kArrayCutMessage;
    if (code == kErrorRangeScattered) return kRangeScatteredMessage;
    if (code == kErrorClipboard) return kClipboardMessage;
    if (code == kErrorJobRefused) return kJobRefusedMessage;
    if (code == kErrorDuplicatePath) return kDuplicatePathMessage;
    if (code == kErrorFormulaTooLong) return kFormulaTooLongMessage;
    if (code == kErrorFieldOverflow) return kFieldOverflowMessage;
    if (code == kErrorInterruptedSave) return kInterruptedSaveMessage;
    if (code == kErrorPathTooLong) return kPathTooLongMessage;
    if (code == kErrorFieldType) return kFieldTypeMessage;
    if (code == kErrorCodePage) return kCodePageMessage;
    if (code == kErrorCodePageImport) return kCodePageImportMessage;
    if (code == kErrorPropertiesCut) return kPropertiesCutMessage;
    if (code == kErrorStylesUnknown) return kStylesUnknownMessage;
    if (code == kErrorActiveSheetBad) return kActiveSheetBadMessage;
    if (code == kErrorTooManyPages) return kTooManyPagesMessage;
    if (code < 1 || code > int(std::size(kMessages))) return kNoError;
    const char* text = kMessages[code - 1];
    return text ? text : kNoError;
}

} // namespace vl
