#pragma once
// The older signed binary form ("Vorlane6000"), read only.

namespace vl {

class CWorkbook;

bool LoadV6Workbook(CWorkbook& workbook);

} // namespace vl
