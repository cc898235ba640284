#include "files/savetarget.h"
#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "platform/core/filestream.h"
#include "platform/core/pathlimit.h"
#include "profile/profile.h"

namespace vl {

namespace {

std::function<void(ErrorCode)>& Reporter() {
    static std::function<void(ErrorCode)> reporter;
    return reporter;
}

ErrorCode Report(ErrorCode code, bool showErrors) {
    if (code && showErrors && Reporter()) Reporter()(code);
    return code;
}

} // namespace

void SetProfileErrorReporter(std::function<void(ErrorCode)> reporter) {
    Reporter() = std::move(reporter);
}

ErrorCode LoadProfile(const std::string& path, bool showErrors) {
    CFileStream stream;
    if (!stream.Open(path.c_str(), "rb", true, kFileBufferSize))
        return Report(stream.GetError(), showErrors);
    CXmlReader reader;
    reader.Reset(&stream);
    // Read in place: a profile that fails half way keeps every setting read before the
    // fault, so that one bad element does not lose the rest of the user's settings.
    const bool ok = ReadProfile(reader, Profile());
    stream.Close();
    if (ok) return kErrorNone;
    // A failure of the file itself says more than the XML code it caused.
    return Report(stream.GetError() ? stream.GetError() : reader.Error(), showErrors);
}

ErrorCode SaveProfile(const std::string& path, bool showErrors) {
    // A profile saved under the name of a file a document or program holds must not replace
    // it; a failed write leaves the old profile as it was.
    const ErrorCode code = WriteSaveTarget(path.c_str(), [](CFileStream& stream) {
        CXmlWriter writer(&stream);
        WriteProfile(writer, Profile());
        return writer.Flush();
    });
    return Report(code, showErrors);
}

void SaveRecentFiles(const std::vector<std::string>& newestLast) {
    std::vector<std::string>& files = Profile().recentFiles;
    files.clear();
    // A path the profile cannot hold is left out: cut, it would name another file.
    for (auto it = newestLast.rbegin(); it != newestLast.rend(); ++it)
        if (it->size() <= kMaxPathBytes) files.push_back(*it);
}

} // namespace vl
