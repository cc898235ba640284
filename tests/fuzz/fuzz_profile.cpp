// The settings profile reader from arbitrary bytes: whatever it reads must write back and
// read again to the same record.

#include "core/settings.h"
#include "files/xmlreader.h"
#include "files/xmlwriter.h"
#include "harness.h"
#include "profile/profile.h"

namespace {

using namespace vl;

std::string Written(const SettingsProfile& profile) {
    CXmlWriter writer;
    WriteProfile(writer, profile);
    writer.Flush();
    return writer.Memory();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The reader reads the text in place: it must outlive the reading.
    const std::string input(reinterpret_cast<const char*>(data), size);
    CXmlReader reader;
    reader.ResetMemory(input);
    SettingsProfile profile;
    if (!ReadProfile(reader, profile)) return 0;
    const std::string first = Written(profile);
    CXmlReader again;
    again.ResetMemory(first);
    // Read over the settings it came from, as a load at start reads over the defaults.
    SettingsProfile back = profile;
    fuzz::Require(ReadProfile(again, back));
    fuzz::Require(Written(back) == first);
    return 0;
}
