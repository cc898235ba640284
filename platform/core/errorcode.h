#pragma once
// The one list of the one-byte codes of failed operations, with their fixed message texts.
// Every layer names its codes here, so that a number means one thing and has one name.

#include <cstdint>

namespace vl {

using ErrorCode = uint8_t;

// The values are stored in workbooks and reported to automation clients: never renumber.
enum : ErrorCode {
    kErrorNone = 0,

    // Pictures and containers.
    kErrorImageMemory = 1,
    kErrorTooManyImages = 2,
    kErrorImageProtocol = 3,
    kErrorContainerMemory = 4,
    kErrorImageNotListed = 5,
    kErrorImageFormat = 6,
    kErrorTooManyObjects = 7,

    // The data model.
    kErrorWorksheetMemory = 8,
    kErrorLastWorksheet = 9,
    kErrorPathNotFound = 10,
    kErrorContainerNotFound = 11,
    kErrorInvalidCacheIndex = 12,
    kErrorNoWorksheet = 13,
    kErrorTooManyStyles = 14,
    kErrorTooManyLists = 15,

    // Printing.
    kErrorNoPages = 16,
    kErrorInvalidPageList = 17,
    kErrorZoomTooSmall = 18,
    kErrorMarginTooSmall = 19,
    kErrorNoPrinter = 20,

    // Workbook files and structure.
    kErrorFileFormat = 21, // also a compressed stream that ends early or passes 2 GiB
    kErrorTooManyContainers = 22,
    kErrorNoEmptyColumns = 23,
    kErrorNoEmptyRows = 24,
    kErrorCryptKey = 25,
    kErrorInvalidPassword = 26,

    // Charts.
    kErrorChartMemory = 27,
    kErrorChartArray = 28,
    kErrorChartStack = 29,
    kErrorChartLimits = 30,
    kErrorChartAxes = 31,
    kErrorChartSeries = 32,
    kErrorChartGridlines = 33,

    // The file stream's status.
    kStreamOpenRead = 34,  // a file opened for reading is missing or may not be read
    kStreamOpenWrite = 35, // a file cannot be opened for writing
    kStreamClose = 36,
    kStreamSeek = 37,
    kStreamRead = 38,  // also a write-back that wrote fewer bytes than the window holds
    kStreamWrite = 39, // also an object the binary form cannot hold
    kStreamDelete = 40,
    kStreamFileSize = 41,
    kStreamBuffer = 42,
    kStreamInUse = 43, // another open holds the file: callers may wait and retry; no text
    kStreamDecrypt = 44,
    kStreamEncrypt = 45,

    // The image codecs and the fractal renderer.
    kImageOutOfMemory = 46,
    kJpegLibraryLoad = 47,
    kJpegLibraryInit = 48,
    kJpegReadError = 49,
    kJpegWriteError = 50,
    kJpegChannels = 51,
    kBadBitmap = 52,
    kPngReadError = 53,
    kPngWriteError = 54,

    // The XML form; 55 to 59 are reported with the line they were found on.
    kErrorXmlMemory = 55,
    kErrorXmlElement = 56,
    kErrorXmlAttribute = 57,
    kErrorXmlMissing = 58,
    kErrorXmlData = 59,
    kErrorXmlEncoding = 60,

    // Database tables.
    kErrorTooManyFields = 61,

    kErrorClipboard = 110,
    kErrorJobRefused = 111,      // the print system did not take a finished print job
    kErrorDuplicatePath = 116,   // a rename or move would give two items the same path
    kErrorFormulaTooLong = 117,  // an edit would push a formula or chart range past its field
    kErrorFieldOverflow = 118,   // a number does not fit the table field it would be written to
    kErrorInterruptedSave = 119, // a cut save left a whole copy beside a file no one may ask about
    kErrorPathTooLong = 120,     // a rename or move would make a path too long to be named
    kErrorFieldType = 124,       // a value has a table field of a type no value is written to
    kErrorCodePage = 125,        // a text holds a character outside the cells' code page
    kErrorCodePageImport = 126,  // an import left out texts with characters outside it
    kErrorPropertiesCut = 129,   // an import cut document properties to their fields
    kErrorStylesUnknown = 133,   // an import gave the default style where a style was not found
    kErrorActiveSheetBad = 134,  // an import could not read the active worksheet: the first is
};

// The text of a code; every code without a text of its own gives "No error". The texts are
// constants and are never freed.
const char* GetErrorMessage(int code);

// The code a failing step recorded, or `fallback` when it recorded none.
constexpr ErrorCode ErrorOr(ErrorCode code, ErrorCode fallback) {
    return code ? code : fallback;
}

// The one way to record a failure on an object that keeps its last error in `error` (a
// workbook, a chart): the code is stored and the result is false, so that a failing step
// can end with `return Fail(workbook, code);`.
template <class Object> bool Fail(Object& object, ErrorCode code) {
    object.error = code;
    return false;
}

} // namespace vl
