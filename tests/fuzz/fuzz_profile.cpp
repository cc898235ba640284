// The settings profile reader from arbitrary bytes: whatever it reads must write back and
// read again to the same record.

#include "app/core/settings.h"
#include "app/profile/profile.h"
#include "files/xmlreader.h"
#include "files/xmlwriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace vl;
    // The reader reads the text in place: it must outlive the reading.
    const std::string input(reinterpret_cast<const char*>(data), size);
    CXmlReader reader;
    reader.ResetMemory(input);
    SettingsProfile profile;
    if (!ReadProfile(reader, profile)) return 0;
    CXmlWriter writer;
    WriteProfile(writer, profile);
    writer.Flush();
    CXmlReader again;
    again.ResetMemory(writer.Memory());
    // Read over the settings it came from, as a load at start reads over the defaults.
    SettingsProfile back = profile;
    if (!ReadProfile(again, back)) std::abort();
    CXmlWriter second;
    WriteProfile(second, back);
    second.Flush();
    if (second.Memory() != writer.Memory()) std::abort();
    return 0;
}
