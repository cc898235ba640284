#pragma once
// Pictures named by sheet and container backgrounds: found in the workbook's image list by
// their name without regard to letter case, so "a.png" and "A.PNG" share one entry and one
// decoded picture; read from their file and decoded by their extension. A failure is stored
// in the workbook's image error and tried again at the next paint.

#include "model/workbook.h"

namespace vl {

// The entry whose name equals this one ignoring case (the first 255 characters count), made
// at the head of the list when there is none.
ImageListEntry& FindOrAddImage(CWorkbook& workbook, const char* name);
// True when the entry holds its file's bytes afterwards. Web and transfer addresses are
// refused without being opened.
bool LoadImageSource(CWorkbook& workbook, ImageListEntry& entry);
// Decodes the entry's file bytes by the name's extension: ".BMP", ".JPG" or ".JPEG", ".PNG"
// (on the window colour). One already decoded succeeds at once; one without its bytes
// fails; a reader's failure, or another extension (6), is stored in the image error.
bool DecodeImageEntry(CWorkbook& workbook, ImageListEntry& entry);
// The decoded picture of the name, read and decoded as needed; null when it fails.
const PackedDib* LoadNamedImage(CWorkbook& workbook, const char* name);

} // namespace vl
