// The xBase dialog's texts from header and descriptor bytes as a table file brings them: the
// summary, every row and a field edit of the first field, whose record length must follow.
#include "exchange/memofile.h"
#include "exchange/xbase.h"
#include "exchange/xbasetexts.h"
#include "harness.h"
#include "platform/core/bytes.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 33) return 0;
    const uint8_t format = uint8_t(3 + data[0] % 4);
    uint8_t header[32];
    std::memcpy(header, data + 1, sizeof header);
    const std::size_t rest = size - 33;
    const uint32_t count = uint32_t(rest / vl::kDescriptorSize);
    std::vector<uint8_t> descriptors(data + 33, data + 33 + std::size_t(count) * 32);
    const std::string name = vl::PrettyFileName(std::string_view(
        reinterpret_cast<const char*>(data + 33), std::min<std::size_t>(rest, 40)));
    const std::string summary = vl::XBaseSummaryText(header, name);
    vl::fuzz::Require(summary.size() < name.size() + 80);
    for (uint32_t i = 0; i < count; ++i) {
        const vl::XBaseFieldRow row = vl::XBaseRowTexts(i + 1, descriptors.data() + i * 32, format);
        vl::fuzz::Require(row.type != nullptr && row.name.size() <= 12 + 10);
    }
    if (count == 0) return 0;
    vl::XBaseFieldEdit edit = vl::FieldEditOf(descriptors.data(), format);
    edit.length = uint32_t(data[1]) * 200 + 1;
    const std::vector<uint8_t> before = descriptors;
    uint8_t kept[32];
    std::memcpy(kept, header, sizeof kept);
    if (vl::ApplyFieldEdit(header, descriptors.data(), count, 0, edit, format)) {
        uint64_t record = 1;
        for (uint32_t i = 0; i < count; ++i)
            record += vl::FieldLength(descriptors.data() + i * 32, format);
        vl::fuzz::Require(record == vl::LoadU16(header + 10));
    } else {
        vl::fuzz::Require(descriptors == before && std::memcmp(kept, header, 32) == 0);
    }
    return 0;
}
