#pragma once
// The settings profile's file form: an XML document with the root "Profile", read into the
// process-wide settings and written from them.

#include "core/settings.h"
#include "platform/core/errorcode.h"

#include <functional>
#include <string>
#include <vector>

namespace vl {

class CXmlReader;
class CXmlWriter;

// Reads the profile at `path` into Profile(); 0 or the code of the first failure, shown
// through the reporter when `showErrors` is set. A failure changes no setting.
ErrorCode LoadProfile(const std::string& path, bool showErrors);
// Writes Profile() to `path` through a file beside it that replaces it only when whole.
ErrorCode SaveProfile(const std::string& path, bool showErrors);

// The document's parts, for callers that read or write elsewhere than a file.
bool ReadProfile(CXmlReader& reader, SettingsProfile& profile);
void WriteProfile(CXmlWriter& writer, const SettingsProfile& profile);

// The recent-document list of the frame (newest last) into the profile (newest first).
void SaveRecentFiles(const std::vector<std::string>& newestLast);

// Where failures are shown; the user interface installs its message box.
void SetProfileErrorReporter(std::function<void(ErrorCode)> reporter);

} // namespace vl
