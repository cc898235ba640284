#include "platform/core/editerrors.h"
#include "platform/core/errorcode.h"
#include "platform/core/printerrors.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace vl {

TEST(ErrorCode, MessagesOfCodesAcrossTheTable) {
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {1, "Out of memory while loading an image"},
        {8, "Out of memory while creating/editing worksheet data"},
        {9, "A workbook must contain at least one worksheet"},
        {14, "Too many styles in one document"},
        {42, "Error while allocating a file read/write buffer"},
        {44, "Error while decrypting a file"},
        {55, "Ouf of memory while loading an xml document"},
        {60, "Only the UTF-8 encoding is supported"},
        {61, "Too many database fields - max. record size = 64K"},
        {110, "Can't open the Clipboard"},
    };
    for (const Case& c : cases) EXPECT_STREQ(GetErrorMessage(c.code), c.text) << c.code;
}

TEST(ErrorCode, CodesWithoutTextSayNoError) {
    for (int code : {0, 43, 62, 85, 109, 112, 132, 135, 255, -1, 1000})
        EXPECT_STREQ(GetErrorMessage(code), "No error") << code;
}

TEST(ErrorCode, FileFormatMessageHasTwoParagraphs) {
    const std::string text = GetErrorMessage(21);
    EXPECT_EQ(text.find("Invalid Vorlane file format\n\nPlease choose"), 0u);
    EXPECT_EQ(text.back(), '.');
}

TEST(ErrorCode, EveryCodeOneToSixtyOneButFortyThreeHasItsOwnText) {
    for (int code = 1; code <= 61; ++code) {
        if (code == 43) continue;
        EXPECT_STRNE(GetErrorMessage(code), "No error") << code;
    }
}

