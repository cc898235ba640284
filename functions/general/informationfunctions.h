#pragma once
// The information functions: the IS tests, COUNTBLANK, ERRORTYPE, N, NA and TYPE.

namespace vl {

void BindInformationFunctions();

} // namespace vl