// Every name of the list with its text: a name given the wrong number shows as a wrong text,
// and two names on one number show as a repeated value.
TEST(ErrorCode, EveryNamedCodeHasItsTextAndItsOwnValue) {
    struct Case {
        ErrorCode code;
        int value;
        const char* text;
    };
    const Case cases[] = {
        {kErrorNone, 0, "No error"},
        {kErrorImageMemory, 1, "Out of memory while loading an image"},
        {kErrorTooManyImages, 2, "Too many images in one document"},
        {kErrorImageProtocol, 3, "An unsupported image source (protocol)"},
        {kErrorContainerMemory, 4, "Out of memory while allocating container data"},
        {kErrorImageNotListed, 5, "Can't find the specified image on the image list"},
        {kErrorImageFormat, 6, "An unsupported image format"},
        {kErrorTooManyObjects, 7, "There can be max. 255 objects in one container"},
        {kErrorWorksheetMemory, 8, "Out of memory while creating/editing worksheet data"},
        {kErrorLastWorksheet, 9, "A workbook must contain at least one worksheet"},
        {kErrorPathNotFound, 10, "An invalid worksheet/folder path - not found"},
        {kErrorContainerNotFound, 11, "An invalid container ID - not found"},
        {kErrorInvalidCacheIndex, 12, "An invalid cache index"},
        {kErrorNoWorksheet, 13, "No worksheet selected"},
        {kErrorTooManyStyles, 14, "Too many styles in one document"},
        {kErrorTooManyLists, 15, "Too many drop-down lists in one document"},
        {kErrorNoPages, 16, "No pages to print"},
        {kErrorInvalidPageList, 17, "An invalid print page range"},
        {kErrorZoomTooSmall, 18, "The zoom factor is too small"},
        {kErrorMarginTooSmall, 19,
         "The current margin(s) is smaller than the min. margin of the printer"},
        {kErrorNoPrinter, 20, "No printer selected."},
        {kErrorFileFormat, 21,
         "Invalid Vorlane file format\n\nPlease choose the correct format from the 'Files of "
         "type' list in the 'Open' dialog box."},
        {kErrorTooManyContainers, 22, "Too many containers"},
        {kErrorNoEmptyColumns, 23,
         "Not enought empty columns to the right of the last non-empty column"},
        {kErrorNoEmptyRows, 24, "Not enought empty rows below the last row non-empty row"},
        {kErrorCryptKey, 25, "Can't generate the cryptographic key"},
        {kErrorInvalidPassword, 26, "Invalid password"},
        {kErrorChartMemory, 27, "Out of memory while creating chart data"},
        {kErrorChartArray, 28, "An array formula is required to generate a chart data series"},
        {kErrorChartStack, 29,
         "Data series using any of the 'stacked' view types must use the same axis scale and "
         "data range.\n\nCheck the 'Data' and 'Axes' property pages to see whether those "
         "parameters are the same."},
        {kErrorChartLimits, 30, "Invalid numbers while calculating axis limits"},
        {kErrorChartAxes, 31, "Too many chart axes"},
        {kErrorChartSeries, 32, "Too many chart series"},
        {kErrorChartGridlines, 33, "Too many user gridlines"},
        {kStreamOpenRead, 34, "Can't open the specified file for reading"},
        {kStreamOpenWrite, 35, "Can't open the specified file for writing"},
        {kStreamClose, 36, "Error while closing the specified file"},
        {kStreamSeek, 37, "Error while repositioning a file pointer"},
        {kStreamRead, 38, "Error while reading from a file"},
        {kStreamWrite, 39, "Error while writing to a file"},
        {kStreamDelete, 40, "Error while deleting a file"},
        {kStreamFileSize, 41, "Error while checking the file size/info"},
        {kStreamBuffer, 42, "Error while allocating a file read/write buffer"},
        {kStreamInUse, 43, "No error"},
        {kStreamDecrypt, 44, "Error while decrypting a file"},
        {kStreamEncrypt, 45, "Error while encrypting a file"},
        {kImageOutOfMemory, 46, "Out of memory while processing image data"},
        {kJpegLibraryLoad, 47, "Can't find or load the ijl15.dll library"},
        {kJpegLibraryInit, 48, "Can't initialize the ijl15.dll library"},
        {kJpegReadError, 49, "Error while reading a JPEG image"},
        {kJpegWriteError, 50, "Error while writing a JPEG image"},
        {kJpegChannels, 51, "An unrecognized number of channels in the jpeg image"},
        {kBadBitmap, 52, "An invalid bitmap file"},
        {kPngReadError, 53, "Error while reading a PNG image"},
        {kPngWriteError, 54, "Error while writing a PNG image"},
        {kErrorXmlMemory, 55, "Ouf of memory while loading an xml document"},
        {kErrorXmlElement, 56, "An unexpected xml element"},
        {kErrorXmlAttribute, 57, "An invalid attribute value"},
        {kErrorXmlMissing, 58, "A required attribute is missing"},
        {kErrorXmlData, 59, "Invalid xml element data (c_data)"},
        {kErrorXmlEncoding, 60, "Only the UTF-8 encoding is supported"},
        {kErrorTooManyFields, 61, "Too many database fields - max. record size = 64K"},
        {kErrorClipboard, 110, "Can't open the Clipboard"},
        {kErrorJobRefused, 111, "The print system refused the print job."},
        {kErrorDuplicatePath, 116, "Another worksheet or folder of this folder has this name."},
        {kErrorFormulaTooLong, 117,
         "A formula or chart range would be longer than 1,024 characters."},
        {kErrorFieldOverflow, 118,
         "A number is too wide for its database field: widen the field or change its decimals."},
        {kErrorInterruptedSave, 119,
         "A save of this file was cut short, and the file may be incomplete. Open it in the "
         "program's window, which offers the whole copy that save kept."},
        {kErrorPathTooLong, 120, "A worksheet or folder path would be longer than 255 characters."},
        {kErrorArrayCut, 121,
         "The range cuts through an array formula. Select the whole array or leave it out."},
        {kErrorRangeScattered, 122,
         "A formula reads a range that reaches into the selection without holding all of it; "
         "transposing would scatter its cells."},
        {kErrorNameBackslash, 123,
         "A worksheet or folder name cannot hold a backslash, which separates folders in paths."},
        {kErrorFieldType, 124,
         "A database field has a type no value can be written to, and its values would be lost: "
         "change the field's type."},
        {kErrorCodePage, 125,
         "The text holds a character a cell cannot hold. Cells hold the characters of the "
         "Western European code page (Windows-1252): letters with accents, the euro sign and "
         "the like, but no other alphabets."},
        {kErrorCodePageImport, 126,
         "Some texts of the file hold characters a cell cannot hold (cells hold the Western "
         "European code page, Windows-1252). Their cells were left empty; the rest of the file "
         "was read. Texts left out:"},
        {kErrorPropertiesCut, 129,
         "Some document properties of the file (author, company, dates and the like) were "
         "longer than the workbook keeps; their beginnings were kept. Properties cut:"},
        {kErrorStylesUnknown, 133,
         "Some cells, columns or styles of the file name a style the file does not define; they "
         "were given the default style. Style names set aside:"},
        {kErrorActiveSheetBad, 134,
         "The file names its active worksheet by something other than a whole number; the first "
         "worksheet is shown instead. Entries set aside:"},
        {kErrorTooManyPages, 130,
         "The printout would have more than 10,000 pages (100,000 with its copies). Choose the "
         "cells to print, leave rows or columns out, or print fewer copies."},
    };
    std::set<int> values;
    for (const Case& c : cases) {
        EXPECT_EQ(int(c.code), c.value) << c.text;
        EXPECT_STREQ(GetErrorMessage(c.code), c.text) << c.value;
        EXPECT_TRUE(values.insert(c.code).second) << "two names share " << c.value;
    }
    // 0 to 61, 110, 111, 116 to 126, 129, 130, 133 and 134: every number the list gives a
    // meaning has a name above.
    EXPECT_EQ(values.size(), 79u);
}

// The shared recorder stores the code on the object it is given and always answers false.
TEST(ErrorCode, FailRecordsTheCodeOnTheObject) {
    struct Holder {
        ErrorCode error = kErrorNone;
        int other = 7;
    };
    for (ErrorCode code : {kErrorNone, kErrorImageMemory, kErrorNoPrinter, kErrorClipboard}) {
        Holder holder{kErrorChartAxes, 7};
        EXPECT_FALSE(Fail(holder, code));
        EXPECT_EQ(holder.error, code);
        EXPECT_EQ(holder.other, 7);
    }
}

} // namespace vl
